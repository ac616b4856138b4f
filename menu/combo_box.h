#pragma once
// ComboBoxControl: the selected item of a list shown in a one-line field; a
// click opens a drop-down list under the field (over it when there is no
// room below, or always with "ForceUp"), with a vertical slider beside it,
// as wide as a line is high, when the items exceed "MaxItems"; a click on a
// row chooses it and closes the list; a press away from field and list, or
// a release on the field, closes it without choosing. The opened list fades
// in over 0.35 s.
//
// States: 0 disabled, 1 closed, 2 pointer over (closed), 3 open.
//
// Control-script keys, in the order tested: "MainBorderFile",
// "SelectBorderFile", "MarkFile", "ButtonDownFile", "LeftMargin",
// "RightMargin", "Charset", "DefaultCharsetColor", "MaxItems", "ForceUp",
// "SliderFile", "SelectedCharsetColor", "MainBorder_Disabled",
// "MainBorder_Enabled", "MainBorder_MouseOver" and "MainBorder_Action" (the
// last two with an optional "sound").
//
// GetState gives the index (int), whether a click changed it since the last
// GetState (bool) and the selected text; SetState sets the index. The index
// always names an item or is -1: a click on the list's bottom edge chooses
// its last row, an index set from outside the items selects nothing.
// Without a font the list has no rows and a click on it chooses nothing;
// without "SliderFile" it does not scroll.
#include "foundation/text_string.h"
#include "foundation/vector_math.h"
#include "menu/any_menu_control.h"
#include "menu/menu_anim_clip.h"
#include "menu/menu_items.h"
#include "menu/menu_rect.h"

#include <vector>

class font_handle_c;
class scene_c;
class SliderControl;
class sound_source_c;

class ComboBoxControl : public any_menu_control_c {
public:
    static constexpr f32 fadeTime = 0.35f;

    ComboBoxControl(const char* _name, const char* _script_file, renderer_c* _renderer, sound_system_c* _sound_system,
                    menu_string_table_c* _string_table);
    ~ComboBoxControl() override;

    void Render() override;
    void Process(f32 _time) override;
    void ProcessScript() override;
    void AddItem(const char* _item_name) override;
    // Null removes every item and the selection; any other text does nothing.
    void RemoveItem(const char* _item_name) override;
    void SetSoundVolume(f32 _volume) override;
    void Disable(bool _enabled = true) override;
    bool IsDisabled() override;
    void GetState(menu_ret_c& _ret) override;
    void SetState(menu_ret_c* _ret) override;
    void OnMouseMove(f32 _x, f32 _y, i32 _a, i32 _b) override;
    void OnLeftButtonDown() override;
    void OnLeftButtonUp() override;
    void OnLeftClick() override;
    // The stored pointer on the field; the arguments are not used.
    bool IsInside(f32 _x, f32 _y) override;
    menu_rect_c* GetRectangle() override { return &rect; }

    i32 GetSelected() const { return list.selected; }
    const menu_rect_c& GetListRect() const { return listRect; }
    SliderControl* GetSlider() const { return slider.get(); }
    // The first row of the open list at the slider's position.
    i32 GetFirstShown() const;

private:
    f32 LineHeight() const;
    u32 Shown() const;
    bool HasScrollBar() const { return slider && list.items.size() > maxItems; }
    // The list's transparency: fading in after the opening click.
    f32 ListTransparency() const;

    u8 forceUp = 0;
    u32 maxItems = 5;
    f32 leftMargin = 0.0f;
    f32 rightMargin = 0.0f;
    menu_rect_c rect;
    std::unique_ptr<scene_c> mainBorder;
    std::unique_ptr<scene_c> selectBorder;
    std::unique_ptr<scene_c> mark;
    std::unique_ptr<scene_c> buttonDown;
    std::unique_ptr<font_handle_c> font;
    vec3_c defaultColor = vec3_c(0.0f, 0.0f, 0.0f);
    vec3_c selectedColor = vec3_c(0.0f, 0.0f, 0.0f);
    menu_anim_clip_c disabledClip;
    menu_anim_clip_c enabledClip;
    menu_anim_clip_c overClip;
    menu_anim_clip_c actionClip;
    menu_items_c list;
    f32 mouseX = -1.0f;
    f32 mouseY = -1.0f;
    std::unique_ptr<SliderControl> slider;
    menu_rect_c listRect;
    f32 sliderSpeed = 0.0f;
    std::unique_ptr<sound_source_c> overSound;
    std::unique_ptr<sound_source_c> actionSound;
};
