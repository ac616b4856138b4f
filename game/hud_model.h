#pragma once
// hud_model_c: one object template placed in an overlay scene (the HUD's or
// the map's), and the making of such a scene. It keeps the template and takes the template's node out of the
// scene again before the template goes, so neither frees it twice.
//
// A file that is not there, or builds no node, leaves the holder empty: the
// overlay then works without that element and every operation here does
// nothing. A broken file still throws file_error_c, as every reader does.
#include "foundation/types.h"
#include "foundation/vector_math.h"

#include <memory>

class aggregate_c;
class null_object_c;
class object_template_c;
class renderer_c;
class scene_c;

// Whether the current file system has the file.
bool IsDataFile(const char* _file_name);

// A scene drawn over the game (the HUD's, the map's): ambient colour
// (1, 1, 1) at intensity 0.6 and the directional light "map light" of colour
// (0.1, 0.1, 0.1) at intensity 1.0.
std::unique_ptr<scene_c> MakeOverlayScene(const char* _name, renderer_c* _renderer);

class hud_model_c {
public:
    hud_model_c();
    ~hud_model_c();
    hud_model_c(const hud_model_c&) = delete;
    hud_model_c& operator=(const hud_model_c&) = delete;

    // Loads the template with the scene's renderer and adds its node to the
    // scene at _position with _scale; false when it stays empty.
    bool Load(const char* _file_name, aggregate_c* _scene, const vec3_c& _position, const vec3_c& _scale);
    // Takes the node out of the scene and drops the template.
    void Clear();

    // The template's named model drawn or hidden (never ray-tested).
    void Show(const char* _model, bool _shown);
    // The node of the first group of that name (ignoring case); null when
    // the template or the group is missing or the group has no node.
    null_object_c* FindGroupNode(const char* _group) const;

    null_object_c* GetNode() const;
    object_template_c* GetTemplate() const { return tmpl.get(); }

private:
    std::unique_ptr<object_template_c> tmpl;
    aggregate_c* scene = nullptr;
};
