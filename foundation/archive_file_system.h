#pragma once
// archive_file_system_c: the file system of a whole run, reading from two QZA
// archives (the application opens "data.qza" and "data1.qza"). A name is
// looked up in the second archive first, then in the first; loose files on
// disk are not consulted, and a name in neither throws "File does not
// exist!" with that name. While it lives the current directory is empty, so
// names resolve from the archive root.
#include <memory>

#include "foundation/archive.h"
#include "foundation/file_system.h"
#include "foundation/path.h"

class archive_file_system_c : public file_system_c {
public:
    // secondaryName may be null. Errors opening either archive propagate.
    archive_file_system_c(const char* primaryName, const char* secondaryName);
    ~archive_file_system_c() override;

    u32 GetSize(const char* name) override;
    u32 Load(const char* name, void* buffer, u32 bufferSize) override;

    archive_c& GetPrimary() { return *primary; }
    archive_c* GetSecondary() { return secondary.get(); }

private:
    // The archive holding name and its entry; throws when neither has it.
    std::pair<archive_c*, const archive_entry_c*> Locate(const char* name);

    directory_cache_c guard;
    std::unique_ptr<archive_c> primary;
    std::unique_ptr<archive_c> secondary;
};
