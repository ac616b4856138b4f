#pragma once
// The menu tests' world: menu scripts, control scripts, string tables and
// scenes held in memory files, a recording renderer of 1000 x 1000 pixels
// whose fonts are 10 pixels (0.01) a character wide in the first text form,
// 20 (0.02) in the second, and 20 (0.02) high, and every MenuMessage
// collected instead of shown.
#include "engine/testing/memory_file_system.h"
#include "engine/testing/recording_renderer.h"
#include "menu/menu_message.h"

#include <initializer_list>
#include <string>
#include <vector>

class menu_fixture_c {
public:
    memory_file_system_c files;
    recording_renderer_c renderer{1000, 1000};

    menu_fixture_c();
    ~menu_fixture_c();
    menu_fixture_c(const menu_fixture_c&) = delete;
    menu_fixture_c& operator=(const menu_fixture_c&) = delete;

    void AddText(const std::string& _name, const std::string& _text);
    // A scene with one camera, stored in the engine's format; the viewport
    // makes its drawing recognisable among the renderer's calls.
    void AddScene(const std::string& _name, f32 _x = 0.0f, f32 _y = 0.0f, f32 _width = 1.0f, f32 _height = 1.0f);

    // The parts joined into one text.
    static std::string Script(std::initializer_list<const char*> _parts);
    // The messages shown since the last call, then forgotten.
    static std::vector<std::string> TakeMessages();
    // The texts of the renderer's DrawText and DrawTextB calls, in order.
    std::vector<std::string> DrawnTexts() const;
    // The pixel positions (x, y) of the drawn texts, in order.
    std::vector<std::pair<i32, i32>> DrawnPositions() const;

private:
    menu_message_handler_f previousHandler;
};
