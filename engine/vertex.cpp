#include "engine/vertex.h"

#include <cmath>
#include <cstring>

bool vertex_format_c::IsValid() const
{
    if (blendWeightCount > 3 || matrixIndexCount > 4 || texCoordSetCount >= 4)
        return false;
    return matrixIndexCount == 0 || matrixIndexCount == blendWeightCount + 1;
}

u32 vertex_format_c::GetStride() const
{
    return 12 * (hasPosition ? 1 : 0) + 4 * blendWeightCount + (matrixIndexCount ? 4 : 0) + 12 * (hasNormal ? 1 : 0) +
           4 * (hasDiffuse ? 1 : 0) + 8 * texCoordSetCount;
}

bool vertex_format_c::operator==(const vertex_format_c& _other) const
{
    return hasPosition == _other.hasPosition && blendWeightCount == _other.blendWeightCount &&
           matrixIndexCount == _other.matrixIndexCount && hasNormal == _other.hasNormal &&
           hasDiffuse == _other.hasDiffuse && texCoordSetCount == _other.texCoordSetCount;
}

namespace {

bool Near(f32 a, f32 b)
{
    return std::fabs(a - b) < 1.1920929e-7f;
}

bool Near(const vec3_c& a, const vec3_c& b)
{
    return Near(a.x, b.x) && Near(a.y, b.y) && Near(a.z, b.z);
}

} // namespace

bool vertex_c::operator==(const vertex_c& _other) const
{
    if (!Near(position, _other.position) || !Near(normal, _other.normal))
        return false;
    for (int i = 0; i < 3; ++i)
        if (blendWeights[i] != _other.blendWeights[i])
            return false;
    if (std::memcmp(matrixIndices, _other.matrixIndices, sizeof(matrixIndices)) != 0 || diffuse != _other.diffuse)
        return false;
    for (int i = 0; i < 3; ++i)
        if (!Near(texCoords[i][0], _other.texCoords[i][0]) || !Near(texCoords[i][1], _other.texCoords[i][1]))
            return false;
    return true;
}
