#pragma once
// ToolTip: the small text box a menu shows beside the pointer while it rests
// on a control with a tool-tip text. The menu decides when it shows and how
// opaque it is (it writes the transparency every frame); the tip places,
// sizes and draws itself. It is not in the menu's control list.
//
// Control-script keys, in the order tested: "Charset" (font), "CharsetColor"
// (colour), "Time" with named "fadein" and "delay" (seconds), "Offset" with
// named "x" and "y" (from the pointer to the tip's top left), "BodyFile"
// (background scene).
//
// Placing: the box is the text's width by the font's line height at the
// pointer plus the offset, grown by 0.01 on every side for the background
// and confined to the screen (right and bottom edges first, then left and
// top), then shrunk again, so the text stands 0.01 inside the background.
#include "foundation/vector_math.h"
#include "menu/any_menu_control.h"
#include "menu/menu_rect.h"

class font_handle_c;
class scene_c;

class ToolTip : public any_menu_control_c {
public:
    static constexpr f32 margin = 0.01f;

    f32 fadeInTime = 0.0f;
    f32 delay = 0.0f;
    // 1 invisible, 0 opaque.
    f32 transparency = 0.5f;

    ToolTip(const char* _script_file, renderer_c* _renderer, sound_system_c* _sound_system,
            menu_string_table_c* _string_table);
    ~ToolTip() override;

    using any_menu_control_c::Process;
    // _text is the text of the control under the pointer, or null (nothing
    // shows). Without a font the box has no size.
    void Process(f32 _time, f32 _x, f32 _y, const char* _text);
    // The background, then the text; nothing without a font or a text.
    void Render() override;
    void ProcessScript() override;

    const menu_rect_c& GetBox() const { return box; }
    const char* GetText() const { return hasText ? text.GetData() : nullptr; }
    scene_c* GetBodyScene() const { return bodyScene.get(); }

private:
    std::unique_ptr<scene_c> bodyScene;
    std::unique_ptr<font_handle_c> font;
    vec3_c color = vec3_c(0.0f, 0.0f, 0.0f);
    f32 offsetX = 0.0f;
    f32 offsetY = 0.0f;
    string_c text;
    bool hasText = false;
    menu_rect_c box;
};
