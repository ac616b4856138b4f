#pragma once
// object_template_c: a model of the game (".op" file): its layers, its
// groups (each with a parameter list and, when it has a game object, a scene
// node) and its named models, sets of groups shown together ("normal",
// "destroyed", "burned", "inside", ...). Game objects read their properties
// by name from its groups ("MainGroup" with "iff", "move_speed", ...) and
// switch model sets with ShowModel.
//
// File layout (chunk format):
//   "objP" { "lyrs" { "nuol" (u32 N) N x layer }
//            "grps" { "nuog" (u32 N) N x group }
//            "mdls" { "mdlN" (u32 N) N x model } }
//   layer: "layr" { "name" "loDi" (4) "fnam" "psTN" "layr" (u32) "prms" {list} }
//   group: "grup" { "name" "haGO" (1) "dynO" (1)
//                   ["gObj" { the node in the engine object format }, only
//                    with "haGO"]
//                   "lrsl" { "nuol" (u32 M) M x "indx" (u32 layer index) }
//                   "prms" {list} }
//   model: "modl" { "name" "nuog" (u32 M) M x "indx" (u32 group index) }
// Layer and group indices outside the lists are dropped; stored counts
// larger than the items present are cut to those items.
//
// The template's node is the node of its one game-object group, or, with
// several, an aggregate named after the file name followed by "_aggregate"
// that holds them all. The template owns its node (directly, or through the
// aggregate): whoever adds it to a scene takes it out again before the
// template is destroyed.
#include "engine/aggregate.h"
#include "level/parameter_list.h"

#include <memory>
#include <string>
#include <vector>

class CChunkSaver;
class renderer_c;

class template_layer_c {
public:
    std::string name;
    u32 layer = 0;
    u32 loDi = 0; // stored and restored unchanged
    std::string fileName;
    std::string psTN; // stored and restored unchanged
    parameter_list_c parameters;
};

class template_group_c {
public:
    std::string name;
    parameter_list_c parameters;
    std::vector<template_layer_c*> layers;
    u8 hasGameObject = 0;
    u8 dynamic = 0;
    // The group's node, owned by ownedNode or, once the template built an
    // aggregate of several groups, by that aggregate.
    null_object_c* node = nullptr;
    std::unique_ptr<null_object_c> ownedNode;
};

class template_model_c {
public:
    std::string name;
    std::vector<template_group_c*> groups;
};

class object_template_c {
public:
    object_template_c();
    ~object_template_c();
    object_template_c(const object_template_c&) = delete;
    object_template_c& operator=(const object_template_c&) = delete;

    // Keeps the file name and its base name (no folder, no extension), reads
    // the file and returns the built node; null when the file cannot be read
    // or builds no node. Broken files throw file_error_c naming the file.
    null_object_c* Load(const char* _file_name, renderer_c* _renderer);
    // Both directions of the layout above. Group nodes are read only with a
    // renderer.
    void Serialize(CChunkSaver& _saver, renderer_c* _renderer);

    // First group whose name matches ignoring case; null when none.
    template_group_c* FindGroup(const char* _name) const;
    // First parameter of that group (names ignoring case); null when none.
    parameter_c* FindGroupParameter(const char* _group, const char* _name) const;
    // For every model named exactly _model (case-sensitive), every group of
    // it with a game object and a node gets that visibility.
    void ShowModel(const char* _model, bool _rendered, bool _ray_testable);

    // Keeps the file name and its base name without reading anything.
    void SetFileName(const char* _file_name);

    null_object_c* GetNode() const { return node; }
    const std::string& GetFileName() const { return fileName; }
    const string_c& GetBaseName() const { return baseName; }
    bool IsDynamic() const { return dynamic != 0; }
    bool IsAggregateBuilt() const { return aggregateBuilt != 0; }

    std::vector<std::unique_ptr<template_layer_c>> layers;
    std::vector<std::unique_ptr<template_group_c>> groups;
    std::vector<std::unique_ptr<template_model_c>> models;

private:
    void SerializeLayer(CChunkSaver& _saver, template_layer_c& _layer);
    void SerializeGroup(CChunkSaver& _saver, template_group_c& _group, renderer_c* _renderer);
    void SerializeModel(CChunkSaver& _saver, template_model_c& _model);
    void BuildNode(renderer_c* _renderer);

    null_object_c* node = nullptr;
    std::unique_ptr<aggregate_c> aggregate;
    std::string fileName;
    string_c baseName;
    u8 dynamic = 0;
    u8 aggregateBuilt = 0;
};

// Reads a stored count and cuts it to the items with _item_tag present in
// the innermost open chunk (reading only).
u32 ExchangeCount(CChunkSaver& _saver, const char* _count_tag, u32 _count, const char* _item_tag);
