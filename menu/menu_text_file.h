#pragma once
// The line reader of the menus' text files (string tables, text-window
// pages): the file comes whole from the current file system and is cut at
// line feeds. A line longer than the reader's limit keeps its first _limit
// characters and loses the rest, the way a fixed line buffer of the original
// data tools cut it; leading and trailing blanks, tabs and carriage returns
// are removed. A file that cannot be read is reported with MenuMessage
// (its name, " - ", the reason) and gives no lines.
#include "foundation/text_string.h"
#include "foundation/types.h"

#include <vector>

// Every line of the file, trimmed, empty ones included.
std::vector<string_c> ReadMenuTextLines(const char* _file_name, u32 _limit);
// The text without leading and trailing blanks, tabs and carriage returns.
string_c TrimMenuText(const char* _text, u32 _length);
