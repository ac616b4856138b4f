#pragma once
// The pixel tests' comparison of a captured screen with an expected PNG:
// the capture is B, G, R, A bytes, rows top first; the file is compared on
// colour only (the window shows no alpha). A missing file is written from
// the capture and the test skipped, so that a person looks at the picture
// before it is committed.
#include "foundation/types.h"

#include <string>
#include <vector>

// Per-channel distance between two colours (0xAARRGGBB).
u32 ColorDistance(u32 _a, u32 _b);

// The B, G, R, A of one pixel of a capture _width pixels wide, as
// 0xAARRGGBB.
u32 CapturedPixel(const std::vector<u8>& _capture, u32 _width, u32 _x, u32 _y);

// Expects every pixel within _tolerance per channel of the file
// _folder/_name.png.
void ExpectImageFile(const std::vector<u8>& _capture, u32 _width, u32 _height, const char* _folder,
                     const std::string& _name, u32 _tolerance);
