#include "platform/d3d9/testing/expected_image.h"
#include "platform/d3d9/testing/png_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

u32 ColorDistance(u32 _a, u32 _b)
{
    u32 most = 0;
    for (u32 shift = 0; shift < 32; shift += 8) {
        const i32 a = static_cast<i32>((_a >> shift) & 0xFF);
        const i32 b = static_cast<i32>((_b >> shift) & 0xFF);
        most = std::max(most, static_cast<u32>(a > b ? a - b : b - a));
    }
    return most;
}

u32 CapturedPixel(const std::vector<u8>& _capture, u32 _width, u32 _x, u32 _y)
{
    u32 color = 0;
    const u64 at = (u64{_y} * _width + _x) * 4;
    if (at + 4 <= _capture.size()) {
        std::memcpy(&color, _capture.data() + at, 4);
    }
    return color;
}

void ExpectImageFile(const std::vector<u8>& _capture, u32 _width, u32 _height, const char* _folder,
                     const std::string& _name, u32 _tolerance)
{
    std::string path = _folder;
    path.append("/").append(_name).append(".png");
    ASSERT_EQ(_capture.size(), u64{_width} * _height * 4) << path;
    png_image_s expected;
    if (!ReadPng(path, expected)) {
        png_image_s made;
        made.width = _width;
        made.height = _height;
        made.rgba.resize(_capture.size());
        for (u64 i = 0; i < _capture.size(); i += 4) {
            made.rgba[i] = _capture[i + 2];
            made.rgba[i + 1] = _capture[i + 1];
            made.rgba[i + 2] = _capture[i];
            made.rgba[i + 3] = 255;
        }
        ASSERT_TRUE(WritePng(path, made)) << path;
        GTEST_SKIP() << "wrote " << path << ": look at it before committing";
    }
    ASSERT_EQ(expected.width, _width) << path;
    ASSERT_EQ(expected.height, _height) << path;
    u32 worst = 0, worst_x = 0, worst_y = 0;
    for (u32 y = 0; y < _height; ++y) {
        for (u32 x = 0; x < _width; ++x) {
            const u8* e = expected.rgba.data() + (u64{y} * _width + x) * 4;
            const u32 want = (u32{e[0]} << 16) | (u32{e[1]} << 8) | e[2];
            const u32 d = ColorDistance(CapturedPixel(_capture, _width, x, y) & 0xFFFFFF, want);
            if (d > worst) {
                worst = d;
                worst_x = x;
                worst_y = y;
            }
        }
    }
    EXPECT_LE(worst, _tolerance) << path << ": pixel (" << worst_x << ", " << worst_y << ") is off by " << worst;
}
