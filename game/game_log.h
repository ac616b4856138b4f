#pragma once
// game_log_c: where the running game reports what went wrong without
// stopping (script errors, skipped data). Lines are kept in order and, when
// echo is on, also written to stderr.
#include <string>
#include <vector>

class game_log_c {
public:
    explicit game_log_c(bool _echo = true) : echo(_echo) {}

    void Write(const std::string& _line);
    const std::vector<std::string>& GetLines() const { return lines; }

private:
    bool echo;
    std::vector<std::string> lines;
};
