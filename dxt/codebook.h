#pragma once
// Codebooks of pixel tiles: gathering the distinct tiles of an image in a bin
// tree, reducing them by pairwise merging, and finding each vector's nearest
// codebook entry through a k-d tree.
#include "foundation/types.h"

#include <vector>

struct codebook_c {
    i32 id = 0; // unique per build within the process
    i32 tile_width = 1;
    i32 tile_height = 1;
    i32 channels = 3; // the vector dimension is tile_width x tile_height x channels
    i32 entries = 0;
    std::vector<i32> data;   // entry after entry, each its vector's components
    std::vector<i32> counts; // pixels (tiles) each entry stands for

    i32 Dimension() const { return tile_width * tile_height * channels; }
};

struct index_list_c {
    i32 id = 0;     // must equal its codebook's
    i32 width = 0;  // tiles per row
    i32 height = 0; // tile rows
    std::vector<i32> indices;
};

// Gathers the tiles of `image` (rows packed, `channels` bytes a pixel) and
// merges them down to at most `max_entries`. Sides must be multiples of the tile.
void BuildCodebook(const u8* image, codebook_c& out, i32 height, i32 width, i32 channels, i32 tile_w, i32 tile_h,
                   i32 max_entries);

// The nearest codebook entry of every tile of `image`.
void MapToCodebook(const codebook_c& codebook, const u8* image, i32 height, i32 width, index_list_c& out);
// The nearest codebook entry of every entry of `vectors`.
void MapToCodebook(const codebook_c& codebook, const codebook_c& vectors, index_list_c& out);

// Writes each index's entry, tile by tile. -1, writing nothing, when the ids
// differ or an index lies outside the codebook.
i32 ExpandIndices(const codebook_c& codebook, const index_list_c& list, u8* out);
