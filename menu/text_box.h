#pragma once
// TextBoxControl: the one-line text input of the menus (pilot names, server
// addresses, ports and counts). A click puts it into editing (state 3);
// characters are filtered by class and limited in number; Enter or a click
// elsewhere ends editing; a numeric box clamps its value. An optional scene
// behind it plays clips for the disabled, enabled, pointer-over and action
// looks, and two optional sounds mark pointer-over and typing.
//
// Control-script keys, in the order tested: "BodyFile"; the clips
// "Disabled", "Enabled", "MouseOver" and "Action" (named "start", "end",
// "loop"; the last two with an optional "sound"); "Charset"; "CharsetColor";
// "LeftMargin"; "InputMode" (named "AllowNumbers", "AllowLetters",
// "AllowOther", "AllowSpace", non-zero = on); "InputLenght" (most
// characters); "scrool_text" (a text too long for the box shows its end);
// "Cursor" (named "char" and "color"); "ClickDontClear" (a click keeps the
// text); "MinVal"; "MaxVal".
//
// Character classes: numbers '0'..'9'; letters 'A'..'Z', 'a'..'z'; other
// 0x21-0x2F, 0x3A-0x40, 0x5B-0x60, 0x7B-0x7D ('~' is not among them); space
// 0x20. Anything else is ignored.
//
// Numeric clamp (when "MinVal" or "MaxVal" is not 0): the text is read as an
// integer, raised to the minimum and, when the maximum is not below the
// minimum, lowered to the maximum, and written back in decimal. A maximum
// below the minimum counts as no maximum, so a box with only "MinVal" keeps
// its larger values instead of falling to 0.
//
// GetState gives the text in the string and, in the int, the last key or
// character received since the previous GetState (0 when none).
#include "foundation/text_string.h"
#include "foundation/vector_math.h"
#include "menu/any_menu_control.h"
#include "menu/menu_looks.h"
#include "menu/menu_rect.h"

class font_handle_c;
class scene_c;
class sound_source_c;

class TextBoxControl : public any_menu_control_c {
public:
    TextBoxControl(const char* _name, const char* _script_file, renderer_c* _renderer, sound_system_c* _sound_system,
                   menu_string_table_c* _string_table);
    ~TextBoxControl() override;

    // Empties the box and puts it into editing, with the action sound and
    // look.
    void Clear();

    void Process(f32 _time) override;
    void Render() override;
    void ProcessScript() override;
    void SetSoundVolume(f32 _volume) override;
    void Disable(bool _enabled = true) override;
    bool IsDisabled() override;
    void GetState(menu_ret_c& _ret) override;
    // The text is replaced; the cursor stays where it was, or at the end of a
    // shorter text.
    void SetState(menu_ret_c* _ret) override;
    void OnMouseMove(f32 _x, f32 _y, i32 _a, i32 _b) override;
    void OnLeftButtonDown() override;
    void OnLeftClick() override;
    void OnKeyDown(u32 _virtual_key) override;
    void OnChar(u32 _character) override;
    // Both edges count as inside.
    bool IsInside(f32 _x, f32 _y) override;
    menu_rect_c* GetRectangle() override { return &rect; }
    // The first content; the cursor at its end.
    void SetCaption(const char* _text) override;

    const string_c& GetText() const { return text; }
    u32 GetCursor() const { return cursor; }
    f32 GetCursorBlink() const { return cursorBlink; }
    scene_c* GetBodyScene() const { return bodyScene.get(); }
    // The text as drawn: with "scrool_text", its end that fits the box.
    string_c GetShownText(u32* _dropped = nullptr);

private:
    bool AllowsAnyClass() const { return allowNumbers || allowLetters || allowOther || allowSpace; }
    bool Accepts(u32 _character) const;
    void PlayClip(menu_anim_clip_c& _clip);
    void ApplyNumericClamp();
    f32 TextWidth(const char* _text);

    u8 scrollText = 0;
    i32 lastKey = 0;
    menu_rect_c rect;
    string_c text;
    u8 clickKeepsText = 0;
    i32 minValue = 0;
    i32 maxValue = 0;
    std::unique_ptr<scene_c> bodyScene;
    std::unique_ptr<font_handle_c> font;
    vec3_c color = vec3_c(0.0f, 0.0f, 0.0f);
    menu_looks_c looks;
    f32 pointerX = 0.0f;
    f32 pointerY = 0.0f;
    f32 leftMargin = 0.0f;
    u8 allowNumbers = 0;
    u8 allowLetters = 0;
    u8 allowOther = 0;
    u8 allowSpace = 0;
    u32 maxLength = 0;
    string_c cursorChar;
    vec3_c cursorColor = vec3_c(0.0f, 0.0f, 0.0f);
    u32 cursor = 0;
    f32 cursorBlink = 0.0f;
};
