#include "foundation/archive.h"

#include <memory>
#include <zlib.h>

#include "foundation/file_error.h"
#include "platform/win32/crt_text.h"

namespace {
u32 LittleEndian32(const void* bytes)
{
    const u8* p = static_cast<const u8*>(bytes);
    return static_cast<u32>(p[0]) | static_cast<u32>(p[1]) << 8 | static_cast<u32>(p[2]) << 16 |
           static_cast<u32>(p[3]) << 24;
}

// Deflate cannot shrink data by more than this factor.
constexpr u64 maxInflateRatio = 1032;

// Ends the inflate stream whatever way the read leaves.
class inflate_stream_c {
public:
    explicit inflate_stream_c(const string_c& archiveName) : stream{}
    {
        if (inflateInit(&stream) != Z_OK)
            throw file_error_c(archiveName, "Out of memory!");
    }
    ~inflate_stream_c() { inflateEnd(&stream); }
    inflate_stream_c(const inflate_stream_c&) = delete;
    inflate_stream_c& operator=(const inflate_stream_c&) = delete;

    z_stream stream;
};
}

archive_c::archive_c(const char* name) : archiveName(name), fileSize(0)
{
    file.Open(name);
    fileSize = static_cast<u64>(file.Seek(0, 2));
    file.Seek(0, 0);
    u8 header[headerSize];
    file.Read(header, headerSize);
    if (LittleEndian32(header) != magic)
        throw file_error_c(archiveName, "Not a QZA file!");
    if (LittleEndian32(header + 4) > fileSize)
        throw file_error_c(archiveName, "Unexpected end of file!");
    const u32 directorySize = LittleEndian32(header + 8);
    const u32 entryCount = LittleEndian32(header + 12);
    if (directorySize == 0 || entryCount == 0)
        throw file_error_c(archiveName, "Empty archive!");
    // The size comes from the file: never allocate more than the file holds.
    if (headerSize + static_cast<u64>(directorySize) > fileSize)
        throw file_error_c(archiveName, "Unexpected end of file!");
    ReadDirectory(directorySize, entryCount);
}

void archive_c::ReadDirectory(u32 directorySize, u32 entryCount)
{
    // Every record takes at least its fixed part and a terminator.
    if (entryCount > directorySize / (recordFixedSize + 1))
        throw file_error_c(archiveName, "Damaged archive!");
    directory.resize(directorySize);
    file.Read(directory.data(), directorySize);
    entries.reserve(entryCount);
    u64 at = 0;
    for (u32 i = 0; i < entryCount; ++i) {
        if (at + recordFixedSize + 1 > directorySize)
            throw file_error_c(archiveName, "Damaged archive!");
        const char* record = directory.data() + at;
        const u32 recordLength = LittleEndian32(record);
        if (recordLength < recordFixedSize + 1 || at + recordLength > directorySize)
            throw file_error_c(archiveName, "Damaged archive!");
        const char* name = record + recordFixedSize;
        const u32 nameRoom = recordLength - recordFixedSize;
        bool terminated = false;
        for (u32 k = 0; k < nameRoom && !terminated; ++k)
            terminated = name[k] == '\0';
        if (!terminated)
            throw file_error_c(archiveName, "Damaged archive!");
        const archive_entry_c entry(name, LittleEndian32(record + 4), LittleEndian32(record + 8),
                                    LittleEndian32(record + 12));
        if (static_cast<u64>(entry.GetOffset()) + entry.GetStoredSize() > fileSize)
            throw file_error_c(archiveName, "Unexpected end of file!");
        if (entry.IsCompressed() && entry.GetSize() > entry.GetStoredSize() * maxInflateRatio)
            throw file_error_c(archiveName, "Damaged archive!");
        entries.push_back(entry);
        at += recordLength;
    }
}

const archive_entry_c* archive_c::Find(const char* name) const
{
    if (!name)
        return nullptr;
    for (const archive_entry_c& entry : entries)
        if (_stricmp(entry.GetName(), name) == 0)
            return &entry;
    return nullptr;
}

const archive_entry_c& archive_c::GetEntry(const char* name) const
{
    const archive_entry_c* entry = Find(name);
    if (!entry)
        throw file_error_c(name, "File does not exist!");
    return *entry;
}

u32 archive_c::ReadEntry(const archive_entry_c& entry, void* buffer, u32 bufferSize)
{
    if (bufferSize < entry.GetSize())
        throw file_error_c(entry.GetName(), "Out of buffer!");
    file.Seek(static_cast<long>(entry.GetOffset()), 0);
    if (!entry.IsCompressed())
        return static_cast<u32>(file.Read(buffer, entry.GetSize()));
    return Inflate(buffer, entry.GetSize(), entry.GetStoredSize());
}

u32 archive_c::Inflate(void* buffer, u32 unpackedSize, u32 storedSize)
{
    const u32 scratchSize = storedSize < pieceSize ? storedSize : pieceSize;
    std::unique_ptr<u8[]> scratch(new u8[scratchSize ? scratchSize : 1]);
    inflate_stream_c inflater(archiveName);
    z_stream& stream = inflater.stream;
    // zlib refuses a null output even when nothing is to be produced.
    u8 nothing = 0;
    stream.next_out = buffer ? static_cast<Bytef*>(buffer) : &nothing;
    stream.avail_out = unpackedSize;
    bool ended = false;
    u32 remaining = storedSize;
    while (remaining > 0 && !ended) {
        const u32 piece = remaining < pieceSize ? remaining : pieceSize;
        file.Read(scratch.get(), piece);
        stream.next_in = scratch.get();
        stream.avail_in = piece;
        const int result = inflate(&stream, Z_NO_FLUSH);
        if (result == Z_STREAM_END)
            ended = true;
        else if (result == Z_MEM_ERROR)
            throw file_error_c(archiveName, "Out of memory!");
        else if (result != Z_OK)
            throw file_error_c(archiveName, "Damaged archive!");
        remaining -= piece;
    }
    // A stream cut before its end (and its checksum) is as damaged as one that
    // yields the wrong number of bytes.
    if (!ended || stream.total_in != storedSize || stream.total_out != unpackedSize)
        throw file_error_c(archiveName, "Damaged archive!");
    return static_cast<u32>(stream.total_out);
}
