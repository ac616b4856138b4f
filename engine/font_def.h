#pragma once
// font_def_c: names a font by face, size and six style values whose meaning
// is the renderer's. Its key identifies the shared font in the font cache.
#include "foundation/text_string.h"
#include "foundation/types.h"

class font_def_c {
public:
    string_c faceName;
    f32 size = 0.0f;
    u8 style[6] = {0, 0, 0, 0, 0, 0};

    // An empty or null face is named "(Unnamed)".
    explicit font_def_c(const char* _face_name = nullptr, f32 _size = 0.0f);
    font_def_c(const char* _face_name, f32 _size, u8 _s0, u8 _s1, u8 _s2, u8 _s3, u8 _s4, u8 _s5);

    // "Font={"face" size s0 s1 s2 s3 s4 s5}", size in the shortest general
    // form (12.0 prints as 12).
    void GetKey(string_c& _key) const;
};
