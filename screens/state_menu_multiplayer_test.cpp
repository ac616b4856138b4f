#include <gtest/gtest.h>

#include "app/message/net_message.h"
#include "app/message/net_message_type.h"
#include "app/testing/app_doubles.h"
#include "menu/any_menu.h"
#include "menu/any_menu_control.h"
#include "menu/menu_manager.h"
#include "menu/text_window.h"
#include "net/direct_play_net_manager.h"
#include "platform/dplay8/dplay8_peer.h"
#include "platform/win32/window_types.h"
#include "screens/menu_music.h"
#include "screens/state_menu.h"
#include "screens/testing/screens_fixture.h"

namespace {

using namespace screens_testing;

menu_ret_c State(const screens_world_c& _world, const char* _menu, const char* _control)
{
    menu_ret_c ret;
    _world.Menu(_menu)->ControlGetState(_control, ret);
    return ret;
}

bool Usable(const screens_world_c& _world, const char* _menu, const char* _control)
{
    return _world.Control(_menu, _control)->IsDisabled();
}

std::vector<std::string> Lines(const screens_world_c& _world, const char* _menu, const char* _control)
{
    std::vector<std::string> lines;
    if (auto* window = dynamic_cast<TextWindowControl*>(_world.Control(_menu, _control)))
        for (const auto& line : window->GetLines())
            lines.emplace_back(line.GetData());
    return lines;
}

// Clicks a text box (which empties it), types the text and lets the menus
// take the keys (in the frame after) and the screen see them.
void TypeInto(screens_world_c& _world, const char* _menu, const char* _control, const char* _text)
{
    _world.Click(_menu, _control);
    _world.Type(_text);
    _world.Settle();
}

// The server list without a network: what the controls allow.
class ServerList : public ::testing::Test {
protected:
    void Open()
    {
        world.AddPilot("Hal");
        world.Enter();
        world.Click("Main", "Multiplayer");
        ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_servers);
    }

    screens_world_c world;
};

TEST_F(ServerList, TheMainMenuOpensAnEmptyListWithTheHostDefaults)
{
    Open();
    world.Settle();
    EXPECT_STREQ(world.CurrentMenu(), "Multi");
    EXPECT_STREQ(world.state->GetMusic()->GetCurrent(), "Multi");
    EXPECT_EQ(State(world, "Multi", "HostName").stringValue, "New Server");
    EXPECT_EQ(State(world, "Multi", "MaxPlayers").stringValue, "8");
    EXPECT_TRUE(world.state->GetServers().empty());
    EXPECT_TRUE(Usable(world, "Multi", "No_servers")) << "shown while nothing was found";
    EXPECT_TRUE(Usable(world, "Multi", "Host"));
    EXPECT_FALSE(Usable(world, "Multi", "Join")) << "nothing to join yet";
    EXPECT_EQ(world.state->GetAvailablePlanes(), (std::vector<i32>{1, 2, 11, 12}));

    TypeInto(world, "Multi", "Input", "10.0.0.1");
    EXPECT_TRUE(Usable(world, "Multi", "Join"));

    world.Key(VK_ESCAPE);
    world.Settle();
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_main);
    EXPECT_FALSE(world.state->IsEscapePressed());
    EXPECT_STREQ(world.state->GetMusic()->GetCurrent(), "Main");
}

TEST_F(ServerList, TheMaximumOfPlayersStaysWithinTwoAndSixteen)
{
    Open();
    TypeInto(world, "Multi", "MaxPlayers", "40");
    world.Key(VK_RETURN);
    world.Settle();
    EXPECT_EQ(State(world, "Multi", "MaxPlayers").stringValue, "16");
    world.Click("Multi", "MP_up");
    EXPECT_EQ(State(world, "Multi", "MaxPlayers").stringValue, "16");
    world.Menu("Multi")->ControlSetState("MaxPlayers", "2");
    world.Click("Multi", "MP_down");
    EXPECT_EQ(State(world, "Multi", "MaxPlayers").stringValue, "2");
    world.Click("Multi", "MP_up");
    EXPECT_EQ(State(world, "Multi", "MaxPlayers").stringValue, "3");

    world.Menu("Multi")->ControlSetState("MaxPlayers", "none");
    world.Settle();
    EXPECT_FALSE(Usable(world, "Multi", "Host")) << "a text that is no number counts as 0";
    world.Menu("Multi")->ControlSetState("MaxPlayers", "4");
    world.Menu("Multi")->ControlSetState("HostName", "");
    world.Frame();
    EXPECT_FALSE(Usable(world, "Multi", "Host")) << "a session needs a name";
}

TEST_F(ServerList, APortIsKeptWithinItsRangeAndAFailedHostEndsInTheMessage)
{
    struct case_s {
        const char* typed;
        i32 port;
    };
    for (const case_s c : {case_s{"70000", 65535}, case_s{"-5", 0}, case_s{"2300", 2300}}) {
        Open();
        world.Menu("Multi")->ControlSetState("Port", c.typed);
        world.Click("Multi", "Host");
        EXPECT_EQ(world.state->GetHostPort(), c.port) << c.typed;
        EXPECT_EQ(world.state->GetHostMaxPlayers(), 8);
        // Without a network no session is made: the user is told and sent
        // back to the main menu.
        EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_main_message) << c.typed;
        EXPECT_EQ(world.app.is_server, 0);
        world.Click("Dialog_OK", "OK");
        EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_main);
        EXPECT_STREQ(world.CurrentMenu(), "Main");
        world.Settle();
    }
}

TEST_F(ServerList, FoundSessionsAreListedAndTypingDeselectsThem)
{
    Open();
    net_message_c found;
    found.WriteCString("Sky").WriteCString("x-dplay8:/127.0.0.1:1").WriteBit(true);
    world.state->OnNetMessage(net_event_session_found, found, nullptr);
    net_message_c cut;
    cut.WriteCString("Half");
    world.state->OnNetMessage(net_event_session_found, cut, nullptr);
    world.Frame();
    EXPECT_EQ(world.ListItems("Multi", "ServersList"), (std::vector<std::string>{"Sky"}));
    ASSERT_EQ(world.state->GetServers().size(), 1u);
    EXPECT_EQ(world.state->GetServers()[0].address, "x-dplay8:/127.0.0.1:1");
    EXPECT_EQ(world.state->GetServers()[0].flag, 1);
    EXPECT_FALSE(Usable(world, "Multi", "No_servers"));

    world.Menu("Multi")->ControlSetState("ServersList", 0);
    world.Settle();
    EXPECT_TRUE(Usable(world, "Multi", "Join"));
    world.Click("Multi", "Input");
    world.Type("1");
    world.Frame();
    EXPECT_EQ(State(world, "Multi", "ServersList").intValue, -1);
}

// Two machines in one process, each with its menus and a real network
// manager, meeting over loopback.
class Multiplayer : public ::testing::Test {
protected:
    Multiplayer()
    {
        host.AddPilot("Hal");
        host.UseNetwork();
        client.AddPilot("Anna");
        client.UseNetwork();
    }

    u16 HostPort() const { return static_cast<DirectPlayNetManager*>(host.Net().GetImplementation())->GetHostPort(); }
    std::string Address() const { return "127.0.0.1:" + std::to_string(HostPort()); }
    bool Until(const std::function<bool()>& _condition) { return FramesUntil({&host, &client}, _condition); }

    // The host makes its session and waits on the set-up screen.
    void Host(const char* _password = nullptr)
    {
        host.Enter();
        host.Click("Main", "Multiplayer");
        if (_password)
            host.Menu("Multi")->ControlSetState("HostPass", _password);
        host.Click("Multi", "Host");
        ASSERT_EQ(host.state->GetScreen(), state_menu_c::screen_multiplayer_setup);
        ASSERT_EQ(host.app.is_server, 1);
        ASSERT_NE(HostPort(), 0);
        ASSERT_TRUE(Until([&] { return host.ListItems("Multi2", "PlayerList").size() == 1; }));
    }

    // The client types the host's address and joins.
    void Join(const char* _password = nullptr)
    {
        OpenServerList();
        TypeInto(client, "Multi", "Input", Address().c_str());
        if (_password)
            client.Menu("Multi")->ControlSetState("HostPass", _password);
        client.Click("Multi", "Join");
    }

    void OpenServerList()
    {
        client.Enter();
        client.Click("Main", "Multiplayer");
    }

    // A session the client's search reports.
    void Found(const char* _name, const std::string& _address)
    {
        net_message_c found;
        found.WriteCString(_name).WriteCString(_address.c_str()).WriteBit(false);
        client.state->OnNetMessage(net_event_session_found, found, nullptr);
    }

    // Joins with the first listed session selected; true once in.
    bool JoinFirstListed()
    {
        client.Menu("Multi")->ControlSetState("ServersList", 0);
        client.Settle();
        client.Click("Multi", "Join");
        return Until([&] { return client.ListItems("Multi2", "PlayerList").size() == 2; });
    }

    void HostAndJoin()
    {
        Host();
        Join();
        ASSERT_EQ(client.state->GetScreen(), state_menu_c::screen_multiplayer_setup);
        ASSERT_TRUE(Until([&] {
            return host.ListItems("Multi2", "PlayerList").size() == 2 &&
                   client.ListItems("Multi2", "PlayerList").size() == 2;
        }));
    }

    screens_world_c host;
    screens_world_c client;
};

TEST_F(Multiplayer, AClientJoinsTheHostsSetUpAndFollowsItsChoices)
{
    HostAndJoin();
    EXPECT_EQ(host.ListItems("Multi2", "PlayerList"),
              (std::vector<std::string>{"Hal|Camel|Cadet", "Anna|Camel|Cadet"}));
    EXPECT_EQ(client.ListItems("Multi2", "PlayerList"), host.ListItems("Multi2", "PlayerList"));
    EXPECT_EQ(client.app.is_server, 0);
    for (const char* control :
         {"BA", "BA_up", "BA_down", "BN", "BN_up", "BN_down", "GameMode", "Terrain", "GameTime"}) {
        EXPECT_TRUE(Usable(host, "Multi2", control)) << control;
        EXPECT_FALSE(Usable(client, "Multi2", control)) << control;
    }
    EXPECT_EQ(State(host, "Multi2", "GameTime").intValue, 7) << "a new session plays 30 minutes";

    host.Menu("Multi2")->ControlSetState("Terrain", 2);
    host.Menu("Multi2")->ControlSetState("GameMode", 1);
    host.Menu("Multi2")->ControlSetState("GameTime", 19);
    host.Click("Multi2", "BA_up");
    host.Click("Multi2", "BN_down");
    EXPECT_EQ(host.app.mp_game_time, 30);
    EXPECT_EQ(host.app.mp_limit_mode, 2);
    EXPECT_EQ(host.app.mp_game_mode, 2);
    EXPECT_EQ(host.app.mp_allied_planes, 1);
    EXPECT_EQ(host.app.mp_german_planes, 0) << "down at 0 stays 0";
    EXPECT_EQ(host.state->GetMultiplayerTerrain(), 3);
    ASSERT_TRUE(Until([&] {
        return State(client, "Multi2", "Terrain").intValue == 2 && State(client, "Multi2", "GameTime").intValue == 19 &&
               State(client, "Multi2", "GameMode").intValue == 1 && State(client, "Multi2", "BA").stringValue == "1" &&
               State(client, "Multi2", "BN").stringValue == "0";
    }));
    EXPECT_EQ(client.app.mission_number, 3);
    EXPECT_EQ(client.state->GetMultiplayerTerrain(), 3);

    // The host starts; the joined player may fly once the game runs.
    EXPECT_EQ(host.Click("Multi2", "fly"), state_start_game);
    EXPECT_EQ(host.app.game_type, 3);
    EXPECT_EQ(host.app.mission_number, 3);
    EXPECT_FALSE(Usable(client, "Multi2", "fly"));
    net_message_c running;
    running.WriteF32(0.0f).WriteU32(3).WriteBit(false).WriteU32(0).WriteU32(0);
    host.Net().SendToGroup(0, net_game_state, &running, nullptr, nullptr, false, false);
    ASSERT_TRUE(Until([&] { return client.state->IsFlyAllowed(); }));
    client.Frame();
    EXPECT_TRUE(Usable(client, "Multi2", "fly"));
    EXPECT_EQ(client.Click("Multi2", "fly"), state_start_game);
    EXPECT_EQ(client.app.game_type, 4);
    EXPECT_EQ(client.app.mission_number, 3);
}

TEST_F(Multiplayer, ChatLinesAreShownOnBothMachinesAndAnEmptyLineSendsNothing)
{
    HostAndJoin();
    TypeInto(client, "Multi2", "chat", "hello");
    client.Key(VK_RETURN);
    client.Settle();
    EXPECT_EQ(State(client, "Multi2", "chat").stringValue, "");
    ASSERT_TRUE(Until([&] {
        return Lines(host, "Multi2", "ChatList") == std::vector<std::string>{"Anna: hello"} &&
               Lines(client, "Multi2", "ChatList") == std::vector<std::string>{"Anna: hello"};
    }));

    TypeInto(host, "Multi2", "chat", "");
    host.Key(VK_RETURN);
    TypeInto(host, "Multi2", "chat", "welcome");
    host.Key(VK_RETURN);
    ASSERT_TRUE(Until([&] { return Lines(client, "Multi2", "ChatList").size() == 2; }));
    EXPECT_EQ(Lines(client, "Multi2", "ChatList")[1], "Hal: welcome");

    // A line from a player the session does not know keeps its text.
    net_message_c stray;
    stray.WriteU16(0x7777).WriteCString("boo");
    client.state->OnNetMessage(net_event_chat, stray, nullptr);
    EXPECT_EQ(Lines(client, "Multi2", "ChatList").back(), ": boo");
}

TEST_F(Multiplayer, AWrongPasswordIsRefusedWithTheMessage)
{
    Host("secret");
    Join("guess");
    ASSERT_TRUE(Until([&] { return client.state->GetScreen() == state_menu_c::screen_refused_message; }));
    client.Settle();
    EXPECT_STREQ(client.Dialog(), "Dialog_OK");
    EXPECT_EQ(Lines(client, "Dialog_OK", "Text"), (std::vector<std::string>{"The server refused the connection."}));
    client.Click("Dialog_OK", "OK");
    EXPECT_EQ(client.state->GetScreen(), state_menu_c::screen_main);
    EXPECT_STREQ(client.CurrentMenu(), "Main");
    EXPECT_EQ(host.ListItems("Multi2", "PlayerList").size(), 1u);

    // The right one is let in.
    Join("secret");
    ASSERT_TRUE(Until([&] { return client.ListItems("Multi2", "PlayerList").size() == 2; }));
}

TEST_F(Multiplayer, TheSearchFindsTheHostAndJoinsTheListedSession)
{
    Host();
    const dplay8_search_config_c saved = Dplay8GetSearchConfig();
    dplay8_search_config_c config;
    config.hosts = {"127.0.0.1"};
    config.port = HostPort();
    config.retry_count = 2;
    config.retry_interval_ms = 50;
    config.timeout_ms = 200;
    Dplay8SetSearchConfig(config);

    OpenServerList();
    EXPECT_TRUE(client.state->IsSearchIdle());
    client.Click("Multi", "Refresh");
    const bool searched = Until([&] { return client.state->IsSearchIdle(); });
    Dplay8SetSearchConfig(saved);
    ASSERT_TRUE(searched);
    client.Frame();
    EXPECT_TRUE(Usable(client, "Multi", "Refresh"));
    EXPECT_EQ(client.ListItems("Multi", "ServersList"), (std::vector<std::string>{"New Server"}));
    EXPECT_FALSE(Usable(client, "Multi", "No_servers"));
    EXPECT_TRUE(JoinFirstListed());
}

TEST_F(Multiplayer, RefreshForgetsEarlierSessionsSoJoinTakesTheOneShown)
{
    Host();
    OpenServerList();
    Found("Gone", "127.0.0.1:1");
    client.Click("Multi", "Refresh");
    EXPECT_FALSE(Usable(client, "Multi", "Refresh")) << "until the search ends";
    EXPECT_TRUE(client.state->GetServers().empty());
    Found("Sky", Address());
    EXPECT_TRUE(JoinFirstListed());
}

TEST_F(Multiplayer, ATypedAddressWinsOverTheSelectedSession)
{
    Host();
    OpenServerList();
    Found("Nowhere", "127.0.0.1:1");
    client.Menu("Multi")->ControlSetState("Input", Address().c_str());
    EXPECT_TRUE(JoinFirstListed());
}

TEST_F(Multiplayer, AClientThatLeavesIsDroppedFromTheHostsList)
{
    HostAndJoin();
    client.Click("Multi2", "Back");
    EXPECT_EQ(client.state->GetScreen(), state_menu_c::screen_leave_question);
    EXPECT_EQ(Lines(client, "Dialog_Yes_No", "Text"), (std::vector<std::string>{"Leave the game?"}));
    client.Key(VK_ESCAPE);
    client.Settle();
    EXPECT_EQ(client.state->GetScreen(), state_menu_c::screen_multiplayer_setup);

    client.Click("Multi2", "Back");
    client.Click("Dialog_Yes_No", "Yes");
    EXPECT_EQ(client.state->GetScreen(), state_menu_c::screen_main);
    EXPECT_TRUE(client.app.players.GetEntries().empty());
    EXPECT_TRUE(client.ListItems("Multi2", "PlayerList").empty());
    ASSERT_TRUE(Until([&] { return host.ListItems("Multi2", "PlayerList").size() == 1; }));
    client.Settle();
    EXPECT_EQ(client.state->GetScreen(), state_menu_c::screen_main) << "a session left on purpose ends quietly";
}

TEST_F(Multiplayer, TheHostClosingSendsTheClientBackToTheMainMenu)
{
    HostAndJoin();
    client.Click("Multi2", "Back"); // the leave question is open when the host goes
    host.Click("Multi2", "Back");
    host.Click("Dialog_Yes_No", "Yes");
    EXPECT_EQ(host.state->GetScreen(), state_menu_c::screen_main);
    ASSERT_TRUE(Until([&] { return client.state->GetScreen() == state_menu_c::screen_main_message; }));
    client.Settle();
    EXPECT_STREQ(client.Dialog(), "Dialog_OK");
    EXPECT_FALSE(client.Menu("Dialog_Yes_No")->IsEnabled());
    EXPECT_EQ(Lines(client, "Dialog_OK", "Text"), (std::vector<std::string>{"The server closed the connection."}));
    client.app.mp_setup_text_a = "3";
    client.app.mp_setup_a = 2;
    client.Click("Dialog_OK", "OK");
    EXPECT_EQ(client.state->GetScreen(), state_menu_c::screen_main);
    EXPECT_EQ(client.app.mp_setup_text_a, "");
    EXPECT_EQ(client.app.mp_setup_a, 0);
    EXPECT_EQ(client.app.players_changed, 0);
}

// The set-up screen on its own, with a recording session.
class SetUp : public ::testing::Test {
protected:
    SetUp()
    {
        auto recorded = std::make_unique<app_testing::logged_session_c>(log);
        session = recorded.get();
        world.app.net_manager = std::move(recorded);
        world.AddPilot("Hal");
    }

    void Open(bool _hosting = false)
    {
        world.Enter();
        world.app.is_server = _hosting ? 1 : 0;
        world.state->GetManager()->SetMenu("Multi2");
        world.state->SetScreen(state_menu_c::screen_multiplayer_setup);
        world.Settle();
    }

    app_testing::event_log_t log;
    app_testing::logged_session_c* session = nullptr;
    screens_world_c world;
};

TEST_F(SetUp, ResultsOfTheLastGameAreListedUntilOk)
{
    Open();
    world.app.mp_results = {{"Hal", 3}, {"Anna", -1}};
    world.Frame();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_result_list);
    EXPECT_TRUE(world.app.mp_results.empty());
    EXPECT_EQ(world.ListItems("Dialog_OK_list", "list"), (std::vector<std::string>{"Hal|3", "Anna|-1"}));
    world.Settle();
    world.Click("Dialog_OK_list", "OK");
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_multiplayer_setup);
}

TEST_F(SetUp, PlayersWithUnknownPlanesOrRanksAreListedWithEmptyColumns)
{
    Open();
    world.app.players.Add("Anna", 1, 2, 0x80000002u);
    world.app.players.Add("Bert", 2, 99, 0x7FFFFFFFu);
    world.app.players.Add("Cid", 3, 0, 0);
    world.app.players_changed = 1;
    world.Frame();
    EXPECT_EQ(world.app.players_changed, 0);
    EXPECT_EQ(world.ListItems("Multi2", "PlayerList"),
              (std::vector<std::string>{"Anna|Albatros|Captain", "Bert||", "Cid||Cadet"}));
}

TEST_F(SetUp, TheHostAsksForItsSettingsToBeSentWhenTheyChange)
{
    Open(true);
    const auto requests = [this] {
        size_t count = 0;
        for (const auto& sent : session->sent)
            count += sent.type_word == net_setup_request;
        return count;
    };
    const size_t first = requests();
    EXPECT_GE(first, 1u);
    world.Settle();
    EXPECT_EQ(requests(), first) << "nothing changed";
    world.Menu("Multi2")->ControlSetState("Terrain", 1);
    world.Settle();
    EXPECT_EQ(requests(), first + 1);
    EXPECT_EQ(world.app.mp_setup_a, 1);
}

TEST_F(SetUp, AfterAMultiplayerGameTheSetUpShowsWhatWasPlayed)
{
    struct case_s {
        i32 game_type;
        i32 minutes;
        i32 mode;
        i32 time_item;
        i32 mode_item;
    };
    for (const case_s c : {case_s{3, 30, 2, 19, 1}, case_s{4, 45, 1, 19, 0}, case_s{3, 3, 1, 12, 0}}) {
        world.Enter();
        world.state->GetManager()->SetMenu("Multi2");
        world.state->SetScreen(state_menu_c::screen_multiplayer_setup);
        world.Settle();
        world.app.game_type = c.game_type;
        world.app.mission_number = 2;
        world.app.mp_game_time = c.minutes;
        world.app.mp_game_mode = c.mode;
        world.app.mp_allied_planes = 3;
        world.app.mp_german_planes = 4;
        world.app.players.Clear();
        world.app.players.Add("Hal", 0, 1, 0);
        const size_t before = session->sent.size();
        world.ReturnFromGame();
        EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_multiplayer_setup);
        EXPECT_STREQ(world.CurrentMenu(), "Multi2");
        EXPECT_EQ(State(world, "Multi2", "Terrain").intValue, 1);
        EXPECT_EQ(world.state->GetMultiplayerTerrain(), 2);
        EXPECT_EQ(State(world, "Multi2", "GameTime").intValue, c.time_item) << c.minutes;
        EXPECT_EQ(State(world, "Multi2", "GameMode").intValue, c.mode_item);
        EXPECT_EQ(world.app.mp_limit_mode, 2);
        EXPECT_EQ(State(world, "Multi2", "BA").stringValue, "3");
        EXPECT_EQ(State(world, "Multi2", "BN").stringValue, "4");
        EXPECT_EQ(world.app.is_server, c.game_type == 3 ? 1 : 0);
        EXPECT_EQ(world.ListItems("Multi2", "PlayerList"), (std::vector<std::string>{"Hal|Camel|Cadet"}));
        ASSERT_GT(session->sent.size(), before);
        EXPECT_EQ(session->sent[before].type_word, net_setup_request);
        EXPECT_STREQ(world.state->GetMusic()->GetCurrent(), "multi") << "names compare without case";
        world.state->Leave();
        world.app.stored_menu_name.Clear();
    }
}

} // namespace
