#include "menu/testing/menu_fixture.h"

#include "engine/scene.h"
#include "foundation/memory_file.h"

namespace {
std::vector<std::string>& Messages()
{
    static std::vector<std::string> messages;
    return messages;
}

void CollectMessage(const char* _text)
{
    Messages().emplace_back(_text);
}
}

menu_fixture_c::menu_fixture_c() : previousHandler(SetMenuMessageHandler(CollectMessage))
{
    Messages().clear();
}

menu_fixture_c::~menu_fixture_c()
{
    SetMenuMessageHandler(previousHandler);
}

void menu_fixture_c::AddText(const std::string& _name, const std::string& _text)
{
    files.Add(_name, std::vector<u8>(_text.begin(), _text.end()));
}

void menu_fixture_c::AddScene(const std::string& _name, f32 _x, f32 _y, f32 _width, f32 _height)
{
    scene_c scene("scene", &renderer);
    scene.CreateCamera("camera");
    scene.SetViewport(_x, _y, _width, _height);
    output_file_c out;
    scene.Write(out);
    files.Add(_name, out);
}

std::string menu_fixture_c::Script(std::initializer_list<const char*> _parts)
{
    std::string text;
    for (const char* part : _parts)
        text.append(part);
    return text;
}

std::vector<std::string> menu_fixture_c::TakeMessages()
{
    std::vector<std::string> taken;
    taken.swap(Messages());
    return taken;
}

std::vector<std::string> menu_fixture_c::DrawnTexts() const
{
    std::vector<std::string> texts;
    for (const recorded_call_c& call : renderer.calls)
        if (call.name == "DrawText" || call.name == "DrawTextB")
            texts.push_back(call.text);
    return texts;
}

std::vector<std::pair<i32, i32>> menu_fixture_c::DrawnPositions() const
{
    std::vector<std::pair<i32, i32>> positions;
    for (const recorded_call_c& call : renderer.calls)
        if (call.name == "DrawText" || call.name == "DrawTextB")
            positions.emplace_back(static_cast<i32>(call.numbers[0]), static_cast<i32>(call.numbers[1]));
    return positions;
}
