#include "platform/win32/registry_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/win32/testing/temporary_config_home.h"

namespace {

namespace fs = std::filesystem;

std::vector<u8> FileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class RegistryStore : public ::testing::Test {
protected:
    HKEY CreateKey(const char* path, REGSAM access = KEY_READ | KEY_WRITE)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    i32 SetDword(HKEY key, const char* name, u32 value)
    {
        return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const u8*>(&value), 4);
    }
    temporary_config_home_c home;
};

TEST_F(RegistryStore, KeyPathsMapToFoldersWithoutCase)
{
    const std::string expected = (home.Path() / "kestrova/skyvarn/values.reg").string();
    EXPECT_EQ(RegistryStoreFile("Software\\Kestrova\\Skyvarn"), expected);
    EXPECT_EQ(RegistryStoreFile("SOFTWARE\\kestrova\\SKYVARN"), expected);
    EXPECT_EQ(RegistryStoreFile("Kestrova\\Skyvarn"), expected);
    EXPECT_EQ(RegistryStoreFile("Software"), (home.Path() / "software/values.reg").string());
    for (const char* bad : {"", "Software\\..\\x", "a\\\\b", "a/b", "a\\.", "\\a", "a\\"})
        EXPECT_EQ(RegistryStoreFile(bad), "") << bad;
}

TEST_F(RegistryStore, DefaultsToConfigUnderHome)
{
    unsetenv("XDG_CONFIG_HOME");
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", "/home/pilot", 1);
    EXPECT_EQ(RegistryStoreFile("Software\\A\\B"), "/home/pilot/.config/a/b/values.reg");
    // A relative XDG_CONFIG_HOME is not used.
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(RegistryStoreFile("Software\\A\\B"), "/home/pilot/.config/a/b/values.reg");
    setenv("HOME", oldHome.c_str(), 1);
}

TEST_F(RegistryStore, OpenNeedsAnExistingKeyAndCreateMakesIt)
{
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kestrova\\Skyvarn", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);

    u32 disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Kestrova\\Skyvarn", 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_TRUE(fs::is_directory(home.Path() / "kestrova/skyvarn"));
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "software\\KESTROVA\\skyvarn", 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);

    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kestrova\\Skyvarn", 0, KEY_READ, &key), ERROR_SUCCESS);
    HKEY sub = nullptr;
    EXPECT_EQ(RegCreateKeyExA(key, "Controls", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &sub, nullptr),
              ERROR_SUCCESS);
    EXPECT_TRUE(fs::is_directory(home.Path() / "kestrova/skyvarn/controls"));
    RegCloseKey(sub);
    RegCloseKey(key);

    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\..\\x", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
}

TEST_F(RegistryStore, ValuesKeepTypeAndExactSize)
{
    HKEY key = CreateKey("Software\\Kestrova\\Skyvarn");
    const u8 record[5] = {1, 2, 3, 4, 5};
    ASSERT_EQ(RegSetValueExA(key, "OPTIONS", 0, REG_BINARY, record, 5), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "name", 0, REG_SZ, reinterpret_cast<const u8*>("Ace"), 4), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(key, "players cnt", 3), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(key, "PLAYERS CNT", 4), ERROR_SUCCESS); // same value, other case

    u32 type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(key, "options", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(size, 5u);

    u8 small[4] = {9, 9, 9, 9};
    size = 4;
    EXPECT_EQ(RegQueryValueExA(key, "OPTIONS", nullptr, &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(small[0], 9);

    u8 big[8] = {};
    size = 8;
    ASSERT_EQ(RegQueryValueExA(key, "OPTIONS", nullptr, &type, big, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(std::memcmp(big, record, 5), 0);

    u32 count = 0;
    size = 4;
    ASSERT_EQ(RegQueryValueExA(key, "players cnt", nullptr, &type, reinterpret_cast<u8*>(&count), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(count, 4u);

    char text[8] = {};
    size = 8;
    ASSERT_EQ(RegQueryValueExA(key, "name", nullptr, &type, reinterpret_cast<u8*>(text), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 4u);
    EXPECT_STREQ(text, "Ace");

    EXPECT_EQ(RegQueryValueExA(key, "missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);

    // The values last beyond the key.
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kestrova\\Skyvarn", 0, KEY_READ, &key), ERROR_SUCCESS);
    size = 4;
    ASSERT_EQ(RegQueryValueExA(key, "players cnt", nullptr, &type, reinterpret_cast<u8*>(&count), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(count, 4u);
    RegCloseKey(key);
}

TEST_F(RegistryStore, AccessRightsAndBadArguments)
{
    HKEY writer = CreateKey("Software\\K\\S", KEY_WRITE);
    ASSERT_EQ(SetDword(writer, "v", 1), ERROR_SUCCESS);
    u32 size = 0;
    EXPECT_EQ(RegQueryValueExA(writer, "v", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
    HKEY reader = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\K\\S", 0, KEY_READ, &reader), ERROR_SUCCESS);
    EXPECT_EQ(SetDword(reader, "v", 2), ERROR_ACCESS_DENIED);

    EXPECT_EQ(RegSetValueExA(writer, "v", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(writer, "v", 0, REG_BINARY, reinterpret_cast<const u8*>("x"), kRegistryMaxValueSize + 1),
              ERROR_INVALID_PARAMETER);
    u8 byte = 0;
    EXPECT_EQ(RegQueryValueExA(reader, "v", nullptr, nullptr, &byte, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SetDword(nullptr, "v", 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "v", 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExA(nullptr, "v", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);

    // A value of size 0 is kept as such.
    ASSERT_EQ(RegSetValueExA(writer, "empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    u32 type = 0;
    size = 99;
    ASSERT_EQ(RegQueryValueExA(reader, "empty", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(type, REG_BINARY);
    RegCloseKey(reader);
    RegCloseKey(writer);
}

// A store that is damaged or not ours reads as empty, and the next change
// keeps it aside before replacing it.
TEST_F(RegistryStore, DamagedStoreIsKeptBeforeItIsReplaced)
{
    HKEY key = CreateKey("Software\\Kestrova\\Skyvarn");
    ASSERT_EQ(SetDword(key, "a", 1), ERROR_SUCCESS);
    const fs::path store = RegistryStoreFile("Software\\Kestrova\\Skyvarn");
    std::vector<u8> intact = FileBytes(store);
    ASSERT_GT(intact.size(), 20u);

    struct case_s {
        const char* what;
        std::string bytes;
    };
    std::string flipped(intact.begin(), intact.end());
    flipped[14] ^= 0x40;
    std::string truncated(intact.begin(), intact.end() - 3);
    std::string lengthPastEnd(intact.begin(), intact.end());
    lengthPastEnd[12] = '\x7f'; // the first name's length
    const case_s cases[] = {
        {"foreign text", "[settings]\nvolume=3\n"}, {"one flipped bit", flipped}, {"cut short", truncated},
        {"changed name length", lengthPastEnd},     {"empty file", ""},
    };
    int backups = 0;
    for (const case_s& c : cases) {
        WriteFileBytes(store, c.bytes);
        u32 size = 0;
        EXPECT_EQ(RegQueryValueExA(key, "a", nullptr, nullptr, nullptr, &size), ERROR_BADDB) << c.what;
        ASSERT_EQ(SetDword(key, "b", 2), ERROR_SUCCESS) << c.what;
        const fs::path backup = store.string() + ".bak" + (backups ? "." + std::to_string(backups) : "");
        ++backups;
        ASSERT_TRUE(fs::exists(backup)) << c.what;
        const std::vector<u8> kept = FileBytes(backup);
        EXPECT_EQ(std::string(kept.begin(), kept.end()), c.bytes) << c.what;
        // The new store holds only the new value.
        EXPECT_EQ(RegQueryValueExA(key, "a", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND) << c.what;
        u32 value = 0;
        size = 4;
        EXPECT_EQ(RegQueryValueExA(key, "b", nullptr, nullptr, reinterpret_cast<u8*>(&value), &size), ERROR_SUCCESS)
            << c.what;
        EXPECT_EQ(value, 2u);
    }
    RegCloseKey(key);
}

TEST_F(RegistryStore, NoTemporaryFilesStayBehind)
{
    HKEY key = CreateKey("Software\\Kestrova\\Skyvarn");
    for (u32 i = 0; i < 20; ++i)
        ASSERT_EQ(SetDword(key, ("v" + std::to_string(i)).c_str(), i), ERROR_SUCCESS);
    RegCloseKey(key);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(home.Path() / "kestrova/skyvarn"))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"values.reg"});
}

} // namespace
