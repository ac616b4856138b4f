#include "game/in_game_text.h"

const string_c* InGameText(const std::vector<string_c>& _texts, i64 _index)
{
    if (_index < 0 || static_cast<u64>(_index) >= _texts.size())
        return nullptr;
    return &_texts[static_cast<size_t>(_index)];
}
