#include "app/application.h"

#include <stdexcept>

#include "app/message/net_session.h"
#include "app/state.h"
#include "audio/sound_system.h"
#include "engine/renderer.h"
#include "foundation/registry.h"

namespace {

constexpr char kBindingsValue[] = "controllers";
constexpr u32 kBindingsVersion = 100;
constexpr char kDefaultBindingsFile[] = "actions.accfg";

bool SameMode(const display_mode_s& _a, const display_mode_s& _b)
{
    return _a.width == _b.width && _a.height == _b.height && _a.bpp == _b.bpp;
}

} // namespace

application_c::application_c(device_factory_c* _devices)
    : options(std::make_unique<options_c>(this)), own_devices(_devices ? nullptr : new system_devices_c),
      devices(_devices ? _devices : own_devices.get())
{
    pilots.SetApplication(this);
}

application_c::~application_c()
{
    Shutdown();
}

void application_c::Init(HWND _hwnd, HINSTANCE _instance)
{
    script_host.reset();
    hwnd = _hwnd;
    instance = _instance;

    i32 width = 0;
    i32 height = 0;
    devices->GetDesktopSize(width, height);
    options->SetDesktopSize(width, height);
    options->Load();

    const display_mode_s mode = options->GetDisplayMode();
    CreateRenderer(&mode);

    controllers = devices->CreateInput(hwnd);
    if (!controllers->LoadFromRegistry(kRegistryCompany, kRegistryProduct, kBindingsValue, kBindingsVersion)) {
        controllers->LoadFromFile(kDefaultBindingsFile);
        controllers->SaveToRegistry(kRegistryCompany, kRegistryProduct, kBindingsValue, kBindingsVersion);
    }
    controllers->SetMouseSensitivity(options->GetMouseSensitivity());

    pilots.Load();
    ReadLists();

    net_manager = devices->CreateNetManager(&application_c::OnNetMessage, this);
}

void application_c::Shutdown()
{
    renderer.reset();
    sound_device.reset();
    controllers.reset();
    net_manager.reset();
    script_host.reset();
}

void application_c::ReadLists()
{
    career_missions = ReadMissionList(kCareerMissionsFile, mission_list_career);
    multiplayer_missions = ReadMissionList(kMultiplayerMissionsFile, mission_list_multiplayer);
    training_missions = ReadMissionList(kTrainingMissionsFile, mission_list_training);
    planes = ReadPlaneList(kPlanesFile);
    in_game_texts = ReadTextLines(kInGameTextsFile);
}

void application_c::ClearGameSetup()
{
    game_type = 0;
    mp_game_mode = 0;
    mp_game_time = 0;
    mp_limit_mode = 0;
    mp_allied_planes = 0;
    mp_german_planes = 0;
    mission_number = 0;
    primary_reached = 0;
    secondary_reached = 0;
}

void application_c::MakeRenderer(const display_mode_s* _mode)
{
    const display_mode_s desktop = options->GetDesktopMode();
    if (!_mode || SameMode(*_mode, desktop)) {
        renderer = devices->CreateRenderer(hwnd, _mode);
        return;
    }
    try {
        renderer = devices->CreateRenderer(hwnd, _mode);
    } catch (const std::exception&) {
        renderer = devices->CreateRenderer(hwnd, &desktop);
        options->width = static_cast<i32>(desktop.width);
        options->height = static_cast<i32>(desktop.height);
        options->bpp = static_cast<i32>(desktop.bpp);
        options->Save();
    }
}

void application_c::CreateRenderer(const display_mode_s* _mode)
{
    MakeRenderer(_mode);
    renderer->SetGamma(options->GetRendererGamma(), true);
}

void application_c::DestroyRenderer()
{
    renderer.reset();
}

void application_c::RecreateRenderer(const display_mode_s* _mode)
{
    DestroyRenderer();
    CreateRenderer(_mode);
}

void application_c::CreateSoundDevice()
{
    sound_device = devices->CreateSoundDevice(hwnd);
    // The device's two gain factors, the distance roll-off and the overall gain.
    sound_device->SetRolloffFactor(1.0f);
    sound_device->SetSoundGain(1.0f);
}

void application_c::DeleteSoundDevice()
{
    sound_device.reset();
}

void application_c::PlayPendingOutro()
{
    if (!outro_pending)
        return;
    outro_pending = 0;
    DestroyRenderer();
    devices->PlayOutro(hwnd);
    options->Load();
    const display_mode_s mode = options->GetDisplayMode();
    CreateRenderer(&mode);
}

void application_c::BetweenStates()
{
    DeleteSoundDevice();
    if (renderer) {
        renderer->font_cache_c::Purge();
        renderer->texture_cache_c::Purge();
        renderer->geometry_cache_c::Purge();
    }
    PlayPendingOutro();
    CreateSoundDevice();
}
