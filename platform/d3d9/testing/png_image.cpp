#include "platform/d3d9/testing/png_image.h"

#include <png.h>

bool ReadPng(const std::string& _path, png_image_s& _image)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, _path.c_str()) == 0) {
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    _image.width = image.width;
    _image.height = image.height;
    _image.rgba.assign(PNG_IMAGE_SIZE(image), 0);
    if (png_image_finish_read(&image, nullptr, _image.rgba.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return false;
    }
    return true;
}

bool WritePng(const std::string& _path, const png_image_s& _image)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = _image.width;
    image.height = _image.height;
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, _path.c_str(), 0, _image.rgba.data(), 0, nullptr) != 0;
}
