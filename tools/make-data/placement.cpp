#include "tools/make-data/placement.h"

#include "level/control_point_object.h"
#include "level/object_template.h"
#include "level/parameter.h"
#include "tools/make-data/landscape.h"

#include <utility>

scene_layout_c::scene_layout_c(const char* _name, const landscape_c& _landscape) : landscape(_landscape)
{
    scene.name = _name;
}

placed_object_c& scene_layout_c::Place(const char* _template, const char* _name, f32 _x, f32 _z, f32 _height,
                                       f32 _heading)
{
    u32 index = 0;
    while (index < scene.templates.size() && scene.templates[index]->GetFileName() != _template)
        ++index;
    if (index == scene.templates.size()) {
        scene.templates.push_back(std::make_unique<object_template_c>());
        scene.templates.back()->SetFileName(_template);
    }
    auto object = std::make_unique<placed_object_c>();
    object->name = _name;
    object->templateIndex = index;
    object->position = Above(_x, _z, _height);
    object->rotation = vec3_c(_heading, 0.0f, 0.0f);
    scene.placedObjects.push_back(std::move(object));
    return *scene.placedObjects.back();
}

void scene_layout_c::Add(std::unique_ptr<parameter_object_c> _object)
{
    scene.levelObjects.push_back(std::move(_object));
}

vec3_c scene_layout_c::Above(f32 _x, f32 _z, f32 _height) const
{
    return vec3_c(_x, landscape.GetHeight(_x, _z) + _height, _z);
}

void scene_layout_c::Write(data_files_t& _files, const std::string& _file_name)
{
    AddDataLevelScene(_files, _file_name, scene);
}

void SetIntKey(parameter_list_c& _parameters, const char* _name, i32 _value)
{
    _parameters.GetSetInt(_name, &_value, false, 0, 100);
}

void SetFloatKey(parameter_list_c& _parameters, const char* _name, f32 _value)
{
    _parameters.GetSetFloat(_name, &_value, false, 0.0f, 0.0f);
}

void SetTextKey(parameter_list_c& _parameters, const char* _name, const char* _value)
{
    string_c text(_value);
    _parameters.GetSetString(_name, &text, false);
}

void AddIntKey(parameter_list_c& _parameters, const char* _name, i32 _value)
{
    auto number = std::make_unique<parameter_int_c>();
    number->name = _name;
    number->value = _value;
    _parameters.Add(std::move(number));
}

void AddUserStart(data_files_t& _files, const std::string& _name, const landscape_c& _landscape, i32 _rockets,
                  i32 _bombs)
{
    level_scene_c user;
    user.name = "user";
    auto start = MakeControlPoint("start", vec3_c(0.0f, _landscape.GetHeight(0.0f, -450.0f) + 1.5f, -450.0f), 10.0f, 0);
    SetIntKey(start->parameters, "rockets", _rockets);
    SetIntKey(start->parameters, "bombs", _bombs);
    user.levelObjects.push_back(std::move(start));
    AddDataLevelScene(_files, _name, user);
}
