#pragma once
// Plane files for tests: a plane template with every part, view group and
// "MainGroup" key a plane reads, and its sound script, written by the
// template's own writer into an in-memory file set.
#include "game/objects/plane_file.h"
#include "level/testing/level_fixtures.h"

#include <string>
#include <vector>

class renderer_c;

// The plane file's keys with the test plane's values (both inside guns
// set, no camera shifts, sounds "data\\planes\\testbird.txt").
struct test_plane_file_c : plane_file_c {
    test_plane_file_c();

    // Groups left out of the model (parts, view groups).
    std::vector<std::string> without;
    // "fx_onBE" and "fx_onRE" sound effects ("snd\\bomb_fx.wav",
    // "snd\\rocket_fx.wav") and "fx_onCR" ("snd\\crash_fx.wav").
    bool impactEffects = false;
};

// The sound files the script below names.
std::vector<std::string> TestPlaneSoundFiles();
// A full sound script (engine, wind, noise, every single sound, two bullet
// hits, no near misses).
std::string TestPlaneSoundScript();

// Writes the plane as _file and its sound script into _files.
void AddTestPlane(file_set_t& _files, const std::string& _file, const test_plane_file_c& _plane, renderer_c* _renderer);
