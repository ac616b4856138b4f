#pragma once
// DragItemControl and DragSquareControl: the data of a drag-and-drop board.
// An item is a scene that looks like a button body; a square is an
// invisible rectangle that can hold items. Nothing in the menu library moves
// an item or fills a square: the item's pointer point is never written by
// the menu (it starts at (-1, -1), so an item is never hovered by accident),
// and "AddItemToDragSquare" only checks the two names.
//
// Item control-script keys, in the order tested: "BodyFile"; "Disabled",
// "Enabled", "MouseOver", "Action" (clips); "FadeSize" (the body shrinks
// toward its centre with the transition instead of fading). A square has no
// script.
#include "menu/any_menu_control.h"
#include "menu/menu_looks.h"
#include "menu/menu_rect.h"

#include <vector>

class DragSquareControl;
class scene_c;

class DragItemControl : public any_menu_control_c {
public:
    DragItemControl(const char* _name, const char* _script_file, renderer_c* _renderer, sound_system_c* _sound_system,
                    menu_string_table_c* _string_table);
    ~DragItemControl() override;

    // Nothing while a square holds the item.
    void Render() override;
    void Process(f32 _time) override;
    void ProcessScript() override;
    void SetSoundVolume(f32 _volume) override;
    void Disable(bool _enabled = true) override;
    bool IsDisabled() override;
    void GetState(menu_ret_c& _ret) override;
    void SetState(menu_ret_c* _ret) override;
    void OnMouseMove(f32 _x, f32 _y, i32 _a, i32 _b) override;
    // The stored point; the arguments are not used.
    bool IsInside(f32 _x, f32 _y) override;
    menu_rect_c* GetRectangle() override { return &rect; }

    void SetPoint(f32 _x, f32 _y);
    DragSquareControl* GetSquare() const { return square; }
    void SetSquare(DragSquareControl* _square) { square = _square; }
    scene_c* GetBody() const { return body.get(); }

private:
    f32 pointX = -1.0f;
    f32 pointY = -1.0f;
    menu_rect_c rect;
    DragSquareControl* square = nullptr;
    std::unique_ptr<scene_c> body;
    menu_looks_c looks;
    u8 fadeSize = 0;
};

class DragSquareControl : public any_menu_control_c {
public:
    DragSquareControl(const char* _name, const char* _script_file, renderer_c* _renderer, sound_system_c* _sound_system,
                      menu_string_table_c* _string_table);
    ~DragSquareControl() override;

    void Render() override;
    void Process(f32 _time) override;
    void ProcessScript() override;
    void Disable(bool _enabled = true) override;
    bool IsDisabled() override;
    void GetState(menu_ret_c& _ret) override;
    void SetState(menu_ret_c* _ret) override;
    void OnMouseMove(f32 _x, f32 _y, i32 _a, i32 _b) override;
    // The stored point; the arguments are not used.
    bool IsInside(f32 _x, f32 _y) override;
    menu_rect_c* GetRectangle() override { return &rect; }

    const std::vector<std::unique_ptr<DragItemControl>>& GetItems() const { return items; }

private:
    f32 pointX = -1.0f;
    f32 pointY = -1.0f;
    menu_rect_c rect;
    std::vector<std::unique_ptr<DragItemControl>> items;
};
