#pragma once
// How every screen reads and drives its controls. Screens poll once per
// frame; no control calls back.
//
//   clicked   a button's state integer is 2 (a finished click, reported once);
//   Enter     a text box's integer is 13 in the frame the key came;
//   usable    Disable(true) only while the control is disabled, unusable
//             Disable(false) only while it is not, so a control under the
//             pointer or pressed is not reset every frame;
//   deselect  a list gets a cleared record with the integer -1 (an empty
//             string, or the list would select by text).
//
// A missing menu (null) reads as nothing and takes nothing; a missing
// control is reported by the menu library and changes nothing.
#include "foundation/text_string.h"
#include "foundation/types.h"
#include "menu/menu_ret.h"

class any_menu_c;
class TextWindowControl;

inline constexpr i32 kButtonClicked = 2;
inline constexpr i32 kKeyEnter = 13;

menu_ret_c ReadControl(any_menu_c* _menu, const char* _name);
bool IsClicked(any_menu_c* _menu, const char* _name);
// A number box with its two arrows: Enter keeps the number within _min.._max
// and an arrow click steps it, both written back. Controls report what they
// held at the last menu update, so the box's text after this frame is
// returned rather than read back.
string_c UpdateNumberBox(any_menu_c* _menu, const char* _box, const char* _up, const char* _down, i32 _min, i32 _max);
// A text box the user is typing into (its control state is 3).
bool IsEditing(any_menu_c* _menu, const char* _name);
void SetUsable(any_menu_c* _menu, const char* _name, bool _usable);
void Deselect(any_menu_c* _menu, const char* _name);
// A cleared record: false, 0, 0 and the empty string.
void ResetControl(any_menu_c* _menu, const char* _name);
// The text window of that name, or null.
TextWindowControl* FindTextWindow(any_menu_c* _menu, const char* _name);
// Replaces a text window's lines with a file's text (nothing when missing).
void LoadTextInto(any_menu_c* _menu, const char* _name, const char* _file_name);
// Empties a text window.
void ClearText(any_menu_c* _menu, const char* _name);
// A label's text: a text window's lines, or another control's caption.
void SetLabel(any_menu_c* _menu, const char* _name, const char* _text);
// Puts a text box into editing with that text and the cursor at its end.
void StartEditing(any_menu_c* _menu, const char* _name, const string_c& _text);
// A two-state control (a check box's bool, or another control's integer).
bool ReadSwitch(any_menu_c* _menu, const char* _name);
void SetSwitch(any_menu_c* _menu, const char* _name, bool _on);
// The menu _child of the dialog chain _chain of _menu, or null.
any_menu_c* FindChainMenu(any_menu_c* _menu, const char* _chain, const char* _child);
