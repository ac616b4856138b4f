#include "app/program.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <SDL.h>

#include "app/mission_info.h"
#include "app/pilot_list.h"
#include "app/state_factories.h"
#include "app/testing/program_fixture.h"
#include "foundation/archive_writer.h"
#include "foundation/testing/scratch_folder.h"
#include "menu/menu_message.h"
#include "platform/d3d9/record_config.h"
#include "platform/win32/process.h"
#include "platform/win32/sdl_display.h"
#include "platform/win32/windows.h"

namespace {

// Update's answer that makes the test state ask the window to close, as the
// desktop's close button does.
constexpr i32 kClose = -100;
// Update's answer that makes it throw.
constexpr i32 kThrow = -101;
// Update's answer that makes the program lose the focus.
constexpr i32 kDeactivate = -102;
// Update's answer that makes it report through the menu library.
constexpr i32 kMenuMessage = -103;
// Update's answer that makes it log whether the window is full screen.
constexpr i32 kLogScreen = -104;
// Update's answer that ends the visit with a failure, as a mission that
// cannot load does.
constexpr i32 kFail = -105;

struct run_log_s {
    std::vector<std::string> events;
    // Update answers of each coming visit of a state, by name; a visit
    // without a plan closes the window.
    std::map<std::string, std::deque<std::vector<i32>>> plans;
    std::map<std::string, int> made;
    std::map<std::string, int> renders;
    int alive = 0;
    std::vector<timer_c*> game_timers;
    std::atomic<bool> deactivated{false};
    std::atomic<u32> window_id{0};
};

// A state that plays its visit's plan and logs what the shell does with it.
class planned_state_c : public state_c {
public:
    planned_state_c(const char* _name, run_log_s& _log) : state_c(_name), log(_log)
    {
        ++log.made[_name];
        ++log.alive;
    }
    ~planned_state_c() override { --log.alive; }

    void Enter(application_c* _application) override
    {
        Log("enter");
        auto& visits = log.plans[GetName().GetData()];
        if (!visits.empty()) {
            plan.assign(visits.front().begin(), visits.front().end());
            visits.pop_front();
        }
        // The desktop gives the new window the focus.
        PushWindowEvent(_application->hwnd, SDL_WINDOWEVENT_FOCUS_GAINED);
        log.window_id = SDL_GetWindowID(GetSdlWindow(_application->hwnd));
    }
    void Leave() override { Log("leave"); }
    LRESULT OnMessage(HWND, UINT _msg, WPARAM _wparam, LPARAM) override
    {
        if (_msg == WM_ACTIVATEAPP) {
            Log("activate " + std::to_string(_wparam));
            if (_wparam == 0)
                log.deactivated = true;
        }
        return 0;
    }
    i32 Update(double) override
    {
        const i32 answer = plan.empty() ? kClose : plan.front();
        if (!plan.empty())
            plan.pop_front();
        if (answer == kThrow)
            throw std::runtime_error("The state failed!");
        if (answer == kFail) {
            failure = "The mission failed!";
            return state_leave;
        }
        if (answer == kLogScreen) {
            const bool full = (SDL_GetWindowFlags(GetSdlWindow(GetApplication()->hwnd)) & SDL_WINDOW_FULLSCREEN) != 0;
            Log(full ? "full screen" : "windowed");
            return state_stay;
        }
        if (answer == kMenuMessage) {
            MenuMessage("Control not found!");
            return state_stay;
        }
        if (answer == kDeactivate) {
            PushWindowEvent(GetApplication()->hwnd, SDL_WINDOWEVENT_FOCUS_LOST);
            return state_stay;
        }
        if (answer == kClose) {
            if (!closing)
                PushWindowEvent(GetApplication()->hwnd, SDL_WINDOWEVENT_CLOSE);
            closing = true;
            return state_stay;
        }
        Log("update " + std::to_string(answer));
        return answer;
    }
    void Render(double) override { ++log.renders[GetName().GetData()]; }
    const std::string& GetFailure() const override { return failure; }

private:
    void Log(const std::string& _what) { log.events.push_back(std::string(GetName().GetData()) + " " + _what); }

    run_log_s& log;
    std::deque<i32> plan;
    bool closing = false;
    std::string failure;
};

// The events of those kinds ("update", "enter", ...), in order.
std::vector<std::string> Only(const std::vector<std::string>& _events, std::initializer_list<const char*> _kinds)
{
    std::vector<std::string> out;
    for (const std::string& event : _events)
        for (const char* kind : _kinds)
            if (event.find(std::string(" ") + kind) != std::string::npos)
                out.push_back(event);
    return out;
}

// The states' visits: what the shell did with them, without the messages.
std::vector<std::string> Visits(const std::vector<std::string>& _events)
{
    return Only(_events, {"enter", "update", "leave"});
}

void AddText(archive_writer_c& _archive, const char* _name, const std::string& _text)
{
    _archive.Add(_name, _text.data(), _text.size());
}

class Program : public program_fixture_c {
protected:
    Program() : program_fixture_c(renderer_e::recorded, clock_e::each_reading)
    {
        RunFrom(folder.Path("skyvarn"));
        AcceptDesktopMode();
        CatchMessageBoxes();
        SetStates({[this] { return std::make_unique<planned_state_c>("menu", log); }, {}},
                  {[this] { return std::make_unique<planned_state_c>("game", log); },
                   [this](state_c&, timer_c* _timer) { log.game_timers.push_back(_timer); }});
    }

    // The data set: the lists the application reads at start-up, split over
    // the two archives as a patch archive would hold some of them.
    void WriteDataSet(bool _with_planes = true)
    {
        archive_writer_c data;
        AddText(data, kCareerMissionsFile,
                "add_mission path=c\\ script=s map=m objectives=o briefing=b "
                "distinction_primary=0 distinction_secondary=1\n");
        AddText(data, kMultiplayerMissionsFile, "");
        AddText(data, kTrainingMissionsFile, "add_mission path=t\\ script=s map=m objectives=o briefing=b\n");
        if (_with_planes)
            AddText(data, kPlanesFile, "add_plane fname=a.txt\nadd_plane fname=b.txt\n");
        data.Write(folder.Path("data.qza").c_str());
        archive_writer_c patch;
        AddText(patch, kInGameTextsFile, "one\ntwo\n");
        patch.Write(folder.Path("data1.qza").c_str());
    }

    // What the run left behind: nothing.
    void ExpectCleanEnd()
    {
        EXPECT_EQ(log.alive, 0) << "every state destroyed";
        EXPECT_EQ(frame_timer, nullptr);
        EXPECT_EQ(timer_c::GetLiveCount(), 0);
        EXPECT_FALSE(IsWindow(g_application.hwnd));
        EXPECT_EQ(g_application.GetRenderer(), nullptr);
        EXPECT_EQ(g_application.GetSoundDevice(), nullptr);
        EXPECT_FALSE(g_state_manager.HasCurrent());
        EXPECT_EQ(g_state_manager.GetCount(), 0u);
        EXPECT_FALSE(display->changed) << "the desktop's mode is back";
        char cwd[4096];
        GetCurrentDirectoryA(sizeof cwd, cwd);
        EXPECT_EQ(std::string(cwd), folder.GetPath()) << "the run took place in the program's folder";
    }

    scratch_folder_c folder;
    run_log_s log;
};

TEST_F(Program, StartsInTheMenuAndGoesToAGameAndBack)
{
    WriteDataSet();
    // Menu: two frames, then the game chosen; game: one frame, then back;
    // menu again: quit.
    log.plans["menu"] = {{0, 0, state_start_game}, {0, state_leave}};
    log.plans["game"] = {{0, state_leave}};
    EXPECT_EQ(Run(""), 0);
    EXPECT_TRUE(boxes.empty());
    const std::vector<std::string> expected = {
        "menu enter",    "menu update 0", "menu update 0", "menu update 2", "menu leave",
        "game enter",    "game update 0", "game update 1", "game leave",    "menu enter",
        "menu update 0", "menu update 1", "menu leave",
    };
    EXPECT_EQ(Visits(log.events), expected);
    EXPECT_EQ(log.made["menu"], 2) << "the menu is made anew after its visit";
    EXPECT_EQ(log.made["game"], 2) << "the game is made anew after its visit";
    // A frame draws the state current at its end; the menu's last frame,
    // which ends the program, draws nothing.
    EXPECT_EQ(log.renders["menu"], 4);
    EXPECT_EQ(log.renders["game"], 2);
    EXPECT_GT(direct3d.Count("Present"), 0u);
    ASSERT_GE(log.game_timers.size(), 2u);
    EXPECT_NE(log.game_timers.back(), nullptr) << "the game gets the frame timer before it is entered";
    ExpectCleanEnd();
}

TEST_F(Program, RunsFullScreenOnTheDisplay)
{
    WriteDataSet();
    SetDisplayBackend(MakeSdlDisplayBackend());
    log.plans["menu"] = {{kLogScreen, state_leave}};
    EXPECT_EQ(Run(""), 0);
    EXPECT_EQ(Only(log.events, {"screen", "windowed"}), std::vector<std::string>{"menu full screen"});
    EXPECT_TRUE(boxes.empty());
    i32 mode_width = 0, mode_height = 0;
    EXPECT_FALSE(GetDisplayBackend()->GetModeSize(mode_width, mode_height)) << "the desktop's mode is back";
}

TEST_F(Program, CommandLineChoosesTheFirstState)
{
    WriteDataSet();
    const struct {
        const char* line;
        const char* first;
        i32 game_type;
        i32 mission_number;
    } cases[] = {
        {"nomenu type=2 no=3", "game enter", 2, 3},
        {"/ /nomenu/type=1/no=4", "game enter", 1, 4},
        // No mission list exists for another type: the menu starts.
        {"nomenu type=5 no=3", "menu enter", 2, 1},
        {"type=1 no=2", "menu enter", 2, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        log.events.clear();
        log.game_timers.clear();
        g_application.game_type = 2;
        g_application.mission_number = 1;
        EXPECT_EQ(Run(c.line), 0);
        const std::vector<std::string> visits = Visits(log.events);
        ASSERT_FALSE(visits.empty());
        EXPECT_EQ(visits.front(), c.first);
        EXPECT_EQ(visits.back(), std::string(c.first).substr(0, 4) + " leave") << "left at WM_CLOSE";
        EXPECT_EQ(g_application.game_type, c.game_type);
        EXPECT_EQ(g_application.mission_number, c.mission_number);
        ASSERT_FALSE(log.game_timers.empty());
        EXPECT_NE(log.game_timers.back(), nullptr) << "a game started at once still gets the timer";
        EXPECT_TRUE(boxes.empty());
        ExpectCleanEnd();
    }
}

TEST_F(Program, AFailedGameEndsTheProgramOnlyWhenThereIsNoMenuToReturnTo)
{
    WriteDataSet();
    log.plans["game"] = {{kFail}};
    EXPECT_NE(Run("nomenu type=2 no=1"), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "The mission failed!");
    ExpectCleanEnd();

    log.events.clear();
    boxes.clear();
    log.plans["menu"] = {{state_start_game}, {state_leave}};
    log.plans["game"] = {{kFail}};
    g_application.game_type = 2;
    EXPECT_EQ(Run(""), 0);
    EXPECT_TRUE(boxes.empty());
    const std::vector<std::string> visits = Only(log.events, {"enter", "leave"});
    EXPECT_EQ(visits, (std::vector<std::string>{"menu enter", "menu leave", "game enter", "game leave", "menu enter",
                                                "menu leave"}));
    ExpectCleanEnd();
}

TEST_F(Program, AnInactiveProgramWaitsForTheFocusWithoutFrames)
{
    WriteDataSet();
    log.plans["menu"] = {{0, kDeactivate, 0, state_leave}};
    // The desktop gives the focus back some time later.
    std::thread desktop([this] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!log.deactivated && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
        event.window.windowID = log.window_id;
        SDL_PushEvent(&event);
    });
    EXPECT_EQ(Run(""), 0);
    desktop.join();
    const auto lost = std::find(log.events.begin(), log.events.end(), "menu activate 0");
    ASSERT_NE(lost, log.events.end());
    const auto back = std::find(lost, log.events.end(), "menu activate 1");
    ASSERT_NE(back, log.events.end());
    EXPECT_TRUE(Only({lost, back}, {"update"}).empty()) << "no frame while inactive";
    const std::vector<std::string> updates = {"menu update 0", "menu update 0", "menu update 1"};
    EXPECT_EQ(Only(log.events, {"update"}), updates);
    ExpectCleanEnd();
}

TEST_F(Program, AGameTypeOutsideOneToFourStaysInTheMenu)
{
    WriteDataSet();
    log.plans["menu"] = {{state_start_game, state_leave}};
    g_application.game_type = 2;
    SetStateFactory("menu", {[this] {
                                 g_application.game_type = 0;
                                 return std::make_unique<planned_state_c>("menu", log);
                             },
                             {}});
    EXPECT_EQ(Run(""), 0);
    const std::vector<std::string> expected = {"menu enter", "menu update 2", "menu update 1", "menu leave"};
    EXPECT_EQ(Visits(log.events), expected);
    EXPECT_EQ(log.renders["menu"], 1) << "the refused start still draws its frame";
    ExpectCleanEnd();
}

TEST_F(Program, ClosingPlaysAPendingOutroBeforeTheEnd)
{
    WriteDataSet();
    SetStateFactory("menu", {[this] {
                                 g_application.outro_pending = 1;
                                 return std::make_unique<planned_state_c>("menu", log);
                             },
                             {}});
    EXPECT_EQ(Run(""), 0);
    EXPECT_EQ(g_application.outro_pending, 0);
    EXPECT_EQ(direct3d.Count("CreateDevice"), 2u) << "the renderer came back after the outro";
    EXPECT_TRUE(boxes.empty());
    ExpectCleanEnd();
}

TEST_F(Program, APlaneFromTheCommandLineIsTakenOnlyFromThePlaneList)
{
    WriteDataSet();
    {
        pilot_list_c pilots;
        pilots.Create("Ace", false);
        ASSERT_TRUE(pilots.Save());
    }
    const struct {
        const char* line;
        u32 selected;
    } cases[] = {{"plane=2", 2}, {"plane=1", 1}, {"plane=3", 1}, {"plane=0", 1}, {"plane=-5", 1}, {"", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Run(c.line), 0);
        ASSERT_NE(g_application.pilots.GetCurrent(), nullptr);
        EXPECT_EQ(g_application.pilots.GetCurrent()->selected_plane, c.selected);
    }
}

TEST_F(Program, MenuMessagesAreShownInBoxesWhileItRuns)
{
    WriteDataSet();
    log.plans["menu"] = {{kMenuMessage, state_leave}};
    EXPECT_EQ(Run(""), 0);
    EXPECT_EQ(boxes, std::vector<std::string>{"Control not found!"});
    MenuMessage("After the run");
    EXPECT_EQ(boxes.size(), 1u) << "the default handler is back after the run";
}

TEST_F(Program, MissingArchivesAreReported)
{
    for (const char* missing : {"data.qza", "data1.qza"}) {
        SCOPED_TRACE(missing);
        WriteDataSet();
        std::remove(folder.Path(missing).c_str());
        boxes.clear();
        EXPECT_NE(Run(""), 0);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], std::string("Couldn't find or load specified file: \n\"") + missing + "\"");
        EXPECT_TRUE(log.made.empty()) << "nothing started";
    }
}

TEST_F(Program, AFileMissingFromTheArchivesIsReportedAndTheRunUndone)
{
    WriteDataSet(false);
    EXPECT_NE(Run(""), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], std::string("Couldn't find or load specified file: \n\"") + kPlanesFile + "\"");
    EXPECT_FALSE(display->changes.empty()) << "the renderer had switched the mode";
    ExpectCleanEnd();
}

TEST_F(Program, OtherErrorsAreShownWithTheirTextAndTheRunUndone)
{
    const struct {
        const char* what;
        std::function<void(run_log_s&)> arrange;
        const char* box;
    } cases[] = {
        {"no Direct3D", [](run_log_s&) { RemoveRecordBackend(); }, "Could not create Direct3D device!"},
        {"no menu state", [](run_log_s&) { SetStateFactory("menu", {}); }, "The program has no \"menu\" state!"},
        {"failing state",
         [](run_log_s& _log) {
             _log.plans["menu"] = {{0, kThrow}};
         },
         "The state failed!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteDataSet();
        boxes.clear();
        c.arrange(log);
        EXPECT_NE(Run(""), 0);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], c.box);
        EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "menu leave"), 0)
            << "a state is not left after an error";
        ExpectCleanEnd();
        InstallRecordBackend(direct3d);
        SetStateFactory("menu", {[this] { return std::make_unique<planned_state_c>("menu", log); }, {}});
        log.events.clear();
    }
}

TEST(OutOfMemory, HandlerThrows)
{
    try {
        OutOfMemoryHandler();
        FAIL() << "it returned";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Out of memory!");
    }
}

} // namespace
