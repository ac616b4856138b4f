#pragma once
// level_scene_c: a level's scene file (".sce"): the object templates it
// uses, the objects placed from them, forests, waters, areas and level
// objects. The level loader reads it, adds its nodes to the engine scene
// and destroys it when the mission ends.
//
// File layout (chunk format):
//   "scne" { "name" (string)
//     "tpls" { "nOft" (u32 N) N x "fnam" (template file name) }
//     "objs" { "objN" (u32 N) N x "objt" { "tplN" (u32 template index)
//              "name" "objP" "objR" "objS" (12 bytes each) "prms" {list} } }
//     "forO" { "objN" N x forest } "watO" { "objN" N x water }
//     "simO" { "objN" N x area }
//     "parO" { "objN" N x "obj" { "type" (u32 class id), the level
//              object's own leaves } } }
//   forest: "prms" { "name" "posi" "exte" "visr" "tden" "denm" "wimi"
//           "wima" "hemi" "hema" "coli" "colx" "colm" "spCo" "stFo" (1)
//           "obje" { forest entity, engine object format } }
//   water:  "prms" { "name" "posi" "exte" "wam1" "wam2" "wal1" "wal2"
//           "wa1V" "wa2V" "geoM" "refM" "cauM" "hiQU" (1) "biDI" (1) "mfps"
//           "bord" "intE" "caMS" "obje" { water entity } "prms" {list} }
//   area:   "prms" { "name" "posi" "rota" "scal" "scma" "areW" "areH"
//           "area" (areW x areH x 4, only when not 0) "prms" {list} }
//
// Without separate templates all placed objects of one template share it
// and own clones of its node; with them each placed object loads a template
// of its own and shows that template's node.
//
// Bad data is refused or skipped, never trusted: a template index outside
// the list and a level object of an unknown class id skip that object with
// a warning (kept in GetWarnings() and, with a renderer, in its warning
// log); stored counts are cut to the items present.
//
// Ownership: the scene owns every node it adds to an aggregate. AddToScene
// remembers the aggregate, which must outlive the scene; the destructor
// takes the nodes out of it again before deleting them.
#include "level/object_template.h"
#include "level/parameter_object.h"
#include "level/scene_records.h"

#include <memory>
#include <string>
#include <vector>

class placed_object_c {
public:
    object_template_c* tmpl = nullptr;
    // The object's node: a clone owned here, or its own template's node.
    null_object_c* node = nullptr;
    std::unique_ptr<null_object_c> ownedNode;
    std::unique_ptr<object_template_c> ownTemplate;
    u32 templateIndex = 0xFFFFFFFF;
    parameter_list_c parameters;
    // Name and transform of an object without a node.
    string_c name;
    vec3_c position;
    vec3_c rotation;
    vec3_c scale = vec3_c(1.0f, 1.0f, 1.0f);
};

class level_scene_c {
public:
    level_scene_c();
    ~level_scene_c();
    level_scene_c(const level_scene_c&) = delete;
    level_scene_c& operator=(const level_scene_c&) = delete;

    // Throws file_error_c(file name, "Not found") when the file cannot be
    // read.
    void Load(const char* _file_name, renderer_c* _renderer, bool _separate_templates);
    // Both directions. A template that cannot be loaded (or builds no node)
    // throws std::runtime_error("File \"<name>\" not loaded.").
    void Serialize(CChunkSaver& _saver, renderer_c* _renderer, bool _separate_templates);
    // Adds every placed object's node, forest, water and area node
    // (rendered and ray-testable), then every level object's entity that is
    // not yet in the aggregate (rendered, not ray-testable).
    void AddToScene(aggregate_c* _aggregate);
    // First level object whose name matches ignoring case; null when none.
    parameter_object_c* FindParameterObject(const char* _name) const;

    aggregate_c* GetAttachedNode() const { return attached; }
    const std::vector<std::string>& GetWarnings() const { return warnings; }

    string_c name;
    std::vector<std::unique_ptr<object_template_c>> templates;
    std::vector<std::unique_ptr<placed_object_c>> placedObjects;
    std::vector<std::unique_ptr<forest_record_c>> forests;
    std::vector<std::unique_ptr<water_record_c>> waters;
    std::vector<std::unique_ptr<area_record_c>> areas;
    std::vector<std::unique_ptr<parameter_object_c>> levelObjects;

private:
    void SerializeTemplates(CChunkSaver& _saver, renderer_c* _renderer, bool _separate_templates);
    void SerializePlacedObjects(CChunkSaver& _saver, renderer_c* _renderer, bool _separate_templates);
    // Reads one "objt"; false when the object is to be skipped.
    bool ReadPlacedObject(CChunkSaver& _saver, placed_object_c& _object, renderer_c* _renderer,
                          bool _separate_templates);
    void WritePlacedObject(CChunkSaver& _saver, placed_object_c& _object);
    void SerializeLevelObjects(CChunkSaver& _saver, renderer_c* _renderer);
    void Warn(const std::string& _text, renderer_c* _renderer);
    void Detach();

    aggregate_c* attached = nullptr;
    std::vector<null_object_c*> attachedNodes;
    std::vector<std::string> warnings;
};
