#pragma once
// CChunkSaver: the two-way serializer of the level description's chunk files.
//
// A file is a tree of items; each item is a 4-byte tag, a u32 little-endian
// payload size and the payload. A chunk's payload is a sequence of items, a
// leaf's payload is raw bytes. No header, no padding between items.
//
// One serialization routine runs in both directions: in write mode every call
// emits an item, in read mode the same call finds the item by tag inside the
// innermost open chunk and fills the caller's variable. Items the reader does
// not ask for are stepped over; items it asks for that are absent leave the
// caller's value as it was. Every routine follows one pattern:
//
//   if (saver.Begin("objt")) { saver.LeafData(...); ... }
//   saver.End();                     // always, whether Begin succeeded or not
//
// Reading checks the file as it goes: an item whose size runs past its parent
// chunk (or the data), a truncated item header, a string leaf without its
// zero byte, a typed leaf of the wrong size and nesting deeper than
// max_levels throw file_error_c naming the file. Nothing is read out of bounds.
#include "foundation/types.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"
#include "foundation/text_string.h"
#include "foundation/vector_math.h"

#include <memory>
#include <string>
#include <vector>

class CChunkSaver {
public:
    enum mode_e : u32 { mode_write = 0, mode_read = 1, mode_closed = 2 };
    static constexpr int max_levels = 63;

    CChunkSaver();
    ~CChunkSaver();
    CChunkSaver(const CChunkSaver&) = delete;
    CChunkSaver& operator=(const CChunkSaver&) = delete;

    // Mode 0: collects the file in memory; Close writes it through the current
    // file writer. Mode 1: loads the whole file through the current file
    // system (archives searched). Returns false when loading fails with
    // file_error_c. Any other mode throws std::invalid_argument.
    bool Open(int _mode, const char* _file_name);
    // Mode 0: a nameless writer in memory; take the bytes with
    // GetWrittenBytes() (or GetWriter()) before Close. Mode 1: reads the caller's buffer in place; it must live
    // until Close. A null buffer or a size of 0 throws file_error_c
    // ("CChunkSaver", "Invalid buffer.") in either mode. _name, when given,
    // is the name read errors carry (a registry value, say).
    bool OpenBuffer(int _mode, void* _buffer, u32 _size, const char* _name = nullptr);
    // Write mode: a named writer stores its file now, through the current
    // file writer (failures throw file_error_c); the saver is closed in every
    // case. Destroying an open saver stores the file too, but only Close
    // reports a failure.
    void Close();

    // Opens a chunk: always true in write mode; in read mode true when the
    // chunk was found inside the innermost open one. A chunk that is absent,
    // or asked for below an absent one, still takes a level, so every End
    // closes the level of its own Begin. More than max_levels open levels
    // throw file_error_c; End with none open throws std::logic_error.
    bool Begin(const char* _tag);
    // Read mode: moves to the end of the chunk, stepping over what was not
    // read. Write mode: stores the chunk's size in its header.
    void End();

    // Raw bytes. Reading fills min(stored size, _size) bytes, so a longer
    // stored leaf fills only the caller's bytes and a shorter one only its own.
    void LeafData(const char* _tag, void* _data, u32 _size);
    // Strings are stored with their zero byte; reading takes the text up to
    // the first zero byte.
    void LeafStdString(const char* _tag, std::string& _text);
    void LeafString(const char* _tag, string_c& _text);

    // Typed leaves: reading insists that the stored size is the type's size.
    void LeafU32(const char* _tag, u32& _value);
    void LeafInt(const char* _tag, i32& _value);
    void LeafFloat(const char* _tag, f32& _value);
    void LeafBool(const char* _tag, bool& _value); // one byte, 0 or 1
    void LeafByte(const char* _tag, u8& _value);
    void LeafVector(const char* _tag, vec3_c& _value); // three floats

    // Read mode: how many items with this tag the innermost open chunk (or the
    // top level) holds; 0 in other modes or below a missing chunk. Callers
    // check a stored count against it before reading a list, since a search
    // from the chunk's start finds the first of repeated items again.
    u32 CountItems(const char* _tag);

    // Payload of the innermost open chunk as raw bytes, for engine streams
    // that this library passes through. Write mode appends _bytes at the
    // current position; read mode replaces _bytes with the chunk's payload
    // from the current position to its end (nothing happens when the chunk
    // is missing or no chunk is open).
    void Payload(std::vector<u8>& _bytes);
    // Read mode: makes _view a view of the rest of the innermost open chunk's
    // payload for an engine reader, and returns true;
    // false, with _view untouched, when no chunk is open or it is missing.
    // The view lives as long as the saver's data. End steps over whatever the
    // reader did not consume.
    bool PayloadView(input_file_c& _view);

    // Position in the data, for classes that write or read their own streams
    // straight into a chunk's payload. Origin 0 start, 1 current, 2 end.
    u32 Tell() const;
    u32 Seek(long _offset, int _origin);

    // Throws file_error_c with this saver's file name and _message.
    [[noreturn]] void Error(const char* _message) const;

    int GetMode() const { return static_cast<int>(mode); }
    bool IsReading() const { return mode == mode_read; }
    bool IsWriting() const { return mode == mode_write; }
    int GetDepth() const { return depth; }
    u32 GetFoundSize() const { return foundSize; }
    const string_c& GetFileName() const { return fileName; }
    output_file_c* GetWriter() const { return writer.get(); }
    // Write mode: a copy of the bytes written so far; empty otherwise.
    std::vector<u8> GetWrittenBytes() const;
    input_file_c* GetReader() const { return reader.get(); }

protected:
    enum op_e { op_begin = 0, op_end = 1, op_leaf = 2 };
    enum kind_e { kind_raw = 0, kind_std_string = 1, kind_string = 2, kind_exact = 3 };
    // The one core operation behind Begin, End and every leaf. kind_exact is
    // raw bytes whose stored size must equal _size.
    bool Process(int _op, const char* _tag, u32 _size, void* _data, int _kind);

private:
    struct level_c {
        u32 start = 0;
        u8 missing = 0;
        u32 length = 0;
    };

    bool ProcessWrite(int _op, const u8 _tag[4], u32 _size, void* _data, int _kind);
    bool ProcessRead(int _op, const u8 _tag[4], u32 _size, void* _data, int _kind);
    void PushLevel(u32 _start, u8 _missing, u32 _length);
    bool InnermostMissing() const;
    bool FindChunk(const u8 _tag[4]);
    // Visits the items of the innermost range in order, checking each one's
    // header and size; stops when _visit returns true (and returns true).
    template <class visit_t>
    bool WalkRange(visit_t _visit);
    void ReadRange(u64& _begin, u64& _end) const;
    void WriteBytes(const void* _data, u32 _size);
    void WriteU32(u32 _value);

    mode_e mode = mode_closed;
    level_c levels[max_levels];
    int depth = -1;
    u32 foundSize = 0;
    std::unique_ptr<output_file_c> writer;
    std::unique_ptr<input_file_c> reader;
    string_c fileName;
};
