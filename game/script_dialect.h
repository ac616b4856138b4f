#pragma once
// Mission scripts are written for the older interpreter dialect; the host
// runs them on the newer one after this rewrite, which touches only what
// the two read differently, outside strings and comments:
//   - an upvalue "%name" becomes "name" (the older dialect has no "%"
//     operator, so a "%" before a name is always an upvalue);
//   - the table loop "for k, v in t do" becomes "for k, v in
//     script_next_name, t do", script_next_name being the iterator the host
//     provides (the scripts have no standard library);
//   - a line comment that starts with "--[" becomes "-- [", which the newer
//     dialect would otherwise read as a block comment.
// Everything else is copied unchanged, so line numbers stay the same.
#include <string>

inline constexpr const char* script_next_name = "__next";

std::string RewriteOldDialect(const std::string& _text);
