#include "menu/menu_message.h"

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
