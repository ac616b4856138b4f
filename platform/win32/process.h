#pragma once
// The program's own file and the process's current directory, as the entry
// finds its data beside the program. The program's path is read from
// /proc/self/exe; a test that plays the program in a folder of its own
// names a path there with ReplaceModuleFileName.
#include <string>

#include "platform/win32/window_types.h"

// Copies the program's full path (the instance is not used) and returns its
// length; 0 when it cannot be read or does not fit with its NUL, as the
// buffer then holds nothing usable.
DWORD GetModuleFileNameA(HINSTANCE _instance, char* _buffer, DWORD _size);

// FALSE when the folder cannot be entered.
BOOL SetCurrentDirectoryA(const char* _path);

// Copies the current directory and returns its length; the length needed
// with its NUL when the buffer is too small; 0 when it cannot be read.
DWORD GetCurrentDirectoryA(DWORD _size, char* _buffer);

// Makes GetModuleFileNameA answer _path; empty brings back the real one.
void ReplaceModuleFileName(std::string _path);
