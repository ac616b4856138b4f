#pragma once
// staged_file_writer_c: stores each file under a staging folder by its
// archive name ("data\\game\\hud\\digits.op" becomes
// <root>/data/game/hud/digits.op), making the folders on the way; each file
// is written whole or not at all. Current while it lives.
#include "foundation/file_writer.h"

#include <string>

class staged_file_writer_c : public file_writer_c {
public:
    explicit staged_file_writer_c(const std::string& _root) : root(_root) {}
    int Write(const char* _name, const void* _data, u32 _size) override;

    // The path on disk of an archive name.
    std::string DiskPath(const char* _name) const;

private:
    std::string root;
};
