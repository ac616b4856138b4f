#pragma once
// info_lines_c: the HUD's fading info lines. A line lives 10.0 s from the
// moment it is added; it is fully visible for 9.2 s and fades out over the
// last 0.8 s, its shadow a little ahead of it. Lines leave from the front of
// the list once expired; removal stops at the first line still alive, so a
// line never outlives one added before it by being removed early.
//
// Drawing (Render): from y = 0.05 downward in list order, each line centred
// and snapped to 1/640 of the width, y advancing by the text's height; with
// a shadow offset other than 0 a black shadow first at (x + offset,
// y + offset).
#include "foundation/text_string.h"
#include "foundation/vector_math.h"

#include <vector>

class font_handle_c;

struct info_line_c {
    f32 expiry = 0.0f;
    string_c text;
};

class info_lines_c {
public:
    static constexpr f32 life = 10.0f;
    static constexpr f32 fade = 0.8f;
    static constexpr f32 top = 0.05f;

    void Add(const string_c& _text, f32 _now);
    // Drops expired lines (expiry not later than _now) from the front.
    void Expire(f32 _now);
    void Clear() { lines.clear(); }
    void Render(font_handle_c& _font, f32 _now, const vec3_c& _color, f32 _shadow_offset) const;

    // The text's fade a = (expiry - now) / 0.8 and the shadow's
    // b = (expiry - 0.24 - now) / 0.56, each held in [0, 1]: 1 fully shown.
    static f32 TextFade(f32 _expiry, f32 _now);
    static f32 ShadowFade(f32 _expiry, f32 _now);
    // (integer part of (0.5 - w / 2) x 640) / 640.
    static f32 CentredX(f32 _width);

    const std::vector<info_line_c>& GetLines() const { return lines; }

private:
    std::vector<info_line_c> lines;
};
