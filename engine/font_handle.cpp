#include "engine/font_handle.h"

#include "engine/renderer.h"

font_handle_c::font_handle_c(const font_def_c& _definition, renderer_c* _renderer) : renderer(_renderer)
{
    font_cache_c* cache = renderer;
    font = cache->AddRef(cache->GetFont(_definition));
}

font_handle_c::~font_handle_c()
{
    static_cast<font_cache_c*>(renderer)->Release(font);
}

void font_handle_c::Measure(f32& _width, f32& _height, const char* _text, bool _second_form)
{
    _width = 0.0f;
    _height = 0.0f;
    if (!_text || !*_text)
        return;
    renderer->SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    i32 w = 0, h = 0;
    if (_second_form)
        font->MeasureTextB(_text, w, h);
    else
        font->MeasureText(_text, w, h);
    const i32 vw = renderer->GetViewportWidth();
    const i32 vh = renderer->GetViewportHeight();
    _width = vw ? static_cast<f32>(w) / static_cast<f32>(vw) : 0.0f;
    _height = vh ? static_cast<f32>(h) / static_cast<f32>(vh) : 0.0f;
}

void font_handle_c::Draw(f32 _x, f32 _y, const char* _text, const vec3_c& _color, f32 _transparency, u32 _alignment,
                         bool _second_form)
{
    if (!_text || !*_text || !(_transparency < 1.0f))
        return;
    renderer->SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    const i32 vw = renderer->GetViewportWidth();
    const i32 vh = renderer->GetViewportHeight();
    if (vw == 0 || vh == 0)
        return;
    i32 px = TruncateToPixels(static_cast<f32>(vw) * _x + 0.5f);
    i32 py = TruncateToPixels(static_cast<f32>(vh) * _y + 0.5f);
    i32 w = 0, h = 0;
    if (_second_form)
        font->MeasureTextB(_text, w, h);
    else
        font->MeasureText(_text, w, h);
    if (_alignment & text_align_right)
        px -= w;
    if (_alignment & text_align_bottom)
        py -= h;
    if (_second_form)
        renderer->DrawTextB(this, px, py, w, h, _text, _color, _transparency);
    else
        renderer->DrawText(this, px, py, w, h, _text, _color, _transparency);
}

void font_handle_c::DrawText(f32 _x, f32 _y, const char* _text, const vec3_c& _color, f32 _transparency, u32 _alignment)
{
    Draw(_x, _y, _text, _color, _transparency, _alignment, false);
}

void font_handle_c::DrawTextB(f32 _x, f32 _y, const char* _text, const vec3_c& _color, f32 _transparency,
                              u32 _alignment)
{
    Draw(_x, _y, _text, _color, _transparency, _alignment, true);
}

f32 font_handle_c::GetTextWidth(const char* _text)
{
    f32 w, h;
    Measure(w, h, _text, false);
    return w;
}

f32 font_handle_c::GetTextWidthB(const char* _text)
{
    f32 w, h;
    Measure(w, h, _text, true);
    return w;
}

f32 font_handle_c::GetTextHeight(const char* _text)
{
    f32 w, h;
    Measure(w, h, _text, false);
    return h;
}

f32 font_handle_c::GetLineHeight()
{
    return GetTextHeight(" ");
}

void font_handle_c::MeasureText(f32& _width, f32& _height, const char* _text)
{
    Measure(_width, _height, _text, false);
}

void font_handle_c::MeasureTextB(f32& _width, f32& _height, const char* _text)
{
    Measure(_width, _height, _text, true);
}
