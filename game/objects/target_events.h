#pragma once
// What every ground and air target does when something happens to it:
// effects from its template's "MainGroup", and the mission script's
// callbacks when it is destroyed. Both do nothing without a world, an
// effects manager, a script or a template.
#include "engine/ray.h"
#include "foundation/vector_math.h"

class game_object_c;
class null_object_c;
class object_template_c;

void SpawnTargetEffect(const game_object_c& _object, const object_template_c* _template, const char* _event,
                       const vec3_c& _position, const vec3_c& _direction);
// _section_function (when not null), then "<template base name>_on_destroyed",
// then "<object name>_on_destroyed".
// What bullets and sight lines test against: the node of the template's
// "mask" group when that group has a game object and a node; else the
// template's node; else _fallback (the object's entity). Null when none.
null_object_c* CollisionNode(const object_template_c* _template, null_object_c* _fallback);
// The ray test of CollisionNode; false without a node.
bool CollisionRayTest(const object_template_c* _template, null_object_c* _fallback, float& _distance, vec3_c& _normal,
                      const ray_c& _ray, bool _include_non_opaque, bool _precise, float _maximum);
void CallDestroyedScripts(const game_object_c& _object, const object_template_c* _template,
                          const char* _section_function);
