// The first training flight as "nomenu type=2 no=1" starts it: the game
// state entered on the packed data set with the OpenGL renderer on SDL's
// offscreen driver, frames at fixed steps. A section that fails to load is
// left out of the level script, so that the rest still flies, and named in
// the failure.
#include <gtest/gtest.h>

#include "engine/renderer.h"
#include "foundation/file_error.h"
#include "foundation/file_writer.h"
#include "foundation/memory_file.h"
#include "foundation/script_loader.h"
#include "game/game_world.h"
#include "game/objects/plane.h"
#include "image/image.h"
#include "tools/data-kit/data_files.h"
#include "tools/make-data/game_state_fixture.h"
#include "tools/make-data/mission_layout.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string Lower(std::string _text)
{
    std::transform(_text.begin(), _text.end(), _text.begin(),
                   [](unsigned char _c) { return static_cast<char>(std::tolower(_c)); });
    return _text;
}

// The archives with some files replaced, as a patch archive would.
class overlay_file_system_c : public file_system_c {
public:
    explicit overlay_file_system_c(file_system_c& _below) : below(_below) {}

    void Replace(const std::string& _name, const std::string& _text) { files[Lower(_name)] = _text; }

    u32 GetSize(const char* _name) override
    {
        const auto found = files.find(Lower(_name));
        return found != files.end() ? static_cast<u32>(found->second.size()) : below.GetSize(_name);
    }
    u32 Load(const char* _name, void* _buffer, u32 _buffer_size) override
    {
        const auto found = files.find(Lower(_name));
        if (found == files.end())
            return below.Load(_name, _buffer, _buffer_size);
        if (found->second.size() > _buffer_size)
            throw file_error_c(_name, "Out of buffer!");
        std::memcpy(_buffer, found->second.data(), found->second.size());
        return static_cast<u32>(found->second.size());
    }

private:
    file_system_c& below;
    std::map<std::string, std::string> files;
};

// One command of a level script, written back as one line.
struct section_s {
    std::string name;
    std::string line;
    std::vector<std::string> values;
};

std::vector<section_s> ReadSections(const char* _file)
{
    std::vector<section_s> sections;
    script_loader_c loader(_file);
    while (const char* name = loader.ReadCommand()) {
        section_s section{name, name, {}};
        for (size_t i = 0; i < loader.GetNames().size(); ++i) {
            const std::string value = loader.GetValues()[i].GetData();
            section.line += std::string(" ") + loader.GetNames()[i].GetData() + "=\"" + value + "\"";
            section.values.push_back(Lower(value));
            if (Lower(value).ends_with(".sce"))
                for (const std::string& tmpl : ReadSceneTemplateNames(value))
                    section.values.push_back(Lower(tmpl));
        }
        sections.push_back(section);
    }
    return sections;
}

class FirstMission : public game_state_fixture_c {
protected:
    FirstMission() : overlay(*files) {}

    // Enters the mission with the sections that load, leaving out the ones
    // that fail; what was left out and why goes to leftOut.
    void EnterMission()
    {
        const std::string level = std::string(kFirstTraining) + "level.txt";
        std::vector<section_s> sections = ReadSections(level.c_str());
        for (;;) {
            std::string text;
            for (const section_s& section : sections)
                text += section.line + "\n";
            overlay.Replace(level, text);
            game = std::make_unique<state_game_c>();
            game->Enter(&application);
            const std::string failure = game->GetFailure();
            if (failure.empty())
                return;
            // The section the failure names, by its name or a file it names.
            const auto culprit = std::find_if(sections.begin() + 1, sections.end(), [&](const section_s& _section) {
                const std::string lower = Lower(failure);
                if (lower.find(Lower(_section.name) + " ") != std::string::npos)
                    return true;
                return std::any_of(_section.values.begin(), _section.values.end(), [&](const std::string& _value) {
                    return _value.size() > 4 && lower.find(_value) != std::string::npos;
                });
            });
            game->Leave();
            if (culprit == sections.end())
                FAIL() << failure;
            leftOut.push_back(culprit->name + ": " + failure);
            sections.erase(culprit);
        }
    }

    overlay_file_system_c overlay;
    std::vector<std::string> leftOut;
};

TEST_F(FirstMission, FliesFramesOnTheDataSet)
{
    ASSERT_NE(window, nullptr);
    application.Init(window, nullptr);
    ASSERT_NE(application.GetRenderer(), nullptr);
    application.game_type = 2;
    application.mission_number = 1;
    ASSERT_NO_FATAL_FAILURE(EnterMission());
    for (const std::string& reason : leftOut)
        ADD_FAILURE() << "left out of the level: " << reason;
    ASSERT_NE(game->world, nullptr);
    ASSERT_NE(game->terrain, nullptr) << "the meadow's terrain";

    for (int frame = 0; frame < 90; ++frame)
        ASSERT_EQ(Frame(), state_stay) << "frame " << frame << ": " << game->GetFailure();
    EXPECT_TRUE(game->GetFailure().empty()) << game->GetFailure();

    image_c screen;
    application.GetRenderer()->CaptureScreen(screen);
    ASSERT_EQ(screen.GetWidth(), width);
    ASSERT_EQ(screen.GetHeight(), height);
    output_file_c png;
    screen.Save(png, image_file_png);
    WriteDiskFileWhole(SCREENSHOT_FILE, png.GetData(), png.GetSize());
    // The player's plane stands on the meadow where the mission put it,
    // whole, and the cockpit view shows the grass beside the cowling.
    const auto* plane = dynamic_cast<const game_object_plane_c*>(game->GetPlayerPlane());
    ASSERT_NE(plane, nullptr);
    EXPECT_LT(plane->damage, 1.0f);
    EXPECT_FALSE(plane->destroyed);
    EXPECT_LT(plane->GetAltitude(), 2.0f);
    const auto pixel = [&screen](int _x, int _y) {
        const u8* p = screen.GetData() + static_cast<size_t>(_y) * screen.GetPitch() + static_cast<size_t>(_x) * 4;
        return std::array<int, 3>{p[2], p[1], p[0]};
    };
    const auto grass = pixel(width / 5, height * 35 / 100);
    EXPECT_TRUE(grass[1] > grass[0] && grass[1] > grass[2] + 40)
        << "grass " << grass[0] << " " << grass[1] << " " << grass[2];
}

} // namespace
