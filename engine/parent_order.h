#pragma once
// Orders entities so that every parent comes before its children, for the
// update order of aggregates and the skeleton order of geometry objects. A
// parent link to an entity outside the list, or to itself, is cleared; a
// chain of links that closes on itself is broken by clearing the link that
// closes it. Each entity goes right after those of its ancestors not placed
// yet, so the list keeps its sequence wherever the links allow. Linear in
// the number of entities.
#include "engine/entity.h"
#include "foundation/types.h"

#include <unordered_map>
#include <vector>

template <class T>
void OrderParentsFirst(std::vector<T*>& _order)
{
    const size_t count = _order.size();
    std::unordered_map<const entity_c*, size_t> position;
    position.reserve(count);
    for (size_t i = 0; i < count; ++i)
        position.emplace(_order[i], i);
    for (T* entity : _order)
        if (entity->parent && (entity->parent == entity || !position.contains(entity->parent)))
            entity->parent = nullptr;

    enum : u8 { unvisited, on_chain, placed };
    std::vector<u8> state(count, unvisited);
    std::vector<T*> ordered;
    ordered.reserve(count);
    std::vector<size_t> chain;
    for (size_t i = 0; i < count; ++i) {
        chain.clear();
        size_t at = i;
        while (state[at] == unvisited) {
            state[at] = on_chain;
            chain.push_back(at);
            entity_c* link = _order[at]->parent;
            if (!link)
                break;
            const size_t next = position.at(link);
            if (state[next] == on_chain) {
                _order[at]->parent = nullptr;
                break;
            }
            at = next;
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            state[*it] = placed;
            ordered.push_back(_order[*it]);
        }
    }
    _order.swap(ordered);
}
