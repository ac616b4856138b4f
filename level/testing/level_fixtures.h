#pragma once
// Builders of level files for tests: object templates and scene files made
// by the classes' own writers into an in-memory file set.
#include "foundation/types.h"
#include "level/level_scene.h"
#include "level/walk_path.h"

#include <map>
#include <string>
#include <vector>

class renderer_c;

using file_set_t = std::map<std::string, std::vector<u8>>;

// One group of a template made for a test: a name, whether it has a game
// object (then an empty geometry object named after it is its node) and
// the parameters of its list as (name, int value) pairs.
struct test_group_c {
    std::string name;
    bool hasGameObject = true;
    std::vector<std::pair<std::string, i32>> intParameters;
};

// Writes a template with these groups and the given models (name, group
// indices) as _file into _files.
void AddTestTemplate(file_set_t& _files, const std::string& _file, const std::vector<test_group_c>& _groups,
                     const std::vector<std::pair<std::string, std::vector<u32>>>& _models, renderer_c* _renderer);

// _scene written whole as _file into _files.
void AddTestScene(file_set_t& _files, const std::string& _file, level_scene_c& _scene);

// A walk path named _name whose keys (times 0, 1, 2, ...) are the points,
// every key linear.
std::unique_ptr<walk_path_c> MakeTestPath(const char* _name, const std::vector<vec3_c>& _points);
