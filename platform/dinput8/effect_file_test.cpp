#include "platform/dinput8/effect_file.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

effect_record_c Periodic()
{
    effect_record_c record;
    record.type = GUID_Sine;
    record.name = "engine hum";
    record.effect.dwFlags = DIEFF_POLAR | DIEFF_OBJECTOFFSETS;
    record.effect.dwDuration = 750000;
    record.effect.dwSamplePeriod = 1000;
    record.effect.dwGain = 8000;
    record.effect.dwTriggerButton = 0xFFFFFFFF;
    record.effect.dwTriggerRepeatInterval = 5;
    record.effect.dwStartDelay = 250;
    record.axes = {0, 4};
    record.directions = {9000, 0};
    record.hasEnvelope = true;
    record.envelope.dwAttackLevel = 100;
    record.envelope.dwAttackTime = 200;
    record.envelope.dwFadeLevel = 300;
    record.envelope.dwFadeTime = 400;
    DIPERIODIC periodic{5000, -20, 9000, 20000};
    const u8* bytes = reinterpret_cast<const u8*>(&periodic);
    record.typeSpecific.assign(bytes, bytes + sizeof periodic);
    return record;
}

effect_record_c Spring()
{
    effect_record_c record;
    record.type = GUID_Spring;
    record.name = "centre";
    record.effect.dwDuration = INFINITE_DURATION;
    record.axes = {0};
    record.typeSpecific.assign(sizeof(DICONDITION), 7);
    return record;
}

TEST(EffectFileTest, RecordsSurviveAWriteAndRead)
{
    const std::vector<u8> bytes = effect_file_c::Write({Periodic(), Spring()});
    std::vector<effect_record_c> records;
    ASSERT_EQ(effect_file_c::Read(bytes.data(), bytes.size(), records), DI_OK);
    ASSERT_EQ(records.size(), 2u);
    const effect_record_c& r = records[0];
    EXPECT_TRUE(r.type == GUID_Sine);
    EXPECT_EQ(r.name, "engine hum");
    EXPECT_EQ(r.effect.dwDuration, 750000u);
    EXPECT_EQ(r.effect.dwStartDelay, 250u);
    EXPECT_EQ(r.effect.dwTriggerRepeatInterval, 5u);
    EXPECT_EQ(r.axes, (std::vector<DWORD>{0, 4}));
    EXPECT_EQ(r.directions, (std::vector<LONG>{9000, 0}));
    EXPECT_EQ(r.envelope.dwFadeTime, 400u);
    EXPECT_EQ(r.typeSpecific, Periodic().typeSpecific);
    // The DIEFFECT the callback sees points into the record.
    effect_record_c copy = records[0];
    const DIFILEEFFECT file = copy.GetFileEffect();
    EXPECT_STREQ(file.szFriendlyName, "engine hum");
    ASSERT_EQ(file.lpDiEffect->cAxes, 2u);
    EXPECT_EQ(file.lpDiEffect->rglDirection[0], 9000);
    EXPECT_EQ(file.lpDiEffect->lpEnvelope->dwAttackTime, 200u);
    EXPECT_EQ(file.lpDiEffect->cbTypeSpecificParams, sizeof(DIPERIODIC));
    EXPECT_EQ(static_cast<const DIPERIODIC*>(file.lpDiEffect->lpvTypeSpecificParams)->dwPeriod, 20000u);
    EXPECT_EQ(records[1].directions, std::vector<LONG>{0});
    EXPECT_EQ(records[1].effect.lpEnvelope, nullptr);
}

// Offsets into the file of one Periodic record.
constexpr size_t list_size_at = 16, first_record_chunk = 24;

TEST(EffectFileTest, DamagedFilesAreRefusedWithoutReadingPastTheirEnd)
{
    const std::vector<u8> good = effect_file_c::Write({Periodic()});
    auto patched = [&](size_t _at, u32 _value) {
        std::vector<u8> bytes = good;
        std::memcpy(bytes.data() + _at, &_value, 4);
        return bytes;
    };
    auto findChunk = [&](const char* _tag) {
        for (size_t i = first_record_chunk; i + 4 <= good.size(); ++i)
            if (std::memcmp(good.data() + i, _tag, 4) == 0)
                return i;
        return size_t{0};
    };
    const std::pair<const char*, std::vector<u8>> cases[] = {
        {"not RIFF", patched(0, 0x46464952 + 1)},
        {"not an effect form", patched(8, 0x41414141)},
        {"list size past the file", patched(list_size_at, 0xFFFFFFF0u)},
        {"chunk size past its list", patched(findChunk("name") + 4, 5000)},
        {"wrong GUID size", patched(findChunk("id  ") + 4, 8)},
        {"wrong data size", patched(findChunk("data") + 4, 24)},
        {"axes not whole", patched(findChunk("axes") + 4, 6)},
        {"wrong type-specific size", patched(findChunk("tspc") + 4, 12)},
        {"directions and axes differ", patched(findChunk("dirs") + 4, 4)},
        {"cut short", std::vector<u8>(good.begin(), good.end() - 7)},
        {"header only", std::vector<u8>(good.begin(), good.begin() + 10)},
    };
    for (const auto& [what, bytes] : cases) {
        std::vector<effect_record_c> records;
        EXPECT_EQ(effect_file_c::Read(bytes.data(), bytes.size(), records), DIERR_INVALIDPARAM) << what;
        EXPECT_TRUE(records.empty()) << what;
    }
}

TEST(EffectFileTest, MissingFileIsNotFound)
{
    std::vector<effect_record_c> records;
    EXPECT_EQ(effect_file_c::ReadFile("no such folder\\none.ffe", records), DIERR_NOTFOUND);
}

} // namespace
