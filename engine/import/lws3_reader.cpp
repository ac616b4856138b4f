#include "engine/import/lws3_reader.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>

#include "engine/bone.h"
#include "engine/camera.h"
#include "engine/anim_sprite.h"
#include "engine/emitter.h"
#include "engine/forest.h"
#include "engine/geom_object.h"
#include "engine/mesh.h"
#include "engine/sprite.h"
#include "engine/trail.h"
#include "engine/sky_box.h"
#include "engine/terrain.h"
#include "engine/water.h"
#include "engine/light.h"
#include "engine/object_format.h"
#include "engine/renderer.h"
#include "engine/scene.h"
#include "engine/scene_loader.h"
#include "foundation/command.h"
#include "foundation/file_error.h"

namespace {

enum keyword_e {
    kw_load_object_layer,
    kw_add_null_object,
    kw_object_motion,
    kw_pivot_position,
    kw_pivot_rotation,
    kw_parent_item,
    kw_target_object,
    kw_target_item,
    kw_plugin,
    kw_object_dissolve,
    kw_unaffected_by_fog,
    kw_unseen_by_rays,
    kw_unseen_by_camera,
    kw_shadow_options,
    kw_add_bone,
    kw_bone_name,
    kw_ambient_color,
    kw_ambient_intensity,
    kw_enable_lens_flares,
    kw_add_light,
    kw_light_name,
    kw_light_motion,
    kw_light_color,
    kw_light_intensity,
    kw_affect_diffuse,
    kw_affect_specular,
    kw_light_type,
    kw_light_falloff_type,
    kw_light_range,
    kw_light_cone_angle,
    kw_light_edge_angle,
    kw_shadow_type,
    kw_shadow_color,
    kw_add_camera,
    kw_camera_name,
    kw_camera_motion,
    kw_zoom_factor,
    kw_backdrop_color,
    kw_fog_type,
    kw_fog_min_distance,
    kw_fog_max_distance,
    kw_fog_color,
    kw_backdrop_fog,
    kw_bg_image,
    kw_fg_image,
    kw_fg_dissolve,
    kw_glow_effect,
    kw_glow_intensity,
    kw_ray_trace_effects,
    kw_current_camera,
    kw_parameter_line,
};

const std::unordered_map<std::string, keyword_e>& Keywords()
{
    static const std::unordered_map<std::string, keyword_e> table = {
        {"LoadObjectLayer", kw_load_object_layer},
        {"AddNullObject", kw_add_null_object},
        {"ObjectMotion", kw_object_motion},
        {"PivotPosition", kw_pivot_position},
        {"PivotRotation", kw_pivot_rotation},
        {"ParentItem", kw_parent_item},
        {"TargetObject", kw_target_object},
        {"TargetItem", kw_target_item},
        {"Plugin", kw_plugin},
        {"ObjectDissolve", kw_object_dissolve},
        {"UnaffectedByFog", kw_unaffected_by_fog},
        {"UnseenByRays", kw_unseen_by_rays},
        {"UnseenByCamera", kw_unseen_by_camera},
        {"ShadowOptions", kw_shadow_options},
        {"AddBone", kw_add_bone},
        {"BoneName", kw_bone_name},
        {"AmbientColor", kw_ambient_color},
        {"AmbientIntensity", kw_ambient_intensity},
        {"EnableLensFlares", kw_enable_lens_flares},
        {"AddLight", kw_add_light},
        {"LightName", kw_light_name},
        {"LightMotion", kw_light_motion},
        {"LightColor", kw_light_color},
        {"LightIntensity", kw_light_intensity},
        {"AffectDiffuse", kw_affect_diffuse},
        {"AffectSpecular", kw_affect_specular},
        {"LightType", kw_light_type},
        {"LightFalloffType", kw_light_falloff_type},
        {"LightRange", kw_light_range},
        {"LightConeAngle", kw_light_cone_angle},
        {"LightEdgeAngle", kw_light_edge_angle},
        {"ShadowType", kw_shadow_type},
        {"ShadowColor", kw_shadow_color},
        {"AddCamera", kw_add_camera},
        {"CameraName", kw_camera_name},
        {"CameraMotion", kw_camera_motion},
        {"ZoomFactor", kw_zoom_factor},
        {"BackdropColor", kw_backdrop_color},
        {"FogType", kw_fog_type},
        {"FogMinDistance", kw_fog_min_distance},
        {"FogMaxDistance", kw_fog_max_distance},
        {"FogColor", kw_fog_color},
        {"BackdropFog", kw_backdrop_fog},
        {"BGImage", kw_bg_image},
        {"FGImage", kw_fg_image},
        {"FGDissolve", kw_fg_dissolve},
        {"GlowEffect", kw_glow_effect},
        {"GlowIntensity", kw_glow_intensity},
        {"RayTraceEffects", kw_ray_trace_effects},
        {"CurrentCamera", kw_current_camera},
        {"//", kw_parameter_line},
    };
    return table;
}

constexpr f32 kRadiansPerDegree = 0.017453292519943295f;

envelope_behaviour_e Behaviour(int _code)
{
    switch (_code) {
    case 0:
    case 2:
    case 3:
    case 4:
    case 5: return static_cast<envelope_behaviour_e>(_code);
    default: return behaviour_constant;
    }
}

envelope_shape_e Shape(int _code)
{
    switch (_code) {
    case 1:
    case 2: return shape_hermite;
    case 3: return shape_linear;
    case 4: return shape_stepped;
    case 5: return shape_bezier;
    default: return shape_tcb;
    }
}

u32 HexId(const string_c& _word)
{
    return static_cast<u32>(std::strtoul(_word, nullptr, 16));
}

template <class T>
std::unique_ptr<null_object_c> Make(const char* _name, renderer_c* _renderer)
{
    return std::make_unique<T>(_name, _renderer);
}

// The class words of engine objects named in the scene ("[Sky] Clouds").
struct engine_class_c {
    const char* word;
    std::unique_ptr<null_object_c> (*make)(const char*, renderer_c*);
};
const engine_class_c kEngineClasses[] = {
    {"Sprite", Make<sprite_c>},   {"Anim", Make<anim_sprite_c>}, {"Flare", Make<flare_c>},
    {"Emitter", Make<emitter_c>}, {"Trail", Make<trail_c>},      {"Sky", Make<sky_box_c>},
    {"Terrain", Make<terrain_c>}, {"Water", Make<water_c>},      {"Forest", Make<forest_c>},
};

// Scenes that name object files nest; a file that names itself would not end.
constexpr u32 kNestingLimit = 16;
thread_local u32 nesting = 0;

} // namespace

bool IsLws3File(const input_file_c& _file)
{
    return IsLwsFile(_file, '3');
}

lws3_reader_c::lws3_reader_c(input_file_c& _file) : lws_reader_c(_file) {}

void lws3_reader_c::ReadValue(f32& _target, graph_c* _owner, f32 _scale)
{
    const string_c word = tokens.ReadWord();
    if (word == "(envelope)")
        ReadEnvelope(_target, _owner, _scale);
    else
        _target = static_cast<f32>(TextToDouble(word) * _scale);
}

void lws3_reader_c::ReadEnvelope(f32& _target, graph_c* _owner, f32 _scale)
{
    if (tokens.ReadWord() != string_c("{"))
        Fail("Begin of envelope not found!");
    if (tokens.ReadWord() != string_c("Envelope"))
        Fail("Envelope identifier not found!");
    const int count = tokens.ReadInt();
    if (count < 1)
        Fail("Invalid number of keys!");
    envelope_c envelope;
    bool firstKey = true;
    for (string_c word = tokens.ReadWord(); word != "}"; word = tokens.ReadWord()) {
        if (word == "Key") {
            if (count == 1) {
                if (firstKey)
                    _target = tokens.ReadFloat() * _scale;
                firstKey = false;
                continue;
            }
            if (envelope.keys.size() >= static_cast<size_t>(count))
                continue;
            envelope_key_c key;
            key.value = tokens.ReadFloat() * _scale;
            key.time = tokens.ReadFloat();
            key.shape = Shape(tokens.ReadInt());
            f32 p[6];
            for (f32& v : p)
                v = tokens.ReadFloat();
            if (key.shape == shape_tcb) {
                key.tension = p[0];
                key.continuity = p[1];
                key.bias = p[2];
            } else if (key.shape == shape_hermite) {
                key.param0 = p[3];
                key.param1 = p[4];
            } else if (key.shape == shape_bezier) {
                key.param0 = p[0];
                key.param1 = p[1];
                key.param2 = p[2];
                key.param3 = p[3];
            }
            envelope.keys.push_back(key);
        } else if (word == "Behaviors" && count > 1) {
            envelope.pre = Behaviour(tokens.ReadInt());
            envelope.post = Behaviour(tokens.ReadInt());
        }
    }
    if (count == 1)
        return;
    if (envelope.keys.size() < static_cast<size_t>(count))
        Fail("Invalid number of keys!");
    _target = envelope.keys[0].value;
    _owner->AddEnvelope(envelope, &_target);
}

void lws3_reader_c::SkipBlock()
{
    if (tokens.ReadWord() != string_c("{"))
        Fail("Begin of envelope not found!");
    while (tokens.ReadWord() != string_c("}")) {}
}

void lws3_reader_c::ReadChannels(entity_c* _entity, u32 _count)
{
    if (tokens.ReadWord() != string_c("NumChannels"))
        Fail("Information channels not found!");
    const int n = tokens.ReadInt();
    if (n < static_cast<int>(_count))
        Fail("Invalid number of information channels!");
    f32* const members[9] = {&_entity->position.x, &_entity->position.y, &_entity->position.z,
                             &_entity->rotation.x, &_entity->rotation.y, &_entity->rotation.z,
                             &_entity->scale.x,    &_entity->scale.y,    &_entity->scale.z};
    for (int k = 0; k < n; ++k) {
        if (tokens.ReadWord() != string_c("Channel"))
            Fail("Information channel not found!");
        if (tokens.ReadInt() != k)
            Fail("Invalid information channel number!");
        if (static_cast<u32>(k) < _count)
            ReadEnvelope(*members[k], _entity, 1.0f);
        else
            SkipBlock();
    }
}

string_c lws3_reader_c::ReadClip()
{
    if (tokens.ReadWord() != string_c("{"))
        Fail("Begin of clip not found!");
    if (tokens.ReadWord() != string_c("Clip"))
        Fail("Clip identifier not found!");
    if (tokens.ReadWord() != string_c("{"))
        Fail("Begin of still image not found!");
    if (tokens.ReadWord() != string_c("Still"))
        Fail("Still image identifier not found!");
    const string_c name = tokens.ReadQuoted();
    while (tokens.ReadWord() != string_c("}")) {}
    while (tokens.ReadWord() != string_c("}")) {}
    return Backslashed(name);
}

void lws3_reader_c::ReadParameterLine()
{
    const string_c line = ReadName();
    const char* itemName = nullptr;
    bool known = false;
    try {
        const command_c command(line);
        if (currentKind == 3 && currentCamera) {
            itemName = currentCamera->GetName();
            known = scene->SetParameter(command);
        } else if (currentKind == 1 && currentObject) {
            itemName = currentObject->GetName();
            known = currentObject->SetParameter(command);
        } else {
            return;
        }
    } catch (const command_error_c&) {
        // A keyword without its value is as unusable as an unknown one.
        known = false;
    }
    if (!known && renderer)
        renderer->LogWarning(
            string_c("[%s] [%s] [%s] Unknown command!", fileName.GetData(), itemName ? itemName : "", line.GetData()));
}

void lws3_reader_c::ReadPlugin(const object_c& _object)
{
    const string_c kind = tokens.ReadWord();
    tokens.ReadInt();
    const string_c name = tokens.ReadWord();
    auto* geom = dynamic_cast<geom_object_c*>(_object.raw);
    if (geom && std::strcmp(kind, "DisplacementHandler") == 0 && std::strcmp(name, "LW_MorphMixer") == 0) {
        int forms = tokens.ReadInt();
        tokens.ReadInt();
        while (forms > 0) {
            const string_c word = tokens.ReadWord();
            // A count larger than the forms written ends with the plug-in.
            if (std::strcmp(word, "EndPlugin") == 0)
                return;
            if (std::strcmp(word, "{") != 0)
                continue;
            if (std::strcmp(tokens.ReadWord(), "MorfForm") == 0) {
                const string_c morph = tokens.ReadQuoted();
                mesh_c* mesh = geom->GetMeshes().GetFirst();
                while (mesh && !(mesh->name == morph))
                    mesh = mesh->GetNext();
                if (mesh == nullptr)
                    Fail("Could not find item!");
                mesh->firstValue = tokens.ReadFloat();
                ReadEnvelope(mesh->firstValue, mesh, 1.0f);
                --forms;
            }
            while (std::strcmp(tokens.ReadWord(), "}") != 0) {}
        }
    }
    while (std::strcmp(tokens.ReadWord(), "EndPlugin") != 0) {}
}

void lws3_reader_c::AddNullObject(const string_c& _name)
{
    const u32 length = _name.GetLength();
    std::unique_ptr<null_object_c> object;
    const int close = _name.Find(']');
    if (length >= 3 && _name[0] == '[' && close > 0 && close < static_cast<int>(length) - 1) {
        const string_c kind = _name.Mid(1, static_cast<u32>(close - 1));
        for (const engine_class_c& engineClass : kEngineClasses) {
            if (!(kind == engineClass.word))
                continue;
            // Their maps and geometry come from the renderer.
            if (renderer == nullptr)
                Fail("Engine objects need a renderer!");
            object = engineClass.make(_name, renderer);
        }
        if (object) {
            AddObject(std::move(object));
            return;
        }
    }
    if (length >= 3 && _name[0] == '<' && _name[length - 1] == '>') {
        if (nesting >= kNestingLimit)
            Fail("Objects nested too deeply!");
        ++nesting;
        try {
            object.reset(LoadObject(Backslashed(_name.Mid(1, length - 2)), renderer, false));
        } catch (...) {
            --nesting;
            throw;
        }
        --nesting;
    }
    if (!object)
        object = std::make_unique<null_object_c>(_name);
    AddObject(std::move(object));
}

entity_c* lws3_reader_c::Resolve(u32 _id) const
{
    const u32 index = _id & 0x0FFFFFFF;
    switch (_id >> 28) {
    case 1: return index < objects.size() ? objects[index]->raw : nullptr;
    case 2: return index < lights.size() ? lights[index]->raw : nullptr;
    case 3: return index < cameras.size() ? cameras[index]->raw : nullptr;
    case 4: {
        const u32 object = _id & 0xFFFF;
        const u32 bone = (_id >> 16) & 0xFFF;
        if (object >= objects.size() || bone >= objects[object]->bones.size())
            return nullptr;
        return objects[object]->bones[bone]->raw;
    }
    default: return nullptr;
    }
}

void lws3_reader_c::Read(scene_c* _scene, renderer_c* _renderer)
{
    scene = _scene;
    renderer = _renderer;
    const auto& keywords = Keywords();
    const auto readValue = [this](f32& _target, graph_c* _owner, f32 _scale) { ReadValue(_target, _owner, _scale); };
    const auto readColor = [this] {
        const f32 r = tokens.ReadFloat();
        const f32 g = tokens.ReadFloat();
        return vec3_c(r, g, tokens.ReadFloat());
    };
    string_c word;
    while (tokens.TryReadWord(word)) {
        if (ReadFrameKeyword(word))
            continue;
        if (std::strcmp(word, "BoneMotion") == 0) {
            if (currentBone)
                ReadChannels(currentBone->raw, 9);
            continue;
        }
        if (std::strncmp(word, "Bone", 4) == 0 && ReadBoneKeyword(word))
            continue;
        if ((std::strncmp(word, "Flare", 5) == 0 || std::strncmp(word, "LensFlare", 9) == 0) &&
            ReadFlareKeyword(word, readValue, readColor, -1.0f))
            continue;
        const auto found = keywords.find(std::string(word.GetData()));
        if (found == keywords.end())
            continue;
        null_object_c* object = currentObject;
        light_c* light = currentLight;
        camera_c* camera = currentCamera;
        switch (found->second) {
        case kw_load_object_layer: {
            // The file counts layers from 1.
            const int layer = tokens.ReadInt() - 1;
            LoadObjectLayer(ReadName(), layer > 0 ? static_cast<u32>(layer) : 0);
            break;
        }
        case kw_add_null_object: AddNullObject(ReadName()); break;
        case kw_object_motion:
            if (object)
                ReadChannels(object, 9);
            break;
        case kw_pivot_position:
            if (object) {
                const f32 x = tokens.ReadFloat();
                const f32 y = tokens.ReadFloat();
                object->SetPivot(vec3_c(x, y, tokens.ReadFloat()));
            }
            break;
        case kw_pivot_rotation:
            if (object) {
                vec3_c angles;
                tokens.ReadAngles(angles);
                object->SetPivotRotation(angles);
            }
            break;
        case kw_parent_item:
            if (currentLink)
                currentLink->parent = HexId(tokens.ReadWord());
            break;
        case kw_target_object:
            if (currentLink) {
                const int n = tokens.ReadInt();
                // Object numbers count from 1; 0 means no target.
                currentLink->target = n > 0 ? (static_cast<u32>(n - 1) & 0x0FFFFFFF) | 0x10000000 : 0;
            }
            break;
        case kw_target_item:
            if (currentLink)
                currentLink->target = HexId(tokens.ReadWord());
            break;
        case kw_plugin:
            for (const auto& record : objects)
                if (record->raw == object && record->layer >= 0)
                    ReadPlugin(*record);
            break;
        case kw_object_dissolve:
            if (object)
                ReadValue(object->dissolve, object, 1.0f);
            break;
        case kw_unaffected_by_fog:
            if (object && tokens.ReadInt() != 0)
                object->ClearFlags(object_fog);
            break;
        case kw_unseen_by_rays:
            if (object && tokens.ReadInt() != 0)
                object->ClearFlags(object_ray_testable);
            break;
        case kw_unseen_by_camera:
            if (object && tokens.ReadInt() != 0)
                object->ClearFlags(object_rendered);
            break;
        case kw_shadow_options:
            if (object)
                object->SetFlags((tokens.ReadInt() & 2) ? u32(object_shadow_casting) : 0u);
            break;
        case kw_add_bone:
        case kw_bone_name: ReadBoneKeyword(word); break;
        case kw_ambient_color: {
            const f32 r = tokens.ReadFloat();
            const f32 g = tokens.ReadFloat();
            scene->ambientColor = vec3_c(r, g, tokens.ReadFloat());
            break;
        }
        case kw_ambient_intensity: ReadValue(scene->ambientIntensity, scene, 1.0f); break;
        case kw_enable_lens_flares: lensFlares = tokens.ReadInt() != 0; break;
        case kw_add_light:
            currentLight = nullptr;
            currentLightRecord = nullptr;
            currentLink = nullptr;
            currentKind = 0;
            break;
        case kw_light_name: AddLight(ReadName()); break;
        case kw_light_motion:
            if (light)
                ReadChannels(light, 6);
            break;
        case kw_light_color:
            if (light) {
                const string_c first = tokens.ReadWord();
                if (first == "(envelope)") {
                    ReadEnvelope(light->color.x, light, 1.0f);
                    ReadEnvelope(light->color.y, light, 1.0f);
                    ReadEnvelope(light->color.z, light, 1.0f);
                } else {
                    const f32 g = tokens.ReadFloat();
                    light->color = vec3_c(static_cast<f32>(TextToDouble(first)), g, tokens.ReadFloat());
                }
            }
            break;
        case kw_light_intensity:
            if (light)
                ReadValue(light->intensity, light, 1.0f);
            break;
        case kw_affect_diffuse:
            if (light && tokens.ReadInt() == 0)
                light->ClearFlags(lws_light_diffuse);
            break;
        case kw_affect_specular:
            if (light && tokens.ReadInt() == 0)
                light->ClearFlags(lws_light_specular);
            break;
        case kw_light_type:
            if (light) {
                const int type = tokens.ReadInt();
                light->SetType(type == 1 ? 2 : type == 2 ? 4 : 1);
            }
            break;
        case kw_light_falloff_type:
            if (light) {
                const int type = tokens.ReadInt();
                light->SetFlags(type == 2 ? 32 : type == 3 ? 64 : 0);
            }
            break;
        case kw_light_range:
            if (light && light->HasFalloff())
                ReadValue(light->range, light, 1.0f);
            break;
        case kw_light_cone_angle:
            if (light)
                ReadValue(light->coneAngle, light, kRadiansPerDegree);
            break;
        case kw_light_edge_angle:
            if (light)
                ReadValue(light->edgeAngle, light, kRadiansPerDegree);
            break;
        case kw_shadow_type:
            if (light && tokens.ReadInt() == 1)
                light->SetFlags(lws_light_shadows);
            break;
        case kw_shadow_color:
            if (light) {
                const f32 r = tokens.ReadFloat();
                const f32 g = tokens.ReadFloat();
                light->SetShadowColor(vec3_c(r, g, tokens.ReadFloat()));
            }
            break;
        case kw_add_camera:
            currentCamera = nullptr;
            currentLink = nullptr;
            currentKind = 0;
            break;
        case kw_camera_name: AddCamera(ReadName()); break;
        case kw_camera_motion:
            if (camera)
                ReadChannels(camera, 6);
            break;
        case kw_zoom_factor:
            if (camera)
                ReadValue(camera->zoom, camera, 1.0f);
            break;
        case kw_backdrop_color: {
            const f32 r = tokens.ReadFloat();
            const f32 g = tokens.ReadFloat();
            scene->backdropColor = vec3_c(r, g, tokens.ReadFloat());
            break;
        }
        case kw_fog_type:
            if (tokens.ReadInt() != 0)
                scene->SetFlag(scene_fog_on, true);
            break;
        case kw_fog_min_distance: ReadValue(scene->fogStart, scene, 1.0f); break;
        case kw_fog_max_distance: ReadValue(scene->fogEnd, scene, 1.0f); break;
        case kw_fog_color: {
            const f32 r = tokens.ReadFloat();
            const f32 g = tokens.ReadFloat();
            scene->fogColor = vec3_c(r, g, tokens.ReadFloat());
            break;
        }
        case kw_backdrop_fog:
            if (tokens.ReadInt() != 0)
                scene->fogColor = scene->backdropColor;
            break;
        case kw_bg_image: scene->SetBackgroundMap(ReadClip()); break;
        case kw_fg_image: scene->SetForegroundMap(ReadClip()); break;
        case kw_fg_dissolve: ReadValue(scene->foregroundValue, scene, 1.0f); break;
        case kw_glow_effect:
            if (tokens.ReadInt() != 0)
                scene->SetFlag(scene_glow, true);
            break;
        case kw_glow_intensity: ReadValue(scene->glowStrength, scene, 1.0f); break;
        case kw_ray_trace_effects:
            if (tokens.ReadInt() & 1)
                scene->SetFlag(0x40, true);
            break;
        case kw_current_camera: currentCameraIndex = static_cast<u32>(tokens.ReadInt()); break;
        case kw_parameter_line: ReadParameterLine(); break;
        }
    }
    Finish(
        currentCameraIndex, [this](u32 _id) { return Resolve(_id); }, "Could not find item!",
        [this](const object_c& _object, u32 _id) -> entity_c* {
            if (_id >> 28 != 4)
                return Resolve(_id);
            const u32 object = _id & 0xFFFF;
            const u32 bone = (_id >> 16) & 0xFFF;
            if (object >= objects.size() || objects[object].get() != &_object || bone >= _object.bones.size())
                return nullptr;
            return _object.bones[bone]->raw;
        },
        "Could not find item!");
}

bool ImportLws3Scene(input_file_c& _file, scene_c& _scene)
{
    if (!IsLws3File(_file))
        return false;
    lws3_reader_c reader(_file);
    reader.Read(&_scene, _scene.GetRenderer());
    return true;
}
