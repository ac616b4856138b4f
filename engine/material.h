#pragma once
// material_c: the surface description of one surface slot of a mesh: colours
// and levels, two colour-map layers, a reflection map, a bump map, render
// switches and channels through which any float field can be animated. Owned
// by its geometry object (or an importer); meshes only point at materials.
// "MTRL" chunk, version 6.
//
// Channel indices: colour 3..5, luminosity 6, diffuse level 7, specular
// colour 8..10, glossiness 11, specular level 12, transparency 13,
// reflectivity 14, bump amplitude 15, point size 16, alpha threshold 17.
#include "engine/graph.h"
#include "engine/map.h"
#include "engine/node.h"
#include "foundation/text_string.h"
#include "foundation/vector_math.h"

#include <memory>
#include <vector>

class command_c;
class input_file_c;
class output_file_c;
class renderer_c;

enum material_flag_e : u32 {
    material_double_sided = 1,
    material_smooth = 2,
    material_additive = 4,
    material_vertex_colors = 8,
    material_lighting = 16,
    material_point_scale = 32,
    material_glow = 64,
    material_alpha_blending = 128,
};

class material_c : public node_c<material_c>, public graph_c {
public:
    static constexpr u32 version = 6;

    string_c name;
    vec3_c color;
    f32 luminosity = 0.0f;
    f32 diffuse = 0.0f;
    vec3_c specularColor;
    f32 glossiness = 0.0f;
    f32 specularLevel = 0.0f;
    f32 transparency = 0.0f;
    f32 reflectivity = 0.0f;
    f32 bumpAmplitude = 0.0f;
    f32 pointSize = 0.005f;
    f32 alphaThreshold = 0.01f;
    u32 flags = material_lighting;

    // The renderer's texture cache makes the maps; it may be null for a
    // material without maps.
    material_c(const char* _name, renderer_c* _renderer);
    // Copies every field and channel; the maps are copied (their own use
    // counts on the same textures); the renderer is shared.
    material_c(const material_c& _other);
    material_c& operator=(const material_c&) = delete;
    ~material_c() override;

    // Layer 0 or 1 (others ignored): a still map of the image, mip-mapped.
    // A null path leaves the layer empty.
    void SetColorMap(u32 _layer, const char* _image_path);
    // Layer 0 or 1: a timed sequence of the images; an empty list leaves the
    // layer empty.
    void SetColorMapSequence(u32 _layer, const std::vector<string_c>& _image_paths, i32 _frame_offset, f32 _frame_rate,
                             bool _loop, bool _bidirectional);
    void SetReflectionMap(const char* _image_path);
    // A bump texture definition.
    void SetBumpMap(const char* _image_path);
    // Maps made elsewhere (importers, readers), kept as given.
    void SetColorMap(u32 _layer, std::unique_ptr<map_c> _map);
    void SetReflectionMap(std::unique_ptr<map_c> _map) { reflectionMap = std::move(_map); }
    void SetBumpMap(std::unique_ptr<map_c> _map) { bumpMap = std::move(_map); }
    void SetAlphaBlending(bool _on);

    // False with the additive or alpha-blending flag; else true exactly when
    // transparency is 0 or less.
    bool IsOpaque() const;
    void Preload();
    // One render-state keyword (without case): "Lighting", "PointScale",
    // "PointSize", "AlphaBlending", "AlphaThreshold". False for a line
    // without a name or another keyword; a missing value throws
    // command_error_c.
    bool SetParameter(const command_c& _command);

    const map_c* GetColorMap(u32 _layer) const { return _layer < 2 ? colorMaps[_layer].get() : nullptr; }
    // For animating a map's texture transform (the HUD's moving map).
    map_c* GetColorMap(u32 _layer) { return _layer < 2 ? colorMaps[_layer].get() : nullptr; }
    const map_c* GetReflectionMap() const { return reflectionMap.get(); }
    const map_c* GetBumpMap() const { return bumpMap.get(); }
    renderer_c* GetRenderer() const { return renderer; }

    float* GetEnvelopeTarget(u32 _index) override;

    void Write(output_file_c& _file) const;
    // A material from an installed reader (LightWave surfaces) when one
    // accepts the stream, else a "MTRL" chunk of version 6, else null
    // (nothing consumed; another version skips the chunk).
    static material_c* Read(input_file_c& _file, renderer_c* _renderer);

private:
    renderer_c* RendererForMaps() const;

    std::unique_ptr<map_c> colorMaps[2];
    std::unique_ptr<map_c> reflectionMap;
    std::unique_ptr<map_c> bumpMap;
    renderer_c* renderer;
};

// Reads a material of a foreign format; returns null, consuming nothing,
// when the stream is not its kind.
using material_reader_f = material_c* (*)(input_file_c& _file, renderer_c* _renderer);
// Installs (or, with null, removes) the reader material_c::Read tries first.
void RegisterMaterialReader(material_reader_f _reader);
