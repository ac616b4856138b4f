#pragma once
// state_c: one state of the program, "menu" or "game". The state manager
// makes one state current at a time and forwards the window messages, the
// frame update and the frame drawing to it. Every visit starts from a freshly
// constructed object: the shell destroys a state once it was left and adds a
// new one under the same name, so what must outlive a visit lives in the
// application object.
#include "foundation/text_string.h"
#include "foundation/types.h"
#include "platform/win32/window_types.h"

#include <string>

class application_c;
class net_message_c;
class net_player_c;

// What Update asks of the shell.
enum state_result_e : i32 {
    state_stay = 0,
    // From the menu: quit; from the game: back to the menu.
    state_leave = 1,
    // From the menu: start the game chosen in the application object.
    state_start_game = 2,
};

class state_c {
public:
    // The application may be given now or with Enter.
    explicit state_c(const string_c& _name, application_c* _application = nullptr);
    virtual ~state_c() = default;
    state_c(const state_c&) = delete;
    state_c& operator=(const state_c&) = delete;

    // The state becomes current; the application is stored before the call.
    virtual void Enter(application_c* _application) = 0;
    // The state stops being current.
    virtual void Leave() = 0;
    // A window message, before the window procedure's own handling.
    virtual LRESULT OnMessage(HWND _hwnd, UINT _msg, WPARAM _wparam, LPARAM _lparam) = 0;
    // A state_result_e.
    virtual i32 Update(double _t) = 0;
    // Draws between the renderer's begin and end of scene.
    virtual void Render(double _t) = 0;
    // A received network record or session event, while the state is
    // current; before the application's own handling. Nothing by default.
    virtual void OnNetMessage(u16 _type_word, net_message_c& _message, net_player_c* _sender);
    // Why the last visit ended early (a mission that could not load or
    // run); empty when it did not. A game started from the command line
    // has no menu to fall back to, so the shell ends the program with it.
    virtual const std::string& GetFailure() const;

    const string_c& GetName() const { return name; }
    application_c* GetApplication() const { return application; }
    void SetApplication(application_c* _application) { application = _application; }
    bool IsActive() const { return active != 0; }
    void SetActive(bool _active) { active = _active ? 1 : 0; }

private:
    string_c name;
    application_c* application;
    u8 active = 0;
};
