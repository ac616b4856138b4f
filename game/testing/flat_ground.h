#pragma once
// A level terrain for game tests: flat at height _height, 6400 units wide,
// centred on the world's origin, built by the engine's terrain builder.
#include "engine/terrain.h"

#include <memory>

class renderer_c;

std::unique_ptr<terrain_c> MakeFlatGround(renderer_c* _renderer, float _height = 0.0f);
