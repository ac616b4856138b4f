#include "foundation/line_reader.h"

#include <string>

std::istream& GetLine(std::istream& in, string_c& line, char delimiter)
{
    std::string text;
    if (std::getline(in, text, delimiter))
        line = text;
    else
        line.Clear();
    return in;
}
