#pragma once
// The maps that water and forests read a byte a cell from: square, 8-bit grey.
class image_c;

// Every pixel becomes a cell with its vertices, seeds and heights; a larger
// map is scaled down to this side so a small file cannot ask for gigabytes.
inline constexpr int grey_map_side_limit = 1024;

// A copy of _image as format_l8, scaled (bicubic) to a square whose side is
// the smaller of its width and height, at most grey_map_side_limit; an image
// that is not valid gives an empty one.
image_c SquareGreyImage(const image_c& _image);
