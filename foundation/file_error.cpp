#include "foundation/file_error.h"

file_error_c::file_error_c(const string_c& fileName, const char* message)
    : std::runtime_error(message ? message : ""), fileName(fileName)
{}
