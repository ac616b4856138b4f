#include "platform/win32/multibyte.h"

namespace {
int activePage = 0;

bool IsAsciiUpper(unsigned int c)
{
    return c >= 'A' && c <= 'Z';
}
bool IsAsciiLower(unsigned int c)
{
    return c >= 'a' && c <= 'z';
}

// Full-width Latin letters of page 932.
constexpr unsigned int wideUpperFirst = 0x8260, wideUpperLast = 0x8279;
constexpr unsigned int wideLowerFirst = 0x8281, wideLowerLast = 0x829A;
}

int _setmbcp(int codePage)
{
    switch (codePage) {
    case 932:
    case 936:
    case 949:
    case 950: activePage = codePage; break;
    default: activePage = 0; break;
    }
    return 0;
}

int _getmbcp()
{
    return activePage;
}

bool _ismbblead(unsigned int c)
{
    c &= 0xff;
    switch (activePage) {
    case 932: return (c >= 0x81 && c <= 0x9f) || (c >= 0xe0 && c <= 0xfc);
    case 936:
    case 949:
    case 950: return c >= 0x81 && c <= 0xfe;
    default: return false;
    }
}

const unsigned char* _mbsninc(const unsigned char* text, std::size_t count)
{
    if (!text)
        return nullptr;
    while (count > 0 && *text) {
        text += (_ismbblead(*text) && text[1]) ? 2 : 1;
        --count;
    }
    return text;
}

unsigned int _mbsnextc(const unsigned char* text)
{
    if (!text || !*text)
        return 0;
    if (_ismbblead(*text) && text[1])
        return (static_cast<unsigned int>(text[0]) << 8) | text[1];
    return text[0];
}

std::size_t _mbsnccnt(const unsigned char* text, std::size_t byteCount)
{
    std::size_t chars = 0;
    std::size_t i = 0;
    while (i < byteCount) {
        i += (_ismbblead(text[i]) && i + 1 < byteCount) ? 2 : 1;
        ++chars;
    }
    return chars;
}

bool _ismbcalpha(unsigned int code)
{
    if (code < 0x100)
        return IsAsciiUpper(code) || IsAsciiLower(code);
    if (activePage == 932)
        return (code >= wideUpperFirst && code <= wideUpperLast) || (code >= wideLowerFirst && code <= wideLowerLast);
    return false;
}

unsigned int _mbctoupper(unsigned int code)
{
    if (code < 0x100)
        return IsAsciiLower(code) ? code - ('a' - 'A') : code;
    if (activePage == 932 && code >= wideLowerFirst && code <= wideLowerLast)
        return code - (wideLowerFirst - wideUpperFirst);
    return code;
}

unsigned int _mbctolower(unsigned int code)
{
    if (code < 0x100)
        return IsAsciiUpper(code) ? code + ('a' - 'A') : code;
    if (activePage == 932 && code >= wideUpperFirst && code <= wideUpperLast)
        return code + (wideLowerFirst - wideUpperFirst);
    return code;
}
