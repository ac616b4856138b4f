#include "foundation/registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <chrono>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/win32/testing/temporary_config_home.h"

namespace {

namespace fs = std::filesystem;

const std::string kKey = RegistryKeyPath(kRegistryCompany, kRegistryProduct);

class Registry : public ::testing::Test {
protected:
    temporary_config_home_c home;
};

TEST_F(Registry, KeyPathOfTheProgram)
{
    EXPECT_EQ(kKey, "Software\\Kestrova\\Skyvarn");
}

TEST_F(Registry, ValuesRoundTrip)
{
    {
        registry_writer_c writer(HKEY_CURRENT_USER, kKey.c_str());
        ASSERT_TRUE(writer.IsOpen());
        EXPECT_EQ(writer.GetAccess(), KEY_WRITE);
        EXPECT_TRUE(writer.SetDword("players cnt", 3));
        EXPECT_TRUE(writer.SetString("current player", "Baron"));
        EXPECT_TRUE(writer.SetString("empty", ""));
        u8 options[40];
        for (int i = 0; i < 40; ++i)
            options[i] = static_cast<u8>(i * 7);
        EXPECT_TRUE(writer.SetBinary("OPTIONS", options, sizeof options));
    }
    registry_reader_c reader(HKEY_CURRENT_USER, kKey.c_str());
    ASSERT_TRUE(reader.IsOpen());
    EXPECT_EQ(reader.GetAccess(), KEY_READ);
    u32 count = 0;
    EXPECT_TRUE(reader.GetDword("players cnt", &count));
    EXPECT_EQ(count, 3u);
    char name[16];
    EXPECT_TRUE(reader.GetString("current player", name, 15));
    EXPECT_STREQ(name, "Baron");
    EXPECT_TRUE(reader.GetString("current player", name, 5)); // exactly fits
    EXPECT_STREQ(name, "Baron");
    EXPECT_TRUE(reader.GetString("empty", name, 15));
    EXPECT_STREQ(name, "");
    u8 options[40] = {};
    EXPECT_TRUE(reader.GetBinary("options", options, 40));
    EXPECT_EQ(options[39], static_cast<u8>(39 * 7));
}

// The reads are all or nothing: anything but the asked type and size clears
// the output and answers false.
TEST_F(Registry, ReadsAreAllOrNothing)
{
    {
        registry_writer_c writer(HKEY_CURRENT_USER, kKey.c_str());
        const u8 threeBytes[3] = {1, 2, 3};
        const u8 fourBytes[4] = {1, 2, 3, 4};
        writer.SetBinary("three", threeBytes, 3);
        writer.SetBinary("four", fourBytes, 4);
        writer.SetDword("dword", 0x12345678);
        writer.SetString("long", "Richthofen");
    }
    registry_reader_c reader(HKEY_CURRENT_USER, kKey.c_str());

    for (const char* name : {"missing", "four", "three", "long"}) {
        u32 out = 0xDEADBEEF;
        EXPECT_FALSE(reader.GetDword(name, &out)) << name;
        EXPECT_EQ(out, 0u) << name;
    }

    for (const char* name : {"missing", "dword", "four", "long"}) {
        u8 buffer[4] = {9, 9, 9, 9};
        if (std::strcmp(name, "four") == 0) {
            // One byte shorter than stored: refused.
            EXPECT_FALSE(reader.GetBinary(name, buffer, 3)) << name;
            EXPECT_EQ(buffer[0] | buffer[1] | buffer[2], 0) << name;
            EXPECT_EQ(buffer[3], 9) << name; // only the asked size is cleared
            continue;
        }
        EXPECT_FALSE(reader.GetBinary(name, buffer, 4)) << name;
        EXPECT_EQ(buffer[0] | buffer[1] | buffer[2] | buffer[3], 0) << name;
    }
    u8 four[4] = {9, 9, 9, 9};
    EXPECT_FALSE(reader.GetBinary("three", four, 4)); // one byte short of the request
    EXPECT_EQ(four[0] | four[1] | four[2] | four[3], 0);

    for (const char* name : {"missing", "dword", "four"}) {
        char text[32] = "unchanged";
        EXPECT_FALSE(reader.GetString(name, text, 31)) << name;
        EXPECT_EQ(text[0], 0) << name;
    }
    char text[32] = "unchanged";
    EXPECT_FALSE(reader.GetString("long", text, 9)); // "Richthofen" is 10 characters: not cut
    EXPECT_EQ(text[0], 0);
}

TEST_F(Registry, StringWithoutTerminatorIsTerminated)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "bare", 0, REG_SZ, reinterpret_cast<const u8*>("abcd"), 4), ERROR_SUCCESS);
    RegCloseKey(key);

    registry_reader_c reader(HKEY_CURRENT_USER, kKey.c_str());
    char text[8];
    std::memset(text, 'x', sizeof text);
    EXPECT_TRUE(reader.GetString("bare", text, 7));
    EXPECT_STREQ(text, "abcd");
    // Four characters stored without a terminator fill a 3 + 1 buffer: too long.
    std::memset(text, 'x', sizeof text);
    EXPECT_FALSE(reader.GetString("bare", text, 3));
    EXPECT_EQ(text[0], 0);
    // And exactly four characters allowed: fits, terminated in the fifth byte.
    std::memset(text, 'x', sizeof text);
    EXPECT_TRUE(reader.GetString("bare", text, 4));
    EXPECT_STREQ(text, "abcd");
}

TEST_F(Registry, KeylessObjectsFailEverything)
{
    registry_reader_c reader(HKEY_CURRENT_USER, kKey.c_str()); // the key does not exist yet
    EXPECT_FALSE(reader.IsOpen());
    u32 value = 7;
    EXPECT_FALSE(reader.GetDword("x", &value));
    EXPECT_EQ(value, 0u);
    char text[4] = "abc";
    EXPECT_FALSE(reader.GetString("x", text, 3));
    EXPECT_EQ(text[0], 0);

    registry_writer_c writer(HKEY_CURRENT_USER, "Software\\..\\escape");
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_FALSE(writer.SetDword("x", 1));
    EXPECT_FALSE(writer.SetString("x", "y"));
    EXPECT_FALSE(writer.SetBinary("x", "y", 1));
    // Nothing was written anywhere.
    EXPECT_TRUE(fs::is_empty(home.Path()));

    registry_writer_c closed(HKEY_CURRENT_USER, kKey.c_str());
    ASSERT_TRUE(closed.IsOpen());
    closed.Close();
    EXPECT_FALSE(closed.IsOpen());
    EXPECT_EQ(closed.GetAccess(), 0u);
    EXPECT_FALSE(closed.SetDword("x", 1));
}

TEST_F(Registry, ReopeningClosesTheOldKey)
{
    registry_writer_c writer;
    writer.Create(HKEY_CURRENT_USER, "Software\\A\\One");
    writer.Create(HKEY_CURRENT_USER, "Software\\A\\Two");
    ASSERT_TRUE(writer.SetDword("v", 2));
    registry_reader_c reader;
    reader.Open(HKEY_CURRENT_USER, "Software\\A\\One");
    u32 value = 0;
    EXPECT_FALSE(reader.GetDword("v", &value));
    reader.Open(HKEY_CURRENT_USER, "Software\\A\\Two");
    EXPECT_TRUE(reader.GetDword("v", &value));
    EXPECT_EQ(value, 2u);
}

// A writer process killed in the middle of a write leaves either the
// old or the new values, never a damaged store.
TEST_F(Registry, KilledWriterLeavesOldOrNewValues)
{
    constexpr u32 kPayloadSize = 1 << 19;
    u8 options[40];
    for (int i = 0; i < 40; ++i)
        options[i] = static_cast<u8>(100 + i);
    {
        registry_writer_c writer(HKEY_CURRENT_USER, kKey.c_str());
        ASSERT_TRUE(writer.SetBinary("OPTIONS", options, sizeof options));
        std::vector<u8> payload(kPayloadSize, 0);
        ASSERT_TRUE(writer.SetBinary("payload", payload.data(), kPayloadSize));
    }
    const fs::path folder = fs::path(RegistryStoreFile(kKey.c_str())).parent_path();

    // A write in progress shows as a temporary file beside the store. The
    // writer is frozen while one is seen and killed only if it is still
    // there, so every round kills a write half done, however the machine
    // schedules the two processes.
    const auto temporaryFiles = [&folder] {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            EXPECT_EQ(name.find(".bak"), std::string::npos) << "the store was seen damaged";
            if (name != "values.reg")
                found.push_back(entry.path());
        }
        return found;
    };
    u32 lastGeneration = 0;
    for (int round = 0; round < 5; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            registry_writer_c writer(HKEY_CURRENT_USER, kKey.c_str());
            std::vector<u8> payload(kPayloadSize);
            for (u32 generation = lastGeneration + 1;; ++generation) {
                // Every byte of a generation's payload is its low byte, after
                // the generation number itself.
                std::memset(payload.data(), static_cast<int>(generation & 0xFF), kPayloadSize);
                std::memcpy(payload.data(), &generation, 4);
                if (!writer.SetBinary("payload", payload.data(), kPayloadSize))
                    _exit(1);
            }
        }
        bool killed = false;
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        while (!killed && std::chrono::steady_clock::now() < deadline) {
            if (temporaryFiles().empty()) {
                ASSERT_EQ(waitpid(child, &status, WNOHANG), 0) << "the writer stopped on its own";
                usleep(100);
                continue;
            }
            kill(child, SIGSTOP);
            ASSERT_EQ(waitpid(child, &status, WUNTRACED), child);
            ASSERT_TRUE(WIFSTOPPED(status)) << "the writer stopped on its own";
            if (temporaryFiles().empty()) {
                kill(child, SIGCONT);
                continue;
            }
            kill(child, SIGKILL);
            killed = true;
        }
        if (!killed)
            kill(child, SIGKILL);
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(killed) << "round " << round << ": no write was seen in progress";
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own";
        for (const fs::path& leftover : temporaryFiles())
            fs::remove(leftover);

        registry_reader_c reader(HKEY_CURRENT_USER, kKey.c_str());
        u8 readOptions[40];
        ASSERT_TRUE(reader.GetBinary("OPTIONS", readOptions, 40)) << "round " << round;
        ASSERT_EQ(std::memcmp(readOptions, options, 40), 0) << "round " << round;
        std::vector<u8> payload(kPayloadSize);
        ASSERT_TRUE(reader.GetBinary("payload", payload.data(), kPayloadSize)) << "round " << round;
        u32 generation = 0;
        std::memcpy(&generation, payload.data(), 4);
        ASSERT_GE(generation, lastGeneration) << "round " << round;
        for (u32 i = 4; i < kPayloadSize; ++i)
            ASSERT_EQ(payload[i], generation & 0xFF) << "round " << round << " byte " << i;
        lastGeneration = generation;
    }
}

} // namespace
