#include "engine/renderer.h"

#include <cfloat>
#include <cmath>

renderer_c::renderer_c() = default;

i32 TruncateToPixels(f32 _value)
{
    const f64 value = std::trunc(static_cast<f64>(_value));
    if (!(value > -1.0e9))
        return value > 0 ? 1000000000 : -1000000000;
    if (value > 1.0e9)
        return 1000000000;
    return static_cast<i32>(value);
}

namespace {

// trunc(fraction x size), multiplied in single precision as the viewport
// rules expect (0.9 x 640 is 576).
i32 ScaleToPixels(f32 fraction, i32 size)
{
    return TruncateToPixels(fraction * static_cast<f32>(size));
}

} // namespace

i32 renderer_c::SetViewport(f32 _x, f32 _y, f32 _width, f32 _height, f32 _aspect)
{
    const i32 W = outputWidth;
    const i32 H = outputHeight;
    i32 x = ScaleToPixels(_x, W);
    i32 y = ScaleToPixels(_y, H);
    i32 w = ScaleToPixels(_width, W);
    i32 h = ScaleToPixels(_height, H);
    if (x < 0) {
        w += x;
        x = 0;
    }
    if (y < 0) {
        h += y;
        y = 0;
    }
    if (x > W)
        x = W;
    if (y > H)
        y = H;
    if (w < 0)
        w = 0;
    if (h < 0)
        h = 0;
    if (x + w > W)
        w = W - x;
    if (y + h > H)
        h = H - y;
    viewportX = x;
    viewportY = y;
    viewportWidth = w;
    viewportHeight = h;
    viewportAspect = _aspect;
    halfViewportWidth = static_cast<f32>(w) * 0.5f;
    halfViewportHeight = static_cast<f32>(h) * 0.5f;
    return SetViewportRect(x, y, w, h);
}

void renderer_c::SetResolution(i32 _width, i32 _height)
{
    SetResolutionAspect(_width, _height, _width, _height);
}

void renderer_c::SetResolutionAspect(i32 _width, i32 _height, i32 _aspect_width, i32 _aspect_height)
{
    outputWidth = _width > 0 ? _width : 0;
    outputHeight = _height > 0 ? _height : 0;
    pixelAspect = _aspect_width > 0 && _aspect_height > 0
                      ? static_cast<f32>((_aspect_height * 4.0) / (_aspect_width * 3.0))
                      : 1.0f;
    SetOutputSize(_width, _height);
}

void renderer_c::SetGamma(f32 _gamma, bool _apply)
{
    if (!(_gamma >= FLT_EPSILON))
        _gamma = FLT_EPSILON;
    if (_gamma == gamma)
        return;
    gamma = _gamma;
    gammaDirty = true;
    if (_apply)
        BuildGammaRamp();
}

namespace {

f32 ClampUnit(f32 v)
{
    if (v <= 0.0f)
        return 0.0f;
    if (v >= 1.0f)
        return 1.0f;
    return v;
}

} // namespace

void renderer_c::BuildGammaRamp()
{
    if (!gammaDirty)
        return;
    f32 m = 0.01f / (1.0f - (levels * 0.7f + 0.3f)) - 0.01f;
    m = std::fmin(m, 1.0f);
    const f32 slope = std::tan((contrast + 1.0f) * 0.78539816339744830962f);
    gamma_ramp_t ramp;
    for (int i = 0; i < 256; ++i) {
        f32 v = levels == 1.0f ? static_cast<f32>(i) * (1.0f / 255.0f)
                               : std::trunc(static_cast<f32>(i) * m + 0.5f) / (m * 255.0f);
        if (inverted)
            v = 1.0f - v;
        if (contrast != 0.0f)
            v = ClampUnit((v - 0.5f) * slope + 0.5f);
        if (brightness != 0.0f)
            v = ClampUnit(v + brightness);
        if (gamma != 1.0f)
            v = std::pow(v, 1.0f / gamma);
        ramp[i] = vec3_c(v, v, v);
    }
    SetGammaRamp(ramp);
    gammaDirty = false;
}

void renderer_c::LogWarning(const string_c& _text)
{
    if (warningLog.GetLength() >= warning_log_limit)
        return;
    warningLog += _text;
    warningLog += '\n';
}

void renderer_c::PrintStatistics(std::ostream& _out)
{
    geometry_cache_c::PrintStatistics(_out);
    _out << "\n";
    texture_cache_c::PrintStatistics(_out);
    _out << "\n";
    font_cache_c::PrintStatistics(_out);
}
