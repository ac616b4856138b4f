#pragma once
// image_c: one two-dimensional picture in memory in one of the formats of
// format_e. Every other part of the image library works on it: conversion and
// error diffusion, scaling, the BMP/PNG/JPEG codecs and generated lens flares.
//
// Misuse throws std::invalid_argument whose message is the operation's
// signature text. Operations on an image that is not valid (IsValid) do
// nothing and report nothing unless stated otherwise. File errors are
// file_error_c carrying the file's name.
#include <memory>

#include "foundation/types.h"
#include "image/format.h"

class input_file_c;
class output_file_c;
class flare_def_c;

// Filters of image_c::Resize and texture_image_c::Resize.
enum {
    filter_point = 0,
    filter_bilinear = 1,
    filter_bicubic = 2,
};

// File types of image_c::Load and image_c::Save (texture_image_c::Load adds 3, DDS).
enum {
    image_file_bmp = 0,
    image_file_png = 1,
    image_file_jpeg = 2,
    image_file_dds = 3,
};

class image_c {
public:
    // Empty: all fields 0.
    image_c();
    // Empty, then Load of the named file through the current file system.
    explicit image_c(const char* name);
    // Sides and format of the source, padding 0, the pixels copied when the
    // source is valid (else no data).
    image_c(const image_c& source);
    // Converting copy; format_none means the source's own format. Same-layout
    // pairs copy the bytes; other pairs go through ConvertPixels. A result
    // beyond max_image_bytes throws std::invalid_argument.
    image_c(const image_c& source, format_e format);
    image_c(image_c&& other) noexcept;
    image_c& operator=(image_c&& other) noexcept;

    virtual ~image_c();
    // Self-assignment does nothing; an image of equal sides and format keeps its
    // buffer and receives the pixels; otherwise the buffer is replaced.
    virtual image_c& operator=(const image_c& other);
    // Nothing happens when sides and format are already these (pixels kept).
    // Otherwise the buffer is freed; positive sides and a format give a new
    // buffer of undefined contents, anything else an empty image. A compressed
    // format with a side that is not a power of two, or a picture beyond
    // max_image_bytes, throws (the image is then left without data).
    virtual void Create(int _width, int _height, format_e _format);
    // Frees the buffer and sets every field to 0.
    virtual void Destroy();
    // Converts the pixels to another format, in place when the bits per pixel
    // stay. Compressed targets are encoded from a 32-bit picture and need
    // power-of-two sides (refused before anything changes); compressed sources
    // decode to 32 bits first, with alpha when the source has it. A picture
    // that would grow beyond max_image_bytes is refused unchanged.
    // format_none empties the pixels.
    virtual void ChangeFormat(format_e target);
    // Scales to new sides with filter_point, filter_bilinear or filter_bicubic;
    // an unknown filter throws before the image changes.
    virtual void Resize(int width, int height, int filter);
    // Reads a BMP, PNG or JPEG picture at the file's position, replacing this
    // image; returns image_file_bmp, image_file_png or image_file_jpeg. Data
    // that none of them starts with fails with "Unknown file format!" (a
    // bitmap or DDS header cut short with "Unexpected end of file!").
    virtual int Load(input_file_c& file);

    // Appends the picture to the file as image_file_bmp, _png or _jpeg; any
    // other type writes nothing.
    void Save(output_file_c& file, int type) const;

    // Sets every pixel to one colour 0xAARRGGBB, converted to the format once.
    // Throws for compressed images.
    void Fill(u32 _bgra);

    // Quantises a 32-bit picture to the precision of _format with error
    // diffusion (7/16 right, 3/16 below left, 5/16 below, 1/16 below right);
    // the image's format does not change.
    void DiffuseError(format_e _format);

    // Paints a lens flare (image/flare.h) into an l8 or 32-bit image.
    void MakeFlare(const flare_def_c& _flare_def);

    // Scalers over loose buffers: (destination data, width, height, padding;
    // source data, width, height, padding; format). Invalid sides or equal
    // sides do nothing; formats other than l8 and the 32-bit ones throw.
    static void PointScale(u8* dst, int dst_width, int dst_height, int dst_padding, const u8* src, int src_width,
                           int src_height, int src_padding, format_e format);
    static void BilinearScale(u8* dst, int dst_width, int dst_height, int dst_padding, const u8* src, int src_width,
                              int src_height, int src_padding, format_e format);
    static void BicubicScale(u8* dst, int dst_width, int dst_height, int dst_padding, const u8* src, int src_width,
                             int src_height, int src_padding, format_e format);

    bool IsValid() const;
    int GetPitch() const;
    int GetSize() const;
    bool HasAlpha() const { return FormatHasAlpha(format); }
    bool IsCompressed() const { return FormatIsCompressed(format); }
    int GetBitsPerPixel() const { return FormatBitsPerPixel(format); }

    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    int GetPadding() const { return padding; }
    format_e GetFormat() const { return format; }
    u8* GetData() { return data.get(); }
    const u8* GetData() const { return data.get(); }

private:
    void CopyFrom(const image_c& source, format_e target);

    int width = 0;
    int height = 0;
    int padding = 0;
    format_e format = format_none;
    std::unique_ptr<u8[]> data;
};

// Copies the pixels of one buffer into another of the same sides and format,
// each row over its own pitch. Does nothing unless both pass IsValidImage and
// the buffers differ.
void CopyPixels(u8* dst, int dst_padding, const u8* src, int src_padding, int width, int height, format_e format);

// The pairwise converters. Does nothing unless source and destination pass
// IsValidImage; a pair that is not converted directly throws
// std::invalid_argument("void image_c::ChangeFormat(...)"). Source and
// destination may be the same buffer when the bits per pixel are equal.
void ConvertPixels(u8* dst, int dst_padding, format_e dst_format, const u8* src, int src_padding, format_e src_format,
                   int width, int height);
