#pragma once
// d3d_frame_c: the per-frame operations around the draws: output size and
// viewport, gamma ramp, Clear, Begin/EndScene, Present, screen capture, and
// the display-mode list. It works through the state cache and the device.
//
// Ready for drawing means output and viewport both of non-zero size. Clear,
// BeginScene and CaptureScreen do nothing unless ready and outside a scene;
// EndScene only inside one; Present only outside one. A lost device makes
// Present throw d3d_error_c "Direct3D device lost!" (there is no reset; the
// caller decides what follows); every other device error here is ignored.
#include "engine/display_mode.h"
#include "engine/renderer.h"
#include "platform/d3d9/d3d9.h"

#include <vector>

class d3d_state_cache_c;
class d3d_texture_c;
class image_c;

class d3d_frame_c {
public:
    // _stencil: the renderer's flags ask for a stencil buffer.
    d3d_frame_c(d3d_state_cache_c& _cache, bool _stencil);

    void SetOutputSize(i32 _width, i32 _height);
    void SetViewportRect(i32 _x, i32 _y, i32 _width, i32 _height);
    bool IsReadyForDrawing() const;
    bool InScene() const { return inScene; }

    // Each component x 65535, truncated, held to 0..65535; sent as swap
    // chain 0's ramp without calibration. Only a list of exactly 256.
    void SetGammaRamp(const vec3_c* _entries, u64 _count);
    // The stencil only when asked and the flags have one; the glow buffer
    // (when given) is cleared to black with alpha 0 only together with a
    // clear of target, depth or stencil.
    void Clear(const vec3_c& _color, u32 _stencil_value, bool _target, bool _depth, bool _stencil,
               d3d_texture_c* _glow_buffer);
    void BeginScene();
    // Unbinds streams, indices, shaders, declaration and textures, puts the
    // back buffer back with all channels, ends the scene and shows the
    // cursor.
    void EndScene();
    void Present();
    // The viewport of the displayed image into an x8r8g8b8 image; any
    // failure ends the capture early, leaving the image as far as it got.
    void CaptureScreen(image_c& _image);

    // The 32-bit (X8R8G8B8) and then 16-bit (R5G6B5) modes the adapter
    // lists, duplicates kept, sorted by width, height, bits and refresh.
    // Uses _d3d, or a Direct3D object of its own when null; false when it
    // cannot make one.
    static bool EnumDisplayModes(IDirect3D9* _d3d, std::vector<display_mode_s>& _modes);

private:
    d3d_state_cache_c& cache;
    bool stencil;
    i32 outputWidth = 0;
    i32 outputHeight = 0;
    i32 viewportX = 0;
    i32 viewportY = 0;
    i32 viewportWidth = 0;
    i32 viewportHeight = 0;
    bool inScene = false;
};
