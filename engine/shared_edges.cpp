#include "engine/shared_edges.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

struct cell_s {
    i64 x, y, z;
    bool operator==(const cell_s&) const = default;
};

i64 FineCoordinate(f32 _value)
{
    const double cell = std::floor(static_cast<double>(_value) / kMathEpsilon);
    // Far or non-finite coordinates share a cell; the exact test decides.
    if (!(cell > -4e18 && cell < 4e18))
        return 0;
    return static_cast<i64>(cell);
}

cell_s FineCell(const vec3_c& _p)
{
    return {FineCoordinate(_p.x), FineCoordinate(_p.y), FineCoordinate(_p.z)};
}

// Coarse cells are 1024 fine cells wide, centred on multiples of 1024 so that
// whole and simple fractional coordinates sit in the middle of a cell, far
// from the neighbours a lookup would have to visit too.
constexpr int kCoarseShift = 10;

i64 Coarse(i64 _fine)
{
    return (_fine + (i64{1} << (kCoarseShift - 1))) >> kCoarseShift;
}

bool Near(i64 _a, i64 _b)
{
    return _a - _b <= 1 && _b - _a <= 1;
}

// Coarse cells that fine cells _fine - 1 to _fine + 1 fall in: one or two.
int CoarseRange(i64 _fine, i64 (&_out)[2])
{
    const i64 low = Coarse(_fine - 1), high = Coarse(_fine + 1);
    _out[0] = low;
    _out[1] = high;
    return low == high ? 1 : 2;
}

// Open-addressing table from coarse cells to groups of edges stored together.
class coarse_table_c {
public:
    explicit coarse_table_c(size_t _expected)
        : mask(std::bit_ceil(std::max<size_t>(16, _expected * 2)) - 1), slots(mask + 1, kEmpty)
    {}

    // The group of _cell, made when absent.
    u32 Add(const cell_s& _cell)
    {
        for (size_t at = Hash(_cell) & mask;; at = (at + 1) & mask) {
            if (slots[at] == kEmpty) {
                slots[at] = static_cast<u32>(keys.size());
                keys.push_back(_cell);
                return slots[at];
            }
            if (keys[slots[at]] == _cell)
                return slots[at];
        }
    }

    // The group of _cell, or kEmpty.
    u32 Find(const cell_s& _cell) const
    {
        for (size_t at = Hash(_cell) & mask;; at = (at + 1) & mask) {
            if (slots[at] == kEmpty || keys[slots[at]] == _cell)
                return slots[at];
        }
    }

    u32 Groups() const { return static_cast<u32>(keys.size()); }

    static constexpr u32 kEmpty = 0xFFFFFFFFu;

private:
    static size_t Hash(const cell_s& _cell)
    {
        u64 h = static_cast<u64>(_cell.x) * 0x9E3779B97F4A7C15ull;
        h ^= static_cast<u64>(_cell.y) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
        h ^= static_cast<u64>(_cell.z) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
        h ^= h >> 33;
        h *= 0xFF51AFD7ED558CCDull;
        h ^= h >> 33;
        return static_cast<size_t>(h);
    }

    size_t mask;
    std::vector<u32> slots;
    std::vector<cell_s> keys;
};

} // namespace

std::vector<shared_edge_s> FindSharedEdges(const std::vector<vec3_c>& _positions)
{
    const u32 triangles = static_cast<u32>(_positions.size() / 3);
    const u32 edges = triangles * 3;
    // Fine cells are worked out when needed rather than kept: a build makes
    // less fresh memory that way, and fresh pages cost more than the sums.
    auto endCorner = [](u32 _edge) { return _edge - _edge % 3 + (_edge % 3 + 1) % 3; };

    // Edges grouped by the coarse cell of their end point, in edge order
    // within a group.
    coarse_table_c table(edges);
    std::vector<u32> groupOf(edges);
    for (u32 e = 0; e < edges; ++e) {
        const cell_s f = FineCell(_positions[endCorner(e)]);
        groupOf[e] = table.Add({Coarse(f.x), Coarse(f.y), Coarse(f.z)});
    }
    std::vector<u32> first(table.Groups() + 1, 0);
    for (u32 e = 0; e < edges; ++e)
        ++first[groupOf[e] + 1];
    for (u32 g = 0; g < table.Groups(); ++g)
        first[g + 1] += first[g];
    std::vector<u32> grouped(edges);
    {
        std::vector<u32> fill(first.begin(), first.end() - 1);
        for (u32 e = 0; e < edges; ++e)
            grouped[fill[groupOf[e]]++] = e;
    }

    std::vector<shared_edge_s> matches;
    std::vector<shared_edge_s> found; // of one triangle
    for (u32 i = 0; i < triangles; ++i) {
        found.clear();
        for (u32 a = 0; a < 3; ++a) {
            const u32 startCorner = i * 3 + a;
            const vec3_c& a0 = _positions[startCorner];
            const vec3_c& a1 = _positions[i * 3 + (a + 1) % 3];
            const cell_s centre = FineCell(a0);
            i64 xs[2], ys[2], zs[2];
            const int nx = CoarseRange(centre.x, xs), ny = CoarseRange(centre.y, ys), nz = CoarseRange(centre.z, zs);
            for (int ix = 0; ix < nx; ++ix)
                for (int iy = 0; iy < ny; ++iy)
                    for (int iz = 0; iz < nz; ++iz) {
                        const u32 g = table.Find({xs[ix], ys[iy], zs[iz]});
                        if (g == coarse_table_c::kEmpty)
                            continue;
                        for (u32 k = first[g]; k < first[g + 1]; ++k) {
                            const u32 edge = grouped[k];
                            const u32 j = edge / 3;
                            if (j <= i)
                                continue;
                            const vec3_c& b1 = _positions[endCorner(edge)];
                            if (!(b1 == a0 && _positions[edge] == a1))
                                continue;
                            const cell_s end = FineCell(b1);
                            if (Near(end.x, centre.x) && Near(end.y, centre.y) && Near(end.z, centre.z))
                                found.push_back({i, j, a, edge % 3});
                        }
                    }
        }
        std::sort(found.begin(), found.end(), [](const shared_edge_s& _x, const shared_edge_s& _y) {
            return _x.j != _y.j ? _x.j < _y.j : _x.a != _y.a ? _x.a < _y.a : _x.b < _y.b;
        });
        matches.insert(matches.end(), found.begin(), std::unique(found.begin(), found.end()));
    }
    return matches;
}
