#include "engine/font_def.h"

#include "engine/text_format.h"

font_def_c::font_def_c(const char* _face_name, f32 _size) : size(_size)
{
    faceName = _face_name && *_face_name ? _face_name : "(Unnamed)";
}

font_def_c::font_def_c(const char* _face_name, f32 _size, u8 _s0, u8 _s1, u8 _s2, u8 _s3, u8 _s4, u8 _s5)
    : font_def_c(_face_name, _size)
{
    const u8 values[6] = {_s0, _s1, _s2, _s3, _s4, _s5};
    for (int i = 0; i < 6; ++i)
        style[i] = values[i];
}

void font_def_c::GetKey(string_c& _key) const
{
    _key = FormatText("Font={\"%s\" %g %d %d %d %d %d %d}", static_cast<const char*>(faceName),
                      static_cast<double>(size), style[0], style[1], style[2], style[3], style[4], style[5]);
}
