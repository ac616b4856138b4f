#pragma once
// The active multibyte code page in the shape of the C runtime's _mbs family.
// A character is one byte, or a lead byte and a trail byte on double-byte
// pages; its code is the byte, or lead * 256 + trail. The page starts
// single-byte; _setmbcp chooses 932, 936, 949 or 950 for double-byte text.
#include <cstddef>

// Selects the code page; any number other than the four double-byte pages
// makes it single-byte. Returns 0.
int _setmbcp(int codePage);
int _getmbcp();

// True when c starts a two-byte character on the active page.
bool _ismbblead(unsigned int c);
// Advances count characters from text, stopping at a NUL.
const unsigned char* _mbsninc(const unsigned char* text, std::size_t count);
// The code of the character at text (0 at a NUL).
unsigned int _mbsnextc(const unsigned char* text);
// Characters in the first byteCount bytes of text (a lead byte cut off by the
// end counts as one character).
std::size_t _mbsnccnt(const unsigned char* text, std::size_t byteCount);
bool _ismbcalpha(unsigned int code);
unsigned int _mbctoupper(unsigned int code);
unsigned int _mbctolower(unsigned int code);
