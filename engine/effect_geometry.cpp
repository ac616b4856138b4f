#include "engine/effect_geometry.h"

#include "engine/renderer.h"

#include <stdexcept>

namespace {

geometry_def_c DeepCopy(const geometry_def_c& _definition)
{
    geometry_def_c copy = _definition;
    for (auto& set : copy.primitiveSets)
        set.reset(set->Clone());
    return copy;
}

} // namespace

effect_geometry_c::effect_geometry_c(const geometry_def_c& _definition, renderer_c* _renderer)
    : definition(_definition), renderer(_renderer)
{
    if (definition.primitiveSets.size() != 1)
        throw std::invalid_argument("effect_geometry_c::effect_geometry_c(const geometry_def_c& _definition, "
                                    "renderer_c* _renderer)");
    string_c key;
    definition.GetKey(key);
    geometry.reset(renderer->CreateGeometry(key.GetData(), definition));
}

effect_geometry_c::effect_geometry_c(const effect_geometry_c& _other)
    : effect_geometry_c(DeepCopy(_other.definition), _other.renderer)
{}

effect_geometry_c::~effect_geometry_c() = default;

void effect_geometry_c::Rebuild()
{
    geometry->Update(definition);
}
