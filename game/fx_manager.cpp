#include "game/fx_manager.h"

#include "level/parameter_list.h"

#include <string>

namespace {

constexpr float default_decal_size = 1.0f;
constexpr float default_sound_distance = 10.0f;
constexpr float default_life = 1.0e16f;

constexpr const char* event_names[fx_event_count] = {
    "fx_onHT", "fx_onEX", "fx_onCL", "fx_onNM", "fx_onCR", "fx_onAT", "fx_onBE", "fx_onWC", "fx_onIN", "fx_onRE",
};

int KindOf(const std::string& _value)
{
    if (_value == "decal")
        return fx_type_decal;
    if (_value == "sound")
        return fx_type_sound;
    if (_value == "vob")
        return fx_type_vob;
    return fx_type_base;
}

// The key _event + _suffix at _first or later, when it has _type.
const parameter_c* FindKey(const parameter_list_c& _parameters, const char* _event, const char* _suffix, int _first,
                           int _type)
{
    const parameter_c* parameter = _parameters.Find((std::string(_event) + _suffix).c_str(), _first);
    return parameter && parameter->GetType() == _type ? parameter : nullptr;
}

const char* FileKey(const parameter_list_c& _parameters, const char* _event, const char* _suffix, int _first)
{
    const auto* file =
        static_cast<const parameter_file_c*>(FindKey(_parameters, _event, _suffix, _first, parameter_c::type_file));
    return file ? file->value.c_str() : nullptr;
}

float FloatKey(const parameter_list_c& _parameters, const char* _event, const char* _suffix, int _first, float _default)
{
    const auto* number =
        static_cast<const parameter_float_c*>(FindKey(_parameters, _event, _suffix, _first, parameter_c::type_float));
    return number ? number->value : _default;
}

bool BoolKey(const parameter_list_c& _parameters, const char* _event, const char* _suffix, int _first)
{
    const auto* flag =
        static_cast<const parameter_bool_c*>(FindKey(_parameters, _event, _suffix, _first, parameter_c::type_bool));
    return flag && flag->value;
}

} // namespace

const char* GetEventEffectName(int _index)
{
    return _index >= 0 && _index < fx_event_count ? event_names[_index] : nullptr;
}

fx_manager_c::fx_manager_c() = default;

fx_manager_c::~fx_manager_c()
{
    Clear();
}

void fx_manager_c::Init(aggregate_c* _scene, renderer_c* _renderer, sound_system_c* _sound)
{
    scene = _scene;
    renderer = _renderer;
    sound = _sound;
}

fx_object_decal_c* fx_manager_c::FindDecal(const null_object_c* _owner) const
{
    for (const auto& effect : effects)
        if (effect->GetType() == fx_type_decal && effect->GetOwner() == _owner)
            return static_cast<fx_object_decal_c*>(effect.get());
    return nullptr;
}

std::unique_ptr<fx_object_c> fx_manager_c::CreateEffect(int _kind, null_object_c* _owner, const vec3_c& _position,
                                                        const vec3_c& _direction, bool _local,
                                                        const parameter_list_c& _parameters, const char* _event,
                                                        int _first)
{
    if (_kind == fx_type_vob) {
        const char* file = FileKey(_parameters, _event, "_file", _first);
        if (file == nullptr)
            return nullptr;
        auto vob = std::make_unique<fx_object_vob_c>(_owner, scene, renderer, _local);
        return vob->Create(_position, file) ? std::move(vob) : nullptr;
    }
    if (_kind == fx_type_sound) {
        const char* file = FileKey(_parameters, _event, "_file", _first);
        if (file == nullptr)
            return nullptr;
        const float distance = FloatKey(_parameters, _event, "_distance", _first, default_sound_distance);
        const bool looped = BoolKey(_parameters, _event, "_looped", _first);
        auto source = std::make_unique<fx_object_sound_c>(_owner, scene, renderer, _local, sound);
        return source->Create(_position, distance, looped, file) ? std::move(source) : nullptr;
    }
    const char* texture = FileKey(_parameters, _event, "_texture", _first);
    if (texture == nullptr)
        return nullptr;
    const float size = FloatKey(_parameters, _event, "_size", _first, default_decal_size);
    auto decal = std::make_unique<fx_object_decal_c>(_owner, scene, renderer, _local);
    if (!decal->Create(texture, size))
        return nullptr;
    decal->AddQuad(_position, _direction);
    return decal;
}

bool fx_manager_c::CreateEffects(null_object_c* _owner, const vec3_c& _position, const vec3_c& _direction, bool _local,
                                 const parameter_list_c* _parameters, const char* _event)
{
    if (_parameters == nullptr || _event == nullptr)
        return false;
    bool made = false;
    for (u32 i = 0; i < _parameters->Count(); ++i) {
        const parameter_c* parameter = _parameters->Get(i);
        if (parameter->name != _event || parameter->GetType() != parameter_c::type_string)
            continue;
        const int kind = KindOf(static_cast<const parameter_text_c*>(parameter)->value);
        if (kind == fx_type_base)
            continue;
        if (kind == fx_type_decal) {
            if (fx_object_decal_c* decal = FindDecal(_owner)) {
                decal->AddQuad(_position, _direction);
                made = true;
                continue;
            }
        }
        const int first = static_cast<int>(i);
        std::unique_ptr<fx_object_c> effect =
            CreateEffect(kind, _owner, _position, _direction, _local, *_parameters, _event, first);
        if (!effect)
            continue;
        effect->SetLife(FloatKey(*_parameters, _event, "_life", first, default_life));
        effects.push_back(std::move(effect));
        made = true;
    }
    return made;
}

void fx_manager_c::Update(float _time)
{
    std::erase_if(effects, [&](const std::unique_ptr<fx_object_c>& _effect) { return !_effect->Update(_time); });
}

void fx_manager_c::ExpireEffectsOf(const null_object_c* _owner)
{
    for (const auto& effect : effects)
        if (effect->GetOwner() == _owner)
            effect->Expire();
}

void fx_manager_c::RemoveEffectsOf(const null_object_c* _owner)
{
    if (_owner)
        std::erase_if(effects,
                      [&](const std::unique_ptr<fx_object_c>& _effect) { return _effect->GetOwner() == _owner; });
}

void fx_manager_c::Clear()
{
    effects.clear();
}
