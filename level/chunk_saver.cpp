#include "level/chunk_saver.h"

#include <bit>
#include <cstring>
#include <stdexcept>

static_assert(std::endian::native == std::endian::little, "chunk files are little-endian and read in place");

namespace {

// The first four bytes of the caller's tag; a shorter tag is padded with zero
// bytes, so "obj" is stored as o b j 0.
void MakeTag(const char* _text, u8 _tag[4])
{
    if (_text == nullptr)
        throw std::invalid_argument(
            "bool CChunkSaver::Process(int _op, const char* _tag, u32 _size, void* _data, int _kind)");
    int i = 0;
    for (; i < 4 && _text[i] != '\0'; ++i)
        _tag[i] = static_cast<u8>(_text[i]);
    for (; i < 4; ++i)
        _tag[i] = 0;
}

u32 LoadU32(const u8* _bytes)
{
    u32 value;
    std::memcpy(&value, _bytes, 4);
    return value;
}

const char* const buffer_error_name = "CChunkSaver";

} // namespace

CChunkSaver::CChunkSaver() = default;

CChunkSaver::~CChunkSaver()
{
    // Without Close a named writer stores its file as it dies, unless an
    // exception cut the writing short; see output_file_c.
    writer.reset();
    reader.reset();
}

bool CChunkSaver::Open(int _mode, const char* _file_name)
{
    if (_mode != mode_write && _mode != mode_read)
        throw std::invalid_argument("bool CChunkSaver::Open(int _mode, const char* _file_name)");
    Close();
    fileName = _file_name;
    depth = -1;
    foundSize = 0;
    try {
        if (_mode == mode_write)
            writer = std::make_unique<output_file_c>(fileName.GetData());
        else
            reader = std::make_unique<input_file_c>(fileName.GetData());
    } catch (const file_error_c&) {
        writer.reset();
        reader.reset();
        return false;
    }
    mode = static_cast<mode_e>(_mode);
    return true;
}

bool CChunkSaver::OpenBuffer(int _mode, void* _buffer, u32 _size, const char* _name)
{
    if (_mode != mode_write && _mode != mode_read)
        throw std::invalid_argument("bool CChunkSaver::OpenBuffer(int _mode, void* _buffer, u32 _size)");
    if (_buffer == nullptr || _size == 0)
        throw file_error_c(buffer_error_name, "Invalid buffer.");
    Close();
    fileName = _name;
    depth = -1;
    foundSize = 0;
    if (_mode == mode_write)
        writer = std::make_unique<output_file_c>();
    else
        reader = std::make_unique<input_file_c>(_buffer, _size);
    mode = static_cast<mode_e>(_mode);
    return true;
}

void CChunkSaver::Close()
{
    std::unique_ptr<output_file_c> closing = std::move(writer);
    reader.reset();
    mode = mode_closed;
    depth = -1;
    if (closing && closing->GetName()[0] != '\0')
        closing->Commit();
}

bool CChunkSaver::Begin(const char* _tag)
{
    return Process(op_begin, _tag, 0, nullptr, kind_raw);
}

void CChunkSaver::End()
{
    Process(op_end, nullptr, 0, nullptr, kind_raw);
}

void CChunkSaver::LeafData(const char* _tag, void* _data, u32 _size)
{
    Process(op_leaf, _tag, _size, _data, kind_raw);
}

void CChunkSaver::LeafStdString(const char* _tag, std::string& _text)
{
    Process(op_leaf, _tag, 0, &_text, kind_std_string);
}

void CChunkSaver::LeafString(const char* _tag, string_c& _text)
{
    Process(op_leaf, _tag, 0, &_text, kind_string);
}

void CChunkSaver::LeafU32(const char* _tag, u32& _value)
{
    Process(op_leaf, _tag, 4, &_value, kind_exact);
}

void CChunkSaver::LeafInt(const char* _tag, i32& _value)
{
    Process(op_leaf, _tag, 4, &_value, kind_exact);
}

void CChunkSaver::LeafFloat(const char* _tag, f32& _value)
{
    Process(op_leaf, _tag, 4, &_value, kind_exact);
}

void CChunkSaver::LeafByte(const char* _tag, u8& _value)
{
    Process(op_leaf, _tag, 1, &_value, kind_exact);
}

void CChunkSaver::LeafBool(const char* _tag, bool& _value)
{
    u8 byte = _value ? 1 : 0;
    if (Process(op_leaf, _tag, 1, &byte, kind_exact) && mode == mode_read)
        _value = byte != 0;
}

void CChunkSaver::LeafVector(const char* _tag, vec3_c& _value)
{
    f32 xyz[3] = {_value.x, _value.y, _value.z};
    if (Process(op_leaf, _tag, sizeof xyz, xyz, kind_exact) && mode == mode_read)
        _value = vec3_c(xyz[0], xyz[1], xyz[2]);
}

void CChunkSaver::Payload(std::vector<u8>& _bytes)
{
    if (mode == mode_write) {
        if (_bytes.size() > UINT32_MAX)
            Error("Payload too large!");
        WriteBytes(_bytes.data(), static_cast<u32>(_bytes.size()));
        return;
    }
    if (mode != mode_read || depth < 0 || levels[depth].missing)
        return;
    u64 begin, end;
    ReadRange(begin, end);
    u64 from = reader->GetPosition();
    if (from < begin || from > end)
        from = end;
    const u8* data = reader->GetData();
    _bytes.assign(data + from, data + end);
    reader->Seek(static_cast<long>(end), 0);
}

bool CChunkSaver::PayloadView(input_file_c& _view)
{
    if (mode != mode_read || depth < 0 || levels[depth].missing)
        return false;
    u64 begin, end;
    ReadRange(begin, end);
    u64 from = reader->GetPosition();
    if (from < begin || from > end)
        from = end;
    _view = input_file_c(reader->GetData() + from, static_cast<u32>(end - from));
    return true;
}

u32 CChunkSaver::Tell() const
{
    if (writer)
        return writer->GetPosition();
    if (reader)
        return reader->GetPosition();
    return 0;
}

u32 CChunkSaver::Seek(long _offset, int _origin)
{
    if (writer)
        return writer->Seek(_offset, _origin);
    if (reader) {
        reader->Seek(_offset, _origin);
        return reader->GetPosition();
    }
    return 0;
}

std::vector<u8> CChunkSaver::GetWrittenBytes() const
{
    if (!writer || writer->GetSize() == 0)
        return {};
    return std::vector<u8>(writer->GetData(), writer->GetData() + writer->GetSize());
}

bool CChunkSaver::Process(int _op, const char* _tag, u32 _size, void* _data, int _kind)
{
    if (mode == mode_closed)
        return false;
    u8 tag[4] = {0, 0, 0, 0};
    if (_op != op_end)
        MakeTag(_tag, tag);
    if (_op == op_begin && depth + 1 >= max_levels)
        Error("Chunks nested deeper than 63 levels!");
    if (_op == op_end && depth < 0)
        throw std::logic_error("void CChunkSaver::End()");
    if (mode == mode_write)
        return ProcessWrite(_op, tag, _size, _data, _kind);
    return ProcessRead(_op, tag, _size, _data, _kind);
}

bool CChunkSaver::ProcessWrite(int _op, const u8 _tag[4], u32 _size, void* _data, int _kind)
{
    switch (_op) {
    case op_begin:
        WriteBytes(_tag, 4);
        WriteU32(0xFFFFFFFFu);
        PushLevel(writer->GetPosition() - 4, 0, 0);
        return true;
    case op_end: {
        const u32 end = writer->GetPosition();
        const u32 start = levels[depth].start;
        writer->Seek(static_cast<long>(start), 0);
        WriteU32(end - start - 4);
        writer->Seek(static_cast<long>(end), 0);
        --depth;
        return true;
    }
    default: break;
    }
    const char* text = nullptr;
    u64 length = 0;
    if (_kind == kind_std_string) {
        const std::string& s = *static_cast<std::string*>(_data);
        text = s.c_str();
        length = s.size();
    } else if (_kind == kind_string) {
        const string_c& s = *static_cast<string_c*>(_data);
        text = s.GetData();
        length = s.GetLength();
    }
    WriteBytes(_tag, 4);
    if (_kind == kind_std_string || _kind == kind_string) {
        if (length + 1 > UINT32_MAX)
            Error("String leaf too long!");
        WriteU32(static_cast<u32>(length + 1));
        WriteBytes(text, static_cast<u32>(length));
        const u8 zero = 0;
        WriteBytes(&zero, 1);
    } else {
        if (_data == nullptr && _size != 0)
            throw std::invalid_argument("void CChunkSaver::LeafData(const char* _tag, void* _data, u32 _size)");
        WriteU32(_size);
        WriteBytes(_data, _size);
    }
    return true;
}

bool CChunkSaver::ProcessRead(int _op, const u8 _tag[4], u32 _size, void* _data, int _kind)
{
    if (_op == op_end) {
        const level_c& level = levels[depth];
        if (!level.missing)
            reader->Seek(static_cast<long>(u64{level.start} + level.length), 0);
        --depth;
        return true;
    }
    if (_op == op_begin) {
        // Below a missing chunk nothing can be found; the level still counts
        // so that every End pops the level its own Begin pushed.
        if (InnermostMissing() || !FindChunk(_tag)) {
            PushLevel(reader->GetPosition(), 1, 0);
            return false;
        }
        PushLevel(reader->GetPosition(), 0, foundSize);
        return true;
    }
    if (InnermostMissing() || !FindChunk(_tag))
        return false;
    const u8* payload = reader->GetData() + reader->GetPosition();
    const u64 payloadEnd = u64{reader->GetPosition()} + foundSize;
    switch (_kind) {
    case kind_std_string:
    case kind_string: {
        const void* zero = std::memchr(payload, 0, foundSize);
        if (zero == nullptr)
            Error("String leaf without its zero byte!");
        const char* text = reinterpret_cast<const char*>(payload);
        const u32 length = static_cast<u32>(static_cast<const u8*>(zero) - payload);
        if (_kind == kind_std_string)
            static_cast<std::string*>(_data)->assign(text, length);
        else
            static_cast<string_c*>(_data)->Assign(text, length);
        break;
    }
    case kind_exact:
        if (foundSize != _size)
            Error("Leaf of the wrong size for its type!");
        std::memcpy(_data, payload, _size);
        break;
    default:
        if (_data == nullptr && _size != 0)
            throw std::invalid_argument("void CChunkSaver::LeafData(const char* _tag, void* _data, u32 _size)");
        std::memcpy(_data, payload, foundSize < _size ? foundSize : _size);
        break;
    }
    // Past the whole leaf, so that the next search starts at an item boundary.
    reader->Seek(static_cast<long>(payloadEnd), 0);
    return true;
}

void CChunkSaver::PushLevel(u32 _start, u8 _missing, u32 _length)
{
    level_c& level = levels[++depth];
    level.start = _start;
    level.missing = _missing;
    level.length = _length;
}

bool CChunkSaver::InnermostMissing() const
{
    return depth >= 0 && levels[depth].missing;
}

void CChunkSaver::ReadRange(u64& _begin, u64& _end) const
{
    if (depth >= 0) {
        _begin = levels[depth].start;
        _end = _begin + levels[depth].length;
    } else {
        _begin = 0;
        _end = reader->GetSize();
    }
}

bool CChunkSaver::FindChunk(const u8 _tag[4])
{
    const u8* data = reader->GetData();
    u64 begin, end;
    ReadRange(begin, end);
    // The item at the current position first: a file read by the routine
    // that wrote it is read in one pass. Only an item inside the range counts.
    const u64 here = reader->GetPosition();
    // Anything doubtful there is left to the checked walk below.
    if (here >= begin && here + 8 <= end && std::memcmp(data + here, _tag, 4) == 0) {
        const u32 size = LoadU32(data + here + 4);
        if (here + 8 + size <= end) {
            foundSize = size;
            reader->Seek(static_cast<long>(here + 8), 0);
            return true;
        }
    }
    return WalkRange([&](u64 _offset, const u8* _itemTag, u32 _size) {
        if (std::memcmp(_itemTag, _tag, 4) != 0)
            return false;
        foundSize = _size;
        reader->Seek(static_cast<long>(_offset + 8), 0);
        return true;
    });
}

template <class visit_t>
bool CChunkSaver::WalkRange(visit_t _visit)
{
    const u8* data = reader->GetData();
    u64 begin, end;
    ReadRange(begin, end);
    for (u64 offset = begin; offset < end;) {
        if (offset + 8 > end)
            Error("Truncated chunk header!");
        const u32 size = LoadU32(data + offset + 4);
        if (offset + 8 + size > end)
            Error("Chunk size runs past its parent!");
        if (_visit(offset, data + offset, size))
            return true;
        offset += 8 + u64{size};
    }
    return false;
}

u32 CChunkSaver::CountItems(const char* _tag)
{
    if (mode != mode_read || InnermostMissing())
        return 0;
    u8 tag[4];
    MakeTag(_tag, tag);
    u32 count = 0;
    WalkRange([&](u64, const u8* _itemTag, u32) {
        if (std::memcmp(_itemTag, tag, 4) == 0)
            ++count;
        return false;
    });
    return count;
}

void CChunkSaver::WriteBytes(const void* _data, u32 _size)
{
    if (_size == 0)
        return;
    if (u64{writer->GetPosition()} + _size > UINT32_MAX)
        Error("File too large!");
    writer->WriteRaw(_data, _size);
}

void CChunkSaver::WriteU32(u32 _value)
{
    u8 bytes[4];
    std::memcpy(bytes, &_value, 4);
    WriteBytes(bytes, 4);
}

void CChunkSaver::Error(const char* _message) const
{
    throw file_error_c(fileName.GetLength() != 0 ? fileName.GetData() : buffer_error_name, _message);
}
