#include "engine/geometry_def.h"

#include "engine/stream_check.h"
#include "engine/text_format.h"
#include "foundation/memory_file.h"

geometry_def_c::geometry_def_c(const char* _name)
{
    name = _name && *_name ? _name : "(Unnamed)";
}

primitive_set_c* geometry_def_c::AddPrimitiveSet(primitive_set_c* _set)
{
    primitiveSets.emplace_back(_set);
    return _set;
}

bool geometry_def_c::IsIntegral() const
{
    if (!format.IsValid())
        return false;
    for (const auto& set : primitiveSets)
        if (!set->IsIntegral())
            return false;
    return true;
}

void geometry_def_c::WeldVertices()
{
    if (!weld)
        return;
    for (const auto& set : primitiveSets)
        set->WeldVertices();
    weld = 0;
}

u32 geometry_def_c::GetVertexCount() const
{
    u32 count = 0;
    for (const auto& set : primitiveSets)
        count += set->GetVertexCount();
    return count;
}

u32 geometry_def_c::GetPrimitiveCount(u32 _kind) const
{
    u32 count = 0;
    for (const auto& set : primitiveSets)
        count += set->GetPrimitiveCount(_kind);
    return count;
}

void geometry_def_c::GetKey(string_c& _key) const
{
    _key = FormatText("Geometry={\"%s\" {%d %d %d %d %d %d} %d %d %d %d}", static_cast<const char*>(name),
                      format.hasPosition ? 1 : 0, static_cast<int>(format.blendWeightCount),
                      static_cast<int>(format.matrixIndexCount), format.hasNormal ? 1 : 0, format.hasDiffuse ? 1 : 0,
                      static_cast<int>(format.texCoordSetCount), privateGeometry, needsVertexShader, tweening,
                      static_cast<int>(blendMatrixCount));
}

namespace {

// Smallest stored size of one set header (k, n, m).
constexpr u64 set_header_bytes = 12;

// Indices of a strip, as explicit groups.
std::vector<u32> StripIndices(const primitive_set_c& _set)
{
    std::vector<u32> result;
    const u32 k = _set.GetVerticesPerPrimitive();
    const u32 count = _set.GetPrimitiveCount(primitive_any);
    result.reserve(static_cast<size_t>(count) * k);
    for (u32 i = 0; i < count; ++i) {
        if (k == 3 && (i & 1)) {
            // Odd strip triangles turn the other way round.
            result.insert(result.end(), {i + 1, i, i + 2});
        } else {
            for (u32 j = 0; j < k; ++j)
                result.push_back(i + j);
        }
    }
    return result;
}

void WriteVertex(output_file_c& _file, const vertex_format_c& _format, const vertex_c& _vertex)
{
    if (_format.hasPosition)
        for (f32 value : {_vertex.position.x, _vertex.position.y, _vertex.position.z})
            _file.WriteF32(value);
    for (u32 i = 0; i < _format.blendWeightCount && i < 3; ++i)
        _file.WriteF32(_vertex.blendWeights[i]);
    for (u32 i = 0; i < _format.matrixIndexCount && i < 4; ++i)
        _file.WriteU8(_vertex.matrixIndices[i]);
    if (_format.hasNormal)
        for (f32 value : {_vertex.normal.x, _vertex.normal.y, _vertex.normal.z})
            _file.WriteF32(value);
    if (_format.hasDiffuse)
        _file.WriteU32(_vertex.diffuse);
    for (u32 i = 0; i < _format.texCoordSetCount && i < 3; ++i) {
        _file.WriteF32(_vertex.texCoords[i][0]);
        _file.WriteF32(_vertex.texCoords[i][1]);
    }
}

void ReadVertex(input_file_c& _file, const vertex_format_c& _format, vertex_c& _vertex)
{
    if (_format.hasPosition) {
        _vertex.position.x = ReadCheckedF32(_file);
        _vertex.position.y = ReadCheckedF32(_file);
        _vertex.position.z = ReadCheckedF32(_file);
    }
    for (u32 i = 0; i < _format.blendWeightCount; ++i)
        _vertex.blendWeights[i] = ReadCheckedF32(_file);
    for (u32 i = 0; i < _format.matrixIndexCount; ++i)
        _vertex.matrixIndices[i] = ReadCheckedU8(_file);
    if (_format.hasNormal) {
        _vertex.normal.x = ReadCheckedF32(_file);
        _vertex.normal.y = ReadCheckedF32(_file);
        _vertex.normal.z = ReadCheckedF32(_file);
    }
    if (_format.hasDiffuse)
        _vertex.diffuse = ReadCheckedU32(_file);
    for (u32 i = 0; i < _format.texCoordSetCount; ++i) {
        _vertex.texCoords[i][0] = ReadCheckedF32(_file);
        _vertex.texCoords[i][1] = ReadCheckedF32(_file);
    }
}

// Lower bound of the bytes one stored vertex takes; at least one, so a
// format that stores nothing cannot ask for unbounded vertex counts.
u64 StoredVertexBytes(const vertex_format_c& _format)
{
    const u64 bytes = 12u * (_format.hasPosition ? 1 : 0) + 4u * _format.blendWeightCount + _format.matrixIndexCount +
                      12u * (_format.hasNormal ? 1 : 0) + 4u * (_format.hasDiffuse ? 1 : 0) +
                      8u * _format.texCoordSetCount;
    return bytes ? bytes : 1;
}

} // namespace

void WriteGeometryDef(output_file_c& _file, const geometry_def_c& _def)
{
    _file.WriteString(_def.name);
    const vertex_format_c& format = _def.format;
    _file.WriteU8(format.hasPosition);
    _file.WriteU32(format.blendWeightCount);
    _file.WriteU32(format.matrixIndexCount);
    _file.WriteU8(format.hasNormal);
    _file.WriteU8(format.hasDiffuse);
    _file.WriteU32(format.texCoordSetCount);
    _file.WriteU8(_def.privateGeometry);
    _file.WriteU8(_def.needsVertexShader);
    _file.WriteU8(_def.tweening);
    _file.WriteU32(_def.blendMatrixCount);
    _file.WriteU8(_def.weld);
    _file.WriteU32(static_cast<u32>(_def.primitiveSets.size()));
    for (const auto& set : _def.primitiveSets) {
        const u32 k = set->GetVerticesPerPrimitive();
        const std::vector<u32> strip = set->indices.empty() ? StripIndices(*set) : std::vector<u32>();
        const std::vector<u32>& indices = set->indices.empty() ? strip : set->indices;
        const u32 m = static_cast<u32>(indices.size() / k);
        _file.WriteU32(k);
        _file.WriteU32(set->GetVertexCount());
        _file.WriteU32(m);
        for (const vertex_c& vertex : set->vertices)
            WriteVertex(_file, format, vertex);
        for (size_t i = 0; i < static_cast<size_t>(m) * k; ++i)
            _file.WriteU32(indices[i]);
    }
}

void ReadGeometryDef(input_file_c& _file, geometry_def_c& _def)
{
    _def.primitiveSets.clear();
    ReadCheckedString(_file, _def.name);
    vertex_format_c& format = _def.format;
    format.hasPosition = ReadCheckedU8(_file);
    format.blendWeightCount = ReadCheckedU32(_file);
    format.matrixIndexCount = ReadCheckedU32(_file);
    format.hasNormal = ReadCheckedU8(_file);
    format.hasDiffuse = ReadCheckedU8(_file);
    format.texCoordSetCount = ReadCheckedU32(_file);
    // The vertex record holds three weights, four indices and three sets:
    // a larger count would write past it.
    if (!format.IsValid())
        ThrowDataError(_file, "Invalid vertex format!");
    _def.privateGeometry = ReadCheckedU8(_file);
    _def.needsVertexShader = ReadCheckedU8(_file);
    _def.tweening = ReadCheckedU8(_file);
    _def.blendMatrixCount = ReadCheckedU32(_file);
    _def.weld = ReadCheckedU8(_file);

    const u32 set_count = ReadCheckedU32(_file);
    CheckRecordCount(_file, set_count, set_header_bytes, "Invalid primitive set count!");
    const u64 vertex_bytes = StoredVertexBytes(format);
    for (u32 s = 0; s < set_count; ++s) {
        const u32 k = ReadCheckedU32(_file);
        std::unique_ptr<primitive_set_c> set(CreatePrimitiveSet(k));
        if (!set)
            ThrowDataError(_file, "Invalid primitive set!");
        const u32 n = ReadCheckedU32(_file);
        const u32 m = ReadCheckedU32(_file);
        CheckRecordCount(_file, n, vertex_bytes, "Invalid vertex count!");
        set->vertices.resize(n);
        for (vertex_c& vertex : set->vertices)
            ReadVertex(_file, format, vertex);
        CheckRecordCount(_file, static_cast<u64>(m) * k, 4, "Invalid primitive count!");
        set->indices.resize(static_cast<size_t>(m) * k);
        for (u32& index : set->indices) {
            index = ReadCheckedU32(_file);
            if (index >= n)
                ThrowDataError(_file, "Invalid vertex index!");
        }
        _def.primitiveSets.emplace_back(std::move(set));
    }
}
