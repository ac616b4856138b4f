#pragma once
// d3d_font_c: a font definition as a D3DX font on the device. The character
// height is -trunc(VERTRES x 0.14111111 x size / 72) pixels (VERTRES of the
// window's device context), weight 700 for bold else 400, the italic,
// underline and strike-out style bytes, antialiasing by the fifth byte, the
// face name cut to 31 characters; the sixth style byte adds the external
// leading between lines. Both text forms draw and measure alike.
//
// Failures: d3d_error_c "Invalid font definition!" for a size not above 0,
// "Could not create font!" when the D3DX font cannot be made.
#include "engine/font_cache.h"
#include "foundation/vector_math.h"
#include "platform/d3dx9/d3dx9_font.h"

class d3d_font_c : public font_c {
public:
    d3d_font_c(IDirect3DDevice9* _device, const char* _name, const font_def_c& _definition, i32 _vertical_resolution);
    ~d3d_font_c() override;
    d3d_font_c(const d3d_font_c&) = delete;
    d3d_font_c& operator=(const d3d_font_c&) = delete;

    void MeasureTextB(const char* _text, i32& _width, i32& _height) override;
    void MeasureText(const char* _text, i32& _width, i32& _height) override;
    // The text into the rectangle, in the colour with alpha 1 - transparency.
    void Draw(const char* _text, i32 _x, i32 _y, i32 _width, i32 _height, const vec3_c& _color, f32 _transparency);

    // The character height a size asks for on a display of that resolution.
    static INT CharacterHeight(i32 _vertical_resolution, f32 _size);
    const D3DXFONT_DESCA& GetDesc() const { return desc; }

private:
    DWORD Format() const;

    ID3DXFont* font = nullptr;
    D3DXFONT_DESCA desc;
    bool extraLeading = false;
};
