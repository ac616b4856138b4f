#include "engine/null_renderer.h"

void null_font_c::MeasureTextB(const char*, i32& _width, i32& _height)
{
    _width = 0;
    _height = 0;
}

void null_font_c::MeasureText(const char*, i32& _width, i32& _height)
{
    _width = 0;
    _height = 0;
}

null_renderer_c::~null_renderer_c() = default;

geometry_c* null_renderer_c::CreateGeometry(const char* _key, const geometry_def_c& _definition)
{
    return new null_geometry_c(_key, _definition);
}

texture_c* null_renderer_c::CreateTexture(const char* _key, const texture_def_c& _definition)
{
    return new null_texture_c(_key, _definition);
}

font_c* null_renderer_c::CreateFont(const char* _key, const font_def_c& _definition)
{
    return new null_font_c(_key, _definition);
}
