#pragma once
// The failure of the sound device: its set-up or the making of a sound's
// device buffer. Operations after construction never throw.
#include <stdexcept>

class a3d_error_c : public std::runtime_error {
public:
    explicit a3d_error_c(const char* _message) : std::runtime_error(_message) {}
};
