#include "foundation/matrix_file.h"

#include "foundation/file_error.h"

void ReadMat4x3(input_file_c& file, mat4x3_c& m)
{
    const u64 start = (static_cast<u64>(file.GetPosition()) + 3) & ~u64{3};
    if (start + 12 * 4 > file.GetSize())
        throw file_error_c(file.GetName(), "Unexpected end of file!");
    mat4x3_c r;
    for (auto& row : r.m)
        for (float& v : row)
            file.ReadF32(v);
    m = r;
}

void WriteMat4x3(output_file_c& file, const mat4x3_c& m)
{
    for (const auto& row : m.m)
        for (float v : row)
            file.WriteF32(v);
}
