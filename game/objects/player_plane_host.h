#pragma once
// player_plane_host_c: what the player's plane asks of the in-game state
// that flies it: the game camera (the bomb view), the model variant that
// follows the camera, the texts shown to the player and the network session.
// The in-game state implements it; tests use a small double.
#include "foundation/types.h"

class game_camera_c;
class net_session_c;

class player_plane_host_c {
public:
    virtual ~player_plane_host_c() = default;

    virtual game_camera_c& GetCamera() = 0;
    // The player's plane's model variant for the camera's mode.
    virtual void SyncUserPlaneView() = 0;
    // The bomb view is open (the state's flag).
    virtual void SetBombView(bool _open) = 0;
    // Shows in-game text _index (counted from 0) as an info line; an index
    // outside the loaded texts shows nothing.
    virtual void ShowInGameText(i32 _index) = 0;
    // The session of a network game, or null outside one.
    virtual net_session_c* GetSession() const = 0;
};
