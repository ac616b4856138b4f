#pragma once
// The per-user registry, in the shape of the Win32 registry calls the game
// makes, kept in files under $XDG_CONFIG_HOME (default ~/.config).
//
// Keys live below HKEY_CURRENT_USER only. A key path such as
// "Software\Company\Product\Sub" (compared without regard to ASCII case; a
// leading "Software" is dropped) is the folder company/product/sub, and the
// key's values are the store file "values.reg" in it. Values keep their type
// and exact byte size; names compare without regard to ASCII case.
//
// Every change rewrites the whole store file beside it and renames it over
// the old one after an fsync, so a crash at any moment leaves the old or the
// new values, never a mix. A store file that is damaged or not ours reads as
// empty, and before a change replaces it, it is kept as "values.reg.bak"
// (or "values.reg.bak.N" when that name is taken).
#include "foundation/types.h"

#include <string>

struct registry_handle_s;
using HKEY = registry_handle_s*;
using REGSAM = u32;

// Predefined root; never closed. An object's address, so that it is a
// constant even for code that runs before main.
extern registry_handle_s g_registryCurrentUserRoot;
inline HKEY const HKEY_CURRENT_USER = &g_registryCurrentUserRoot;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;

inline constexpr u32 REG_OPTION_NON_VOLATILE = 0;
inline constexpr u32 REG_CREATED_NEW_KEY = 1;
inline constexpr u32 REG_OPENED_EXISTING_KEY = 2;

inline constexpr u32 REG_NONE = 0;
inline constexpr u32 REG_SZ = 1;
inline constexpr u32 REG_BINARY = 3;
inline constexpr u32 REG_DWORD = 4;

inline constexpr i32 ERROR_SUCCESS = 0;
inline constexpr i32 ERROR_FILE_NOT_FOUND = 2;
inline constexpr i32 ERROR_ACCESS_DENIED = 5;
inline constexpr i32 ERROR_INVALID_HANDLE = 6;
inline constexpr i32 ERROR_INVALID_PARAMETER = 87;
inline constexpr i32 ERROR_MORE_DATA = 234;
inline constexpr i32 ERROR_BADDB = 1009;     // the store file is damaged or not ours
inline constexpr i32 ERROR_CANTWRITE = 1013; // the store file could not be replaced

// Largest value the store keeps; larger ones are refused.
inline constexpr u32 kRegistryMaxValueSize = 16 * 1024 * 1024;

// Opens an existing key. *result is the key, or null on failure.
i32 RegOpenKeyExA(HKEY root, const char* path, u32 options, REGSAM access, HKEY* result);

// Opens a key, creating it (and its parents) when missing. classText and
// security are not supported and must be null; disposition may be null.
i32 RegCreateKeyExA(HKEY root, const char* path, u32 reserved, char* classText, u32 options, REGSAM access,
                    const void* security, HKEY* result, u32* disposition);

// Reads a value. With data null, gives its type and size. With data, *size
// is the room there: ERROR_MORE_DATA when too small (*size then says how much
// is needed); else copies and sets *size to the value's size. type may be
// null. A damaged store answers ERROR_BADDB.
i32 RegQueryValueExA(HKEY key, const char* name, u32* reserved, u32* type, u8* data, u32* size);

// Stores a value of size bytes with its type, replacing the store atomically.
i32 RegSetValueExA(HKEY key, const char* name, u32 reserved, u32 type, const u8* data, u32 size);

i32 RegCloseKey(HKEY key);

// The store file of a key path under the current $XDG_CONFIG_HOME; empty when
// the path cannot name a folder (empty, or a part that is "", "." or "..").
std::string RegistryStoreFile(const char* path);
