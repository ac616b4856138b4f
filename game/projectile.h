#pragma once
// projectile_c: one bullet, anti-aircraft shell, bomb or rocket in flight.
// The world keeps them in launch order, moves them under gravity every step
// and ends them on a hit or at their expiry (see game_world_c).
#include "foundation/types.h"
#include "foundation/vector_math.h"

class game_object_c;
class null_object_c;

enum projectile_kind_e : u32 {
    projectile_bullet = 0,
    projectile_bomb = 1,
    projectile_rocket = 2,
    projectile_shell = 3,
};

// The model pools: bullets and shells share one.
enum projectile_pool_e : int {
    pool_bullets = 0,
    pool_bombs = 1,
    pool_rockets = 2,
    pool_count = 3,
};

class projectile_c {
public:
    vec3_c position;
    vec3_c direction;  // unit length
    f32 speed = 0.0f;  // units per second
    f32 expiry = 0.0f; // world time at which it ends
    // The pooled model that shows it; null when its template is not loaded.
    null_object_c* model = nullptr;
    // Who fired it; null once that object has left the world.
    game_object_c* shooter = nullptr;
    // What a rocket homes on (game_world_c::SpawnRocket); null when it
    // flies free, and once the target is destroyed or leaves the world.
    game_object_c* target = nullptr;
    u8 explodes = 0; // shells, bombs and rockets
    u32 kind = projectile_bullet;
    int pool = pool_bullets;
};
