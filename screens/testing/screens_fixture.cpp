#include "screens/testing/screens_fixture.h"

#include <chrono>
#include <cmath>
#include <thread>

#include "engine/geom_object.h"
#include "engine/scene.h"
#include "engine/testing/effect_fixtures.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"
#include "input/testing/bindings.h"
#include "level/chunk_saver.h"
#include "level/object_template.h"
#include "menu/any_menu.h"
#include "menu/any_menu_control.h"
#include "menu/list_box.h"
#include "menu/menu_manager.h"
#include "net/game_net_manager.h"
#include "platform/win32/window_types.h"

namespace screens_testing {

namespace {

constexpr i32 kSide = 1000;
constexpr i32 kColumns = 6;

struct control_def_s {
    const char* keyword;
    std::string name;
};

std::vector<u8> Bytes(const std::string& _text)
{
    return {_text.begin(), _text.end()};
}

const char* ScriptOf(const char* _keyword)
{
    const std::string keyword = _keyword;
    if (keyword == "ButtonControl")
        return "menu\\button.txt";
    if (keyword == "TextBoxControl")
        return "menu\\text_box.txt";
    if (keyword == "ListBoxControl")
        return "menu\\list.txt";
    if (keyword == "SliderHorizontalControl")
        return "menu\\slider.txt";
    if (keyword == "CheckBoxControl")
        return "menu\\check.txt";
    return "menu\\window.txt";
}

// The menu script of the controls, from grid cell _first_cell on.
std::string MenuScript(const std::vector<control_def_s>& _controls, i32 _first_cell)
{
    std::string script;
    i32 cell = _first_cell;
    for (const control_def_s& control : _controls) {
        const f32 x = 0.01f + static_cast<f32>(cell % kColumns) * 0.165f;
        const f32 y = 0.01f + static_cast<f32>(cell / kColumns) * 0.09f;
        script += std::string(control.keyword) + " " + control.name + " " + ScriptOf(control.keyword) +
                  " x=" + std::to_string(x) + " y=" + std::to_string(y) + " w=0.15 h=0.08\n";
        ++cell;
    }
    return script;
}

std::vector<control_def_s> Buttons(std::initializer_list<const char*> _names)
{
    std::vector<control_def_s> controls;
    for (const char* name : _names)
        controls.push_back({"ButtonControl", name});
    return controls;
}

void Append(std::vector<control_def_s>& _to, const std::vector<control_def_s>& _more)
{
    _to.insert(_to.end(), _more.begin(), _more.end());
}

// The bytes of a scene with one camera, in the engine's own format.
std::vector<u8> SceneBytes(renderer_c* _renderer)
{
    scene_c scene("scene", _renderer);
    scene.CreateCamera("camera");
    output_file_c out;
    scene.Write(out);
    return {out.GetData(), out.GetData() + out.GetSize()};
}

} // namespace

silent_source_c::silent_source_c(sound_system_c* _system, const char* _name, u32 _flags)
    : sound_source_c(_system, _flags), name(_name), flags(_flags)
{}

silent_source_c::~silent_source_c()
{
    if (auto* sound = dynamic_cast<silent_sound_c*>(GetSystem()))
        std::erase(sound->sources, this);
}

bool silent_source_c::SetVolume(float _decibels)
{
    decibels = _decibels;
    return true;
}

bool silent_source_c::SetLooping(bool _looping)
{
    looping = _looping;
    return true;
}

bool silent_source_c::Play()
{
    playing = true;
    ++plays;
    return true;
}

bool silent_source_c::Stop()
{
    playing = false;
    return true;
}

silent_sound_c::~silent_sound_c() = default;

sound_source_c* silent_sound_c::CreateOggSource(const char* _name, float, u32 _flags)
{
    if (missing.count(_name))
        throw file_error_c(_name, "File does not exist!");
    auto* source = new silent_source_c(this, _name, _flags);
    sources.push_back(source);
    return source;
}

bool silent_sound_c::Update()
{
    ++updates;
    return true;
}

bool scripted_input_c::LoadFromRegistry(const char* _company, const char* _product, const char* _value, u32 _version)
{
    return controllers.LoadFromRegistry(_company, _product, _value, _version);
}

void scripted_input_c::SaveToRegistry(const char* _company, const char* _product, const char* _value, u32 _version)
{
    controllers.SaveToRegistry(_company, _product, _value, _version);
}

void screens_devices_c::GetDesktopSize(i32& _width, i32& _height)
{
    _width = kSide;
    _height = kSide;
}

std::unique_ptr<renderer_c> screens_devices_c::CreateRenderer(HWND, const display_mode_s* _mode)
{
    const i32 width = _mode ? static_cast<i32>(_mode->width) : kSide;
    const i32 height = _mode ? static_cast<i32>(_mode->height) : kSide;
    made.push_back(std::to_string(width) + "x" + std::to_string(height));
    auto renderer = std::make_unique<recording_renderer_c>(width, height);
    // Narrow letters, so that the texts of the small grid cells do not wrap.
    renderer->fontCharacterWidth = 1;
    return renderer;
}

std::unique_ptr<sound_system_c> screens_devices_c::CreateSoundDevice(HWND)
{
    return std::make_unique<silent_sound_c>();
}

std::unique_ptr<input_link_c> screens_devices_c::CreateInput(HWND _hwnd)
{
    return std::make_unique<scripted_input_c>(_hwnd);
}

screens_world_c::screens_world_c()
{
    input.AddDevice(DI8DEVTYPE_KEYBOARD, GUID_SysKeyboard, "Keyboard").AddButton(0x1E, "A").AddButton(0x1F, "S");
    input.AddDevice(DI8DEVTYPE_JOYSTICK, kStickGuid, "Flight Stick Pro").AddButton(48, "Trigger");

    app.options = std::make_unique<options_c>(&app);
    app.options->SetDesktopSize(kSide, kSide);
    app.options->SetDefaults();
    app.options->width = kSide;
    app.options->height = kSide;
    app.renderer = devices.CreateRenderer(nullptr, nullptr);
    app.sound_device = devices.CreateSoundDevice(nullptr);
    app.controllers = devices.CreateInput(nullptr);
    app.pilots.SetApplication(&app);

    renderer_c* renderer = app.GetRenderer();
    const std::vector<u8> scene = SceneBytes(renderer);
    files.Add("data\\common\\loading\\loading.lws", scene);
    for (int n = 1; n <= 3; ++n)
        AddTestPicture(files, "data\\common\\loading\\loading_" + std::to_string(n) + ".dds");
    files.Add("data\\menu\\common\\glow2.lws", scene);
    files.Add("data\\game\\terrains\\lights.lws", scene);
    files.Add("menu\\part.scn", scene);
    std::string order;
    for (int i = 0; i < 8; ++i) {
        const std::string model = "data\\common\\distinction_" + std::to_string(i) + ".scn";
        files.Add(model, scene);
        order += "AddDistinction " + model + "\n";
    }
    files.Add("data\\common\\distinctions_order.txt", Bytes(order));
    files.Add("data\\common\\career_missions_order.txt", Bytes(""));
    files.Add("data\\common\\rank.txt", Bytes("Cadet\nLieutenant\nCaptain\n"));
    files.Add("data\\common\\dif.txt", Bytes("Normal\nHard\n"));
    files.Add("data\\common\\actions.txt", Bytes("Fire\nClimb\n"));
    files.Add("DATA\\MENU\\DIALOG\\create_pilot_text.txt", Bytes("Create a pilot first.\n"));
    files.Add("DATA\\MENU\\CAREER\\select_mission_text.txt", Bytes("Select a mission.\n"));
    files.Add("DATA\\MENU\\DIALOG\\server_rejected_text.txt", Bytes("The server refused the connection.\n"));
    files.Add("DATA\\MENU\\DIALOG\\Server_closed_connection_text.txt", Bytes("The server closed the connection.\n"));
    files.Add("DATA\\MENU\\DIALOG\\Exit_multi_text.txt", Bytes("Leave the game?\n"));
    files.Add("data\\menu\\dialog\\create_host_text.txt", Bytes("Creating the game...\n"));

    // Two actions, on the keyboard's A key and the stick's trigger.
    Bind(Controllers(), {{"fire", GUID_SysKeyboard, 0x1E}, {"climb", kStickGuid, 48}});

    WriteMenus();
    for (const char* name : {"Camel", "Albatros", "Spad", "Fokker"})
        AddPlane({name, 0.5f, 0.6f, 0.7f, 0.8f});
    AddTrainingMission();
    AddTrainingMission();
}

screens_world_c::~screens_world_c()
{
    if (state && state->GetManager())
        state->Leave();
    state.reset();
}

void screens_world_c::WriteMenus()
{
    files.Add("menu\\button.txt", Bytes("Action start=0 end=0 loop=0\n"));
    files.Add("menu\\text_box.txt",
              Bytes("Charset name=Arial height=12\n"
                    "InputMode AllowNumbers=1 AllowLetters=1 AllowOther=1 AllowSpace=1\nInputLenght 60\n"));
    files.Add("menu\\list.txt", Bytes("Charset name=Arial height=12\n"));
    files.Add("menu\\window.txt", Bytes("Charset name=Arial height=12\n"));
    files.Add("menu\\check.txt", Bytes(""));
    files.Add("menu\\slider.txt", Bytes("BarFile menu\\part.scn\nArrowRightFile menu\\part.scn\n"
                                        "ArrowUpFile menu\\part.scn\nSpeed 0.25\n"));

    std::map<std::string, std::string> menus;
    menus["Main"] = MenuScript(Buttons({"Training", "Options", "Career", "Multiplayer", "Pilot", "Exit"}), 0);

    std::vector<control_def_s> pilot = {{"ListBoxControl", "PilotsList"},
                                        {"TextBoxControl", "Input"},
                                        {"TextBoxControl", "pilotdefaultname"},
                                        {"ListBoxControl", "Poziom"}};
    Append(pilot, Buttons({"Login", "Back", "remove"}));
    for (int n = 1; n <= 8; ++n) {
        pilot.push_back({"TextWindowControl", "m" + std::to_string(n)});
        pilot.push_back({"TextWindowControl", "dupa" + std::to_string(n)});
    }
    menus["Pilot"] = MenuScript(pilot, 0);

    std::vector<control_def_s> page1;
    for (int n = 1; n <= 20; ++n)
        page1.push_back({"ButtonControl", "B" + std::to_string(n)});
    Append(page1, Buttons({"Continue", "back"}));
    files.Add("menu\\c1.txt", Bytes(MenuScript(page1, 2 * kColumns)));
    files.Add("menu\\c2.txt", Bytes(MenuScript(Buttons({"back", "Plane", "continue"}), 6 * kColumns)));
    const std::vector<control_def_s> mission = {{"TextWindowControl", "MissionDesc"},
                                                {"TextWindowControl", "MissionObj"},
                                                {"SliderHorizontalControl", "MissionDesc_scroll"},
                                                {"TextWindowControl", "pilot_name"},
                                                {"TextWindowControl", "pilot_rank"},
                                                {"TextWindowControl", "pilot_plane"},
                                                {"TextWindowControl", "pilot_dif"}};
    const std::string chains = "AddDialogChain Content C1 menu\\c1.txt\nAddDialogChain Content C2 menu\\c2.txt\n";
    menus["Career"] = MenuScript(mission, 0) + chains;
    menus["Training"] = MenuScript(mission, 0) + chains;

    std::vector<control_def_s> plane = {{"TextWindowControl", "plane_name"},
                                        {"SliderHorizontalControl", "plane_max_altitude"},
                                        {"SliderHorizontalControl", "plane_max_speed"},
                                        {"SliderHorizontalControl", "plane_handling"},
                                        {"SliderHorizontalControl", "plane_durability"}};
    Append(plane, Buttons({"prev", "next", "back", "continue"}));
    menus["SelPlane"] = MenuScript(plane, 0);

    std::vector<control_def_s> options;
    for (const char* slider : {"music_volume", "sound_volume", "mouse_speed", "gamma", "graphic_detaili"})
        options.push_back({"SliderHorizontalControl", slider});
    options.push_back({"CheckBoxControl", "FFire"});
    options.push_back({"ListBoxControl", "Resolution"});
    options.push_back({"ListBoxControl", "Controls"});
    Append(options, Buttons({"credits", "back"}));
    menus["Options"] = MenuScript(options, 0);

    std::vector<control_def_s> multi = {{"ListBoxControl", "ServersList"}, {"TextBoxControl", "Input"},
                                        {"ButtonControl", "No_servers"},   {"TextBoxControl", "HostName"},
                                        {"TextBoxControl", "HostPass"},    {"TextBoxControl", "MaxPlayers"},
                                        {"TextBoxControl", "Port"}};
    Append(multi, Buttons({"Refresh", "MP_up", "MP_down", "Host", "Join", "Back"}));
    menus["Multi"] = MenuScript(multi, 0);

    std::vector<control_def_s> setup = {{"TextBoxControl", "BA"},
                                        {"TextBoxControl", "BN"},
                                        {"ListBoxControl", "GameMode"},
                                        {"ListBoxControl", "Terrain"},
                                        {"ListBoxControl", "GameTime"},
                                        {"TextWindowControl", "ChatList"},
                                        {"SliderHorizontalControl", "ChatList_scroll"},
                                        {"TextBoxControl", "chat"},
                                        {"ListBoxControl", "PlayerList"}};
    Append(setup, Buttons({"BA_up", "BA_down", "BN_up", "BN_down", "Back", "Plane", "fly"}));
    // The item lists get their items from the menu's string table.
    std::string strings;
    std::string items;
    int index = 0;
    const auto addItem = [&](const char* _list, const std::string& _text) {
        strings += _text + "\n";
        items += std::string("AddItem ") + _list + " " + std::to_string(index++) + "\n";
    };
    for (const char* mode : {"Free for all", "Sides"})
        addItem("GameMode", mode);
    for (const char* terrain : {"Channel", "Verdun", "Alps"})
        addItem("Terrain", terrain);
    for (int half = 1; half <= 2; ++half)
        for (const i32 minutes : kGameTimeMinutes)
            addItem("GameTime", std::to_string(minutes) + (half == 1 ? " min" : " min, no limit"));
    files.Add("menu\\multi2_strings.txt", Bytes(strings));
    menus["Multi2"] = "StringTableFile menu\\multi2_strings.txt\n" + MenuScript(setup, 0) + items;
    std::vector<control_def_s> results = {{"ListBoxControl", "list"}};
    Append(results, Buttons({"OK"}));
    menus["Dialog_OK_list"] = MenuScript(results, 0);

    menus["Credits"] = MenuScript(Buttons({"back"}), 0);
    menus["Dialog"] = MenuScript({{"TextWindowControl", "Text"}}, 0);
    std::vector<control_def_s> ok = {{"TextWindowControl", "Text"}};
    Append(ok, Buttons({"OK"}));
    menus["Dialog_OK"] = MenuScript(ok, 0);
    std::vector<control_def_s> yesNo = {{"TextWindowControl", "Text"}};
    Append(yesNo, Buttons({"Yes", "No"}));
    menus["Dialog_Yes_No"] = MenuScript(yesNo, 0);
    menus["Exit"] = MenuScript(Buttons({"Yes", "No"}), 0);

    std::string list;
    for (const auto& [name, script] : menus) {
        const std::string file = "menu\\" + name + ".menu";
        files.Add(file, Bytes(script));
        list += "AddMenu " + name + " " + file + "\n";
    }
    files.Add("DATA\\MENU\\Menu.txt", Bytes(list));
}

void screens_world_c::AddPlane(const plane_stats_s& _stats)
{
    planes.push_back(_stats);
    const std::string file = "data\\game\\planes\\plane_" + std::to_string(planes.size()) + ".op";
    object_template_c plane;
    auto layer = std::make_unique<template_layer_c>();
    layer->name = "Layer 1";
    plane.layers.push_back(std::move(layer));
    auto group = std::make_unique<template_group_c>();
    group->name = "MainGroup";
    group->hasGameObject = 1;
    group->layers.push_back(plane.layers[0].get());
    group->ownedNode = std::make_unique<geom_object_c>(_stats.name.c_str(), app.GetRenderer());
    group->node = group->ownedNode.get();
    string_c name(_stats.name.c_str());
    group->parameters.GetSetString("name", &name, false);
    for (const auto& [key, value] : {std::pair<const char*, f32>{"altitude", _stats.altitude},
                                     {"speed", _stats.speed},
                                     {"handling", _stats.handling},
                                     {"durability", _stats.durability}}) {
        f32 number = value;
        group->parameters.GetSetFloat(key, &number, false, 0.0f, 1.0f);
    }
    plane.groups.push_back(std::move(group));
    for (const char* model : {"inside", "guns", "outside", "distant", "burned", "crashed", "mask", "shadow",
                              "airscrew_slow", "airscrew_fast"}) {
        auto set = std::make_unique<template_model_c>();
        set->name = model;
        set->groups.push_back(plane.groups[0].get());
        plane.models.push_back(std::move(set));
    }
    CChunkSaver saver;
    u8 unused = 0;
    saver.OpenBuffer(CChunkSaver::mode_write, &unused, 1);
    plane.Serialize(saver, app.GetRenderer());
    files.Add(file, saver.GetWrittenBytes());
    app.planes.emplace_back(file.c_str());
}

i32 screens_world_c::AddCareerMission(i32 _primary, i32 _secondary, i32 _unlock, i32 _rank_raise)
{
    const i32 number = static_cast<i32>(app.career_missions.size()) + 1;
    const std::string base = "data\\game\\career\\mission_" + std::to_string(number);
    mission_info_c& mission = app.career_missions.emplace_back();
    mission.map = (base + ".scn").c_str();
    mission.briefing = (base + "_briefing.txt").c_str();
    mission.objectives = (base + "_objectives.txt").c_str();
    mission.briefing_stream = (base + "_voice.ogg").c_str();
    mission.distinction_primary = _primary;
    mission.distinction_secondary = _secondary;
    mission.unlock_plane = _unlock;
    mission.increse_rank = _rank_raise;
    files.Add(base + ".scn", SceneBytes(app.GetRenderer()));
    files.Add(base + "_briefing.txt", Bytes("Briefing of career mission " + std::to_string(number) + ".\n"));
    files.Add(base + "_objectives.txt", Bytes("Objectives of career mission " + std::to_string(number) + ".\n"));
    return number;
}

i32 screens_world_c::AddTrainingMission()
{
    const i32 number = static_cast<i32>(app.training_missions.size()) + 1;
    const std::string base = "data\\game\\training\\mission_" + std::to_string(number);
    mission_info_c& mission = app.training_missions.emplace_back();
    mission.map = (base + ".scn").c_str();
    mission.briefing = (base + "_briefing.txt").c_str();
    mission.objectives = (base + "_objectives.txt").c_str();
    files.Add(base + ".scn", SceneBytes(app.GetRenderer()));
    files.Add(base + "_briefing.txt", Bytes("Briefing of training mission " + std::to_string(number) + ".\n"));
    files.Add(base + "_objectives.txt", Bytes("Objectives of training " + std::to_string(number) + ".\n"));
    return number;
}

void screens_world_c::SetCareerOrder(const std::vector<std::vector<i32>>& _requirements)
{
    std::string text;
    for (const std::vector<i32>& needs : _requirements) {
        text += "Mission";
        for (size_t i = 0; i < needs.size(); ++i)
            text += " req" + std::to_string(i + 1) + "=" + std::to_string(needs[i]);
        text += "\n";
    }
    files.Add("data\\common\\career_missions_order.txt", Bytes(text));
}

pilot_profile_c& screens_world_c::AddPilot(const char* _name, bool _hard)
{
    app.pilots.Create(_name, _hard);
    app.pilots.Save();
    return *app.pilots.GetCurrent();
}

void screens_world_c::Enter()
{
    state = std::make_unique<state_menu_c>(&app);
    state->SetDisplayModeSource([this](std::vector<display_mode_s>& _modes) {
        _modes = adapter_modes;
        return true;
    });
    app.menu_state = state.get();
    state->SetActive(true);
    state->Enter(&app);
    if (auto* list = dynamic_cast<ListBoxControl*>(Control("Pilot", "Poziom"))) {
        list->AddItem("Normal");
        list->AddItem("Hard");
        Menu("Pilot")->ControlSetState("Poziom", 0);
    }
    Settle();
}

void screens_world_c::UseNetwork()
{
    auto manager = std::make_unique<GameNetManager>();
    manager->Init(1);
    manager->SetMessageCallback(&application_c::OnNetMessage, &app);
    app.net_manager = std::move(manager);
}

GameNetManager& screens_world_c::Net() const
{
    return static_cast<GameNetManager&>(*app.net_manager);
}

bool FramesUntil(const std::vector<screens_world_c*>& _worlds, const std::function<bool()>& _condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!_condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        for (screens_world_c* world : _worlds)
            if (world->state && world->state->GetManager())
                world->Frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void screens_world_c::ReturnFromGame()
{
    state->Leave();
    app.BetweenStates();
    Enter();
}

i32 screens_world_c::Frame()
{
    time += 1.0;
    const i32 result = state->Update(time);
    if (state->GetManager())
        state->Render(time);
    return result;
}

i32 screens_world_c::Settle()
{
    i32 result = 0;
    for (int frame = 0; frame < 3; ++frame) {
        const i32 r = Frame();
        if (result == 0)
            result = r;
    }
    return result;
}

void screens_world_c::Message(UINT _msg, WPARAM _wparam, LPARAM _lparam)
{
    state->OnMessage(nullptr, _msg, _wparam, _lparam);
}

void screens_world_c::MoveTo(f32 _x, f32 _y)
{
    const auto x = static_cast<LPARAM>(std::lround(_x * static_cast<f32>(Renderer().GetOutputWidth() - 1)));
    const auto y = static_cast<LPARAM>(std::lround(_y * static_cast<f32>(Renderer().GetOutputHeight() - 1)));
    Message(WM_MOUSEMOVE, 0, (y << 16) | x);
}

i32 screens_world_c::Click(const char* _menu, const char* _control)
{
    any_menu_control_c* control = Control(_menu, _control);
    if (!control || !control->GetRectangle())
        throw std::runtime_error(std::string("no control ") + _menu + "/" + _control);
    const menu_rect_c& rect = *control->GetRectangle();
    MoveTo((rect.left + rect.right) * 0.5f, (rect.top + rect.bottom) * 0.5f);
    i32 result = Frame();
    Message(WM_LBUTTONDOWN);
    Message(WM_LBUTTONUP);
    for (int frame = 0; frame < 3; ++frame) {
        const i32 r = Frame();
        if (result == 0)
            result = r;
    }
    // The pointer leaves, so the next click starts from a fresh hover.
    MoveTo(0.999f, 0.999f);
    return result;
}

void screens_world_c::Key(WPARAM _key)
{
    Message(WM_KEYDOWN, _key);
    Message(WM_KEYUP, _key);
}

void screens_world_c::Type(const char* _text)
{
    for (const char* c = _text; *c; ++c)
        Message(WM_CHAR, static_cast<WPARAM>(static_cast<u8>(*c)));
}

any_menu_c* screens_world_c::Menu(const char* _name) const
{
    return state && state->GetManager() ? state->GetManager()->FindMenu(_name) : nullptr;
}

const char* screens_world_c::CurrentMenu() const
{
    const char* name = state->GetManager()->GetCurrentMenuName();
    return name ? name : "";
}

const char* screens_world_c::Dialog() const
{
    const menu_manager_c& manager = *state->GetManager();
    any_menu_c* dialog = manager.GetDialogMenu();
    return dialog && manager.GetDialogState() != 1 ? dialog->GetName().GetData() : "";
}

any_menu_control_c* screens_world_c::Control(const char* _menu, const char* _control) const
{
    any_menu_c* menu = Menu(_menu);
    if (!menu)
        return nullptr;
    if (any_menu_control_c* control = menu->FindControl(_control))
        return control;
    for (const auto& chain : menu->GetDialogChains())
        for (const auto& page : chain->GetMenus())
            if (page->IsEnabled())
                if (any_menu_control_c* control = page->FindControl(_control))
                    return control;
    return nullptr;
}

std::vector<std::string> screens_world_c::ListItems(const char* _menu, const char* _control) const
{
    std::vector<std::string> items;
    if (auto* list = dynamic_cast<ListBoxControl*>(Control(_menu, _control)))
        for (const auto& item : list->GetItems())
            items.emplace_back(item.GetData());
    return items;
}

recording_renderer_c& screens_world_c::Renderer() const
{
    return static_cast<recording_renderer_c&>(*app.GetRenderer());
}

silent_sound_c& screens_world_c::Sound() const
{
    return static_cast<silent_sound_c&>(*app.GetSoundDevice());
}

controllers_c& screens_world_c::Controllers() const
{
    return *app.GetControllers();
}

} // namespace screens_testing
