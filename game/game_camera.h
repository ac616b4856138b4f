#pragma once
// game_camera_c: drives the one camera of a mission, "game_camera", in
// seven modes. The in-game state owns it, chooses its mode from the view
// keys, the mission script and the fate of the player's plane, and updates
// it once per frame after the world step with a target record.
//
// Modes and the zoom SetMode gives them:
//   0 cockpit           1.5  inside the plane at its "inside camera shift",
//                             turned with it plus a small shake; look turns
//                             the head (heading look x * 2.2, pitch 0.18 +
//                             look y * 1.5 looking down, * 0.8 looking up)
//   1 behind and above  3.2  a frame that follows the plane's own axes
//                             smoothly (3.0 per second), placed at the
//                             "outside camera shift"'s y above and z along
//                             its look axis; look: 15 m in front, facing it
//   2 over the guns     3.2  like the cockpit at the "overguns camera
//                             shift", no head turn; look: 10 m behind it
//   3 fly-by            3.2  jumps 50 m ahead once the plane is 150 m away,
//                             otherwise stays and follows it with its eyes
//   4 cut scene         3.2  placed only by SetPosition and SetRotation
//   5 orbit             3.2  circles the place where the mode began,
//                             0.09 rad/s, from 40 m growing 20 m/s to 200 m
//   6 high view         3.2  35 m above and behind the plane's heading
// Every placed point except the cockpit's and the guns' is kept at least
// 10 m above the terrain (ClampAboveGround).
//
// The mark "changed" is set by SetMode, by Snap and by the look views of
// modes 1 and 2; the next update of mode 1 then takes its goal frame at once
// instead of turning toward it.
//
// Choices of this camera:
//   - the very first update steps by 0 s (the clock before it is unknown),
//     so nothing overshoots on the first frame;
//   - the shake draws use the camera's own random sequence and its two shake
//     timers are the camera's, not the process's, so two missions flown
//     alike see the same shake;
//   - a target at the camera's own place, or without any target at all (a
//     default record), gives zero directions, read as heading, pitch and
//     bank 0: nothing divides by zero.
// Without Init the camera works on a camera of its own that is in no scene.
#include "foundation/matrix.h"
#include "foundation/random_numbers.h"
#include "foundation/vector_math.h"

#include <memory>

class camera_c;
class null_object_c;
class scene_c;

// What the camera follows this frame.
struct camera_target_c {
    vec3_c position;
    vec3_c rotation; // heading, pitch, bank
    f32 speed = 0.0f;
    vec3_c insideShift{0.0f, 0.75f, -0.9f};
    vec3_c outsideShift{0.0f, 4.0f, -12.5f};
    vec3_c overgunsShift{0.0f, 0.75f, 0.0f};
    f32 vibration = 0.0f;
};

enum game_camera_mode_e : i32 {
    camera_cockpit = 0,
    camera_behind = 1,
    camera_guns = 2,
    camera_fly_by = 3,
    camera_cut_scene = 4,
    camera_orbit = 5,
    camera_high = 6,
};

class game_camera_c {
public:
    static constexpr f32 orbit_start = 40.0f;
    static constexpr f32 orbit_limit = 200.0f;

    game_camera_c();
    ~game_camera_c();
    game_camera_c(const game_camera_c&) = delete;
    game_camera_c& operator=(const game_camera_c&) = delete;

    // Takes the scene's active camera, or creates "game_camera" in the scene
    // when it has none. Null goes back to the camera's own.
    void Init(scene_c* _scene);

    // Entering 5 restarts the orbit (new centre, angle 0, distance 40);
    // every call sets the zoom and the changed mark.
    void SetMode(i32 _mode);
    i32 GetMode() const { return mode; }
    // The next update of mode 1 takes its view at once.
    void Snap() { changed = 1; }
    bool IsChanged() const { return changed != 0; }

    // Look mode while the player holds the look control, with its inputs.
    void SetLookActive(bool _active) { lookActive = _active ? 1 : 0; }
    bool IsLookActive() const { return lookActive != 0; }
    void SetLook(f32 _x, f32 _y);

    // The scene camera's own place (cut scenes).
    void SetPosition(const vec3_c& _position);
    void SetRotation(const vec3_c& _rotation);
    vec3_c GetPosition() const;
    vec3_c GetRotation() const;
    // World to camera, as of the last update or set.
    const mat4x3_c& GetViewMatrix() const;
    camera_c* GetCamera() const { return camera; }

    f32 GetOrbitAngle() const { return orbitAngle; }
    f32 GetOrbitDistance() const { return orbitDistance; }
    const vec3_c& GetOrbitCentre() const { return orbitCentre; }
    const vec3_c& GetShake() const { return shake; }

    // The point raised to ground + _clearance when it is not higher than
    // that above the terrain under it (a ray from 1000 above, straight
    // down); unchanged without terrain or hit.
    static vec3_c ClampAboveGround(const vec3_c& _point, f32 _clearance, null_object_c* _terrain);

    // One frame at _time (seconds of game time).
    void Update(double _time, const camera_target_c& _target, null_object_c* _terrain);

private:
    enum shake_timer_e { shake_cockpit, shake_guns };

    void UpdateSeat(f32 _dt, double _time, const camera_target_c& _target, const vec3_c& _shift, int _timer);
    void UpdateBehind(f32 _dt, const camera_target_c& _target, null_object_c* _terrain);
    void UpdateFlyBy(const camera_target_c& _target, null_object_c* _terrain);
    void UpdateOrbit(f32 _dt, const camera_target_c& _target, null_object_c* _terrain);
    // The camera at _position turned toward _point.
    void Face(const vec3_c& _position, const vec3_c& _point);
    void ClearPivot();
    void Refresh();

    i32 mode = camera_cockpit;
    u8 lookActive = 0;
    f32 lookX = 0.0f;
    f32 lookY = 0.0f;
    u8 changed = 0;
    camera_c* camera = nullptr;
    std::unique_ptr<camera_c> ownCamera;
    double lastUpdate = 0.0;
    u8 updated = 0;
    vec3_c shakeGoal;
    vec3_c shake;
    double shakeTimers[2] = {0.0, 0.0};
    u8 shakeTimerSet[2] = {0, 0};
    f32 orbitAngle = 0.0f;
    f32 orbitDistance = orbit_start;
    u8 orbitCentreSet = 0;
    vec3_c orbitCentre;
    random_c random;
};
