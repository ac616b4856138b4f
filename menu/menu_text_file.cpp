#include "menu/menu_text_file.h"

#include "foundation/file_error.h"
#include "foundation/memory_file.h"
#include "menu/menu_message.h"

namespace {
bool IsBlank(char _c)
{
    return _c == ' ' || _c == '\t' || _c == '\r';
}
}

string_c TrimMenuText(const char* _text, u32 _length)
{
    u32 begin = 0;
    u32 end = _length;
    while (begin < end && IsBlank(_text[begin]))
        ++begin;
    while (end > begin && IsBlank(_text[end - 1]))
        --end;
    string_c result;
    result.Assign(_text + begin, end - begin);
    return result;
}

std::vector<string_c> ReadMenuTextLines(const char* _file_name, u32 _limit)
{
    std::vector<string_c> lines;
    try {
        input_file_c file(_file_name);
        const char* data = reinterpret_cast<const char*>(file.GetData());
        const u32 size = file.GetSize();
        u32 start = 0;
        while (start < size) {
            u32 end = start;
            while (end < size && data[end] != '\n')
                ++end;
            const u32 length = end - start < _limit ? end - start : _limit;
            lines.push_back(TrimMenuText(data + start, length));
            start = end + 1;
        }
    } catch (const file_error_c& error) {
        MenuMessage(string_c(_file_name) + " - " + error.what());
    }
    return lines;
}
