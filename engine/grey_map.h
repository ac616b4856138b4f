#pragma once
// The maps that water and forests read a byte a cell from: square, 8-bit grey.
class image_c;

// A copy of _image as format_l8, scaled (bicubic) to a square whose side is
// the smaller of its width and height; an image that is not valid gives an
// empty one.
image_c SquareGreyImage(const image_c& _image);
