#pragma once
// Windows bitmap files for image_c.
//
// The reader takes uncompressed 1-, 4-, 8-, 16-, 24- and 32-bit files, RLE8
// and RLE4 files and bit-field files, and picks the format that holds the
// pixels without loss: grey palettes give format_l8, other palettes 32-bit
// colour. Sides, offsets, palette counts and runs from the file are checked
// before use; every failure is file_error_c with the file's name ("Unexpected
// end of file!", "Invalid file type!", "Invalid file offset!", "Invalid image
// size!", "Unsupported color format!", "Top-down bitmap cannot be
// compressed!") and leaves the image empty. RLE data is forgiving, as other
// viewers are: runs past their row or below the picture are skipped, a delta
// cut short ends the picture, and missing index bytes read as 0.
//
// The writer writes every uncompressed format in a layout that reads back as
// the same format (compressed images are written as their 32-bit decoding).
class image_c;
class input_file_c;
class output_file_c;

// Replaces the image by the bitmap at the file's position; the position does
// not move.
void ReadBmp(image_c& image, input_file_c& file);

// Appends the image as a bitmap at the output position; an invalid image
// writes nothing.
void WriteBmp(const image_c& image, output_file_c& file);
