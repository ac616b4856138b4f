#pragma once
// The demo data set's landscape: a square of rolling hills made from a
// procedural height field, with a flat meadow around the origin where the
// planes take off. Everything is derived from fixed seeds, so every run
// makes the same bytes.
//
// Files (names below the terrain folder unless given whole):
//   terrain.ter   the patch tree, every patch with the colour map and the
//                 detail map (multiplied and doubled, repeating every
//                 kDetailRepeat metres)
//   color.dds     the colour map: grass, fields, rock and snow by height and
//                 slope, with the hills' shading baked in (the terrain is
//                 drawn unlit)
//   detail.dds    grey noise around middle grey
// and the pictures of the in-game map and the menus' preview scenes, which
// show the same ground from above.
#include "tools/data-kit/data_files.h"

#include <string>
#include <vector>

class image_c;
class renderer_c;
class scene_c;

inline constexpr char kTerrainFolder[] = "data\\game\\terrains\\meadow\\";
// Samples a side; (side - 1) is a whole number of patches across.
inline constexpr u32 kTerrainSide = 257;
inline constexpr u32 kTerrainPatchCells = 16;
// Metres between samples: 256 x 22 = 5632 m a side.
inline constexpr f32 kTerrainSpacing = 22.0f;
inline constexpr f32 kDetailRepeat = 24.0f;
// Ground height of the meadow around the origin.
inline constexpr f32 kMeadowHeight = 0.0f;

class landscape_c {
public:
    landscape_c();

    // Height at a point of the world (x, z); the edge height outside.
    f32 GetHeight(f32 _x, f32 _z) const;
    f32 GetSize() const { return static_cast<f32>(kTerrainSide - 1) * kTerrainSpacing; }

    // The terrain file and its two textures.
    void AddTerrain(data_files_t& _files, renderer_c* _renderer) const;
    // A picture of the ground from above, _side pixels a side, north up.
    image_c MakeMapPicture(int _side) const;

private:
    // The colour of the ground at sample (row, column), shaded.
    u32 GroundColor(u32 _row, u32 _column) const;

    std::vector<f32> heights;
};
