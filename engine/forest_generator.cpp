#include "engine/forest_generator.h"

#include "engine/color.h"
#include "engine/grey_map.h"
#include "engine/primitive_set.h"
#include "engine/renderer.h"
#include "foundation/text_string.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

constexpr f32 pixel_scale = 0.0039215689f; // 1 / 255 in single precision
constexpr f32 full_turn = 6.2831855f;

// The view fade: thinning from half the range out to the range.
f32 FadeFactor(f32 _far, f32 _range)
{
    const f32 half = _range * 0.5f;
    if (!(_far > half))
        return 1.0f;
    return std::clamp(1.0f - (_far - half) / half, 0.0f, 1.0f);
}

} // namespace

u32 forest_generator_c::GetCellSide() const
{
    return densityMap.IsValid() ? static_cast<u32>(densityMap.GetWidth()) : 0;
}

u32 forest_generator_c::GetTreeSlots() const
{
    const u32 side = GetCellSide();
    if (side == 0)
        return 0;
    const u64 cells = static_cast<u64>(side) * side;
    const f32 slots = treeDensity * extent * extent / static_cast<f32>(cells);
    if (!(slots >= 1.0f))
        return 0;
    // Every slot keeps a ground height; the cap keeps a hostile density or
    // extent from asking for more than memory holds.
    const u64 most = forest_slot_limit / cells;
    return slots >= static_cast<f32>(most) ? static_cast<u32>(most) : static_cast<u32>(slots);
}

bool forest_generator_c::HasTrees() const
{
    return GetCellSide() != 0 && cellSeeds.size() == GetCellCount() && GetTreeSlots() >= 3;
}

bool forest_generator_c::GroundDataFits() const
{
    const u64 side = GetCellSide();
    return groundGrid.size() == (side + 1) * (side + 1) && treeHeights.size() == u64(GetTreeSlots()) * side * side;
}

void forest_generator_c::SetDensityMap(const image_c& _image)
{
    densityMap = SquareGreyImage(_image);
}

void forest_generator_c::InitCellSeeds()
{
    if (!densityMap.IsValid())
        return;
    cellSeeds.resize(GetCellCount());
    for (u32& seed : cellSeeds)
        seed = static_cast<u32>(RandomInt(0, 0x7fffffff));
}

void forest_generator_c::DiscardGroundData()
{
    groundGrid.clear();
    treeHeights.clear();
    lowestGround = 0.0f;
    highestGround = 0.0f;
}

u32 forest_generator_c::GetCellTreeCount(u32 _cell, f32 _fade) const
{
    const u32 side = GetCellSide();
    const u32 slots = GetTreeSlots();
    if (slots == 0)
        return 0;
    const u8* row = densityMap.GetData() + static_cast<u64>(_cell / side) * densityMap.GetPitch();
    const f32 pixel = row[_cell % side];
    const f32 cell = extent / static_cast<f32>(side);
    const f32 trees = pixel * pixel_scale * _fade * treeDensity * (cell * cell);
    if (!(trees >= 1.0f))
        return 0;
    return trees >= static_cast<f32>(slots - 1) ? slots - 1 : static_cast<u32>(trees);
}

void forest_generator_c::StartCell(random_c& _random, u32 _cell) const
{
    _random.SetSeed(cellSeeds[_cell]);
}

void forest_generator_c::DrawTree(random_c& _random, u32 _cell, u32 _slot, forest_tree_c& _tree) const
{
    const u32 side = GetCellSide();
    const f32 cell = extent / static_cast<f32>(side);
    const f32 x0 = -extent * 0.5f + static_cast<f32>(_cell % side) * cell;
    const f32 z1 = extent * 0.5f - static_cast<f32>(_cell / side) * cell;
    // A species count of 0 from a damaged file still draws from one species.
    _tree.species = _random.Int(0, std::max(speciesCount, 1u) - 1);
    _tree.position.z = _random.Float(z1 - cell, z1);
    _tree.position.x = _random.Float(x0, x0 + cell);
    _tree.angle = _random.Float(0.0f, full_turn);
    _tree.width = _random.Float(widthMin, widthMax);
    _tree.height = _random.Float(heightMin, heightMax);
    _tree.color.z = _random.Float(colorMin.z, colorMax.z);
    _tree.color.y = _random.Float(colorMin.y, colorMax.y);
    _tree.color.x = _random.Float(colorMin.x, colorMax.x);
    const u64 index = u64(_cell) * GetTreeSlots() + _slot;
    _tree.position.y = index < treeHeights.size() ? treeHeights[index] : 0.0f;
}

void forest_generator_c::Generate(const ground_probe_f* _probe)
{
    const u32 side = GetCellSide();
    if (side == 0)
        return;
    const u32 slots = GetTreeSlots();
    groundGrid.assign(u64(side + 1) * (side + 1), 0.0f);
    treeHeights.assign(u64(slots) * side * side, 0.0f);
    if (_probe == nullptr || !*_probe || slots < 3 || cellSeeds.size() != GetCellCount()) {
        lowestGround = 0.0f;
        highestGround = 0.0f;
        return;
    }
    const f32 top = 100000.0f;
    const f32 cell = extent / static_cast<f32>(side);
    for (u32 r = 0; r <= side; ++r)
        for (u32 c = 0; c <= side; ++c) {
            f32 height = 0.0f;
            const vec3_c point(-extent * 0.5f + static_cast<f32>(c) * cell, top,
                               extent * 0.5f - static_cast<f32>(r) * cell);
            if (!(*_probe)(point, height))
                height = 0.0f;
            groundGrid[u64(r) * (side + 1) + c] = height;
        }
    lowestGround = FLT_MAX;
    highestGround = -FLT_MAX;
    random_c random;
    forest_tree_c tree;
    for (u32 i = 0; i < side * side; ++i) {
        StartCell(random, i);
        for (u32 k = 0; k < slots; ++k) {
            DrawTree(random, i, k, tree);
            f32 height = 0.0f;
            if (!(*_probe)(vec3_c(tree.position.x, top, tree.position.z), height))
                height = 0.0f;
            treeHeights[u64(i) * slots + k] = height;
            lowestGround = std::min(lowestGround, height);
            highestGround = std::max(highestGround, height);
        }
    }
}

void forest_generator_c::BuildTreeSet(triangle_set_c& _set)
{
    _set.vertices.clear();
    _set.indices.clear();
    if (!HasTrees())
        return;
    if (!GroundDataFits())
        Generate(nullptr);
    random_c random;
    forest_tree_c tree;
    for (u32 i = 0; i < GetCellCount(); ++i) {
        const u32 trees = GetCellTreeCount(i, 1.0f);
        StartCell(random, i);
        for (u32 k = 0; k < trees; ++k) {
            DrawTree(random, i, k, tree);
            BuildDrawnTree(_set, tree);
        }
    }
}

void forest_generator_c::VisitVisibleTrees(u32 _first, u32 _last, const vec3_c& _eye, const vec3_c& _forward,
                                           f32 _range, bool _fade, const tree_sink_f& _sink) const
{
    if (!HasTrees() || !GroundDataFits())
        return;
    const u32 side = GetCellSide();
    const f32 cell = extent / static_cast<f32>(side);
    random_c random;
    forest_tree_c tree;
    _last = std::min(_last, side * side);
    for (u32 i = _first; i < _last; ++i) {
        const u32 r = i / side;
        const u32 c = i % side;
        bool inFront = false;
        bool near = false;
        f32 far = 0.0f;
        for (u32 corner = 0; corner < 4; ++corner) {
            const u32 cr = r + (corner >> 1);
            const u32 cc = c + (corner & 1);
            const vec3_c point(-extent * 0.5f + static_cast<f32>(cc) * cell, groundGrid[u64(cr) * (side + 1) + cc],
                               extent * 0.5f - static_cast<f32>(cr) * cell);
            const vec3_c v = point - _eye;
            vec3_c direction;
            direction.Normalize(v);
            // A corner behind the eye counts as distance 0.
            const bool front = Dot(direction, _forward) > 0.0f;
            const f32 distance = front ? v.Length() : 0.0f;
            inFront = inFront || front;
            if (distance < _range)
                near = true;
            far = std::max(far, distance);
        }
        if (!inFront || !near)
            continue;
        const u32 trees = GetCellTreeCount(i, _fade ? FadeFactor(far, _range) : 1.0f);
        StartCell(random, i);
        for (u32 k = 0; k < trees; ++k) {
            DrawTree(random, i, k, tree);
            if ((tree.position - _eye).Length() < _range)
                _sink(tree);
        }
    }
}

void forest_generator_c::BuildRayTrees(triangle_set_c& _set, const vec3_c& _origin, const vec3_c& _segment, f32 _reach)
{
    _set.vertices.clear();
    _set.indices.clear();
    if (!HasTrees())
        return;
    if (!GroundDataFits())
        Generate(nullptr);
    VisitVisibleTrees(0, GetCellCount(), _origin, _segment, _reach, false,
                      [&_set](const forest_tree_c& _tree) { BuildTree(_set, _tree, 0.0f, 0.0f); });
}

u32 forest_generator_c::GetViewCapacity() const
{
    const double trees = static_cast<double>(treeDensity) * visibilityRange * visibilityRange * 1.1780972450961724;
    if (!(trees >= 1.0))
        return 0;
    // Beyond this no device holds the batches; the pass reports the rest.
    return trees >= forest_view_limit ? forest_view_limit : static_cast<u32>(trees);
}

void forest_generator_c::BuildDrawnTree(triangle_set_c& _set, const forest_tree_c& _tree) const
{
    const f32 count = static_cast<f32>(std::max(speciesCount, 1u));
    const f32 u0 = static_cast<f32>(_tree.species) / count;
    BuildTree(_set, _tree, u0, u0 + 1.0f / count);
}

void forest_generator_c::BuildTree(triangle_set_c& _set, const forest_tree_c& _tree, f32 _u0, f32 _u1)
{
    vec3_c corners[8] = {
        vec3_c(-_tree.width * 0.5f, _tree.height, 0.0f),
        vec3_c(_tree.width * 0.5f, _tree.height, 0.0f),
        vec3_c(-_tree.width * 0.5f, 0.0f, 0.0f),
        vec3_c(_tree.width * 0.5f, 0.0f, 0.0f),
    };
    for (u32 i = 0; i < 4; ++i) {
        corners[i].Rotate(1, _tree.angle);
        corners[i + 4] = vec3_c(corners[i].z, corners[i].y, -corners[i].x);
    }
    const u32 color = ColorToBgra(_tree.color.x, _tree.color.y, _tree.color.z);
    const u32 base = _set.GetVertexCount();
    for (u32 i = 0; i < 8; ++i) {
        vertex_c vertex;
        vertex.position = _tree.position + corners[i];
        vertex.diffuse = color;
        vertex.texCoords[0][0] = (i & 1) ? _u1 : _u0;
        vertex.texCoords[0][1] = (i & 2) ? 1.0f : 0.0f;
        _set.vertices.push_back(vertex);
    }
    for (u32 quad = 0; quad < 8; quad += 4)
        _set.indices.insert(_set.indices.end(), {base + quad, base + quad + 1, base + quad + 2, base + quad + 1,
                                                 base + quad + 3, base + quad + 2});
}

void forest_view_pass_c::Reset(u32 _capacity)
{
    batches.clear();
    batchTrees.clear();
    capacity = _capacity;
    for (u32 left = _capacity; left > 0;) {
        const u32 trees = std::min(left, forest_batch_trees);
        auto set = std::make_shared<triangle_set_c>();
        set->vertices.resize(u64(trees) * 8);
        set->indices.resize(u64(trees) * 12);
        batches.push_back(set);
        batchTrees.push_back(trees);
        left -= trees;
    }
    progress = 0;
    placed = 0;
}

bool forest_view_pass_c::Step(forest_generator_c& _forest, const mat4x3_c& _view, const vec3_c& _eye,
                              const vec3_c& _forward, const char* _name, renderer_c* _renderer)
{
    if (batches.empty() || !_forest.HasTrees())
        return false;
    if (!_forest.GroundDataFits())
        _forest.Generate(nullptr);
    if (_view.IsEqual(lastRebuild)) {
        progress = 0;
        placed = 0;
        return false;
    }
    const u32 cells = _forest.GetCellCount();
    const u32 perFrame = static_cast<u32>(std::ceil(static_cast<f32>(cells) * 0.033333335f));
    const u32 first = static_cast<u32>(progress);
    const u32 last = std::min(first + perFrame, cells);
    size_t current = 0;
    if (static_cast<u32>(placed) < capacity) {
        if (progress == 0) {
            for (auto& set : batches) {
                set->vertices.clear();
                set->indices.clear();
            }
        } else {
            while (current + 1 < batches.size() && batches[current]->GetVertexCount() / 8 >= batchTrees[current])
                ++current;
        }
    }
    string_c warning("[%s] Out of bound!", _name);
    _forest.VisitVisibleTrees(
        first, last, _eye, _forward, _forest.visibilityRange, true, [&](const forest_tree_c& _tree) {
            if (static_cast<u32>(placed) >= capacity) {
                if (_renderer)
                    _renderer->LogWarning(warning);
                return;
            }
            if (batches[current]->GetVertexCount() >= forest_batch_vertices && current + 1 < batches.size())
                ++current;
            _forest.BuildDrawnTree(*batches[current], _tree);
            ++placed;
        });
    progress = static_cast<i32>(first + perFrame);
    if (static_cast<u32>(progress) < cells)
        return false;
    lastRebuild = _view;
    progress = 0;
    placed = 0;
    return true;
}
