#pragma once
// Whole files held in memory. input_file_c reads typed values from a file
// loaded whole through the current file system (or from a view of memory);
// output_file_c collects a file in a growable buffer and hands it to the
// current file_writer_c.
//
// Layout rules shared by both, offsets from the start of the file:
//   u8      at the position
//   u32     (every 32-bit value, floats as their bits) at the position
//           rounded up to a multiple of 4; skipped bytes are zero padding
//   u16     only as an aligned peek, rounded up to a multiple of 2
//   string  u32 length, then the bytes and a NUL; length 0 has no NUL
//   block   u32 length, then the raw bytes
//
// Reads never throw: a value that does not fit before the end leaves the
// destination and the position as they were, so callers detect truncation by
// the position or with GetAlignedPointer32 before reading.
#include <memory>

#include "foundation/path.h"
#include "foundation/text_string.h"
#include "foundation/types.h"

class input_file_c {
public:
    input_file_c();
    // A view of memory owned elsewhere; null or size 0 gives an empty file.
    input_file_c(const void* data, u32 size);
    // Loads the named file whole; file_error_c of the file system propagates.
    explicit input_file_c(const char* name);
    // Copies the bytes into a buffer of its own.
    input_file_c(const input_file_c& other);
    input_file_c(input_file_c&& other) noexcept;
    input_file_c& operator=(input_file_c&& other) noexcept;
    input_file_c& operator=(const input_file_c&) = delete;
    ~input_file_c();

    // data + position when at least one byte remains, else null.
    const u8* GetPointer() const;
    // The position rounded up to 2 (or 4) when 2 (or 4) bytes fit there, else
    // null; the position does not move.
    const u8* GetAlignedPointer16() const;
    const u8* GetAlignedPointer32() const;

    void ReadU8(u8& value);
    void ReadU32(u32& value);
    void ReadF32(f32& value);
    // A length that runs past the end leaves s unchanged and the position just
    // past the length field.
    void ReadString(string_c& s);
    // Makes target a view of the next block (valid while this file lives); the
    // target takes this file's name even when the block does not fit.
    void ReadBlock(input_file_c& target);
    // origin 0 start, 1 position, 2 end (others as 0); clamped to [0, size].
    void Seek(long offset, int origin);

    const char* GetName() const { return name; }
    const path_c& GetPath() const { return name; }
    const u8* GetData() const { return data; }
    u32 GetPosition() const { return position; }
    u32 GetSize() const { return size; }
    bool IsAtEnd() const { return position >= size; }

private:
    void Reset();
    // Where a value of width w would be read, or -1 when it does not fit.
    i64 Place(u32 width) const;

    path_c name;
    const u8* data;
    u32 position;
    u32 size;
    std::unique_ptr<u8[]> owned;
};

class output_file_c {
public:
    // Unnamed: never stored (a body later embedded with WriteBlock).
    output_file_c();
    // Stored under path_c(name) by Commit or, failing that, at destruction.
    explicit output_file_c(const char* name);
    output_file_c(const output_file_c&) = delete;
    output_file_c& operator=(const output_file_c&) = delete;
    // Stores a named file not yet committed. A failure here cannot be thrown
    // and goes to stderr; owners that must know call Commit. A file whose
    // writing is cut short by an exception is never stored, so a half-built
    // file cannot replace a good one.
    ~output_file_c();

    // Hands the bytes to the current file_writer_c now; its file_error_c
    // propagates. Writes after a commit make the file pending again.
    void Commit();

    // data + position when at least one byte lies before size, else null.
    u8* GetPointer();
    // As input_file_c::Seek, but a result past the size grows the file to it
    // with zeros. Returns the new position.
    u32 Seek(long offset, int origin);

    void WriteU8(u8 value);
    void WriteU32(u32 value);
    void WriteF32(f32 value);
    // A null text writes length 0.
    void WriteString(const char* text, u32 length);
    // The length is taken with strlen of the text.
    void WriteString(const string_c& text);
    // A null pointer writes length 0.
    void WriteBlock(const void* bytes, u32 length);
    // The bytes as they are at the position: no length, no alignment.
    void WriteRaw(const void* bytes, u32 count);
    // Embeds another buffer's bytes as a block.
    void WriteBlock(const output_file_c& body);

    const char* GetName() const { return name; }
    const u8* GetData() const { return data.get(); }
    u32 GetPosition() const { return position; }
    u32 GetSize() const { return size; }
    u32 GetCapacity() const { return capacity; }

private:
    void Grow(u64 end);
    void Put(u64 at, const void* bytes, u32 count);
    u64 Aligned4() const;

    path_c name;
    // Held through malloc so that growing can use realloc, which moves a large
    // buffer's pages instead of copying them.
    struct free_c {
        void operator()(u8* bytes) const;
    };
    std::unique_ptr<u8, free_c> data;
    u32 position;
    u32 size;
    u32 capacity;
    bool pending;
    int exceptionsAtBirth;
};
