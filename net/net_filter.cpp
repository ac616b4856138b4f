#include "net/net_filter.h"

#include <algorithm>
#include <cctype>

namespace {

const char* const kWords[] = {"idiot", "dumb", "git", "jerk", "moron", "fool", "twit", "loser"};
const char kReplacements[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$%^*()";

std::size_t FindWord(const std::string& text, const std::string& word)
{
    const auto found = std::search(text.begin(), text.end(), word.begin(), word.end(),
                                   [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
    return found == text.end() ? std::string::npos : static_cast<std::size_t>(found - text.begin());
}

} // namespace

void FilterWords(std::string& _text, net_random_c& _random)
{
    // Replacements are drawn at random and may spell a listed word again;
    // the bound keeps an unlucky draw from running for ever.
    std::size_t rounds = _text.size() + 16;
    bool found = true;
    while (found && rounds-- > 0) {
        found = false;
        for (const char* word : kWords) {
            const std::size_t at = FindWord(_text, word);
            if (at == std::string::npos)
                continue;
            for (std::size_t i = 0; word[i] != 0; ++i)
                _text[at + i] = kReplacements[_random.Next() * 35 / 32768];
            found = true;
            break;
        }
    }
}
