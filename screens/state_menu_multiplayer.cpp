// The multiplayer set-up where the players of a session meet: the host's
// choice of terrain, mode, time and bots, which the joined machines follow;
// the chat; the player list; the start of the game. Also the session's
// events while the menus run, and the way back after a multiplayer game.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "app/application.h"
#include "app/message/net_message.h"
#include "app/message/net_message_type.h"
#include "menu/any_menu.h"
#include "menu/any_menu_control.h"
#include "menu/menu_manager.h"
#include "menu/text_window.h"
#include "net/game_net_manager.h"
#include "screens/menu_music.h"
#include "screens/screen_controls.h"
#include "screens/state_menu.h"

namespace {

constexpr i32 kMaxBots = 8;
constexpr i32 kGameTimeItems = 24;
constexpr i32 kGameTimeHalf = 12;
// The "GameTime" item of a time that is not in the list: 30 minutes.
constexpr i32 kDefaultGameTimeIndex = 7;
// Hides a dialog at once (a transition that ends within the next update).
constexpr f32 kInstantTime = 1e-15f;

// The controls only the hosting machine may change.
constexpr const char* kSetupControls[] = {"BA",      "BA_up",    "BA_down", "BN",      "BN_up",
                                          "BN_down", "GameMode", "Terrain", "GameTime"};

// The settings request (0x113): its body is one u32 0.
void RequestSettings(net_session_c* _session)
{
    if (!_session)
        return;
    net_message_c request;
    request.WriteU32(0);
    _session->Send(net_setup_request, request, false, false, false);
}

} // namespace

void state_menu_c::UpdateMultiplayerSetup(f32)
{
    application_c& app = *GetApplication();
    any_menu_c* setup = Menu("Multi2");
    if (!setup)
        return;
    const bool hosting = app.is_server != 0;

    if (GameNetManager* net = Net(); !hosting && !manager->GetDialogMenu() && net && !net->IsReady())
        ShowServerClosed();

    for (const char* control : kSetupControls)
        SetUsable(setup, control, hosting);

    if (TextWindowControl* chat = FindTextWindow(setup, "ChatList"))
        chat->SetScrollBar(ReadControl(setup, "ChatList_scroll").floatValue);
    const menu_ret_c line = ReadControl(setup, "chat");
    if (line.intValue == kKeyEnter) {
        if (GameNetManager* net = Net(); net && !line.stringValue.IsEmpty())
            net->SendChat(line.stringValue.GetData());
        setup->ControlSetState("chat", "");
    }

    if (IsClicked(setup, "Back") || escape_pressed) {
        escape_pressed = 0;
        LoadTextInto(Menu("Dialog_Yes_No"), "Text", "DATA\\MENU\\DIALOG\\Exit_multi_text.txt");
        manager->ShowDialog("Dialog_Yes_No", kMenuSwitchTime);
        screen = screen_leave_question;
        return;
    }

    if (app.players_changed) {
        app.players_changed = 0;
        RefreshPlayerList();
    }

    if (hosting) {
        const i32 terrain = ReadControl(setup, "Terrain").intValue;
        if (terrain >= 0)
            multiplayer_terrain = app.mission_number = terrain + 1;
        const i32 mode = ReadControl(setup, "GameMode").intValue;
        app.mp_game_mode = mode == 0 ? 1 : mode == 1 ? 2 : 0;
        const i32 time = ReadControl(setup, "GameTime").intValue;
        if (time >= 0 && time < kGameTimeItems) {
            app.mp_game_time = kGameTimeMinutes[time % kGameTimeHalf];
            app.mp_limit_mode = time < kGameTimeHalf ? 1 : 2;
        }
        const string_c allied = UpdateNumberBox(setup, "BA", "BA_up", "BA_down", 0, kMaxBots);
        const string_c enemy = UpdateNumberBox(setup, "BN", "BN_up", "BN_down", 0, kMaxBots);
        app.mp_allied_planes = allied.ToInt();
        app.mp_german_planes = enemy.ToInt();

        bool changed = false;
        const auto keepText = [&changed](string_c& _last, const string_c& _now) {
            if (_last != _now) {
                _last = _now;
                changed = true;
            }
        };
        const auto keepItem = [&changed](i32& _last, i32 _now) {
            if (_last != _now) {
                _last = _now;
                changed = true;
            }
        };
        keepText(app.mp_setup_text_a, allied);
        keepText(app.mp_setup_text_b, enemy);
        keepItem(app.mp_setup_a, terrain);
        keepItem(app.mp_setup_b, mode);
        keepItem(app.mp_setup_c, time);
        if (changed)
            RequestSettings(app.GetNetManager());
    } else if (app.setup_received) {
        setup->ControlSetState("BA", app.mp_setup_text_a.GetData());
        setup->ControlSetState("BN", app.mp_setup_text_b.GetData());
        setup->ControlSetState("Terrain", app.mp_setup_a);
        setup->ControlSetState("GameMode", app.mp_setup_b);
        setup->ControlSetState("GameTime", app.mp_setup_c);
        if (app.mp_setup_a >= 0)
            multiplayer_terrain = app.mission_number = app.mp_setup_a + 1;
        app.setup_received = 0;
    }

    if (IsClicked(setup, "Plane")) {
        manager->ShowDialog("SelPlane", kMenuSwitchTime);
        screen = screen_multiplayer_plane;
    }

    if (!hosting)
        SetUsable(setup, "fly", fly_allowed != 0);
    if (IsClicked(setup, "fly")) {
        app.game_type = hosting ? 3 : 4;
        result = state_start_game;
    }

    if (!app.mp_results.empty()) {
        any_menu_c* results = Menu("dialog_ok_list");
        if (any_menu_control_c* list = results ? results->FindControl("list") : nullptr) {
            list->RemoveItem(nullptr);
            for (const mp_result_s& line : app.mp_results) {
                string_c item = line.name;
                item += "|";
                item += line.score;
                list->AddItem(item.GetData());
            }
        }
        app.mp_results.clear();
        manager->ShowDialog("Dialog_ok_list", kMenuSwitchTime);
        screen = screen_result_list;
    }
}

void state_menu_c::UpdateResultList(f32)
{
    if (IsClicked(Menu("Dialog_OK_list"), "OK") || escape_pressed) {
        escape_pressed = 0;
        GetApplication()->mp_results.clear();
        screen = screen_multiplayer_setup;
        manager->ShowDialog(nullptr, kMenuSwitchTime);
    }
}

void state_menu_c::ShowServerClosed()
{
    const auto closeDialog = [this](const char* _dialog) {
        escape_pressed = 0;
        screen = screen_multiplayer_setup;
        manager->ShowDialog(nullptr, kInstantTime);
        const f32 now = manager->GetCurrentTime();
        manager->Update(std::max(now + 1e-7f, std::nextafter(now, FLT_MAX)));
        if (any_menu_c* dialog = Menu(_dialog))
            dialog->Enable(false);
    };
    if (screen == screen_leave_question)
        closeDialog("Dialog_Yes_No");
    if (screen == screen_result_list) {
        closeDialog("Dialog_ok_list");
        GetApplication()->mp_results.clear();
    }
    LoadTextInto(Menu("Dialog_OK"), "Text", "DATA\\MENU\\DIALOG\\Server_closed_connection_text.txt");
    manager->ShowDialog("Dialog_OK", kMenuSwitchTime);
    screen = screen_main_message;
}

void state_menu_c::AddChatLine(const string_c& _name, const string_c& _text)
{
    string_c line = _name;
    line += ": ";
    line += _text;
    if (TextWindowControl* chat = FindTextWindow(Menu("Multi2"), "ChatList"))
        chat->SetText(line.GetData(), true);
}

void state_menu_c::ClearChat()
{
    any_menu_c* setup = Menu("Multi2");
    if (!setup)
        return;
    setup->ControlSetState("ChatList_scroll", 1.0f);
    ClearText(setup, "ChatList");
}

void state_menu_c::RefreshPlayerList()
{
    any_menu_c* setup = Menu("Multi2");
    any_menu_control_c* list = setup ? setup->FindControl("PlayerList") : nullptr;
    if (!list)
        return;
    list->RemoveItem(nullptr);
    for (const net_player_entry_s& player : GetApplication()->players.GetEntries()) {
        // Plane and rank come from the peers: unknown ones show empty.
        const u32 rank = player.progress & 0x7FFFFFFFu;
        string_c item = player.name;
        item += "|";
        item += PlaneName(static_cast<i32>(std::min<u32>(player.plane, 0x7FFFFFFFu)));
        item += "|";
        if (rank < rank_names.size())
            item += rank_names[rank];
        list->AddItem(item.GetData());
    }
}

void state_menu_c::OnNetMessage(u16 _type_word, net_message_c& _message, net_player_c*)
{
    application_c& app = *GetApplication();
    switch (NetMessageType(_type_word)) {
    case net_event_session_ended:
        if (app.is_server)
            app.is_server = 0;
        // A session this machine closed itself ends quietly.
        else if (screen == screen_multiplayer_setup || screen == screen_multiplayer_plane ||
                 screen == screen_leave_question || screen == screen_result_list)
            ShowServerClosed();
        break;
    case net_event_connection_succeeded:
        if (GameNetManager* net = Net())
            net->SendJoinRequest(app.pilots.GetCurrentName().GetData());
        break;
    case net_event_connection_rejected: ShowServerRefused(); break;
    case net_event_session_found: {
        const string_c display = _message.ReadString();
        const string_c address = _message.ReadString();
        const bool flag = _message.ReadBit();
        if (!_message.IsOverflowed())
            AddServer(display, address, flag ? 1 : 0);
        break;
    }
    case net_event_search_finished: search_requested = 1; break;
    case net_event_chat: {
        const u16 id = _message.ReadU16();
        const string_c text = _message.ReadString();
        if (_message.IsOverflowed())
            break;
        const GameNetManager* net = Net();
        const net_player_c* speaker = net ? net->FindPlayer(id) : nullptr;
        AddChatLine(speaker ? string_c(speaker->name) : string_c(), text);
        break;
    }
    case net_game_state: fly_allowed = 1; break;
    default: break;
    }
}

void state_menu_c::ReturnFromMultiplayer()
{
    application_c& app = *GetApplication();
    BuildAvailablePlanes(true);
    if (any_menu_c* setup = Menu("Multi2")) {
        const i32 terrain = std::max(app.mission_number - 1, 0);
        setup->ControlSetState("Terrain", terrain);
        multiplayer_terrain = terrain + 1;
        if (app.mp_game_mode == 1)
            setup->ControlSetState("GameMode", 0);
        else if (app.mp_game_mode == 2)
            setup->ControlSetState("GameMode", 1);
        app.mp_limit_mode = 2;
        const i32* minutes = std::find(std::begin(kGameTimeMinutes), std::end(kGameTimeMinutes), app.mp_game_time);
        const i32 index = minutes == std::end(kGameTimeMinutes)
                              ? kDefaultGameTimeIndex
                              : static_cast<i32>(minutes - std::begin(kGameTimeMinutes));
        setup->ControlSetState("GameTime", kGameTimeHalf + index);
        string_c allied;
        allied += app.mp_allied_planes;
        string_c enemy;
        enemy += app.mp_german_planes;
        setup->ControlSetState("BA", allied.GetData());
        setup->ControlSetState("BN", enemy.GetData());
    }
    RefreshPlayerList();
    if (app.game_type == 3)
        app.is_server = 1;
    RequestSettings(app.GetNetManager());
    music->PlayMusic("multi");
    pending_menu = "Multi2";
    screen = screen_multiplayer_setup;
}
