#pragma once
// A file system over files held in memory, current while it lives.
#include <map>
#include <string>
#include <vector>

#include "audio/sound_system.h"
#include "foundation/file_error.h"
#include "foundation/file_system.h"

namespace audio_testing {

class memory_file_system_c : public file_system_c {
public:
    void Add(const std::string& name, std::vector<u8> bytes) { _files[name] = std::move(bytes); }
    u32 GetSize(const char* name) override;
    u32 Load(const char* name, void* buffer, u32 bufferSize) override;

private:
    const std::vector<u8>& Find(const char* name) const;
    std::map<std::string, std::vector<u8>> _files;
};

// Constructs a source of type source_t on the named bytes and returns
// "<file name>|<message>" of the file_error_c it throws, or "no error".
template <typename source_t>
std::string SourceFailure(const char* name, const std::vector<u8>& bytes)
{
    memory_file_system_c files;
    files.Add(name, bytes);
    sound_system_c system(0);
    try {
        source_t source(&system, name, 0);
    } catch (const file_error_c& e) {
        return std::string(e.GetFileName().GetData()) + "|" + e.what();
    }
    return "no error";
}

// Reads `bytes` from the source and from a clone made after that read; the
// clone starts over, so both reads give the same bytes.
bool CloneReadsTheSame(sound_source_c& source, u32 bytes);

} // namespace audio_testing
