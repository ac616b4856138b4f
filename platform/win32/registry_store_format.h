#pragma once
// The bytes of a registry store file (all words little-endian):
//   "SKVREG01", u32 count, then count values of
//   { u32 name length, the name's bytes (no NUL), u32 type, u32 size, the data },
//   then a 64-bit FNV-1a checksum of everything before it.
// A file that breaks any rule is damaged or not ours and parses to nothing.
#include <optional>
#include <string>
#include <vector>

#include "foundation/types.h"

struct registry_value_s {
    std::string name;
    u32 type;
    std::vector<u8> data;
};

// Longest value name the store keeps.
inline constexpr u32 kRegistryMaxNameLength = 16383;

std::vector<u8> SerializeRegistryValues(const std::vector<registry_value_s>& values);

// The values, or nothing when the bytes are damaged or foreign: wrong magic
// or checksum, a count, length or size that runs past the end, bytes left
// over, a name with a NUL, or two names equal but for ASCII case.
std::optional<std::vector<registry_value_s>> ParseRegistryValues(const std::vector<u8>& bytes);

// Appends the checksum that closes a store file.
void SealRegistryStore(std::vector<u8>& body);

char RegistryLowerAscii(char c);
// Value names compare without regard to ASCII case.
bool RegistryNamesEqual(const std::string& a, const char* b);
