#pragma once
// Doubles of the devices the application owns, writing what happens to them
// into one shared log, so tests can check the order of side effects.
#include <set>
#include <string>
#include <vector>

#include "app/device_factory.h"
#include "app/message/net_message.h"
#include "app/message/net_session.h"
#include "app/state.h"
#include "audio/sound_system.h"
#include "engine/null_renderer.h"

namespace app_testing {

using event_log_t = std::vector<std::string>;

class logged_renderer_c : public null_renderer_c {
public:
    logged_renderer_c(event_log_t& _log, const std::string& _mode);
    ~logged_renderer_c() override;

private:
    event_log_t& log;
    std::string mode;
};

class logged_sound_c : public sound_system_c {
public:
    explicit logged_sound_c(event_log_t& _log);
    ~logged_sound_c() override;
    bool SetRolloffFactor(float _value) override;
    bool SetSoundGain(float _value) override;

private:
    event_log_t& log;
};

class logged_input_c : public input_link_c {
public:
    logged_input_c(event_log_t& _log, bool _stored) : log(_log), stored(_stored) {}
    bool LoadFromRegistry(const char* _company, const char* _product, const char* _value, u32 _version) override;
    void LoadFromFile(const char* _file_name) override;
    void SaveToRegistry(const char* _company, const char* _product, const char* _value, u32 _version) override;
    void SetMouseSensitivity(f32 _sensitivity) override;
    controllers_c* GetControllers() override { return nullptr; }

private:
    event_log_t& log;
    bool stored;
};

struct sent_s {
    // "send", or "group" for SendToGroup.
    std::string how;
    u16 type_word;
    std::vector<u8> payload;
};

class logged_session_c : public net_session_c {
public:
    explicit logged_session_c(event_log_t& _log) : log(_log) {}
    void Send(u16 _type_word, const net_message_c& _message, bool, bool, bool) override;
    void SendToGroup(u32, u16 _type_word, const net_message_c& _message, const net_player_c*, const net_player_c*, bool,
                     bool) override;
    u16 GetLocalId() const override { return local_id; }
    void OnGameState(u32 _first_word) override;

    u16 local_id = 7;
    std::vector<sent_s> sent;

private:
    event_log_t& log;
};

class logged_devices_c : public device_factory_c {
public:
    explicit logged_devices_c(event_log_t& _log) : log(_log) {}

    void GetDesktopSize(i32& _width, i32& _height) override;
    std::unique_ptr<renderer_c> CreateRenderer(HWND _hwnd, const display_mode_s* _mode) override;
    std::unique_ptr<sound_system_c> CreateSoundDevice(HWND _hwnd) override;
    std::unique_ptr<input_link_c> CreateInput(HWND _hwnd) override;
    std::unique_ptr<net_session_c> CreateNetManager(net_message_callback_t _callback, void* _context) override;
    void PlayOutro(HWND _hwnd) override;

    i32 desktop_width = 1280;
    i32 desktop_height = 1024;
    // Modes ("WxHxB") the renderer refuses.
    std::set<std::string> refused_modes;
    // Whether the input layer finds its bindings in the settings.
    bool bindings_stored = true;
    logged_session_c* session = nullptr;

private:
    event_log_t& log;
};

// A state that logs its calls and answers Update with `result`.
class logged_state_c : public state_c {
public:
    logged_state_c(const char* _name, event_log_t& _log) : state_c(_name), log(_log) {}
    void Enter(application_c* _application) override;
    void Leave() override;
    LRESULT OnMessage(HWND, UINT _msg, WPARAM, LPARAM) override;
    i32 Update(double _t) override;
    void Render(double _t) override;
    void OnNetMessage(u16 _type_word, net_message_c& _message, net_player_c* _sender) override;

    i32 result = 0;

private:
    event_log_t& log;
};

// "WxHxB".
std::string ModeText(const display_mode_s& _mode);

} // namespace app_testing
