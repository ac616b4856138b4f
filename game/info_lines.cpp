#include "game/info_lines.h"

#include "engine/font_handle.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr f32 shadow_lead = 0.3f;
constexpr f32 shadow_transparency = 0.7f;
constexpr f32 snap = 640.0f;

} // namespace

void info_lines_c::Add(const string_c& _text, f32 _now)
{
    lines.push_back({_now + life, _text});
}

void info_lines_c::Expire(f32 _now)
{
    const auto alive =
        std::find_if(lines.begin(), lines.end(), [&](const info_line_c& _line) { return _line.expiry > _now; });
    lines.erase(lines.begin(), alive);
}

f32 info_lines_c::TextFade(f32 _expiry, f32 _now)
{
    return std::clamp((_expiry - _now) / fade, 0.0f, 1.0f);
}

f32 info_lines_c::ShadowFade(f32 _expiry, f32 _now)
{
    return std::clamp((_expiry - fade * shadow_lead - _now) / (fade * (1.0f - shadow_lead)), 0.0f, 1.0f);
}

f32 info_lines_c::CentredX(f32 _width)
{
    return std::trunc((0.5f - _width * 0.5f) * snap) / snap;
}

void info_lines_c::Render(font_handle_c& _font, f32 _now, const vec3_c& _color, f32 _shadow_offset) const
{
    f32 y = top;
    for (const info_line_c& line : lines) {
        const char* text = line.text.GetData();
        const f32 x = CentredX(_font.GetTextWidth(text));
        if (_shadow_offset != 0.0f)
            _font.DrawText(x + _shadow_offset, y + _shadow_offset, text, vec3_c(0.0f, 0.0f, 0.0f),
                           (1.0f - ShadowFade(line.expiry, _now)) * shadow_transparency, 0);
        _font.DrawText(x, y, text, _color, 1.0f - TextFade(line.expiry, _now), 0);
        y += _font.GetTextHeight(text);
    }
}
