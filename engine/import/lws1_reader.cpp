#include "engine/import/lws1_reader.h"

#include <cstring>

#include "engine/bone.h"
#include "engine/camera.h"
#include "engine/envelope.h"
#include "engine/light.h"
#include "engine/scene.h"
#include "foundation/file_error.h"

namespace {

constexpr f32 kRadiansPerDegree = 0.017453292519943295f;

struct frame_key_c {
    f32 time;
    bool linear;
    f32 tension, continuity, bias;
};

// Frame, linear flag, tension, continuity and bias of a key.
frame_key_c ReadKeyTail(lws_tokenizer_c& _tokens, f32 _rate)
{
    frame_key_c key;
    key.time = static_cast<f32>(_tokens.ReadInt()) / _rate;
    key.linear = _tokens.ReadInt() != 0;
    key.tension = _tokens.ReadFloat();
    key.continuity = _tokens.ReadFloat();
    key.bias = _tokens.ReadFloat();
    return key;
}

envelope_key_c MakeKey(f32 _value, const frame_key_c& _tail)
{
    envelope_key_c key;
    key.value = _value;
    key.time = _tail.time;
    key.shape = _tail.linear ? shape_linear : shape_tcb;
    key.tension = _tail.tension;
    key.continuity = _tail.continuity;
    key.bias = _tail.bias;
    return key;
}

} // namespace

bool IsLws1File(const input_file_c& _file)
{
    return IsLwsFile(_file, '1');
}

lws1_reader_c::lws1_reader_c(input_file_c& _file) : lws_reader_c(_file) {}

envelope_behaviour_e lws1_reader_c::ReadEndBehaviour()
{
    if (std::strcmp(tokens.ReadWord(), "EndBehavior") != 0)
        Fail("Unable to determine end behavior!");
    const int code = tokens.ReadInt();
    return code == 0 ? behaviour_reset : code == 2 ? behaviour_repeat : behaviour_constant;
}

vec3_c lws1_reader_c::ReadColor()
{
    const int r = tokens.ReadInt();
    const int g = tokens.ReadInt();
    const int b = tokens.ReadInt();
    constexpr f32 kByte = 0.003921569f;
    return vec3_c((r & 0xFF) * kByte, (g & 0xFF) * kByte, (b & 0xFF) * kByte);
}

void lws1_reader_c::ReadValue(f32& _target, graph_c* _owner, f32 _scale)
{
    const string_c word = tokens.ReadWord();
    if (std::strcmp(word, "(envelope)") != 0) {
        _target = static_cast<f32>(TextToDouble(word) * _scale);
        return;
    }
    if (tokens.ReadInt() != 1)
        Fail("Invalid number of information channels!");
    const int count = tokens.ReadInt();
    if (count < 1)
        Fail("Invalid number of keys!");
    envelope_c envelope;
    for (int k = 0; k < count; ++k) {
        const f32 value = tokens.ReadFloat() * _scale;
        // Each key takes at least six words, so a count beyond the text ends
        // at the end of the text, not in memory.
        envelope.keys.push_back(MakeKey(value, ReadKeyTail(tokens, frameRate)));
    }
    envelope.post = ReadEndBehaviour();
    _target = envelope.keys[0].value;
    if (count > 1)
        _owner->AddEnvelope(envelope, &_target);
}

void lws1_reader_c::ReadMotion(entity_c* _entity, u32 _count)
{
    tokens.ReadWord();
    if (tokens.ReadInt() != 9)
        Fail("Invalid number of information channels!");
    const int count = tokens.ReadInt();
    if (count < 1)
        Fail("Invalid number of keys!");
    f32* const members[9] = {&_entity->position.x, &_entity->position.y, &_entity->position.z,
                             &_entity->rotation.x, &_entity->rotation.y, &_entity->rotation.z,
                             &_entity->scale.x,    &_entity->scale.y,    &_entity->scale.z};
    envelope_c channels[9];
    for (int k = 0; k < count; ++k) {
        f32 values[9];
        for (u32 c = 0; c < 9; ++c)
            values[c] = tokens.ReadFloat() * (c >= 3 && c < 6 ? kRadiansPerDegree : 1.0f);
        const frame_key_c tail = ReadKeyTail(tokens, frameRate);
        for (u32 c = 0; c < _count; ++c)
            channels[c].keys.push_back(MakeKey(values[c], tail));
    }
    const envelope_behaviour_e post = ReadEndBehaviour();
    for (u32 c = 0; c < _count; ++c) {
        *members[c] = channels[c].keys[0].value;
        if (count > 1) {
            channels[c].post = post;
            _entity->AddEnvelope(channels[c], members[c]);
        }
    }
}

void lws1_reader_c::Read(scene_c* _scene, renderer_c* _renderer)
{
    scene = _scene;
    renderer = _renderer;
    const auto readValue = [this](f32& _target, graph_c* _owner, f32 _scale) { ReadValue(_target, _owner, _scale); };
    const auto readColor = [this] { return ReadColor(); };
    string_c word;
    while (tokens.TryReadWord(word)) {
        if (ReadFrameKeyword(word))
            continue;
        auto is = [&](const char* _keyword) { return std::strcmp(word, _keyword) == 0; };
        null_object_c* object = currentObject;
        light_c* light = currentLight;
        camera_c* camera = currentCamera;
        if (is("LoadObject")) {
            LoadObjectLayer(ReadName(), 0);
        } else if (is("AddNullObject")) {
            AddObject(std::make_unique<null_object_c>(ReadName()));
        } else if (is("ObjectMotion")) {
            if (object)
                ReadMotion(object, 9);
        } else if (is("PivotPoint")) {
            if (object) {
                const f32 x = tokens.ReadFloat();
                const f32 y = tokens.ReadFloat();
                object->SetPivot(vec3_c(x, y, tokens.ReadFloat()));
            }
        } else if (is("PivotRotation")) {
            if (object) {
                vec3_c angles;
                tokens.ReadAngles(angles);
                object->SetPivotRotation(angles);
            }
        } else if (is("ParentObject")) {
            if (currentLink)
                currentLink->parent = static_cast<u32>(tokens.ReadInt());
        } else if (is("TargetObject")) {
            if (currentLink)
                currentLink->target = static_cast<u32>(tokens.ReadInt());
        } else if (is("ObjDissolve")) {
            if (object)
                ReadValue(object->dissolve, object, 1.0f);
        } else if (is("UnaffectedByFog")) {
            if (object && tokens.ReadInt() != 0)
                object->ClearFlags(object_fog);
        } else if (is("UnseenByRays")) {
            if (object && tokens.ReadInt() != 0)
                object->ClearFlags(object_ray_testable);
        } else if (is("UnseenByCamera")) {
            if (object && tokens.ReadInt() != 0)
                object->ClearFlags(object_rendered);
        } else if (is("ShadowOptions")) {
            if (object)
                object->SetFlags((tokens.ReadInt() & 2) ? u32(object_shadow_casting) : 0u);
        } else if (is("BoneMotion")) {
            if (currentBone)
                ReadMotion(currentBone->raw, 9);
        } else if (std::strncmp(word, "Bone", 4) == 0 && ReadBoneKeyword(word)) {
        } else if (is("AddBone")) {
            ReadBoneKeyword(word);
        } else if (is("AmbientColor")) {
            scene->ambientColor = ReadColor();
        } else if (is("AmbIntensity")) {
            ReadValue(scene->ambientIntensity, scene, 1.0f);
        } else if (is("EnableLensFlare")) {
            lensFlares = tokens.ReadInt() != 0;
        } else if (is("AddLight")) {
            currentLight = nullptr;
            currentLightRecord = nullptr;
            currentLink = nullptr;
            currentKind = 0;
        } else if (is("LightName")) {
            AddLight(ReadName());
        } else if (is("LightMotion")) {
            if (light)
                ReadMotion(light, 6);
        } else if (is("LightColor")) {
            if (light)
                light->color = ReadColor();
        } else if (is("LgtIntensity")) {
            if (light)
                ReadValue(light->intensity, light, 1.0f);
        } else if (is("NoDiffuse")) {
            if (light && tokens.ReadInt() != 0)
                light->ClearFlags(lws_light_diffuse);
        } else if (is("NoSpecular")) {
            if (light && tokens.ReadInt() != 0)
                light->ClearFlags(lws_light_specular);
        } else if (is("LightType")) {
            if (light) {
                const int type = tokens.ReadInt();
                light->SetType(type == 1 ? 2 : type == 2 ? 4 : 1);
            }
        } else if (is("ConeAngle") || is("EdgeAngle")) {
            if (light)
                ReadValue(is("ConeAngle") ? light->coneAngle : light->edgeAngle, light, kRadiansPerDegree);
        } else if ((std::strncmp(word, "Flare", 5) == 0 || std::strncmp(word, "LensFlare", 9) == 0) &&
                   ReadFlareKeyword(word, readValue, readColor, -kRadiansPerDegree)) {
        } else if (is("ShadowType")) {
            if (light && tokens.ReadInt() == 1)
                light->SetFlags(lws_light_shadows);
        } else if (is("ShadowColor")) {
            if (light)
                light->SetShadowColor(ReadColor());
        } else if (is("ShowCamera")) {
            tokens.ReadInt();
            tokens.ReadInt();
            AddCamera("Camera");
        } else if (is("CameraMotion")) {
            if (camera)
                ReadMotion(camera, 6);
        } else if (is("ZoomFactor")) {
            if (camera)
                ReadValue(camera->zoom, camera, 1.0f);
        } else if (is("BackdropColor")) {
            scene->backdropColor = ReadColor();
        } else if (is("FogColor")) {
            scene->fogColor = ReadColor();
        } else if (is("FogType")) {
            if (tokens.ReadInt() != 0)
                scene->SetFlag(scene_fog_on, true);
        } else if (is("BackdropFog")) {
            if (tokens.ReadInt() != 0)
                scene->fogColor = scene->backdropColor;
        } else if (is("GlowEffect")) {
            if (tokens.ReadInt() != 0)
                scene->SetFlag(scene_glow, true);
        } else if (is("RayTraceEffects")) {
            if (tokens.ReadInt() & 1)
                scene->SetFlag(0x40, true);
        } else if (is("FogMinDist")) {
            ReadValue(scene->fogStart, scene, 1.0f);
        } else if (is("FogMaxDist")) {
            ReadValue(scene->fogEnd, scene, 1.0f);
        } else if (is("BGImage")) {
            scene->SetBackgroundMap(Backslashed(ReadName()));
        } else if (is("FGImage")) {
            scene->SetForegroundMap(Backslashed(ReadName()));
        } else if (is("FGDissolve")) {
            ReadValue(scene->foregroundValue, scene, 1.0f);
        } else if (is("GlowIntensity")) {
            ReadValue(scene->glowStrength, scene, 1.0f);
        }
    }
    Finish(
        0, [this](u32 _number) -> entity_c* { return _number <= objects.size() ? objects[_number - 1]->raw : nullptr; },
        "Could not find object!",
        [](const object_c& _object, u32 _number) -> entity_c* {
            return _number <= _object.bones.size() ? _object.bones[_number - 1]->raw : nullptr;
        },
        "Could not find bone!");
}

bool ImportLws1Scene(input_file_c& _file, scene_c& _scene)
{
    if (!IsLws1File(_file))
        return false;
    lws1_reader_c reader(_file);
    reader.Read(&_scene, _scene.GetRenderer());
    return true;
}
