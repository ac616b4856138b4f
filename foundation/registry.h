#pragma once
// Typed access to the program's settings in the per-user registry. A reader
// or writer is made on the stack for one load or save; its destruction
// closes the key. Nothing throws: a key that cannot be opened or created
// leaves the object keyless, and then every operation answers false.
//
// Reads are all or nothing: a value that is missing, of another type or of
// another size than asked for is treated as absent, and the output is
// cleared (0, an empty string, or a zeroed buffer).
#include <string>

#include "foundation/types.h"
#include "platform/win32/registry_store.h"

class registry_key_c {
public:
    registry_key_c() = default;
    virtual ~registry_key_c() { Close(); }
    registry_key_c(const registry_key_c&) = delete;
    registry_key_c& operator=(const registry_key_c&) = delete;

    // Takes ownership of an open key (closing the one held before).
    void Assign(HKEY key, REGSAM access);
    void Close();

    bool IsOpen() const { return _key != nullptr; }
    REGSAM GetAccess() const { return _access; }

protected:
    HKEY _key = nullptr;
    REGSAM _access = 0;
};

class registry_reader_c : public virtual registry_key_c {
public:
    registry_reader_c() = default;
    registry_reader_c(HKEY root, const char* path) { Open(root, path); }

    // Closes any open key, then opens path below root for reading.
    void Open(HKEY root, const char* path);

    // True only for a REG_DWORD of 4 bytes; otherwise *out = 0.
    bool GetDword(const char* name, u32* out) const;
    // buffer holds maxLength + 1 bytes. True only for a REG_SZ whose text
    // fits in maxLength characters; the text is always terminated, even when
    // the stored value lacks its terminator. Otherwise buffer[0] = 0.
    bool GetString(const char* name, char* buffer, u32 maxLength) const;
    // True only for a REG_BINARY of exactly size bytes; otherwise the whole
    // buffer is zeroed.
    bool GetBinary(const char* name, void* buffer, u32 size) const;
};

class registry_writer_c : public virtual registry_key_c {
public:
    registry_writer_c() = default;
    registry_writer_c(HKEY root, const char* path) { Create(root, path); }

    // Closes any open key, then opens path below root for writing, creating
    // it when missing.
    void Create(HKEY root, const char* path);

    // REG_DWORD, 4 bytes.
    bool SetDword(const char* name, u32 value);
    // REG_SZ, strlen + 1 bytes (the terminator included).
    bool SetString(const char* name, const char* text);
    // REG_BINARY, size bytes.
    bool SetBinary(const char* name, const void* data, u32 size);

private:
    bool Set(const char* name, u32 type, const void* data, u32 size);
};

// The program's key path, "Software\<company>\<product>".
std::string RegistryKeyPath(const char* company, const char* product);

inline constexpr char kRegistryCompany[] = "Kestrova";
inline constexpr char kRegistryProduct[] = "Skyvarn";
