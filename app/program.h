#pragma once
// The program itself: the entry, the main window with its window procedure,
// and the message loop that draws one frame whenever the queue is empty.
// Everything else is reached through the one application object and the one
// state manager below.
//
// WinMain, in this order: the current directory becomes the program's own
// folder; the command line is read (command_line.h); OutOfMemoryHandler
// becomes the new-handler; the menu library's messages are shown in message
// boxes without caption; the file readers are installed; the file system
// of "data.qza" and "data1.qza" becomes current; COM is initialised (it has
// nothing to prepare here, com_types.h); the intro clips play; the main
// window is made, initialised (WM_USER), shown, started (WM_USER+1 with the
// command line) and the loop runs until WM_QUIT. Then the window class is
// unregistered, the new-handler and the menu messages' handler restored,
// COM uninitialised and the archives closed.
//
// Every error that ends the run, the missing archives included, ends it the
// same way: the states are dropped without leaving, the main window is
// destroyed, the application shut down and the desktop's display mode
// restored; then a message box without owner or caption shows the error
// and WinMain returns 1. A file_error_c shows "Couldn't find or load
// specified file: ", a line break and the file name in double quotes;
// another error its own text. A clean run returns 0.
//
// MainWindowProc hands every message to the current state first, then:
//   WM_CREATE, WM_ERASEBKGND   nothing; 0
//   WM_DESTROY        the current state leaves (a switch to ""), the states
//                     are removed and destroyed, the frame timer deleted,
//                     the application shut down, WM_QUIT posted; 0
//   WM_ACTIVATEAPP    app_active = (wParam == 1); DefWindowProc
//   WM_SETCURSOR      no cursor in the "game" state, else the hand; 1
//   WM_DISPLAYCHANGE  the window covers the new mode; DefWindowProc
//   WM_SYSCOMMAND     SC_SCREENSAVE and SC_MONITORPOWER swallowed; 0
//   WM_USER           initialise: the application's Init; a "plane=" from
//                     the command line becomes the current pilot's plane
//                     when the plane list has it; a "menu" and a "game"
//                     state are made (state_factories.h) and added, menu
//                     first; 0
//   WM_USER+1         start: the "menu" state, or with "nomenu" and a
//                     "type=" of 1 or 2 the "game" state with that game type
//                     and the "no=" mission (another type starts the menu,
//                     as no mission list exists for it); with a renderer the
//                     viewport covers the output, both buffers are cleared
//                     to black and the frame timer starts, and the game
//                     state is given it; 0
//   WM_USER+2         one frame; 1 when inactive or before the frame timer
//                     exists (the loop then waits for a message), else 0
//   anything else     DefWindowProc
//
// One frame: without app_active or a frame timer nothing happens. The
// state's Update(t) (t: the frame timer's seconds) decides: the menu's 1
// destroys the window and draws nothing; the menu's 2 hides the cursor and,
// for game types 1 to 4, resets the timer, hands it to the game state,
// switches to the game and replaces the menu state by a new one; the game's
// 1 resets the timer, switches to the menu, replaces the game state and
// shows the hand. Then, with a renderer: BeginScene, the state's Render(t),
// EndScene, Present.
#include <memory>

#include "app/application.h"
#include "app/state_manager.h"
#include "foundation/frame_timer.h"
#include "platform/win32/window_types.h"

// WM_USER: initialise; WM_USER+1: start; WM_USER+2: one frame.
constexpr UINT WM_APP_INIT = WM_USER;
constexpr UINT WM_APP_START = WM_USER + 1;
constexpr UINT WM_APP_FRAME = WM_USER + 2;

// The main window's class name and title.
inline constexpr char kMainWindowClass[] = "Skyvarn";

extern HINSTANCE app_instance;
// From WM_ACTIVATEAPP.
extern bool app_active;
// Seconds since the current state began; from WM_USER+1 to WM_DESTROY.
extern std::unique_ptr<timer_c> frame_timer;
extern application_c g_application;
extern state_manager_c g_state_manager;

// The whole run; 0 when it ended cleanly, 1 after an error was shown.
int WinMain(HINSTANCE _instance, HINSTANCE _previous, const char* _command_line, int _show_command);

// The new-handler: throws std::runtime_error "Out of memory!".
[[noreturn]] void OutOfMemoryHandler();

// Registers the window class (std::runtime_error "Unable to register window
// class!" when that fails) and makes the main window, a topmost pop-up over
// the whole primary screen; null when it cannot be made.
HWND CreateMainWindow();

LRESULT MainWindowProc(HWND _hwnd, UINT _msg, WPARAM _wparam, LPARAM _lparam);

// After an error: the states are dropped without leaving, the main window
// destroyed, the frame timer deleted and the application shut down; what is
// left in the queue is discarded. Throws nothing.
void AbandonRun();
