#pragma once
// The model variants of a plane (game_object_plane_c::SetModelView): each
// shows one view group of the plane's model.
enum plane_view_e : int {
    plane_view_none = 0,
    plane_view_inside = 1,
    plane_view_guns = 2,
    plane_view_outside = 3,
    plane_view_distant = 4,
    plane_view_burned = 5,
    plane_view_crashed = 6,
};
