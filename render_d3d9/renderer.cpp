#include "render_d3d9/renderer.h"
#include "engine/camera.h"
#include "engine/color.h"
#include "engine/light.h"
#include "engine/scene.h"
#include "render_d3d9/d3d_error.h"
#include "render_d3d9/font.h"
#include "render_d3d9/shader_programs.h"

#include <cstdio>
#include <stdexcept>

namespace {

constexpr u32 scene_flag_depth_test = 0x4;
constexpr u32 scene_flag_fog = 0x2000000;
constexpr u32 scene_light_limit = 4;
constexpr u32 scene_light_list_limit = 3;

}

d3d_renderer_c::d3d_renderer_c(const u32* _flags)
    : frame(cache, _flags != nullptr && (*_flags & d3d_flag_stencil) != 0), flags(_flags != nullptr ? *_flags : 0)
{}

d3d_renderer_c::~d3d_renderer_c()
{
    ReleaseDevice();
}

bool d3d_renderer_c::Fail()
{
    ReleaseDevice();
    return false;
}

bool d3d_renderer_c::create_device(HWND _window, bool _windowed)
{
    ReleaseDevice();
    const i32 screen_width = GetSystemMetrics(SM_CXSCREEN);
    const i32 screen_height = GetSystemMetrics(SM_CYSCREEN);
    if (_windowed) {
        RECT client;
        GetClientRect(_window, &client);
        SetResolutionAspect(client.right - client.left, client.bottom - client.top, screen_width, screen_height);
    } else {
        SetResolution(screen_width, screen_height);
    }
    frame.SetOutputSize(outputWidth, outputHeight);
    frame.SetViewportRect(viewportX, viewportY, viewportWidth, viewportHeight);

    window = _window;
    dc = GetDC(_window);
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (d3d == nullptr) {
        return Fail();
    }
    D3DCAPS9 caps;
    d3d_caps_wishes_s wishes;
    wishes.vsync = (flags & d3d_flag_vsync) != 0;
    wishes.wbuffer = (flags & d3d_flag_wbuffer) != 0;
    wishes.stencil = (flags & d3d_flag_stencil) != 0;
    if (FAILED(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps)) || !CheckCaps(caps, wishes) ||
        ((flags & d3d_flag_stencil) != 0 && !wishes.stencil)) {
        return Fail();
    }

    D3DDISPLAYMODE display;
    if (FAILED(d3d->GetAdapterIdentifier(0, 0, &identifier)) || FAILED(d3d->GetAdapterDisplayMode(0, &display)) ||
        FAILED(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, display.Format, D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE,
                                      display.Format)) ||
        FAILED(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, display.Format, display.Format, _windowed ? 1 : 0))) {
        return Fail();
    }
    const D3DFORMAT depth =
        FindDepthFormat(d3d, display.Format, display.Format, DepthCandidates(wishes.stencil, flags, display.Format));
    if (depth == D3DFMT_UNKNOWN) {
        return Fail();
    }
    formats = FillFormatTable(d3d, display.Format, wishes.alphaPalette);
    const bool palette = formats.rows[0][format_l8] == D3DFMT_P8 || formats.rows[1][format_l8] == D3DFMT_P8 ||
                         formats.alphaOnly[0] == D3DFMT_P8 || formats.alphaOnly[1] == D3DFMT_P8;
    const bool palette_alpha = formats.alphaOnly[0] == D3DFMT_P8 || formats.alphaOnly[1] == D3DFMT_P8;
    const D3DFORMAT grey = formats.rows[0][format_l8];
    if (grey == D3DFMT_UNKNOWN) {
        fallbackFormat = FindTextureFormat(d3d, display.Format, 0, false, {D3DFMT_X8R8G8B8, D3DFMT_X8B8G8R8});
        if (fallbackFormat == D3DFMT_UNKNOWN) {
            return Fail();
        }
    }
    const D3DMULTISAMPLE_TYPE samples = FindMultiSampleType(d3d, flags, display.Format, depth, _windowed);

    presentParameters = D3DPRESENT_PARAMETERS{};
    presentParameters.BackBufferWidth = _windowed ? 0 : display.Width;
    presentParameters.BackBufferHeight = _windowed ? 0 : display.Height;
    presentParameters.BackBufferFormat = display.Format;
    presentParameters.BackBufferCount = 1;
    presentParameters.MultiSampleType = samples;
    presentParameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    presentParameters.hDeviceWindow = _window;
    presentParameters.Windowed = _windowed ? 1 : 0;
    presentParameters.EnableAutoDepthStencil = 1;
    presentParameters.AutoDepthStencilFormat = depth;
    presentParameters.FullScreen_RefreshRateInHz = _windowed ? 0 : display.RefreshRate;
    presentParameters.PresentationInterval = wishes.vsync ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;
    static constexpr DWORD behaviours[3] = {D3DCREATE_SOFTWARE_VERTEXPROCESSING, D3DCREATE_MIXED_VERTEXPROCESSING,
                                            D3DCREATE_HARDWARE_VERTEXPROCESSING};
    if (FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, _window, behaviours[std::min<u32>(wishes.vertexProcessing, 2)],
                                 &presentParameters, &device))) {
        device = nullptr;
        return Fail();
    }
    backBufferBits = GetFormatBits(display.Format);
    depthBits = GetFormatBits(depth);
    if (!cache.Init(device, wishes.vertexProcessing, wishes.maxLights, wishes.wbuffer, wishes.stencil,
                    GetShaderPrograms(), 1)) {
        return Fail();
    }

    try {
        const bool glow = (flags & d3d_flag_glow) != 0 &&
                          (caps.TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL) != 0 &&
                          cache.SupportsPixelShader(D3DPS_VERSION(2, 0)) &&
                          SUCCEEDED(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, display.Format, D3DUSAGE_RENDERTARGET,
                                                           D3DRTYPE_TEXTURE, display.Format)) &&
                          outputWidth >= 8 && outputHeight >= 8;
        if (glow) {
            for (u32 i = 0; i < 2; ++i) {
                texture_def_c definition;
                definition.width = i == 0 ? outputWidth : outputWidth / 8;
                definition.height = i == 0 ? outputHeight : outputHeight / 8;
                glowBuffers[i] =
                    std::make_unique<d3d_texture_c>(device, "Glow Buffer", definition, true, display.Format);
            }
        }
        const D3DFORMAT falloff_format = grey != D3DFMT_UNKNOWN ? grey : fallbackFormat;
        auto falloff = [&](const char* _name, u32 _size, f32 _exponent) {
            texture_def_c definition;
            MakeFalloffMap(definition.image, _size, _size, _exponent, grey != D3DFMT_UNKNOWN);
            return std::make_unique<d3d_texture_c>(device, _name, definition, false, falloff_format);
        };
        diffuseMap = falloff("Diffuse Map", 64, 1.0f);
        for (u32 i = 0; i < 10; ++i) {
            specularMaps[i] = falloff("Specular Map", 32, static_cast<f32>(1u << (i + 2)));
        }
        spriteGeometry = std::make_unique<d3d_geometry_c>(device, "Sprite Geometry", MakeSpriteGeometryDef(), false);
    } catch (const d3d_error_c&) {
        return Fail();
    }
    if (palette) {
        PALETTEENTRY entries[256];
        for (u32 i = 0; i < 256; ++i) {
            const u8 value = static_cast<u8>(i);
            entries[i] = {value, value, value, palette_alpha ? value : static_cast<u8>(0)};
        }
        device->SetPaletteEntries(0, entries);
        device->SetCurrentTexturePalette(0);
    }
    return true;
}

void d3d_renderer_c::ReleaseDevice()
{
    EndGeometry();
    ResetRenderLists();
    EndScene();
    spriteGeometry.reset();
    for (auto& map : specularMaps) {
        map.reset();
    }
    diffuseMap.reset();
    glowBuffers[1].reset();
    glowBuffers[0].reset();
    font_cache_c::Purge();
    texture_cache_c::Purge();
    geometry_cache_c::Purge();
    cache.Reset();
    if (device != nullptr) {
        device->Release();
        device = nullptr;
    }
    if (d3d != nullptr) {
        d3d->Release();
        d3d = nullptr;
    }
    if (window != nullptr && dc != nullptr) {
        ReleaseDC(window, dc);
    }
    window = nullptr;
    dc = nullptr;
    identifier = D3DADAPTER_IDENTIFIER9{};
    formats = d3d_format_table_s{};
    fallbackFormat = D3DFMT_UNKNOWN;
    presentParameters = D3DPRESENT_PARAMETERS{};
    backBufferBits = {};
    depthBits = {};
    ClearSceneState();
}

void d3d_renderer_c::ClearSceneState()
{
    sceneSet = false;
    diffuseLights.clear();
    specularLights.clear();
    shadowLight = nullptr;
    camera = nullptr;
    fog.reset();
    illuminationMap = nullptr;
    reflectionMap = nullptr;
    sceneOpacity = 1.0f;
    sceneDepthTest = false;
}

bool d3d_renderer_c::GetAdapterInfo(std::string& _driver, std::string& _description, std::string& _version)
{
    IDirect3D9* object = d3d != nullptr ? d3d : Direct3DCreate9(D3D_SDK_VERSION);
    if (object == nullptr) {
        return false;
    }
    D3DADAPTER_IDENTIFIER9 id;
    const bool found = SUCCEEDED(object->GetAdapterIdentifier(0, 0, &id));
    if (object != d3d) {
        object->Release();
    }
    if (!found) {
        return false;
    }
    id.Driver[sizeof(id.Driver) - 1] = '\0';
    id.Description[sizeof(id.Description) - 1] = '\0';
    _driver = id.Driver;
    _description = id.Description;
    const u32 high = static_cast<u32>(id.DriverVersion.HighPart);
    const u32 low = id.DriverVersion.LowPart;
    char version[64];
    std::snprintf(version, sizeof(version), "%d.%d.%d.%d", static_cast<int>(high >> 16),
                  static_cast<int>(high & 0xFFFF), static_cast<int>(low >> 16), static_cast<int>(low & 0xFFFF));
    _version = version;
    return true;
}

bool d3d_renderer_c::EnumDisplayModes(std::vector<display_mode_s>& _modes)
{
    return d3d_frame_c::EnumDisplayModes(d3d, _modes);
}

geometry_c* d3d_renderer_c::CreateGeometry(const char* _key, const geometry_def_c& _definition)
{
    if (!cache.IsReady()) {
        throw d3d_error_c("Could not create vertex buffer!");
    }
    return CreateD3DGeometry(cache, _key, _definition);
}

texture_c* d3d_renderer_c::CreateTexture(const char* _key, const texture_def_c& _definition)
{
    if (!cache.IsReady()) {
        throw d3d_error_c("Could not create texture!");
    }
    texture_def_c loaded = _definition;
    loaded.LoadImage();
    return CreateD3DTexture(cache, formats, _key, loaded);
}

font_c* d3d_renderer_c::CreateFont(const char* _key, const font_def_c& _definition)
{
    if (!cache.IsReady()) {
        throw d3d_error_c("Could not create font!");
    }
    return new d3d_font_c(device, _key, _definition, GetDeviceCaps(dc, VERTRES));
}

void d3d_renderer_c::SetOutputSize(i32 _width, i32 _height)
{
    frame.SetOutputSize(_width, _height);
}

i32 d3d_renderer_c::SetViewportRect(i32 _x, i32 _y, i32 _width, i32 _height)
{
    frame.SetViewportRect(_x, _y, _width, _height);
    return 0;
}

void d3d_renderer_c::SetGammaRamp(const gamma_ramp_t& _ramp)
{
    frame.SetGammaRamp(_ramp.data(), _ramp.size());
}

void d3d_renderer_c::Present()
{
    frame.Present();
}

void d3d_renderer_c::Clear(const vec3_c& _color, u32 _stencil_value, bool _target, bool _depth, bool _stencil,
                           bool _secondary)
{
    frame.Clear(_color, _stencil_value, _target, _depth, _stencil, _secondary ? glowBuffers[0].get() : nullptr);
}

void d3d_renderer_c::CaptureScreen(image_c& _image)
{
    frame.CaptureScreen(_image);
}

void d3d_renderer_c::BeginScene()
{
    frame.BeginScene();
}

void d3d_renderer_c::EndScene()
{
    frame.EndScene();
}

void d3d_renderer_c::SetScene(scene_c* _scene, camera_c* _camera, const std::vector<light_c*>& _lights,
                              light_c* _shadow_light)
{
    if (!frame.InScene() || sceneSet || _scene == nullptr || _camera == nullptr) {
        return;
    }
    cache.SetViewport(viewportX, viewportY, viewportWidth, viewportHeight);
    cache.SetProjection(_camera->GetProjection());
    const u32 scene_flags = _scene->GetFlags();
    cache.SetFillMode((scene_flags & scene_wireframe) != 0 ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    cache.SetStencil(d3d_stencil_s{});
    const vec3_c ambient = _scene->GetAmbientColor();
    cache.Lights().SetAmbient(ColorToBgra(ambient.x, ambient.y, ambient.z));
    // Never more lights than the light set holds.
    const u32 count = std::min({scene_light_limit, static_cast<u32>(_lights.size()), cache.Lights().GetCount()});
    for (u32 i = 0; i < count; ++i) {
        if (_lights[i] != nullptr) {
            cache.Lights().SetLight(i, *_lights[i]);
        }
    }
    cache.Lights().SetEnabledCount(count);
    diffuseLights.clear();
    specularLights.clear();
    for (light_c* light : _lights) {
        if (light == nullptr || (light->GetFlags() & light_directional) == 0) {
            continue;
        }
        if ((light->GetFlags() & light_diffuse) != 0 && diffuseLights.size() < scene_light_list_limit) {
            diffuseLights.push_back(light);
        }
        if ((light->GetFlags() & light_specular) != 0 && specularLights.size() < scene_light_list_limit) {
            specularLights.push_back(light);
        }
    }
    shadowLight = _shadow_light;
    camera = _camera;
    fog.reset();
    if ((scene_flags & scene_flag_fog) != 0) {
        fog = d3d_fog_s{_scene->fogMode, _scene->fogColor, _scene->fogStart, _scene->fogEnd, _scene->fogDensity};
    }
    illuminationMap = _scene->GetIlluminationMap();
    reflectionMap = _scene->GetReflectionMap();
    sceneOpacity = 1.0f - _scene->dissolve;
    sceneDepthTest = (scene_flags & scene_flag_depth_test) != 0;
    sceneSet = true;
}

void d3d_renderer_c::ResetRenderLists()
{
    ClearSceneState();
}

void d3d_renderer_c::PrintStatistics(std::ostream& _out)
{
    std::string driver, description, version;
    if (GetAdapterInfo(driver, description, version)) {
        _out << "Adapter Driver: \"" << driver << "\"\nAdapter Description: " << description
             << "\nAdapter Version: " << version << "\n";
    }
    cache.PrintCapabilities(_out);
    _out << "\n";
    renderer_c::PrintStatistics(_out);
}

d3d_fullscreen_renderer_c::d3d_fullscreen_renderer_c(HWND _window, const u32* _flags, const display_mode_s* _mode)
    : d3d_renderer_c(_flags), mode(_mode != nullptr ? *_mode : display_mode_s{})
{
    if (mode.width != 0 && mode.height != 0 && mode.bpp != 0) {
        DEVMODEA settings;
        settings.dmSize = 156;
        settings.dmPelsWidth = mode.width;
        settings.dmPelsHeight = mode.height;
        settings.dmBitsPerPel = mode.bpp;
        settings.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        if (mode.refresh > 0) {
            settings.dmDisplayFrequency = mode.refresh;
            settings.dmFields |= DM_DISPLAYFREQUENCY;
        }
        if (ChangeDisplaySettingsA(&settings, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
            throw d3d_error_c("Could not change display mode!");
        }
        changed = true;
    }
    if (!create_device(_window, false)) {
        // The destructor does not run for a half-made object: give the
        // desktop its mode back here.
        if (changed) {
            ChangeDisplaySettingsA(nullptr, 0);
        }
        throw d3d_error_c("Could not create Direct3D device!");
    }
}

d3d_fullscreen_renderer_c::~d3d_fullscreen_renderer_c()
{
    ReleaseDevice();
    if (changed) {
        ChangeDisplaySettingsA(nullptr, 0);
    }
}
