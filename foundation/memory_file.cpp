#include "foundation/memory_file.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <stdexcept>

#include "foundation/file_error.h"
#include "foundation/file_system.h"
#include "foundation/file_writer.h"

namespace {
u64 RoundUp(u64 value, u64 step)
{
    return (value + step - 1) / step * step;
}

// Seek arithmetic shared by both sides, in 64 bits so no offset wraps.
i64 SeekTarget(long offset, int origin, u32 position, u32 size)
{
    switch (origin) {
    case 1: return static_cast<i64>(position) + offset;
    case 2: return static_cast<i64>(size) + offset;
    default: return offset;
    }
}

u32 LittleEndian32(const u8* p)
{
    return static_cast<u32>(p[0]) | static_cast<u32>(p[1]) << 8 | static_cast<u32>(p[2]) << 16 |
           static_cast<u32>(p[3]) << 24;
}
}

input_file_c::input_file_c() : data(nullptr), position(0), size(0) {}

input_file_c::input_file_c(const void* bytes, u32 byteCount) : input_file_c()
{
    if (bytes && byteCount) {
        data = static_cast<const u8*>(bytes);
        size = byteCount;
    }
}

input_file_c::input_file_c(const char* fileName) : name(fileName), data(nullptr), position(0), size(0)
{
    file_system_c* fileSystem = file_system_c::GetCurrent();
    if (!fileSystem)
        throw file_error_c(name.GetPath(), "File does not exist!");
    const u32 fileSize = fileSystem->GetSize(name);
    if (fileSize == 0)
        return;
    owned.reset(new u8[fileSize]);
    // A file that shrank between the two calls must not leave bytes unread.
    data = owned.get();
    size = fileSystem->Load(name, owned.get(), fileSize);
}

input_file_c::input_file_c(const input_file_c& other)
    : name(other.name), data(nullptr), position(other.position), size(0)
{
    if (other.size) {
        owned.reset(new u8[other.size]);
        std::memcpy(owned.get(), other.data, other.size);
        data = owned.get();
        size = other.size;
    }
}

input_file_c::input_file_c(input_file_c&& other) noexcept
    : name(std::move(other.name)), data(other.data), position(other.position), size(other.size),
      owned(std::move(other.owned))
{
    other.Reset();
}

input_file_c& input_file_c::operator=(input_file_c&& other) noexcept
{
    if (this != &other) {
        name = std::move(other.name);
        data = other.data;
        position = other.position;
        size = other.size;
        owned = std::move(other.owned);
        other.Reset();
    }
    return *this;
}

input_file_c::~input_file_c() = default;

void input_file_c::Reset()
{
    owned.reset();
    data = nullptr;
    position = 0;
    size = 0;
}

const u8* input_file_c::GetPointer() const
{
    return position < size ? data + position : nullptr;
}

const u8* input_file_c::GetAlignedPointer16() const
{
    const u64 at = RoundUp(position, 2);
    return at + 2 <= size ? data + at : nullptr;
}

const u8* input_file_c::GetAlignedPointer32() const
{
    const u64 at = RoundUp(position, 4);
    return at + 4 <= size ? data + at : nullptr;
}

i64 input_file_c::Place(u32 width) const
{
    const u64 at = RoundUp(position, width);
    return at + width <= size ? static_cast<i64>(at) : -1;
}

void input_file_c::ReadU8(u8& value)
{
    if (position < size)
        value = data[position++];
}

void input_file_c::ReadU32(u32& value)
{
    const i64 at = Place(4);
    if (at < 0)
        return;
    value = LittleEndian32(data + at);
    position = static_cast<u32>(at + 4);
}

void input_file_c::ReadF32(f32& value)
{
    u32 bits = std::bit_cast<u32>(value);
    ReadU32(bits);
    value = std::bit_cast<f32>(bits);
}

void input_file_c::ReadString(string_c& s)
{
    const u32 before = position;
    u32 length = 0;
    ReadU32(length);
    if (position == before)
        return;
    if (length == 0) {
        s.Clear();
        return;
    }
    // The length comes from the file: compare against what remains, so that
    // no sum can wrap.
    if (length < size - position) {
        s.Assign(reinterpret_cast<const char*>(data + position), length);
        position += length + 1;
    }
}

void input_file_c::ReadBlock(input_file_c& target)
{
    const u32 before = position;
    u32 length = 0;
    ReadU32(length);
    if (&target == this)
        return;
    target.name = name;
    if (position == before)
        return;
    if (length == 0) {
        target.Reset();
        return;
    }
    if (length <= size - position) {
        target.Reset();
        target.data = data + position;
        target.size = length;
        position += length;
    }
}

void input_file_c::Seek(long offset, int origin)
{
    const i64 target = SeekTarget(offset, origin, position, size);
    position = static_cast<u32>(std::clamp<i64>(target, 0, size));
}

output_file_c::output_file_c()
    : position(0), size(0), capacity(0), pending(false), exceptionsAtBirth(std::uncaught_exceptions())
{}

output_file_c::output_file_c(const char* fileName)
    : name(fileName), position(0), size(0), capacity(0), pending(!name.IsEmpty()),
      exceptionsAtBirth(std::uncaught_exceptions())
{}

output_file_c::~output_file_c()
{
    if (!pending || std::uncaught_exceptions() > exceptionsAtBirth)
        return;
    try {
        Commit();
    } catch (const file_error_c& error) {
        std::fprintf(stderr, "Could not store %s: %s\n", error.GetFileName().GetData(), error.what());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Could not store %s: %s\n", name.GetPath().GetData(), error.what());
    }
}

void output_file_c::Commit()
{
    if (name.IsEmpty())
        return;
    file_writer_c* writer = file_writer_c::GetCurrent();
    if (!writer)
        throw file_error_c(name.GetPath(), "Could not create file!");
    writer->Write(name, data.get(), size);
    pending = false;
}

void output_file_c::free_c::operator()(u8* bytes) const
{
    std::free(bytes);
}

u8* output_file_c::GetPointer()
{
    return position < size ? data.get() + position : nullptr;
}

void output_file_c::Grow(u64 end)
{
    if (end > 0xffffffffu)
        throw file_error_c(name.GetPath(), "File too large!");
    if (end > capacity) {
        const u64 wanted = capacity == 0 ? std::max<u64>(1, end) : std::max<u64>(2ull * capacity, end);
        const u32 newCapacity = static_cast<u32>(std::min<u64>(wanted, 0xffffffffu));
        // Spare capacity stays untouched until the file reaches it, so a
        // growing file costs only the pages it fills.
        u8* grown = static_cast<u8*>(std::realloc(data.get(), newCapacity));
        if (grown == nullptr)
            throw std::bad_alloc();
        (void)data.release();
        data.reset(grown);
        capacity = newCapacity;
    }
    if (!name.IsEmpty())
        pending = true;
    if (end > size) {
        std::memset(data.get() + size, 0, static_cast<size_t>(end - size));
        size = static_cast<u32>(end);
    }
}

void output_file_c::Put(u64 at, const void* bytes, u32 count)
{
    Grow(at + count);
    if (count)
        std::memcpy(data.get() + at, bytes, count);
    position = static_cast<u32>(at + count);
}

u64 output_file_c::Aligned4() const
{
    return RoundUp(position, 4);
}

u32 output_file_c::Seek(long offset, int origin)
{
    const i64 target = SeekTarget(offset, origin, position, size);
    if (target <= 0) {
        position = 0;
        return 0;
    }
    if (static_cast<u64>(target) > size)
        Grow(static_cast<u64>(target));
    position = static_cast<u32>(target);
    return position;
}

void output_file_c::WriteU8(u8 value)
{
    Put(position, &value, 1);
}

void output_file_c::WriteU32(u32 value)
{
    const u8 bytes[4] = {static_cast<u8>(value), static_cast<u8>(value >> 8), static_cast<u8>(value >> 16),
                         static_cast<u8>(value >> 24)};
    Put(Aligned4(), bytes, 4);
}

void output_file_c::WriteF32(f32 value)
{
    WriteU32(std::bit_cast<u32>(value));
}

void output_file_c::WriteString(const char* text, u32 length)
{
    if (!text)
        length = 0;
    WriteU32(length);
    if (length == 0)
        return;
    Put(position, text, length);
    WriteU8(0);
}

void output_file_c::WriteString(const string_c& text)
{
    WriteString(text.GetData(), static_cast<u32>(std::strlen(text.GetData())));
}

void output_file_c::WriteBlock(const void* bytes, u32 length)
{
    if (!bytes)
        length = 0;
    WriteU32(length);
    if (length)
        Put(position, bytes, length);
}

void output_file_c::WriteRaw(const void* bytes, u32 count)
{
    if (bytes == nullptr && count != 0)
        throw std::invalid_argument("output_file_c::WriteRaw: null bytes");
    Put(position, bytes, count);
}

void output_file_c::WriteBlock(const output_file_c& body)
{
    if (&body == this) {
        const std::unique_ptr<u8[]> copy(new u8[size ? size : 1]);
        if (size)
            std::memcpy(copy.get(), data.get(), size);
        WriteBlock(copy.get(), size);
        return;
    }
    WriteBlock(body.size ? body.data.get() : reinterpret_cast<const u8*>(""), body.size);
}
