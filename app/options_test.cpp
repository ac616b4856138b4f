#include "app/options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "foundation/registry.h"
#include "platform/win32/testing/temporary_config_home.h"

namespace {

const std::string kKey = RegistryKeyPath(kRegistryCompany, kRegistryProduct);

class Options : public ::testing::Test {
protected:
    Options() { options.SetDesktopSize(1600, 900); }

    void Store(const std::vector<u8>& _bytes)
    {
        registry_writer_c writer(HKEY_CURRENT_USER, kKey.c_str());
        ASSERT_TRUE(writer.SetBinary("OPTIONS", _bytes.data(), static_cast<u32>(_bytes.size())));
    }

    static void ExpectDefaults(const options_c& o, i32 width, i32 height)
    {
        EXPECT_EQ(o.music_volume, 1.0f);
        EXPECT_EQ(o.sound_volume, 1.0f);
        EXPECT_EQ(o.mouse_speed, 0.5f);
        EXPECT_EQ(std::bit_cast<u32>(o.gamma), 0x3EAAAAAAu);
        EXPECT_EQ(o.graphic_detail, 0.7f);
        EXPECT_EQ(o.reserved, 0u);
        EXPECT_EQ(o.FFire, 0);
        EXPECT_EQ(o.width, width);
        EXPECT_EQ(o.height, height);
        EXPECT_EQ(o.bpp, 32);
    }

    temporary_config_home_c home;
    options_c options;
};

TEST_F(Options, MissingValueGivesDefaultsAtTheDesktopSize)
{
    options.Load();
    ExpectDefaults(options, 1600, 900);
    EXPECT_FLOAT_EQ(options.GetRendererGamma(), 1.0f);
    EXPECT_EQ(options.GetMouseSensitivity(), 950.0f);
}

TEST_F(Options, EveryStoredSizeButFortyGivesDefaults)
{
    for (u32 size = 0; size <= 100; ++size) {
        if (size == options_c::kRecordSize)
            continue;
        Store(std::vector<u8>(size, 0x11));
        options.music_volume = 0.25f;
        options.Load();
        ExpectDefaults(options, 1600, 900);
        if (HasFailure()) {
            ADD_FAILURE() << "stored size " << size;
            return;
        }
    }
}

TEST_F(Options, RoundTripThroughTheSettings)
{
    options.music_volume = 0.25f;
    options.sound_volume = 0.5f;
    options.mouse_speed = 0.0f;
    options.gamma = 1.0f;
    options.graphic_detail = 0.05f;
    options.reserved = 0xDEADBEEF;
    options.FFire = 1;
    options.width = 800;
    options.height = 600;
    options.bpp = 16;
    ASSERT_TRUE(options.Save());

    // The stored bytes are the ten little-endian words in order.
    registry_reader_c reader(HKEY_CURRENT_USER, kKey.c_str());
    u8 stored[40];
    ASSERT_TRUE(reader.GetBinary("OPTIONS", stored, 40));
    u32 word = 0;
    std::memcpy(&word, stored + 28, 4);
    EXPECT_EQ(word, 800u);
    std::memcpy(&word, stored + 20, 4);
    EXPECT_EQ(word, 0xDEADBEEFu);

    options_c loaded;
    loaded.SetDesktopSize(1, 1);
    loaded.Load();
    EXPECT_EQ(loaded.music_volume, 0.25f);
    EXPECT_EQ(loaded.sound_volume, 0.5f);
    EXPECT_EQ(loaded.mouse_speed, 0.0f);
    EXPECT_EQ(loaded.gamma, 1.0f);
    EXPECT_EQ(loaded.graphic_detail, 0.05f);
    EXPECT_EQ(loaded.reserved, 0xDEADBEEFu);
    EXPECT_EQ(loaded.FFire, 1);
    EXPECT_EQ(loaded.width, 800);
    EXPECT_EQ(loaded.height, 600);
    EXPECT_EQ(loaded.bpp, 16);
    EXPECT_EQ(loaded.GetMouseSensitivity(), 1750.0f);
    EXPECT_EQ(loaded.GetRendererGamma(), 2.0f);
    const display_mode_s mode = loaded.GetDisplayMode();
    EXPECT_EQ(mode.width, 800u);
    EXPECT_EQ(mode.bpp, 16u);
    EXPECT_EQ(mode.refresh, 0u);
}

TEST_F(Options, StoredValuesAreBroughtIntoRange)
{
    const f32 nan = std::numeric_limits<f32>::quiet_NaN();
    struct case_s {
        const char* what;
        options_record_s stored;
        options_record_s expected;
    };
    const f32 g = std::bit_cast<f32>(0x3EAAAAAAu);
    const case_s cases[] = {
        {"in range",
         {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 9, 1, 640, 480, 16},
         {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 9, 1, 640, 480, 16}},
        {"above",
         {2.0f, 5.0f, 1.5f, 100.0f, 3.0f, 0, 7, 640, 480, 32},
         {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0, 1, 640, 480, 32}},
        {"below",
         {-1.0f, -0.1f, -5.0f, -2.0f, -1.0f, 0, -3, 640, 480, 32},
         {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0, 1, 640, 480, 32}},
        {"not numbers", {nan, nan, nan, nan, nan, 0, 0, 640, 480, 32}, {1.0f, 1.0f, 0.5f, g, 0.7f, 0, 0, 640, 480, 32}},
        {"no display size", {1, 1, 1, 1, 1, 0, 0, 0, 480, 24}, {1, 1, 1, 1, 1, 0, 0, 1600, 900, 32}},
        {"negative size", {1, 1, 1, 1, 1, 0, 0, -640, -480, 8}, {1, 1, 1, 1, 1, 0, 0, 1600, 900, 32}},
    };
    for (const case_s& c : cases) {
        u8 bytes[40];
        std::memcpy(bytes, &c.stored, 40);
        options.FromRecord(bytes, 40);
        u8 got[40];
        options.ToRecord(got);
        u8 want[40];
        std::memcpy(want, &c.expected, 40);
        EXPECT_EQ(std::memcmp(got, want, 40), 0) << c.what;
    }
}

} // namespace
