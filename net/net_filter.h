#pragma once
// The word filter of chat lines: listed words are overwritten with random
// characters before the server passes a line on.
#include <string>

#include "foundation/types.h"

// A generator of values 0..32767 with the C runtime's classic recurrence,
// kept by its owner so that nothing else draws from it.
class net_random_c {
public:
    explicit net_random_c(u32 _seed = 1) : _state(_seed) {}
    int Next()
    {
        _state = _state * 214013u + 2531011u;
        return static_cast<int>((_state >> 16) & 0x7FFF);
    }

private:
    u32 _state;
};

// Searches the text for the listed words in list order, ignoring letter case;
// the first place found is overwritten character by character from
// "ABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$%^*()" (index = value * 35 / 32768) and the
// search starts over. The text is done when no listed word is left.
void FilterWords(std::string& _text, net_random_c& _random);
