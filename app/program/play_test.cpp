// The first training flight played through the program's own entry: WinMain
// with "nomenu type=2 no=1" on the packed data set, the OpenGL renderer on
// SDL's offscreen driver, frames at a fixed step of the program's clock.
// The test pilot sits where a player sits: it reads the plane and the
// ground target, and presses and releases keys as SDL key events on the
// main window, which reach the game through the window layer, the input
// devices and the default key bindings. It throttles up, takes off, flies
// to the anti-aircraft gun, fires at it until it is destroyed, and the
// mission script's result is what the menu finds on its return.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/program.h"
#include "app/state_factories.h"
#include "app/testing/program_fixture.h"
#include "engine/renderer.h"
#include "game/game_world.h"
#include "game/objects/plane.h"
#include "game/state_game.h"
#include "image/image.h"
#include "platform/d3d9/testing/expected_image.h"
#include "platform/win32/windows.h"

namespace {

// The program's clock advances by this much per frame.
constexpr i64 kFrameNanoseconds = 100'000'000;
constexpr double kFrameSeconds = 1e-9 * static_cast<double>(kFrameNanoseconds);
// The mode the options ask for, which the display switches to.
constexpr u32 kWidth = 640;
constexpr u32 kHeight = 480;
// The pilot gives up after this many frames.
constexpr int kFrameLimit = 800;
// Screenshots compared with the expected pictures, at these frames.
constexpr int kRunwayFrame = 10;
constexpr int kAttackFrame = 400;
constexpr int kGunsViewFrame = 100;
// Per channel: the software rasterizer draws the same frame the same way,
// so only rounding in the drivers' arithmetic is allowed for.
constexpr u32 kImageTolerance = 12;

void PushKey(HWND _window, SDL_Scancode _scancode, bool _down)
{
    SDL_Event event{};
    event.type = _down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = SDL_GetWindowID(GetSdlWindow(_window));
    event.key.state = _down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = _scancode;
    event.key.keysym.sym = SDL_GetKeyFromScancode(_scancode);
    SDL_PushEvent(&event);
}

// What the flight did, for the test to judge after the run.
struct flight_log_s {
    int frames = 0;
    bool tookOff = false;
    bool fired = false;
    bool targetDestroyed = false;
    int destroyedFrame = -1;
    float worstDamage = 0.0f;
    // The camera's mode a few frames after the guns view's key.
    i32 gunsCameraMode = -1;
    std::vector<std::string> notes;
    std::vector<std::pair<std::string, std::vector<u8>>> screenshots;
    // What the menu found when the mission handed over to it.
    bool menuEntered = false;
    u8 primaryReached = 0;
    u8 secondaryReached = 0;
    i32 gameType = 0;
    i32 missionNumber = 0;
};

// The real in-game state with the test pilot's hands on the keyboard.
class piloted_game_c : public state_game_c {
public:
    piloted_game_c(flight_log_s& _log, i64& _ticks) : log(_log), ticks(_ticks) {}

    void Enter(application_c* _application) override
    {
        state_game_c::Enter(_application);
        // The desktop gives the new window the focus.
        PushWindowEvent(_application->hwnd, SDL_WINDOWEVENT_FOCUS_GAINED);
    }

    i32 Update(double _t) override
    {
        // The front buffer holds the frame drawn before this update.
        Capture();
        const i32 result = state_game_c::Update(_t);
        if (result == state_stay && world)
            Fly();
        ++log.frames;
        ticks += kFrameNanoseconds;
        return result;
    }

private:
    void Capture()
    {
        const char* name = log.frames == kRunwayFrame + 1   ? "runway"
                           : log.frames == kAttackFrame + 1 ? "attack"
                                                            : nullptr;
        if (!name)
            return;
        image_c screen;
        GetApplication()->GetRenderer()->CaptureScreen(screen);
        std::vector<u8> bytes;
        if (screen.IsValid() && screen.GetWidth() == static_cast<i32>(kWidth)) {
            bytes.resize(static_cast<size_t>(kWidth) * kHeight * 4);
            for (u32 y = 0; y < kHeight; ++y)
                std::memcpy(bytes.data() + static_cast<size_t>(y) * kWidth * 4,
                            screen.GetData() + static_cast<size_t>(y) * screen.GetPitch(), kWidth * 4);
        }
        log.screenshots.emplace_back(name, std::move(bytes));
    }

    // Holds exactly the keys asked for, pressing and releasing the others.
    void Hold(const std::set<SDL_Scancode>& _keys)
    {
        const HWND window = GetApplication()->hwnd;
        for (SDL_Scancode key : held)
            if (!_keys.contains(key))
                PushKey(window, key, false);
        for (SDL_Scancode key : _keys)
            if (!held.contains(key))
                PushKey(window, key, true);
        held = _keys;
    }

    game_object_c* FindTarget() const
    {
        for (u32 i = 0; i < world->GetObjectCount(); ++i)
            if (world->GetObject(i)->name == "flak_1")
                return world->GetObject(i);
        return nullptr;
    }

    void Note(const std::string& _text) { log.notes.push_back("frame " + std::to_string(log.frames) + ": " + _text); }

    // One frame of the pilot's decisions, for the next frame.
    void Fly()
    {
        const auto* plane = dynamic_cast<const game_object_plane_c*>(GetPlayerPlane());
        const game_object_c* target = FindTarget();
        if (!plane || !target) {
            Hold({});
            return;
        }
        log.worstDamage = std::max(log.worstDamage, plane->damage);
        if (target->destroyed && !log.targetDestroyed) {
            log.targetDestroyed = true;
            log.destroyedFrame = log.frames;
            Note("target destroyed");
        }
        if (log.frames >= kFrameLimit) {
            Note("giving up");
            Hold({});
            PushWindowEvent(GetApplication()->hwnd, SDL_WINDOWEVENT_CLOSE);
            return;
        }

        std::set<SDL_Scancode> keys;
        if (plane->GetThrust() < plane->GetMaxThrust())
            keys.insert(SDL_SCANCODE_EQUALS);
        // Once up, the view over the guns (its key held for one frame).
        if (log.frames == kGunsViewFrame)
            keys.insert(SDL_SCANCODE_F6);
        if (log.frames == kGunsViewFrame + 5)
            log.gunsCameraMode = camera.GetMode();

        const vec3_c position = plane->GetPosition();
        const vec3_c forward = plane->GetForward();
        const vec3_c aim = target->GetPosition() + vec3_c(0.0f, 1.0f, 0.0f);
        vec3_c to = aim - position;
        const float ground = std::sqrt(to.x * to.x + to.z * to.z);
        const float distance = std::sqrt(ground * ground + to.y * to.y);
        to = to * (1.0f / std::max(distance, 1.0f));
        const float altitude = plane->GetAltitude();
        if (!log.tookOff && altitude > 20.0f) {
            log.tookOff = true;
            Note("airborne");
        }

        // The climb the nose should hold: none on the ground run until
        // flying speed, then up to cruising height, then down the line of
        // sight onto the gun, and away after the pass.
        float climb = 0.0f;
        bool attacking = false;
        if (altitude < 5.0f && plane->GetSpeed() < 1.4f * plane->GetMinVelocity())
            climb = 0.0f;
        else if (log.targetDestroyed || ground < 120.0f || (altitude < 35.0f && ground < 700.0f))
            climb = 0.3f;
        else if (ground < 900.0f && !pullingAway) {
            climb = to.y;
            attacking = true;
        } else
            climb = altitude < 140.0f ? 0.2f : 0.0f;
        // Once past the gun, fly on until there is room for another pass.
        if (ground < 120.0f)
            pullingAway = true;
        if (pullingAway && ground > 900.0f)
            pullingAway = false;

        // Aiming holds the nose closer than cruising does.
        const float slack = attacking ? 0.003f : 0.02f;
        if (forward.y < climb - slack)
            keys.insert(SDL_SCANCODE_DOWN);
        else if (forward.y > climb + slack)
            keys.insert(SDL_SCANCODE_UP);

        // The heading by the rudder, wings kept level by the stick; on the
        // ground run the nose stays straight.
        const float turn = forward.z * to.x - forward.x * to.z;
        const float facing = forward.x * to.x + forward.z * to.z;
        if (altitude > 10.0f && !pullingAway) {
            if (turn > slack || facing < 0.0f)
                keys.insert(SDL_SCANCODE_Z);
            else if (turn < -slack)
                keys.insert(SDL_SCANCODE_X);
        }
        const float bank = plane->GetAttitude().m[0][1];
        if (altitude > 10.0f) {
            if (bank > 0.03f)
                keys.insert(SDL_SCANCODE_LEFT);
            else if (bank < -0.03f)
                keys.insert(SDL_SCANCODE_RIGHT);
        }

        const float along = forward.x * to.x + forward.y * to.y + forward.z * to.z;
        if (attacking && !log.targetDestroyed && distance < 650.0f && along > 0.995f) {
            keys.insert(SDL_SCANCODE_SPACE);
            if (!log.fired)
                Note("firing from " + std::to_string(distance) + " m");
            log.fired = true;
        }
        Hold(keys);
    }

    flight_log_s& log;
    i64& ticks;
    std::set<SDL_Scancode> held;
    bool pullingAway = false;
};

// The menu the mission returns to: it notes what the mission left for the
// menu screens and closes the program.
class returning_menu_c : public state_c {
public:
    explicit returning_menu_c(flight_log_s& _log) : state_c("menu"), log(_log) {}

    void Enter(application_c* _application) override
    {
        SetApplication(_application);
        log.menuEntered = true;
        log.primaryReached = _application->primary_reached;
        log.secondaryReached = _application->secondary_reached;
        log.gameType = _application->game_type;
        log.missionNumber = _application->mission_number;
    }
    void Leave() override {}
    LRESULT OnMessage(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    i32 Update(double) override
    {
        if (!closing)
            PushWindowEvent(GetApplication()->hwnd, SDL_WINDOWEVENT_CLOSE);
        closing = true;
        return state_stay;
    }
    void Render(double) override {}

private:
    flight_log_s& log;
    bool closing = false;
};

class Play : public program_fixture_c {
protected:
    Play() : program_fixture_c(renderer_e::gl, clock_e::by_test)
    {
        ticks = 1;
        RunFrom(PROGRAM_FOLDER "/skyvarn");
        UseMode(static_cast<i32>(kWidth), static_cast<i32>(kHeight));
        CatchMessageBoxes();
        SetStates({[this] { return std::make_unique<returning_menu_c>(log); }, {}},
                  {[this] { return std::make_unique<piloted_game_c>(log, ticks); },
                   [](state_c& _state, timer_c* _timer) { static_cast<state_game_c&>(_state).SetTimer(_timer); }});
    }

    flight_log_s log;
};

TEST_F(Play, TheFirstTrainingFlightDestroysTheGunAndReportsTheSuccess)
{
    EXPECT_EQ(Run("nomenu type=2 no=1"), 0);
    std::string notes;
    for (const std::string& note : log.notes)
        notes += note + "\n";
    SCOPED_TRACE(notes);
    for (const std::string& box : boxes)
        ADD_FAILURE() << "message box: " << box;
    EXPECT_TRUE(log.tookOff);
    EXPECT_TRUE(log.fired);
    EXPECT_TRUE(log.targetDestroyed);
    EXPECT_LT(log.worstDamage, 1.0f) << "the plane came through";
    EXPECT_EQ(log.gunsCameraMode, 2) << "the guns view's key chose the camera over the guns";

    // The script stored the primary objective as reached and ended the
    // mission; the menu found it so.
    ASSERT_TRUE(log.menuEntered);
    EXPECT_EQ(log.primaryReached, 1);
    EXPECT_EQ(log.secondaryReached, 0);
    EXPECT_EQ(log.gameType, 2);
    EXPECT_EQ(log.missionNumber, 1);
    // The gun's destruction, 4 s to the script's end, 1.5 s of fade.
    const int expected_end = log.destroyedFrame + static_cast<int>((4.0 + 1.5) / kFrameSeconds);
    EXPECT_NEAR(log.frames, expected_end, 5);

    ASSERT_EQ(log.screenshots.size(), 2u);
    for (const auto& [name, bytes] : log.screenshots) {
        SCOPED_TRACE(name);
        ASSERT_FALSE(bytes.empty()) << "the screen was captured in the chosen mode";
        ExpectImageFile(bytes, kWidth, kHeight, EXPECTED_FOLDER, name, kImageTolerance);
    }
}

} // namespace
