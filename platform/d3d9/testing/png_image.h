#pragma once
// PNG files of captured screens for the pixel tests: 8-bit RGBA, rows top
// first. ReadPng gives false for a missing or unreadable file.
#include "foundation/types.h"

#include <string>
#include <vector>

struct png_image_s {
    u32 width = 0;
    u32 height = 0;
    std::vector<u8> rgba;
};

bool ReadPng(const std::string& _path, png_image_s& _image);
bool WritePng(const std::string& _path, const png_image_s& _image);
