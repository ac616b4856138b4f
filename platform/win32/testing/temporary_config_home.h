#pragma once
// Points $XDG_CONFIG_HOME at a fresh temporary folder for one test and
// removes the folder afterwards, so registry tests never touch the user's
// settings or each other's.
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

class temporary_config_home_c {
public:
    temporary_config_home_c()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "skyvarn-config-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("Cannot make a temporary config folder!");
        _path = pattern;
        const char* old = std::getenv("XDG_CONFIG_HOME");
        _hadOld = old != nullptr;
        if (old)
            _old = old;
        setenv("XDG_CONFIG_HOME", _path.c_str(), 1);
    }
    ~temporary_config_home_c()
    {
        if (_hadOld)
            setenv("XDG_CONFIG_HOME", _old.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(_path, ignored);
    }
    temporary_config_home_c(const temporary_config_home_c&) = delete;
    temporary_config_home_c& operator=(const temporary_config_home_c&) = delete;

    const std::filesystem::path& Path() const { return _path; }

private:
    std::filesystem::path _path;
    std::string _old;
    bool _hadOld = false;
};
