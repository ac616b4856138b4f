#include "input/controllers.h"

#include <gtest/gtest.h>

#include <cstring>

#include "foundation/registry.h"
#include "foundation/testing/scratch_folder.h"
#include "input/testing/bindings.h"
#include "input/testing/script_devices.h"
#include "platform/win32/testing/temporary_config_home.h"

namespace {

const GUID absent_guid = MakeGuid(0xABCD, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10);

class BindingStoreTest : public testing::Test {
protected:
    BindingStoreTest()
    {
        AddKeyboard(input);
        AddMouse(input);
        AddStick(input);
    }

    std::vector<binding_s> Defaults() const
    {
        return {{"pitch up", stick_guid, stick_y, 0, 0, 1},
                {"pitch down", stick_guid, stick_y, 0, 0, 0},
                {"fire", GUID_SysKeyboard, key_s, 0.25f, 0.5f, 0},
                {"yaw", GUID_SysMouse, mouse_x, 0, 0, 0},
                {"absent", absent_guid, 77, 1.5f, 2.5f, 0}};
    }

    static void ExpectBindings(const controllers_c& _controllers, const std::vector<binding_s>& _bindings)
    {
        ASSERT_EQ(_controllers.GetActionCount(), _bindings.size());
        for (u32 i = 0; i < _bindings.size(); ++i) {
            const action_c& a = _controllers.GetAction(i);
            const binding_s& b = _bindings[i];
            EXPECT_STREQ(a.name.GetData(), b.name.c_str()) << i;
            EXPECT_TRUE(a.device_guid == b.device) << i;
            EXPECT_EQ(a.object_number, b.object) << i;
            EXPECT_EQ(a.ramp_time, b.ramp) << i;
            EXPECT_EQ(a.fall_back_time, b.fall_back) << i;
            EXPECT_EQ(a.paired, b.paired) << i;
        }
    }

    // Writes the three registry values as a save would.
    static void Store(const std::vector<u8>& _bytes, u32 _version)
    {
        registry_writer_c writer(HKEY_CURRENT_USER, RegistryKeyPath(kRegistryCompany, kRegistryProduct).c_str());
        writer.SetDword("controllers_size", static_cast<u32>(_bytes.size()));
        writer.SetDword("controllers_version", _version);
        writer.SetBinary("controllers", _bytes.data(), static_cast<u32>(_bytes.size()));
    }

    temporary_config_home_c home;
    script_input_c input;
    script_input_scope_c scope{input};
};

TEST_F(BindingStoreTest, SavedBindingsLoadBackWithTheirDevicesAndObjectNames)
{
    {
        controllers_c controllers(nullptr);
        Bind(controllers, Defaults(), 1750);
        controllers.SaveToRegistry(kRegistryCompany, kRegistryProduct, "controllers", 100);
    }
    registry_reader_c reader(HKEY_CURRENT_USER, RegistryKeyPath(kRegistryCompany, kRegistryProduct).c_str());
    u32 size = 0, version = 0;
    EXPECT_TRUE(reader.GetDword("controllers_size", &size));
    EXPECT_TRUE(reader.GetDword("controllers_version", &version));
    EXPECT_EQ(version, 100u);
    EXPECT_EQ(size, WriteBindings(Defaults(), 1750).size());

    controllers_c controllers(nullptr);
    ASSERT_TRUE(controllers.LoadFromRegistry(kRegistryCompany, kRegistryProduct, "controllers", 100));
    ExpectBindings(controllers, Defaults());
    EXPECT_EQ(controllers.GetMouseDivisor(), 1750);
    EXPECT_STREQ(controllers.GetAction(0).object_name.GetData(), "Y Axis");
    EXPECT_STREQ(controllers.GetAction(2).object_name.GetData(), "S");
    EXPECT_STREQ(controllers.GetAction(3).object_name.GetData(), "X-axis");
    EXPECT_EQ(controllers.GetAction(0).device, controllers.GetDevices().FindDevice(stick_guid));
    // A device that is not attached: no device, the binding kept as stored.
    EXPECT_EQ(controllers.GetAction(4).device, nullptr);
}

TEST_F(BindingStoreTest, WrittenChunkHasTheStoredLayout)
{
    controllers_c controllers(nullptr);
    Bind(controllers, {{"fire", GUID_SysKeyboard, key_s, 0.25f, 0.5f, 1}}, 950);
    CChunkSaver saver;
    u8 unused = 0;
    saver.OpenBuffer(CChunkSaver::mode_write, &unused, 1);
    controllers.SerializeActions(saver);
    const std::vector<u8> bytes = saver.GetWrittenBytes();
    // acac{musS 4, nuac 4, name 5, devg 16, objn 4, conn 1, cent 4, mmxt 4}
    const u32 expected = 8 + (8 + 4) + (8 + 4) + (8 + 5) + (8 + 16) + (8 + 4) + (8 + 1) + (8 + 4) + (8 + 4);
    ASSERT_EQ(bytes.size(), expected);
    EXPECT_EQ(std::memcmp(bytes.data(), "acac", 4), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 8, "musS", 4), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 20, "nuac", 4), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 32, "name\x05\0\0\0fire\0", 13), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 45, "devg\x10\0\0\0", 8), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 53, &GUID_SysKeyboard, 16), 0);
}

TEST_F(BindingStoreTest, ZeroActionsStoreOnlyTheDivisorAndTheCount)
{
    controllers_c controllers(nullptr);
    Bind(controllers, Defaults());
    ASSERT_TRUE(ReadBindings(controllers, WriteBindings({}, 300)));
    EXPECT_EQ(controllers.GetActionCount(), 0u);
    EXPECT_EQ(controllers.GetMouseDivisor(), 300);
    CChunkSaver saver;
    u8 unused = 0;
    saver.OpenBuffer(CChunkSaver::mode_write, &unused, 1);
    controllers.SerializeActions(saver);
    EXPECT_EQ(saver.GetWrittenBytes().size(), 8u + 12 + 12);
}

TEST_F(BindingStoreTest, StoredCountGrowsAndShrinksTheList)
{
    controllers_c controllers(nullptr);
    Bind(controllers, {{"one", stick_guid, stick_x, 0, 0, 0}});
    controllers.GetAction(0).value = 0.5f;
    Bind(controllers, Defaults());
    ExpectBindings(controllers, Defaults());
    Bind(controllers, {{"only", GUID_SysKeyboard, key_a, 0, 0, 0}});
    ExpectBindings(controllers, {{"only", GUID_SysKeyboard, key_a, 0, 0, 0}});
}

TEST_F(BindingStoreTest, UnknownObjectNumberTakesTheDevicesFirstObjectName)
{
    controllers_c controllers(nullptr);
    Bind(controllers, {{"odd", stick_guid, 4321, 0, 0, 0}});
    EXPECT_STREQ(controllers.GetAction(0).object_name.GetData(), "Trigger");
    EXPECT_EQ(controllers.GetAction(0).object_number, 4321u);
}

TEST_F(BindingStoreTest, RegistryValuesThatDoNotQualifyAreIgnored)
{
    const std::vector<u8> chunk = WriteBindings(Defaults());
    struct case_s {
        const char* what;
        bool size;
        u32 sizeValue;
        bool version;
        u32 versionValue;
        bool binary;
    };
    const case_s cases[] = {
        {"old version", true, static_cast<u32>(chunk.size()), true, 99, true},
        {"no size", false, 0, true, 100, true},
        {"no version", true, static_cast<u32>(chunk.size()), false, 0, true},
        {"size mismatch", true, static_cast<u32>(chunk.size()) + 1, true, 100, true},
        {"no binary", true, static_cast<u32>(chunk.size()), true, 100, false},
        {"huge size", true, 0xFFFFFFF0u, true, 100, true},
        {"zero size", true, 0, true, 100, true},
    };
    for (const case_s& c : cases) {
        temporary_config_home_c caseHome;
        {
            registry_writer_c writer(HKEY_CURRENT_USER, RegistryKeyPath(kRegistryCompany, kRegistryProduct).c_str());
            if (c.size)
                writer.SetDword("controllers_size", c.sizeValue);
            if (c.version)
                writer.SetDword("controllers_version", c.versionValue);
            if (c.binary)
                writer.SetBinary("controllers", chunk.data(), static_cast<u32>(chunk.size()));
        }
        controllers_c controllers(nullptr);
        Bind(controllers, {{"kept", GUID_SysKeyboard, key_a, 0, 0, 0}});
        EXPECT_FALSE(controllers.LoadFromRegistry(kRegistryCompany, kRegistryProduct, "controllers", 100)) << c.what;
        ExpectBindings(controllers, {{"kept", GUID_SysKeyboard, key_a, 0, 0, 0}});
    }
}

TEST_F(BindingStoreTest, DamagedStoredChunkCountsAsNoStore)
{
    std::vector<u8> damaged = WriteBindings(Defaults());
    const i32 count = -4;
    std::memcpy(damaged.data() + 28, &count, 4);
    Store(damaged, 100);
    controllers_c controllers(nullptr);
    EXPECT_FALSE(controllers.LoadFromRegistry(kRegistryCompany, kRegistryProduct, "controllers", 100));
    EXPECT_EQ(controllers.GetActionCount(), 0u);
}

TEST_F(BindingStoreTest, StoreWithoutABindingChunkStillCounts)
{
    CChunkSaver saver;
    u8 unused = 0;
    saver.OpenBuffer(CChunkSaver::mode_write, &unused, 1);
    saver.Begin("othr");
    saver.End();
    const std::vector<u8> other = saver.GetWrittenBytes();
    Store(other, 100);
    controllers_c controllers(nullptr);
    EXPECT_TRUE(controllers.LoadFromRegistry(kRegistryCompany, kRegistryProduct, "controllers", 100));
    EXPECT_EQ(controllers.GetActionCount(), 0u);
}

TEST_F(BindingStoreTest, DefaultsReplaceAnOldStoreAndAreSavedWithTheCurrentVersion)
{
    scratch_folder_c folder;
    const std::string file = folder.WriteFile("actions.accfg", WriteBindings(Defaults(), 1234));
    Store(WriteBindings({{"old", GUID_SysKeyboard, key_a, 0, 0, 0}}), 99);
    controllers_c controllers(nullptr);
    if (!controllers.LoadFromRegistry(kRegistryCompany, kRegistryProduct, "controllers", 100)) {
        controllers.LoadFromFile(file.c_str());
        controllers.SaveToRegistry(kRegistryCompany, kRegistryProduct, "controllers", 100);
    }
    ExpectBindings(controllers, Defaults());

    controllers_c reloaded(nullptr);
    ASSERT_TRUE(reloaded.LoadFromRegistry(kRegistryCompany, kRegistryProduct, "controllers", 100));
    ExpectBindings(reloaded, Defaults());
    EXPECT_EQ(reloaded.GetMouseDivisor(), 1234);
}

TEST_F(BindingStoreTest, MissingFileLeavesTheActions)
{
    controllers_c controllers(nullptr);
    Bind(controllers, Defaults());
    controllers.LoadFromFile("no such folder/actions.accfg");
    ExpectBindings(controllers, Defaults());
}

TEST_F(BindingStoreTest, BufferWithoutTheChunkChangesNothing)
{
    controllers_c controllers(nullptr);
    Bind(controllers, Defaults());
    CChunkSaver writer;
    u8 unused = 0;
    writer.OpenBuffer(CChunkSaver::mode_write, &unused, 1);
    writer.Begin("zzzz");
    f32 f = 1;
    writer.LeafFloat("musS", f);
    writer.End();
    std::vector<u8> bytes = writer.GetWrittenBytes();
    EXPECT_FALSE(ReadBindings(controllers, bytes));
    ExpectBindings(controllers, Defaults());
}

// Damaged chunks: each is refused whole, and the actions stay as they were.
TEST_F(BindingStoreTest, DamagedChunksAreRefusedWhole)
{
    const std::vector<u8> good = WriteBindings(Defaults(), 500);
    auto withCount = [&](i32 _count) {
        std::vector<u8> bytes = good;
        std::memcpy(bytes.data() + 28, &_count, 4); // nuac's value
        return bytes;
    };
    auto truncated = [&](u32 _keep) {
        std::vector<u8> bytes(good.begin(), good.begin() + _keep);
        return bytes;
    };
    auto wrongLeafSize = [&]() {
        std::vector<u8> bytes = good;
        const u32 three = 3;
        std::memcpy(bytes.data() + 12, &three, 4); // musS claims 3 bytes
        return bytes;
    };
    const std::pair<const char*, std::vector<u8>> cases[] = {
        {"negative count", withCount(-1)},           {"count beyond the records", withCount(6)},
        {"huge count", withCount(0x7FFFFFFF)},       {"truncated", truncated(static_cast<u32>(good.size()) - 3)},
        {"leaf of the wrong size", wrongLeafSize()},
    };
    for (const auto& [what, bytes] : cases) {
        controllers_c controllers(nullptr);
        Bind(controllers, {{"kept", GUID_SysKeyboard, key_a, 0, 0, 0}}, 42);
        EXPECT_FALSE(ReadBindings(controllers, bytes)) << what;
        ExpectBindings(controllers, {{"kept", GUID_SysKeyboard, key_a, 0, 0, 0}});
        EXPECT_EQ(controllers.GetMouseDivisor(), 42) << what;
    }
}

TEST_F(BindingStoreTest, UnattachedDeviceIsSavedBackUnchanged)
{
    controllers_c controllers(nullptr);
    const std::vector<u8> stored = WriteBindings(Defaults(), 10);
    ASSERT_TRUE(ReadBindings(controllers, stored));
    CChunkSaver saver;
    u8 unused = 0;
    saver.OpenBuffer(CChunkSaver::mode_write, &unused, 1);
    controllers.SerializeActions(saver);
    EXPECT_EQ(saver.GetWrittenBytes(), stored);
}

} // namespace
