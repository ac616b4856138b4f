#pragma once
// scene_c: a whole scene. An aggregate with scene-wide lighting, fog,
// backdrop, background and foreground maps, a viewport, clip planes, an
// animation range and an active camera. Every frame the owner calls Animate,
// PrepareFrame (viewport, camera, lights and the culled, depth-sorted pass
// lists) and Render (the lists through the renderer, in a fixed order).
// "SCNE" chunk, version 6.
//
// Channel indices: ambient colour 158..160, ambient intensity 161, fog colour
// 165..167, fog start 168, fog end 169, fog density 170, backdrop colour
// 171..173, foreground value 176, glow strength 177.
#include "engine/aggregate.h"
#include "engine/map.h"

#include <memory>

class scene_c : public aggregate_c {
public:
    static constexpr u32 version = 6;

    vec3_c ambientColor;
    f32 ambientIntensity = 1.0f;
    u8 fogMode = 0; // 0 linear, 1 exponential, 2 squared exponential
    vec3_c fogColor;
    f32 fogStart = 0.0f;
    f32 fogEnd = 0.0f;
    f32 fogDensity = 0.0f;
    vec3_c backdropColor;
    f32 foregroundValue = 0.0f;
    f32 glowStrength = 0.0f;

    // Flags 0x8010017: an aggregate's, looping and clear-background.
    scene_c(const char* _name, renderer_c* _renderer);
    // The aggregate copy, the scene values, copies of the maps; the active
    // camera is the copy at the same list position; the lists start empty.
    scene_c(const scene_c& _other);
    ~scene_c() override;

    null_object_c* Clone() const override;
    void Write(output_file_c& _file) const override;
    void Preload() override;
    // After the object keywords: "Looping", "GlobalIlluminationMap",
    // "GlobalReflectionMap", "Aspect", "NearClipPlane", "FarClipPlane",
    // "NearDepthWeight", "FarDepthWeight", "ClearBackground", "Viewport".
    bool SetParameter(const command_c& _command) override;
    // The first camera added to a scene without one becomes active.
    camera_c* AddCamera(camera_c* _camera) override;
    // Removing the active camera leaves the scene without one.
    camera_c* RemoveCamera(camera_c* _camera) override;
    light_c* RemoveLight(light_c* _light) override;
    null_object_c* RemoveObject(null_object_c* _object) override;
    float* GetEnvelopeTarget(u32 _index) override;

    // The start time is the entity's time offset.
    void Play(f32 _start, f32 _first, f32 _last, bool _looping);
    using aggregate_c::Animate;
    // The scene's local time inside [first, last] (wrapped when looping);
    // with _animate_items the items are animated at it too.
    f32 Animate(f32 _time, bool _animate_items);
    void PrepareFrame();
    using aggregate_c::Render;
    void Render();

    // Clamped into the output: w, h in [0, 1], x in [0, 1 - w], y in [0, 1 - h].
    void SetViewport(f32 _x, f32 _y, f32 _width, f32 _height);
    // Each at least FLT_EPSILON.
    void SetClipPlanes(f32 _near, f32 _far);
    void SetNearClipPlane(f32 _near);
    void SetFarClipPlane(f32 _far);
    void SetAspectRatio(f32 _aspect);
    // Negative weights become 0.
    void SetDepthWeights(f32 _near, f32 _far);
    // An image file name, or null to remove the map. Background and
    // foreground maps have no mip-maps and do not repeat.
    void SetBackgroundMap(const char* _file_name);
    void SetForegroundMap(const char* _file_name);
    void SetIlluminationMap(const char* _file_name);
    void SetReflectionMap(const char* _file_name);
    // Maps made elsewhere (importers, tests), kept as given; null removes.
    void SetBackgroundMap(std::unique_ptr<map_c> _map) { backgroundMap = std::move(_map); }
    void SetForegroundMap(std::unique_ptr<map_c> _map) { foregroundMap = std::move(_map); }
    void SetIlluminationMap(std::unique_ptr<map_c> _map) { illuminationMap = std::move(_map); }
    void SetReflectionMap(std::unique_ptr<map_c> _map) { reflectionMap = std::move(_map); }
    // Ignored unless the camera is in the camera list or null.
    void SetActiveCamera(camera_c* _camera);
    camera_c* GetActiveCamera() const { return activeCamera; }
    // Ambient colour x ambient intensity.
    vec3_c GetAmbientColor() const;

    // The nearest object of the pick list hit by the camera ray through a
    // viewport point (fractions); null without a camera or a hit.
    null_object_c* PickAtScreen(f32 _x, f32 _y, bool _include_non_opaque, bool _precise, f32 _maximum);
    // The nearest hit among all child objects, or null with distance FLT_MAX
    // and normal (0, 0, 0).
    null_object_c* RayTestObjects(f32& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque,
                                  bool _precise, f32 _maximum);

    f32 GetViewportX() const { return viewportX; }
    f32 GetViewportY() const { return viewportY; }
    f32 GetViewportWidth() const { return viewportWidth; }
    f32 GetViewportHeight() const { return viewportHeight; }
    f32 GetAspectRatio() const { return aspect; }
    f32 GetNearClipPlane() const { return nearClip; }
    f32 GetFarClipPlane() const { return farClip; }
    f32 GetNearDepthWeight() const { return nearDepthWeight; }
    f32 GetFarDepthWeight() const { return farDepthWeight; }
    f32 GetFirstTime() const { return firstTime; }
    f32 GetLastTime() const { return lastTime; }
    const map_c* GetIlluminationMap() const { return illuminationMap.get(); }
    const map_c* GetReflectionMap() const { return reflectionMap.get(); }
    const map_c* GetBackgroundMap() const { return backgroundMap.get(); }
    const map_c* GetForegroundMap() const { return foregroundMap.get(); }
    const std::vector<light_c*>& GetLightList() const { return lightList; }
    const object_list_t& GetPickList() const { return pickList; }
    const object_list_t& GetPass0List() const { return pass0List; }
    const object_list_t& GetPass1List() const { return pass1List; }
    const object_list_t& GetShadowList() const { return shadowList; }

    // "SCNE" chunk, or null (nothing consumed) for another tag; another
    // version skips the chunk. Bad references throw file_error_c.
    static scene_c* Read(input_file_c& _file, renderer_c* _renderer);

protected:
    void ReadRecord(u32 _tag, input_file_c& _block) override;

private:
    // PrepareFrame's collection again when an item left any aggregate since
    // the lists were made: they may point at it.
    void RefreshLists();
    void CollectLists();
    void CollectLights();
    void CollectVisibleObjects();
    void CollectShadowCasters();
    std::unique_ptr<map_c> MakeMap(const char* _file_name, bool _mipmaps) const;
    void ClearLists();

    std::unique_ptr<map_c> illuminationMap;
    std::unique_ptr<map_c> reflectionMap;
    std::unique_ptr<map_c> backgroundMap;
    std::unique_ptr<map_c> foregroundMap;
    f32 viewportX = 0.0f;
    f32 viewportY = 0.0f;
    f32 viewportWidth = 1.0f;
    f32 viewportHeight = 1.0f;
    f32 aspect = 1.0f;
    f32 nearClip = 1.0f;
    f32 farClip;
    f32 nearDepthWeight = 0.0f;
    f32 farDepthWeight = 1.0f;
    f32 firstTime = 0.0f;
    f32 lastTime;
    camera_c* activeCamera = nullptr;
    std::vector<light_c*> lightList;
    object_list_t pickList;
    object_list_t pass0List;
    object_list_t pass1List;
    object_list_t shadowList;
    u64 listsMadeAt = 0;
};
