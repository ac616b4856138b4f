#pragma once
// device_factory_c: where the application gets the devices it owns for the
// whole run, so that the start-up order and the re-creation rules live in
// application_c while the devices themselves come from their subsystems (or
// from doubles in tests).
//
// input_link_c is the input layer as the application drives it at start-up:
// loading the bindings and setting the mouse divisor. The rest of the game
// reaches the input layer itself through GetControllers.
#include <memory>

#include "app/options.h"
#include "foundation/types.h"
#include "platform/win32/window_types.h"

class controllers_c;
class net_message_c;
class net_player_c;
class net_session_c;
class renderer_c;
class sound_system_c;

class input_link_c {
public:
    virtual ~input_link_c() = default;
    // True when the bindings of that value were loaded (at least `version`).
    virtual bool LoadFromRegistry(const char* _company, const char* _product, const char* _value, u32 _version) = 0;
    virtual void LoadFromFile(const char* _file_name) = 0;
    virtual void SaveToRegistry(const char* _company, const char* _product, const char* _value, u32 _version) = 0;
    virtual void SetMouseSensitivity(f32 _sensitivity) = 0;
    virtual controllers_c* GetControllers() = 0;
};

// The application's network callback: type word, record, sender, context.
using net_message_callback_t = void (*)(u16, net_message_c&, net_player_c*, void*);

class device_factory_c {
public:
    virtual ~device_factory_c() = default;

    // The size of the primary screen.
    virtual void GetDesktopSize(i32& _width, i32& _height) = 0;
    // A full-screen renderer on the window, in the display mode when one is
    // given; throws when the device cannot be made.
    virtual std::unique_ptr<renderer_c> CreateRenderer(HWND _hwnd, const display_mode_s* _mode) = 0;
    // The 3D sound device with a listener.
    virtual std::unique_ptr<sound_system_c> CreateSoundDevice(HWND _hwnd) = 0;
    virtual std::unique_ptr<input_link_c> CreateInput(HWND _hwnd) = 0;
    // A network manager, initialised, that calls back with every record.
    virtual std::unique_ptr<net_session_c> CreateNetManager(net_message_callback_t _callback, void* _context) = 0;
    // Plays the outro clips in a child of the main window, whatever exists
    // of them, and brings the main window back to the front.
    virtual void PlayOutro(HWND _hwnd) = 0;
};

// The devices of the system: the desktop size, the full-screen renderer on
// the installed Direct3D backend (d3d_error_c without one), the sound
// device, the input layer, the network manager and the outro.
class system_devices_c : public device_factory_c {
public:
    void GetDesktopSize(i32& _width, i32& _height) override;
    std::unique_ptr<renderer_c> CreateRenderer(HWND _hwnd, const display_mode_s* _mode) override;
    std::unique_ptr<sound_system_c> CreateSoundDevice(HWND _hwnd) override;
    std::unique_ptr<input_link_c> CreateInput(HWND _hwnd) override;
    std::unique_ptr<net_session_c> CreateNetManager(net_message_callback_t _callback, void* _context) override;
    void PlayOutro(HWND _hwnd) override;
};
