#include "level/testing/chunk_bytes.h"

#include "level/chunk_saver.h"

#include <cstring>

bytes_t U32Bytes(u32 _value)
{
    return {static_cast<u8>(_value), static_cast<u8>(_value >> 8), static_cast<u8>(_value >> 16),
            static_cast<u8>(_value >> 24)};
}

bytes_t FloatBytes(f32 _value)
{
    u32 bits;
    std::memcpy(&bits, &_value, 4);
    return U32Bytes(bits);
}

bytes_t TextBytes(const std::string& _text)
{
    bytes_t bytes(_text.begin(), _text.end());
    bytes.push_back(0);
    return bytes;
}

bytes_t Cat(std::initializer_list<bytes_t> _parts)
{
    bytes_t all;
    for (const bytes_t& part : _parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

bytes_t Item(const char* _tag, const bytes_t& _payload)
{
    bytes_t item(4, 0);
    for (int i = 0; i < 4 && _tag[i] != '\0'; ++i)
        item[i] = static_cast<u8>(_tag[i]);
    return Cat({item, U32Bytes(static_cast<u32>(_payload.size())), _payload});
}

bytes_t WriteBytes(const std::function<void(CChunkSaver&)>& _routine)
{
    CChunkSaver saver;
    u8 unused = 0;
    saver.OpenBuffer(CChunkSaver::mode_write, &unused, 1);
    _routine(saver);
    return saver.GetWrittenBytes();
}

void ReadBytes(const bytes_t& _bytes, const std::function<void(CChunkSaver&)>& _routine, const char* _name)
{
    CChunkSaver saver;
    bytes_t copy = _bytes;
    saver.OpenBuffer(CChunkSaver::mode_read, copy.data(), static_cast<u32>(copy.size()), _name);
    _routine(saver);
    saver.Close();
}
