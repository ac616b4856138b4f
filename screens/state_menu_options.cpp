// The options screen and the controls dialog that captures a new binding.
#include <cmath>
#include <string>

#include "app/application.h"
#include "engine/renderer.h"
#include "foundation/registry.h"
#include "input/controllers.h"
#include "input/input_device.h"
#include "menu/any_menu.h"
#include "menu/any_menu_control.h"
#include "menu/menu_manager.h"
#include "render_d3d9/renderer.h"
#include "screens/screen_controls.h"
#include "screens/state_menu.h"

namespace {

constexpr char kBindingsValue[] = "controllers";
constexpr u32 kBindingsVersion = 100;
constexpr u32 kDeviceNameShown = 9;

// The device's name, cut to 9 characters and ".." when longer.
string_c ShortDeviceName(const input_device_c* _device)
{
    if (!_device)
        return string_c();
    string_c name = _device->GetName();
    if (name.GetLength() > kDeviceNameShown) {
        name.Truncate(kDeviceNameShown);
        name += "..";
    }
    return name;
}

bool Offered(const display_mode_s& _mode)
{
    if (_mode.width < 640 || _mode.height < 480 || _mode.bpp != 32)
        return false;
    const f32 ratio = static_cast<f32>(_mode.width) / static_cast<f32>(_mode.height);
    return std::fabs(ratio - 1.3333333f) < 0.01f;
}

string_c ModeText(const display_mode_s& _mode)
{
    const std::string text =
        std::to_string(_mode.width) + "x" + std::to_string(_mode.height) + "x" + std::to_string(_mode.bpp) + "bpp ";
    return string_c(text.c_str());
}

} // namespace

std::vector<display_mode_s> state_menu_c::ListDisplayModes() const
{
    std::vector<display_mode_s> all;
    bool listed = false;
    if (display_modes) {
        listed = display_modes(all);
    } else if (auto* d3d = dynamic_cast<d3d_renderer_c*>(GetApplication()->GetRenderer())) {
        listed = d3d->EnumDisplayModes(all);
    }
    std::vector<display_mode_s> kept;
    if (!listed)
        return kept;
    for (const display_mode_s& mode : all) {
        if (!Offered(mode))
            continue;
        bool known = false;
        for (const display_mode_s& seen : kept)
            known = known || (seen.width == mode.width && seen.height == mode.height);
        if (!known)
            kept.push_back(mode);
    }
    return kept;
}

void state_menu_c::FillControlsList(any_menu_c* _options)
{
    any_menu_control_c* list = _options ? _options->FindControl("Controls") : nullptr;
    controllers_c* controllers = GetApplication()->GetControllers();
    if (!list)
        return;
    list->RemoveItem(nullptr);
    if (!controllers)
        return;
    for (u32 i = 0; i < controllers->GetActionCount(); ++i) {
        const action_c& action = controllers->GetAction(i);
        // A names file shorter than the action list leaves the row unnamed.
        string_c line = i < action_names.size() ? action_names[i] : string_c();
        line += "|";
        line += ShortDeviceName(action.device);
        line += "|";
        line += action.object_name;
        list->AddItem(line);
    }
}

void state_menu_c::OpenOptions()
{
    application_c& app = *GetApplication();
    options_c& options = *app.options;
    options.Load();
    any_menu_c* menu = Menu("Options");

    if (controllers_c* controllers = app.GetControllers()) {
        bool unbound = false;
        for (u32 i = 0; i < controllers->GetActionCount(); ++i)
            unbound = unbound || !controllers->GetAction(i).device;
        if (unbound) {
            controllers->LoadFromFile("actions.accfg");
            controllers->SaveToRegistry(kRegistryCompany, kRegistryProduct, kBindingsValue, kBindingsVersion);
        }
    }
    FillControlsList(menu);
    Deselect(menu, "Controls");

    if (menu) {
        menu->ControlSetState("music_volume", options.music_volume);
        menu->ControlSetState("sound_volume", options.sound_volume);
        menu->ControlSetState("mouse_speed", options.mouse_speed);
        menu->ControlSetState("gamma", options.gamma);
        menu->ControlSetState("graphic_detaili", options.graphic_detail);
        SetSwitch(menu, "FFire", options.FFire != 0);
    }

    any_menu_control_c* resolutions = menu ? menu->FindControl("resolution") : nullptr;
    if (resolutions)
        resolutions->RemoveItem(nullptr);
    const std::vector<display_mode_s> modes = ListDisplayModes();
    resolution_index = 0;
    for (size_t i = 0; i < modes.size(); ++i) {
        if (resolutions)
            resolutions->AddItem(ModeText(modes[i]));
        if (modes[i].width == static_cast<u32>(options.width) && modes[i].height == static_cast<u32>(options.height) &&
            modes[i].bpp == static_cast<u32>(options.bpp))
            resolution_index = static_cast<i32>(i);
    }
    if (menu)
        menu->ControlSetState("Resolution", resolution_index);
    manager->CrossSwitchMenu("Options", kMenuSwitchTime);
}

void state_menu_c::UpdateOptions(f32)
{
    application_c& app = *GetApplication();
    options_c& options = *app.options;
    any_menu_c* menu = Menu("Options");
    if (!menu)
        return;

    options.music_volume = menu->ControlGetFloat("music_volume");
    options.sound_volume = menu->ControlGetFloat("sound_volume");
    options.mouse_speed = menu->ControlGetFloat("mouse_speed");
    const f32 gamma = menu->ControlGetFloat("gamma");
    if (gamma != options.gamma) {
        options.gamma = gamma;
        if (renderer_c* renderer = app.GetRenderer())
            renderer->SetGamma(options.GetRendererGamma(), true);
    }
    options.graphic_detail = menu->ControlGetFloat("graphic_detaili");
    options.FFire = ReadSwitch(menu, "FFire") ? 1 : 0;

    const i32 row = menu->ControlGetInt("controls");
    if (row != -1) {
        controllers_c* controllers = app.GetControllers();
        if (controllers && row >= 0 && static_cast<u32>(row) < controllers->GetActionCount()) {
            LoadTextInto(Menu("Dialog"), "Text", "data\\menu\\dialog\\enter_controls_text.txt");
            controllers->BeginCapture(static_cast<u32>(row));
            manager->ShowDialog("Dialog", 0.01f);
            screen = screen_controls;
            return;
        }
        Deselect(menu, "controls");
    }

    if (IsClicked(menu, "credits")) {
        manager->CrossSwitchMenu("Credits", kMenuSwitchTime);
        screen = screen_credits;
    }
    if (IsClicked(menu, "back") || escape_pressed) {
        escape_pressed = 0;
        options.Save();
        manager->CrossSwitchMenu("Main", kMenuSwitchTime);
        screen = screen_main;
    }

    const i32 resolution = menu->ControlGetInt("Resolution");
    if (resolution != resolution_index) {
        resolution_index = resolution;
        const std::vector<display_mode_s> modes = ListDisplayModes();
        if (resolution >= 0 && static_cast<size_t>(resolution) < modes.size()) {
            const display_mode_s& mode = modes[static_cast<size_t>(resolution)];
            options.width = static_cast<i32>(mode.width);
            options.height = static_cast<i32>(mode.height);
            options.bpp = static_cast<i32>(mode.bpp);
            options.Save();
            mode_change_pending = 1;
        }
    }
}

void state_menu_c::ApplyDisplayMode()
{
    application_c* app = GetApplication();
    Leave();
    const display_mode_s mode = app->options->GetDisplayMode();
    app->RecreateRenderer(&mode);
    Enter(app);
}

void state_menu_c::UpdateControlsDialog(f32)
{
    application_c& app = *GetApplication();
    any_menu_c* options = Menu("Options");
    mouse_x = -1.0f;
    mouse_y = -1.0f;
    if (escape_pressed) {
        escape_pressed = 0;
        Deselect(options, "controls");
        manager->ShowDialog(nullptr, 0.01f);
        screen = screen_options;
        return;
    }
    controllers_c* controllers = app.GetControllers();
    if (!controllers || !controllers->CaptureInput())
        return;
    FillControlsList(options);
    Deselect(options, "controls");
    controllers->SaveToRegistry(kRegistryCompany, kRegistryProduct, kBindingsValue, kBindingsVersion);
    manager->ShowDialog(nullptr, 0.01f);
    screen = screen_options;
}
