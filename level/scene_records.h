#pragma once
// The records a level scene file keeps besides its placed objects: forests,
// waters and areas. Each reads and writes its "prms" chunk (layouts in
// level/level_scene.h) and owns its engine entity. A record whose stored
// entity is missing (or unreadable) makes a new one from its values, when a
// renderer is at hand; without one the record has no entity.
#include "engine/forest.h"
#include "engine/water.h"
#include "level/parameter_list.h"

#include <memory>
#include <vector>

class CChunkSaver;
class renderer_c;

class forest_record_c {
public:
    void Serialize(CChunkSaver& _saver, renderer_c* _renderer);
    // Position, extent, colour map (when named), fixed flag, visibility,
    // density, density map (when named), tree sizes and colours, species.
    void Apply(forest_c& _forest) const;

    string_c name;
    vec3_c position;
    f32 extent = 0.0f;
    f32 visibilityRange = 0.0f;
    f32 treeDensity = 0.0f;
    string_c densityMap;
    f32 treeWidthMin = 0.0f;
    f32 treeWidthMax = 0.0f;
    f32 treeHeightMin = 0.0f;
    f32 treeHeightMax = 0.0f;
    vec3_c colorMin;
    vec3_c colorMax;
    string_c colorMap;
    i32 speciesCount = 0;
    u8 fixed = 0; // "stFo"
    std::unique_ptr<forest_c> entity;
};

class water_record_c {
public:
    struct wave_c {
        f32 amplitude = 0.0f;
        f32 length = 0.0f;
        vec3_c velocity;
    };

    void Serialize(CChunkSaver& _saver, renderer_c* _renderer);
    // Position, extent, the three waves, border, caustic intensity and
    // scale, geography and reflection maps when named, the caustic sequence
    // ("|"-separated names) when named.
    void Apply(water_c& _water) const;

    string_c name;
    vec3_c position;
    f32 extent = 0.0f;
    // Only the first two waves are stored; the third is zero after reading.
    wave_c waves[3];
    string_c geographyMap;
    string_c reflectionMap;
    string_c causticMap;
    u8 highQuality = 0;
    u8 bidirectionalCaustics = 0;
    f32 causticFramesPerSecond = 0.0f;
    f32 border = 0.0f;
    f32 causticIntensity = 0.0f;
    f32 causticScale = 0.0f;
    std::unique_ptr<water_c> entity;
    parameter_list_c parameters;
};

class area_record_c {
public:
    // The grid is exchanged only when width x height is not 0; its size is
    // checked against the file before anything is allocated.
    void Serialize(CChunkSaver& _saver);

    string_c name;
    vec3_c position;
    vec3_c scale = vec3_c(1.0f, 1.0f, 1.0f);
    vec3_c rotation;
    string_c scma; // stored and restored unchanged
    u32 width = 0;
    u32 height = 0;
    std::vector<u8> grid; // width x height entries of 4 bytes
    parameter_list_c parameters;
    null_object_c* node = nullptr; // not owned; may be null
};
