#include "platform/win32/process.h"

#include <unistd.h>

#include <cstring>
#include <vector>

namespace {

std::string& ReplacedPath()
{
    static std::string path;
    return path;
}

std::string OwnPath()
{
    if (!ReplacedPath().empty())
        return ReplacedPath();
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<size_t>(length) >= buffer.size())
        return {};
    return std::string(buffer.data(), static_cast<size_t>(length));
}

} // namespace

DWORD GetModuleFileNameA(HINSTANCE, char* _buffer, DWORD _size)
{
    const std::string path = OwnPath();
    if (path.empty() || _buffer == nullptr || path.size() >= _size)
        return 0;
    std::memcpy(_buffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

BOOL SetCurrentDirectoryA(const char* _path)
{
    return _path != nullptr && chdir(_path) == 0 ? 1 : 0;
}

DWORD GetCurrentDirectoryA(DWORD _size, char* _buffer)
{
    std::vector<char> buffer(4096);
    if (getcwd(buffer.data(), buffer.size()) == nullptr)
        return 0;
    const size_t length = std::strlen(buffer.data());
    if (_buffer == nullptr || length >= _size)
        return static_cast<DWORD>(length + 1);
    std::memcpy(_buffer, buffer.data(), length + 1);
    return static_cast<DWORD>(length);
}

void ReplaceModuleFileName(std::string _path)
{
    ReplacedPath() = std::move(_path);
}
