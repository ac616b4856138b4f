#pragma once
// TextWindowControl: a block of text inside a rectangle (briefings,
// descriptions, help pages). The text comes from a text file or from the
// screens, is word-wrapped to the inner width with the control's font,
// optionally justified, and scrolled by a position the screens take from a
// slider. An optional scene is drawn behind it.
//
// Control-script keys, in the order tested: "BodyFile" (scene), "Charset"
// (font), "CharsetColor", "Justyfy" (int), "JustyfyMaxSpace" (largest gap
// that is still justified), "LeftMargin", "RightMargin", "UpMargin",
// "DownMargin", "YSpacing" (added to the line height).
//
// Text files: lines of up to 2047 characters (the rest of a longer line is
// lost), trimmed; an empty line is a paragraph break, the others join with
// one blank into running text.
//
// Wrapping, with the font's second text form: a line breaks at its last
// blank before the character that overflows (blanks that end a line are
// dropped); a word
// longer than the line is cut before that character and its rest follows
// after one empty line; every line feed of the text gives one empty line.
// Every line holds at least one character, so no width stalls the wrap.
// Without a font nothing is measured: lines break at line feeds only.
//
// Drawing: line i of the page at (inner left, inner top + i x (line height +
// YSpacing)) in the text colour, with the transition progress as its
// transparency; nothing when the rectangle is all zero. Justified lines
// spread their words over the inner width when the gap stays within
// JustyfyMaxSpace; lines without blanks, or whose gap would be wider, are
// drawn as they are.
#include "foundation/mb_string.h"
#include "foundation/vector_math.h"
#include "menu/any_menu_control.h"
#include "menu/menu_rect.h"

#include <vector>

class font_handle_c;
class scene_c;

class TextWindowControl : public any_menu_control_c {
public:
    static constexpr u32 lineLimit = 2047;

    TextWindowControl(const char* _name, const char* _script_file, renderer_c* _renderer, sound_system_c* _sound_system,
                      menu_string_table_c* _string_table);
    ~TextWindowControl() override;

    // Replaces the lines with the wrapped text of the file.
    void LoadTextFile(const char* _file_name);
    // Null clears the lines; otherwise the wrapped text replaces them, or is
    // appended to them with _append.
    void SetText(const char* _text, bool _append);
    // 0 shows the first line at the top, 1 the last page; clamped to 0..1.
    void SetScrollBar(f32 _position);
    // True when the lines do not all fit; false without a font.
    bool NeedsScrollBar();

    // Places and animates the body scene.
    void Process(f32 _time) override;
    void Render() override;
    void ProcessScript() override;
    bool IsInside(f32 _x, f32 _y) override;
    bool IsDisabled() override;
    void Disable(bool _enabled = true) override;
    void GetState(menu_ret_c& _ret) override;
    void SetState(menu_ret_c* _ret) override;
    void AddItem(const char* _item_name) override;
    menu_rect_c* GetRectangle() override { return &rect; }

    const std::vector<mb_string_c>& GetLines() const { return lines; }
    // The text's colour, from "CharsetColor" until a screen sets another.
    const vec3_c& GetColor() const { return color; }
    void SetColor(const vec3_c& _color) { color = _color; }
    // Lines that fit on one page; every line when nothing limits them.
    u32 GetVisibleLineCount();
    // The first line of the page at the scroll position.
    u32 GetFirstVisibleLine();
    const menu_rect_c& GetInnerRectangle() const { return inner; }

private:
    void UpdateInnerRectangle();
    void Wrap(const mb_string_c& _text);
    void DrawLine(const mb_string_c& _line, f32 _y);
    f32 Measure(const char* _text, u32 _bytes);

    f32 scrollPosition = 0.0f;
    menu_rect_c rect;
    menu_rect_c inner;
    std::unique_ptr<font_handle_c> font;
    vec3_c color = vec3_c(0.0f, 0.0f, 0.0f);
    std::unique_ptr<scene_c> bodyScene;
    std::vector<mb_string_c> lines;
    u8 justify = 0;
    f32 maxJustifyGap = 0.0f;
    f32 leftMargin = 0.0f;
    f32 rightMargin = 0.0f;
    f32 upMargin = 0.0f;
    f32 downMargin = 0.0f;
    f32 ySpacing = 0.0f;
};
