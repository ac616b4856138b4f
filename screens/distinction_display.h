#pragma once
// distinction_display_c: the distinctions as small turning models. One model
// per "AddDistinction" command of the order file (its first positional
// parameter is the scene file), in file order: the index in that order is
// the distinction number of the mission records and the pilots' counters
// (0-7). Icons are copies of a model placed in a screen rectangle, drawn
// dimmed for a distinction not yet earned.
//
// The menu state fills the icon list for what its screen shows: the current
// pilot's row, the pilots page's legend, the career grid. Every frame Update
// places and animates each icon and Render draws them in list order.
//
// An icon asks for a distinction number the file did not give (a damaged
// mission list or profile): nothing is added for it. A missing order or
// model file throws the loaders' file_error_c.
#include <memory>
#include <vector>

#include "foundation/text_string.h"
#include "foundation/types.h"

class application_c;
class career_order_c;
class pilot_profile_c;
class renderer_c;
class scene_c;

class distinction_display_c {
public:
    struct icon_s {
        i32 index = 0;
        f32 x = 0.0f;
        f32 y = 0.0f;
        f32 width = 0.0f;
        f32 height = 0.0f;
        u8 dimmed = 0;
        std::unique_ptr<scene_c> scene;
    };

    distinction_display_c(application_c* _application, const char* _file_name);
    ~distinction_display_c();
    distinction_display_c(const distinction_display_c&) = delete;
    distinction_display_c& operator=(const distinction_display_c&) = delete;

    // A copy of the model, still at frame 0.5 from the display's time.
    void AddIcon(f32 _x, f32 _y, f32 _width, f32 _height, i32 _index, bool _dimmed);
    void ClearIcons();
    // Every icon plays 0 -> 0.5 (coming in) or 1.0 -> 1.5 (leaving) from the
    // display's time, once.
    void GoIn();
    void GoOut();
    // The current pilot's eight distinctions in a row, dimmed where the
    // counter is 0; the display then shows that pilot.
    void BuildPilotRow();
    // Appends, for each of the first 20 career missions the pilot may fly,
    // its primary and secondary distinctions on its grid tile, dimmed until
    // earned in that mission. Missions beyond the career list add nothing.
    void BuildMissionIcons(const career_order_c& _order);
    void Update(f32 _time);
    void Render();

    size_t GetModelCount() const { return models.size(); }
    const std::vector<std::unique_ptr<icon_s>>& GetIcons() const { return icons; }
    const string_c& GetPilotName() const { return pilot_name; }
    void SetPilotName(const string_c& _name) { pilot_name = _name; }

private:
    void PlayAll(f32 _first, f32 _last);

    string_c pilot_name;
    f32 time = 0.0f;
    application_c* application;
    std::vector<std::unique_ptr<scene_c>> models;
    std::vector<std::unique_ptr<icon_s>> icons;
};

// The career grid's tile of mission _index (0-based): four tiles a row.
void MissionTilePosition(i32 _index, f32& _x, f32& _y);
