#include "app/application.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/testing/app_doubles.h"
#include "engine/renderer.h"
#include "engine/testing/memory_file_system.h"
#include "foundation/file_error.h"
#include "foundation/registry.h"
#include "platform/win32/testing/temporary_config_home.h"

namespace {

using namespace app_testing;

std::vector<u8> Text(const std::string& _text)
{
    return {_text.begin(), _text.end()};
}

class Application : public ::testing::Test {
protected:
    Application() : devices(log), application(&devices)
    {
        files.Add(kCareerMissionsFile, Text("add_mission path=c\\ script=s map=m objectives=o briefing=b "
                                            "distinction_primary=0 distinction_secondary=1\n"));
        files.Add(kMultiplayerMissionsFile, Text("add_mission path=mp\\ script=s map=m\n"
                                                 "add_mission path=mp2\\ script=s map=m\n"));
        files.Add(kTrainingMissionsFile, Text(""));
        files.Add(kPlanesFile, Text("add_plane fname=a.txt\n"));
        files.Add(kInGameTextsFile, Text("one\ntwo\n"));
    }

    void StoreOptions(const options_record_s& _record)
    {
        registry_writer_c writer(HKEY_CURRENT_USER, RegistryKeyPath(kRegistryCompany, kRegistryProduct).c_str());
        ASSERT_TRUE(writer.SetBinary("OPTIONS", &_record, sizeof _record));
    }

    temporary_config_home_c home;
    memory_file_system_c files;
    event_log_t log;
    logged_devices_c devices;
    application_c application;
};

TEST_F(Application, StartsWithTheSetUpDefaults)
{
    EXPECT_EQ(application.game_type, 2);
    EXPECT_EQ(application.mission_number, 1);
    EXPECT_EQ(application.outro_pending, 0);
    EXPECT_EQ(application.GetRenderer(), nullptr);
    EXPECT_EQ(application.options->GetApplication(), &application);
}

TEST_F(Application, InitMakesEverythingInOrder)
{
    {
        pilot_list_c stored;
        stored.Create("Anna", false);
        ASSERT_TRUE(stored.Save());
    }
    application.Init(nullptr, nullptr);
    EXPECT_EQ(log,
              (event_log_t{"renderer 1280x1024x32", "input", "bindings from settings Kestrova\\Skyvarn controllers 100",
                           "mouse 950.000000", "network"}));
    EXPECT_FLOAT_EQ(application.GetRenderer()->GetGamma(), 1.0f);
    EXPECT_EQ(application.career_missions.size(), 1u);
    EXPECT_EQ(application.multiplayer_missions.size(), 2u);
    EXPECT_TRUE(application.training_missions.empty());
    EXPECT_EQ(application.planes.size(), 1u);
    EXPECT_EQ(application.in_game_texts.size(), 2u);
    EXPECT_STREQ(application.pilots.GetCurrentName(), "Anna");
    EXPECT_NE(application.GetNetManager(), nullptr);
}

TEST_F(Application, BindingsMissingFromTheSettingsComeFromTheDefaultFile)
{
    devices.bindings_stored = false;
    StoreOptions({1, 1, 1.0f, 1.0f, 1, 0, 0, 800, 600, 16});
    application.Init(nullptr, nullptr);
    EXPECT_EQ(log,
              (event_log_t{"renderer 800x600x16", "input", "bindings from settings Kestrova\\Skyvarn controllers 100",
                           "bindings from actions.accfg", "bindings stored Kestrova\\Skyvarn controllers 100",
                           "mouse 150.000000", "network"}));
    EXPECT_FLOAT_EQ(application.GetRenderer()->GetGamma(), 2.0f);
}

TEST_F(Application, MissingListFileStopsInitWithItsName)
{
    files.files.erase(kPlanesFile);
    try {
        application.Init(nullptr, nullptr);
        FAIL() << "no error";
    } catch (const file_error_c& e) {
        EXPECT_NE(std::string(e.GetFileName().GetData()).find("planes"), std::string::npos);
    }
}

// A stored mode the display cannot show must not keep the program from
// starting: the desktop's mode is used and kept.
TEST_F(Application, RefusedDisplayModeFallsBackToTheDesktop)
{
    StoreOptions({1, 1, 0.5f, 0.0f, 1, 0, 0, 320, 200, 16});
    devices.refused_modes.insert("320x200x16");
    application.Init(nullptr, nullptr);
    EXPECT_EQ(log[0], "renderer refused 320x200x16");
    EXPECT_EQ(log[1], "renderer 1280x1024x32");
    EXPECT_FLOAT_EQ(application.GetRenderer()->GetGamma(), 0.5f);
    options_c stored;
    stored.Load();
    EXPECT_EQ(stored.width, 1280);
    EXPECT_EQ(stored.height, 1024);
    EXPECT_EQ(stored.bpp, 32);
}

TEST_F(Application, DesktopModeFailureIsNotHidden)
{
    devices.refused_modes.insert("1280x1024x32");
    EXPECT_THROW(application.Init(nullptr, nullptr), std::runtime_error);
}

// The gamma option holds for every renderer, not only the first.
TEST_F(Application, RemadeRenderersKeepTheGamma)
{
    StoreOptions({1, 1, 0.5f, 1.0f, 1, 0, 0, 640, 480, 32});
    application.Init(nullptr, nullptr);
    const display_mode_s mode = {800, 600, 32, 0};
    application.RecreateRenderer(&mode);
    EXPECT_FLOAT_EQ(application.GetRenderer()->GetGamma(), 2.0f);

    application.outro_pending = 1;
    log.clear();
    application.PlayPendingOutro();
    EXPECT_EQ(log, (event_log_t{"renderer deleted 800x600x32", "outro", "renderer 640x480x32"}));
    EXPECT_FLOAT_EQ(application.GetRenderer()->GetGamma(), 2.0f);
    EXPECT_EQ(application.outro_pending, 0);
    log.clear();
    application.PlayPendingOutro();
    EXPECT_TRUE(log.empty());
}

TEST_F(Application, SoundDeviceIsGoneOnceDeleted)
{
    application.CreateSoundDevice();
    ASSERT_NE(application.GetSoundDevice(), nullptr);
    application.DeleteSoundDevice();
    EXPECT_EQ(application.GetSoundDevice(), nullptr);
    // A failing outro between the two leaves no device to delete twice.
    struct failing_devices_c : logged_devices_c {
        using logged_devices_c::logged_devices_c;
        void PlayOutro(HWND) override { throw std::runtime_error("no clips"); }
    } failing(log);
    application_c other(&failing);
    other.CreateSoundDevice();
    other.outro_pending = 1;
    EXPECT_THROW(other.BetweenStates(), std::runtime_error);
    EXPECT_EQ(other.GetSoundDevice(), nullptr);
    log.clear();
    other.Shutdown();
    EXPECT_TRUE(std::find(log.begin(), log.end(), "sound deleted") == log.end());
}

TEST_F(Application, ShutdownDeletesTheDevicesInOrder)
{
    application.Init(nullptr, nullptr);
    application.CreateSoundDevice();
    log.clear();
    application.Shutdown();
    EXPECT_EQ(log, (event_log_t{"renderer deleted 1280x1024x32", "sound deleted"}));
    EXPECT_EQ(application.GetNetManager(), nullptr);
    EXPECT_EQ(application.GetControllers(), nullptr);
    application.Shutdown();
}

TEST_F(Application, ClearGameSetupClearsTheNineWords)
{
    application.game_type = 3;
    application.mp_game_mode = 1;
    application.mp_game_time = 15;
    application.mp_limit_mode = 2;
    application.mp_allied_planes = 4;
    application.mp_german_planes = 5;
    application.mission_number = 6;
    application.primary_reached = 1;
    application.secondary_reached = 1;
    application.mp_flag = 1;
    application.ClearGameSetup();
    EXPECT_EQ(application.game_type, 0);
    EXPECT_EQ(application.mp_game_mode, 0);
    EXPECT_EQ(application.mp_game_time, 0);
    EXPECT_EQ(application.mp_limit_mode, 0);
    EXPECT_EQ(application.mp_allied_planes, 0);
    EXPECT_EQ(application.mp_german_planes, 0);
    EXPECT_EQ(application.mission_number, 0);
    EXPECT_EQ(application.primary_reached, 0);
    EXPECT_EQ(application.secondary_reached, 0);
    EXPECT_EQ(application.mp_flag, 1);
}

} // namespace
