#include "menu/text_window.h"

#include "engine/font_handle.h"
#include "engine/scene.h"
#include "foundation/script_loader.h"
#include "menu/menu_control_keys.h"
#include "menu/menu_text_file.h"

#include <algorithm>
#include <cmath>

TextWindowControl::TextWindowControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                                     sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : any_menu_control_c(_name, _script_file, _renderer, _sound_system, _string_table)
{
    ProcessScript();
}

TextWindowControl::~TextWindowControl() = default;

void TextWindowControl::ProcessScript()
{
    while (const char* key = ReadScriptCommand()) {
        const command_c& command = GetScript();
        const string_c keyword(key);
        if (keyword == "BodyFile")
            bodyScene = LoadMenuBodyScene(command.GetParameter(1u), renderer);
        else if (keyword == "Charset")
            font = ReadMenuFont(command, renderer);
        else if (keyword == "CharsetColor")
            color = ReadMenuColor(command);
        else if (keyword == "Justyfy")
            justify = command.GetInt(1u) != 0 ? 1 : 0;
        else if (keyword == "JustyfyMaxSpace")
            maxJustifyGap = command.GetFloat(1u);
        else if (keyword == "LeftMargin")
            leftMargin = command.GetFloat(1u);
        else if (keyword == "RightMargin")
            rightMargin = command.GetFloat(1u);
        else if (keyword == "UpMargin")
            upMargin = command.GetFloat(1u);
        else if (keyword == "DownMargin")
            downMargin = command.GetFloat(1u);
        else if (keyword == "YSpacing")
            ySpacing = command.GetFloat(1u);
    }
}

void TextWindowControl::UpdateInnerRectangle()
{
    inner.left = rect.left + leftMargin;
    inner.top = rect.top + upMargin;
    inner.right = rect.right - rightMargin;
    inner.bottom = rect.bottom - downMargin;
}

void TextWindowControl::LoadTextFile(const char* _file_name)
{
    UpdateInnerRectangle();
    string_c text;
    for (const string_c& line : ReadMenuTextLines(_file_name, lineLimit)) {
        if (line.IsEmpty()) {
            text += '\n';
        } else {
            text += line;
            text += ' ';
        }
    }
    lines.clear();
    Wrap(mb_string_c(text));
}

void TextWindowControl::SetText(const char* _text, bool _append)
{
    if (!_text) {
        lines.clear();
        return;
    }
    UpdateInnerRectangle();
    if (!_append)
        lines.clear();
    Wrap(mb_string_c(string_c(_text)));
}

f32 TextWindowControl::Measure(const char* _text, u32 _bytes)
{
    if (!font || _bytes == 0)
        return 0.0f;
    string_c part;
    part.Assign(_text, _bytes);
    return font->GetTextWidthB(part);
}

void TextWindowControl::Wrap(const mb_string_c& _text)
{
    const u32 count = _text.GetChars();
    const char* data = _text.GetData();
    const f32 width = inner.GetWidth();
    // Lines end without blanks, so a paragraph's last line is never spread
    // by the blank that joined it to the next.
    const auto emit = [&](u32 _first, u32 _end) {
        while (_end > _first && _text.CharAt(_end - 1) == ' ')
            --_end;
        mb_string_c line;
        const u32 from = _text.ByteOffset(_first);
        line.Assign(data + from, _end - _first, _text.ByteOffset(_end) - from);
        lines.push_back(line);
    };
    u32 start = 0;
    i64 lastBlank = -1;
    u32 i = 0;
    while (i < count) {
        const unsigned code = _text.CharAt(i);
        if (code == '\n') {
            emit(start, i);
            lines.emplace_back();
            start = i + 1;
            lastBlank = -1;
            i = start;
            continue;
        }
        if (code == '\r' && i == start) {
            start = i + 1;
            i = start;
            continue;
        }
        if (code == ' ')
            lastBlank = i;
        const u32 from = _text.ByteOffset(start);
        if (i > start && Measure(data + from, _text.ByteOffset(i + 1) - from) > width) {
            if (lastBlank >= static_cast<i64>(start)) {
                emit(start, static_cast<u32>(lastBlank));
                start = static_cast<u32>(lastBlank) + 1;
            } else {
                emit(start, i);
                lines.emplace_back();
                start = i;
            }
            lastBlank = -1;
            i = start;
            continue;
        }
        ++i;
    }
    if (start < count)
        emit(start, count);
}

void TextWindowControl::SetScrollBar(f32 _position)
{
    scrollPosition = std::isnan(_position) ? 0.0f : std::clamp(_position, 0.0f, 1.0f);
}

u32 TextWindowControl::GetVisibleLineCount()
{
    const f32 step = font ? font->GetLineHeight() + ySpacing : 0.0f;
    if (!(step > 0.0f))
        return static_cast<u32>(lines.size());
    const f32 visible = std::floor(inner.GetHeight() / step);
    if (!(visible > 0.0f))
        return 0;
    return visible < static_cast<f32>(lines.size()) ? static_cast<u32>(visible) : static_cast<u32>(lines.size());
}

bool TextWindowControl::NeedsScrollBar()
{
    return font && GetVisibleLineCount() < lines.size();
}

u32 TextWindowControl::GetFirstVisibleLine()
{
    const u32 visible = GetVisibleLineCount();
    if (visible >= lines.size())
        return 0;
    const u32 hidden = static_cast<u32>(lines.size()) - visible;
    return std::min(hidden, static_cast<u32>(static_cast<f32>(hidden) * scrollPosition));
}

void TextWindowControl::Process(f32 _time)
{
    if (!bodyScene)
        return;
    PlaceMenuScene(*bodyScene, rect);
    AnimateMenuScene(*bodyScene, _time);
}

void TextWindowControl::Render()
{
    if (rect.IsZero())
        return;
    if (bodyScene)
        bodyScene->Render();
    if (!font)
        return;
    const u32 first = GetFirstVisibleLine();
    const u32 shown = std::min(GetVisibleLineCount(), static_cast<u32>(lines.size()) - first);
    const f32 step = font->GetLineHeight() + ySpacing;
    for (u32 i = 0; i < shown; ++i)
        DrawLine(lines[first + i], inner.top + static_cast<f32>(i) * step);
}

void TextWindowControl::DrawLine(const mb_string_c& _line, f32 _y)
{
    const char* data = _line.GetData();
    u32 blanks = 0;
    f32 wordsWidth = 0.0f;
    u32 wordStart = 0;
    const u32 bytes = _line.GetBytes();
    for (u32 i = 0; i <= _line.GetChars(); ++i) {
        if (i < _line.GetChars() && _line.CharAt(i) != ' ')
            continue;
        const u32 from = _line.ByteOffset(wordStart);
        wordsWidth += Measure(data + from, _line.ByteOffset(i) - from);
        if (i < _line.GetChars())
            ++blanks;
        wordStart = i + 1;
    }
    const f32 gap = blanks ? std::max(inner.GetWidth() - wordsWidth, 0.0f) / static_cast<f32>(blanks) : 0.0f;
    if (!justify || blanks == 0 || !(gap <= maxJustifyGap)) {
        font->DrawTextB(inner.left, _y, data, color, transition, 0);
        return;
    }
    f32 x = inner.left;
    wordStart = 0;
    for (u32 i = 0; i <= _line.GetChars(); ++i) {
        if (i < _line.GetChars() && _line.CharAt(i) != ' ')
            continue;
        const u32 from = _line.ByteOffset(wordStart);
        const u32 length = (i < _line.GetChars() ? _line.ByteOffset(i) : bytes) - from;
        string_c word;
        word.Assign(data + from, length);
        font->DrawTextB(x, _y, word, color, transition, 0);
        x += Measure(data + from, length) + gap;
        wordStart = i + 1;
    }
}

bool TextWindowControl::IsInside(f32, f32)
{
    return false;
}

bool TextWindowControl::IsDisabled()
{
    return false;
}

void TextWindowControl::Disable(bool) {}
void TextWindowControl::GetState(menu_ret_c&) {}
void TextWindowControl::SetState(menu_ret_c*) {}
void TextWindowControl::AddItem(const char*) {}
