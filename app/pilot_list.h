#pragma once
// pilot_list_c: every pilot profile, newest first, and the name of the
// current pilot, kept under the program's registry key as
//   "players cnt"     DWORD   number of profiles
//   "player size"     DWORD   bytes of one record (376 when we write)
//   "players data"    BINARY  the records back to back, in list order
//   "current player"  SZ      the current pilot's name ("" for none)
//
// Save writes all four, the records first, so that deleting pilots or
// leaving none current is kept like any other change. Each value is replaced
// atomically on its own; a save cut short between them leaves "players data"
// whole, old or new, and the stored count may then be stale. So Load takes
// the number of records from the length of "players data", which must be a
// whole number of records, and not from the count.
//
// Load refuses, leaving the list empty: a missing count, a record size below
// the name field or above kMaxStoredRecordSize, and data that is not a whole
// number of records. A record whose name has no NUL in its field is skipped.
// A stored record shorter than ours keeps our defaults in its tail; a longer
// one gives its first 376 bytes.
#include <memory>
#include <vector>

#include "app/pilot_profile.h"
#include "foundation/text_string.h"

class application_c;

class pilot_list_c {
public:
    static constexpr u32 kMaxStoredRecordSize = 64 * 1024;
    // The pilot name that creates a fully unlocked profile.
    static constexpr char kUnlockName[] = "Quillo!";

    pilot_list_c() = default;
    pilot_list_c(const pilot_list_c&) = delete;
    pilot_list_c& operator=(const pilot_list_c&) = delete;

    // The application whose career list the unlock mode reads.
    void SetApplication(application_c* _application) { application = _application; }

    // Replaces the list and the current name with the stored ones.
    void Load();
    // False when a value could not be written.
    bool Save() const;
    // Replaces the profiles with stored records of _size bytes each (the
    // rules of Load); false, with the list empty, when they are refused.
    bool ReadRecords(u32 _size, const u8* _data, size_t _bytes);

    // The profile named as the current pilot, or null.
    pilot_profile_c* GetCurrent() const;
    // The first profile of that name (letter case ignored), or null.
    pilot_profile_c* Find(const string_c& _name) const;
    // Selects the pilot of that name, or creates one at the front of the
    // list and selects it; the flag sets the creation bit of its progress.
    // A name longer than 31 characters is cut to 31. The unlock name fills
    // the new profile as fully unlocked and saves the list.
    void Create(const string_c& _name, bool _flag);
    // Deletes the first profile of that name; when it was the current pilot,
    // none is current.
    void Remove(const string_c& _name);

    const string_c& GetCurrentName() const { return current_name; }
    void SetCurrentName(const string_c& _name) { current_name = _name; }
    size_t GetCount() const { return profiles.size(); }
    pilot_profile_c* Get(size_t _index) const { return profiles[_index].get(); }

private:
    // Career flags, distinctions and rank of every mission of the first 20
    // of the career list that exist.
    void Unlock(pilot_profile_c& _profile) const;

    std::vector<std::unique_ptr<pilot_profile_c>> profiles;
    string_c current_name;
    application_c* application = nullptr;
};
