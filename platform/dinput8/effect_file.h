#pragma once
// Force-feedback effect files: a RIFF file of effect records, read by
// EnumEffectsInFile and written by tools and tests.
//
//   "RIFF" u32 size "FORC"
//     "LIST" u32 size "efct"           one per effect, in file order
//       "ver " 4   u32 record version, 1
//       "name" n   friendly name, zero-terminated, at most 259 characters
//       "id  " 16  effect type GUID (GUID_ConstantForce, GUID_Sine, ...)
//       "data" 28  u32 flags, duration, sample period, gain, trigger
//                  button, trigger repeat interval, start delay
//       "axes" 4n  u32 axis of each of the n axes (at most 32)
//       "dirs" 4n  optional: i32 direction per axis, same n as "axes";
//                  without it every direction is 0
//       "envl" 16  optional: u32 attack level, attack time, fade level,
//                  fade time
//       "tspc" m   type-specific record: DICONSTANTFORCE (4),
//                  DIRAMPFORCE (8), DIPERIODIC (16), DICONDITION (24 per
//                  axis, or one for all); other types up to 4096 bytes
// All numbers are little-endian; a chunk's data is padded to an even size.
// Chunks a record does not know are stepped over; "id  " and "data" are
// required.
//
// Reading checks every length against its parent before use and never reads
// past the data: a damaged chunk ends the reading with what came before it.
#include <string>
#include <vector>

#include "platform/dinput8/dinput8.h"

// One effect with the storage its DIEFFECT points into.
class effect_record_c {
public:
    effect_record_c() = default;
    effect_record_c(const effect_record_c& _other) { *this = _other; }
    effect_record_c& operator=(const effect_record_c& _other);

    // A DIFILEEFFECT whose pointers lead into this record.
    DIFILEEFFECT GetFileEffect();

    GUID type;
    std::string name;
    DIEFFECT effect;
    std::vector<DWORD> axes;
    std::vector<LONG> directions;
    bool hasEnvelope = false;
    DIENVELOPE envelope;
    std::vector<u8> typeSpecific;

private:
    void Link();
};

class effect_file_c {
public:
    // Reads the records of a whole file's bytes. DI_OK when the file was
    // read to its end; DIERR_INVALIDPARAM when it is not an effect file or
    // is damaged (_records then holds the records before the damage).
    static HRESULT Read(const u8* _data, size_t _size, std::vector<effect_record_c>& _records);
    // Reads a file from disk ('\\' separates folders as '/' does);
    // DIERR_NOTFOUND when it cannot be opened.
    static HRESULT ReadFile(const char* _path, std::vector<effect_record_c>& _records);
    // The bytes of an effect file holding _records.
    static std::vector<u8> Write(const std::vector<effect_record_c>& _records);
};
