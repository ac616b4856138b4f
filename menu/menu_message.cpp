#include "menu/menu_message.h"

#include "foundation/command.h"

#include <cstdio>

namespace {
void PrintMessage(const char* _text)
{
    std::fprintf(stderr, "%s\n", _text ? _text : "");
}

menu_message_handler_f messageHandler = PrintMessage;
}

void MenuMessage(const char* _text)
{
    messageHandler(_text ? _text : "");
}

menu_message_handler_f SetMenuMessageHandler(menu_message_handler_f _handler)
{
    const menu_message_handler_f previous = messageHandler;
    messageHandler = _handler ? _handler : PrintMessage;
    return previous;
}

void MenuScriptMessage(const command_error_c& _error, const char* _file_name)
{
    string_c text(_error.GetFileName().IsEmpty() ? string_c(_file_name) : _error.GetFileName());
    text += " - ";
    text += _error.GetCommand();
    text += " ";
    text += _error.GetParameterName();
    text += " - ";
    text += _error.what();
    MenuMessage(text);
}
