#include "input/controllers.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/testing/scratch_folder.h"
#include "input/testing/bindings.h"
#include "input/testing/script_devices.h"
#include "platform/dinput8/effect_file.h"

namespace {

effect_record_c Constant(const char* _name, LONG _magnitude, DWORD _duration)
{
    effect_record_c record;
    record.type = GUID_ConstantForce;
    record.name = _name;
    record.effect.dwDuration = _duration;
    record.effect.dwGain = DI_FFNOMINALMAX;
    record.effect.dwFlags = DIEFF_CARTESIAN | DIEFF_OBJECTOFFSETS;
    record.axes = {0};
    record.directions = {1};
    DICONSTANTFORCE force{_magnitude};
    const u8* bytes = reinterpret_cast<const u8*>(&force);
    record.typeSpecific.assign(bytes, bytes + sizeof force);
    return record;
}

// Effect files are found relative to the working folder.
class EffectsTest : public testing::Test {
protected:
    EffectsTest() : old(std::filesystem::current_path())
    {
        folder.WriteFile("FFEffects/engine.ffe",
                         effect_file_c::Write({Constant("rumble", 5000, 200000), Constant("shake", -3000, 100000)}));
        folder.WriteFile("FFEffects/Gun.ffe", effect_file_c::Write({Constant("recoil", 9000, 50000)}));
        folder.WriteFile("FFEffects/notes.txt", "not an effect");
        std::filesystem::current_path(folder.GetPath());
        keyboard = &AddKeyboard(input);
        stick = &AddStick(input);
        stick->forceFeedback = true;
    }
    ~EffectsTest() override { std::filesystem::current_path(old); }

    std::filesystem::path old;
    scratch_folder_c folder;
    script_input_c input;
    script_input_scope_c scope{input};
    script_device_c* keyboard;
    script_device_c* stick;
};

TEST_F(EffectsTest, EachFileBecomesAGroupAndOnlyTheFirstEffectIsTriedAtLoading)
{
    controllers_c controllers(nullptr);
    input_device_c& device = *controllers.GetDevices().FindDevice(stick_guid);
    ASSERT_EQ(device.GetEffectGroupCount(), 2u);
    EXPECT_STREQ(device.GetEffectGroupName(0).GetData(), "Gun");
    EXPECT_STREQ(device.GetEffectGroupName(1).GetData(), "engine");
    EXPECT_EQ(device.GetEffectCount(0), 1u);
    EXPECT_EQ(device.GetEffectCount(1), 2u);
    ASSERT_EQ(stick->effects.size(), 3u);
    EXPECT_EQ(stick->effects[0].duration, 50000u);
    EXPECT_TRUE(stick->effects[1].type == GUID_ConstantForce);
    const std::vector<std::string> log(stick->log.end() - 2, stick->log.end());
    EXPECT_EQ(log, (std::vector<std::string>{"Start 0 1 1", "Stop 0"}));
    EXPECT_EQ(stick->effects[1].starts + stick->effects[2].starts, 0u);
    // The system keyboard loads nothing.
    EXPECT_EQ(controllers.GetDevices().FindDevice(GUID_SysKeyboard)->GetEffectGroupCount(), 0u);
}

TEST_F(EffectsTest, GroupsStartAndStopByNameWithoutRegardToCase)
{
    controllers_c controllers(nullptr);
    Bind(controllers, {{"stick", stick_guid, stick_x, 0, 0, 0}, {"key", GUID_SysKeyboard, key_a, 0, 0, 0}});
    stick->log.clear();
    controllers.StartEffect(0, "ENGINE");
    EXPECT_EQ(stick->log, (std::vector<std::string>{"Start 1 1 1", "Start 2 1 0"}));
    stick->log.clear();
    controllers.StopEffect(0, "Engine");
    EXPECT_EQ(stick->log, (std::vector<std::string>{"Stop 1", "Stop 2"}));
    stick->log.clear();
    controllers.StartEffect(0, "missing");
    controllers.StartEffect(1, "engine");
    controllers.StartEffect(7, "engine");
    EXPECT_TRUE(stick->log.empty());
}

TEST_F(EffectsTest, DeviceWithoutForceFeedbackGetsEmptyGroups)
{
    stick->forceFeedback = false;
    controllers_c controllers(nullptr);
    input_device_c& device = *controllers.GetDevices().FindDevice(stick_guid);
    ASSERT_EQ(device.GetEffectGroupCount(), 2u);
    EXPECT_EQ(device.GetEffectCount(0), 0u);
    EXPECT_EQ(device.GetEffectCount(1), 0u);
}

TEST_F(EffectsTest, EffectsTheDeviceRefusesAreSkipped)
{
    stick->Fail("CreateEffect", DIERR_GENERIC);
    controllers_c controllers(nullptr);
    input_device_c& device = *controllers.GetDevices().FindDevice(stick_guid);
    EXPECT_EQ(device.GetEffectCount(0), 0u);
    EXPECT_EQ(device.GetEffectCount(1), 2u);
    // The first effect made is the one tried.
    EXPECT_EQ(stick->effects[0].starts, 1u);
    EXPECT_EQ(stick->effects[0].duration, 200000u);
}

TEST_F(EffectsTest, DamagedFileGivesTheEffectsBeforeTheDamage)
{
    std::vector<u8> bytes = effect_file_c::Write({Constant("a", 1, 1), Constant("b", 2, 2)});
    bytes.resize(bytes.size() - 10);
    folder.WriteFile("FFEffects/engine.ffe", bytes);
    controllers_c controllers(nullptr);
    input_device_c& device = *controllers.GetDevices().FindDevice(stick_guid);
    EXPECT_EQ(device.GetEffectCount(1), 1u);
}

TEST_F(EffectsTest, NoFolderLeavesTheListEmpty)
{
    std::filesystem::remove_all(folder.Path("FFEffects"));
    controllers_c controllers(nullptr);
    EXPECT_EQ(controllers.GetDevices().FindDevice(stick_guid)->GetEffectGroupCount(), 0u);
}

} // namespace
