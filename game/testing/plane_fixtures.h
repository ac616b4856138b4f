#pragma once
// Plane files for tests: a plane template with every part, view group and
// "MainGroup" key a plane reads, and its sound script, written by the
// template's own writer into an in-memory file set.
#include "level/testing/level_fixtures.h"

#include <string>
#include <vector>

class renderer_c;

struct test_plane_file_c {
    std::string name = "Testbird";
    int iff = 1;
    float speed = 0.6f;
    float handling = 0.8f;
    float durability = 1.0f;
    float minVelocity = 20.0f;
    float maxVelocity = 60.0f;
    float minThrust = 0.1f;
    float maxThrust = 1.0f;
    bool insideGunLeft = true;
    bool insideGunRight = true;
    bool outsideCameraShift = false;
    // Groups left out of the model (parts, view groups).
    std::vector<std::string> without;
    std::string soundScript = "data\\planes\\testbird.txt";
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
