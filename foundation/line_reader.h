#pragma once
// Reads one line of text from a standard stream, any length.
#include <istream>

#include "foundation/text_string.h"

// Reads up to the delimiter (dropped). When the stream fails (nothing left to
// read) line is cleared.
std::istream& GetLine(std::istream& in, string_c& line, char delimiter = '\n');
