#pragma once
// The view groups of a plane's model, shown one at a time
// (game_object_plane_c::SetModelView); the state and the camera pick them
// by these numbers.
enum plane_view_e : int {
    plane_view_none = 0,
    plane_view_inside = 1,
    plane_view_guns = 2,
    plane_view_outside = 3,
    plane_view_distant = 4,
    plane_view_burned = 5,
    plane_view_crashed = 6,
};
