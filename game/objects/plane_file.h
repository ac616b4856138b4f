#pragma once
// plane_file_c: the "MainGroup" keys of a plane's model, as a plane file
// maker fills them and AddPlaneParameters stores them. LoadParameters reads
// them back: "name" (text), "iff" (int: >= 0 side +1, else -1), the ratings
// and ranges (floats), the gun, rocket and instrument points (vectors),
// "sounds" (the sound script's file name). The inside guns and the camera
// shifts are optional and stored only when set.
//
// The view model sets and which of them a view shows are in plane.h; a
// plane file has one template model per name of plane_view_models plus
// "mask" (the collision shape) and "shadow".
#include "foundation/vector_math.h"

#include <optional>
#include <string>

class parameter_list_c;

// The template model names of the views 1..6, in view order.
extern const char* const plane_view_models[6];

class plane_file_c {
public:
    std::string name;
    int iff = 1;
    float altitude = 0.7f;
    float speed = 0.6f;
    float handling = 0.8f;
    float durability = 1.0f;
    float minVelocity = 20.0f;
    float maxVelocity = 60.0f;
    float minThrust = 0.1f;
    float maxThrust = 1.0f;
    vec3_c gunLeft;
    vec3_c gunRight;
    vec3_c rocketLeft;
    vec3_c rocketRight;
    vec3_c compassPivot;
    vec3_c w1Pivot;
    vec3_c w2Pivot;
    std::optional<vec3_c> insideGunLeft;
    std::optional<vec3_c> insideGunRight;
    std::optional<vec3_c> insideCameraShift;
    std::optional<vec3_c> outsideCameraShift;
    std::optional<vec3_c> overgunsCameraShift;
    std::string sounds;
};

// Appends the keys to a "MainGroup" parameter list.
void AddPlaneParameters(parameter_list_c& _main, const plane_file_c& _plane);
