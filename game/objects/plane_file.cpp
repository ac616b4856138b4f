#include "game/objects/plane_file.h"

#include "level/parameter_list.h"

const char* const plane_view_models[6] = {"inside", "guns", "outside", "distant", "burned", "crashed"};

void AddPlaneParameters(parameter_list_c& _main, const plane_file_c& _plane)
{
    string_c text = _plane.name.c_str();
    _main.GetSetString("name", &text, false);
    i32 iff = _plane.iff;
    _main.GetSetInt("iff", &iff, false, -1, 1);
    const std::pair<const char*, float> floats[] = {
        {"altitude", _plane.altitude},        {"speed", _plane.speed},
        {"handling", _plane.handling},        {"durability", _plane.durability},
        {"min velocity", _plane.minVelocity}, {"max velocity", _plane.maxVelocity},
        {"min thrust", _plane.minThrust},     {"max thrust", _plane.maxThrust},
    };
    for (auto [key, value] : floats)
        _main.GetSetFloat(key, &value, false, -1.0e6f, 1.0e6f);
    const std::pair<const char*, std::optional<vec3_c>> vectors[] = {
        {"gun left", _plane.gunLeft},
        {"gun right", _plane.gunRight},
        {"rocket left", _plane.rocketLeft},
        {"rocket right", _plane.rocketRight},
        {"compas pivot", _plane.compassPivot},
        {"w1 pivot", _plane.w1Pivot},
        {"w2 pivot", _plane.w2Pivot},
        {"inside gun left", _plane.insideGunLeft},
        {"inside gun right", _plane.insideGunRight},
        {"inside camera shift", _plane.insideCameraShift},
        {"outside camera shift", _plane.outsideCameraShift},
        {"overguns camera shift", _plane.overgunsCameraShift},
    };
    for (auto [key, value] : vectors)
        if (value)
            _main.GetSetVector(key, &*value, false);
    string_c sounds = _plane.sounds.c_str();
    _main.GetSetString("sounds", &sounds, false);
}
