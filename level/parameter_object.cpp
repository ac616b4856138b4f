#include "level/parameter_object.h"

#include "level/chunk_saver.h"
#include "level/engine_stream.h"

namespace {

// Word indices of the entity members the nine base channels drive.
constexpr u32 entity_position = 3;
constexpr u32 entity_rotation = 6;
constexpr u32 entity_scale = 9;

const char* const base_channel_names[9] = {
    ".Position.X", ".Position.Y", ".Position.Z", ".Rotation.H", ".Rotation.P",
    ".Rotation.B", ".Scale.X",    ".Scale.Y",    ".Scale.Z",
};

} // namespace

parameter_object_c::parameter_object_c() = default;
parameter_object_c::~parameter_object_c() = default;

void parameter_object_c::SetEntity(std::unique_ptr<null_object_c> _entity)
{
    entity = std::move(_entity);
    if (entity) {
        entity->position = position;
        entity->rotation = rotation;
        entity->scale = scale;
    }
}

void parameter_object_c::OnChannelChanged(int _channel)
{
    if (!entity || _channel < 0 || static_cast<size_t>(_channel) >= channels.size())
        return;
    switch (channels[_channel]->group) {
    case channel_position: entity->position = position; break;
    case channel_rotation: entity->rotation = rotation; break;
    case channel_scale: entity->scale = scale; break;
    default: break;
    }
}

void parameter_object_c::AddChannel(const char* _suffix, f32* _member, u32 _entity_target)
{
    channels.push_back(std::make_unique<object_channel_c>(channel_own, 0, name + _suffix, _member, _entity_target));
}

void parameter_object_c::CreateChannels()
{
    channels.clear();
    vec3_c* const vectors[3] = {&position, &rotation, &scale};
    const u32 targets[3] = {entity_position, entity_rotation, entity_scale};
    for (u32 i = 0; i < 9; ++i) {
        const u32 group = i / 3;
        const u32 component = i % 3;
        f32* member = &(&vectors[group]->x)[component];
        channels.push_back(std::make_unique<object_channel_c>(group + 1, component, name + base_channel_names[i],
                                                              member, targets[group] + component));
    }
}

void parameter_object_c::AttachChannels(entity_c* _entity)
{
    if (_entity == nullptr)
        return;
    for (const auto& channel : channels) {
        f32* target = _entity->GetEnvelopeTarget(channel->entityTarget);
        if (target != nullptr)
            _entity->AddEnvelope(*channel, target);
    }
}

void parameter_object_c::Update(f32 _dt)
{
    time += _dt;
    for (size_t i = 0; i < channels.size(); ++i) {
        object_channel_c& channel = *channels[i];
        // A channel read without keys has no value to give.
        if (channel.keys.empty())
            continue;
        const f32 value = channel.Evaluate(time);
        if (value != *channel.member) {
            *channel.member = value;
            OnChannelChanged(static_cast<int>(i));
        }
    }
}

void parameter_object_c::SerializeTransform(CChunkSaver& _saver)
{
    if (_saver.IsWriting() && entity) {
        position = entity->position;
        rotation = entity->rotation;
        scale = entity->scale;
    }
    _saver.LeafString("name", name);
    _saver.LeafVector("posi", position);
    _saver.LeafVector("rota", rotation);
    _saver.LeafVector("scal", scale);
}

void parameter_object_c::SerializeChannels(CChunkSaver& _saver)
{
    if (_saver.IsReading())
        CreateChannels();
    if (_saver.Begin("Envs")) {
        for (const auto& channel : channels) {
            if (_saver.Begin("env")) {
                const u32 target = channel->target;
                ExchangeEngineStream(
                    _saver, [&](output_file_c& _out) { channel->Write(_out); },
                    [&](input_file_c& _in) { channel->Read(_in); });
                channel->target = target;
                channel->keyFlags.assign(channel->keys.size(), 0);
            }
            _saver.End();
        }
    }
    _saver.End();
}

void parameter_object_c::Serialize(CChunkSaver& _saver, int, renderer_c*)
{
    SerializeTransform(_saver);
    SerializeChannels(_saver);
}

void parameter_object_c::StoreMembersInFirstKeys()
{
    for (const auto& channel : channels) {
        if (channel->keys.empty())
            channel->keys.emplace_back();
        channel->keys.front().value = *channel->member;
    }
}

void parameter_object_c::ExchangeParameters(parameter_list_c&, bool) {}
void parameter_object_c::ApplyParameters() {}
void parameter_object_c::RenumberKeys() {}
void parameter_object_c::SnapToGround(scene_c*) {}
void parameter_object_c::CreateEngineObject(aggregate_c*, renderer_c*) {}
