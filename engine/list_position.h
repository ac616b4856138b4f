#pragma once
// Positions in intrusive lists, as the object format refers to items.
#include "engine/node.h"
#include "foundation/types.h"

inline constexpr u32 list_position_none = 0xFFFFFFFF;

// The item at a position, or null past the end.
template <class T>
T* NthItem(const node_list_c<T>& _list, u32 _index)
{
    T* item = _list.GetFirst();
    for (u32 i = 0; item && i < _index; ++i)
        item = item->GetNext();
    return item;
}

// The position of an item, or list_position_none.
template <class T>
u32 IndexOf(const node_list_c<T>& _list, const T* _item)
{
    u32 index = 0;
    for (const T* item = _list.GetFirst(); item; item = item->GetNext(), ++index)
        if (item == _item)
            return index;
    return list_position_none;
}
