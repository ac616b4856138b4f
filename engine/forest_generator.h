#pragma once
// forest_generator_c: the trees of a forest, drawn again whenever they are
// needed. No tree is stored: each cell of the density map has a seed, and the
// trees of a cell come from a random_c seeded with it, nine draws a tree
// (species, z, x, angle, width, height, blue, green, red), so every builder
// (the fixed mesh, the view-dependent batches, the ray-test set and the
// ground heights) sees the same trees.
//
// Cells: N = the density map's side, cell (r, c) has index r * N + c, spans
// x from -extent/2 + c * s and z down from extent/2 - r * s (s = extent / N;
// row 0 lies at +z). T = trunc(density * extent^2 / N^2) tree slots a cell;
// below 3 the forest has no trees. Ground heights live at the (N + 1)^2 cell
// corners and at the T slots of every cell.
#include "foundation/matrix.h"
#include "foundation/random_numbers.h"
#include "foundation/types.h"
#include "image/image.h"

#include <functional>
#include <memory>
#include <vector>

class renderer_c;
class triangle_set_c;

// One tree in the forest's local space.
class forest_tree_c {
public:
    u32 species = 0;
    vec3_c position;
    f32 angle = 0.0f;
    f32 width = 0.0f;
    f32 height = 0.0f;
    vec3_c color; // red, green, blue
};

// The most vertices one tree mesh holds (8000 trees of eight vertices).
inline constexpr u32 forest_batch_vertices = 64000;
inline constexpr u32 forest_batch_trees = 8000;
// Tree slots of a whole forest (T x cells), each with a ground height.
inline constexpr u64 forest_slot_limit = 1u << 24;
// Trees the view-dependent build holds at most.
inline constexpr u32 forest_view_limit = 1u << 18;

class forest_generator_c {
public:
    f32 extent = 0.0f;
    f32 visibilityRange = 0.0f;
    u32 speciesCount = 1;
    f32 treeDensity = 0.0f;
    image_c densityMap;           // square, format_l8
    std::vector<u32> cellSeeds;   // one a cell, in pixel order
    std::vector<f32> groundGrid;  // (N + 1)^2 corner heights
    std::vector<f32> treeHeights; // T a cell
    f32 lowestGround = 0.0f;
    f32 highestGround = 0.0f;
    f32 widthMin = 1.0f, widthMax = 1.0f;
    f32 heightMin = 1.0f, heightMax = 1.0f;
    vec3_c colorMin = vec3_c(1.0f, 1.0f, 1.0f);
    vec3_c colorMax = vec3_c(1.0f, 1.0f, 1.0f);

    // Asked for the ground under the local point (x, _top.y, z) straight
    // down; true with the local height of the hit.
    using ground_probe_f = std::function<bool(const vec3_c& _top, f32& _height)>;
    // Receives each tree a builder keeps.
    using tree_sink_f = std::function<void(const forest_tree_c& _tree)>;

    // N: the density map's side, 0 when it is not valid.
    u32 GetCellSide() const;
    u32 GetCellCount() const { return GetCellSide() * GetCellSide(); }
    // T, the tree slots of every cell, at most forest_slot_limit / cells.
    u32 GetTreeSlots() const;
    // A valid density map, a seed for every cell and T of at least 3.
    bool HasTrees() const;
    // Ground grid and tree heights sized for the current map and T.
    bool GroundDataFits() const;

    // Makes the density map square format_l8 (bicubic, side the smaller of
    // width and height); an image that is not valid empties it.
    void SetDensityMap(const image_c& _image);
    // One RandomInt(0, 0x7fffffff) of the shared generator a cell, in pixel
    // order; only with a valid density map.
    void InitCellSeeds();
    // Empties ground grid and tree heights; lowest and highest become 0.
    void DiscardGroundData();

    // Trees of a cell: min(trunc(p / 255 * _fade * density * cell area), T - 1).
    u32 GetCellTreeCount(u32 _cell, f32 _fade) const;
    // Seeds _random with the cell's seed.
    void StartCell(random_c& _random, u32 _cell) const;
    // The next nine draws of the cell's sequence as tree _slot of cell _cell.
    void DrawTree(random_c& _random, u32 _cell, u32 _slot, forest_tree_c& _tree) const;

    // Ground heights by probing every corner and every tree slot; without a
    // probe, or with T below 3, all heights 0. Nothing without a valid map.
    void Generate(const ground_probe_f* _probe);
    // Every tree of the forest into _set (emptied first), texture strips by
    // species; the ground data is refilled with zeros when it does not fit.
    void BuildTreeSet(triangle_set_c& _set);
    // Walks cells [_first, _last) as seen from _eye looking along _forward
    // (in front: a positive dot product), keeping trees closer than _range
    // to _eye. With _fade the tree count thins out beyond half the range.
    void VisitVisibleTrees(u32 _first, u32 _last, const vec3_c& _eye, const vec3_c& _forward, f32 _range, bool _fade,
                           const tree_sink_f& _sink) const;
    // The trees along a local segment within _reach of its origin, with
    // texture coordinates 0, into _set (emptied first).
    void BuildRayTrees(triangle_set_c& _set, const vec3_c& _origin, const vec3_c& _segment, f32 _reach);

    // Trees the view-dependent build can hold:
    // trunc(density * range^2 * 3 pi / 8), the area of a 135-degree sector,
    // at most forest_view_limit.
    u32 GetViewCapacity() const;

    // Eight vertices and four triangles of two crossed quads; texture u from
    // _u0 to _u1.
    static void BuildTree(triangle_set_c& _set, const forest_tree_c& _tree, f32 _u0, f32 _u1);
    // BuildTree with the species' strip of the colour map.
    void BuildDrawnTree(triangle_set_c& _set, const forest_tree_c& _tree) const;
};

// The view-dependent build: batches of up to 8000 trees refilled over about
// 30 frames whenever the view has moved since the last complete pass.
class forest_view_pass_c {
public:
    std::vector<std::shared_ptr<triangle_set_c>> batches;
    std::vector<u32> batchTrees; // trees each batch was made for
    i32 progress = 0;            // cells handled in this pass
    i32 placed = 0;              // trees written in this pass
    u32 capacity = 0;
    mat4x3_c lastRebuild; // the view of the last complete pass

    // No batches; the last complete view is the identity.
    forest_view_pass_c() { lastRebuild.SetIdentity(); }

    // New batches for _capacity trees, each set starting with 8 default
    // vertices and 4 triangles a tree; progress and placed 0.
    void Reset(u32 _capacity);
    // One frame of the pass (ground data that does not fit is refilled with
    // zeros first). A view equal to the last complete one stops
    // here. Trees beyond the capacity are reported as "[name] Out of bound!"
    // through _renderer. True when this frame completed a pass: the caller
    // sends the batches to the renderer again.
    bool Step(forest_generator_c& _forest, const mat4x3_c& _view, const vec3_c& _eye, const vec3_c& _forward,
              const char* _name, renderer_c* _renderer);
};
