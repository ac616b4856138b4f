#include "menu/menu_string_table.h"

#include "menu/menu_message.h"
#include "menu/menu_text_file.h"

void menu_string_table_c::AppendFile(const char* _file_name)
{
    for (const string_c& line : ReadMenuTextLines(_file_name, lineLimit))
        if (!line.IsEmpty())
            strings.push_back(line);
}

const char* menu_string_table_c::Find(i32 _index) const
{
    if (_index < 0 || static_cast<u32>(_index) >= strings.size()) {
        string_c text(_index);
        text += " - string index out of range!";
        MenuMessage(text);
        return nullptr;
    }
    return strings[static_cast<u32>(_index)];
}
