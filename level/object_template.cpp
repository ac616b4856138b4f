#include "level/object_template.h"

#include "engine/geom_object.h"
#include "engine/object_format.h"
#include "level/chunk_saver.h"
#include "level/engine_stream.h"

#include <algorithm>
#include <cstring>

namespace {

template <class T>
u32 IndexOf(const std::vector<std::unique_ptr<T>>& _list, const T* _item)
{
    for (size_t i = 0; i < _list.size(); ++i)
        if (_list[i].get() == _item)
            return static_cast<u32>(i);
    return 0xFFFFFFFF;
}

// "indx" leaves both ways: pointers into _list written as their positions,
// read back with positions outside the list dropped.
template <class T>
void ExchangeIndices(CChunkSaver& _saver, const char* _count_tag, std::vector<T*>& _items,
                     const std::vector<std::unique_ptr<T>>& _list)
{
    const u32 count = ExchangeCount(_saver, _count_tag, static_cast<u32>(_items.size()), "indx");
    if (_saver.IsWriting()) {
        for (T* item : _items) {
            u32 index = IndexOf(_list, item);
            _saver.LeafU32("indx", index);
        }
        return;
    }
    _items.clear();
    for (u32 i = 0; i < count; ++i) {
        u32 index = 0xFFFFFFFF;
        _saver.LeafU32("indx", index);
        if (index < _list.size())
            _items.push_back(_list[index].get());
    }
}

} // namespace

u32 ExchangeCount(CChunkSaver& _saver, const char* _count_tag, u32 _count, const char* _item_tag)
{
    u32 count = _count;
    _saver.LeafU32(_count_tag, count);
    if (_saver.IsReading())
        count = std::min(count, _saver.CountItems(_item_tag));
    return count;
}

object_template_c::object_template_c() = default;

object_template_c::~object_template_c()
{
    // The aggregate owns the group nodes it holds; the groups' own nodes go
    // with the groups.
    aggregate.reset();
}

null_object_c* object_template_c::Load(const char* _file_name, renderer_c* _renderer)
{
    SetFileName(_file_name);
    CChunkSaver saver;
    if (!saver.Open(CChunkSaver::mode_read, fileName.c_str()))
        return nullptr;
    Serialize(saver, _renderer);
    saver.Close();
    return node;
}

void object_template_c::SetFileName(const char* _file_name)
{
    fileName = _file_name ? _file_name : "";
    baseName = FileTitle(fileName.c_str());
}

void object_template_c::SerializeLayer(CChunkSaver& _saver, template_layer_c& _layer)
{
    if (_saver.Begin("layr")) {
        _saver.LeafStdString("name", _layer.name);
        _saver.LeafU32("loDi", _layer.loDi);
        _saver.LeafStdString("fnam", _layer.fileName);
        _saver.LeafStdString("psTN", _layer.psTN);
        _saver.LeafU32("layr", _layer.layer);
        _layer.parameters.SerializeChunk(_saver);
    }
    _saver.End();
}

void object_template_c::SerializeGroup(CChunkSaver& _saver, template_group_c& _group, renderer_c* _renderer)
{
    if (_saver.Begin("grup")) {
        _saver.LeafStdString("name", _group.name);
        _saver.LeafByte("haGO", _group.hasGameObject);
        _saver.LeafByte("dynO", _group.dynamic);
        if (_group.hasGameObject) {
            if (_saver.Begin("gObj")) {
                ExchangeEngineStream(
                    _saver,
                    [&](output_file_c& _out) {
                        if (_group.node)
                            _group.node->Write(_out);
                    },
                    [&](input_file_c& _in) {
                        if (_renderer == nullptr)
                            return;
                        _group.ownedNode.reset(geom_object_c::Read(_in, _renderer, 0));
                        _group.node = _group.ownedNode.get();
                        if (_group.node) {
                            _group.node->SetName(string_c(_group.name));
                            if (_group.node->hasPivot)
                                _group.node->position = _group.node->pivot;
                        }
                    });
            }
            _saver.End();
        }
        if (_saver.Begin("lrsl"))
            ExchangeIndices(_saver, "nuol", _group.layers, layers);
        _saver.End();
        _group.parameters.SerializeChunk(_saver);
    }
    _saver.End();
}

void object_template_c::SerializeModel(CChunkSaver& _saver, template_model_c& _model)
{
    if (_saver.Begin("modl")) {
        _saver.LeafStdString("name", _model.name);
        ExchangeIndices(_saver, "nuog", _model.groups, groups);
    }
    _saver.End();
}

void object_template_c::Serialize(CChunkSaver& _saver, renderer_c* _renderer)
{
    const bool reading = _saver.IsReading();
    if (reading) {
        aggregate.reset();
        node = nullptr;
        models.clear();
        groups.clear();
        layers.clear();
        dynamic = 0;
    }
    if (_saver.Begin("objP")) {
        if (_saver.Begin("lyrs")) {
            const u32 count = ExchangeCount(_saver, "nuol", static_cast<u32>(layers.size()), "layr");
            for (u32 i = 0; i < count; ++i) {
                if (reading)
                    layers.push_back(std::make_unique<template_layer_c>());
                SerializeLayer(_saver, *layers[i]);
            }
        }
        _saver.End();
        if (_saver.Begin("grps")) {
            const u32 count = ExchangeCount(_saver, "nuog", static_cast<u32>(groups.size()), "grup");
            for (u32 i = 0; i < count; ++i) {
                if (reading)
                    groups.push_back(std::make_unique<template_group_c>());
                SerializeGroup(_saver, *groups[i], _renderer);
                if (groups[i]->dynamic)
                    dynamic = 1;
            }
        }
        _saver.End();
        if (_saver.Begin("mdls")) {
            const u32 count = ExchangeCount(_saver, "mdlN", static_cast<u32>(models.size()), "modl");
            for (u32 i = 0; i < count; ++i) {
                if (reading)
                    models.push_back(std::make_unique<template_model_c>());
                SerializeModel(_saver, *models[i]);
            }
        }
        _saver.End();
    }
    _saver.End();
    if (reading)
        BuildNode(_renderer);
}

void object_template_c::BuildNode(renderer_c* _renderer)
{
    node = nullptr;
    aggregateBuilt = 0;
    for (const auto& group : groups) {
        if (!group->hasGameObject || group->node == nullptr)
            continue;
        if (aggregateBuilt) {
            aggregate->AddObject(group->ownedNode.release());
        } else if (node == nullptr) {
            node = group->node;
        } else {
            aggregate = std::make_unique<aggregate_c>((fileName + "_aggregate").c_str(), _renderer);
            template_group_c* first = nullptr;
            for (const auto& other : groups)
                if (other->node == node)
                    first = other.get();
            aggregate->AddObject(first->ownedNode.release());
            aggregate->AddObject(group->ownedNode.release());
            node = aggregate.get();
            aggregateBuilt = 1;
        }
    }
}

template_group_c* object_template_c::FindGroup(const char* _name) const
{
    for (const auto& group : groups)
        if (string_c(group->name) == _name)
            return group.get();
    return nullptr;
}

parameter_c* object_template_c::FindGroupParameter(const char* _group, const char* _name) const
{
    const template_group_c* group = FindGroup(_group);
    return group ? group->parameters.Find(_name) : nullptr;
}

void object_template_c::ShowModel(const char* _model, bool _rendered, bool _ray_testable)
{
    if (_model == nullptr)
        return;
    for (const auto& model : models) {
        if (model->name != _model)
            continue;
        for (template_group_c* group : model->groups)
            if (group->hasGameObject && group->node)
                group->node->SetVisibility(_rendered, _ray_testable);
    }
}
