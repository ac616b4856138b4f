#include "engine/text_format.h"

#include <cstdarg>
#include <cstdio>
#include <locale.h>
#include <vector>

namespace {

// Keys must not change with the process's locale: numbers always in "C".
locale_t ClassicNumbers()
{
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return classic;
}

} // namespace

string_c FormatText(const char* _format, ...)
{
    const locale_t previous = uselocale(ClassicNumbers());
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
    uselocale(previous);
    return result;
}
