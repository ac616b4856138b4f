#pragma once
// The in-game texts by line number, as the HUD and the scripts name them.
// Numbers come from the game itself and from mission scripts; a number
// outside the loaded lines names no text, so a short texts file shows
// nothing rather than reading past the list.
#include "foundation/text_string.h"

#include <vector>

// The line, or null when _index is outside the list.
const string_c* InGameText(const std::vector<string_c>& _texts, i64 _index);
