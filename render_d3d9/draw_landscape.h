#pragma once
// The landscape draws of d3d_renderer_c (draw_landscape.cpp): terrain,
// forest and sky box, fixed function with shader row 0 and no lighting.
// Each sets its whole state: the back buffer as the only target, the
// entity's object-to-camera matrix as world matrix 0, no stencil, no
// blending, flat shading, fog from the scene's record when the entity has
// flag 16 (never additive), depth test when both the scene and the entity
// (flag 4) ask for it.
//
//   terrain   CULL CCW, depth writes; stage 0 the colour map (SELECTARG1),
//             stage 1 the detail map on camera-space positions taken back
//             into the terrain's space, by its blend mode 1 MODULATE,
//             2 MODULATE2X, 3 ADD (other modes: no detail stage).
//   forest    CULL NONE, depth writes, alpha test at 127 when the colour
//             map has alpha; one colour stage, every tree mesh drawn.
//   sky box   CULL CCW, no depth writes (what follows is never hidden by
//             the sky); each face with a map drawn with it, the others
//             skipped.
//
// Nothing is drawn outside a set scene, inside a mesh bracket, or for an
// entity without its mesh (a terrain or forest also without its colour
// map, or with a colour map that has no texture).
