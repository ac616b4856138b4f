#include "engine/grey_map.h"

#include "image/image.h"

#include <algorithm>

image_c SquareGreyImage(const image_c& _image)
{
    if (!_image.IsValid())
        return image_c();
    image_c grey(_image, format_l8);
    const int side = std::min({grey.GetWidth(), grey.GetHeight(), grey_map_side_limit});
    grey.Resize(side, side, filter_bicubic);
    return grey;
}
