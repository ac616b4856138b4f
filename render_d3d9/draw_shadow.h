#pragma once
// Stencil shadows of d3d_renderer_c (draw_shadow.cpp) for the scene's one
// shadow light.
//
// DrawShadow draws a mesh object's shadow volume (position and face normal,
// see engine/geom_object.h), pushed away from the light by shader rows 4 to
// 7: directional light 4 (with "depth") or 6 (to infinity), point light 5
// or 7; constants "transform" (object to clip), "lt_dir" (the light's axis
// in object space, unit length) or "lt_pos" (its position in object
// space), "depth" (the object's shadowDepth, below FLT_MAX). Transparency
// 1 counts into the stencil buffer with depth-fail: decrement on clockwise
// faces, increment on counter-clockwise ones, in one pass with two-sided
// stencil or two culled passes without; colour writes are masked where the
// device can, else blended ZERO / ONE. Below 1 the volume is shown in its
// colour, blended by 1 - transparency.
//
// DrawShadowShade blends the shade colour (alpha the value, held to 0..1)
// over the viewport wherever the stencil count is not 0, once the render
// lists are reset and while the frame's scene is open.
//
// Nothing is drawn outside a set scene, inside a mesh bracket, without a
// shadow light or shadow volume, for a shade value that is not above 0 or a
// viewport of no pixels.
