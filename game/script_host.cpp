#include "game/script_host.h"

#include "foundation/memory_file.h"
#include "game/script_dialect.h"

#include <lua5.1/lauxlib.h>
#include <lua5.1/lua.h>

#include <exception>
#include <stdexcept>

namespace {

// The iterator of rewritten table loops: next(table, key).
int NextInTable(lua_State* _lua)
{
    luaL_checktype(_lua, 1, LUA_TTABLE);
    lua_settop(_lua, 2);
    if (lua_next(_lua, 1))
        return 2;
    lua_pushnil(_lua);
    return 1;
}

std::string DoubleBackslashes(const char* _text)
{
    std::string doubled;
    for (const char* c = _text; *c; ++c) {
        doubled += *c;
        if (*c == '\\')
            doubled += '\\';
    }
    return doubled;
}

// Calls the native function; on a C++ exception leaves its text on the
// stack and returns false, so that the caller raises the script error with
// no C++ object alive.
bool CallNative(script_function_f _function, void* _context, script_host_c* _host, int _count, lua_State* _lua)
{
    try {
        _function(_host, _count, _context);
        return true;
    } catch (const std::exception& error) {
        lua_pushstring(_lua, error.what());
    } catch (...) {
        lua_pushstring(_lua, "native function failed");
    }
    return false;
}

} // namespace

script_host_c::script_host_c(game_log_c* _log) : lua(luaL_newstate()), ownLog(true), log(_log ? _log : &ownLog)
{
    if (lua == nullptr)
        throw std::runtime_error("script_host_c: no memory for the interpreter");
    lua_pushcfunction(lua, NextInTable);
    lua_setglobal(lua, script_next_name);
}

script_host_c::~script_host_c()
{
    lua_close(lua);
}

void script_host_c::Register(const string_c& _name, script_function_f _function, void* _context)
{
    const size_t index = functions.size();
    functions.push_back({_name, _function, _context});
    lua_pushlightuserdata(lua, this);
    lua_pushnumber(lua, static_cast<lua_Number>(index));
    lua_pushcclosure(lua, Dispatch, 2);
    lua_setglobal(lua, _name);
}

int script_host_c::Dispatch(lua_State* _lua)
{
    auto* host = static_cast<script_host_c*>(lua_touserdata(_lua, lua_upvalueindex(1)));
    const size_t index = static_cast<size_t>(lua_tonumber(_lua, lua_upvalueindex(2)));
    if (host == nullptr || index >= host->functions.size())
        return luaL_error(_lua, "unknown native function");
    const int count = lua_gettop(_lua);
    // Copied, as the function may register others and move the table; only
    // plain values live here, since raising the error unwinds by long jump.
    const script_function_f function = host->functions[index].function;
    void* const context = host->functions[index].context;
    if (CallNative(function, context, host, count, _lua))
        return 0;
    return lua_error(_lua);
}

bool script_host_c::ProtectedCall(const char* _what)
{
    if (lua_pcall(lua, 0, 0, 0) == 0)
        return true;
    const char* message = lua_tostring(lua, -1);
    log->Write(std::string("Script error in ") + _what + ": " + (message ? message : "(no message)"));
    lua_pop(lua, 1);
    return false;
}

void script_host_c::RunFile(const char* _file_name, bool _raw)
{
    input_file_c file(_file_name);
    const std::string text(reinterpret_cast<const char*>(file.GetData()), file.GetSize());
    RunBuffer(text.c_str(), _raw, _file_name);
}

void script_host_c::RunBuffer(const char* _text, bool _raw, const char* _name)
{
    if (_text == nullptr)
        _text = "";
    const std::string source = RewriteOldDialect(_raw ? std::string(_text) : DoubleBackslashes(_text));
    const std::string chunk = std::string("@") + (_name ? _name : "buffer");
    bool ran = false;
    if (luaL_loadbuffer(lua, source.data(), source.size(), chunk.c_str()) == 0) {
        ran = ProtectedCall(_name);
    } else {
        const char* message = lua_tostring(lua, -1);
        log->Write(std::string("Script error in ") + _name + ": " + (message ? message : "(no message)"));
        lua_pop(lua, 1);
    }
    if (!ran && !_raw)
        throw std::runtime_error("error");
}

bool script_host_c::CallFunction(const char* _name)
{
    lua_getglobal(lua, _name);
    if (!lua_isfunction(lua, -1)) {
        lua_pop(lua, 1);
        return false;
    }
    return ProtectedCall(_name);
}

void script_host_c::SetGlobalNumber(const char* _name, double _value)
{
    lua_pushnumber(lua, _value);
    lua_setglobal(lua, _name);
}

int script_host_c::ArgType(int _index) const
{
    return _index >= 1 && _index <= lua_gettop(lua) ? lua_type(lua, _index) : LUA_TNONE;
}

double script_host_c::GetNumberArg(int _index) const
{
    return ArgType(_index) == LUA_TNUMBER ? lua_tonumber(lua, _index) : 0.0;
}

bool script_host_c::IsStringArg(int _index) const
{
    return ArgType(_index) == LUA_TSTRING;
}

string_c script_host_c::GetStringArg(int _index) const
{
    if (!IsStringArg(_index))
        return string_c();
    size_t length = 0;
    const char* text = lua_tolstring(lua, _index, &length);
    string_c result;
    result.Assign(text, static_cast<unsigned>(length));
    return result;
}
