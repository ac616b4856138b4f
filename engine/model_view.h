#pragma once
// The view step of culling that terrain, sky box, water and forest share.
#include "foundation/types.h"

class bounding_box_c;
class camera_c;
class entity_c;
class mat4x3_c;

// Model-view = _world times the camera's inverse world matrix; left alone
// when both the entity and the camera are static.
void UpdateModelView(mat4x3_c& _model_view, const entity_c& _entity, const mat4x3_c& _world, const camera_c& _camera);

// Projects the box with the model-view and the camera's projection and clips
// it with the parent's mask: 0 when it lies wholly outside.
u32 ClipToView(bounding_box_c& _box, const mat4x3_c& _model_view, const camera_c& _camera, u32 _mask);
