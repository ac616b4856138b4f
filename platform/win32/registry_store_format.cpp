#include "platform/win32/registry_store_format.h"

#include <cstring>

namespace {

constexpr char kMagic[8] = {'S', 'K', 'V', 'R', 'E', 'G', '0', '1'};

u64 Checksum(const u8* data, size_t size)
{
    // FNV-1a: enough to tell a damaged store from an intact one.
    u64 hash = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < size; ++i) {
        hash ^= data[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

void PutU32(std::vector<u8>& out, u32 v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<u8>(v >> (8 * i)));
}

// Reads little-endian words from a byte range, refusing to pass its end.
class reader_c {
public:
    reader_c(const u8* data, size_t size) : _data(data), _size(size) {}
    bool U32(u32& v)
    {
        if (_size - _pos < 4)
            return false;
        v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<u32>(_data[_pos + i]) << (8 * i);
        _pos += 4;
        return true;
    }
    bool Bytes(size_t n, const u8*& p)
    {
        if (_size - _pos < n)
            return false;
        p = _data + _pos;
        _pos += n;
        return true;
    }
    size_t Remaining() const { return _size - _pos; }

private:
    const u8* _data;
    size_t _size;
    size_t _pos = 0;
};

} // namespace

char RegistryLowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool RegistryNamesEqual(const std::string& a, const char* b)
{
    const size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (RegistryLowerAscii(a[i]) != RegistryLowerAscii(b[i]))
            return false;
    return true;
}

void SealRegistryStore(std::vector<u8>& body)
{
    const u64 sum = Checksum(body.data(), body.size());
    PutU32(body, static_cast<u32>(sum));
    PutU32(body, static_cast<u32>(sum >> 32));
}

std::vector<u8> SerializeRegistryValues(const std::vector<registry_value_s>& values)
{
    std::vector<u8> out(kMagic, kMagic + sizeof kMagic);
    PutU32(out, static_cast<u32>(values.size()));
    for (const registry_value_s& v : values) {
        PutU32(out, static_cast<u32>(v.name.size()));
        out.insert(out.end(), v.name.begin(), v.name.end());
        PutU32(out, v.type);
        PutU32(out, static_cast<u32>(v.data.size()));
        out.insert(out.end(), v.data.begin(), v.data.end());
    }
    SealRegistryStore(out);
    return out;
}

std::optional<std::vector<registry_value_s>> ParseRegistryValues(const std::vector<u8>& bytes)
{
    if (bytes.size() < sizeof kMagic + 4 + 8 || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return std::nullopt;
    const size_t body = bytes.size() - 8;
    reader_c tail(bytes.data() + body, 8);
    u32 low = 0, high = 0;
    tail.U32(low);
    tail.U32(high);
    if (Checksum(bytes.data(), body) != (static_cast<u64>(high) << 32 | low))
        return std::nullopt;
    reader_c in(bytes.data() + sizeof kMagic, body - sizeof kMagic);
    u32 count = 0;
    // Every value takes at least its three words.
    if (!in.U32(count) || count > in.Remaining() / 12)
        return std::nullopt;
    std::vector<registry_value_s> values;
    values.reserve(count);
    for (u32 i = 0; i < count; ++i) {
        registry_value_s v;
        u32 nameLength = 0, size = 0;
        const u8* p = nullptr;
        if (!in.U32(nameLength) || nameLength > kRegistryMaxNameLength || !in.Bytes(nameLength, p))
            return std::nullopt;
        v.name.assign(reinterpret_cast<const char*>(p), nameLength);
        if (v.name.find('\0') != std::string::npos)
            return std::nullopt;
        if (!in.U32(v.type) || !in.U32(size) || !in.Bytes(size, p))
            return std::nullopt;
        v.data.assign(p, p + size);
        for (const registry_value_s& earlier : values)
            if (RegistryNamesEqual(earlier.name, v.name.c_str()))
                return std::nullopt;
        values.push_back(std::move(v));
    }
    if (in.Remaining() != 0)
        return std::nullopt;
    return values;
}
