#include "platform/d3dx9/constant_table_format.h"
#include "platform/d3d9/shader_tokens.h"

#include <cstring>

namespace {

constexpr u32 header_bytes = 28;
constexpr u32 constant_bytes = 20;
constexpr u32 type_bytes = 16;

void PutU32(std::vector<u8>& _bytes, u64 _at, u32 _value)
{
    std::memcpy(_bytes.data() + _at, &_value, 4);
}

void PutU16(std::vector<u8>& _bytes, u64 _at, u16 _value)
{
    std::memcpy(_bytes.data() + _at, &_value, 2);
}

u32 AppendText(std::vector<u8>& _bytes, const std::string& _text)
{
    const u32 at = static_cast<u32>(_bytes.size());
    _bytes.insert(_bytes.end(), _text.begin(), _text.end());
    _bytes.push_back(0);
    return at;
}

}

std::vector<DWORD> BuildConstantTableComment(const d3dx_constant_table_s& _table)
{
    const u64 count = _table.constants.size();
    std::vector<u8> bytes(header_bytes + count * (constant_bytes + type_bytes), 0);
    const u32 list_at = header_bytes;
    const u32 types_at = static_cast<u32>(list_at + count * constant_bytes);
    PutU32(bytes, 0, header_bytes);
    PutU32(bytes, 8, _table.version);
    PutU32(bytes, 12, static_cast<u32>(count));
    PutU32(bytes, 16, list_at);
    for (u64 i = 0; i < count; ++i) {
        const d3dx_constant_s& c = _table.constants[i];
        const u64 record = list_at + i * constant_bytes;
        const u64 type = types_at + i * type_bytes;
        PutU16(bytes, record + 4, c.registerSet);
        PutU16(bytes, record + 6, c.registerIndex);
        PutU16(bytes, record + 8, c.registerCount);
        PutU32(bytes, record + 12, static_cast<u32>(type));
        PutU16(bytes, type + 0, c.parameterClass);
        PutU16(bytes, type + 2, c.type);
        PutU16(bytes, type + 4, c.rows);
        PutU16(bytes, type + 6, c.columns);
    }
    for (u64 i = 0; i < count; ++i) {
        const u32 name_at = AppendText(bytes, _table.constants[i].name);
        PutU32(bytes, list_at + i * constant_bytes, name_at);
    }
    PutU32(bytes, 4, AppendText(bytes, _table.creator));
    PutU32(bytes, 24, AppendText(bytes, _table.target));
    bytes.resize((bytes.size() + 3) / 4 * 4, 0);

    const u64 body_tokens = 1 + bytes.size() / 4;
    std::vector<DWORD> tokens;
    tokens.push_back(static_cast<DWORD>(0xFFFEu | (body_tokens << 16)));
    tokens.push_back(d3dx_ctab_tag);
    const u64 at = tokens.size();
    tokens.resize(at + bytes.size() / 4);
    std::memcpy(tokens.data() + at, bytes.data(), bytes.size());
    return tokens;
}

namespace {

// Reads inside one comment's bytes; every access is checked.
class comment_reader_c {
public:
    comment_reader_c(const u8* _bytes, u64 _size) : bytes(_bytes), size(_size) {}

    bool U32(u64 _at, u32& _value) const
    {
        if (_at > size || size - _at < 4) {
            return false;
        }
        std::memcpy(&_value, bytes + _at, 4);
        return true;
    }
    bool U16(u64 _at, u16& _value) const
    {
        if (_at > size || size - _at < 2) {
            return false;
        }
        std::memcpy(&_value, bytes + _at, 2);
        return true;
    }
    bool Text(u64 _at, std::string& _text) const
    {
        if (_at >= size) {
            return false;
        }
        const void* end = std::memchr(bytes + _at, 0, size - _at);
        if (end == nullptr) {
            return false;
        }
        _text.assign(reinterpret_cast<const char*>(bytes + _at), static_cast<const u8*>(end) - (bytes + _at));
        return true;
    }

private:
    const u8* bytes;
    u64 size;
};

std::optional<d3dx_constant_table_s> ParseTable(const comment_reader_c& _reader, u64 _base)
{
    d3dx_constant_table_s table;
    u32 creator = 0, count = 0, list = 0, target = 0;
    if (!_reader.U32(4, creator) || !_reader.U32(8, table.version) || !_reader.U32(12, count) ||
        !_reader.U32(16, list) || !_reader.U32(24, target) || !_reader.Text(creator, table.creator) ||
        !_reader.Text(target, table.target)) {
        return std::nullopt;
    }
    for (u64 i = 0; i < count; ++i) {
        const u64 record = list + i * constant_bytes;
        d3dx_constant_s c;
        u32 name = 0, type = 0;
        u16 set = 0, parameter_class = 0, parameter_type = 0;
        if (!_reader.U32(record, name) || !_reader.U16(record + 4, set) || !_reader.U16(record + 6, c.registerIndex) ||
            !_reader.U16(record + 8, c.registerCount) || !_reader.U32(record + 12, type) ||
            !_reader.Text(name, c.name) || set > D3DXRS_SAMPLER || !_reader.U16(type, parameter_class) ||
            !_reader.U16(type + 2, parameter_type) || !_reader.U16(type + 4, c.rows) ||
            !_reader.U16(type + 6, c.columns)) {
            return std::nullopt;
        }
        c.registerSet = static_cast<D3DXREGISTER_SET>(set);
        c.parameterClass = static_cast<D3DXPARAMETER_CLASS>(parameter_class);
        c.type = static_cast<D3DXPARAMETER_TYPE>(parameter_type);
        table.constants.push_back(std::move(c));
        table.nameOffsets.push_back(_base + name);
    }
    return table;
}

}

std::optional<d3dx_constant_table_s> ReadConstantTable(const DWORD* _tokens, u64 _token_count)
{
    const u64 count = ShaderTokenCount(_tokens, _token_count);
    if (count == 0) {
        return std::nullopt;
    }
    const DWORD version = _tokens[0];
    std::optional<d3dx_constant_table_s> found;
    for (u64 i = 1; i + 1 < count;) {
        const DWORD token = _tokens[i];
        if ((token & 0xFFFF) != d3d_comment_opcode) {
            i += 1 + static_cast<u64>(ShaderParameterCount(version, token));
            continue;
        }
        const u64 length = (token >> 16) & 0x7FFF;
        if (!found && length >= 1 && _tokens[i + 1] == d3dx_ctab_tag) {
            const comment_reader_c reader(reinterpret_cast<const u8*>(_tokens + i + 2), (length - 1) * 4);
            found = ParseTable(reader, (i + 2) * 4);
            if (!found) {
                return std::nullopt;
            }
        }
        i += 1 + length;
    }
    if (!found) {
        found = d3dx_constant_table_s{};
    }
    found->version = version;
    return found;
}
