// The way into multiplayer: the server list that searches, hosts and joins,
// the waiting dialog while a session is made, and the ways out of a session
// (the leave question and the messages that end it).
#include <algorithm>

#include "app/application.h"
#include "menu/any_menu.h"
#include "menu/any_menu_control.h"
#include "menu/menu_manager.h"
#include "net/game_net_manager.h"
#include "screens/menu_music.h"
#include "screens/screen_controls.h"
#include "screens/state_menu.h"

namespace {

constexpr i32 kMinPlayers = 2;
constexpr i32 kMaxPlayers = 16;
constexpr i32 kMaxPort = 65535;
// "GameTime" item of 30 minutes, the first half of the list.
constexpr i32 kHostGameTime = 7;
constexpr f32 kWaitingDialogTime = 0.01f;

// Null for an empty text: the network takes that as "no password".
const char* PasswordOf(const string_c& _text)
{
    return _text.IsEmpty() ? nullptr : _text.GetData();
}

} // namespace

GameNetManager* state_menu_c::Net() const
{
    return dynamic_cast<GameNetManager*>(GetApplication()->GetNetManager());
}

void state_menu_c::OpenMultiplayer(f32 _time)
{
    BuildAvailablePlanes(true);
    if (any_menu_c* multi = Menu("Multi")) {
        multi->ControlSetState("HostName", "New Server");
        multi->ControlSetState("MaxPlayers", "8");
        if (any_menu_control_c* list = multi->FindControl("ServersList"))
            list->RemoveItem(nullptr);
    }
    ClearServers();
    music->SwitchMusic("Multi", _time, kMusicSwitchTime);
    manager->CrossSwitchMenu("Multi", kMenuSwitchTime);
    screen = screen_servers;
}

void state_menu_c::AddServer(const string_c& _display, const string_c& _address, u8 _flag)
{
    if (any_menu_control_c* list = Menu("Multi") ? Menu("Multi")->FindControl("ServersList") : nullptr)
        list->AddItem(_display.GetData());
    servers.push_back({_display, _address, _flag});
}

void state_menu_c::ClearServers()
{
    servers.clear();
}

void state_menu_c::UpdateServerList(f32 _time)
{
    application_c& app = *GetApplication();
    any_menu_c* multi = Menu("Multi");
    ClearChat();
    app.is_server = 0;
    fly_allowed = 0;
    if (!multi)
        return;

    SetUsable(multi, "Refresh", search_requested != 0);
    if (IsClicked(multi, "Refresh")) {
        search_requested = 0;
        if (any_menu_control_c* list = multi->FindControl("ServersList"))
            list->RemoveItem(nullptr);
        // The records go with their items, so an index of the list always
        // names the session it shows.
        ClearServers();
        if (GameNetManager* net = Net())
            net->EnumerateSessions();
    }

    if (IsEditing(multi, "Input"))
        Deselect(multi, "ServersList");
    multi->ControlDisable("No_servers", servers.empty());

    const i32 maxPlayers = UpdateNumberBox(multi, "MaxPlayers", "MP_up", "MP_down", kMinPlayers, kMaxPlayers).ToInt();
    const string_c name = ReadControl(multi, "HostName").stringValue;
    const string_c password = ReadControl(multi, "HostPass").stringValue;
    const i32 port = std::clamp(ReadControl(multi, "Port").stringValue.ToInt(), 0, kMaxPort);
    SetUsable(multi, "Host", maxPlayers > 0 && !name.IsEmpty());

    const menu_ret_c selected = ReadControl(multi, "ServersList");
    const string_c typed = ReadControl(multi, "Input").stringValue;
    SetUsable(multi, "Join", !selected.stringValue.IsEmpty() || !typed.IsEmpty());

    if (IsClicked(multi, "Back") || escape_pressed) {
        escape_pressed = 0;
        music->SwitchMusic("Main", _time, kMusicSwitchTime);
        manager->CrossSwitchMenu("Main", kMenuSwitchTime);
        screen = screen_main;
        return;
    }

    if (IsClicked(multi, "Join")) {
        string_c address = typed;
        if (address.IsEmpty() && selected.intValue >= 0 && static_cast<size_t>(selected.intValue) < servers.size())
            address = servers[static_cast<size_t>(selected.intValue)].address;
        if (address.IsEmpty())
            return;
        if (GameNetManager* net = Net())
            net->Connect(address.GetData(), PasswordOf(password));
        manager->CrossSwitchMenu("Multi2", kMenuSwitchTime);
        screen = screen_multiplayer_setup;
        return;
    }

    if (IsClicked(multi, "Host")) {
        if (any_menu_c* setup = Menu("Multi2"))
            setup->ControlSetState("GameTime", kHostGameTime);
        LoadTextInto(Menu("Dialog"), "Text", "data\\menu\\dialog\\create_host_text.txt");
        manager->ShowDialog("Dialog", kWaitingDialogTime);
        screen = screen_waiting;
        app.is_server = 1;
        host_name = name;
        host_password = password;
        host_max_players = maxPlayers;
        host_port = port;
    }
}

void state_menu_c::UpdateHosting(f32)
{
    GameNetManager* net = Net();
    const bool hosted = net && net->Host(host_name.GetData(), static_cast<u32>(std::max(host_max_players, 0)),
                                         PasswordOf(host_password), static_cast<u32>(host_port)) >= 0;
    if (!hosted) {
        // Nothing to set up without a session: say so and go back.
        GetApplication()->is_server = 0;
        ShowServerClosed();
        return;
    }
    net->SendJoinRequest(GetApplication()->pilots.GetCurrentName().GetData());
    screen = screen_multiplayer_setup;
    manager->CrossSwitchMenu("Multi2", kMenuSwitchTime);
    manager->ShowDialog(nullptr, kMenuSwitchTime);
}

void state_menu_c::EndSession(f32 _time)
{
    if (GameNetManager* net = Net())
        net->Close();
    GetApplication()->players.Clear();
    RefreshPlayerList();
    music->SwitchMusic("Main", _time, kMusicSwitchTime);
    screen = screen_main;
    manager->ShowDialog(nullptr, kMenuSwitchTime);
    manager->CrossSwitchMenu("Main", kMenuSwitchTime);
}

void state_menu_c::UpdateLeaveQuestion(f32 _time)
{
    any_menu_c* question = Menu("Dialog_Yes_No");
    if (IsClicked(question, "Yes")) {
        EndSession(_time);
        return;
    }
    if (IsClicked(question, "No") || escape_pressed) {
        escape_pressed = 0;
        manager->ShowDialog(nullptr, kMenuSwitchTime);
        screen = screen_multiplayer_setup;
    }
}

void state_menu_c::UpdateSessionEnd(f32 _time)
{
    if (!IsClicked(Menu("Dialog_OK"), "OK") && !escape_pressed)
        return;
    escape_pressed = 0;
    application_c& app = *GetApplication();
    app.is_server = 0;
    app.players_changed = 0;
    app.mp_setup_text_a.Clear();
    app.mp_setup_text_b.Clear();
    app.mp_setup_a = 0;
    app.mp_setup_b = 0;
    app.mp_setup_c = 0;
    EndSession(_time);
}
