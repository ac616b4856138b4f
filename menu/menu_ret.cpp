#include "menu/menu_ret.h"

void menu_ret_c::Clear()
{
    boolValue = 0;
    floatValue = 0.0f;
    intValue = 0;
    stringValue.Clear();
}
