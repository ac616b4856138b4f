#pragma once
// memory_file_system_c: files held in memory, current while it lives, so tests
// can load by name without touching the disk. Names are the full paths the
// memory files ask for (path_c form).
#include "foundation/file_system.h"
#include "foundation/types.h"

#include <map>
#include <string>
#include <vector>

class output_file_c;

class memory_file_system_c : public file_system_c {
public:
    std::map<std::string, std::vector<u8>> files;

    void Add(const std::string& _name, std::vector<u8> _bytes) { files[_name] = std::move(_bytes); }
    void Add(const std::string& _name, const output_file_c& _bytes);

    // A missing name throws file_error_c "File does not exist!".
    u32 GetSize(const char* _name) override;
    u32 Load(const char* _name, void* _buffer, u32 _buffer_size) override;

private:
    const std::vector<u8>& Find(const char* _name) const;
};
