#include "render_d3d9/font.h"
#include "engine/color.h"
#include "render_d3d9/d3d_error.h"

#include <cstring>

INT d3d_font_c::CharacterHeight(i32 _vertical_resolution, f32 _size)
{
    const f32 height = static_cast<f32>(_vertical_resolution) * 0.14111111f * _size / 72.0f;
    return height < 1e6f ? -static_cast<INT>(height) : -1000000;
}

d3d_font_c::d3d_font_c(IDirect3DDevice9* _device, const char* _name, const font_def_c& _definition,
                       i32 _vertical_resolution)
    : font_c(_name, _definition), extraLeading(_definition.style[5] != 0)
{
    if (!(_definition.size > 0.0f)) {
        throw d3d_error_c("Invalid font definition!");
    }
    desc.Height = CharacterHeight(_vertical_resolution, _definition.size);
    desc.Weight = _definition.style[0] != 0 ? FW_BOLD : FW_NORMAL;
    desc.Italic = _definition.style[1] != 0 ? 1 : 0;
    desc.Underline = _definition.style[2] != 0 ? 1 : 0;
    desc.StrikeOut = _definition.style[3] != 0 ? 1 : 0;
    desc.CharSet = DEFAULT_CHARSET;
    desc.Quality = _definition.style[4] != 0 ? ANTIALIASED_QUALITY : NONANTIALIASED_QUALITY;
    std::strncpy(desc.FaceName, _definition.faceName.GetData(), sizeof(desc.FaceName) - 1);
    if (FAILED(D3DXCreateFontIndirect(_device, &desc, &font))) {
        font = nullptr;
        throw d3d_error_c("Could not create font!");
    }
}

d3d_font_c::~d3d_font_c()
{
    if (font != nullptr) {
        font->Release();
    }
}

DWORD d3d_font_c::Format() const
{
    return DT_NOPREFIX | DT_NOCLIP | (extraLeading ? DT_EXTERNALLEADING : 0);
}

void d3d_font_c::MeasureText(const char* _text, i32& _width, i32& _height)
{
    RECT rect{0, 0, 0, 0};
    font->DrawTextA(nullptr, _text != nullptr ? _text : "", -1, &rect, Format() | DT_CALCRECT, 0);
    _width = rect.right;
    _height = rect.bottom;
}

void d3d_font_c::MeasureTextB(const char* _text, i32& _width, i32& _height)
{
    MeasureText(_text, _width, _height);
}

void d3d_font_c::Draw(const char* _text, i32 _x, i32 _y, i32 _width, i32 _height, const vec3_c& _color,
                      f32 _transparency)
{
    RECT rect{_x, _y, _x + _width, _y + _height};
    const D3DCOLOR color = ColorAlphaToBgra(_color.x, _color.y, _color.z, 1.0f - _transparency);
    font->DrawTextA(nullptr, _text != nullptr ? _text : "", -1, &rect, Format(), color);
}
