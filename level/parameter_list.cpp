#include "level/parameter_list.h"

#include "level/chunk_saver.h"
#include "level/number_conversion.h"
#include "platform/win32/crt_text.h"

#include <stdexcept>

namespace {

bool ReadNumber(const parameter_c& _parameter, double& _number)
{
    switch (_parameter.GetType()) {
    case parameter_c::type_float: _number = static_cast<const parameter_float_c&>(_parameter).value; return true;
    case parameter_c::type_int: _number = static_cast<const parameter_int_c&>(_parameter).value; return true;
    case parameter_c::type_bool:
        _number = static_cast<const parameter_bool_c&>(_parameter).value ? 1.0 : 0.0;
        return true;
    default: return false;
    }
}

bool WriteNumber(parameter_c& _parameter, double _number)
{
    switch (_parameter.GetType()) {
    case parameter_c::type_float:
        static_cast<parameter_float_c&>(_parameter).value = DoubleToFloat(_number);
        return true;
    case parameter_c::type_int: static_cast<parameter_int_c&>(_parameter).value = TruncateToInt(_number); return true;
    case parameter_c::type_bool: static_cast<parameter_bool_c&>(_parameter).value = _number != 0.0; return true;
    default: return false;
    }
}

void FromNumber(double _number, f32& _value)
{
    _value = DoubleToFloat(_number);
}

void FromNumber(double _number, i32& _value)
{
    _value = TruncateToInt(_number);
}

void FromNumber(double _number, bool& _value)
{
    _value = _number != 0.0;
}

// Exchanges a number of the caller's type with a float, int or bool parameter.
template <class value_t>
auto NumberExchange(value_t& _value, bool _get)
{
    return [&_value, _get](parameter_c& _parameter) {
        double number = static_cast<double>(_value);
        if (!_get)
            return WriteNumber(_parameter, number);
        if (!ReadNumber(_parameter, number))
            return false;
        FromNumber(number, _value);
        return true;
    };
}

// Exchanges the value with a parameter of the class family kind_t.
template <class kind_t, class value_t>
auto ValueExchange(value_t& _value, bool _get)
{
    return [&_value, _get](parameter_c& _parameter) {
        auto* parameter = dynamic_cast<kind_t*>(&_parameter);
        if (parameter == nullptr)
            return false;
        if (_get)
            _value = parameter->value;
        else
            parameter->value = _value;
        return true;
    };
}

// The common path of every accessor: exchange with the first parameter of
// that name, or, when setting an absent name, append a new parameter_t.
template <class parameter_t, class value_t, class exchange_t>
bool GetSet(parameter_list_c& _list, const char* _name, const value_t& _value, bool _get, exchange_t _exchange,
            parameter_t** _added = nullptr)
{
    parameter_c* found = _list.Find(_name);
    if (found != nullptr)
        return _exchange(*found);
    if (_get)
        return false;
    auto parameter = std::make_unique<parameter_t>();
    parameter->name = _name != nullptr ? _name : "";
    parameter->value = _value;
    auto* added = static_cast<parameter_t*>(_list.Add(std::move(parameter)));
    if (_added != nullptr)
        *_added = added;
    return true;
}

template <class parameter_t, class value_t>
bool GetSetRanged(parameter_list_c& _list, const char* _name, value_t* _value, bool _get, value_t _min, value_t _max,
                  const char* _signature)
{
    if (_value == nullptr)
        throw std::invalid_argument(_signature);
    parameter_t* added = nullptr;
    const bool result = GetSet(_list, _name, *_value, _get, NumberExchange(*_value, _get), &added);
    if (added != nullptr) {
        added->min = _min;
        added->max = _max;
    }
    return result;
}

template <class parameter_t, class kind_t, class value_t>
bool GetSetValue(parameter_list_c& _list, const char* _name, value_t* _value, bool _get, const char* _signature)
{
    if (_value == nullptr)
        throw std::invalid_argument(_signature);
    return GetSet<parameter_t>(_list, _name, *_value, _get, ValueExchange<kind_t>(*_value, _get));
}

vec3_c Scaled(const vec3_c& _v, f32 _factor)
{
    return vec3_c(_v.x * _factor, _v.y * _factor, _v.z * _factor);
}

} // namespace

parameter_list_c::parameter_list_c() = default;
parameter_list_c::~parameter_list_c() = default;
parameter_list_c::parameter_list_c(parameter_list_c&&) noexcept = default;
parameter_list_c& parameter_list_c::operator=(parameter_list_c&&) noexcept = default;

parameter_c* parameter_list_c::Get(u32 _index) const
{
    return _index < parameters.size() ? parameters[_index].get() : nullptr;
}

parameter_c* parameter_list_c::Add(std::unique_ptr<parameter_c> _parameter)
{
    if (!_parameter)
        throw std::invalid_argument("parameter_c* parameter_list_c::Add(std::unique_ptr<parameter_c> _parameter)");
    parameters.push_back(std::move(_parameter));
    return parameters.back().get();
}

void parameter_list_c::Clear()
{
    parameters.clear();
}

parameter_c* parameter_list_c::Find(const char* _name, int _first) const
{
    for (size_t i = _first > 0 ? static_cast<size_t>(_first) : 0; i < parameters.size(); ++i)
        if (_stricmp(parameters[i]->name.c_str(), _name != nullptr ? _name : "") == 0)
            return parameters[i].get();
    return nullptr;
}

bool parameter_list_c::GetSetFloat(const char* _name, f32* _value, bool _get, f32 _min, f32 _max)
{
    return GetSetRanged<parameter_float_c>(
        *this, _name, _value, _get, _min, _max,
        "bool parameter_list_c::GetSetFloat(const char* _name, f32* _value, bool _get, f32 _min, f32 _max)");
}

bool parameter_list_c::GetSetInt(const char* _name, i32* _value, bool _get, i32 _min, i32 _max)
{
    return GetSetRanged<parameter_int_c>(
        *this, _name, _value, _get, _min, _max,
        "bool parameter_list_c::GetSetInt(const char* _name, i32* _value, bool _get, i32 _min, i32 _max)");
}

bool parameter_list_c::GetSetBool(const char* _name, bool* _value, bool _get)
{
    if (_value == nullptr)
        throw std::invalid_argument("bool parameter_list_c::GetSetBool(const char* _name, bool* _value, bool _get)");
    return GetSet<parameter_bool_c>(*this, _name, *_value, _get, NumberExchange(*_value, _get));
}

bool parameter_list_c::GetSetString(const char* _name, string_c* _value, bool _get)
{
    if (_value == nullptr)
        throw std::invalid_argument(
            "bool parameter_list_c::GetSetString(const char* _name, string_c* _value, bool _get)");
    std::string text(_value->GetData(), _value->GetLength());
    if (!GetSet<parameter_file_c>(*this, _name, text, _get, ValueExchange<parameter_text_c>(text, _get)))
        return false;
    if (_get)
        *_value = string_c(text);
    return true;
}

bool parameter_list_c::GetSetColor(const char* _name, vec3_c* _value, bool _get)
{
    return GetSetValue<parameter_color_c, parameter_triple_c>(
        *this, _name, _value, _get, "bool parameter_list_c::GetSetColor(const char* _name, vec3_c* _value, bool _get)");
}

bool parameter_list_c::GetSetVector(const char* _name, vec3_c* _value, bool _get)
{
    return GetSetValue<parameter_vector_c, parameter_triple_c>(
        *this, _name, _value, _get,
        "bool parameter_list_c::GetSetVector(const char* _name, vec3_c* _value, bool _get)");
}

bool parameter_list_c::GetSetRotation(const char* _name, vec3_c* _value, bool _get)
{
    if (_value == nullptr)
        throw std::invalid_argument(
            "bool parameter_list_c::GetSetRotation(const char* _name, vec3_c* _value, bool _get)");
    vec3_c degrees = Scaled(*_value, 57.295776f);
    if (!GetSetVector(_name, &degrees, _get))
        return false;
    if (_get)
        *_value = Scaled(degrees, 0.017453292f);
    return true;
}

void parameter_list_c::CopyTo(parameter_list_c& _target) const
{
    for (const auto& parameter : parameters)
        _target.Add(parameter->Clone());
}

void parameter_list_c::Serialize(CChunkSaver& _saver)
{
    if (_saver.IsWriting()) {
        u32 count = Count();
        _saver.LeafU32("nuop", count);
        for (const auto& parameter : parameters) {
            if (_saver.Begin("parm")) {
                u32 type = static_cast<u32>(parameter->GetType());
                _saver.LeafU32("ptyp", type);
                parameter->Serialize(_saver);
            }
            _saver.End();
        }
        return;
    }
    if (!_saver.IsReading())
        return;
    u32 count = Count();
    _saver.LeafU32("nuop", count);
    if (count > _saver.CountItems("parm"))
        _saver.Error("Parameter count runs past its list!");
    for (u32 i = 0; i < count; ++i) {
        if (_saver.Begin("parm")) {
            u32 type = 0;
            _saver.LeafU32("ptyp", type);
            std::unique_ptr<parameter_c> parameter = CreateParameter(static_cast<int>(type));
            if (!parameter)
                _saver.Error("Unknown parameter type!");
            parameter->Serialize(_saver);
            Add(std::move(parameter));
        }
        _saver.End();
    }
}

void parameter_list_c::SerializeChunk(CChunkSaver& _saver, const char* _tag)
{
    if (_saver.IsReading())
        Clear();
    if (_saver.Begin(_tag))
        Serialize(_saver);
    _saver.End();
}
