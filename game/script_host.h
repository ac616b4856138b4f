#pragma once
// script_host_c: the interpreter state of the running mission's scripts.
// The game registers its native functions with it, runs the mission's
// script files, sets global numbers every frame ("game_time",
// "user_alive") and calls script functions by name as callbacks. Only the
// language core is there: no standard library is opened.
//
// Scripts are written in the older interpreter dialect and bridged before
// loading (game/script_dialect.h); the iterator the rewritten table loops
// use is the one global the host adds itself.
//
// Every call into a script is protected: an error is written to the game
// log with the script's name and line and never ends the program. Where a
// call has a result, an error gives the failure result (RunBuffer in
// checked mode throws std::runtime_error("error"), CallFunction returns
// false). A callback the script does not define is skipped.
//
// Main thread only; one host per mission.
#include "foundation/text_string.h"
#include "game/game_log.h"

#include <string>
#include <vector>

struct lua_State;
class script_host_c;

// A native function: the host (to read the arguments with), the number of
// script arguments and the context given at registration. A C++ exception
// it throws ends the script call with an error carrying its text.
using script_function_f = void (*)(script_host_c* _host, int _argument_count, void* _context);

class registered_function_c {
public:
    string_c name;
    script_function_f function = nullptr;
    void* context = nullptr;
};

class script_host_c {
public:
    // _log receives the script errors; null writes them to stderr.
    explicit script_host_c(game_log_c* _log = nullptr);
    ~script_host_c();
    script_host_c(const script_host_c&) = delete;
    script_host_c& operator=(const script_host_c&) = delete;

    // Makes _function the global _name of the scripts. Registered functions
    // return nothing to the script.
    void Register(const string_c& _name, script_function_f _function, void* _context);
    // Reads the whole file through the current file system (file_error_c when
    // it cannot) and runs it under its own name.
    void RunFile(const char* _file_name, bool _raw);
    // Checked mode (_raw false): every backslash is doubled first, so single
    // backslashes in strings (file paths) reach the game as written, and an
    // error throws std::runtime_error("error"). Raw mode runs the text as it
    // is and only logs an error. Scripts of any length run. _name is the
    // script's name in error reports.
    void RunBuffer(const char* _text, bool _raw, const char* _name = "buffer");
    // Calls the global function _name without arguments or results. False
    // when it is not defined (skipped) or ended with an error (logged).
    bool CallFunction(const char* _name);
    void SetGlobalNumber(const char* _name, double _value);

    // Arguments of the native function being called, from 1. Strict types:
    // a number is not a string and a numeric string is not a number.
    double GetNumberArg(int _index) const;
    bool IsStringArg(int _index) const;
    // The empty string unless the argument is a string.
    string_c GetStringArg(int _index) const;

    const std::vector<registered_function_c>& GetFunctions() const { return functions; }
    lua_State* GetState() const { return lua; }

private:
    static int Dispatch(lua_State* _lua);
    // The type of an argument; none outside 1 .. the argument count.
    int ArgType(int _index) const;
    // Runs the function on top of the stack; on an error logs it with _what
    // and returns false.
    bool ProtectedCall(const char* _what);

    std::vector<registered_function_c> functions;
    lua_State* lua;
    game_log_c ownLog;
    game_log_c* log;
};
