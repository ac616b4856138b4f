#include "game/map_position.h"

f32 MapFraction(f32 _coordinate)
{
    return (_coordinate + 3000.0f) / 6000.0f;
}

vec3_c MapPosition(f32 _x, f32 _z)
{
    return vec3_c(MapFraction(_x) * 31.0f - 20.0f, MapFraction(_z) * 31.2f - 15.6f, 50.0f);
}
