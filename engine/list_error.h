#pragma once
// list_error_c: an item reference or list position that names nothing. The
// item's text (the reference or index in decimal) travels beside the message.
#include "foundation/text_string.h"

#include <stdexcept>

class list_error_c : public std::runtime_error {
public:
    list_error_c(const char* _message, const string_c& _item) : std::runtime_error(_message), item(_item) {}

    const string_c& GetItem() const { return item; }

private:
    string_c item;
};
