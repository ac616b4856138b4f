#include "foundation/path.h"

#include <cstdio>

#include "foundation/file_error.h"

namespace {
string_c currentDirectory;
directory_cache_c* innermostGuard = nullptr;

bool IsOnlyLevelsUp(const string_c& path)
{
    if (path.GetLength() % 3 != 0)
        return false;
    for (u32 i = 0; i < path.GetLength(); i += 3)
        if (path[i] != '.' || path[i + 1] != '.' || path[i + 2] != '\\')
            return false;
    return true;
}

// One level up from a directory that ends with a backslash (or is a drive).
void GoUp(string_c& path)
{
    // Above the root, or above levels already above it, the path climbs on.
    if (IsOnlyLevelsUp(path)) {
        path += "..\\";
        return;
    }
    // The trailing backslash of a directory is passed over.
    const int last = path.Find('\\', -2);
    if (last >= 0) {
        path.Truncate(last + 1);
        return;
    }
    // A drive and its root have nothing above them.
    const int colon = path.Find(':');
    if (colon < 0)
        path.Clear();
    else if (path.GetLength() > static_cast<u32>(colon) + 2 ||
             (path.GetLength() == static_cast<u32>(colon) + 2 && path[-1] != '\\'))
        path.Truncate(colon + 1);
}
}

string_c GetDirectory(const string_c& path)
{
    int cut = path.Find('\\', -1);
    if (cut < 0)
        cut = path.Find(':');
    if (cut < 0)
        return string_c();
    return path.Left(static_cast<unsigned>(cut) + 1);
}

void ResolveRelativePath(const char* name, string_c& path)
{
    if (!name || !*name)
        return;
    const string_c text(name);
    if (text[0] == '\\' || text.Find(':') >= 0) {
        path = text;
        return;
    }
    const char* p = name;
    while (*p == '.') {
        ++p;
        while (*p == '.') {
            GoUp(path);
            ++p;
        }
        if (*p != '\0' && *p != '\\')
            throw file_error_c(name, "Invalid path!");
        while (*p == '\\')
            ++p;
    }
    if (*p)
        path += p;
}

void CollapseBackslashes(string_c& path)
{
    if (path.GetLength() < 2)
        return;
    for (int i = 0; i < static_cast<int>(path.GetLength()); ++i)
        if (path[i] == '\\')
            while (path[i + 1] == '\\')
                path.Erase(i + 1, 1);
}

string_c MakeFullPath(const char* name)
{
    string_c path = currentDirectory;
    ResolveRelativePath(name, path);
    CollapseBackslashes(path);
    return path;
}

const string_c& GetCurrentDirectoryPath()
{
    return currentDirectory;
}

path_c::path_c(const char* name) : path(MakeFullPath(name)) {}

directory_cache_c::directory_cache_c() : previous(innermostGuard), saved(currentDirectory)
{
    innermostGuard = this;
    currentDirectory.Clear();
}

directory_cache_c::directory_cache_c(const string_c& path) : previous(innermostGuard), saved(currentDirectory)
{
    innermostGuard = this;
    if (!path.IsEmpty())
        currentDirectory = GetDirectory(path);
}

directory_cache_c::~directory_cache_c()
{
    if (innermostGuard == this) {
        currentDirectory = saved;
        innermostGuard = previous;
        return;
    }
    std::fprintf(stderr, "directory_cache_c::~directory_cache_c(): guard destroyed out of order\n");
    for (directory_cache_c* newer = innermostGuard; newer; newer = newer->previous)
        if (newer->previous == this) {
            newer->previous = previous;
            newer->saved = saved;
            return;
        }
}
