#include "game/testing/computer_planes.h"

#include "engine/testing/landscape_fixtures.h"

void AddPlaneEffectFiles(file_set_t& _files)
{
    _files["data\\common\\planes\\fx\\smoke.png"] = PictureBytes(4, 4, format_a8r8g8b8, 0x80808080);
    _files["data\\common\\planes\\fx\\case1.png"] = PictureBytes(4, 4, format_a8r8g8b8, 0xffc0a040);
    _files["data\\common\\planes\\fx\\shoot\\ogien.lws"] = Written(null_object_c("flash"));
}

game_object_plane_ai_c* MakeComputerPlane(plane_world_c& _setting, const computer_plane_options_c& _options)
{
    AddTestPlane(_setting.files.files, "planes\\testbird.op", _options.file, &_setting.renderer);
    auto made = std::make_unique<game_object_plane_ai_c>();
    auto pilot = std::make_unique<ai_pilot_c>(_options.seed);
    pilot->SetAce(_options.gain);
    made->SetPilot(std::move(pilot));
    made->Load("planes\\testbird.op", &_setting.renderer, &_setting.scene, _options.sounds ? &_setting.sound : nullptr,
               false);
    made->SetSkill(_options.skill);
    made->SetSpeed(30.0f);
    made->SetPosition(_options.position);
    made->SetRotation(_options.rotation);
    return static_cast<game_object_plane_ai_c*>(_setting.world.AddPlane(std::move(made)));
}
