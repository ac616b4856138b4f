#include "engine/quad_volume.h"

quad_volume_c::quad_volume_c()
{
    Set(vec3_c(kFloatMax, kFloatMax, kFloatMax), vec3_c(-kFloatMax, -kFloatMax, -kFloatMax));
}
