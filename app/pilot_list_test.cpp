#include "app/pilot_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/application.h"
#include "app/testing/app_doubles.h"
#include "foundation/registry.h"
#include "platform/win32/testing/temporary_config_home.h"

namespace {

const std::string kKey = RegistryKeyPath(kRegistryCompany, kRegistryProduct);

std::vector<std::string> Names(const pilot_list_c& _list)
{
    std::vector<std::string> names;
    for (size_t i = 0; i < _list.GetCount(); ++i)
        names.push_back(_list.Get(i)->GetName());
    return names;
}

class PilotList : public ::testing::Test {
protected:
    // Stores raw values as another program (or damage) might have left them.
    void Store(u32 _count, u32 _size, const std::vector<u8>& _data, const char* _current = nullptr)
    {
        registry_writer_c writer(HKEY_CURRENT_USER, kKey.c_str());
        ASSERT_TRUE(writer.SetDword("players cnt", _count));
        ASSERT_TRUE(writer.SetDword("player size", _size));
        ASSERT_TRUE(writer.SetBinary("players data", _data.data(), static_cast<u32>(_data.size())));
        if (_current) {
            ASSERT_TRUE(writer.SetString("current player", _current));
        }
    }

    static std::vector<u8> Record(const char* _name, u32 _size, u32 _selected_plane = 1)
    {
        pilot_profile_c profile;
        profile.SetName(_name);
        profile.selected_plane = _selected_plane;
        std::vector<u8> bytes(_size, 0);
        std::memcpy(bytes.data(), profile.GetRecord(), std::min(_size, pilot_profile_c::kRecordSize));
        return bytes;
    }

    static std::vector<u8> Join(std::initializer_list<std::vector<u8>> _records)
    {
        std::vector<u8> all;
        for (const auto& r : _records)
            all.insert(all.end(), r.begin(), r.end());
        return all;
    }

    temporary_config_home_c home;
    pilot_list_c pilots;
};

TEST_F(PilotList, CreatedPilotsSurviveARestart)
{
    pilots.Create("Anna", true);
    pilots.Create("Bert", false);
    pilots.GetCurrent()->selected_plane = 3;
    pilots.GetCurrent()->missions_done[4] = 1;
    EXPECT_EQ(Names(pilots), (std::vector<std::string>{"Bert", "Anna"}));
    ASSERT_TRUE(pilots.Save());

    pilot_list_c restarted;
    restarted.Load();
    ASSERT_EQ(Names(restarted), Names(pilots));
    for (size_t i = 0; i < pilots.GetCount(); ++i)
        EXPECT_EQ(std::memcmp(restarted.Get(i)->GetRecord(), pilots.Get(i)->GetRecord(), 376), 0) << i;
    EXPECT_STREQ(restarted.GetCurrentName(), "Bert");
    EXPECT_EQ(restarted.GetCurrent()->selected_plane, 3u);
    EXPECT_TRUE(restarted.Find("ANNA")->HasCreationFlag());
    EXPECT_FALSE(restarted.Find("bert")->HasCreationFlag());
    EXPECT_EQ(restarted.Find("Carl"), nullptr);
}

TEST_F(PilotList, CreatingAnExistingNameOnlySelectsIt)
{
    pilots.Create("Anna", false);
    pilots.GetCurrent()->unlock_level = 2;
    pilots.Create("Bert", false);
    pilots.Create("anna", true);
    EXPECT_EQ(pilots.GetCount(), 2u);
    EXPECT_STREQ(pilots.GetCurrentName(), "Anna");
    EXPECT_EQ(pilots.GetCurrent()->unlock_level, 2u);
    EXPECT_FALSE(pilots.GetCurrent()->HasCreationFlag());
}

TEST_F(PilotList, LongNamesAreCutToTheField)
{
    const std::string longName(40, 'x');
    pilots.Create(longName.c_str(), false);
    EXPECT_EQ(std::string(pilots.GetCurrent()->GetName()), std::string(31, 'x'));
    pilots.Create(longName.c_str(), false);
    EXPECT_EQ(pilots.GetCount(), 1u);
}

TEST_F(PilotList, RemovedPilotsStayRemovedAfterARestart)
{
    pilots.Create("Anna", false);
    pilots.Create("Bert", false);
    ASSERT_TRUE(pilots.Save());
    pilots.Remove("bert");
    EXPECT_EQ(pilots.GetCurrent(), nullptr);
    EXPECT_STREQ(pilots.GetCurrentName(), "");
    ASSERT_TRUE(pilots.Save());

    pilot_list_c restarted;
    restarted.Load();
    EXPECT_EQ(Names(restarted), (std::vector<std::string>{"Anna"}));
    EXPECT_EQ(restarted.GetCurrent(), nullptr);

    restarted.Remove("Anna");
    restarted.Remove("Anna");
    ASSERT_TRUE(restarted.Save());
    pilot_list_c empty;
    empty.Load();
    EXPECT_EQ(empty.GetCount(), 0u);
}

TEST_F(PilotList, ShorterStoredRecordsKeepTheirDefaultTail)
{
    Store(2, 312, Join({Record("Anna", 312, 5), Record("Bert", 312)}), "Bert");
    pilots.Load();
    ASSERT_EQ(Names(pilots), (std::vector<std::string>{"Anna", "Bert"}));
    EXPECT_EQ(pilots.Get(0)->selected_plane, 1u);
    EXPECT_STREQ(pilots.GetCurrentName(), "Bert");

    Store(1, 400, Record("Carl", 400, 6));
    pilots.Load();
    ASSERT_EQ(Names(pilots), (std::vector<std::string>{"Carl"}));
    EXPECT_EQ(pilots.Get(0)->selected_plane, 6u);
}

// A save cut short between its values leaves a count that disagrees with the
// records; the records decide.
TEST_F(PilotList, StaleCountGivesWayToTheRecords)
{
    Store(5, 376, Join({Record("Anna", 376), Record("Bert", 376)}));
    pilots.Load();
    EXPECT_EQ(Names(pilots), (std::vector<std::string>{"Anna", "Bert"}));
    Store(1, 376, Join({Record("Anna", 376), Record("Bert", 376)}));
    pilots.Load();
    EXPECT_EQ(Names(pilots), (std::vector<std::string>{"Anna", "Bert"}));
}

TEST_F(PilotList, DamagedStoresAreRefused)
{
    std::vector<u8> unterminated = Record("Bert", 376);
    std::memset(unterminated.data(), 'z', 32);
    struct case_s {
        const char* what;
        u32 size;
        std::vector<u8> data;
        std::vector<std::string> expected;
    };
    const case_s cases[] = {
        {"no record size", 0, Record("Anna", 376), {}},
        {"record shorter than a name", 31, std::vector<u8>(62, 'a'), {}},
        {"huge records", 70000, std::vector<u8>(70000, 0), {}},
        {"data not whole records", 376, std::vector<u8>(376 + 10, 0), {}},
        {"name without its nul", 376, Join({Record("Anna", 376), unterminated, Record("Carl", 376)}), {"Anna", "Carl"}},
        {"name cut by a short record", 20, std::vector<u8>(20, 'q'), {}},
    };
    for (const case_s& c : cases) {
        pilots.Create("Stale", false);
        Store(3, c.size, c.data);
        pilots.Load();
        EXPECT_EQ(Names(pilots), c.expected) << c.what;
    }
}

TEST_F(PilotList, MissingValuesLeaveNoPilots)
{
    {
        registry_writer_c writer(HKEY_CURRENT_USER, kKey.c_str());
        writer.SetBinary("players data", Record("Anna", 376).data(), 376);
        writer.SetString("current player", "Anna");
    }
    pilots.Load();
    EXPECT_EQ(pilots.GetCount(), 0u);
    EXPECT_STREQ(pilots.GetCurrentName(), "");
}

TEST_F(PilotList, OverlongCurrentNameIsNotTaken)
{
    const std::string longName(65, 'c');
    Store(1, 376, Record("Anna", 376), longName.c_str());
    pilots.Load();
    EXPECT_EQ(pilots.GetCount(), 1u);
    EXPECT_STREQ(pilots.GetCurrentName(), "");
}

TEST_F(PilotList, UnlockNameFillsTheProfileFromTheCareerList)
{
    app_testing::event_log_t log;
    app_testing::logged_devices_c devices(log);
    application_c application(&devices);
    // Distinction numbers outside the eight counters count nothing; only the
    // first 20 missions count.
    const i32 distinctions[][2] = {{0, 1}, {-1, 7}, {8, -5}, {1, 1}};
    for (const auto& d : distinctions) {
        mission_info_c m;
        m.distinction_primary = d[0];
        m.distinction_secondary = d[1];
        m.increse_rank = 1;
        application.career_missions.push_back(m);
    }
    mission_info_c plain;
    plain.distinction_primary = 3;
    plain.distinction_secondary = -1;
    application.career_missions.resize(30, plain);
    application.career_missions[5].increse_rank = 2;

    application.pilots.Create("quillo!", true);
    const pilot_profile_c* p = application.pilots.GetCurrent();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->unlock_level, 4u);
    for (u32 i = 0; i < 20; ++i) {
        EXPECT_EQ(p->missions_done[i], 1u);
        EXPECT_EQ(p->mission_results[i][0], 1u);
        EXPECT_EQ(p->mission_results[i][1], 1u);
    }
    const u32 expected[8] = {1, 3, 0, 16, 0, 0, 0, 1};
    for (u32 d = 0; d < 8; ++d)
        EXPECT_EQ(p->distinctions[d], expected[d]) << d;
    EXPECT_EQ(p->GetRank(), 5u);
    EXPECT_TRUE(p->HasCreationFlag());
    EXPECT_EQ(p->selected_plane, 1u);

    pilot_list_c stored;
    stored.Load();
    ASSERT_NE(stored.Find("Quillo!"), nullptr);
    EXPECT_EQ(std::memcmp(stored.Find("Quillo!")->GetRecord(), p->GetRecord(), 376), 0);
}

TEST_F(PilotList, UnlockNameWithAShortCareerList)
{
    app_testing::event_log_t log;
    app_testing::logged_devices_c devices(log);
    application_c application(&devices);
    mission_info_c m;
    m.distinction_primary = 2;
    m.distinction_secondary = 2;
    application.career_missions.push_back(m);
    application.pilots.Create("Quillo!", false);
    const pilot_profile_c* p = application.pilots.GetCurrent();
    EXPECT_EQ(p->distinctions[2], 2u);
    EXPECT_EQ(p->GetRank(), 0u);
    EXPECT_EQ(p->missions_done[19], 1u);
}

// A writer killed at any moment of its saves leaves the pilots of one save
// whole: the list read back is one the writer saved.
TEST_F(PilotList, KilledWriterLeavesOneWholeSave)
{
    // Save g holds pilots "g0" .. "g<g%5>", so consecutive saves differ in
    // their count, the value a torn save would get wrong.
    auto listOf = [](u32 g) {
        std::vector<std::string> names;
        for (u32 i = 0; i <= g % 5; ++i)
            names.push_back(std::to_string(g) + "-" + std::to_string(i));
        return names;
    };
    {
        pilot_list_c first;
        for (const auto& n : listOf(0))
            first.Create(n.c_str(), false);
        ASSERT_TRUE(first.Save());
    }
    std::mt19937 delays(77);
    for (int round = 0; round < 20; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (u32 g = 1;; ++g) {
                pilot_list_c list;
                const auto names = listOf(g);
                for (auto it = names.rbegin(); it != names.rend(); ++it)
                    list.Create(it->c_str(), false);
                if (!list.Save())
                    _exit(1);
            }
        }
        usleep(std::uniform_int_distribution<int>(200, 5000)(delays));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own";

        pilot_list_c read;
        read.Load();
        ASSERT_GT(read.GetCount(), 0u) << "round " << round;
        const std::string firstName = read.Get(0)->GetName();
        const u32 g = static_cast<u32>(std::stoul(firstName.substr(0, firstName.find('-'))));
        std::vector<std::string> expected = listOf(g);
        EXPECT_EQ(Names(read), expected) << "round " << round;
    }
}

} // namespace
