#pragma once
// Laying out the level scenes of the demo missions on the landscape:
// objects placed from templates (each template file listed once, in the
// order first used), control points and walk paths, and the player's start.
#include "tools/data-kit/data_files.h"

#include "level/level_scene.h"

#include <memory>
#include <string>

class landscape_c;
class parameter_object_c;

class scene_layout_c {
public:
    scene_layout_c(const char* _name, const landscape_c& _landscape);

    // An object of _template _height above the ground at (x, z), turned to
    // _heading (radians).
    placed_object_c& Place(const char* _template, const char* _name, f32 _x, f32 _z, f32 _height, f32 _heading = 0.0f);
    // A level object (control point, walk path), kept in the order added.
    void Add(std::unique_ptr<parameter_object_c> _object);
    // The point _height above the ground at (x, z).
    vec3_c Above(f32 _x, f32 _z, f32 _height) const;
    void Write(data_files_t& _files, const std::string& _file_name);

    level_scene_c scene;

private:
    const landscape_c& landscape;
};

// Keys of a placed object or a control point.
void SetIntKey(parameter_list_c& _parameters, const char* _name, i32 _value);
void SetFloatKey(parameter_list_c& _parameters, const char* _name, f32 _value);
void SetTextKey(parameter_list_c& _parameters, const char* _name, const char* _value);
// Another integer key of that name after any there are ("act_ctrl_point"
// once for every control point an object activates).
void AddIntKey(parameter_list_c& _parameters, const char* _name, i32 _value);

// The player's start "start" on the meadow's south end, nose north, with
// _rockets and _bombs.
void AddUserStart(data_files_t& _files, const std::string& _name, const landscape_c& _landscape, i32 _rockets,
                  i32 _bombs = 0);
