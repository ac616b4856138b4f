#include "engine/scene.h"

#include "engine/aabb.h"
#include "engine/bucket_sort.h"
#include "engine/map_record.h"
#include "engine/object_chunk.h"
#include "engine/renderer.h"
#include "engine/still_map.h"
#include "engine/stream_check.h"
#include "foundation/command.h"
#include "foundation/memory_file.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <stdexcept>

namespace {

constexpr u32 tag_illumination = MakeTag("lumi");
constexpr u32 tag_reflection = MakeTag("refl");
constexpr u32 tag_background = MakeTag("back");
constexpr u32 tag_foreground = MakeTag("fore");
constexpr u32 tag_active_camera = MakeTag("cmra");

f32 AtLeastEpsilon(f32 _value)
{
    return _value > FLT_EPSILON ? _value : FLT_EPSILON;
}

f32 NotNegative(f32 _value)
{
    return _value < 0.0f ? 0.0f : _value;
}

} // namespace

scene_c::scene_c(const char* _name, renderer_c* _renderer)
    : aggregate_c(_name, _renderer), farClip(FLT_MAX), lastTime(FLT_MAX)
{
    SetFlags(scene_looping | scene_clear_background);
}

scene_c::scene_c(const scene_c& _other)
    : aggregate_c(_other), ambientColor(_other.ambientColor), ambientIntensity(_other.ambientIntensity),
      fogMode(_other.fogMode), fogColor(_other.fogColor), fogStart(_other.fogStart), fogEnd(_other.fogEnd),
      fogDensity(_other.fogDensity), backdropColor(_other.backdropColor), foregroundValue(_other.foregroundValue),
      glowStrength(_other.glowStrength), illuminationMap(CloneMap(_other.illuminationMap)),
      reflectionMap(CloneMap(_other.reflectionMap)), backgroundMap(CloneMap(_other.backgroundMap)),
      foregroundMap(CloneMap(_other.foregroundMap)), viewportX(_other.viewportX), viewportY(_other.viewportY),
      viewportWidth(_other.viewportWidth), viewportHeight(_other.viewportHeight), aspect(_other.aspect),
      nearClip(_other.nearClip), farClip(_other.farClip), nearDepthWeight(_other.nearDepthWeight),
      farDepthWeight(_other.farDepthWeight), firstTime(_other.firstTime), lastTime(_other.lastTime)
{
    if (_other.activeCamera) {
        const u32 ref = _other.GetItemRef(_other.activeCamera);
        activeCamera = static_cast<camera_c*>(GetItemByRef(ref));
    }
}

scene_c::~scene_c() = default;

null_object_c* scene_c::Clone() const
{
    return new scene_c(*this);
}

float* scene_c::GetEnvelopeTarget(u32 _index)
{
    switch (_index) {
    case 158: return &ambientColor.x;
    case 159: return &ambientColor.y;
    case 160: return &ambientColor.z;
    case 161: return &ambientIntensity;
    case 165: return &fogColor.x;
    case 166: return &fogColor.y;
    case 167: return &fogColor.z;
    case 168: return &fogStart;
    case 169: return &fogEnd;
    case 170: return &fogDensity;
    case 171: return &backdropColor.x;
    case 172: return &backdropColor.y;
    case 173: return &backdropColor.z;
    case 176: return &foregroundValue;
    case 177: return &glowStrength;
    default: return aggregate_c::GetEnvelopeTarget(_index);
    }
}

void scene_c::Play(f32 _start, f32 _first, f32 _last, bool _looping)
{
    timeOffset = _start;
    firstTime = _first;
    lastTime = _last;
    SetFlag(scene_looping, _looping);
}

f32 scene_c::Animate(f32 _time, bool _animate_items)
{
    const f32 start = timeOffset;
    f32 local;
    if (lastTime <= firstTime) {
        local = firstTime;
    } else {
        local = _time - start + firstTime;
        if (local < firstTime)
            local = firstTime;
        else if (local > lastTime)
            local = (flags & scene_looping) ? std::fmod(local - firstTime, lastTime - firstTime) + firstTime : lastTime;
    }
    aggregate_c::Animate(start + local);
    if (_animate_items)
        AnimateItems();
    return local;
}

void scene_c::SetViewport(f32 _x, f32 _y, f32 _width, f32 _height)
{
    viewportWidth = std::clamp(_width, 0.0f, 1.0f);
    viewportHeight = std::clamp(_height, 0.0f, 1.0f);
    viewportX = _x <= 0.0f ? 0.0f : std::min(_x, 1.0f - viewportWidth);
    viewportY = _y <= 0.0f ? 0.0f : std::min(_y, 1.0f - viewportHeight);
}

void scene_c::SetClipPlanes(f32 _near, f32 _far)
{
    nearClip = AtLeastEpsilon(_near);
    farClip = AtLeastEpsilon(_far);
}

void scene_c::SetNearClipPlane(f32 _near)
{
    nearClip = AtLeastEpsilon(_near);
}

void scene_c::SetFarClipPlane(f32 _far)
{
    farClip = AtLeastEpsilon(_far);
}

void scene_c::SetAspectRatio(f32 _aspect)
{
    aspect = AtLeastEpsilon(_aspect);
}

void scene_c::SetDepthWeights(f32 _near, f32 _far)
{
    nearDepthWeight = NotNegative(_near);
    farDepthWeight = NotNegative(_far);
}

std::unique_ptr<map_c> scene_c::MakeMap(const char* _file_name, bool _mipmaps) const
{
    if (!_file_name)
        return nullptr;
    if (!GetRenderer())
        throw std::logic_error("std::unique_ptr<map_c> scene_c::MakeMap() const");
    return std::make_unique<still_map_c>(texture_def_c(_file_name, _mipmaps, false), GetRenderer());
}

void scene_c::SetBackgroundMap(const char* _file_name)
{
    backgroundMap = MakeMap(_file_name, false);
    if (backgroundMap)
        backgroundMap->SetRepeat(0);
}

void scene_c::SetForegroundMap(const char* _file_name)
{
    foregroundMap = MakeMap(_file_name, false);
    if (foregroundMap)
        foregroundMap->SetRepeat(0);
}

void scene_c::SetIlluminationMap(const char* _file_name)
{
    illuminationMap = MakeMap(_file_name, true);
}

void scene_c::SetReflectionMap(const char* _file_name)
{
    reflectionMap = MakeMap(_file_name, true);
}

void scene_c::SetActiveCamera(camera_c* _camera)
{
    if (!_camera || GetCameras().Contains(_camera))
        activeCamera = _camera;
}

vec3_c scene_c::GetAmbientColor() const
{
    return ambientColor * ambientIntensity;
}

camera_c* scene_c::AddCamera(camera_c* _camera)
{
    aggregate_c::AddCamera(_camera);
    if (!activeCamera)
        activeCamera = _camera;
    return _camera;
}

camera_c* scene_c::RemoveCamera(camera_c* _camera)
{
    // The scene's own removals mend its lists at once.
    const bool in_step = listsMadeAt == GetRemovalCount();
    camera_c* removed = aggregate_c::RemoveCamera(_camera);
    if (in_step)
        listsMadeAt = GetRemovalCount();
    if (removed && removed == activeCamera)
        activeCamera = nullptr;
    return removed;
}

light_c* scene_c::RemoveLight(light_c* _light)
{
    const bool in_step = listsMadeAt == GetRemovalCount();
    lightList.clear();
    light_c* removed = aggregate_c::RemoveLight(_light);
    if (in_step)
        listsMadeAt = GetRemovalCount();
    return removed;
}

null_object_c* scene_c::RemoveObject(null_object_c* _object)
{
    pickList.erase(std::remove(pickList.begin(), pickList.end(), _object), pickList.end());
    pass0List.clear();
    pass1List.clear();
    shadowList.clear();
    const bool in_step = listsMadeAt == GetRemovalCount();
    null_object_c* removed = aggregate_c::RemoveObject(_object);
    if (in_step)
        listsMadeAt = GetRemovalCount();
    return removed;
}

bool scene_c::SetParameter(const command_c& _command)
{
    if (aggregate_c::SetParameter(_command))
        return true;
    const char* keyword = _command.GetName();
    if (!keyword)
        return false;
    const string_c key(keyword);
    if (key == "Looping")
        SetFlag(scene_looping, _command.GetInt(1u) != 0);
    else if (key == "GlobalIlluminationMap")
        SetIlluminationMap(_command.GetParameter(1u));
    else if (key == "GlobalReflectionMap")
        SetReflectionMap(_command.GetParameter(1u));
    else if (key == "Aspect")
        SetAspectRatio(_command.GetFloat(1u));
    else if (key == "NearClipPlane")
        SetNearClipPlane(_command.GetFloat(1u));
    else if (key == "FarClipPlane")
        SetFarClipPlane(_command.GetFloat(1u));
    else if (key == "NearDepthWeight")
        nearDepthWeight = NotNegative(_command.GetFloat(1u));
    else if (key == "FarDepthWeight")
        farDepthWeight = NotNegative(_command.GetFloat(1u));
    else if (key == "ClearBackground")
        SetFlag(scene_clear_background, _command.GetInt(1u) != 0);
    else if (key == "Viewport") {
        const f32 width = _command.GetFloat("WIDTH", "W", 1.0f);
        const f32 height = _command.GetFloat("HEIGHT", "H", 1.0f);
        SetViewport(_command.GetFloat("X", (1.0f - width) * 0.5f), _command.GetFloat("Y", (1.0f - height) * 0.5f),
                    width, height);
    } else
        return false;
    return true;
}

void scene_c::PrepareFrame()
{
    renderer_c* renderer = GetRenderer();
    if (renderer)
        renderer->SetViewport(viewportX, viewportY, viewportWidth, viewportHeight, aspect);
    if (!activeCamera)
        return;
    CollectLists();
}

void scene_c::CollectLists()
{
    UpdateTransforms(nullptr);
    if (GetRenderer())
        activeCamera->SetViewShape(*GetRenderer());
    activeCamera->SetProjection(nearClip, farClip);
    CollectLights();
    CollectVisibleObjects();
    CollectShadowCasters();
    listsMadeAt = GetRemovalCount();
}

void scene_c::RefreshLists()
{
    if (listsMadeAt == GetRemovalCount())
        return;
    if (activeCamera) {
        CollectLists();
    } else {
        lightList.clear();
        ClearLists();
        shadowList.clear();
        listsMadeAt = GetRemovalCount();
    }
}

void scene_c::CollectLights()
{
    lightList.clear();
    if (!activeCamera)
        return;
    std::vector<light_c*> taken;
    std::vector<f32> keys;
    for (light_c* light = GetLights().GetFirst(); light; light = light->GetNext()) {
        if (!(light->GetFlags() & (light_diffuse | light_specular)))
            continue;
        const f32 luminance = Luminance(light->GetColor());
        if (!(luminance > 0.0f))
            continue;
        light->UpdateForCamera(*activeCamera);
        taken.push_back(light);
        keys.push_back(luminance);
    }
    BucketSort(taken, keys, true, lightList);
}

void scene_c::CollectVisibleObjects()
{
    ClearLists();
    if (!activeCamera)
        return;
    object_list_t pass0;
    object_list_t pass1;
    for (null_object_c* object = GetObjects().GetFirst(); object; object = object->GetNext())
        if (object->Cull(pass0, pass1, this, activeCamera, 0, 0))
            pickList.push_back(object);

    // Both weights 0 would make every key 0 x infinity; the box centre is
    // the natural key then.
    const f32 weight_sum = nearDepthWeight + farDepthWeight;
    const f32 near_weight = weight_sum > 0.0f ? nearDepthWeight / weight_sum : 0.5f;
    const f32 far_weight = weight_sum > 0.0f ? farDepthWeight / weight_sum : 0.5f;
    auto keys_of = [&](const object_list_t& _list) {
        std::vector<f32> keys;
        keys.reserve(_list.size());
        for (null_object_c* object : _list) {
            aabb_c box;
            object->GetBoundingBox(box);
            if (box.IsValid()) {
                aabb_c placed;
                placed.Transform(box, object->GetWorldMatrix());
                keys.push_back(placed.min.z * near_weight + placed.max.z * far_weight);
            } else {
                keys.push_back(object->GetWorldMatrix().m[3][2]);
            }
        }
        return keys;
    };
    BucketSort(pass0, keys_of(pass0), !(flags & object_depth_test), pass0List);
    BucketSort(pass1, keys_of(pass1), true, pass1List);
}

void scene_c::CollectShadowCasters()
{
    shadowList.clear();
    if (!activeCamera || !(flags & object_shadow_casting))
        return;
    for (null_object_c* object = GetObjects().GetFirst(); object; object = object->GetNext())
        object->CullShadow(shadowList, activeCamera);
}

void scene_c::ClearLists()
{
    pickList.clear();
    pass0List.clear();
    pass1List.clear();
}

void scene_c::Render()
{
    renderer_c* renderer = GetRenderer();
    if (!renderer)
        return;
    RefreshLists();
    renderer->SetViewport(viewportX, viewportY, viewportWidth, viewportHeight, aspect);
    if (backgroundMap)
        renderer->DrawMap(*backgroundMap, 0.0f, 0.0f, 0.0f);
    if (activeCamera && (!pass0List.empty() || !pass1List.empty() || !shadowList.empty())) {
        light_c* shadow_light = nullptr;
        if (!shadowList.empty())
            for (light_c* light : lightList) {
                const u32 light_flags = light->GetFlags();
                if ((light_flags & (light_directional | light_point)) && (light_flags & light_diffuse) &&
                    (light_flags & light_shadows)) {
                    shadow_light = light;
                    break;
                }
            }
        renderer->SetScene(this, activeCamera, lightList, shadow_light);
        for (null_object_c* object : pass0List)
            object->Render(0);
        for (null_object_c* object : pass1List)
            object->Render(1);
        if (shadow_light)
            for (null_object_c* object : shadowList)
                object->RenderShadow();
        renderer->ResetRenderLists();
        if (shadow_light) {
            const auto shade = shadow_light->GetShadowColorAndStrength();
            renderer->DrawShadowShade(shade.data(),
                                      (Luminance(shadow_light->GetColor()) - Luminance(GetAmbientColor())) *
                                          shadow_light->shadowStrength);
        }
    }
    if (flags & scene_glow)
        renderer->ApplyGlow(glowStrength);
    if (foregroundMap)
        renderer->DrawMap(*foregroundMap, foregroundValue, 0.0f, 0.0f);
}

null_object_c* scene_c::PickAtScreen(f32 _x, f32 _y, bool _include_non_opaque, bool _precise, f32 _maximum)
{
    RefreshLists();
    if (!activeCamera)
        return nullptr;
    ray_c ray;
    activeCamera->GetPickRay(ray, _x, _y);
    null_object_c* best = nullptr;
    f32 best_distance = FLT_MAX;
    for (null_object_c* object : pickList) {
        f32 distance = FLT_MAX;
        vec3_c normal;
        if (object->RayTest(distance, normal, ray, _include_non_opaque, _precise, _maximum) &&
            (!best || distance < best_distance)) {
            best = object;
            best_distance = distance;
        }
    }
    return best;
}

null_object_c* scene_c::RayTestObjects(f32& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque,
                                       bool _precise, f32 _maximum)
{
    return RayTestChildren(_distance, _normal, _ray, _include_non_opaque, _precise, _maximum);
}

void scene_c::Preload()
{
    aggregate_c::Preload();
    for (const auto* map : {&illuminationMap, &reflectionMap, &backgroundMap, &foregroundMap})
        if (*map)
            (*map)->Preload();
}

void scene_c::Write(output_file_c& _file) const
{
    output_file_c body;
    WriteNullBody(body);
    for (f32 value : {ambientColor.x, ambientColor.y, ambientColor.z, ambientIntensity})
        body.WriteF32(value);
    body.WriteU8(fogMode);
    for (f32 value : {fogColor.x, fogColor.y, fogColor.z, fogStart, fogEnd, fogDensity, backdropColor.x,
                      backdropColor.y, backdropColor.z})
        body.WriteF32(value);
    for (f32 value : {foregroundValue, glowStrength, viewportX, viewportY, viewportWidth, viewportHeight, aspect,
                      nearClip, farClip, nearDepthWeight, farDepthWeight, firstTime, lastTime})
        body.WriteF32(value);
    WriteMapRecord(body, tag_illumination, illuminationMap);
    WriteMapRecord(body, tag_reflection, reflectionMap);
    WriteMapRecord(body, tag_background, backgroundMap);
    WriteMapRecord(body, tag_foreground, foregroundMap);
    WriteItems(body);
    if (activeCamera) {
        output_file_c block;
        block.WriteU32(GetItemRef(activeCamera));
        body.WriteU32(tag_active_camera);
        body.WriteBlock(block);
    }
    WriteChunk(_file, MakeTag("SCNE"), version, body);
}

void scene_c::ReadRecord(u32 _tag, input_file_c& _block)
{
    std::unique_ptr<map_c>* slot = nullptr;
    if (_tag == tag_illumination)
        slot = &illuminationMap;
    else if (_tag == tag_reflection)
        slot = &reflectionMap;
    else if (_tag == tag_background)
        slot = &backgroundMap;
    else if (_tag == tag_foreground)
        slot = &foregroundMap;
    if (slot) {
        if (!GetRenderer())
            throw std::logic_error("void scene_c::ReadRecord()");
        std::unique_ptr<map_c> map(ReadMap(_block, GetRenderer()));
        if (map)
            *slot = std::move(map);
        return;
    }
    if (_tag == tag_active_camera) {
        const u32 ref = ReadCheckedU32(_block);
        if ((ref & item_ref_kind_mask) != item_ref_camera)
            ThrowDataError(_block, "Could not find item!");
        entity_c* camera;
        try {
            camera = GetItemByRef(ref);
        } catch (const std::runtime_error&) {
            ThrowDataError(_block, "Could not find item!");
        }
        activeCamera = static_cast<camera_c*>(camera);
    }
}

scene_c* scene_c::Read(input_file_c& _file, renderer_c* _renderer)
{
    input_file_c body;
    if (!ReadChunk(_file, MakeTag("SCNE"), version, body))
        return nullptr;
    auto* scene = new scene_c("(Unnamed)", _renderer);
    try {
        scene->ReadNullBody(body);
        for (f32* value :
             {&scene->ambientColor.x, &scene->ambientColor.y, &scene->ambientColor.z, &scene->ambientIntensity})
            *value = ReadCheckedF32(body);
        scene->fogMode = ReadCheckedU8(body);
        for (f32* value :
             {&scene->fogColor.x,      &scene->fogColor.y,      &scene->fogColor.z,      &scene->fogStart,
              &scene->fogEnd,          &scene->fogDensity,      &scene->backdropColor.x, &scene->backdropColor.y,
              &scene->backdropColor.z, &scene->foregroundValue, &scene->glowStrength,    &scene->viewportX,
              &scene->viewportY,       &scene->viewportWidth,   &scene->viewportHeight,  &scene->aspect,
              &scene->nearClip,        &scene->farClip,         &scene->nearDepthWeight, &scene->farDepthWeight,
              &scene->firstTime,       &scene->lastTime})
            *value = ReadCheckedF32(body);
        // Stored values pass the setters' bounds, as typed-in ones do.
        scene->SetViewport(scene->viewportX, scene->viewportY, scene->viewportWidth, scene->viewportHeight);
        scene->SetClipPlanes(scene->nearClip, scene->farClip);
        scene->SetAspectRatio(scene->aspect);
        scene->SetDepthWeights(scene->nearDepthWeight, scene->farDepthWeight);
        scene->ReadItems(body);
    } catch (...) {
        delete scene;
        throw;
    }
    return scene;
}
