#include "game/testing/plane_fixtures.h"

#include "engine/geom_object.h"
#include "game/objects/plane_file.h"
#include "level/object_template.h"
#include "level/template_builder.h"
#include "level/testing/memory_files.h"

#include <algorithm>

namespace {

const char* const part_names[] = {
    "MainGroup",   "mask",         "shadow",        "cockpit",       "guns_view",  "body",    "far_body",
    "burned_body", "crashed_body", "airscrew_fast", "airscrew_slow", "out_engine", "compass", "arrow1",
    "arrow2",      "out_wl",       "out_wr",        "wing_br",       "wing_bl",    "tail__p", "fin__h"};

// Template model name and the group that shows it.
const std::pair<const char*, const char*> views[] = {
    {"mask", "mask"},    {"shadow", "shadow"},    {"inside", "cockpit"},     {"guns", "guns_view"},
    {"outside", "body"}, {"distant", "far_body"}, {"burned", "burned_body"}, {"crashed", "crashed_body"},
};

} // namespace

test_plane_file_c::test_plane_file_c()
{
    name = "Testbird";
    gunLeft = vec3_c(-0.5f, 0.5f, 2.0f);
    gunRight = vec3_c(0.5f, 0.5f, 2.0f);
    rocketLeft = vec3_c(-2.0f, -0.5f, 0.0f);
    rocketRight = vec3_c(2.0f, -0.5f, 0.0f);
    compassPivot = vec3_c(0.0f, 0.1f, 0.0f);
    w1Pivot = vec3_c(0.0f, 0.2f, 0.0f);
    w2Pivot = vec3_c(0.0f, 0.3f, 0.0f);
    insideGunLeft = vec3_c(-0.2f, 0.8f, 1.0f);
    insideGunRight = vec3_c(0.2f, 0.8f, 1.0f);
    sounds = "data\\planes\\testbird.txt";
}

std::vector<std::string> TestPlaneSoundFiles()
{
    return {"snd\\normal.wav",  "snd\\destr1.wav",  "snd\\destr2.wav",  "snd\\choke.wav",  "snd\\unchoke.wav",
            "snd\\on.wav",      "snd\\off.wav",     "snd\\explode.wav", "snd\\wind_l.wav", "snd\\wind_r.wav",
            "snd\\noise_l.wav", "snd\\noise_r.wav", "snd\\boom.wav",    "snd\\crash.wav",  "snd\\splash.wav",
            "snd\\gun.wav",     "snd\\jam.wav",     "snd\\shells.wav",  "snd\\touch.wav",  "snd\\roll.wav",
            "snd\\rocket.wav",  "snd\\bomb.wav",    "snd\\hit1.wav",    "snd\\hit2.wav"};
}

std::string TestPlaneSoundScript()
{
    return "engine shift=\"0 0 2\" normal=snd\\normal.wav dist=100 normal_min_pitch=0.5 normal_max_pitch=1.5 \\\n"
           "  destr1=snd\\destr1.wav dist=110 destr1_min_pitch=0.6 destr1_max_pitch=1.2 \\\n"
           "  destr2=snd\\destr2.wav dist=120 destr2_min_pitch=0.7 destr2_max_pitch=0.7 \\\n"
           "  choke=snd\\choke.wav dist=50 unchoke=snd\\unchoke.wav dist=50 on=snd\\on.wav dist=60 \\\n"
           "  off=snd\\off.wav dist=60 explode=snd\\explode.wav dist=200\n"
           "wind left=snd\\wind_l.wav dist=30 left_shift=\"-3 0 0\" right=snd\\wind_r.wav dist=30 \\\n"
           "  right_shift=\"3 0 0\" s1=0 v1=0 s2=0.5 v2=1 s3=1 v3=0.5\n"
           "noise left=snd\\noise_l.wav dist=30 left_shift=\"-3 0 0\" right=snd\\noise_r.wav dist=30 \\\n"
           "  right_shift=\"3 0 0\" s1=0.2 v1=0 s2=0.6 v2=0.4 s3=1 v3=1\n"
           "plane_explode file=snd\\boom.wav dist=300 shift=\"0 0 0\"\n"
           "ground_crash file=snd\\crash.wav dist=300 shift=\"0 -1 0\"\n"
           "water_crash file=snd\\splash.wav dist=300 shift=\"0 -1 0\"\n"
           "gun_shot file=snd\\gun.wav dist=80\n"
           "gun_jam file=snd\\jam.wav dist=20 shift=\"0 0 1\"\n"
           "shells file=snd\\shells.wav dist=20 shift=\"0 0 1\"\n"
           "touchdown file=snd\\touch.wav dist=40 shift=\"0 -1 0\"\n"
           "on_ground file=snd\\roll.wav dist=40 shift=\"0 -1 0\"\n"
           "fire_rocket file=snd\\rocket.wav dist=100\n"
           "bomb_release file=snd\\bomb.wav dist=40 shift=\"0 -1 0\"\n"
           "bullet_hit count=2 file1=snd\\hit1.wav dist=10 file2=snd\\hit2.wav dist=12\n"
           "bullet_nearmiss count=0\n"
           "flaps file=snd\\unknown.wav\n";
}

void AddTestPlane(file_set_t& _files, const std::string& _file, const test_plane_file_c& _plane, renderer_c* _renderer)
{
    object_template_c tmpl;
    TemplateLayer(tmpl, "plane.lwo");
    for (const char* name : part_names) {
        if (std::find(_plane.without.begin(), _plane.without.end(), name) != _plane.without.end())
            continue;
        AddTemplateGroup(tmpl, name, std::make_unique<geom_object_c>(name, _renderer));
    }
    for (const auto& [model_name, group_name] : views) {
        std::vector<std::string> shown;
        if (tmpl.FindGroup(group_name))
            shown.push_back(group_name);
        AddTemplateModel(tmpl, model_name, shown);
    }
    parameter_list_c& main = tmpl.FindGroup("MainGroup")->parameters;
    AddPlaneParameters(main, _plane);
    if (_plane.impactEffects) {
        const std::pair<const char*, const char*> effects[] = {
            {"fx_onBE", "snd\\bomb_fx.wav"}, {"fx_onRE", "snd\\rocket_fx.wav"}, {"fx_onCR", "snd\\crash_fx.wav"}};
        for (const auto& [event, file] : effects) {
            auto kind = std::make_unique<parameter_string_c>();
            kind->name = event;
            kind->value = "sound";
            main.Add(std::move(kind));
            auto sound = std::make_unique<parameter_file_c>();
            sound->name = std::string(event) + "_file";
            sound->value = file;
            main.Add(std::move(sound));
        }
    }

    memory_file_writer_c writer;
    WriteTemplate(tmpl, _file.c_str(), _renderer);
    _files[_file] = writer.files.at(_file);
    const std::string script = TestPlaneSoundScript();
    _files[_plane.sounds] = std::vector<u8>(script.begin(), script.end());
}
