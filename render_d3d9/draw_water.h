#pragma once
// The water draw of d3d_renderer_c (draw_water.cpp): shader row 3 moves the
// surface (position and diffuse colour, see engine/water.h) by three summed
// waves and makes reflection and caustic coordinates. Stage 0 is the cube
// reflection map modulated by the vertex colour; stage 1 adds the caustic
// map weighted by the program's specular output, only with MULTIPLYADD, two
// stages and textures, and a caustic intensity and scale above 0. The water
// never writes depth and blends ONE / INVSRCALPHA, so the vertex alpha sets
// its opacity.
//
// Constants by name: "transformation" (object to clip: the water's
// object-to-camera matrix times the projection), "orientation" (its
// world rotation, for cube lookups; set before the wave constants, as the
// program keeps it in three registers), "waves_dir_x", "waves_dir_z" (the
// normalised velocities; a still wave has direction 0), "waves_offset"
// (speed x time), "waves_amp", "waves_freq" (2 pi / length; 0 for a length
// that is not positive), "camera_pos" (the camera in the water's space),
// "inv_caustic_scale" (0 when the scale is not positive, never an
// infinity) and "caustic_intensity".
//
// Nothing is drawn outside a set scene, inside a mesh bracket, without a
// surface mesh, or without a reflection map whose texture is a cube.
#include "foundation/vector_math.h"

// The per-wave constants for time _time: directions (x, z), offsets,
// amplitudes and frequencies, w = 1.
struct d3d_wave_constants_s {
    vec3_c directionX;
    vec3_c directionZ;
    vec3_c offset;
    vec3_c amplitude;
    vec3_c frequency;
};
d3d_wave_constants_s WaveConstants(const f32 _amplitudes[3], const f32 _lengths[3], const vec3_c _velocities[3],
                                   f32 _time);
