#pragma once
// What every ground and air target does when something happens to it:
// effects from its template's "MainGroup", and the mission script's
// callbacks when it is destroyed. Both do nothing without a world, an
// effects manager, a script or a template.
#include "foundation/vector_math.h"

class game_object_c;
class object_template_c;

void SpawnTargetEffect(const game_object_c& _object, const object_template_c* _template, const char* _event,
                       const vec3_c& _position, const vec3_c& _direction);
// _section_function (when not null), then "<template base name>_on_destroyed",
// then "<object name>_on_destroyed".
void CallDestroyedScripts(const game_object_c& _object, const object_template_c* _template,
                          const char* _section_function);
