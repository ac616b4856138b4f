#pragma once
// pilot_profile_c: one player's career, a 376-byte record stored byte for
// byte among the pilot profiles in the settings. Layout, little-endian:
//     0  32  name, NUL-terminated (at most 31 characters)
//    32   4  progress: bit 31 the flag given at creation (the difficulty);
//            bits 0-30 the number of rank-raising career missions done
//    36  32  distinctions: 8 counters, by the distinction numbers 0-7 of the
//            mission records
//    68   4  unlock_level: the training progress, the number of the last
//            training mission completed (the unlock mode sets 4)
//    72  80  missions_done: one flag per career mission, 20
//   152 160  mission_results: {primary, secondary} distinction earned, 20
//   312   4  selected_plane: entry of the application's plane list, from 1
//   316  60  reserved
#include <bit>

#include "foundation/text_string.h"
#include "foundation/types.h"

class pilot_profile_c {
public:
    static constexpr u32 kRecordSize = 376;
    static constexpr u32 kNameSize = 32;
    static constexpr u32 kMaxNameLength = kNameSize - 1;
    static constexpr u32 kDistinctionCount = 8;
    static constexpr u32 kCareerMissionCount = 20;
    static constexpr u32 kCreationFlag = 0x80000000u;

    // Zeroed, selected plane 1.
    pilot_profile_c();

    // The name; at most kMaxNameLength characters are kept.
    void SetName(const char* _name);
    const char* GetName() const { return name; }
    // The low 31 bits of progress.
    u32 GetRank() const { return progress & ~kCreationFlag; }
    // Sets the low 31 bits, keeping the creation flag.
    void SetRank(u32 _rank) { progress = (progress & kCreationFlag) | (_rank & ~kCreationFlag); }
    bool HasCreationFlag() const { return (progress & kCreationFlag) != 0; }

    // The stored bytes.
    const u8* GetRecord() const { return reinterpret_cast<const u8*>(this); }
    // Copies the first min(size, kRecordSize) bytes of a stored record over
    // the defaults. False, with the defaults kept, when the name has no NUL
    // inside the bytes given or its field.
    bool FromRecord(const u8* _bytes, u32 _size);

    char name[kNameSize];
    u32 progress;
    u32 distinctions[kDistinctionCount];
    u32 unlock_level;
    u32 missions_done[kCareerMissionCount];
    u32 mission_results[kCareerMissionCount][2];
    u32 selected_plane;
    u32 reserved[15];
};

static_assert(sizeof(pilot_profile_c) == pilot_profile_c::kRecordSize);
static_assert(std::endian::native == std::endian::little, "the stored records are little-endian");
