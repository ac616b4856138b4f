#include "platform/dinput8/effect_file.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr u32 max_axes = 32;
constexpr u32 max_other_type_specific = 4096;
constexpr u32 data_size = 28;

u32 LoadU32(const u8* _bytes)
{
    u32 value;
    std::memcpy(&value, _bytes, 4);
    return value;
}

bool TagIs(const u8* _bytes, const char* _tag)
{
    return std::memcmp(_bytes, _tag, 4) == 0;
}

// One chunk inside [begin, end): its tag, data and the start of the next one.
struct chunk_c {
    const u8* tag;
    const u8* data;
    u32 size;
    const u8* next;
};

// False at the end of the range or at a chunk whose header or data runs
// past it (_damaged then tells which).
bool NextChunk(const u8* _at, const u8* _end, chunk_c& _chunk, bool& _damaged)
{
    _damaged = false;
    if (_at >= _end)
        return false;
    if (_end - _at < 8) {
        _damaged = true;
        return false;
    }
    const u64 size = LoadU32(_at + 4);
    const u64 room = static_cast<u64>(_end - _at) - 8;
    if (size > room) {
        _damaged = true;
        return false;
    }
    _chunk.tag = _at;
    _chunk.data = _at + 8;
    _chunk.size = static_cast<u32>(size);
    const u64 padded = size + (size & 1);
    _chunk.next = padded > room ? _end : _at + 8 + padded;
    return true;
}

bool TypeSpecificSizeFits(const GUID& _type, u32 _size, u32 _axes)
{
    if (_type == GUID_ConstantForce)
        return _size == sizeof(DICONSTANTFORCE);
    if (_type == GUID_RampForce)
        return _size == sizeof(DIRAMPFORCE);
    if (_type == GUID_Square || _type == GUID_Sine || _type == GUID_Triangle || _type == GUID_SawtoothUp ||
        _type == GUID_SawtoothDown)
        return _size == sizeof(DIPERIODIC);
    if (_type == GUID_Spring || _type == GUID_Damper || _type == GUID_Inertia || _type == GUID_Friction)
        return _size == sizeof(DICONDITION) || (_axes > 0 && _size == _axes * sizeof(DICONDITION));
    return _size <= max_other_type_specific;
}

// False for a damaged record.
bool ReadRecord(const u8* _at, const u8* _end, effect_record_c& _record)
{
    bool hasType = false, hasData = false, hasDirections = false;
    chunk_c chunk;
    bool damaged = false;
    for (; NextChunk(_at, _end, chunk, damaged); _at = chunk.next) {
        if (TagIs(chunk.tag, "name")) {
            const void* zero = std::memchr(chunk.data, 0, chunk.size);
            const u32 length = zero ? static_cast<u32>(static_cast<const u8*>(zero) - chunk.data) : chunk.size;
            if (length >= MAX_PATH)
                return false;
            _record.name.assign(reinterpret_cast<const char*>(chunk.data), length);
        } else if (TagIs(chunk.tag, "id  ")) {
            if (chunk.size != sizeof(GUID))
                return false;
            std::memcpy(&_record.type, chunk.data, sizeof(GUID));
            hasType = true;
        } else if (TagIs(chunk.tag, "data")) {
            if (chunk.size != data_size)
                return false;
            DIEFFECT& e = _record.effect;
            DWORD* fields[] = {&e.dwFlags,     &e.dwDuration,      &e.dwSamplePeriod,
                               &e.dwGain,      &e.dwTriggerButton, &e.dwTriggerRepeatInterval,
                               &e.dwStartDelay};
            for (u32 i = 0; i < 7; ++i)
                *fields[i] = LoadU32(chunk.data + 4 * i);
            hasData = true;
        } else if (TagIs(chunk.tag, "axes")) {
            if (chunk.size % 4 != 0 || chunk.size / 4 > max_axes)
                return false;
            _record.axes.resize(chunk.size / 4);
            for (u32 i = 0; i < chunk.size / 4; ++i)
                _record.axes[i] = LoadU32(chunk.data + 4 * i);
        } else if (TagIs(chunk.tag, "dirs")) {
            if (chunk.size % 4 != 0 || chunk.size / 4 > max_axes)
                return false;
            _record.directions.resize(chunk.size / 4);
            for (u32 i = 0; i < chunk.size / 4; ++i)
                _record.directions[i] = static_cast<LONG>(LoadU32(chunk.data + 4 * i));
            hasDirections = true;
        } else if (TagIs(chunk.tag, "envl")) {
            if (chunk.size != 16)
                return false;
            _record.envelope.dwAttackLevel = LoadU32(chunk.data);
            _record.envelope.dwAttackTime = LoadU32(chunk.data + 4);
            _record.envelope.dwFadeLevel = LoadU32(chunk.data + 8);
            _record.envelope.dwFadeTime = LoadU32(chunk.data + 12);
            _record.hasEnvelope = true;
        } else if (TagIs(chunk.tag, "tspc")) {
            _record.typeSpecific.assign(chunk.data, chunk.data + chunk.size);
        }
    }
    if (damaged || !hasType || !hasData)
        return false;
    if (hasDirections && _record.directions.size() != _record.axes.size())
        return false;
    if (!hasDirections)
        _record.directions.assign(_record.axes.size(), 0);
    if (!_record.typeSpecific.empty() &&
        !TypeSpecificSizeFits(_record.type, static_cast<u32>(_record.typeSpecific.size()),
                              static_cast<u32>(_record.axes.size())))
        return false;
    return true;
}

void PutU32(std::vector<u8>& _out, u32 _value)
{
    const u8 bytes[4] = {static_cast<u8>(_value), static_cast<u8>(_value >> 8), static_cast<u8>(_value >> 16),
                         static_cast<u8>(_value >> 24)};
    _out.insert(_out.end(), bytes, bytes + 4);
}

void PutChunk(std::vector<u8>& _out, const char* _tag, const void* _data, size_t _size)
{
    _out.insert(_out.end(), _tag, _tag + 4);
    PutU32(_out, static_cast<u32>(_size));
    const u8* bytes = static_cast<const u8*>(_data);
    _out.insert(_out.end(), bytes, bytes + _size);
    if (_size & 1)
        _out.push_back(0);
}

// Patches the size of the chunk whose header starts at _start.
void CloseChunk(std::vector<u8>& _out, size_t _start)
{
    const u32 size = static_cast<u32>(_out.size() - _start - 8);
    std::memcpy(_out.data() + _start + 4, &size, 4);
}

} // namespace

effect_record_c& effect_record_c::operator=(const effect_record_c& _other)
{
    type = _other.type;
    name = _other.name;
    effect = _other.effect;
    axes = _other.axes;
    directions = _other.directions;
    hasEnvelope = _other.hasEnvelope;
    envelope = _other.envelope;
    typeSpecific = _other.typeSpecific;
    Link();
    return *this;
}

void effect_record_c::Link()
{
    effect.dwSize = sizeof(DIEFFECT);
    effect.cAxes = static_cast<DWORD>(axes.size());
    effect.rgdwAxes = axes.empty() ? nullptr : axes.data();
    effect.rglDirection = directions.empty() ? nullptr : directions.data();
    effect.lpEnvelope = hasEnvelope ? &envelope : nullptr;
    effect.cbTypeSpecificParams = static_cast<DWORD>(typeSpecific.size());
    effect.lpvTypeSpecificParams = typeSpecific.empty() ? nullptr : typeSpecific.data();
}

DIFILEEFFECT effect_record_c::GetFileEffect()
{
    Link();
    DIFILEEFFECT file;
    file.GuidEffect = type;
    file.lpDiEffect = &effect;
    std::memcpy(file.szFriendlyName, name.data(), name.size() < MAX_PATH ? name.size() : MAX_PATH - 1);
    return file;
}

HRESULT effect_file_c::Read(const u8* _data, size_t _size, std::vector<effect_record_c>& _records)
{
    if (_data == nullptr || _size < 12 || !TagIs(_data, "RIFF") || !TagIs(_data + 8, "FORC"))
        return DIERR_INVALIDPARAM;
    const u64 riffSize = LoadU32(_data + 4);
    if (riffSize < 4)
        return DIERR_INVALIDPARAM;
    // A file cut short still gives the records that are whole.
    const bool cut = riffSize > _size - 8;
    const u8* end = cut ? _data + _size : _data + 8 + riffSize;
    chunk_c chunk;
    bool damaged = false;
    for (const u8* at = _data + 12; NextChunk(at, end, chunk, damaged); at = chunk.next) {
        if (!TagIs(chunk.tag, "LIST") || chunk.size < 4 || !TagIs(chunk.data, "efct"))
            continue;
        effect_record_c record;
        if (!ReadRecord(chunk.data + 4, chunk.data + chunk.size, record))
            return DIERR_INVALIDPARAM;
        _records.push_back(record);
    }
    return damaged || cut ? DIERR_INVALIDPARAM : DI_OK;
}

HRESULT effect_file_c::ReadFile(const char* _path, std::vector<effect_record_c>& _records)
{
    if (_path == nullptr)
        return DIERR_INVALIDPARAM;
    // Game paths use '\\'.
    std::string path(_path);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return DIERR_NOTFOUND;
    const std::vector<u8> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return Read(bytes.data(), bytes.size(), _records);
}

std::vector<u8> effect_file_c::Write(const std::vector<effect_record_c>& _records)
{
    std::vector<u8> out;
    PutChunk(out, "RIFF", "FORC", 4);
    for (const effect_record_c& record : _records) {
        const size_t list = out.size();
        PutChunk(out, "LIST", "efct", 4);
        const u32 version = 1;
        PutChunk(out, "ver ", &version, 4);
        PutChunk(out, "name", record.name.c_str(), record.name.size() + 1);
        PutChunk(out, "id  ", &record.type, sizeof(GUID));
        const DIEFFECT& e = record.effect;
        const DWORD data[7] = {e.dwFlags,     e.dwDuration,      e.dwSamplePeriod,
                               e.dwGain,      e.dwTriggerButton, e.dwTriggerRepeatInterval,
                               e.dwStartDelay};
        PutChunk(out, "data", data, sizeof data);
        PutChunk(out, "axes", record.axes.data(), record.axes.size() * 4);
        if (!record.directions.empty())
            PutChunk(out, "dirs", record.directions.data(), record.directions.size() * 4);
        if (record.hasEnvelope) {
            const DWORD envelope[4] = {record.envelope.dwAttackLevel, record.envelope.dwAttackTime,
                                       record.envelope.dwFadeLevel, record.envelope.dwFadeTime};
            PutChunk(out, "envl", envelope, sizeof envelope);
        }
        if (!record.typeSpecific.empty())
            PutChunk(out, "tspc", record.typeSpecific.data(), record.typeSpecific.size());
        CloseChunk(out, list);
    }
    CloseChunk(out, 0);
    return out;
}
