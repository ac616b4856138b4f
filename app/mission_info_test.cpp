#include "app/mission_info.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/testing/memory_file_system.h"
#include "foundation/command.h"
#include "foundation/file_error.h"

namespace {

std::vector<u8> Text(const std::string& _text)
{
    return {_text.begin(), _text.end()};
}

class MissionLists : public ::testing::Test {
protected:
    memory_file_system_c files;
};

TEST_F(MissionLists, CareerRecordsTakeEveryField)
{
    files.Add(kCareerMissionsFile,
              Text("; the campaign\n"
                   "add_mission path=data\\game\\m1\\ script=m1.txt map=m1.dds objectives=o1 briefing=b1 "
                   "briefing_stream=b1.ogg unlock_plane=3 increse_rank=1 distinction_primary=2 "
                   "distinction_secondary=-1\n"
                   "set_music name=x\n"
                   "ADD_MISSION path=p2\\ script=s2 map=m2 objectives=\"two words\" briefing=b2 "
                   "distinction_primary=0 distinction_secondary=5\n"));
    const auto missions = ReadMissionList(kCareerMissionsFile, mission_list_career);
    ASSERT_EQ(missions.size(), 2u);
    const mission_info_c& first = missions[0];
    EXPECT_STREQ(first.script, "data\\game\\m1\\m1.txt");
    EXPECT_STREQ(first.map, "data\\game\\m1\\m1.dds");
    EXPECT_STREQ(first.objectives, "o1");
    EXPECT_STREQ(first.briefing, "b1");
    EXPECT_STREQ(first.briefing_stream, "b1.ogg");
    EXPECT_EQ(first.unlock_plane, 3);
    EXPECT_EQ(first.increse_rank, 1);
    EXPECT_EQ(first.distinction_primary, 2);
    EXPECT_EQ(first.distinction_secondary, -1);
    const mission_info_c& second = missions[1];
    EXPECT_STREQ(second.script, "p2\\s2");
    EXPECT_STREQ(second.objectives, "two words");
    EXPECT_STREQ(second.briefing_stream, "");
    EXPECT_EQ(second.unlock_plane, -1);
    EXPECT_EQ(second.increse_rank, 0);
    EXPECT_EQ(second.distinction_secondary, 5);
}

TEST_F(MissionLists, TrainingAndMultiplayerTakeTheirFieldsOnly)
{
    files.Add(kTrainingMissionsFile,
              Text("add_mission path=t\\ script=s map=m objectives=o briefing=b unlock_plane=4 increse_rank=2\n"));
    files.Add(kMultiplayerMissionsFile, Text("add_mission path=mp\\ script=s map=m objectives=o\n"));
    const auto training = ReadMissionList(kTrainingMissionsFile, mission_list_training);
    ASSERT_EQ(training.size(), 1u);
    EXPECT_STREQ(training[0].objectives, "o");
    EXPECT_EQ(training[0].unlock_plane, -1);
    EXPECT_EQ(training[0].increse_rank, 0);
    const auto multiplayer = ReadMissionList(kMultiplayerMissionsFile, mission_list_multiplayer);
    ASSERT_EQ(multiplayer.size(), 1u);
    EXPECT_STREQ(multiplayer[0].script, "mp\\s");
    EXPECT_STREQ(multiplayer[0].map, "mp\\m");
    EXPECT_STREQ(multiplayer[0].objectives, "");
}

TEST_F(MissionLists, ListWithoutMissionsIsEmpty)
{
    files.Add(kMultiplayerMissionsFile, Text("; nothing yet\nadd_plane fname=x\n"));
    EXPECT_TRUE(ReadMissionList(kMultiplayerMissionsFile, mission_list_multiplayer).empty());
}

TEST_F(MissionLists, MissingRequiredParameterNamesIt)
{
    files.Add(kCareerMissionsFile, Text("add_mission path=p script=s map=m objectives=o briefing=b "
                                        "distinction_primary=1\n"));
    try {
        ReadMissionList(kCareerMissionsFile, mission_list_career);
        FAIL() << "no error";
    } catch (const command_error_c& e) {
        EXPECT_STREQ(e.what(), "Parameter not found!");
        EXPECT_STREQ(e.GetParameterName(), "distinction_secondary");
    }
}

TEST_F(MissionLists, MissingFilesThrowWithTheirNames)
{
    struct case_s {
        const char* file;
        void (*read)();
    };
    const case_s cases[] = {
        {kCareerMissionsFile, [] { ReadMissionList(kCareerMissionsFile, mission_list_career); }},
        {kPlanesFile, [] { ReadPlaneList(kPlanesFile); }},
        {kInGameTextsFile, [] { ReadTextLines(kInGameTextsFile); }},
    };
    for (const case_s& c : cases) {
        try {
            c.read();
            ADD_FAILURE() << c.file << ": no error";
        } catch (const file_error_c& e) {
            EXPECT_NE(std::string(e.GetFileName().GetData()).find("common"), std::string::npos) << c.file;
        }
    }
}

TEST_F(MissionLists, PlanesAndTexts)
{
    files.Add(kPlanesFile, Text("add_plane fname=data\\game\\planes\\a.txt\nother x=1\nadd_plane fname=b.txt\n"));
    const auto planes = ReadPlaneList(kPlanesFile);
    ASSERT_EQ(planes.size(), 2u);
    EXPECT_STREQ(planes[0], "data\\game\\planes\\a.txt");
    EXPECT_STREQ(planes[1], "b.txt");

    files.Add(kInGameTextsFile, Text("first\r\n\nsecond line\n\r\nthird"));
    const auto lines = ReadTextLines(kInGameTextsFile);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_STREQ(lines[0], "first");
    EXPECT_STREQ(lines[1], "second line");
    EXPECT_STREQ(lines[2], "third");
}

} // namespace
