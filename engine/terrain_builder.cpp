#include "engine/terrain_builder.h"

#include "engine/geometry_def.h"
#include "engine/mesh.h"
#include "engine/terrain.h"
#include "engine/terrain_patch.h"
#include "foundation/text_string.h"

#include <memory>
#include <stdexcept>

namespace {

class patch_builder_c {
public:
    const char* name;
    renderer_c* renderer;
    const f32* heights;
    u32 side;
    f32 spacing;
    u32 cells;

    terrain_c* Build(u32 _level, u32 _row, u32 _column, u32 _span) const
    {
        const string_c key("%s:%u:%u:%u", name, _level, _row, _column);
        std::unique_ptr<terrain_c> patch(new terrain_c(key, renderer));
        geometry_def_c definition(key);
        definition.format.hasPosition = 1;
        definition.format.hasNormal = 1;
        definition.format.texCoordSetCount = 1;
        auto* set = new triangle_set_c;
        definition.AddPrimitiveSet(set);
        BuildHeightGrid(*set, heights, side, _row, _column, cells, _span / cells, spacing);
        patch->SetMesh(new mesh_c(key, definition, renderer));
        if (_span > cells) {
            const u32 half = _span / 2;
            patch->SetChild(0, Build(_level + 1, _row, _column, half));
            patch->SetChild(1, Build(_level + 1, _row, _column + half, half));
            patch->SetChild(2, Build(_level + 1, _row + half, _column, half));
            patch->SetChild(3, Build(_level + 1, _row + half, _column + half, half));
        }
        return patch.release();
    }
};

} // namespace

terrain_c* BuildTerrain(const char* _name, renderer_c* _renderer, const f32* _heights, u32 _side, f32 _spacing,
                        u32 _patch_cells)
{
    if (_patch_cells == 0 || _side < 2 || (_side - 1) % _patch_cells != 0)
        throw std::invalid_argument("BuildTerrain: the field is not a whole number of patches");
    const u32 patches = (_side - 1) / _patch_cells;
    if ((patches & (patches - 1)) != 0)
        throw std::invalid_argument("BuildTerrain: the patches across are not a power of two");
    const patch_builder_c builder{_name, _renderer, _heights, _side, _spacing, _patch_cells};
    terrain_c* root = builder.Build(0, 0, 0, _side - 1);
    root->SetName(_name);
    return root;
}
