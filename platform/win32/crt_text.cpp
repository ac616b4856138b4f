#include "platform/win32/crt_text.h"

namespace {
int FoldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}
}

int _stricmp(const char* a, const char* b)
{
    return _strnicmp(a, b, ~0ul);
}

int _strnicmp(const char* a, const char* b, unsigned long count)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    for (; count > 0; --count, ++p, ++q) {
        const int x = FoldAscii(*p);
        const int y = FoldAscii(*q);
        if (x != y)
            return x - y;
        if (x == 0)
            return 0;
    }
    return 0;
}
