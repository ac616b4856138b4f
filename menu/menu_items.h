#pragma once
// What the list and combo boxes share: their items with the selection, the
// report of both, the page a slider shows, and the shortening of texts to a
// cell.
#include "foundation/text_string.h"
#include "foundation/types.h"

#include <vector>

class font_handle_c;
class menu_ret_c;
class SliderControl;

class menu_items_c {
public:
    std::vector<string_c> items;
    // An index of the items or -1.
    i32 selected = -1;
    // Set when a click chose another item; cleared by Report.
    u8 changed = 0;

    // Clears the record; int = selected, bool = changed (then cleared),
    // string = the selected text when there is one.
    void Report(menu_ret_c& _ret);
    // The index when it names an item, else -1.
    i32 Bounded(i32 _index) const;
    // round(slider value x (count - _rows)), kept within the hidden items;
    // 0 when everything fits or there is no slider.
    i32 FirstShown(const SliderControl* _slider, u32 _rows) const;
};

// The text cut from its end, with "..." appended, until it is no wider than
// _width by the font; the text itself when it fits.
string_c ShortenMenuText(font_handle_c& _font, const char* _text, f32 _width);
