#pragma once
// ListBoxControl: a list of text items, one per line, optionally split into
// columns at '|' (parts beyond the column count are not shown), with a highlight scene behind the selected line and a
// vertical slider at its right edge, as wide as a line is high, that scrolls
// when the items do not fit (a new list starts scrolled to its end). Screens
// fill it with AddItem, read the selection with GetState (int: the index or
// -1; bool: whether a click changed it since the last GetState; string: the
// selected text) and set it with SetState (by text when the string is not
// empty, else by index).
//
// Control-script keys, in the order tested: "BorderFile", "MarkFile",
// "Charset", "DefaultCharsetColor", "SelectedCharsetColor", "SliderFile"
// (the slider's script), "LeftMargin", "RightMargin", "UpMargin",
// "DownMargin", "Disabled", "Enabled" (with an optional click "sound"),
// "ColumnsNo", "SetColumnSpace" (column index and the column's start from
// the left edge).
//
// A cell text wider than its cell loses characters from its end, with
// "..." appended, until it fits. Damaged scripts and calls are kept within
// the list: a column count below 1 counts as 1, a column index outside the
// table is reported ("SetColumnSpace - column index out of range!") and
// skipped, an index set from outside the items selects nothing, and without
// a font (no line height) no line is shown or clicked; without "SliderFile"
// the list does not scroll.
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

class ListBoxControl : public any_menu_control_c {
public:
    ListBoxControl(const char* _name, const char* _script_file, renderer_c* _renderer, sound_system_c* _sound_system,
                   menu_string_table_c* _string_table);
    ~ListBoxControl() override;

    void Render() override;
    void Process(f32 _time) override;
    void ProcessScript() override;
    void AddItem(const char* _item_name) override;
    // Null removes every item; any other text removes the selected item.
    // Either way nothing is selected afterwards.
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
    // The stored pointer; the arguments are not used.
    bool IsInside(f32 _x, f32 _y) override;
    menu_rect_c* GetRectangle() override { return &rect; }

    const std::vector<string_c>& GetItems() const { return list.items; }
    i32 GetSelected() const { return list.selected; }
    u32 GetVisibleCount() const { return visible; }
    // The first item shown at the slider's position.
    i32 GetFirstShown() const;
    SliderControl* GetSlider() const { return slider.get(); }
    i32 GetColumnCount() const { return static_cast<i32>(columnSpace.size()); }

private:
    f32 LineHeight() const;
    void DrawCell(const char* _text, f32 _left, f32 _right, f32 _y, const vec3_c& _color);

    std::vector<f32> columnSpace = std::vector<f32>(1, 0.0f);
    u32 visible = 0;
    f32 leftMargin = 0.0f;
    f32 rightMargin = 0.0f;
    f32 upMargin = 0.0f;
    f32 downMargin = 0.0f;
    menu_rect_c rect;
    menu_rect_c area;
    std::unique_ptr<scene_c> border;
    std::unique_ptr<scene_c> mark;
    std::unique_ptr<font_handle_c> font;
    vec3_c defaultColor = vec3_c(0.0f, 0.0f, 0.0f);
    vec3_c selectedColor = vec3_c(0.0f, 0.0f, 0.0f);
    menu_anim_clip_c disabledClip;
    menu_anim_clip_c enabledClip;
    menu_items_c list;
    f32 mouseX = -1.0f;
    f32 mouseY = -1.0f;
    std::unique_ptr<SliderControl> slider;
    f32 sliderSpeed = 0.0f;
    std::unique_ptr<sound_source_c> clickSound;
};
