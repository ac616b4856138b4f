#include "game/objects/noise.h"

#include "foundation/random_numbers.h"

#include <cmath>

namespace {

// The seed of the tables: any fixed value gives every run the same noise.
constexpr u32 noise_seed = 0x5EED1918;

f32 RandomComponent(u32& _state)
{
    const u32 r = ParkMillerStep(_state);
    return static_cast<f32>(static_cast<i32>(r % 512) - 256) / 256.0f;
}

template <int n>
void Normalize(f32 (&_v)[n])
{
    f32 sum = 0.0f;
    for (f32 c : _v)
        sum += c * c;
    const f32 length = std::sqrt(sum);
    if (length > 0.0f)
        for (f32& c : _v)
            c /= length;
}

noise_tables_c BuildTables()
{
    noise_tables_c t{};
    u32 state = noise_seed;
    for (int i = 0; i < noise_size; ++i) {
        t.permutation[i] = i;
        t.gradient1[i] = RandomComponent(state);
        for (f32& c : t.gradient2[i])
            c = RandomComponent(state);
        Normalize(t.gradient2[i]);
        for (f32& c : t.gradient3[i])
            c = RandomComponent(state);
        Normalize(t.gradient3[i]);
    }
    for (int i = noise_size - 1; i > 0; --i) {
        const int j = static_cast<int>(ParkMillerStep(state) % noise_size);
        const i32 k = t.permutation[i];
        t.permutation[i] = t.permutation[j];
        t.permutation[j] = k;
    }
    for (int i = 0; i < noise_size + 2; ++i) {
        t.permutation[noise_size + i] = t.permutation[i];
        t.gradient1[noise_size + i] = t.gradient1[i];
        for (int c = 0; c < 2; ++c)
            t.gradient2[noise_size + i][c] = t.gradient2[i][c];
        for (int c = 0; c < 3; ++c)
            t.gradient3[noise_size + i][c] = t.gradient3[i][c];
    }
    return t;
}

// The lattice cell of one coordinate: corners b0, b1 and the offsets from
// them. False when the coordinate cannot be placed.
struct cell_c {
    int b0, b1;
    f32 r0, r1;
};

bool Place(f32 _c, cell_c& _cell)
{
    const f32 t = _c + static_cast<f32>(noise_offset);
    if (!(std::fabs(t) < 2147483520.0f))
        return false;
    const int whole = static_cast<int>(t);
    _cell.b0 = whole & noise_mask;
    _cell.b1 = (_cell.b0 + 1) & noise_mask;
    _cell.r0 = t - static_cast<f32>(whole);
    _cell.r1 = _cell.r0 - 1.0f;
    return true;
}

f32 SCurve(f32 _t)
{
    return _t * _t * (3.0f - 2.0f * _t);
}

f32 Lerp(f32 _t, f32 _a, f32 _b)
{
    return _a + _t * (_b - _a);
}

} // namespace

const noise_tables_c& GetNoiseTables()
{
    static const noise_tables_c tables = BuildTables();
    return tables;
}

f32 Noise1(f32 _x)
{
    const noise_tables_c& t = GetNoiseTables();
    cell_c x;
    if (!Place(_x, x))
        return 0.0f;
    const f32 u = x.r0 * t.gradient1[t.permutation[x.b0]];
    const f32 v = x.r1 * t.gradient1[t.permutation[x.b1]];
    return Lerp(SCurve(x.r0), u, v);
}

f32 Noise2(const f32 _point[2])
{
    const noise_tables_c& t = GetNoiseTables();
    cell_c x, y;
    if (!Place(_point[0], x) || !Place(_point[1], y))
        return 0.0f;
    const int i = t.permutation[x.b0];
    const int j = t.permutation[x.b1];
    const int b00 = t.permutation[i + y.b0];
    const int b10 = t.permutation[j + y.b0];
    const int b01 = t.permutation[i + y.b1];
    const int b11 = t.permutation[j + y.b1];
    auto at = [&](int _b, f32 _rx, f32 _ry) { return _rx * t.gradient2[_b][0] + _ry * t.gradient2[_b][1]; };
    const f32 sx = SCurve(x.r0);
    const f32 a = Lerp(sx, at(b00, x.r0, y.r0), at(b10, x.r1, y.r0));
    const f32 b = Lerp(sx, at(b01, x.r0, y.r1), at(b11, x.r1, y.r1));
    return Lerp(SCurve(y.r0), a, b);
}

f32 Noise3(const f32 _point[3])
{
    const noise_tables_c& t = GetNoiseTables();
    cell_c x, y, z;
    if (!Place(_point[0], x) || !Place(_point[1], y) || !Place(_point[2], z))
        return 0.0f;
    const int i = t.permutation[x.b0];
    const int j = t.permutation[x.b1];
    const int b00 = t.permutation[i + y.b0];
    const int b10 = t.permutation[j + y.b0];
    const int b01 = t.permutation[i + y.b1];
    const int b11 = t.permutation[j + y.b1];
    auto at = [&](int _b, f32 _rx, f32 _ry, f32 _rz) {
        return _rx * t.gradient3[_b][0] + _ry * t.gradient3[_b][1] + _rz * t.gradient3[_b][2];
    };
    const f32 sx = SCurve(x.r0);
    const f32 sy = SCurve(y.r0);
    auto plane = [&](int _bz, f32 _rz) {
        const f32 a = Lerp(sx, at(b00 + _bz, x.r0, y.r0, _rz), at(b10 + _bz, x.r1, y.r0, _rz));
        const f32 b = Lerp(sx, at(b01 + _bz, x.r0, y.r1, _rz), at(b11 + _bz, x.r1, y.r1, _rz));
        return Lerp(sy, a, b);
    };
    return Lerp(SCurve(z.r0), plane(z.b0, z.r0), plane(z.b1, z.r1));
}

f32 FractalNoise1(int _octaves, f32 _x)
{
    f32 sum = 0.0f;
    f32 frequency = 1.0f;
    for (int k = 0; k < _octaves; ++k) {
        sum += Noise1(_x * frequency) / frequency;
        frequency *= 2.0f;
    }
    return sum;
}

f32 FractalNoise3(const f32 _point[3], int _octaves)
{
    f32 sum = 0.0f;
    f32 copy[3] = {_point[0], _point[1], _point[2]};
    f32 f = 1.0f;
    for (int k = 0; k < _octaves; ++k) {
        for (f32& c : copy)
            c *= f;
        sum += Noise3(copy) / f;
        f *= 2.0f;
    }
    return sum;
}
