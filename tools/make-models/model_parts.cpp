#include "tools/make-models/model_parts.h"

#include "level/parameter.h"

surface_look_c Look(const vec3_c& _color, const char* _texture, float _tile)
{
    surface_look_c look;
    look.color = _color;
    look.texture = _texture;
    look.tile = _tile;
    return look;
}

void AddTextKey(template_group_c& _group, const char* _name, const char* _value)
{
    auto text = std::make_unique<parameter_string_c>();
    text->name = _name;
    text->value = _value;
    _group.parameters.Add(std::move(text));
}

void AddSoundEffect(template_group_c& _main, const char* _event, const char* _file, float _distance)
{
    AddTextKey(_main, _event, "sound");
    auto file = std::make_unique<parameter_file_c>();
    file->name = std::string(_event) + "_file";
    file->value = _file;
    _main.parameters.Add(std::move(file));
    _main.parameters.GetSetFloat((std::string(_event) + "_distance").c_str(), &_distance, false, 0.0f, 1.0e6f);
}

template_group_c& MainGroup(object_template_c& _template, int _iff)
{
    template_group_c* main = AddTemplateGroup(_template, "MainGroup", nullptr);
    i32 iff = _iff;
    main->parameters.GetSetInt("iff", &iff, false, -1, 1);
    return *main;
}

std::unique_ptr<geom_object_c> Mask(renderer_c* _renderer, const vec3_c& _centre, const vec3_c& _size)
{
    auto mask = BuildPart("mask", _renderer, [&](shape_builder_c& _s) { _s.Box(_centre, _size); });
    mask->SetVisibility(false, true);
    return mask;
}
