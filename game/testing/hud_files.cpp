#include "game/testing/hud_files.h"

#include "engine/scene.h"
#include "engine/testing/landscape_fixtures.h"
#include "game/game_map.h"
#include "game/hud.h"

void AddModelSet(file_set_t& _files, const std::string& _file, const std::vector<std::string>& _models,
                 renderer_c* _renderer)
{
    std::vector<test_group_c> groups;
    std::vector<std::pair<std::string, std::vector<u32>>> models;
    for (u32 i = 0; i < _models.size(); ++i) {
        groups.push_back({"g" + _models[i], true, {}});
        models.push_back({_models[i], {i}});
    }
    AddTestTemplate(_files, _file, groups, models, _renderer);
}

void AddHudFiles(file_set_t& _files, renderer_c* _renderer)
{
    const std::string path = hud_test_path;
    AddModelSet(_files, hud_digits_file, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}, _renderer);
    AddModelSet(_files, path + hud_items_file, {"german", "aliant", "rocket", "bomb"}, _renderer);
    AddModelSet(_files, path + hud_sight_file, {"sight"}, _renderer);
    AddTestTemplate(_files, path + "compass.op",
                    {{"compass", true, {}}, {"map", true, {}}, {"target_green", true, {}}, {"target_red", true, {}}},
                    {{"simple", {0, 1, 2, 3}}}, _renderer);
    _files[hud_gun_scene_file] = Written(scene_c("gun", _renderer));
    _files[map_user_marker_file] = Written(null_object_c("user"));
    _files[map_allied_marker_file] = Written(null_object_c("allied"));
    _files[map_german_marker_file] = Written(null_object_c("german"));
}
