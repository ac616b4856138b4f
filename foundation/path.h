#pragma once
// Full paths of the game's file names. Names use backslashes; a name that
// starts with a backslash or holds a ':' is absolute, any other resolves
// against the process-wide current directory (empty, so the archive root,
// unless a directory_cache_c points it at a model's folder). "." stays in a
// folder, ".." goes up one and "..." two; a run of dots followed by anything
// but a backslash or the end throws file_error_c "Invalid path!".
#include "foundation/text_string.h"

// The text up to and including the last backslash; else up to and including
// the first ':'; else "".
string_c GetDirectory(const string_c& path);
// Joins name onto the directory path in place.
void ResolveRelativePath(const char* name, string_c& path);
// Every run of backslashes becomes one.
void CollapseBackslashes(string_c& path);
// The current directory joined with name, backslashes collapsed.
string_c MakeFullPath(const char* name);

// The directory names resolve against; it ends with a backslash or, for a
// bare drive, ':' when not empty.
const string_c& GetCurrentDirectoryPath();

class path_c {
public:
    path_c() = default;
    path_c(const char* name);

    const string_c& GetPath() const { return path; }
    operator const char*() const { return path; }
    bool IsEmpty() const { return path.IsEmpty(); }

private:
    string_c path;
};

// Scoped guard over the current directory. Guards nest strictly; the
// destructor restores the directory saved at construction.
class directory_cache_c {
public:
    // Empties the current directory: names resolve from the archive root.
    directory_cache_c();
    // Points the current directory at GetDirectory(path); an empty path leaves
    // it unchanged.
    explicit directory_cache_c(const string_c& path);
    directory_cache_c(const directory_cache_c&) = delete;
    directory_cache_c& operator=(const directory_cache_c&) = delete;
    // Destroying a guard that is not the innermost is a programming error. No
    // exception may leave a destructor, so it is reported on stderr and the
    // guard is unlinked: the newer guard inherits what this one saved, and the
    // current directory stays as the newer guard set it.
    ~directory_cache_c();

private:
    directory_cache_c* previous;
    string_c saved;
};
