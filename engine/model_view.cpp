#include "engine/model_view.h"

#include "engine/bounding_box.h"
#include "engine/camera.h"

void UpdateModelView(mat4x3_c& _model_view, const entity_c& _entity, const mat4x3_c& _world, const camera_c& _camera)
{
    if (_entity.isStatic && _camera.isStatic)
        return;
    _model_view = _world * _camera.GetInverseMatrix();
}

u32 ClipToView(bounding_box_c& _box, const mat4x3_c& _model_view, const camera_c& _camera, u32 _mask)
{
    _box.ToClipSpace(_model_view, _camera.GetProjection());
    return _box.Clip(_mask);
}
