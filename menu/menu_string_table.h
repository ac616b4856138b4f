#pragma once
// menu_string_table_c: the texts a menu's scripts name by number ("text",
// "tooltiptext", "AddItem"). Each string-table file adds its non-empty lines
// (at most 255 characters, trimmed) in order, so an index counts the
// non-empty lines across every file of the menu from zero.
#include "foundation/text_string.h"
#include "foundation/types.h"

#include <vector>

class menu_string_table_c {
public:
    static constexpr u32 lineLimit = 255;

    // Appends the file's non-empty lines; a file that cannot be read adds
    // nothing (reported by the reader).
    void AppendFile(const char* _file_name);
    void Append(const string_c& _text) { strings.push_back(_text); }

    // The text at the index, or null (reported with MenuMessage as the index
    // followed by " - string index out of range!") for one outside the
    // table, so a damaged script shows nothing instead of reading past it.
    const char* Find(i32 _index) const;
    u32 GetCount() const { return static_cast<u32>(strings.size()); }

private:
    std::vector<string_c> strings;
};
