#pragma once
// Runs f, which should throw file_error_c, and returns "<file name>|<message>"
// for comparing with the expected pair; "no error" when nothing was thrown.
#include <string>

#include "foundation/file_error.h"

template <typename F>
std::string FileFailure(F f)
{
    try {
        f();
    } catch (const file_error_c& e) {
        return std::string(e.GetFileName().GetData()) + "|" + e.what();
    }
    return "no error";
}
