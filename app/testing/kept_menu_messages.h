#pragma once
// The menu library's reports kept for the test instead of shown, from
// construction until destruction gives the handler before back. One at a
// time: the library's handler is a plain function.
#include "menu/menu_message.h"

#include <string>
#include <vector>

class kept_menu_messages_c {
public:
    kept_menu_messages_c();
    ~kept_menu_messages_c();
    kept_menu_messages_c(const kept_menu_messages_c&) = delete;
    kept_menu_messages_c& operator=(const kept_menu_messages_c&) = delete;

    const std::vector<std::string>& Get() const { return messages; }

private:
    static void Keep(const char* _text);

    std::vector<std::string> messages;
    menu_message_handler_f previous = nullptr;
};
