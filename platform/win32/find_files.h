#pragma once
// The C runtime's file search: the entries of one folder whose names match
// a pattern, one at a time.
//
// The pattern is a folder and a name pattern ("FFEffects\*.ffe"; '\' and
// '/' both separate, a pattern without a folder searches the working
// folder). '*' matches any run of characters and '?' any one; letters
// match without regard to ASCII case, as the game's data names do. Matches
// come in byte order of their names, so a search gives the same order on
// every machine; "." and ".." are never given.
#include <cstddef>
#include <cstdint>
#include <ctime>

constexpr unsigned _A_NORMAL = 0x00;
constexpr unsigned _A_SUBDIR = 0x10;

struct _finddata_t {
    unsigned attrib = 0;
    std::time_t time_create = 0;
    std::time_t time_access = 0;
    std::time_t time_write = 0;
    std::size_t size = 0;
    char name[260] = {};
};

// The first match and a handle for the rest, or -1 (errno ENOENT when
// nothing matches or the folder is missing, EINVAL for a null argument).
std::intptr_t _findfirst(const char* _pattern, _finddata_t* _data);
// The next match: 0, or -1 with errno ENOENT when there is none.
int _findnext(std::intptr_t _handle, _finddata_t* _data);
// Ends a search: 0, or -1 for a handle that is not open.
int _findclose(std::intptr_t _handle);

// Whether a name matches a name pattern as the search matches them.
bool FindPatternMatches(const char* _pattern, const char* _name);
