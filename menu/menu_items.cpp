#include "menu/menu_items.h"

#include "engine/font_handle.h"
#include "menu/menu_ret.h"
#include "menu/slider.h"

#include <algorithm>
#include <cmath>

void menu_items_c::Report(menu_ret_c& _ret)
{
    _ret.Clear();
    _ret.intValue = selected;
    _ret.boolValue = changed;
    changed = 0;
    if (Bounded(selected) >= 0)
        _ret.stringValue = items[static_cast<size_t>(selected)];
}

i32 menu_items_c::Bounded(i32 _index) const
{
    return _index >= 0 && static_cast<size_t>(_index) < items.size() ? _index : -1;
}

i32 menu_items_c::FirstShown(const SliderControl* _slider, u32 _rows) const
{
    if (!_slider || items.size() <= _rows)
        return 0;
    const f32 hidden = static_cast<f32>(items.size() - _rows);
    return static_cast<i32>(std::clamp(std::floor(_slider->GetValue() * hidden + 0.5f), 0.0f, hidden));
}

string_c ShortenMenuText(font_handle_c& _font, const char* _text, f32 _width)
{
    string_c text(_text);
    if (_font.GetTextWidth(text) <= _width)
        return text;
    while (!text.IsEmpty() && _font.GetTextWidth(text + "...") > _width)
        text.Truncate(static_cast<int>(text.GetLength()) - 1);
    return text + "...";
}
