#pragma once
// A fresh folder under the system's temporary folder for one test, removed
// with everything in it when the object dies.
#include <string>
#include <vector>

#include "foundation/types.h"

class scratch_folder_c {
public:
    scratch_folder_c();
    ~scratch_folder_c();
    scratch_folder_c(const scratch_folder_c&) = delete;
    scratch_folder_c& operator=(const scratch_folder_c&) = delete;

    // The folder's disk path with '/' separators and no trailing one.
    const std::string& GetPath() const { return path; }
    // path + "/" + relative (relative may use '/').
    std::string Path(const std::string& relative) const;
    // Writes a file (making its folders); returns its disk path.
    std::string WriteFile(const std::string& relative, const std::string& bytes) const;
    std::string WriteFile(const std::string& relative, const std::vector<u8>& bytes) const;
    // The bytes of a file; throws std::runtime_error when unreadable.
    std::string ReadFile(const std::string& relative) const;

private:
    std::string path;
};
