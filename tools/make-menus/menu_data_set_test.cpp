// Walks the menus of the packed demo data set as the menu state reads them:
// the menu list, every menu script with its string tables and dialog
// chains, every control script with the scenes, sounds, text files and
// nested scripts it names; then loads every menu as the game does and
// finds every control the screens address by name.
#include <gtest/gtest.h>

#include "app/file_readers.h"
#include "app/testing/kept_menu_messages.h"
#include "engine/null_renderer.h"
#include "foundation/archive_file_system.h"
#include "foundation/script_loader.h"
#include "foundation/testing/file_presence.h"
#include "menu/any_menu.h"
#include "menu/menu_manager.h"
#include "screens/career_order.h"
#include "tools/make-menus/menu_bodies.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr char kMenuList[] = "DATA\\MENU\\Menu.txt";

std::string Lower(std::string _text)
{
    std::transform(_text.begin(), _text.end(), _text.begin(),
                   [](unsigned char _c) { return static_cast<char>(std::tolower(_c)); });
    return _text;
}

// Control-script keys whose first positional parameter is a scene file, and
// the one whose parameter is a further control script.
const std::set<std::string> kSceneKeys = {"bodyfile",       "borderfile",     "checkfile",        "markfile",
                                          "arrowrightfile", "arrowleftfile",  "arrowupfile",      "arrowdownfile",
                                          "barfile",        "mainborderfile", "selectborderfile", "buttondownfile"};

// Menu-script keywords that make a control from (name, script).
const std::set<std::string> kControlKeywords = {
    "textwindowcontrol", "gfxbuttoncontrol", "checkboxcontrol", "slidercontrol", "sliderhorizontalcontrol",
    "textboxcontrol",    "comboboxcontrol",  "listboxcontrol",  "boardcontrol",  "progressbarcontrol",
    "buttoncontrol",     "dragitemcontrol",  "tabcontrol"};

class MenuDataSet : public ::testing::Test {
protected:
    MenuDataSet() : files(DATA_ARCHIVE, DATA1_ARCHIVE) { RegisterFileReaders(); }

    bool Exists(const std::string& _name) { return HoldsFile(files, _name); }

    void ExpectFile(const std::string& _name, const std::string& _named_by)
    {
        EXPECT_TRUE(HoldsNamedFile(files, _name, _named_by));
    }

    // The non-empty lines of a string-table file.
    size_t CountStrings(const std::string& _file)
    {
        size_t count = 0;
        std::vector<u8> bytes(files.GetSize(_file.c_str()));
        files.Load(_file.c_str(), bytes.data(), static_cast<u32>(bytes.size()));
        std::string line;
        for (const u8 byte : bytes) {
            if (byte == '\n') {
                count += line.find_first_not_of(" \t\r") != std::string::npos ? 1 : 0;
                line.clear();
            } else {
                line += static_cast<char>(byte);
            }
        }
        count += line.find_first_not_of(" \t\r") != std::string::npos ? 1 : 0;
        return count;
    }

    void WalkControlScript(const std::string& _file, const std::string& _named_by)
    {
        ExpectFile(_file, _named_by);
        if (!Exists(_file) || !walked.insert(Lower(_file)).second)
            return;
        script_loader_c loader(_file.c_str());
        while (const char* command = loader.ReadCommand()) {
            const std::string key = Lower(command);
            if (kSceneKeys.count(key) != 0)
                ExpectFile(loader.GetParameter(1u), _file);
            else if (key == "sliderfile")
                WalkControlScript(loader.GetParameter(1u), _file);
            if (const char* sound = loader.FindParameter("sound"))
                ExpectFile(sound, _file);
        }
    }

    void WalkMenuScript(const std::string& _file, const std::string& _named_by)
    {
        ExpectFile(_file, _named_by);
        if (!Exists(_file))
            return;
        size_t strings = 0;
        script_loader_c loader(_file.c_str());
        while (const char* command = loader.ReadCommand()) {
            const std::string key = Lower(command);
            if (key == "stringtablefile") {
                ExpectFile(loader.GetParameter(1u), _file);
                if (Exists(loader.GetParameter(1u)))
                    strings += CountStrings(loader.GetParameter(1u));
            } else if (key == "adddialogchain") {
                WalkMenuScript(loader.GetParameter(3u), _file);
            } else if (kControlKeywords.count(key) != 0) {
                WalkControlScript(loader.GetParameter(2u), _file);
            }
            if (const char* text = loader.FindParameter("TextFile"))
                ExpectFile(text, _file);
            for (const char* index : {"text", "tooltiptext"}) {
                if (const char* value = loader.FindParameter(index)) {
                    EXPECT_LT(static_cast<size_t>(std::atoi(value)), strings)
                        << _file << ": " << command << " " << loader.GetParameter(1u) << " " << index;
                }
            }
            if (key == "additem") {
                EXPECT_LT(static_cast<size_t>(loader.GetFloat(2u)), strings) << _file << ": AddItem";
            }
        }
    }

    archive_file_system_c files;
    kept_menu_messages_c messages;
    std::set<std::string> walked;
};

TEST_F(MenuDataSet, EveryFileTheMenuScriptsNameIsPresent)
{
    ExpectFile(kMenuList, "the menu state");
    script_loader_c list(kMenuList);
    size_t menus = 0;
    while (const char* command = list.ReadCommand()) {
        const std::string key = Lower(command);
        ASSERT_TRUE(key == "backgroundscene" || key == "addmenu") << "the menu list holds only its two commands";
        if (key == "backgroundscene") {
            ExpectFile(list.GetParameter(1u), kMenuList);
        } else {
            WalkMenuScript(list.GetParameter(2u), kMenuList);
            ++menus;
        }
    }
    EXPECT_EQ(menus, 14u);
}

TEST_F(MenuDataSet, FilesTheScreensReadByFixedNamesArePresent)
{
    for (const char* name :
         {"data\\common\\rank.txt", "data\\common\\dif.txt", "data\\common\\actions.txt",
          "data\\common\\career_missions_order.txt", "data\\common\\distinctions_order.txt",
          "DATA\\MENU\\CAREER\\select_mission_text.txt", "DATA\\MENU\\DIALOG\\create_pilot_text.txt",
          "DATA\\MENU\\DIALOG\\Remove_pilot_text.txt", "DATA\\MENU\\DIALOG\\new_plane_text.txt",
          "DATA\\MENU\\DIALOG\\new_rank_text.txt", "DATA\\MENU\\DIALOG\\new_plane_new_rank_text.txt",
          "DATA\\MENU\\DIALOG\\server_rejected_text.txt", "DATA\\MENU\\DIALOG\\Server_closed_connection_text.txt",
          "DATA\\MENU\\DIALOG\\Exit_multi_text.txt", "data\\menu\\dialog\\enter_controls_text.txt",
          "data\\menu\\dialog\\create_host_text.txt", "data\\menu\\sounds\\mainmenu.ogg",
          "data\\menu\\sounds\\career_menu.ogg", "data\\menu\\sounds\\multiplayer_menu.ogg"})
        ExpectFile(name, "the menu screens");
    script_loader_c order("data\\common\\distinctions_order.txt");
    size_t medals = 0;
    while (order.ReadCommand()) {
        ExpectFile(order.GetParameter(1u), "the distinction list");
        ++medals;
    }
    EXPECT_EQ(medals, 8u) << "the pilots' records count eight distinctions";
    career_order_c careers("data\\common\\career_missions_order.txt");
    const u32 none[20] = {};
    EXPECT_TRUE(careers.IsAvailable(0, none, 20)) << "the first career mission is open to a new pilot";
    EXPECT_FALSE(careers.IsAvailable(1, none, 20)) << "the second waits for the first";
}

// Every menu loads without a report from the menu library, and every
// control the screens address by name is found on its menu.
TEST_F(MenuDataSet, EveryMenuLoadsWithTheControlsTheScreensUse)
{
    null_renderer_c renderer;
    menu_manager_c manager(&renderer, nullptr);
    EXPECT_EQ(manager.Load(kMenuList, 0), 1.0f);
    for (const std::string& message : messages.Get())
        ADD_FAILURE() << "menu library: " << message;

    struct use_s {
        const char* menu;
        std::vector<const char*> controls;
    };
    const std::vector<use_s> uses = {
        {"Main", {"Training", "Career", "Multiplayer", "Pilot", "Options", "Exit"}},
        {"Pilot",
         {"PilotsList", "Input", "pilotdefaultname", "Poziom", "Login", "Back", "remove", "m1", "m8", "dupa1",
          "dupa8"}},
        {"Training",
         {"MissionDesc", "MissionObj", "MissionDesc_scroll", "pilot_name", "pilot_rank", "pilot_dif", "pilot_plane"}},
        {"Career",
         {"MissionDesc", "MissionObj", "MissionDesc_scroll", "pilot_name", "pilot_rank", "pilot_dif", "pilot_plane"}},
        {"SelPlane",
         {"plane_name", "plane_max_altitude", "plane_max_speed", "plane_handling", "plane_durability", "next", "prev",
          "back", "continue"}},
        {"Options",
         {"music_volume", "sound_volume", "mouse_speed", "gamma", "graphic_detaili", "FFire", "Controls", "resolution",
          "credits", "back"}},
        {"Credits", {"back"}},
        {"Multi",
         {"Refresh", "ServersList", "Input", "No_servers", "MaxPlayers", "MP_up", "MP_down", "HostName", "HostPass",
          "Port", "Host", "Join", "Back"}},
        {"Multi2",
         {"PlayerList", "ChatList", "ChatList_scroll", "chat", "Terrain", "GameMode", "GameTime", "BA", "BA_up",
          "BA_down", "BN", "BN_up", "BN_down", "Plane", "fly", "Back"}},
        {"Exit", {"Yes", "No"}},
        {"Dialog", {"Text"}},
        {"Dialog_OK", {"Text", "OK"}},
        {"Dialog_Yes_No", {"Text", "Yes", "No"}},
        {"Dialog_OK_list", {"list", "OK"}},
    };
    for (const use_s& use : uses) {
        any_menu_c* menu = manager.FindMenu(use.menu);
        ASSERT_NE(menu, nullptr) << use.menu;
        EXPECT_FALSE(menu->IsEnabled()) << use.menu << " starts hidden";
        for (const char* control : use.controls)
            EXPECT_NE(menu->FindControl(control), nullptr) << use.menu << ": " << control;
    }
    for (const char* mission : {"Training", "Career"}) {
        const dialog_chain_c* content = manager.FindMenu(mission)->FindDialogChain("Content");
        ASSERT_NE(content, nullptr) << mission;
        any_menu_c* list = content->FindMenu("C1");
        any_menu_c* briefing = content->FindMenu("C2");
        ASSERT_NE(list, nullptr) << mission;
        ASSERT_NE(briefing, nullptr) << mission;
        for (int n = 1; n <= 20; ++n)
            EXPECT_NE(list->FindControl(("B" + std::to_string(n)).c_str()), nullptr) << mission << " B" << n;
        for (const char* control : {"Continue", "back"})
            EXPECT_NE(list->FindControl(control), nullptr) << mission << " C1 " << control;
        for (const char* control : {"back", "Plane", "continue"})
            EXPECT_NE(briefing->FindControl(control), nullptr) << mission << " C2 " << control;
    }
    // The default name of a new pilot is a real name.
    EXPECT_FALSE(manager.FindMenu("Pilot")->ControlGetString("pilotdefaultname").IsEmpty());
}

TEST_F(MenuDataSet, TheGeneratorMakesEveryBodyAndMedal)
{
    null_renderer_c renderer;
    data_files_t made;
    MakeMenus(made, &renderer);
    for (const std::vector<std::string>& names : {MenuBodyFiles(), DistinctionFiles()})
        for (const std::string& name : names) {
            EXPECT_EQ(made.count(name), 1u) << name;
            ExpectFile(name, "the menu generator");
        }
    EXPECT_EQ(made.count(kMenuBackground), 1u);
    EXPECT_EQ(made.count(kMenuClickSound), 1u);
}

} // namespace
