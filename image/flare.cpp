#include "image/flare.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "image/image.h"
#include "image/pixel.h"

flare_def_c::flare_def_c()
    : color{0, 0, 0}, intensity(1.0f), size(1.0f), glowColor{0, 0, 0}, glowSize(1.0f),
      glowFalloff(6.0f), haloColor{0, 0, 0}, haloSize(1.0f), haloFalloff(2.0f), ringColor{0, 0, 0}, ringSize(0.22f),
      ringWidth(0.02f), discColor{0, 0, 0}, discSize(0.97f), discEdge(0.06f), rayAngle(1.5707964f), rayCount(0),
      rayLength(1.0f), rayWidth(0.07f), rayIntensity(0.18f), ray2Count(0), ray2Length(0.5f), ray2Width(0.07f),
      ray2Intensity(0.1f), streakCount(0), streakLength(1.0f), streakWidth(1.0f / 60.0f), streakIntensity(0.03f)
{}

void RgbToHsv(f32 r, f32 g, f32 b, f32& h, f32& s, f32& v)
{
    const f32 max = std::max({r, g, b});
    const f32 min = std::min({r, g, b});
    v = max;
    s = max != 0 ? (max - min) / max : 0;
    if (s == 0) {
        h = -1;
        return;
    }
    const f32 delta = max - min;
    if (r == max)
        h = (g - b) / delta;
    else if (g == max)
        h = 2 + (b - r) / delta;
    else
        h = 4 + (r - g) / delta;
    h *= 60;
    if (h < 0)
        h += 360;
}

void HsvToRgb(f32 h, f32 s, f32 v, f32& r, f32& g, f32& b)
{
    if (s == 0 || h < 0 || !std::isfinite(h)) {
        r = g = b = v;
        return;
    }
    if (h >= 360)
        h = std::fmod(h, 360.0f);
    const int i = std::clamp(int(h * (1.0f / 60.0f)), 0, 5);
    const f32 f = h / 60 - i;
    const f32 p = v * (1 - s);
    const f32 q = v * (1 - f * s);
    const f32 t = v * (1 - (1 - f) * s);
    switch (i) {
    case 0: r = v, g = t, b = p; break;
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    default: r = v, g = p, b = q; break;
    }
}

namespace {

constexpr f32 pi = std::numbers::pi_v<f32>;

// Every ray walks the whole picture; counts from data beyond this would stall
// the caller for minutes.
constexpr int max_rays = 1024;

// Process-wide: streaks differ from one picture to the next.
u16 streak_state = 0x4A51;

bool IsBlack(const f32 c[3])
{
    return std::fabs(c[0]) < FLT_EPSILON && std::fabs(c[1]) < FLT_EPSILON && std::fabs(c[2]) < FLT_EPSILON;
}

// Truncates toward zero; NaN and values beyond a byte's range cannot reach
// the integer conversion.
int TruncateChannel(f32 v)
{
    if (!(v > -256.0f))
        return v != v ? 0 : -256;
    if (v > 256.0f)
        return 256;
    return int(v);
}

class flare_painter_c {
public:
    flare_painter_c(image_c& image) : image(image)
    {
        w = image.GetWidth();
        h = image.GetHeight();
        bytes = PixelBytes(image.GetFormat());
        pitch = size_t(w + image.GetPadding()) * bytes;
        radius = f32(std::min(w / 2, h / 2) - 1);
    }

    bool HasRoom() const { return radius > 0; }

    // Adds a colour (already scaled by the brightness) to one pixel, saturating.
    void Add(int column, int row, f32 r, f32 g, f32 b)
    {
        u8* px = image.GetData() + size_t(row) * pitch + size_t(column) * bytes;
        auto sum = [](u32 base, f32 add) { return u32(std::clamp(int(base) + TruncateChannel(add), 0, 255)); };
        if (bytes == 1) {
            const u32 grey = px[0];
            *px = u8(GreyOf(sum(grey, r), sum(grey, g), sum(grey, b)));
        } else {
            px[0] = u8(sum(px[0], b));
            px[1] = u8(sum(px[1], g));
            px[2] = u8(sum(px[2], r));
            px[3] = 0;
        }
    }

    // Calls paint(column, row, x, y, d) for every pixel; y grows downward for
    // the round elements and upward for rays and streaks.
    template <typename paint_t>
    void ForEach(bool y_up, paint_t paint)
    {
        for (int row = 0; row < h; ++row) {
            const f32 y = y_up ? f32(h / 2 - 1 - row) : f32(row - h / 2);
            for (int column = 0; column < w; ++column) {
                const f32 x = f32(column - w / 2);
                paint(column, row, x, y, std::sqrt(x * x + y * y));
            }
        }
    }

    void Ray(const f32 colour[3], f32 angle, f32 length, f32 width, f32 ray_intensity)
    {
        const f32 reach = length * radius;
        const f32 thickness = radius * width;
        if (!(reach > 0) || !(thickness > 0))
            return;
        const f32 c = std::cos(angle);
        const f32 s = std::sin(angle);
        const f32 scale = ray_intensity * 255;
        ForEach(true, [&](int column, int row, f32 x, f32 y, f32 d) {
            const f32 t = d / reach;
            if (t >= 1 || x * c + y * s < 0)
                return;
            const f32 u = std::fabs(y * c - x * s) * 2 / thickness;
            if (u >= 1)
                return;
            const f32 k = std::cos(u * pi / 2);
            const f32 b = k * k * (1 - t) * scale;
            Add(column, row, colour[0] * b, colour[1] * b, colour[2] * b);
        });
    }

    image_c& image;
    int w, h, bytes;
    size_t pitch;
    f32 radius;
};

} // namespace

void image_c::MakeFlare(const flare_def_c& def)
{
    if (!IsValid())
        return;
    if (format != format_l8 && format != format_x8r8g8b8 && format != format_a8r8g8b8)
        throw std::invalid_argument("void image_c::MakeFlare(const flare_def_c& _flare_def)");
    Fill(0);
    if (!(def.size > 0) || !(def.intensity > 0))
        return;
    flare_painter_c painter(*this);
    // Pictures too small for a radius get no elements.
    if (!painter.HasRoom())
        return;
    const f32 R = painter.radius;
    const f32 I = def.intensity * 255;

    if (!IsBlack(def.glowColor) && def.glowSize > 0) {
        const f32 S = def.size * def.glowSize * R;
        const f32 e = std::max(1.0f, def.glowFalloff);
        const bool plain = IsBlack(def.color);
        f32 hA = 0, sA = 0, vA = 0, hB = 0, sB = 0, vB = 0;
        RgbToHsv(def.color[0], def.color[1], def.color[2], hA, sA, vA);
        RgbToHsv(def.glowColor[0], def.glowColor[1], def.glowColor[2], hB, sB, vB);
        const bool same_hue = std::fabs(hA - hB) < FLT_EPSILON;
        painter.ForEach(false, [&](int column, int row, f32, f32, f32 d) {
            const f32 t = d / S;
            if (!(t < 1))
                return;
            const f32 f = std::pow(1 - t, e);
            if (plain) {
                const f32 b = f * I;
                painter.Add(column, row, def.glowColor[0] * b, def.glowColor[1] * b, def.glowColor[2] * b);
                return;
            }
            f32 r, g, b;
            HsvToRgb(hA, (1 - f) * sA, f, r, g, b);
            if (!same_hue) {
                f32 r2, g2, b2;
                HsvToRgb(hB, (1 - f) * sA, f, r2, g2, b2);
                r = r * (1 - t) + r2 * t;
                g = g * (1 - t) + g2 * t;
                b = b * (1 - t) + b2 * t;
            }
            painter.Add(column, row, r * I, g * I, b * I);
        });
    }

    if (!IsBlack(def.haloColor) && def.haloSize >= 0) {
        const f32 S = def.size * def.haloSize * R;
        const f32 e = std::max(1.0f, def.haloFalloff);
        if (S > 0) {
            painter.ForEach(false, [&](int column, int row, f32, f32, f32 d) {
                const f32 t = d / S;
                if (!(t < 1))
                    return;
                const f32 b = std::pow(std::cos(t * pi / 2), e) * I;
                painter.Add(column, row, def.haloColor[0] * b, def.haloColor[1] * b, def.haloColor[2] * b);
            });
        }
    }

    if (!IsBlack(def.discColor) && def.discSize > 0) {
        const f32 E = std::max(0.0f, def.discEdge);
        const f32 inner = (def.size * def.discSize - E / 2) * R;
        const f32 edge = R * E;
        painter.ForEach(false, [&](int column, int row, f32, f32, f32 d) {
            f32 b;
            if (d < inner) {
                b = I;
            } else {
                // A zero edge leaves a hard disc.
                if (!(edge > 0))
                    return;
                const f32 u = (d - inner) / edge;
                if (!(u < 1))
                    return;
                const f32 k = std::cos(u * pi / 2);
                b = k * k * I;
            }
            painter.Add(column, row, def.discColor[0] * b, def.discColor[1] * b, def.discColor[2] * b);
        });
    }

    if (!IsBlack(def.ringColor) && def.ringSize >= 0 && def.ringWidth > 0) {
        const f32 P = def.size * def.ringSize * R;
        const f32 thickness = R * def.ringWidth;
        painter.ForEach(false, [&](int column, int row, f32, f32, f32 d) {
            const f32 u = std::fabs(d - P) * 2 / thickness;
            if (!(u < 1))
                return;
            const f32 k = std::cos(u * pi / 2);
            const f32 b = k * k * I;
            painter.Add(column, row, def.ringColor[0] * b, def.ringColor[1] * b, def.ringColor[2] * b);
        });
    }

    if (IsBlack(def.color))
        return;
    if (def.rayCount > 0 && def.rayLength > 0 && def.rayWidth > 0 && def.rayIntensity > 0) {
        for (int k = 0; k < std::min(def.rayCount, max_rays); ++k)
            painter.Ray(def.color, def.rayAngle + k * 2 * pi / def.rayCount, def.size * def.rayLength, def.rayWidth,
                        def.intensity * def.rayIntensity);
    }
    if (def.ray2Count > 0 && def.ray2Length > 0 && def.ray2Width > 0 && def.ray2Intensity > 0) {
        for (int k = 0; k < std::min(def.ray2Count, max_rays); ++k)
            painter.Ray(def.color, def.rayAngle + pi / def.ray2Count + k * 2 * pi / def.ray2Count,
                        def.size * def.ray2Length, def.ray2Width, def.intensity * def.ray2Intensity);
    }
    if (def.streakCount > 0 && def.streakLength > 0 && def.streakWidth > 0 && def.streakIntensity > 0) {
        for (int k = 0; k < std::min(def.streakCount, max_rays); ++k) {
            streak_state = u16(streak_state * 20021 + 1);
            painter.Ray(def.color, streak_state * 2 * pi / 65536, def.size * def.streakLength, def.streakWidth,
                        def.intensity * def.streakIntensity);
        }
    }
}
