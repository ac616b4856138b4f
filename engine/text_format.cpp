#include "engine/text_format.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <vector>

string_c FormatText(const char* _format, ...)
{
    va_list args;
    va_start(args, _format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, _format, copy);
    va_end(copy);
    string_c result;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), _format, args);
        result.Assign(buffer.data(), static_cast<unsigned>(length));
    }
    va_end(args);
    return result;
}
