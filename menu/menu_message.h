#pragma once
// MenuMessage: the menu library's one error report. A missing control, a bad
// string index or a misspelt menu-script line is shown to the user and the
// caller carries on. The shell installs a handler that opens a modal message
// box without caption; until one is installed the text goes to standard
// error, so tools and tests never block on a box.
using menu_message_handler_f = void (*)(const char* _text);

void MenuMessage(const char* _text);
// Returns the handler that was installed; null restores the default.
menu_message_handler_f SetMenuMessageHandler(menu_message_handler_f _handler);

class command_error_c;

// Reports a script line that lacks a required parameter: the file (the
// error's own when it knows one, else _file_name), " - ", the command, the
// parameter, " - " and the error's text.
void MenuScriptMessage(const command_error_c& _error, const char* _file_name);
