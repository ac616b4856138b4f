#include "engine/envelope.h"

#include "engine/graph.h"
#include "engine/stream_check.h"
#include "foundation/memory_file.h"

#include <cmath>

namespace {

// Slope of the tangent leaving a towards b; p is the key before a, or null.
f32 Outgoing(const envelope_key_c& a, const envelope_key_c& b, const envelope_key_c* p)
{
    const f32 d = b.value - a.value;
    f32 ratio = 0.0f;
    if (p) {
        const f32 span = b.time - p->time;
        // Keys sharing one time give no usable ratio; a flat tangent is safe.
        ratio = span != 0.0f ? (b.time - a.time) / span : 0.0f;
    }
    switch (a.shape) {
    case shape_tcb: {
        const f32 s = 1.0f - a.tension;
        const f32 A = (1.0f + a.continuity) * (1.0f + a.bias) * s;
        const f32 B = (1.0f - a.continuity) * (1.0f - a.bias) * s;
        return p ? ratio * (A * (a.value - p->value) + B * d) : B * d;
    }
    case shape_hermite: return p ? a.param1 * ratio : a.param1;
    case shape_bezier:
        if (std::fabs(a.param2) <= 0.00001f)
            return (b.time - a.time) * a.param3 * 100000.0f;
        return (b.time - a.time) * a.param3 / a.param2;
    case shape_linear: return p ? ratio * (a.value - p->value + d) : d;
    default: return 0.0f;
    }
}

// Slope of the tangent arriving at b from a; q is the key after b, or null.
f32 Incoming(const envelope_key_c& a, const envelope_key_c& b, const envelope_key_c* q)
{
    const f32 d = b.value - a.value;
    f32 ratio = 0.0f;
    if (q) {
        const f32 span = q->time - a.time;
        ratio = span != 0.0f ? (b.time - a.time) / span : 0.0f;
    }
    switch (b.shape) {
    case shape_tcb: {
        const f32 s = 1.0f - b.tension;
        const f32 A = (1.0f - b.continuity) * (1.0f + b.bias) * s;
        const f32 B = (1.0f + b.continuity) * (1.0f - b.bias) * s;
        return q ? ratio * (B * (q->value - b.value) + A * d) : A * d;
    }
    case shape_hermite: return q ? b.param0 * ratio : b.param0;
    case shape_bezier:
        if (std::fabs(b.param0) <= 0.00001f)
            return (b.time - a.time) * b.param1 * 100000.0f;
        return (b.time - a.time) * b.param1 / b.param0;
    case shape_linear: return q ? ratio * (q->value - b.value + d) : d;
    default: return 0.0f;
    }
}

f32 Bezier1(f32 x0, f32 x1, f32 x2, f32 x3, f32 s)
{
    const f32 c = 3.0f * (x1 - x0);
    const f32 b = 3.0f * (x2 - x1) - c;
    const f32 a = x3 - x0 - c - b;
    return x0 + c * s + b * s * s + a * s * s * s;
}

f32 BezierInterval(const envelope_key_c& a, const envelope_key_c& b, f32 time)
{
    f32 x1, y1;
    if (a.shape == shape_bezier) {
        x1 = a.time + a.param2;
        y1 = a.value + a.param3;
    } else {
        x1 = a.time + (b.time - a.time) / 3.0f;
        y1 = a.value + a.param1 / 3.0f;
    }
    const f32 x2 = b.time + b.param0;
    const f32 y2 = b.value + b.param1;

    f32 lo = 0.0f, hi = 1.0f;
    f32 s = 0.5f;
    // Steep handles or large times can put the tolerance out of reach of
    // single precision: stop once the bracket no longer narrows.
    for (int step = 0; step < 200; ++step) {
        const f32 x = Bezier1(a.time, x1, x2, b.time, s);
        if (!(std::fabs(time - x) > 0.0001f))
            break;
        if (x <= time)
            lo = s;
        else
            hi = s;
        const f32 next = (lo + hi) * 0.5f;
        if (next == s)
            break;
        s = next;
    }
    return Bezier1(a.value, y1, y2, b.value, s);
}

// Moves a time outside the keys into [first, last) and gives its cycle number.
f32 Wrap(f32 time, f32 first, f32 last, f64& cycle)
{
    const f32 span = last - first;
    if (span == 0.0f) {
        cycle = 0.0;
        return first;
    }
    const f64 c = std::floor((static_cast<f64>(time) - first) / span);
    const f32 wrapped = static_cast<f32>(time - c * span);
    cycle = std::nearbyint((static_cast<f64>(time) - wrapped) / span);
    return wrapped;
}

// Repeat, oscillate and offset map the time into the key span; true when
// the behaviour is one of them.
bool WrapByBehaviour(envelope_behaviour_e behaviour, const envelope_key_c& first, const envelope_key_c& last, f32& time,
                     f32& offset)
{
    if (behaviour != behaviour_repeat && behaviour != behaviour_oscillate && behaviour != behaviour_offset)
        return false;
    f64 cycle = 0.0;
    time = Wrap(time, first.time, last.time, cycle);
    if (behaviour == behaviour_oscillate && std::fmod(cycle, 2.0) != 0.0)
        time = first.time + last.time - time;
    if (behaviour == behaviour_offset)
        offset = static_cast<f32>(cycle * (last.value - first.value));
    return true;
}

} // namespace

f32 envelope_c::Evaluate(f32 _time) const
{
    const size_t n = keys.size();
    if (n == 0)
        return 0.0f;
    if (n == 1)
        return keys[0].value;

    const envelope_key_c& first = keys[0];
    const envelope_key_c& last = keys[n - 1];
    f32 time = _time;
    f32 offset = 0.0f;

    if (time < first.time) {
        if (!WrapByBehaviour(pre, first, last, time, offset)) {
            switch (pre) {
            case behaviour_reset: return 0.0f;
            case behaviour_constant: return first.value;
            case behaviour_linear: {
                const f32 span = keys[1].time - first.time;
                if (span == 0.0f)
                    return first.value;
                return Outgoing(first, keys[1], nullptr) / span * (time - first.time) + first.value;
            }
            default:
                // Damaged data: the first interval is evaluated at the time.
                break;
            }
        }
    } else if (time > last.time) {
        if (!WrapByBehaviour(post, first, last, time, offset)) {
            switch (post) {
            case behaviour_reset: return 0.0f;
            case behaviour_linear: {
                const envelope_key_c& before = keys[n - 2];
                const f32 span = last.time - before.time;
                if (span == 0.0f)
                    return last.value;
                return Incoming(before, last, nullptr) / span * (time - last.time) + last.value;
            }
            default:
                // Constant, and damaged behaviour values, hold the last value.
                return last.value;
            }
        }
    }

    size_t i = 0;
    while (i + 2 < n && time > keys[i + 1].time)
        ++i;
    const envelope_key_c& a = keys[i];
    const envelope_key_c& b = keys[i + 1];

    if (time == a.time)
        return a.value + offset;
    if (time == b.time)
        return b.value + offset;
    const f32 span = b.time - a.time;
    if (span == 0.0f)
        return a.value + offset;
    const f32 t = (time - a.time) / span;

    switch (b.shape) {
    case shape_tcb:
    case shape_hermite: {
        const f32 out = Outgoing(a, b, i > 0 ? &keys[i - 1] : nullptr);
        const f32 in = Incoming(a, b, i + 2 < n ? &keys[i + 2] : nullptr);
        const f32 t2 = t * t;
        const f32 t3 = t2 * t;
        const f32 h2 = 3.0f * t2 - 2.0f * t3;
        const f32 h1 = 1.0f - h2;
        const f32 h3 = t3 - 2.0f * t2 + t;
        const f32 h4 = t3 - t2;
        return h1 * a.value + h2 * b.value + h3 * out + h4 * in + offset;
    }
    case shape_bezier: return BezierInterval(a, b, time) + offset;
    case shape_linear: return a.value + t * (b.value - a.value) + offset;
    case shape_stepped: return a.value + offset;
    default: return offset;
    }
}

void envelope_c::Apply(graph_c* _holder, f32 _time) const
{
    if (float* member = _holder->GetEnvelopeTarget(target))
        *member = Evaluate(_time);
}

void envelope_c::Reset(graph_c* _holder) const
{
    if (float* member = _holder->GetEnvelopeTarget(target))
        *member = keys.empty() ? 0.0f : keys[0].value;
}

void envelope_c::Write(output_file_c& _file) const
{
    _file.WriteU32(target);
    _file.WriteU32(static_cast<u32>(keys.size()));
    for (const envelope_key_c& key : keys) {
        _file.WriteF32(key.value);
        _file.WriteF32(key.time);
        _file.WriteU8(static_cast<u8>(key.shape));
        _file.WriteF32(key.tension);
        _file.WriteF32(key.continuity);
        _file.WriteF32(key.bias);
        _file.WriteF32(key.param0);
        _file.WriteF32(key.param1);
        _file.WriteF32(key.param2);
        _file.WriteF32(key.param3);
    }
    _file.WriteU8(static_cast<u8>(pre));
    _file.WriteU8(static_cast<u8>(post));
}

void envelope_c::Read(input_file_c& _file)
{
    target = ReadCheckedU32(_file);
    const u32 count = ReadCheckedU32(_file);
    CheckRecordCount(_file, count, envelope_key_record_size, "Invalid envelope key count!");
    keys.assign(count, envelope_key_c());
    for (envelope_key_c& key : keys) {
        key.value = ReadCheckedF32(_file);
        key.time = ReadCheckedF32(_file);
        key.shape = static_cast<envelope_shape_e>(ReadCheckedU8(_file));
        key.tension = ReadCheckedF32(_file);
        key.continuity = ReadCheckedF32(_file);
        key.bias = ReadCheckedF32(_file);
        key.param0 = ReadCheckedF32(_file);
        key.param1 = ReadCheckedF32(_file);
        key.param2 = ReadCheckedF32(_file);
        key.param3 = ReadCheckedF32(_file);
    }
    pre = static_cast<envelope_behaviour_e>(ReadCheckedU8(_file));
    post = static_cast<envelope_behaviour_e>(ReadCheckedU8(_file));
}
