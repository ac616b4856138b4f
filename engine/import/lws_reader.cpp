#include "engine/import/lws_reader.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/bone.h"
#include "engine/camera.h"
#include "engine/geom_object.h"
#include "engine/light.h"
#include "engine/renderer.h"
#include "engine/scene.h"
#include "foundation/file_error.h"

bool IsLwsFile(const input_file_c& _file, char _version)
{
    const u8* at = _file.GetPointer();
    if (at == nullptr)
        return false;
    const u32 left = _file.GetSize() - _file.GetPosition();
    const char unix[6] = {'L', 'W', 'S', 'C', '\n', _version};
    const char dos[7] = {'L', 'W', 'S', 'C', '\r', '\n', _version};
    return (left >= 6 && std::memcmp(at, unix, 6) == 0) || (left >= 7 && std::memcmp(at, dos, 7) == 0);
}

lws_reader_c::lws_reader_c(input_file_c& _file) : tokens(_file), fileName(_file.GetName()), folder(fileName) {}

lws_reader_c::~lws_reader_c() = default;
lws_reader_c::object_c::object_c() = default;
lws_reader_c::object_c::~object_c() = default;
lws_reader_c::light_record_c::light_record_c() = default;
lws_reader_c::light_record_c::~light_record_c() = default;

void lws_reader_c::AddBone(const string_c& _name)
{
    if (objects.empty() || currentObject == nullptr)
        return;
    auto record = std::make_unique<bone_record_c>();
    record->bone = std::make_unique<bone_c>(_name);
    record->raw = record->bone.get();
    record->link.item = record->raw;
    currentLink = &record->link;
    currentBone = record.get();
    currentKind = 4;
    for (auto& object : objects)
        if (object->raw == currentObject)
            object->bones.push_back(std::move(record));
}

bool lws_reader_c::ReadBoneKeyword(const string_c& _word)
{
    auto is = [&](const char* _keyword) { return std::strcmp(_word, _keyword) == 0; };
    if (is("AddBone")) {
        currentBone = nullptr;
        currentLink = nullptr;
        currentKind = 0;
        return true;
    }
    if (is("BoneName")) {
        const string_c name = ReadName();
        AddBone(name);
        return true;
    }
    bone_c* bone = currentBone ? currentBone->raw : nullptr;
    if (is("BoneRestPosition")) {
        if (bone) {
            const f32 x = tokens.ReadFloat();
            const f32 y = tokens.ReadFloat();
            bone->restPosition = vec3_c(x, y, tokens.ReadFloat());
        }
    } else if (is("BoneRestDirection")) {
        if (bone)
            tokens.ReadAngles(bone->restDirection);
    } else if (is("BoneRestLength")) {
        if (bone) {
            const f32 length = tokens.ReadFloat();
            bone->restLength = length > 0.0f ? length : 0.0f;
        }
    } else if (is("BoneWeightMapName")) {
        if (currentBone)
            currentBone->weightMapName = ReadName();
    } else {
        return false;
    }
    return true;
}

void lws_reader_c::Fail(const char* _message) const
{
    throw file_error_c(fileName, _message);
}

string_c lws_reader_c::ReadName()
{
    const string_c line = tokens.ReadLine();
    u32 n = line.GetLength();
    while (n > 0 && (line[n - 1] == '\r' || line[n - 1] == ' ' || line[n - 1] == '\t'))
        --n;
    return line.Left(n);
}

string_c lws_reader_c::Backslashed(const string_c& _path)
{
    string_c out = _path;
    for (u32 i = 0; i < out.GetLength(); ++i)
        if (out[i] == '/')
            out.SetChar(i, '\\');
    return out;
}

void lws_reader_c::LoadObjectLayer(const string_c& _path, u32 _layer)
{
    const string_c path = Backslashed(_path);
    const int slash = path.Find('\\', -1);
    const string_c name = slash < 0 ? path : path.Mid(slash + 1, path.GetLength());
    const string_c layerName = ReadObjectLayerName(name, _layer);
    std::unique_ptr<null_object_c> object(LoadGeomObject(name, renderer, _layer));
    AddObject(std::move(object), static_cast<i32>(_layer), layerName);
}

void lws_reader_c::AddObject(std::unique_ptr<null_object_c> _object, i32 _layer, const string_c& _layerName)
{
    auto record = std::make_unique<object_c>();
    record->layer = _layer;
    record->layerName = _layerName;
    record->raw = _object.get();
    record->object = std::move(_object);
    record->link.item = record->raw;
    links.push_back(&record->link);
    currentLink = &record->link;
    currentObject = record->raw;
    currentKind = 1;
    objects.push_back(std::move(record));
}

void lws_reader_c::AddLight(const string_c& _name)
{
    auto record = std::make_unique<light_record_c>();
    record->light = std::make_unique<light_c>(_name);
    record->raw = record->light.get();
    record->link.item = record->raw;
    links.push_back(&record->link);
    currentLink = &record->link;
    currentLight = record->raw;
    currentLightRecord = record.get();
    currentKind = 2;
    lights.push_back(std::move(record));
}

void lws_reader_c::AddCamera(const string_c& _name)
{
    auto record = std::make_unique<camera_record_c>();
    record->camera = std::make_unique<camera_c>(_name);
    record->raw = record->camera.get();
    record->link.item = record->raw;
    links.push_back(&record->link);
    currentLink = &record->link;
    currentCamera = record->raw;
    currentKind = 3;
    cameras.push_back(std::move(record));
}

bool lws_reader_c::ReadFrameKeyword(const string_c& _word)
{
    // Keywords compare with their case.
    auto is = [&](const char* _keyword) { return std::strcmp(_word, _keyword) == 0; };
    if (is("FirstFrame") || is("PreviewFirstFrame"))
        firstFrame = static_cast<f32>(tokens.ReadInt());
    else if (is("LastFrame") || is("PreviewLastFrame"))
        lastFrame = static_cast<f32>(tokens.ReadInt());
    else if (is("FrameStep") || is("PreviewFrameStep"))
        frameStep = static_cast<f32>(tokens.ReadInt());
    else if (is("FramesPerSecond"))
        frameRate = tokens.ReadFloat() * frameStep;
    else
        return false;
    return true;
}

namespace {

// A float word as a count: truncated, and held inside the i32 range so that
// a damaged value cannot overflow the conversion.
i32 TruncatedCount(f32 _value)
{
    if (!(_value > -2147483648.0f))
        return _value < 0.0f ? INT32_MIN : 0;
    if (!(_value < 2147483648.0f))
        return INT32_MAX;
    return static_cast<i32>(_value);
}

} // namespace

bool lws_reader_c::ReadFlareKeyword(const string_c& _word, const std::function<void(f32&, graph_c*, f32)>& _readValue,
                                    const std::function<vec3_c()>& _readColor, f32 _rotationScale)
{
    auto is = [&](const char* _keyword) { return std::strcmp(_word, _keyword) == 0; };
    light_record_c* record = currentLight ? currentLightRecord : nullptr;
    if (is("LensFlare")) {
        if (tokens.ReadInt() != 0 && lensFlares && record) {
            const vec3_c color = record->raw->color;
            record->flareDef = std::make_unique<flare_def_c>();
            flare_def_c& def = *record->flareDef;
            def.color[0] = def.glowColor[0] = color.x;
            def.color[1] = def.glowColor[1] = color.y;
            def.color[2] = def.glowColor[2] = color.z;
            def.ringColor[0] = 0x4F / 255.0f;
            def.ringColor[1] = 0x14 / 255.0f;
            def.ringColor[2] = 0x0A / 255.0f;
            record->flare = std::make_unique<flare_c>(string_c("%s:Flare", record->raw->GetName().GetData()), renderer);
            record->flareRaw = record->flare.get();
            record->distortion = false;
        }
        return true;
    }
    static const char* const keywords[] = {
        "FlareIntensity",     "FlareNominalDistance", "FlareDissolve",        "LensFlareFade",   "LensFlareOptions",
        "FlareRingColor",     "FlareRingSize",        "FlareDistortFactor",   "FlareStarFilter", "FlareRotationAngle",
        "FlareRandStreakInt", "FlareRandStreakDens",  "FlareRandStreakSharp",
    };
    bool known = false;
    for (const char* keyword : keywords)
        known = known || is(keyword);
    if (!known)
        return false;
    // Without a flare the values pass by as unknown words.
    if (!record || !record->flareRaw)
        return true;
    flare_c* flare = record->flareRaw;
    flare_def_c& def = *record->flareDef;
    if (is("FlareIntensity")) {
        _readValue(*flare->GetEnvelopeTarget(156), flare, 1.0f);
    } else if (is("FlareNominalDistance")) {
        flare->SetNominalDistance(tokens.ReadFloat());
    } else if (is("FlareDissolve")) {
        _readValue(flare->dissolve, flare, 1.0f);
    } else if (is("LensFlareFade")) {
        const int bits = tokens.ReadInt();
        u32 flags = 0;
        if (bits & 2)
            flags |= flare_fade_with_distance;
        if (bits & 4)
            flags |= flare_fade_off_screen;
        if (bits & 8)
            flags |= flare_fade_behind_objects;
        if (bits & 16)
            flags |= flare_fade_in_fog;
        flare->SetFlags(flags);
    } else if (is("LensFlareOptions")) {
        const int bits = tokens.ReadInt();
        if (!(bits & 1))
            def.glowSize = 0.0f;
        if (!(bits & 2))
            def.ringWidth = 0.0f;
        if (!(bits & 4)) {
            def.rayLength = 0.0f;
            def.ray2Length = 0.0f;
        }
        if (!(bits & 8))
            def.streakLength = 0.0f;
        if (!(bits & 32)) {
            def.glowColor[0] = 1.0f;
            def.glowColor[1] = 0.0f;
            def.glowColor[2] = 0.0f;
        }
        record->distortion = (bits & 64) != 0;
        if (bits & 512)
            flare->SetFlags(object_depth_test);
    } else if (is("FlareRingColor")) {
        const vec3_c color = _readColor();
        def.ringColor[0] = color.x;
        def.ringColor[1] = color.y;
        def.ringColor[2] = color.z;
    } else if (is("FlareRingSize")) {
        def.ringSize = tokens.ReadFloat();
    } else if (is("FlareDistortFactor")) {
        const f32 factor = tokens.ReadFloat();
        if (record->distortion)
            flare->SetDistortionFactor(factor);
    } else if (is("FlareStarFilter")) {
        const int n = tokens.ReadInt();
        // An odd count rounds up for the first star and leaves the second out;
        // INT32_MAX cannot round up.
        def.rayCount = (n & 1) && n < INT32_MAX ? n + 1 : n;
        def.ray2Count = (n & 1) ? 0 : n;
    } else if (is("FlareRotationAngle")) {
        _readValue(flare->rotation.z, flare, _rotationScale);
    } else if (is("FlareRandStreakInt")) {
        def.streakIntensity = tokens.ReadFloat();
    } else if (is("FlareRandStreakDens")) {
        def.streakCount = TruncatedCount(tokens.ReadFloat());
    } else if (is("FlareRandStreakSharp")) {
        // The width is the inverse of the sharpness; a sharpness of 0 gives no
        // width (no streaks) instead of an infinite one.
        const f32 sharpness = tokens.ReadFloat();
        def.streakWidth = sharpness != 0.0f && std::isfinite(0.1f / sharpness) ? 0.1f / sharpness : 0.0f;
    }
    return true;
}

void lws_reader_c::NameDuplicates()
{
    auto number = [](auto& _records, const auto& _numbered) {
        std::vector<string_c> names;
        for (auto& record : _records)
            names.push_back(record->raw->GetName());
        for (size_t i = 0; i < names.size(); ++i) {
            u32 seen = 0;
            u32 total = 0;
            for (size_t j = 0; j < names.size(); ++j) {
                if (names[j] == names[i]) {
                    ++total;
                    if (j <= i)
                        ++seen;
                }
            }
            if (total > 1) {
                const string_c suffix(" (%u)", seen);
                _records[i]->raw->SetName(string_c("%s%s", names[i].GetData(), suffix.GetData()));
                _numbered(*_records[i], suffix);
            }
        }
    };
    const auto nothing = [](const auto&, const string_c&) {};
    // Layers of one file: the layer name tells them apart.
    std::vector<bool> suffixed(objects.size(), false);
    for (size_t i = 0; i < objects.size(); ++i)
        for (size_t j = 0; j < objects.size(); ++j)
            if (objects[i]->layer >= 0 && objects[j]->layer >= 0 && objects[i]->layer != objects[j]->layer &&
                string_c(objects[i]->raw->GetName()) == objects[j]->raw->GetName())
                suffixed[i] = true;
    for (size_t i = 0; i < objects.size(); ++i)
        if (suffixed[i])
            objects[i]->raw->SetName(
                string_c("%s:%s", objects[i]->raw->GetName().GetData(), objects[i]->layerName.GetData()));
    number(cameras, nothing);
    number(lights, [](light_record_c& _light, const string_c& _suffix) {
        if (_light.flareRaw)
            _light.flareRaw->SetName(string_c("%s%s", _light.flareRaw->GetName().GetData(), _suffix.GetData()));
    });
    number(objects, nothing);
}

void lws_reader_c::AddItemsToScene(u32 _activeCamera)
{
    for (size_t i = 0; i < cameras.size(); ++i) {
        scene->AddCamera(cameras[i]->camera.release());
        if (i == _activeCamera)
            scene->SetActiveCamera(cameras[i]->raw);
    }
    for (auto& record : lights)
        scene->AddLight(record->light.release());
    for (auto& record : objects)
        scene->AddObject(record->object.release());
}

void lws_reader_c::AddFlaresToScene()
{
    for (auto& record : lights) {
        if (!record->flare)
            continue;
        flare_def_c& def = *record->flareDef;
        flare_c* flare = record->flare.get();
        const bool star = def.rayCount != 0 && def.rayLength > 0.0f;
        const bool streaks =
            def.streakCount != 0 && def.streakLength != 0.0f && def.streakWidth != 0.0f && def.streakIntensity > 0.0f;
        if (star || streaks) {
            def.size = 1.0f;
        } else {
            // A plain glow is drawn larger in its picture, so it stands nearer.
            flare->SetNominalDistance(flare->GetNominalDistance() * 0.5555556f);
            def.size = 1.8f;
        }
        const bool ring = (def.ringColor[0] != 0.0f || def.ringColor[1] != 0.0f || def.ringColor[2] != 0.0f) &&
                          def.ringSize != 0.0f && def.ringWidth != 0.0f;
        const bool fine = ring || (def.rayCount != 0 && def.rayLength != 0.0f) ||
                          (def.ray2Count != 0 && def.ray2Length != 0.0f) ||
                          (def.streakCount != 0 && def.streakLength != 0.0f && def.streakWidth != 0.0f &&
                           def.streakIntensity != 0.0f);
        if (renderer == nullptr)
            Fail("Lens flares need a renderer to draw their picture!");
        flare->SetFlareMap(def, fine ? 256 : 64);
        scene->AddObject(record->flare.release());
        scene->SetParent(flare, record->raw);
        if (flare->GetFlags() & flare_fade_behind_objects)
            renderer->LogWarning(
                string_c("[%s] [%s] Ray tracing enabled!", fileName.GetData(), flare->GetName().GetData()));
    }
}

void lws_reader_c::Finish(u32 _activeCamera, const std::function<entity_c*(u32)>& _resolve, const char* _notFound,
                          const std::function<entity_c*(const object_c&, u32)>& _resolveBone, const char* _boneNotFound)
{
    scene->Play(scene->timeOffset, firstFrame / frameRate, lastFrame / frameRate,
                (scene->GetFlags() & scene_looping) != 0);
    NameDuplicates();
    AddItemsToScene(_activeCamera);
    // Bones go to their mesh object; a null object has no skeleton to hold them.
    for (auto& object : objects) {
        auto* geom = dynamic_cast<geom_object_c*>(object->raw);
        for (auto& record : object->bones) {
            record->raw->weightMapName = record->weightMapName;
            if (geom)
                geom->AddBone(record->bone.release());
        }
    }
    AddFlaresToScene();
    for (auto& object : objects) {
        auto* geom = dynamic_cast<geom_object_c*>(object->raw);
        for (auto& record : object->bones) {
            if (!geom || record->link.parent == 0)
                continue;
            entity_c* parent = _resolveBone(*object, record->link.parent);
            if (parent == nullptr)
                Fail(_boneNotFound);
            if (auto* parentBone = dynamic_cast<bone_c*>(parent))
                geom->SetBoneParent(record->raw, parentBone);
        }
    }
    for (const link_c* link : links) {
        if (link->parent != 0) {
            entity_c* parent = _resolve(link->parent);
            if (parent == nullptr)
                Fail(_notFound);
            scene->SetParent(link->item, parent);
        }
        if (link->target != 0) {
            entity_c* target = _resolve(link->target);
            if (target == nullptr)
                Fail(_notFound);
            scene->SetTarget(link->item, target);
        }
    }
}
