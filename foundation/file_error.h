#pragma once
// file_error_c: what every file and format failure of the system throws. The
// message (what()) is the error text, such as "Unexpected end of file!"; the
// file name travels beside it so the top level can show which file failed.
#include <stdexcept>

#include "foundation/text_string.h"

class file_error_c : public std::runtime_error {
public:
    file_error_c(const string_c& fileName, const char* message);

    const string_c& GetFileName() const { return fileName; }

private:
    string_c fileName;
};
