#include "foundation/archive_writer.h"

#include <cstring>
#include <stdexcept>
#include <zlib.h>

#include "foundation/archive.h"
#include "foundation/file_writer.h"

namespace {
void PutU32(std::vector<u8>& out, u64 value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<u8>(value >> (8 * i)));
}

void CheckName(const std::string& name)
{
    if (name.empty() || name.find('\0') != std::string::npos)
        throw std::invalid_argument("archive entry name must be non-empty text: \"" + name + "\"");
}

void CheckSize(u64 size)
{
    if (size > 0xffffffffu)
        throw std::length_error("archive entry larger than 4 GB");
}
}

archive_writer_c::archive_writer_c(int level) : level(level < 0 ? 0 : level > 9 ? 9 : level) {}

void archive_writer_c::Add(const std::string& name, const void* bytes, u64 size)
{
    CheckName(name);
    CheckSize(size);
    entry_t entry{name, static_cast<u32>(size), {}};
    const u8* in = static_cast<const u8*>(bytes);
    if (level > 0 && size > 0) {
        uLongf packedSize = compressBound(static_cast<uLong>(size));
        std::vector<u8> packed(packedSize);
        if (compress2(packed.data(), &packedSize, in, static_cast<uLong>(size), level) != Z_OK)
            throw std::runtime_error("zlib could not compress \"" + name + "\"");
        if (packedSize < size) {
            packed.resize(packedSize);
            entry.stored = std::move(packed);
        }
    }
    if (entry.stored.empty() && size > 0)
        entry.stored.assign(in, in + size);
    entries.push_back(std::move(entry));
}

void archive_writer_c::AddPacked(const std::string& name, const void* packed, u64 packedSize, u64 unpackedSize)
{
    CheckName(name);
    CheckSize(packedSize);
    CheckSize(unpackedSize);
    const u8* in = static_cast<const u8*>(packed);
    entries.push_back({name, static_cast<u32>(unpackedSize), std::vector<u8>(in, in + packedSize)});
}

std::vector<u8> archive_writer_c::Build() const
{
    u64 directorySize = 0;
    for (const entry_t& entry : entries)
        directorySize += archive_c::recordFixedSize + entry.name.size() + 1;
    u64 total = archive_c::headerSize + directorySize;
    for (const entry_t& entry : entries)
        total += entry.stored.size();
    if (total > 0xffffffffu)
        throw std::length_error("archive larger than 4 GB");

    std::vector<u8> out;
    out.reserve(total);
    PutU32(out, archive_c::magic);
    PutU32(out, total);
    PutU32(out, directorySize);
    PutU32(out, entries.size());
    u64 offset = archive_c::headerSize + directorySize;
    for (const entry_t& entry : entries) {
        PutU32(out, archive_c::recordFixedSize + entry.name.size() + 1);
        PutU32(out, entry.unpackedSize);
        PutU32(out, entry.stored.size());
        PutU32(out, offset);
        out.insert(out.end(), entry.name.begin(), entry.name.end());
        out.push_back(0);
        offset += entry.stored.size();
    }
    for (const entry_t& entry : entries)
        out.insert(out.end(), entry.stored.begin(), entry.stored.end());
    return out;
}

void archive_writer_c::Write(const char* name) const
{
    const std::vector<u8> bytes = Build();
    WriteDiskFileWhole(name, bytes.data(), static_cast<u32>(bytes.size()));
}
