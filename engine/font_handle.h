#pragma once
// font_handle_c: draws and measures texts in fractions of the output through a
// shared font of the renderer's font cache, so callers never deal in pixels.
#include "engine/font_def.h"
#include "foundation/vector_math.h"
#include "foundation/types.h"

class font_c;
class renderer_c;

// Alignment bits of DrawText.
enum text_alignment_e : u32 {
    text_align_right = 0x1,  // the text ends at x
    text_align_bottom = 0x2, // the text ends at y
};

class font_handle_c {
public:
    // Finds or creates the font in the renderer's font cache and takes one use.
    font_handle_c(const font_def_c& _definition, renderer_c* _renderer);
    // Gives the use back; the font stays until the cache is purged.
    ~font_handle_c();
    font_handle_c(const font_handle_c&) = delete;
    font_handle_c& operator=(const font_handle_c&) = delete;

    // Nothing for an empty text or a transparency of 1.0 or more. Sets the
    // full-output viewport, then draws at (x, y) of the output, moved left by
    // the text's width and up by its height per alignment bit.
    void DrawText(f32 _x, f32 _y, const char* _text, const vec3_c& _color, f32 _transparency, u32 _alignment);
    // The same in the second text form.
    void DrawTextB(f32 _x, f32 _y, const char* _text, const vec3_c& _color, f32 _transparency, u32 _alignment);

    f32 GetTextWidth(const char* _text);
    f32 GetTextWidthB(const char* _text);
    f32 GetTextHeight(const char* _text);
    // Height of the text " ".
    f32 GetLineHeight();
    // Width and height as fractions of the output; 0 and 0 for an empty text
    // (the viewport is not touched then).
    void MeasureText(f32& _width, f32& _height, const char* _text);
    void MeasureTextB(f32& _width, f32& _height, const char* _text);

    font_c* GetFont() const { return font; }
    renderer_c* GetRenderer() const { return renderer; }

private:
    void Measure(f32& _width, f32& _height, const char* _text, bool _second_form);
    void Draw(f32 _x, f32 _y, const char* _text, const vec3_c& _color, f32 _transparency, u32 _alignment,
              bool _second_form);

    font_c* font;
    renderer_c* renderer;
};
