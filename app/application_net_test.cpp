#include "app/application.h"

#include <gtest/gtest.h>

#include "app/message/net_message.h"
#include "app/message/net_message_type.h"
#include "app/testing/app_doubles.h"
#include "platform/win32/testing/temporary_config_home.h"

namespace {

using namespace app_testing;

std::vector<u8> Bytes(const net_message_c& _m)
{
    return {_m.GetPayload(), _m.GetPayload() + _m.GetLength()};
}

class ApplicationNet : public ::testing::Test {
protected:
    ApplicationNet() : devices(log), application(&devices)
    {
        application.net_manager = devices.CreateNetManager(&application_c::OnNetMessage, &application);
        session = devices.session;
        log.clear();
    }

    void Receive(u16 _type_word, net_message_c& _message)
    {
        _message.Rewind();
        application_c::OnNetMessage(_type_word, _message, nullptr, &application);
    }

    // A player record of the sub-type with an id and, for add and update,
    // the rest of the entry.
    static net_message_c PlayerRecord(u16 _sub, u16 _id, const char* _name = "", u32 _plane = 0, u32 _progress = 0)
    {
        net_message_c m;
        m.WriteU16(_sub).WriteU16(_id);
        if (_sub != net_player_remove)
            m.WriteCString(_name).WriteU32(_plane).WriteU32(_progress);
        return m;
    }

    std::vector<u16> PlayerIds() const
    {
        std::vector<u16> ids;
        for (const auto& e : application.players.GetEntries())
            ids.push_back(e.id);
        return ids;
    }

    temporary_config_home_c home;
    event_log_t log;
    logged_devices_c devices;
    application_c application;
    logged_session_c* session = nullptr;
};

TEST_F(ApplicationNet, CurrentStateHearsTheRecordFirst)
{
    logged_state_c menu("menu", log);
    logged_state_c game("game", log);
    application.menu_state = &menu;
    application.game_state = &game;
    game.SetActive(true);
    net_message_c m = PlayerRecord(net_player_add, 3, "Anna", 2, 9);
    Receive(net_player_record, m);
    EXPECT_EQ(log, (event_log_t{"state net game 272"}));
    // The state read a word; the application still read the record whole.
    ASSERT_EQ(application.players.GetCount(), 1u);
    EXPECT_STREQ(application.players.Get(0).name, "Anna");

    game.SetActive(false);
    menu.SetActive(true);
    log.clear();
    net_message_c none;
    Receive(net_event_search_finished, none);
    EXPECT_EQ(log, (event_log_t{"state net menu 10"}));
}

TEST_F(ApplicationNet, PlayerJoinedAsksForTheSetUp)
{
    net_message_c m;
    m.WriteCString("Bert").WriteU16(0);
    Receive(net_event_player_joined, m);
    ASSERT_EQ(session->sent.size(), 1u);
    EXPECT_EQ(session->sent[0].type_word, 0x113);
    EXPECT_EQ(session->sent[0].payload, (std::vector<u8>{0, 0, 0, 0}));
}

TEST_F(ApplicationNet, ConnectedAsksForTheGameStateAndAnnouncesThePilot)
{
    application.pilots.Create("Anna", true);
    application.pilots.GetCurrent()->selected_plane = 4;
    net_message_c none;
    Receive(net_event_connected, none);
    ASSERT_EQ(session->sent.size(), 2u);
    EXPECT_EQ(session->sent[0].type_word, 0x1101);
    EXPECT_EQ(session->sent[0].payload, (std::vector<u8>{0, 0, 0, 0}));
    EXPECT_EQ(session->sent[1].type_word, 0x110);
    net_message_c expected;
    expected.WriteU16(1).WriteU16(7).WriteCString("Anna").WriteU32(4).WriteU32(0x80000000u);
    EXPECT_EQ(session->sent[1].payload, Bytes(expected));
}

TEST_F(ApplicationNet, ConnectedWithoutAPilotAnnouncesANamelessPlayer)
{
    net_message_c none;
    Receive(net_event_connected, none);
    ASSERT_EQ(session->sent.size(), 2u);
    net_message_c expected;
    expected.WriteU16(1).WriteU16(7).WriteCString("").WriteU32(1).WriteU32(0);
    EXPECT_EQ(session->sent[1].payload, Bytes(expected));
}

TEST_F(ApplicationNet, PlayerLeftIsRemoved)
{
    application.players.Add("a", 1, 0, 0);
    application.players.Add("b", 2, 0, 0);
    net_message_c m;
    m.WriteU16(1);
    Receive(net_event_player_left, m);
    EXPECT_EQ(PlayerIds(), (std::vector<u16>{2}));
    EXPECT_EQ(application.players_changed, 1) << "the set-up screen lists the players again";
    application.players_changed = 0;
    net_message_c shortRecord;
    shortRecord.WriteBit(true);
    Receive(net_event_player_left, shortRecord);
    EXPECT_EQ(PlayerIds(), (std::vector<u16>{2}));
    EXPECT_EQ(application.players_changed, 0);
}

TEST_F(ApplicationNet, GameStateSetsFriendlyFireFromByteEight)
{
    net_message_c m;
    m.WriteF32(12.5f).WriteU32(3).WriteBit(true).WriteU32(4).WriteU32(5);
    Receive(kNetNoTimeStamp | net_game_state, m);
    EXPECT_EQ(application.mp_flag, 1);
    EXPECT_EQ(log, (event_log_t{"game state " + std::to_string(std::bit_cast<u32>(12.5f))}));

    net_message_c cut;
    cut.WriteF32(1.0f).WriteU32(3).WriteBit(false).WriteU32(4);
    Receive(kNetNoTimeStamp | net_game_state, cut);
    EXPECT_EQ(application.mp_flag, 1);
}

TEST_F(ApplicationNet, PlayerRecordsChangeTheListAndEveryoneHearsIt)
{
    net_message_c add = PlayerRecord(net_player_add, 3, "Anna", 2, 9);
    Receive(net_player_record, add);
    net_message_c add2 = PlayerRecord(net_player_add, 4, "Bert", 1, 0);
    Receive(net_player_record, add2);
    net_message_c update = PlayerRecord(net_player_update, 3, "Anne", 5, 6);
    Receive(net_player_record, update);
    EXPECT_EQ(application.players_changed, 1);
    ASSERT_EQ(application.players.GetCount(), 2u);
    EXPECT_STREQ(application.players.Get(0).name, "Anne");
    EXPECT_EQ(application.players.Get(0).plane, 5u);
    EXPECT_EQ(application.players.Get(0).progress, 6u);

    net_message_c remove = PlayerRecord(net_player_remove, 4);
    Receive(net_player_record, remove);
    EXPECT_EQ(PlayerIds(), (std::vector<u16>{3}));

    ASSERT_EQ(session->sent.size(), 4u);
    const sent_s& last = session->sent.back();
    EXPECT_EQ(last.how, "group");
    EXPECT_EQ(last.type_word, 0x111);
    net_message_c expected;
    expected.WriteU32(1).WriteU16(3).WriteCString("Anne").WriteU32(5).WriteU32(6);
    EXPECT_EQ(last.payload, Bytes(expected));
}

TEST_F(ApplicationNet, BrokenPlayerRecordsChangeNothing)
{
    application.players.Add("a", 1, 0, 0);
    net_message_c unterminated;
    unterminated.WriteU16(net_player_add).WriteU16(9);
    const u8 name[] = {'x', 'y'};
    std::vector<u8> bytes = Bytes(unterminated);
    bytes.insert(bytes.end(), name, name + 2);
    unterminated.Assign(bytes.data(), bytes.size());
    net_message_c unknown = PlayerRecord(9, 1);
    net_message_c empty;
    for (net_message_c* m : {&unterminated, &unknown, &empty}) {
        Receive(net_player_record, *m);
        EXPECT_EQ(PlayerIds(), (std::vector<u16>{1}));
    }
    EXPECT_TRUE(session->sent.empty());
    EXPECT_EQ(application.players_changed, 0);
}

TEST_F(ApplicationNet, PlayerListReplacesTheListOnAJoinedMachine)
{
    application.players.Add("old", 9, 0, 0);
    net_message_c list;
    list.WriteU32(2)
        .WriteU16(1)
        .WriteCString("a")
        .WriteU32(1)
        .WriteU32(2)
        .WriteU16(2)
        .WriteCString("b")
        .WriteU32(3)
        .WriteU32(4);
    Receive(net_player_list, list);
    EXPECT_EQ(PlayerIds(), (std::vector<u16>{1, 2}));
    EXPECT_EQ(application.players_changed, 1);

    net_message_c empty;
    empty.WriteU32(0);
    Receive(net_player_list, empty);
    EXPECT_EQ(application.players.GetCount(), 0u);
}

TEST_F(ApplicationNet, PlayerListIsIgnoredByTheHost)
{
    application.is_server = 1;
    application.players.Add("host", 1, 0, 0);
    net_message_c empty;
    empty.WriteU32(0);
    Receive(net_player_list, empty);
    EXPECT_EQ(PlayerIds(), (std::vector<u16>{1}));
    EXPECT_EQ(application.players_changed, 1);
}

// Counts past the data and entries cut short leave the list as it was, and
// a count is never taken on trust to reserve memory.
TEST_F(ApplicationNet, HostilePlayerListsAreRefused)
{
    application.players.Add("kept", 5, 0, 0);
    net_message_c huge;
    huge.WriteU32(0xFFFFFFFF).WriteU16(1).WriteCString("a").WriteU32(1).WriteU32(2);
    net_message_c pastData;
    pastData.WriteU32(2).WriteU16(1).WriteCString("a").WriteU32(1).WriteU32(2);
    net_message_c cutEntry;
    cutEntry.WriteU32(1).WriteU16(1).WriteCString("a").WriteU32(1);
    net_message_c noCount;
    noCount.WriteU16(1);
    for (net_message_c* m : {&huge, &pastData, &cutEntry, &noCount}) {
        Receive(net_player_list, *m);
        EXPECT_EQ(PlayerIds(), (std::vector<u16>{5}));
    }
}

TEST_F(ApplicationNet, SetUpIsAnsweredAndStored)
{
    application.mp_setup_text_a = "3";
    application.mp_setup_text_b = "4";
    application.mp_setup_a = 1;
    application.mp_setup_b = 0;
    application.mp_setup_c = 19;
    net_message_c request;
    request.WriteU32(0);
    Receive(net_setup_request, request);
    ASSERT_EQ(session->sent.size(), 1u);
    EXPECT_EQ(session->sent[0].how, "group");
    EXPECT_EQ(session->sent[0].type_word, 0x112);
    net_message_c expected;
    expected.WriteCString("3").WriteCString("4").WriteU32(1).WriteU32(0).WriteU32(19);
    EXPECT_EQ(session->sent[0].payload, Bytes(expected));

    application_c joined(&devices);
    net_message_c setup;
    setup.Assign(session->sent[0].payload.data(), session->sent[0].payload.size());
    application_c::OnNetMessage(net_game_setup, setup, nullptr, &joined);
    EXPECT_EQ(joined.setup_received, 1);
    EXPECT_STREQ(joined.mp_setup_text_a, "3");
    EXPECT_STREQ(joined.mp_setup_text_b, "4");
    EXPECT_EQ(joined.mp_setup_a, 1);
    EXPECT_EQ(joined.mp_setup_b, 0);
    EXPECT_EQ(joined.mp_setup_c, 19);
}

TEST_F(ApplicationNet, SetUpIsRefusedByTheHostAndWhenCut)
{
    net_message_c setup;
    setup.WriteCString("1").WriteCString("2").WriteU32(3).WriteU32(4).WriteU32(5);
    application.is_server = 1;
    Receive(net_game_setup, setup);
    EXPECT_EQ(application.setup_received, 0);
    EXPECT_STREQ(application.mp_setup_text_a, "");

    application.is_server = 0;
    net_message_c cut;
    cut.WriteCString("1").WriteCString("2").WriteU32(3).WriteU32(4);
    Receive(net_game_setup, cut);
    EXPECT_EQ(application.setup_received, 0);
    EXPECT_STREQ(application.mp_setup_text_a, "");
}

TEST_F(ApplicationNet, OtherTypesAreLeftToTheStates)
{
    for (const net_message_layout_s& layout : NetMessageLayouts()) {
        if (layout.type >= net_player_record || layout.type == net_game_state)
            continue;
        net_message_c m;
        m.WriteU32(1);
        Receive(layout.type, m);
    }
    EXPECT_TRUE(session->sent.empty());
    EXPECT_EQ(application.players_changed, 0);
}

} // namespace
