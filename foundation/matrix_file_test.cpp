#include "foundation/matrix_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "foundation/file_error.h"

namespace {

mat4x3_c Numbered()
{
    mat4x3_c m;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            m.m[i][j] = static_cast<float>(i * 3 + j) + 0.5f;
    return m;
}

TEST(MatrixFile, TwelveAlignedWordsInElementOrder)
{
    output_file_c out;
    out.WriteU8(7);
    WriteMat4x3(out, Numbered());
    ASSERT_EQ(out.GetSize(), 4u + 48u);
    const u8* bytes = out.GetData();
    EXPECT_EQ(bytes[0], 7);
    EXPECT_EQ(bytes[1] | bytes[2] | bytes[3], 0); // padding before the first word
    for (int k = 0; k < 12; ++k) {
        float v;
        std::memcpy(&v, bytes + 4 + 4 * k, 4);
        EXPECT_EQ(v, k + 0.5f) << k;
    }
    EXPECT_EQ(bytes[4], 0x00); // 0.5f = 0x3F000000, little-endian
    EXPECT_EQ(bytes[7], 0x3F);

    input_file_c in(out.GetData(), out.GetSize());
    u8 first = 0;
    in.ReadU8(first);
    mat4x3_c m;
    ReadMat4x3(in, m);
    EXPECT_TRUE(m.IsEqual(Numbered()));
    EXPECT_EQ(in.GetPosition(), 52u);
}

TEST(MatrixFile, ShortFileThrowsAndReadsNothing)
{
    output_file_c out;
    WriteMat4x3(out, Numbered());
    for (u32 size : {0u, 4u, 44u, 47u}) {
        input_file_c in(out.GetData(), size);
        mat4x3_c m;
        m.SetIdentity();
        try {
            ReadMat4x3(in, m);
            FAIL() << "no error for " << size << " bytes";
        } catch (const file_error_c& e) {
            EXPECT_STREQ(e.what(), "Unexpected end of file!");
        }
        mat4x3_c identity;
        identity.SetIdentity();
        EXPECT_TRUE(m.IsEqual(identity)) << size;
        EXPECT_EQ(in.GetPosition(), 0u) << size;
    }
    // Alignment counts: 48 bytes after position 1 start at 4 and need 52.
    std::vector<u8> bytes(51, 0);
    input_file_c in(bytes.data(), 51);
    u8 skip;
    in.ReadU8(skip);
    mat4x3_c m;
    EXPECT_THROW(ReadMat4x3(in, m), file_error_c);
}

} // namespace
