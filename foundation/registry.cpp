#include "foundation/registry.h"

#include <cstring>

void registry_key_c::Assign(HKEY key, REGSAM access)
{
    Close();
    _key = key;
    _access = key ? access : 0;
}

void registry_key_c::Close()
{
    if (_key)
        RegCloseKey(_key);
    _key = nullptr;
    _access = 0;
}

void registry_reader_c::Open(HKEY root, const char* path)
{
    Close();
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) == ERROR_SUCCESS)
        Assign(key, KEY_READ);
}

bool registry_reader_c::GetDword(const char* name, u32* out) const
{
    u32 type = REG_NONE;
    u32 size = 4;
    u32 value = 0;
    const bool ok =
        _key && RegQueryValueExA(_key, name, nullptr, &type, reinterpret_cast<u8*>(&value), &size) == ERROR_SUCCESS &&
        type == REG_DWORD && size == 4;
    *out = ok ? value : 0;
    return ok;
}

bool registry_reader_c::GetString(const char* name, char* buffer, u32 maxLength) const
{
    buffer[0] = 0;
    if (!_key || maxLength == 0xFFFFFFFF)
        return false;
    u32 type = REG_NONE;
    u32 size = maxLength + 1;
    if (RegQueryValueExA(_key, name, nullptr, &type, reinterpret_cast<u8*>(buffer), &size) != ERROR_SUCCESS ||
        type != REG_SZ || size > maxLength + 1) {
        buffer[0] = 0;
        return false;
    }
    // The text ends at its first terminator or at the value's end; a value
    // of maxLength + 1 characters without one is longer than allowed.
    const u32 length = static_cast<u32>(strnlen(buffer, size));
    if (length > maxLength) {
        buffer[0] = 0;
        return false;
    }
    buffer[length] = 0;
    return true;
}

bool registry_reader_c::GetBinary(const char* name, void* buffer, u32 size) const
{
    u32 type = REG_NONE;
    u32 got = size;
    const bool ok = _key &&
                    RegQueryValueExA(_key, name, nullptr, &type, static_cast<u8*>(buffer), &got) == ERROR_SUCCESS &&
                    type == REG_BINARY && got == size;
    if (!ok && size)
        std::memset(buffer, 0, size);
    return ok;
}

void registry_writer_c::Create(HKEY root, const char* path)
{
    Close();
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS)
        Assign(key, KEY_WRITE);
}

bool registry_writer_c::Set(const char* name, u32 type, const void* data, u32 size)
{
    return _key && RegSetValueExA(_key, name, 0, type, static_cast<const u8*>(data), size) == ERROR_SUCCESS;
}

bool registry_writer_c::SetDword(const char* name, u32 value)
{
    return Set(name, REG_DWORD, &value, 4);
}

bool registry_writer_c::SetString(const char* name, const char* text)
{
    const size_t length = std::strlen(text);
    if (length >= kRegistryMaxValueSize)
        return false;
    return Set(name, REG_SZ, text, static_cast<u32>(length + 1));
}

bool registry_writer_c::SetBinary(const char* name, const void* data, u32 size)
{
    return Set(name, REG_BINARY, data, size);
}

std::string RegistryKeyPath(const char* company, const char* product)
{
    return std::string("Software\\") + company + "\\" + product;
}
