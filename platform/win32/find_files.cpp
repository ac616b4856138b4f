#include "platform/win32/find_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct search_c {
    std::string folder;
    std::vector<std::string> names;
    std::size_t next = 0;
};

std::mutex searches_lock;
std::map<std::intptr_t, search_c> searches;
std::intptr_t next_handle = 1;

char Lower(char _c)
{
    return (_c >= 'A' && _c <= 'Z') ? static_cast<char>(_c - 'A' + 'a') : _c;
}

bool Matches(const char* _pattern, const char* _name)
{
    // Iterative wildcard match with one back-track point for the last '*'.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*_name != '\0') {
        if (*_pattern == '*') {
            star = _pattern++;
            resume = _name;
        } else if (*_pattern == '?' || (*_pattern != '\0' && Lower(*_pattern) == Lower(*_name))) {
            ++_pattern;
            ++_name;
        } else if (star != nullptr) {
            _pattern = star + 1;
            _name = ++resume;
        } else {
            return false;
        }
    }
    while (*_pattern == '*')
        ++_pattern;
    return *_pattern == '\0';
}

void Fill(const search_c& _search, const std::string& _name, _finddata_t* _data)
{
    *_data = _finddata_t{};
    std::strncpy(_data->name, _name.c_str(), sizeof _data->name - 1);
    struct stat info;
    const std::string path = _search.folder.empty() ? _name : _search.folder + "/" + _name;
    if (stat(path.c_str(), &info) == 0) {
        _data->attrib = S_ISDIR(info.st_mode) ? _A_SUBDIR : _A_NORMAL;
        _data->size = static_cast<std::size_t>(info.st_size);
        _data->time_create = info.st_ctime;
        _data->time_access = info.st_atime;
        _data->time_write = info.st_mtime;
    }
}

} // namespace

bool FindPatternMatches(const char* _pattern, const char* _name)
{
    return _pattern != nullptr && _name != nullptr && Matches(_pattern, _name);
}

std::intptr_t _findfirst(const char* _pattern, _finddata_t* _data)
{
    if (_pattern == nullptr || _data == nullptr) {
        errno = EINVAL;
        return -1;
    }
    std::string path(_pattern);
    std::replace(path.begin(), path.end(), '\\', '/');
    const std::size_t slash = path.rfind('/');
    search_c search;
    std::string namePattern = path;
    if (slash != std::string::npos) {
        search.folder = slash == 0 ? std::string(1, '/') : path.substr(0, slash);
        namePattern = path.substr(slash + 1);
    }
    std::error_code error;
    std::filesystem::directory_iterator it(search.folder.empty() ? "." : search.folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (Matches(namePattern.c_str(), name.c_str()))
            search.names.push_back(name);
    }
    if (search.names.empty()) {
        errno = ENOENT;
        return -1;
    }
    std::sort(search.names.begin(), search.names.end());
    Fill(search, search.names[0], _data);
    search.next = 1;
    std::lock_guard<std::mutex> lock(searches_lock);
    const std::intptr_t handle = next_handle++;
    searches.emplace(handle, std::move(search));
    return handle;
}

int _findnext(std::intptr_t _handle, _finddata_t* _data)
{
    std::lock_guard<std::mutex> lock(searches_lock);
    const auto found = searches.find(_handle);
    if (found == searches.end() || _data == nullptr) {
        errno = EINVAL;
        return -1;
    }
    search_c& search = found->second;
    if (search.next >= search.names.size()) {
        errno = ENOENT;
        return -1;
    }
    Fill(search, search.names[search.next++], _data);
    return 0;
}

int _findclose(std::intptr_t _handle)
{
    std::lock_guard<std::mutex> lock(searches_lock);
    if (searches.erase(_handle) == 0) {
        errno = EINVAL;
        return -1;
    }
    return 0;
}
