#pragma once
// PNG and JPEG pictures for image_c, through libpng and libjpeg over memory
// files. Library errors never unwind through the libraries: their handlers
// jump back into this glue, which frees what the library holds and then
// throws file_error_c with the file's name and the library's message ("Out of
// memory!", "Unsupported color depth!", "Unexpected end of file!" when the
// data runs out).
//
// PNG reads as format_l8 (grey), format_x8r8g8b8 (colour, palette) or
// format_a8r8g8b8 (with alpha), 16-bit samples cut to their high byte. A grey
// picture of depth below 8 with a transparency chunk is refused with
// "Unsupported color depth!". JPEG reads grey as format_l8 and colour as
// format_x8r8g8b8; other colour spaces are refused the same way.
class image_c;
class input_file_c;
class output_file_c;

// The PNG signature over the first min(8, remaining) bytes at the position.
bool IsPng(const input_file_c& file);

// Replace the image by the picture at the file's position (the image is
// destroyed first); the position does not move.
void ReadPng(image_c& image, input_file_c& file);
void ReadJpeg(image_c& image, input_file_c& file);

// Append the picture at the output position; an invalid image writes nothing.
// PNG keeps l8, x8r8g8b8 and a8r8g8b8 as they are and writes other formats as
// their 32-bit conversion; JPEG writes l8 as grey and everything else as RGB
// (alpha dropped) with the library's default quality.
void WritePng(const image_c& image, output_file_c& file);
void WriteJpeg(const image_c& image, output_file_c& file);
