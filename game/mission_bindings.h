#pragma once
// The functions the mission script calls, registered by the in-game state
// on its script host, in this order, each with the state as its context:
//   cut_scene_camera(point)        the camera mode is saved, the world's map
//                                  switch cleared, the camera goes to mode 4
//                                  at the control point's place; the plane's
//                                  view is no longer marked changed. An
//                                  unknown point ends the script call with
//                                  an error.
//   restore_camera_from_cut_scene() the saved mode, the map switch back on,
//                                  the view marked changed.
//   add_event(function, delay)     the function is called once, in the first
//                                  frame at game time + delay or later.
//   fly_plane_to_control_point(plane, point)     go-to order, at once.
//   land_plane(plane, touchdown, direction)      landing order, at once.
//   bomb_target(plane, point)                    bombing order, at once.
//   store_mission_results(primary, secondary)    each reached when not 0.
//   terminate_mission()            the closing fade begins; the state leaves
//                                  1.5 s later.
//   patrol_at_control_point(plane, point)        go-to at once, then a
//                                  patrol around the point with its size as
//                                  radius, queued.
//   set_vehicle_move(vehicle, move) the first vehicle of that name stops
//                                  when move is 0 and drives otherwise.
//   play_outro()                   the outro plays at the next state switch.
// Arguments come by position: a missing or mistyped number reads 0, a
// string "". Planes are the world's computer planes (type 0), control
// points those of the world's control-point scene; a name that finds
// nothing makes the call do nothing (except for cut_scene_camera).
class script_host_c;
class state_game_c;

void RegisterMissionBindings(script_host_c& _script, state_game_c& _state);
