#include "level/template_builder.h"

#include "level/chunk_saver.h"

#include <stdexcept>

template_layer_c* TemplateLayer(object_template_c& _template, const char* _file_name)
{
    if (_template.layers.empty()) {
        auto layer = std::make_unique<template_layer_c>();
        layer->name = "Layer 1";
        layer->fileName = _file_name;
        _template.layers.push_back(std::move(layer));
    }
    return _template.layers.front().get();
}

template_group_c* AddTemplateGroup(object_template_c& _template, const std::string& _name,
                                   std::unique_ptr<null_object_c> _node)
{
    auto group = std::make_unique<template_group_c>();
    group->name = _name;
    group->layers.push_back(TemplateLayer(_template));
    if (_node) {
        group->hasGameObject = 1;
        group->ownedNode = std::move(_node);
        group->node = group->ownedNode.get();
    }
    _template.groups.push_back(std::move(group));
    return _template.groups.back().get();
}

template_model_c* AddTemplateModel(object_template_c& _template, const std::string& _name,
                                   const std::vector<std::string>& _groups)
{
    auto model = std::make_unique<template_model_c>();
    model->name = _name;
    for (const std::string& name : _groups) {
        template_group_c* group = nullptr;
        for (const auto& candidate : _template.groups)
            if (candidate->name == name)
                group = candidate.get();
        if (group == nullptr)
            throw std::invalid_argument("Model \"" + _name + "\" names no group \"" + name + "\"");
        model->groups.push_back(group);
    }
    _template.models.push_back(std::move(model));
    return _template.models.back().get();
}

void WriteTemplate(object_template_c& _template, const char* _file_name, renderer_c* _renderer)
{
    CChunkSaver saver;
    saver.Open(CChunkSaver::mode_write, _file_name);
    _template.Serialize(saver, _renderer);
    saver.Close();
}
