#pragma once
// water_c: sea, lakes and rivers: a flat square in the object's x-z plane cut
// to the water pixels of a grey geography map, faded out towards its edges,
// moved by three travelling waves (evaluated by the renderer's water pass)
// and lit by a reflection map and an animated caustic map. "WATR" chunk,
// version 8. Drawn in the scene's second pass.
//
// The surface's vertices carry a position and a diffuse colour (grey shade,
// edge fade in alpha) and nothing else: the renderer's water program reads
// exactly that layout and makes the normal, reflection and caustic
// coordinates itself.
//
// Flags: 0x2000 bounds out of date, 0x4000 surface out of date.
#include "engine/bounding_box.h"
#include "engine/null_object.h"
#include "foundation/text_string.h"
#include "image/image.h"

#include <vector>

class map_c;
class mesh_c;

inline constexpr u32 water_bounds_dirty = 0x2000;
inline constexpr u32 water_surface_dirty = 0x4000;
inline constexpr u32 water_wave_count = 3;

class water_c : public null_object_c {
public:
    static constexpr u32 version = 8;

    // Read by the renderer's water pass: a wave travels in the x-z direction
    // of its velocity at the speed |velocity|.
    f32 waveAmplitudes[water_wave_count] = {0.0f, 0.0f, 0.0f};
    f32 waveLengths[water_wave_count] = {1.0f, 1.0f, 1.0f};
    vec3_c waveVelocities[water_wave_count];
    f32 causticScale = 0.0f;
    f32 causticIntensity = 0.0f;

    // Defaults, flags 23; no surface until the first build after a mark.
    water_c(const char* _name, renderer_c* _renderer);
    water_c(const water_c& _other);
    water_c& operator=(const water_c&) = delete;
    ~water_c() override;

    // Setters clamp and mark what they change (see the class comment).
    void SetExtent(f32 _extent);
    void SetBorder(f32 _border);
    // Square format_l8 copy, side the smaller of width and height.
    void SetGeographyMap(const image_c& _image);
    // Wave indices of 3 or more are ignored.
    void SetWaveAmplitude(u32 _wave, f32 _amplitude);
    void SetWaveLength(u32 _wave, f32 _length);
    void SetWaveVelocity(u32 _wave, const vec3_c& _velocity);
    // Null path: no map.
    void SetReflectionMap(const char* _image_path);
    // An empty list leaves no caustic map.
    void SetCausticMapSequence(const std::vector<string_c>& _paths, f32 _frames_per_second, bool _bidirectional);
    void SetCausticScale(f32 _scale);
    void SetCausticIntensity(f32 _intensity);

    f32 GetExtent() const { return extent; }
    f32 GetBorder() const { return border; }
    const image_c& GetGeography() const { return geography; }
    // (0, 0, 0) for indices of 3 or more.
    vec3_c GetWaveVelocity(u32 _wave) const;
    mesh_c* GetMesh() const { return mesh; }
    map_c* GetReflectionMap() const { return reflectionMap; }
    map_c* GetCausticMap() const { return causticMap; }
    f32 GetLocalTime() const { return localTime; }
    const bounding_box_c& GetBounds() const { return box; }

    // While 0x2000 is set: (-h, -A, -h)..(h, A, h), h half the extent and A
    // the sum of the amplitudes.
    void UpdateBounds();
    // While 0x4000 is set: the surface mesh from the geography, its geometry
    // named "name (n)" with n counting every surface built in the program.
    void BuildSurface();

    f32 Animate(f32 _time) override;
    null_object_c* Clone() const override;
    void Write(output_file_c& _file) const override;
    void Preload() override;
    bool SetParameter(const command_c& _command) override;
    void GetBoundingBox(aabb_c& _box) override;
    const mat4x3_c& GetWorldMatrix() const override { return modelView; }
    bool Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c* _scene, camera_c* _camera, u32 _mask,
              u32 _depth) override;
    // Without _precise: the box. Precise: the plane y = 0 where the
    // geography has water; a square of extent 0 has none.
    bool RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque, bool _precise,
                 float _maximum) override;
    void Render(int _pass) override;
    void DrawBounds() override;

    // Null (nothing consumed) for another tag; another version skips the
    // chunk and gives null. The stored geography is made square format_l8.
    static water_c* Read(input_file_c& _file, renderer_c* _renderer);
    // Installs Read as the object loader's water reader.
    static void RegisterReader();

protected:
    u32 GetStoredFlags() const override { return flags & ~(water_bounds_dirty | water_surface_dirty); }

private:
    bounding_box_c box;
    f32 extent = 0.0f;
    f32 border = 0.05f;
    image_c geography;
    mesh_c* mesh = nullptr;
    map_c* reflectionMap = nullptr;
    map_c* causticMap = nullptr;
    mat4x3_c modelView;
    f32 localTime = 0.0f;
    renderer_c* renderer;
};

// The non-blank lines of a text file, stripped of blanks and tabs at both
// ends, in file order.
void ReadStringList(const char* _file_name, std::vector<string_c>& _out);
