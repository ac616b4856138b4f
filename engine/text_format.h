#pragma once
// printf-style formatting of texts of any length (keys can hold long names),
// numbers always in the "C" locale so keys do not change with the process's.
#include "foundation/text_string.h"

string_c FormatText(const char* _format, ...) __attribute__((format(printf, 1, 2)));
