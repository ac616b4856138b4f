#include "level/walk_path.h"

#include "engine/object_format.h"
#include "engine/scene.h"
#include "level/chunk_saver.h"
#include "level/engine_stream.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <stdexcept>

namespace {

constexpr u32 samples_per_key = 100;
constexpr f32 ground_ray_length = 1000.0f;
const char* const marker_model = "kulka.lwo";

} // namespace

u32 walk_path_c::GetKeyCount() const
{
    return static_cast<u32>(std::min({envelopes[0].keys.size(), envelopes[1].keys.size(), envelopes[2].keys.size()}));
}

vec3_c walk_path_c::GetPositionAt(f32 _t) const
{
    return vec3_c(position.x + envelopes[0].Evaluate(_t), position.y + envelopes[1].Evaluate(_t),
                  position.z + envelopes[2].Evaluate(_t));
}

void walk_path_c::MeasureLength()
{
    pathLength = 0.0f;
    const u32 count = GetKeyCount();
    if (count < 2)
        return;
    std::vector<f32> running(count, 0.0f);
    vec3_c previous(envelopes[0].keys[0].value, envelopes[1].keys[0].value, envelopes[2].keys[0].value);
    f32 total = 0.0f;
    for (u32 i = 0; i + 1 < count; ++i) {
        const f32 t0 = envelopes[0].keys[i].time;
        const f32 span = envelopes[0].keys[i + 1].time - t0;
        f32 segment = 0.0f;
        for (u32 k = 0; k < samples_per_key; ++k) {
            const f32 t = t0 + static_cast<f32>(k) * 0.01f * span;
            const vec3_c point(envelopes[0].Evaluate(t), envelopes[1].Evaluate(t), envelopes[2].Evaluate(t));
            segment += (point - previous).Length();
            previous = point;
        }
        total += segment;
        running[i + 1] = total;
    }
    pathLength = total;
    const bool measurable = total > 0.0f && std::isfinite(total);
    for (u32 i = 0; i < count; ++i) {
        const f32 t = measurable ? running[i] / total : static_cast<f32>(i) / static_cast<f32>(count - 1);
        for (envelope_c& envelope : envelopes)
            envelope.keys[i].time = t;
    }
}

void walk_path_c::RenumberKeys()
{
    for (envelope_c& envelope : envelopes)
        for (size_t i = 0; i < envelope.keys.size(); ++i)
            envelope.keys[i].time = static_cast<f32>(i);
}

void walk_path_c::Serialize(CChunkSaver& _saver, int, renderer_c*)
{
    if (_saver.IsWriting())
        MeasureLength();
    SerializeTransform(_saver);
    _saver.LeafFloat("vksL", visibleKeyScale);
    _saver.LeafFloat("vkss", visibleKeyStepScale);
    _saver.LeafFloat("paLe", pathLength);
    _saver.LeafByte("sktg", snapKeysToGround);
    _saver.LeafInt("keIn", keyInterpolation);
    for (envelope_c& envelope : envelopes) {
        if (_saver.Begin("enve"))
            ExchangeEngineStream(
                _saver, [&](output_file_c& _out) { envelope.Write(_out); },
                [&](input_file_c& _in) { envelope.Read(_in); });
        _saver.End();
    }
    if (_saver.IsWriting())
        RenumberKeys();
    for (envelope_c& envelope : envelopes)
        envelope.post = behaviour_linear;
}

void walk_path_c::ExchangeParameters(parameter_list_c& _list, bool _read)
{
    bool snap = snapKeysToGround != 0;
    _list.GetSetFloat("Vis Key Scale", &visibleKeyScale, _read, -FLT_MAX, FLT_MAX);
    _list.GetSetFloat("Vis Key Step Scale", &visibleKeyStepScale, _read, -FLT_MAX, FLT_MAX);
    _list.GetSetBool("Snap keys to ground", &snap, _read);
    _list.GetSetInt("Key interpolation", &keyInterpolation, _read, INT32_MIN, INT32_MAX);
    if (_read) {
        snapKeysToGround = snap ? 1 : 0;
        ApplyParameters();
    }
}

void walk_path_c::ApplyParameters()
{
    for (envelope_c& envelope : envelopes)
        for (envelope_key_c& key : envelope.keys)
            key.shape = static_cast<envelope_shape_e>(keyInterpolation);
    if (entity && renderer)
        CreateEngineObject(parent, renderer);
}

void walk_path_c::SnapToGround(scene_c* _scene)
{
    if (!snapKeysToGround || _scene == nullptr)
        return;
    const u32 count = GetKeyCount();
    for (u32 i = 0; i < count; ++i) {
        const vec3_c start(position.x + envelopes[0].keys[i].value, position.y + envelopes[1].keys[i].value,
                           position.z + envelopes[2].keys[i].value);
        f32 distance = 0.0f;
        vec3_c normal;
        if (!_scene->RayTestObjects(distance, normal, ray_c(start, vec3_c(0.0f, -1.0f, 0.0f)), true, true,
                                    ground_ray_length))
            throw std::runtime_error("Couldn't find intersection for path key.");
        envelopes[1].keys[i].value = start.y - distance - position.y;
    }
}

void walk_path_c::CreateEngineObject(aggregate_c* _parent, renderer_c* _renderer)
{
    if (_renderer == nullptr)
        return;
    const std::unique_ptr<null_object_c> model(LoadObject(marker_model, _renderer, false));
    auto* markers = dynamic_cast<aggregate_c*>(entity.get());
    if (markers && _parent == parent) {
        while (null_object_c* child = markers->GetObjects().GetFirst())
            markers->DeleteObject(child);
    } else {
        ReleaseMarker();
        parent = _parent;
        auto fresh = std::make_unique<aggregate_c>(name, _renderer);
        markers = fresh.get();
        AdoptMarker(std::move(fresh));
    }
    renderer = _renderer;
    auto place = [&](aggregate_c& _holder, const string_c& _name, const vec3_c& _at, f32 _scale) {
        null_object_c* copy = model->Clone();
        copy->SetName(_name);
        copy->position = _at;
        copy->scale = vec3_c(_scale, _scale, _scale);
        _holder.AddObject(copy);
    };
    const u32 count = GetKeyCount();
    for (u32 i = 0; i < count; ++i) {
        const int index = static_cast<int>(i);
        auto* key = new aggregate_c(string_c("%s_key_aggregate_%d", name.GetData(), index), _renderer);
        markers->AddObject(key);
        const f32 time = envelopes[0].keys[i].time;
        const vec3_c point(position.x + envelopes[0].keys[i].value, position.y + envelopes[1].keys[i].value,
                           position.z + envelopes[2].keys[i].value);
        place(*key, string_c("%s_key_%d", name.GetData(), index), point, visibleKeyScale);
        for (int k = 1; k <= 9; ++k)
            place(*key, string_c("%s_key_step_%d", name.GetData(), k), GetPositionAt(time + static_cast<f32>(k) * 0.1f),
                  visibleKeyStepScale);
    }
}

std::unique_ptr<walk_path_c> MakeStraightWalkPath(const char* _name, const std::vector<vec3_c>& _points)
{
    auto path = std::make_unique<walk_path_c>();
    path->name = _name;
    for (size_t i = 0; i < _points.size(); ++i) {
        const f32 values[3] = {_points[i].x, _points[i].y, _points[i].z};
        for (int axis = 0; axis < 3; ++axis) {
            envelope_key_c key;
            key.time = static_cast<f32>(i);
            key.value = values[axis];
            key.shape = shape_linear;
            path->envelopes[axis].keys.push_back(key);
        }
    }
    return path;
}
