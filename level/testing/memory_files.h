#pragma once
// Test doubles for the current file system and file writer: files live in a
// map keyed by their full name, so tests never touch the disk.
#include "foundation/file_system.h"
#include "foundation/file_writer.h"
#include "foundation/types.h"

#include <map>
#include <string>
#include <vector>

class memory_file_system_c : public file_system_c {
public:
    u32 GetSize(const char* _name) override;
    u32 Load(const char* _name, void* _buffer, u32 _size) override;

    std::map<std::string, std::vector<u8>> files;
};

class memory_file_writer_c : public file_writer_c {
public:
    int Write(const char* _name, const void* _data, u32 _size) override;

    std::map<std::string, std::vector<u8>> files;
};
