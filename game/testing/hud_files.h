#pragma once
// The HUD's and the map's model files for tests and benchmarks, made by the
// template writer into an in-memory file set: the digits, the items, the
// sight, a compass "compass.op" with its four groups under model "simple",
// an empty gun scene and the three map markers (named "user", "allied" and
// "german"), all under their fixed names and hud_test_path.
#include "level/testing/level_fixtures.h"

#include <string>
#include <vector>

inline constexpr char hud_test_path[] = "data\\game\\hud\\";

// A template whose models show one group each ("g" + the model's name).
void AddModelSet(file_set_t& _files, const std::string& _file, const std::vector<std::string>& _models,
                 renderer_c* _renderer);

void AddHudFiles(file_set_t& _files, renderer_c* _renderer);
