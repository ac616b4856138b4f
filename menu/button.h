#pragma once
// ButtonControl: a rectangle whose look is a small scene (the body) playing
// one clip per state, with an optional caption, two optional sounds and an
// optional check box riding on it. Screens poll GetState every frame: the
// int is 2 once when a click has finished its action clip, 1 while the clip
// runs, else 0.
//
// States: 0 disabled, 1 normal, 2 pointer over, 3 action.
//
// Control-script keys, in the order tested: "BodyFile"; the clips
// "Disabled", "Enabled", "MouseOver" and "Action" (the last two with an
// optional "sound"); "Charset"; the caption styles "Enabled_Charset",
// "MouseOver_Charset", "Disabled_Charset", "Action_Charset" (named "Color",
// "DeltaY", "DeltaX"); "FadeSize" (the body shrinks toward its centre with
// the transition instead of fading); "DeltaTextPos" (named "x", "y": the
// caption at that offset from the top left instead of centred);
// "CheckBoxControl" (name, script, named "x" and "y": a riding check box at
// that offset, which takes no pointer events and shows only the value set
// on it).
//
// A button whose rectangle is all zero neither draws nor takes the pointer
// (tabs hide buttons so).
#include "foundation/text_string.h"
#include "foundation/vector_math.h"
#include "menu/any_menu_control.h"
#include "menu/menu_looks.h"
#include "menu/menu_rect.h"

#include <vector>

class CheckBoxControl;
class command_c;
class font_handle_c;
class scene_c;
class sound_source_c;

class ButtonControl : public any_menu_control_c {
public:
    ButtonControl(const char* _name, const char* _script_file, renderer_c* _renderer, sound_system_c* _sound_system,
                  menu_string_table_c* _string_table);
    ~ButtonControl() override;

    void Render() override;
    void Process(f32 _time) override;
    void ProcessScript() override;
    void SetSoundVolume(f32 _volume) override;
    void Disable(bool _enabled = true) override;
    bool IsDisabled() override;
    void GetState(menu_ret_c& _ret) override;
    void SetState(menu_ret_c* _ret) override;
    void OnMouseMove(f32 _x, f32 _y, i32 _a, i32 _b) override;
    void OnLeftClick() override;
    // The stored pointer; the arguments are not used.
    bool IsInside(f32 _x, f32 _y) override;
    menu_rect_c* GetRectangle() override { return &rect; }
    void SetCaption(const char* _text) override { text = _text; }

    const string_c& GetText() const { return text; }
    const menu_rect_c& GetRect() const { return rect; }
    void SetRect(const menu_rect_c& _rect) { rect = _rect; }
    // Width and height as the creator computed them from "w" and "h".
    f32 GetWidth() const { return width; }
    f32 GetHeight() const { return height; }
    void SetSize(f32 _width, f32 _height);
    scene_c* GetBody() const { return body.get(); }
    CheckBoxControl* GetCheckBox() const { return checkBox.get(); }

protected:
    string_c text;

private:
    struct caption_style_s {
        vec3_c color = vec3_c(0.0f, 0.0f, 0.0f);
        f32 deltaX = 0.0f;
        f32 deltaY = 0.0f;
    };

    void ReadStyle(const command_c& _command, i32 _state);
    // Back to pointer over or normal by where the pointer is.
    void Settle();

    i32 textMode = 0;
    f32 textOffsetX = 0.0f;
    f32 textOffsetY = 0.0f;
    std::unique_ptr<scene_c> body;
    menu_looks_c looks;
    menu_rect_c rect;
    f32 width = 0.0f;
    f32 height = 0.0f;
    f32 mouseX = -1.0f;
    f32 mouseY = -1.0f;
    u8 fadeSize = 0;
    std::unique_ptr<font_handle_c> font;
    // By state: disabled, normal, pointer over, action.
    caption_style_s styles[4];
    std::unique_ptr<CheckBoxControl> checkBox;
    f32 checkBoxOffsetX = 0.0f;
    f32 checkBoxOffsetY = 0.0f;
    i32 clickDone = 0;
};

// OptionsControl: a button inside a tab that owns a list of element buttons
// and shows "caption > chosen element" (just "caption > " before a choice).
class OptionsControl : public ButtonControl {
public:
    using ButtonControl::ButtonControl;
    ~OptionsControl() override;

    void Process(f32 _time) override;
    // The "text" key sets the fixed part of the text.
    void SetCaption(const char* _text) override { caption = _text; }

    void AddElement(std::unique_ptr<ButtonControl> _element);
    const std::vector<std::unique_ptr<ButtonControl>>& GetElements() const { return elements; }
    ButtonControl* GetChosen() const { return chosen; }
    void SetChosen(ButtonControl* _element) { chosen = _element; }

private:
    string_c caption;
    std::vector<std::unique_ptr<ButtonControl>> elements;
    ButtonControl* chosen = nullptr;
};
