// Reads the input as a set of menu files and drives what loads. The input is
// cut at each "\n@@\n" into the menu script "menu.txt", the control scripts
// "a.txt" and "b.txt" and the text file "s.txt" (string table and text-window
// page); every other name is missing. The same parts are read once more as a
// menu list. Broken data must end in file_error_c (or the renderer's refusal
// of a font without size), never in a crash, a hang or a read past a table.
#include "foundation/file_error.h"
#include "foundation/file_system.h"
#include "menu/any_menu.h"
#include "menu/any_menu_control.h"
#include "menu/menu_manager.h"
#include "menu/menu_message.h"
#include "menu/menu_string_table.h"
#include "menu/text_window.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>

// The recording renderer is a test helper outside the engine library; its
// fonts measure every character, so wrapping and placing do real work.
#include "engine/testing/recording_renderer.cpp"

namespace {
class parts_file_system_c : public file_system_c {
public:
    std::map<std::string, std::string> files;

    u32 GetSize(const char* _name) override { return static_cast<u32>(Find(_name).size()); }
    u32 Load(const char* _name, void* _buffer, u32 _size) override
    {
        const std::string& text = Find(_name);
        if (text.size() > _size)
            throw file_error_c(_name, "Out of buffer!");
        if (!text.empty())
            std::memcpy(_buffer, text.data(), text.size());
        return static_cast<u32>(text.size());
    }

private:
    const std::string& Find(const char* _name) const
    {
        const auto found = files.find(_name);
        if (found == files.end())
            throw file_error_c(_name, "File does not exist!");
        return found->second;
    }
};

void Quiet(const char*) {}

void Drive(any_menu_c& _menu)
{
    _menu.Process(0.5f);
    _menu.OnMouseMove(0.25f, 0.25f, 0, 0);
    _menu.Process(1.0f);
    _menu.OnLeftButtonDown();
    _menu.OnLeftClick();
    for (u32 c : {u32('a'), u32('7'), u32(' '), u32('~'), 0x0Du, 0x25u, 0x2Eu, 0x08u})
        _menu.OnChar(c);
    _menu.OnKeyDown(0x0D);
    _menu.OnMouseWheel(-2);
    _menu.SetTransition(0.5f);
    _menu.Process(2.0f);
    _menu.Render();
    for (const auto& control : _menu.GetControls()) {
        const char* name = control->GetName();
        _menu.ControlSetState(name, "12345678901234567890");
        _menu.ControlSetState(name, 1.5f);
        _menu.ControlSetState(name, -3);
        _menu.ControlGetString(name);
        _menu.ControlIsDisabled(name);
        if (auto* window = dynamic_cast<TextWindowControl*>(control.get())) {
            window->LoadTextFile("s.txt");
            window->SetScrollBar(2.0f);
            window->NeedsScrollBar();
        }
    }
    _menu.Process(3.0f);
    _menu.Render();
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = (SetMenuMessageHandler(Quiet), true);
    (void)quiet;
    // Every chained menu reads its whole script, so file sizes multiply:
    // small inputs keep a run short.
    if (size > 1500)
        return 0;
    const std::string input(reinterpret_cast<const char*>(data), size);
    parts_file_system_c files;
    const char* const names[] = {"menu.txt", "a.txt", "b.txt", "s.txt"};
    size_t start = 0;
    for (const char* name : names) {
        const size_t end = input.find("\n@@\n", start);
        files.files[name] = input.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (end == std::string::npos)
            break;
        start = end + 4;
    }
    recording_renderer_c renderer(640, 480);

    menu_string_table_c table;
    table.AppendFile("s.txt");
    for (i32 index = -1; index <= static_cast<i32>(table.GetCount()); ++index)
        table.Find(index);

    try {
        any_menu_c menu("Fuzz", &renderer, nullptr);
        menu.LoadScript("menu.txt", 0);
        Drive(menu);
    } catch (const file_error_c&) {
    } catch (const std::runtime_error&) {}

    try {
        menu_manager_c manager(&renderer, nullptr);
        f32 share = 0.0f;
        for (int call = 0; call < 64 && share < 1.0f; ++call)
            share = manager.Load("menu.txt", 1);
        if (share < 0.0f || share > 1.0f)
            __builtin_trap();
        manager.Update(0.0f);
        if (!manager.GetMenus().empty()) {
            const char* first = manager.GetMenus().front()->GetName();
            manager.SetMenu(first);
            manager.CrossSwitchMenu(first, 0.5f);
            manager.ShowDialog(first, 0.0f);
        }
        manager.OnMouseMove(0.5f, 0.5f, 0, 0);
        manager.OnKeyDown(0x1B);
        manager.Update(1.0f);
        manager.Render(true);
    } catch (const file_error_c&) {
    } catch (const std::runtime_error&) {}
    return 0;
}
