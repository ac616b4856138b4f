#include "app/pilot_list.h"

#include <algorithm>

#include "app/application.h"
#include "foundation/registry.h"

namespace {

constexpr char kCount[] = "players cnt";
constexpr char kSize[] = "player size";
constexpr char kData[] = "players data";
constexpr char kCurrent[] = "current player";
constexpr u32 kMaxCurrentLength = 64;

std::string KeyPath()
{
    return RegistryKeyPath(kRegistryCompany, kRegistryProduct);
}

// A reader that can also tell the stored size of a binary value.
class profile_reader_c : public registry_reader_c {
public:
    using registry_reader_c::registry_reader_c;

    // The stored bytes of a REG_BINARY value; false when there is none.
    bool GetBinaryBytes(const char* _name, std::vector<u8>& _bytes) const
    {
        _bytes.clear();
        u32 type = 0;
        u32 size = 0;
        if (!_key || RegQueryValueExA(_key, _name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            type != REG_BINARY)
            return false;
        _bytes.resize(size);
        return size == 0 || GetBinary(_name, _bytes.data(), size);
    }
};

} // namespace

void pilot_list_c::Load()
{
    profiles.clear();
    current_name.Clear();
    const profile_reader_c reader(HKEY_CURRENT_USER, KeyPath().c_str());
    u32 count = 0;
    u32 size = 0;
    std::vector<u8> data;
    if (!reader.GetDword(kCount, &count) || !reader.GetDword(kSize, &size) || !reader.GetBinaryBytes(kData, data) ||
        !ReadRecords(size, data.data(), data.size()))
        return;
    char current[kMaxCurrentLength + 1];
    if (reader.GetString(kCurrent, current, kMaxCurrentLength))
        current_name = current;
}

bool pilot_list_c::ReadRecords(u32 _size, const u8* _data, size_t _bytes)
{
    profiles.clear();
    if (_size < pilot_profile_c::kNameSize || _size > kMaxStoredRecordSize || _bytes % _size != 0)
        return false;
    for (size_t at = 0; at < _bytes; at += _size) {
        auto profile = std::make_unique<pilot_profile_c>();
        if (profile->FromRecord(_data + at, _size))
            profiles.push_back(std::move(profile));
    }
    return true;
}

bool pilot_list_c::Save() const
{
    std::vector<u8> data;
    data.reserve(profiles.size() * pilot_profile_c::kRecordSize);
    for (const auto& profile : profiles)
        data.insert(data.end(), profile->GetRecord(), profile->GetRecord() + pilot_profile_c::kRecordSize);
    registry_writer_c writer(HKEY_CURRENT_USER, KeyPath().c_str());
    const u8 none = 0;
    bool ok = writer.SetBinary(kData, data.empty() ? &none : data.data(), static_cast<u32>(data.size()));
    ok = writer.SetDword(kCount, static_cast<u32>(profiles.size())) && ok;
    ok = writer.SetDword(kSize, pilot_profile_c::kRecordSize) && ok;
    return writer.SetString(kCurrent, current_name.GetData()) && ok;
}

pilot_profile_c* pilot_list_c::GetCurrent() const
{
    return Find(current_name);
}

pilot_profile_c* pilot_list_c::Find(const string_c& _name) const
{
    for (const auto& profile : profiles)
        if (_name == profile->GetName())
            return profile.get();
    return nullptr;
}

void pilot_list_c::Create(const string_c& _name, bool _flag)
{
    pilot_profile_c probe;
    probe.SetName(_name.GetData());
    if (const pilot_profile_c* existing = Find(probe.GetName())) {
        current_name = existing->GetName();
        return;
    }
    auto profile = std::make_unique<pilot_profile_c>(probe);
    if (_flag)
        profile->progress |= pilot_profile_c::kCreationFlag;
    current_name = profile->GetName();
    pilot_profile_c& created = *profile;
    profiles.insert(profiles.begin(), std::move(profile));
    if (current_name == kUnlockName) {
        Unlock(created);
        Save();
    }
}

void pilot_list_c::Remove(const string_c& _name)
{
    const auto it = std::find_if(profiles.begin(), profiles.end(),
                                 [&](const auto& profile) { return _name == profile->GetName(); });
    if (it == profiles.end())
        return;
    if (current_name == (*it)->GetName())
        current_name.Clear();
    profiles.erase(it);
}

void pilot_list_c::Unlock(pilot_profile_c& _profile) const
{
    _profile.unlock_level = 4;
    for (u32 i = 0; i < pilot_profile_c::kCareerMissionCount; ++i) {
        _profile.missions_done[i] = 1;
        _profile.mission_results[i][0] = 1;
        _profile.mission_results[i][1] = 1;
    }
    std::fill(std::begin(_profile.distinctions), std::end(_profile.distinctions), 0u);
    u32 rank = 0;
    if (application) {
        const auto& career = application->career_missions;
        const size_t n = std::min<size_t>(career.size(), pilot_profile_c::kCareerMissionCount);
        for (size_t i = 0; i < n; ++i) {
            // Distinction numbers outside the eight counters (-1 is none)
            // count nothing.
            for (i32 d : {career[i].distinction_primary, career[i].distinction_secondary})
                if (d >= 0 && d < static_cast<i32>(pilot_profile_c::kDistinctionCount))
                    ++_profile.distinctions[d];
            if (career[i].increse_rank != 0)
                ++rank;
        }
    }
    _profile.SetRank(rank);
}
