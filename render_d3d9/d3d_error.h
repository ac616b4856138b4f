#pragma once
// d3d_error_c: every failure of the renderer, a full sentence ending in "!"
// ("Could not create texture!"). Only a misuse of the programming interface
// throws std::invalid_argument instead.
#include <stdexcept>

class d3d_error_c : public std::runtime_error {
public:
    explicit d3d_error_c(const char* _text) : std::runtime_error(_text) {}
};
