#include "platform/dplay8/dplay8_wire.h"

#include <algorithm>
#include <cstring>

namespace dplay8_wire {

namespace {

constexpr u8 kHelloMagic[4] = {'D', 'P', '8', 'S'};
constexpr u8 kQueryMagic[4] = {'D', 'P', '8', 'Q'};
constexpr u8 kAnswerMagic[4] = {'D', 'P', '8', 'R'};

class writer_c {
public:
    void Bytes(const u8* data, std::size_t size) { out.insert(out.end(), data, data + size); }
    void U16(u16 value)
    {
        out.push_back(static_cast<u8>(value));
        out.push_back(static_cast<u8>(value >> 8));
    }
    void U32(u32 value)
    {
        U16(static_cast<u16>(value));
        U16(static_cast<u16>(value >> 16));
    }
    void Text(const std::u16string& text)
    {
        const std::size_t units = std::min<std::size_t>(text.size(), DPN_MAX_NAME_LENGTH);
        U16(static_cast<u16>(units));
        for (std::size_t i = 0; i < units; ++i)
            U16(text[i]);
    }

    std::vector<u8> out;
};

class reader_c {
public:
    reader_c(const u8* data, std::size_t size) : _data(data), _size(size) {}

    bool Bytes(u8* target, std::size_t size)
    {
        if (_size - _at < size)
            return false;
        std::memcpy(target, _data + _at, size);
        _at += size;
        return true;
    }
    bool Magic(const u8* magic)
    {
        u8 bytes[4];
        return Bytes(bytes, 4) && std::memcmp(bytes, magic, 4) == 0;
    }
    bool U16(u16* value)
    {
        u8 bytes[2];
        if (!Bytes(bytes, 2))
            return false;
        *value = static_cast<u16>(bytes[0] | bytes[1] << 8);
        return true;
    }
    bool U32(u32* value)
    {
        u16 low = 0, high = 0;
        if (!U16(&low) || !U16(&high))
            return false;
        *value = low | static_cast<u32>(high) << 16;
        return true;
    }
    bool Text(std::u16string* text)
    {
        u16 units = 0;
        if (!U16(&units) || units > DPN_MAX_NAME_LENGTH || (_size - _at) / 2 < units)
            return false;
        text->resize(units);
        for (u16 i = 0; i < units; ++i) {
            u16 unit = 0;
            U16(&unit);
            (*text)[i] = static_cast<char16_t>(unit);
        }
        return true;
    }
    bool Guid(dpn_guid_c* guid) { return Bytes(guid->bytes.data(), guid->bytes.size()); }
    bool AtEnd() const { return _at == _size; }

private:
    const u8* _data;
    std::size_t _size;
    std::size_t _at = 0;
};

} // namespace

std::vector<u8> Frame(frame_kind_e _kind, const u8* _body, std::size_t _size)
{
    writer_c writer;
    writer.U32(static_cast<u32>(_size + 1));
    writer.out.push_back(_kind);
    writer.Bytes(_body, _size);
    return writer.out;
}

bool FrameLength(const u8* _header, u32* _length)
{
    reader_c reader(_header, kFrameHeaderSize);
    return reader.U32(_length) && *_length >= 1 && *_length <= kMaxFrameLength;
}

std::vector<u8> Hello(const dpn_guid_c& _application, const std::u16string& _password)
{
    writer_c writer;
    writer.Bytes(kHelloMagic, 4);
    writer.Bytes(_application.bytes.data(), _application.bytes.size());
    writer.Text(_password);
    return writer.out;
}

bool ReadHello(const u8* _body, std::size_t _size, dpn_guid_c* _application, std::u16string* _password)
{
    reader_c reader(_body, _size);
    return reader.Magic(kHelloMagic) && reader.Guid(_application) && reader.Text(_password) && reader.AtEnd();
}

std::vector<u8> U32Body(u32 _value)
{
    writer_c writer;
    writer.U32(_value);
    return writer.out;
}

bool ReadU32Body(const u8* _body, std::size_t _size, u32* _value)
{
    reader_c reader(_body, _size);
    return reader.U32(_value) && reader.AtEnd();
}

std::vector<u8> Query(const dpn_guid_c& _application, u32 _query_id)
{
    writer_c writer;
    writer.Bytes(kQueryMagic, 4);
    writer.Bytes(_application.bytes.data(), _application.bytes.size());
    writer.U32(_query_id);
    return writer.out;
}

bool ReadQuery(const u8* _data, std::size_t _size, dpn_guid_c* _application, u32* _query_id)
{
    reader_c reader(_data, _size);
    return reader.Magic(kQueryMagic) && reader.Guid(_application) && reader.U32(_query_id) && reader.AtEnd();
}

std::vector<u8> Answer(u32 _query_id, const dpn_application_desc_c& _desc, u16 _port)
{
    writer_c writer;
    writer.Bytes(kAnswerMagic, 4);
    writer.U32(_query_id);
    writer.Bytes(_desc.instance.bytes.data(), 16);
    writer.Bytes(_desc.application.bytes.data(), 16);
    writer.U32(_desc.flags);
    writer.U32(_desc.max_players);
    writer.U32(_desc.current_players);
    writer.U16(_port);
    writer.Text(_desc.session_name);
    return writer.out;
}

bool ReadAnswer(const u8* _data, std::size_t _size, u32* _query_id, dpn_application_desc_c* _desc, u16* _port)
{
    reader_c reader(_data, _size);
    *_desc = dpn_application_desc_c();
    return reader.Magic(kAnswerMagic) && reader.U32(_query_id) && reader.Guid(&_desc->instance) &&
           reader.Guid(&_desc->application) && reader.U32(&_desc->flags) && reader.U32(&_desc->max_players) &&
           reader.U32(&_desc->current_players) && reader.U16(_port) && reader.Text(&_desc->session_name) &&
           reader.AtEnd();
}

} // namespace dplay8_wire
