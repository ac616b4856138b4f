#include "menu/tool_tip.h"

#include "engine/font_handle.h"
#include "engine/scene.h"
#include "foundation/script_loader.h"
#include "menu/menu_control_keys.h"

ToolTip::ToolTip(const char* _script_file, renderer_c* _renderer, sound_system_c* _sound_system,
                 menu_string_table_c* _string_table)
    : any_menu_control_c("ToolTip", _script_file, _renderer, _sound_system, _string_table)
{
    ProcessScript();
}

ToolTip::~ToolTip() = default;

void ToolTip::ProcessScript()
{
    while (const char* key = ReadScriptCommand()) {
        const command_c& command = GetScript();
        const string_c keyword(key);
        if (keyword == "Charset") {
            font = ReadMenuFont(command, renderer);
        } else if (keyword == "CharsetColor") {
            color = ReadMenuColor(command);
        } else if (keyword == "Time") {
            fadeInTime = command.GetFloat("fadein");
            delay = command.GetFloat("delay");
        } else if (keyword == "Offset") {
            offsetX = command.GetFloat("x");
            offsetY = command.GetFloat("y");
        } else if (keyword == "BodyFile") {
            bodyScene = LoadMenuBodyScene(command.GetParameter(1u), renderer);
        }
    }
}

void ToolTip::Process(f32 _time, f32 _x, f32 _y, const char* _text)
{
    hasText = _text != nullptr;
    text = _text;
    if (!_text)
        return;
    box.left = _x + offsetX;
    box.top = _y + offsetY;
    box.right = box.left + (font ? font->GetTextWidth(_text) : 0.0f);
    box.bottom = box.top + (font ? font->GetLineHeight() : 0.0f);
    box.left -= margin;
    box.top -= margin;
    box.right += margin;
    box.bottom += margin;
    if (box.right > 1.0f) {
        box.left -= box.right - 1.0f;
        box.right = 1.0f;
    }
    if (box.bottom > 1.0f) {
        box.top -= box.bottom - 1.0f;
        box.bottom = 1.0f;
    }
    if (box.left < 0.0f) {
        box.right -= box.left;
        box.left = 0.0f;
    }
    if (box.top < 0.0f) {
        box.bottom -= box.top;
        box.top = 0.0f;
    }
    if (bodyScene) {
        PlaceMenuScene(*bodyScene, box);
        bodyScene->dissolve = transparency;
        AnimateMenuScene(*bodyScene, _time);
    }
    box.left += margin;
    box.top += margin;
    box.right -= margin;
    box.bottom -= margin;
}

void ToolTip::Render()
{
    if (!font || !hasText)
        return;
    if (bodyScene)
        bodyScene->Render();
    font->DrawText(box.left, box.top, text, color, transparency, 0);
}
