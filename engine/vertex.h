#pragma once
// Vertex layout and vertex record of the renderer-independent geometry.
#include "foundation/vector_math.h"
#include "foundation/types.h"

// Which fields a geometry's vertices carry on the device.
class vertex_format_c {
public:
    u8 hasPosition = 0;       // 12 bytes
    u32 blendWeightCount = 0; // 0..3, 4 bytes each
    u32 matrixIndexCount = 0; // 0, or blend-weight count + 1 (at most 4); one packed word
    u8 hasNormal = 0;         // 12 bytes
    u8 hasDiffuse = 0;        // 4 bytes
    u32 texCoordSetCount = 0; // 0..3, 8 bytes each

    // Weights at most 3; matrix indices 0 or weights + 1, at most 4; fewer
    // than 4 texture-coordinate sets.
    bool IsValid() const;
    // Bytes per vertex in the device stream.
    u32 GetStride() const;

    bool operator==(const vertex_format_c& _other) const;
    bool operator!=(const vertex_format_c& _other) const { return !(*this == _other); }
};

// Every primitive set stores full records, whatever the format names.
class vertex_c {
public:
    vec3_c position;
    f32 blendWeights[3] = {0.0f, 0.0f, 0.0f};
    u8 matrixIndices[4] = {0, 0, 0, 0};
    vec3_c normal;
    u32 diffuse = 0; // packed B, G, R, A bytes
    f32 texCoords[3][2] = {{0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}};

    // Welding equality: position, normal and texture coordinates each within
    // 1.1920929e-7 per component; weights, matrix indices and colour exact.
    bool operator==(const vertex_c& _other) const;
    bool operator!=(const vertex_c& _other) const { return !(*this == _other); }
};
