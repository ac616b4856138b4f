#include "app/testing/kept_menu_messages.h"

#include <stdexcept>

namespace {

kept_menu_messages_c* g_keeper = nullptr;

} // namespace

kept_menu_messages_c::kept_menu_messages_c()
{
    if (g_keeper)
        throw std::logic_error("menu messages are kept by another keeper already");
    g_keeper = this;
    previous = SetMenuMessageHandler(Keep);
}

kept_menu_messages_c::~kept_menu_messages_c()
{
    SetMenuMessageHandler(previous);
    g_keeper = nullptr;
}

void kept_menu_messages_c::Keep(const char* _text)
{
    g_keeper->messages.emplace_back(_text);
}
