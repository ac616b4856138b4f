#include "platform/win32/registry_store.h"

#include "platform/win32/registry_store_format.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

struct registry_handle_s {
    std::string folder;
    REGSAM access;
};

registry_handle_s g_registryCurrentUserRoot{};

namespace {

constexpr char kStoreName[] = "values.reg";
// A store larger than this is not one we wrote.
constexpr u64 kMaxStoreSize = 256ull * 1024 * 1024;

using values_t = std::vector<registry_value_s>;

std::string ConfigHome()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.config";
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir && entry->pw_dir[0] == '/')
        return std::string(entry->pw_dir) + "/.config";
    return {};
}

// The folder below base for a key path, or empty when the path cannot name
// one. Parts are lower-cased so that paths differing in case meet.
std::string KeyFolder(const std::string& base, const char* path, bool dropSoftware)
{
    if (base.empty() || !path)
        return {};
    std::vector<std::string> parts;
    std::string part;
    for (const char* p = path;; ++p) {
        if (*p == '\\' || *p == 0) {
            parts.push_back(part);
            part.clear();
            if (*p == 0)
                break;
            continue;
        }
        if (*p == '/' || static_cast<unsigned char>(*p) < 0x20)
            return {};
        part += RegistryLowerAscii(*p);
    }
    if (dropSoftware && parts.size() > 1 && parts.front() == "software")
        parts.erase(parts.begin());
    std::string folder = base;
    for (const std::string& p : parts) {
        if (p.empty() || p == "." || p == "..")
            return {};
        folder += '/';
        folder += p;
    }
    return folder;
}

bool IsFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeFolders(const std::string& folder)
{
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string prefix = folder.substr(0, slash);
        if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    return IsFolder(folder);
}

class descriptor_c {
public:
    explicit descriptor_c(int fd) : _fd(fd) {}
    ~descriptor_c()
    {
        if (_fd >= 0)
            close(_fd);
    }
    descriptor_c(const descriptor_c&) = delete;
    descriptor_c& operator=(const descriptor_c&) = delete;
    int Get() const { return _fd; }
    // Closes now and reports whether the close succeeded.
    bool Close()
    {
        const int fd = _fd;
        _fd = -1;
        return close(fd) == 0;
    }

private:
    int _fd;
};

enum class store_state_e { missing, intact, damaged, unreadable };

store_state_e ReadStore(const std::string& file, values_t& values)
{
    values.clear();
    descriptor_c fd(open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0)
        return errno == ENOENT ? store_state_e::missing : store_state_e::unreadable;
    struct stat info;
    if (fstat(fd.Get(), &info) != 0)
        return store_state_e::unreadable;
    if (!S_ISREG(info.st_mode) || static_cast<u64>(info.st_size) > kMaxStoreSize)
        return store_state_e::damaged;
    std::vector<u8> bytes(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = read(fd.Get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return store_state_e::unreadable;
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    std::optional<values_t> parsed = ParseRegistryValues(bytes);
    if (!parsed)
        return store_state_e::damaged;
    values = std::move(*parsed);
    return store_state_e::intact;
}

bool WriteAll(int fd, const std::vector<u8>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Writes a temporary file beside the store, flushes it to the device and
// renames it over the store, then flushes the folder so the rename lasts.
bool ReplaceStore(const std::string& folder, const std::string& file, const values_t& values)
{
    std::string temporary = file + ".XXXXXX";
    descriptor_c fd(mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.Get() < 0)
        return false;
    const bool written = WriteAll(fd.Get(), SerializeRegistryValues(values)) && fsync(fd.Get()) == 0;
    if (!fd.Close() || !written || rename(temporary.c_str(), file.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    descriptor_c folderFd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.Get() >= 0)
        fsync(folderFd.Get());
    return true;
}

// Keeps a damaged store under a backup name that is not taken yet.
bool BackUpDamagedStore(const std::string& file)
{
    for (int n = 0; n < 1000; ++n) {
        const std::string backup = file + ".bak" + (n ? "." + std::to_string(n) : "");
        if (link(file.c_str(), backup.c_str()) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool IsOpenHandle(HKEY key)
{
    return key && key != HKEY_CURRENT_USER;
}

// The folder of a key path below the root, or empty when it names none. Only
// paths from the user's root start with the dropped "Software".
std::string FolderBelow(HKEY root, const char* path)
{
    if (root == HKEY_CURRENT_USER)
        return KeyFolder(ConfigHome(), path, true);
    return IsOpenHandle(root) ? KeyFolder(root->folder, path, false) : std::string();
}

i32 OpenOrCreate(HKEY root, const char* path, REGSAM access, HKEY* result, bool create, u32* disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    if (!root)
        return ERROR_INVALID_HANDLE;
    const std::string folder = FolderBelow(root, path);
    if (folder.empty())
        return ERROR_FILE_NOT_FOUND;
    const bool existed = IsFolder(folder);
    if (!existed && (!create || !MakeFolders(folder)))
        return create ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
    if (disposition)
        *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *result = new registry_handle_s{folder, access};
    return ERROR_SUCCESS;
}

} // namespace

std::string RegistryStoreFile(const char* path)
{
    const std::string folder = KeyFolder(ConfigHome(), path, true);
    return folder.empty() ? folder : folder + "/" + kStoreName;
}

i32 RegOpenKeyExA(HKEY root, const char* path, u32 options, REGSAM access, HKEY* result)
{
    (void)options;
    return OpenOrCreate(root, path, access, result, false, nullptr);
}

i32 RegCreateKeyExA(HKEY root, const char* path, u32 reserved, char* classText, u32 options, REGSAM access,
                    const void* security, HKEY* result, u32* disposition)
{
    if (reserved != 0 || classText || security || options != REG_OPTION_NON_VOLATILE) {
        if (result)
            *result = nullptr;
        return ERROR_INVALID_PARAMETER;
    }
    return OpenOrCreate(root, path, access, result, true, disposition);
}

i32 RegQueryValueExA(HKEY key, const char* name, u32* reserved, u32* type, u8* data, u32* size)
{
    if (!IsOpenHandle(key))
        return ERROR_INVALID_HANDLE;
    if (reserved || (data && !size))
        return ERROR_INVALID_PARAMETER;
    if (!(key->access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    values_t values;
    switch (ReadStore(key->folder + "/" + kStoreName, values)) {
    case store_state_e::missing: return ERROR_FILE_NOT_FOUND;
    case store_state_e::damaged: return ERROR_BADDB;
    case store_state_e::unreadable: return ERROR_ACCESS_DENIED;
    case store_state_e::intact: break;
    }
    for (const registry_value_s& v : values) {
        if (!RegistryNamesEqual(v.name, name ? name : ""))
            continue;
        if (type)
            *type = v.type;
        const u32 needed = static_cast<u32>(v.data.size());
        if (data && *size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        if (data && needed)
            std::memcpy(data, v.data.data(), needed);
        if (size)
            *size = needed;
        return ERROR_SUCCESS;
    }
    return ERROR_FILE_NOT_FOUND;
}

i32 RegSetValueExA(HKEY key, const char* name, u32 reserved, u32 type, const u8* data, u32 size)
{
    if (!IsOpenHandle(key))
        return ERROR_INVALID_HANDLE;
    if (reserved != 0 || (!data && size) || size > kRegistryMaxValueSize)
        return ERROR_INVALID_PARAMETER;
    if (name && std::strlen(name) > kRegistryMaxNameLength)
        return ERROR_INVALID_PARAMETER;
    if (!(key->access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;

    // One writer at a time per key, across processes, for the read-modify-write.
    descriptor_c folderLock(open(key->folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderLock.Get() < 0)
        return ERROR_CANTWRITE;
    while (flock(folderLock.Get(), LOCK_EX) != 0)
        if (errno != EINTR)
            return ERROR_CANTWRITE;

    const std::string file = key->folder + "/" + kStoreName;
    values_t values;
    switch (ReadStore(file, values)) {
    case store_state_e::missing:
    case store_state_e::intact: break;
    case store_state_e::damaged:
        if (!BackUpDamagedStore(file))
            return ERROR_CANTWRITE;
        values.clear();
        break;
    case store_state_e::unreadable: return ERROR_CANTWRITE;
    }
    const char* valueName = name ? name : "";
    registry_value_s* slot = nullptr;
    for (registry_value_s& v : values)
        if (RegistryNamesEqual(v.name, valueName))
            slot = &v;
    if (!slot) {
        values.push_back({valueName, 0, {}});
        slot = &values.back();
    }
    slot->type = type;
    slot->data.assign(data, data + size);
    return ReplaceStore(key->folder, file, values) ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

i32 RegCloseKey(HKEY key)
{
    if (key == HKEY_CURRENT_USER)
        return ERROR_SUCCESS;
    if (!key)
        return ERROR_INVALID_HANDLE;
    delete key;
    return ERROR_SUCCESS;
}
