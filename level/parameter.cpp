#include "level/parameter.h"

#include "level/chunk_saver.h"
#include "foundation/text_string.h"
#include "level/number_conversion.h"

#include <cstring>
#include <stdexcept>
#include <string_view>
#include <type_traits>

namespace {

void CopyText(char* _buffer, u32 _size, std::string_view _text)
{
    if (_size == 0)
        return;
    if (_buffer == nullptr)
        throw std::invalid_argument("void parameter_c::ToText(char* _buffer, u32 _size)");
    const size_t count = _text.size() < _size - 1 ? _text.size() : _size - 1;
    std::memcpy(_buffer, _text.data(), count);
    _buffer[count] = '\0';
}

// Checks that _to has _from's type and copies the name; the caller copies the
// value into the result.
template <class parameter_t>
parameter_t& CopyName(const parameter_c& _from, parameter_c& _to, const char* _signature)
{
    if (_to.GetType() != _from.GetType())
        throw std::invalid_argument(_signature);
    auto& to = static_cast<parameter_t&>(_to);
    to.name = _from.name;
    return to;
}

} // namespace

parameter_c::~parameter_c() = default;

void parameter_c::SetRange(double, double) {}

void parameter_c::Serialize(CChunkSaver& _saver)
{
    _saver.LeafStdString("name", name);
}

std::unique_ptr<parameter_c> parameter_c::Clone() const
{
    std::unique_ptr<parameter_c> copy = CreateParameter(GetType());
    CopyTo(*copy);
    return copy;
}

std::unique_ptr<parameter_c> CreateParameter(int _type_id)
{
    switch (_type_id) {
    case parameter_c::type_float: return std::make_unique<parameter_float_c>();
    case parameter_c::type_bool: return std::make_unique<parameter_bool_c>();
    case parameter_c::type_int: return std::make_unique<parameter_int_c>();
    case parameter_c::type_string: return std::make_unique<parameter_string_c>();
    case parameter_c::type_color: return std::make_unique<parameter_color_c>();
    case parameter_c::type_file: return std::make_unique<parameter_file_c>();
    case parameter_c::type_vector: return std::make_unique<parameter_vector_c>();
    default: return nullptr;
    }
}

template <class value_t>
void parameter_number_c<value_t>::CopyTo(parameter_c& _other) const
{
    auto& other = CopyName<parameter_number_c>(*this, _other, "void parameter_number_c::CopyTo(parameter_c& _other)");
    other.value = value;
    other.min = min;
    other.max = max;
}

template <class value_t>
void parameter_number_c<value_t>::Serialize(CChunkSaver& _saver)
{
    parameter_c::Serialize(_saver);
    if constexpr (std::is_same_v<value_t, f32>) {
        _saver.LeafFloat("vale", value);
        _saver.LeafFloat("rMin", min);
        _saver.LeafFloat("rMax", max);
    } else {
        _saver.LeafInt("vale", value);
        _saver.LeafInt("rMin", min);
        _saver.LeafInt("rMax", max);
    }
}

template class parameter_number_c<f32>;
template class parameter_number_c<i32>;

void parameter_float_c::SetRange(double _min, double _max)
{
    min = DoubleToFloat(_min);
    max = DoubleToFloat(_max);
}

void parameter_float_c::ToText(char* _buffer, u32 _size) const
{
    CopyText(_buffer, _size, string_c("%f", value).GetData());
}

void parameter_bool_c::CopyTo(parameter_c& _other) const
{
    CopyName<parameter_bool_c>(*this, _other, "void parameter_bool_c::CopyTo(parameter_c& _other)").value = value;
}

void parameter_bool_c::ToText(char* _buffer, u32 _size) const
{
    CopyText(_buffer, _size, value ? "True" : "False");
}

void parameter_bool_c::Serialize(CChunkSaver& _saver)
{
    parameter_c::Serialize(_saver);
    _saver.LeafBool("vale", value);
}

void parameter_int_c::SetRange(double _min, double _max)
{
    min = TruncateToInt(_min);
    max = TruncateToInt(_max);
}

void parameter_int_c::ToText(char* _buffer, u32 _size) const
{
    CopyText(_buffer, _size, string_c("%d", value).GetData());
}

void parameter_text_c::CopyTo(parameter_c& _other) const
{
    CopyName<parameter_text_c>(*this, _other, "void parameter_text_c::CopyTo(parameter_c& _other)").value = value;
}

void parameter_text_c::ToText(char* _buffer, u32 _size) const
{
    CopyText(_buffer, _size, value);
}

void parameter_text_c::Serialize(CChunkSaver& _saver)
{
    parameter_c::Serialize(_saver);
    _saver.LeafStdString("vale", value);
}

void parameter_triple_c::CopyTo(parameter_c& _other) const
{
    CopyName<parameter_triple_c>(*this, _other, "void parameter_triple_c::CopyTo(parameter_c& _other)").value = value;
}

void parameter_triple_c::Serialize(CChunkSaver& _saver)
{
    parameter_c::Serialize(_saver);
    _saver.LeafVector("vale", value);
}

void parameter_color_c::ToText(char* _buffer, u32 _size) const
{
    const string_c text("%3d, %3d, %3d", TruncateToInt(value.x * 256.0), TruncateToInt(value.y * 256.0),
                        TruncateToInt(value.z * 256.0));
    CopyText(_buffer, _size, text.GetData());
}

void parameter_vector_c::ToText(char* _buffer, u32 _size) const
{
    CopyText(_buffer, _size, string_c("%f, %f, %f", value.x, value.y, value.z).GetData());
}
