#include "level/testing/level_fixtures.h"

#include "engine/geom_object.h"
#include "level/chunk_saver.h"
#include "level/template_builder.h"
#include "level/testing/memory_files.h"

void AddTestTemplate(file_set_t& _files, const std::string& _file, const std::vector<test_group_c>& _groups,
                     const std::vector<std::pair<std::string, std::vector<u32>>>& _models, renderer_c* _renderer)
{
    object_template_c tmpl;
    for (const test_group_c& spec : _groups) {
        std::unique_ptr<null_object_c> node;
        if (spec.hasGameObject)
            node = std::make_unique<geom_object_c>(spec.name.c_str(), _renderer);
        template_group_c* group = AddTemplateGroup(tmpl, spec.name, std::move(node));
        for (const auto& [name, value] : spec.intParameters) {
            i32 v = value;
            group->parameters.GetSetInt(name.c_str(), &v, false, INT32_MIN, INT32_MAX);
        }
    }
    for (const auto& [name, indices] : _models) {
        auto model = std::make_unique<template_model_c>();
        model->name = name;
        for (u32 index : indices)
            model->groups.push_back(tmpl.groups[index].get());
        tmpl.models.push_back(std::move(model));
    }
    memory_file_writer_c writer;
    WriteTemplate(tmpl, _file.c_str(), _renderer);
    _files[_file] = writer.files.at(_file);
}

void AddTestScene(file_set_t& _files, const std::string& _file, level_scene_c& _scene)
{
    memory_file_writer_c writer;
    CChunkSaver saver;
    saver.Open(CChunkSaver::mode_write, _file.c_str());
    _scene.Serialize(saver, nullptr, false);
    saver.Close();
    _files[_file] = writer.files.at(_file);
}

std::unique_ptr<walk_path_c> MakeTestPath(const char* _name, const std::vector<vec3_c>& _points)
{
    return MakeStraightWalkPath(_name, _points);
}
