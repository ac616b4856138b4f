#pragma once
// The world's list walks, shared by its source files: a walk by index that
// RemoveObject moves back over what it removes, and the guard that keeps
// removed objects alive until the outermost call out of the world returns.
#include "game/game_world.h"

#include <algorithm>

// Walks a list by index; RemoveObject moves it back over what it removes.
class game_world_c::walk_c {
public:
    walk_c(game_world_c& _world, const void* _list) : world(_world), cursor{_list, 0}
    {
        world.cursors.push_back(&cursor);
    }
    ~walk_c() { world.cursors.erase(std::find(world.cursors.begin(), world.cursors.end(), &cursor)); }
    walk_c(const walk_c&) = delete;
    walk_c& operator=(const walk_c&) = delete;

    i64& Index() { return cursor.index; }

private:
    game_world_c& world;
    cursor_c cursor;
};

// While the world calls out into objects, removed objects wait to be
// deleted until the outermost call returns.
class game_world_c::busy_c {
public:
    explicit busy_c(game_world_c& _world) : world(_world) { ++world.busy; }
    ~busy_c()
    {
        if (--world.busy == 0)
            world.removed.clear();
    }
    busy_c(const busy_c&) = delete;
    busy_c& operator=(const busy_c&) = delete;

private:
    game_world_c& world;
};
