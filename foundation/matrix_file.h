#pragma once
// mat4x3_c in memory files: twelve floats as twelve 32-bit words in element
// order (rotation rows, then the translation), each 4-byte aligned.
#include "foundation/matrix.h"
#include "foundation/memory_file.h"

// Reads all twelve values or none: a matrix that does not fit before the end
// of the file throws file_error_c "Unexpected end of file!" with the file's
// name and leaves m and the position as they were.
void ReadMat4x3(input_file_c& file, mat4x3_c& m);

void WriteMat4x3(output_file_c& file, const mat4x3_c& m);
