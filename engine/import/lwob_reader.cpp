#include "engine/import/lwob_reader.h"

#include <cmath>
#include <cstring>

#include "foundation/file_error.h"

namespace {

// Default and "FLAG" smoothing angles, as the format's float bits give them.
constexpr f32 kDefaultSmoothingAngle = 1.5620697f;
constexpr f32 kFlagSmoothingAngle = 1.5620700f;

constexpr u32 kNoBlock = 0;
constexpr u32 kColorBlock = 1;
constexpr u32 kBumpBlock = 2;

f32 ReadFixed(iff_chunk_c& _chunk)
{
    return static_cast<i16>(_chunk.ReadU16()) / 256.0f;
}

// An image name: the text after a ':' (and one slash right after it), with
// '/' turned into '\'; "(none)" in any case is no image.
string_c ReadImageName(iff_chunk_c& _chunk)
{
    const char* text = _chunk.ReadString();
    const char* colon = std::strchr(text, ':');
    if (colon) {
        text = colon + 1;
        if (*text == '/' || *text == '\\')
            ++text;
    }
    string_c name = text;
    for (u32 i = 0; i < name.GetLength(); ++i)
        if (name[i] == '/')
            name.SetChar(i, '\\');
    if (name == "(none)")
        name.Clear();
    return name;
}

string_c BareName(const string_c& _path)
{
    const int slash = _path.Find('\\', -1);
    return slash < 0 ? _path : _path.Mid(slash + 1, _path.GetLength());
}

u32 MapTypeOf(const char* _name)
{
    static const char* const kNames[] = {"Planar Image Map", "Cylindrical Image Map", "Spherical Image Map",
                                         "Cubic Image Map"};
    for (u32 i = 0; i < 4; ++i)
        if (std::strcmp(_name, kNames[i]) == 0)
            return i + 1;
    return 0;
}

i32 FindSurface(const lwo2_layer_c& _object, const string_c& _name)
{
    for (size_t i = 0; i < _object.surfaces.size(); ++i)
        if (_object.surfaces[i].name == _name)
            return static_cast<i32>(i);
    return -1;
}

} // namespace

lwob_reader_c::lwob_reader_c(input_file_c& _file)
    : fileName(_file.GetName()),
      form(fileName, _file.GetPointer(), _file.GetPointer() ? _file.GetSize() - _file.GetPosition() : 0),
      folder(fileName)
{}

bool lwob_reader_c::IsLwob()
{
    form.Rewind();
    return form.id == IffId("FORM") && form.remaining >= 4 && form.ReadId() == IffId("LWOB");
}

const char* lwob_reader_c::ReadSurface(iff_chunk_c& _chunk, lwo2_surface_c& _surface)
{
    const string_c name = _surface.name;
    const u32 counts[3] = {_surface.counts[0], _surface.counts[1], _surface.counts[2]};
    _surface = lwo2_surface_c();
    _surface.name = name;
    for (u32 k = 0; k < 3; ++k)
        _surface.counts[k] = counts[k];
    _surface.read = true;
    lwo2_surface_values_c& values = _surface.values;

    f32 angle = kDefaultSmoothingAngle;
    u32 block = kNoBlock;
    u32 reflectionMode = 3;
    texture_projection_c projection[2];
    u8 pixelBlending[2] = {0, 0};
    string_c image[2];
    string_c reflectionImage;
    bool colorHighlights = false;

    for (iff_chunk_c sub = _chunk.ReadChunk(2); sub.remaining > 0; sub = _chunk.ReadChunk(2)) {
        const bool inBlock = block != kNoBlock;
        const u32 b = block - 1;
        switch (sub.id) {
        case IffId("COLR"): {
            const u8* rgb = sub.Read(3);
            values.color = vec3_c(rgb[0] * 0.003921569f, rgb[1] * 0.003921569f, rgb[2] * 0.003921569f);
            break;
        }
        case IffId("FLAG"): {
            const u32 bits = sub.ReadU16();
            if (bits & 1)
                values.luminosity = 1.0f;
            if (bits & 4) {
                values.flags |= surface_smooth;
                angle = kFlagSmoothingAngle;
            }
            if (bits & 8)
                colorHighlights = true;
            if (bits & 256)
                values.flags |= surface_double_sided;
            if (bits & 512)
                values.flags |= surface_additive;
            break;
        }
        case IffId("LUMI"): values.luminosity = ReadFixed(sub); break;
        case IffId("VLUM"): values.luminosity = sub.ReadFloat(); break;
        case IffId("DIFF"): values.diffuse = ReadFixed(sub); break;
        case IffId("VDIF"): values.diffuse = sub.ReadFloat(); break;
        case IffId("SPEC"): values.specular = ReadFixed(sub); break;
        case IffId("VSPC"): values.specular = sub.ReadFloat(); break;
        case IffId("GLOS"): values.glossiness = static_cast<i16>(sub.ReadU16()); break;
        case IffId("REFL"): values.reflectivity = ReadFixed(sub); break;
        case IffId("VRFL"): values.reflectivity = sub.ReadFloat(); break;
        case IffId("RFLT"): reflectionMode = sub.ReadU16(); break;
        case IffId("RIMG"): reflectionImage = ReadImageName(sub); break;
        case IffId("TRAN"): values.transparency = ReadFixed(sub); break;
        case IffId("VTRN"): values.transparency = sub.ReadFloat(); break;
        case IffId("SMAN"): angle = sub.ReadFloat(); break;
        case IffId("CTEX"):
        case IffId("BTEX"): {
            const u32 type = MapTypeOf(sub.ReadString());
            if (type == 0)
                return "Unsupported map type!";
            block = sub.id == IffId("CTEX") ? kColorBlock : kBumpBlock;
            projection[block - 1].mapType = type;
            break;
        }
        case IffId("DTEX"):
        case IffId("LTEX"):
        case IffId("RTEX"):
        case IffId("STEX"):
        case IffId("TTEX"): block = kNoBlock; break;
        case IffId("TFLG"): {
            const u32 bits = sub.ReadU16();
            if (!inBlock)
                break;
            if (bits & 1)
                projection[b].axis = 0;
            else if (bits & 2)
                projection[b].axis = 1;
            else if (bits & 4)
                projection[b].axis = 2;
            else
                return "Invalid axis!";
            pixelBlending[b] = (bits & 32) ? 1 : 0;
            break;
        }
        case IffId("TCTR"):
        case IffId("TSIZ"): {
            const vec3_c v = sub.ReadVec3();
            if (!inBlock)
                break;
            f32* target = sub.id == IffId("TCTR") ? projection[b].centre : projection[b].size;
            target[0] = v.x;
            target[1] = v.y;
            target[2] = v.z;
            break;
        }
        case IffId("TFP0"):
        case IffId("TFP1"): {
            const f32 value = sub.ReadFloat();
            if (inBlock)
                (sub.id == IffId("TFP0") ? projection[b].wrapWidth : projection[b].wrapHeight) = value;
            break;
        }
        case IffId("TIMG"): {
            const string_c name = ReadImageName(sub);
            if (inBlock)
                image[b] = name;
            break;
        }
        case IffId("TAMP"): {
            const f32 value = sub.ReadFloat();
            if (block == kBumpBlock)
                values.bump = value;
            break;
        }
        default: break;
        }
    }
    if (colorHighlights)
        values.specularColor = values.color;
    _surface.threshold = std::cos(angle);
    if (!image[0].IsEmpty()) {
        values.colorMap[0].still = BareName(image[0]);
        _surface.uvBlock[0] = projection[0];
        _surface.uvFiltering[0] = pixelBlending[0];
        _surface.uvLayers = 1;
    }
    if (!reflectionImage.IsEmpty() && (reflectionMode == 2 || reflectionMode == 3))
        values.reflectionMap = BareName(reflectionImage);
    if (!image[1].IsEmpty()) {
        values.bumpMap = BareName(image[1]);
        const u32 k = _surface.uvLayers++;
        _surface.uvBlock[k] = projection[1];
        _surface.uvFiltering[k] = pixelBlending[1];
    }
    return nullptr;
}

void lwob_reader_c::ReadObjectRecords(lwo2_layer_c& _out)
{
    _out.fileName = fileName;
    if (!IsLwob())
        throw file_error_c(fileName, "Unknown file format!");
    auto fail = [this](const char* _message) { throw file_error_c(fileName, _message); };
    bool polygonsRead = false;
    for (iff_chunk_c chunk = form.ReadChunk(4); chunk.remaining > 0; chunk = form.ReadChunk(4)) {
        switch (chunk.id) {
        case IffId("PNTS"): {
            const u32 count = chunk.remaining / 12;
            _out.points.clear();
            _out.points.reserve(count);
            for (u32 i = 0; i < count; ++i)
                _out.points.push_back(chunk.ReadVec3());
            break;
        }
        case IffId("SRFS"):
            while (chunk.remaining > 0) {
                lwo2_surface_c surface;
                surface.name = chunk.ReadString();
                surface.threshold = std::cos(kDefaultSmoothingAngle);
                surface.values.color = vec3_c(0.78431f, 0.78431f, 0.78431f);
                _out.surfaces.push_back(surface);
            }
            break;
        case IffId("POLS"):
            polygonsRead = true;
            _out.polygons.clear();
            for (lwo2_surface_c& surface : _out.surfaces)
                surface.counts[0] = surface.counts[1] = surface.counts[2] = 0;
            _out.polygons.reserve(chunk.remaining / 4);
            while (chunk.remaining > 0) {
                lwo2_polygon_c polygon;
                polygon.count = chunk.ReadU16();
                if (polygon.count < 1 || polygon.count > 3)
                    fail("Polygons not supported!");
                for (u32 k = 0; k < polygon.count; ++k)
                    polygon.point[k] = chunk.ReadU16();
                const i32 number = static_cast<i16>(chunk.ReadU16());
                if (number < 1)
                    fail("Detail polygons not supported!");
                if (static_cast<u32>(number) > _out.surfaces.size())
                    fail("Material does not exist!");
                polygon.surface = number - 1;
                ++_out.surfaces[polygon.surface].counts[polygon.count - 1];
                _out.polygons.push_back(polygon);
            }
            break;
        case IffId("SURF"): {
            const i32 index = FindSurface(_out, chunk.ReadString());
            if (index < 0)
                fail("Material does not exist!");
            lwo2_surface_c& surface = _out.surfaces[index];
            if (surface.counts[0] + surface.counts[1] + surface.counts[2] == 0) {
                // Surfaces are counted by the polygons; one read before them is lost.
                if (!polygonsRead)
                    _out.Warn("Surface read before its polygons ignored!");
                break;
            }
            if (const char* message = ReadSurface(chunk, surface))
                fail(message);
            break;
        }
        default: break;
        }
    }
    if (_out.points.empty())
        fail("List of points not found!");
    if (_out.polygons.empty())
        fail("List of polygons not found!");
    for (const lwo2_polygon_c& polygon : _out.polygons)
        for (u32 k = 0; k < polygon.count; ++k)
            if (polygon.point[k] >= _out.points.size())
                fail("Point does not exist!");
    _out.ComputeNormals();
}

void lwob_reader_c::ReadMaterialRecords(lwo2_surface_c& _out)
{
    if (!IsLwob())
        throw file_error_c(fileName, "Unknown file format!");
    for (iff_chunk_c chunk = form.ReadChunk(4); chunk.remaining > 0; chunk = form.ReadChunk(4)) {
        if (chunk.id != IffId("SURF"))
            continue;
        _out.name = chunk.ReadString();
        if (const char* message = ReadSurface(chunk, _out))
            throw file_error_c(fileName, message);
    }
}

void lwob_reader_c::BuildGeometry(const lwo2_layer_c& _object, const char* _objectName, lwo2_geometry_c& _out)
{
    lwo2_reader_c::BuildNamedGeometry(_object, _objectName ? _objectName : "", "", _out);
}
