#pragma once
// Text helpers of the C runtime that the game relies on, with the "C" locale's
// meaning whatever the process locale is.

// Compares two texts with ASCII letters folded to lower case: <0, 0 or >0.
int _stricmp(const char* a, const char* b);
// The same over at most count bytes.
int _strnicmp(const char* a, const char* b, unsigned long count);
