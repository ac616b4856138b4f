#include "app/testing/app_doubles.h"

#include "app/application.h"

namespace app_testing {

std::string ModeText(const display_mode_s& _mode)
{
    return std::to_string(_mode.width) + "x" + std::to_string(_mode.height) + "x" + std::to_string(_mode.bpp);
}

logged_renderer_c::logged_renderer_c(event_log_t& _log, const std::string& _mode) : log(_log), mode(_mode)
{
    log.push_back("renderer " + mode);
}

logged_renderer_c::~logged_renderer_c()
{
    log.push_back("renderer deleted " + mode);
}

logged_sound_c::logged_sound_c(event_log_t& _log) : sound_system_c(sound_flag_3d), log(_log)
{
    log.push_back("sound");
}

logged_sound_c::~logged_sound_c()
{
    log.push_back("sound deleted");
}

bool logged_sound_c::SetRolloffFactor(float _value)
{
    log.push_back("rolloff " + std::to_string(_value));
    return true;
}

bool logged_sound_c::SetSoundGain(float _value)
{
    log.push_back("gain " + std::to_string(_value));
    return true;
}

bool logged_input_c::LoadFromRegistry(const char* _company, const char* _product, const char* _value, u32 _version)
{
    log.push_back(std::string("bindings from settings ") + _company + "\\" + _product + " " + _value + " " +
                  std::to_string(_version));
    return stored;
}

void logged_input_c::LoadFromFile(const char* _file_name)
{
    log.push_back(std::string("bindings from ") + _file_name);
}

void logged_input_c::SaveToRegistry(const char* _company, const char* _product, const char* _value, u32 _version)
{
    log.push_back(std::string("bindings stored ") + _company + "\\" + _product + " " + _value + " " +
                  std::to_string(_version));
}

void logged_input_c::SetMouseSensitivity(f32 _sensitivity)
{
    log.push_back("mouse " + std::to_string(_sensitivity));
}

void logged_session_c::Send(u16 _type_word, const net_message_c& _message, bool, bool, bool)
{
    sent.push_back({"send", _type_word, {_message.GetPayload(), _message.GetPayload() + _message.GetLength()}});
}

void logged_session_c::SendToGroup(u32, u16 _type_word, const net_message_c& _message, const net_player_c*,
                                   const net_player_c*, bool, bool)
{
    sent.push_back({"group", _type_word, {_message.GetPayload(), _message.GetPayload() + _message.GetLength()}});
}

void logged_session_c::OnGameState(u32 _first_word)
{
    log.push_back("game state " + std::to_string(_first_word));
}

void logged_devices_c::GetDesktopSize(i32& _width, i32& _height)
{
    _width = desktop_width;
    _height = desktop_height;
}

std::unique_ptr<renderer_c> logged_devices_c::CreateRenderer(HWND, const display_mode_s* _mode)
{
    const std::string mode = _mode ? ModeText(*_mode) : "desktop";
    if (refused_modes.count(mode)) {
        log.push_back("renderer refused " + mode);
        throw std::runtime_error("Could not change display mode!");
    }
    return std::make_unique<logged_renderer_c>(log, mode);
}

std::unique_ptr<sound_system_c> logged_devices_c::CreateSoundDevice(HWND)
{
    return std::make_unique<logged_sound_c>(log);
}

std::unique_ptr<input_link_c> logged_devices_c::CreateInput(HWND)
{
    log.push_back("input");
    return std::make_unique<logged_input_c>(log, bindings_stored);
}

std::unique_ptr<net_session_c> logged_devices_c::CreateNetManager(net_message_callback_t, void*)
{
    log.push_back("network");
    auto made = std::make_unique<logged_session_c>(log);
    session = made.get();
    return made;
}

void logged_devices_c::PlayOutro(HWND)
{
    log.push_back("outro");
}

void logged_state_c::Enter(application_c*)
{
    log.push_back("enter " + GetName().ToStdString());
}

void logged_state_c::Leave()
{
    log.push_back("leave " + GetName().ToStdString());
}

LRESULT logged_state_c::OnMessage(HWND, UINT _msg, WPARAM, LPARAM)
{
    log.push_back("message " + GetName().ToStdString());
    return static_cast<LRESULT>(_msg);
}

i32 logged_state_c::Update(double)
{
    log.push_back("update " + GetName().ToStdString());
    return result;
}

void logged_state_c::Render(double)
{
    log.push_back("render " + GetName().ToStdString());
}

void logged_state_c::OnNetMessage(u16 _type_word, net_message_c& _message, net_player_c*)
{
    log.push_back("state net " + GetName().ToStdString() + " " + std::to_string(_type_word));
    // A state reads what it wants; the application must still read from the start.
    _message.ReadU32();
}

} // namespace app_testing
