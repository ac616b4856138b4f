#include "game/hud_model.h"

#include "engine/aggregate.h"
#include "engine/light.h"
#include "engine/scene.h"
#include "foundation/file_error.h"
#include "foundation/file_system.h"
#include "level/object_template.h"

bool IsDataFile(const char* _file_name)
{
    try {
        file_system_c::GetCurrent()->GetSize(_file_name);
        return true;
    } catch (const file_error_c&) {
        return false;
    }
}

std::unique_ptr<scene_c> MakeOverlayScene(const char* _name, renderer_c* _renderer)
{
    auto scene = std::make_unique<scene_c>(_name, _renderer);
    scene->ambientColor = vec3_c(1.0f, 1.0f, 1.0f);
    scene->ambientIntensity = 0.6f;
    auto* light = new light_c("map light");
    light->SetType(light_directional);
    light->color = vec3_c(0.1f, 0.1f, 0.1f);
    light->intensity = 1.0f;
    light->shadowStrength = 1.0f;
    scene->AddLight(light);
    return scene;
}

hud_model_c::hud_model_c() = default;

hud_model_c::~hud_model_c()
{
    Clear();
}

bool hud_model_c::Load(const char* _file_name, aggregate_c* _scene, const vec3_c& _position, const vec3_c& _scale)
{
    Clear();
    if (_scene == nullptr || !IsDataFile(_file_name))
        return false;
    auto loaded = std::make_unique<object_template_c>();
    null_object_c* node = loaded->Load(_file_name, _scene->GetRenderer());
    if (node == nullptr)
        return false;
    node->position = _position;
    node->scale = _scale;
    _scene->AddObject(node);
    tmpl = std::move(loaded);
    scene = _scene;
    return true;
}

void hud_model_c::Clear()
{
    if (tmpl && scene && tmpl->GetNode())
        scene->RemoveObject(tmpl->GetNode());
    tmpl.reset();
    scene = nullptr;
}

void hud_model_c::Show(const char* _model, bool _shown)
{
    if (tmpl)
        tmpl->ShowModel(_model, _shown, false);
}

null_object_c* hud_model_c::FindGroupNode(const char* _group) const
{
    const template_group_c* group = tmpl ? tmpl->FindGroup(_group) : nullptr;
    return group ? group->node : nullptr;
}

null_object_c* hud_model_c::GetNode() const
{
    return tmpl ? tmpl->GetNode() : nullptr;
}
