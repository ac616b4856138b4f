#include "engine/import/binary_3ds_reader.h"

#include <cfloat>
#include <cmath>
#include <cstring>

#include "engine/camera.h"
#include "engine/import/map_transform.h"
#include "engine/import/point_faces.h"
#include "engine/light.h"
#include "engine/primitive_set.h"
#include "engine/scene.h"
#include "foundation/file_error.h"

namespace {

constexpr f32 kRadiansPerDegree = 0.017453292519943295f;
constexpr f32 kByte = 0.003921569f;

// A texture of a material: name, amount and placement.
struct map_3ds_c {
    string_c name;
    i32 percentage = 100;
    f32 uScale = 1.0f;
    f32 vScale = 1.0f;
    f32 uOffset = 0.0f;
    f32 vOffset = 0.0f;
    f32 rotation = 0.0f;

    bool Named() const { return !name.IsEmpty() && percentage > 0; }
};

struct face_3ds_c {
    u32 point[3];
    vec3_c faceNormal;
    vec3_c normal[3];
    i32 material = -1;
    u32 smoothingGroup = 0;
    u32 wrap = 0;
};

// The placement of a map as its texture transform; a scale of 0 would put
// the texture at infinity and counts as the smallest scale instead.
bool PlaceMap(const map_3ds_c& _map, f32 (&_out)[4][3])
{
    const f32 uScale = std::fabs(_map.uScale) < FLT_EPSILON ? FLT_EPSILON : _map.uScale;
    const f32 vScale = std::fabs(_map.vScale) < FLT_EPSILON ? FLT_EPSILON : _map.vScale;
    return MapTransform(_map.uOffset, _map.vOffset, 1.0f / uScale, 1.0f / vScale, _map.rotation, _out);
}

vec3_c Normalised(const vec3_c& _v)
{
    const f32 length = _v.Length();
    return length > 0.0f ? _v * (1.0f / length) : _v;
}

// b against a across the U seam.
void FixSeam(f32 _a, f32& _b)
{
    const f32 d = _b - _a;
    if (std::fabs(d) >= 0.8125f)
        _b += d > 0.0f ? -1.0f : 1.0f;
}

} // namespace

// A bounded view of one chunk's data.
class binary_3ds_reader_c::chunk_c {
public:
    chunk_c(const string_c& _file, const u8* _data, u32 _size) : file(&_file), cursor(_data), remaining(_size) {}

    // The next sub-chunk, or id 0 at the end; the cursor moves past it.
    u16 Next(chunk_c& _sub)
    {
        if (remaining < 6)
            return 0;
        const u16 id = static_cast<u16>(cursor[0] | cursor[1] << 8);
        u32 length;
        std::memcpy(&length, cursor + 2, 4);
        if (length < 6 || length > remaining)
            throw file_error_c(*file, "Unexpected end of file!");
        _sub = chunk_c(*file, cursor + 6, length - 6);
        cursor += length;
        remaining -= length;
        return id;
    }
    const u8* Read(u32 _n)
    {
        if (_n > remaining)
            throw file_error_c(*file, "Unexpected end of file!");
        const u8* at = cursor;
        cursor += _n;
        remaining -= _n;
        return at;
    }
    u16 ReadU16()
    {
        const u8* b = Read(2);
        return static_cast<u16>(b[0] | b[1] << 8);
    }
    i16 ReadI16() { return static_cast<i16>(ReadU16()); }
    u32 ReadU32()
    {
        u32 v;
        std::memcpy(&v, Read(4), 4);
        return v;
    }
    f32 ReadF32()
    {
        f32 v;
        std::memcpy(&v, Read(4), 4);
        return v;
    }
    // Three floats stored as (x, z, y).
    vec3_c ReadSwapped()
    {
        const u8* b = Read(12);
        f32 v[3];
        std::memcpy(v, b, 12);
        return vec3_c(v[0], v[2], v[1]);
    }
    // A NUL-terminated text that must end inside the chunk.
    string_c ReadString()
    {
        const void* end = std::memchr(cursor, 0, remaining);
        if (end == nullptr)
            throw file_error_c(*file, "Unexpected end of file!");
        const u32 n = static_cast<u32>(static_cast<const u8*>(end) - cursor);
        string_c text;
        text.Assign(reinterpret_cast<const char*>(Read(n + 1)), n);
        return text;
    }
    vec3_c ReadColor()
    {
        vec3_c color;
        chunk_c sub(*file, nullptr, 0);
        for (u16 id = Next(sub); id != 0; id = Next(sub)) {
            if (id == 0x0010 || id == 0x0013) {
                const f32 r = sub.ReadF32();
                const f32 g = sub.ReadF32();
                color = vec3_c(r, g, sub.ReadF32());
            } else if (id == 0x0011 || id == 0x0012) {
                const u8* b = sub.Read(3);
                color = vec3_c(b[0] * kByte, b[1] * kByte, b[2] * kByte);
            }
            if (id == 0x0010 || id == 0x0011)
                break;
        }
        return color;
    }
    i32 ReadPercent()
    {
        chunk_c sub(*file, nullptr, 0);
        for (u16 id = Next(sub); id != 0; id = Next(sub))
            if (id == 0x0030)
                return sub.ReadI16();
        return 0;
    }
    void ReadMap(map_3ds_c& _map)
    {
        chunk_c sub(*file, nullptr, 0);
        for (u16 id = Next(sub); id != 0; id = Next(sub)) {
            switch (id) {
            case 0x0030:
            case 0xA252: _map.percentage = sub.ReadI16(); break;
            case 0xA300: {
                const string_c name = sub.ReadString();
                if (!name.IsEmpty())
                    _map.name = name;
                break;
            }
            case 0xA354: _map.uScale = sub.ReadF32(); break;
            case 0xA356: _map.vScale = sub.ReadF32(); break;
            case 0xA358: _map.uOffset = sub.ReadF32(); break;
            case 0xA35A: _map.vOffset = sub.ReadF32(); break;
            case 0xA35C: _map.rotation = sub.ReadF32() * kRadiansPerDegree; break;
            default: break;
            }
        }
    }

    const string_c* file;
    const u8* cursor;
    u32 remaining;
};

bool Is3dsFile(const input_file_c& _file)
{
    const u8* at = _file.GetPointer();
    return at && _file.GetSize() - _file.GetPosition() >= 6 && at[0] == 0x4D && at[1] == 0x4D;
}

binary_3ds_reader_c::binary_3ds_reader_c(input_file_c& _file)
    : data(_file.GetPointer()), size(data ? _file.GetSize() - _file.GetPosition() : 0), fileName(_file.GetName()),
      folder(fileName)
{}

void binary_3ds_reader_c::Fail(const char* _message) const
{
    throw file_error_c(fileName, _message);
}

void binary_3ds_reader_c::Read(scene_c* _scene, renderer_c* _renderer, std::vector<mesh_3ds_c>& _meshes)
{
    scene = _scene;
    renderer = _renderer;
    meshes = &_meshes;
    chunk_c file(fileName, data, size);
    chunk_c main(fileName, nullptr, 0);
    for (u16 id = file.Next(main); id != 0; id = file.Next(main)) {
        if (id != 0x4D4D)
            continue;
        chunk_c sub(fileName, nullptr, 0);
        for (u16 subId = main.Next(sub); subId != 0; subId = main.Next(sub)) {
            if (subId == 0x0002 && sub.ReadI16() != 3)
                Fail("Invalid file version!");
            if (subId == 0x3D3D)
                ReadEditor(sub);
        }
        return;
    }
}

void binary_3ds_reader_c::ReadEditor(chunk_c& _editor)
{
    vec3_c background;
    bool useBackground = false;
    chunk_c sub(fileName, nullptr, 0);
    for (u16 id = _editor.Next(sub); id != 0; id = _editor.Next(sub)) {
        switch (id) {
        case 0x3D3E:
            if (sub.ReadI16() != 3)
                Fail("Invalid file version!");
            break;
        case 0x1200: background = sub.ReadColor(); break;
        case 0x1201: useBackground = true; break;
        case 0x2100: scene->ambientColor = sub.ReadColor(); break;
        case 0xAFFF: ReadMaterial(sub); break;
        case 0x4000: ReadNamedObject(sub); break;
        default: break;
        }
    }
    if (useBackground)
        scene->backdropColor = background;
}

u32 binary_3ds_reader_c::FindMaterial(const char* _name)
{
    for (u32 i = 0; i < materials.size(); ++i)
        if (materials[i].name == _name)
            return i;
    return ~0u;
}

void binary_3ds_reader_c::ReadMaterial(chunk_c& _entry)
{
    string_c name;
    bool named = false;
    vec3_c diffuse;
    vec3_c specular;
    i32 glossiness = 0;
    i32 specularLevel = 0;
    i32 transparency = 0;
    i32 luminosity = 0;
    bool twoSided = false;
    bool additive = false;
    i32 shading = 0;
    map_3ds_c color;
    map_3ds_c reflection;
    map_3ds_c bump;
    bump.percentage = 30;
    chunk_c sub(fileName, nullptr, 0);
    for (u16 id = _entry.Next(sub); id != 0; id = _entry.Next(sub)) {
        switch (id) {
        case 0xA000:
            name = sub.ReadString();
            named = true;
            break;
        case 0xA020: diffuse = sub.ReadColor(); break;
        case 0xA030: specular = sub.ReadColor(); break;
        case 0xA040: glossiness = sub.ReadPercent(); break;
        case 0xA041: specularLevel = sub.ReadPercent(); break;
        case 0xA050: transparency = sub.ReadPercent(); break;
        case 0xA084: luminosity = sub.ReadPercent(); break;
        case 0xA081: twoSided = true; break;
        case 0xA083: additive = true; break;
        case 0xA100: shading = sub.ReadI16(); break;
        case 0xA200: sub.ReadMap(color); break;
        case 0xA33A:
            if (color.name.IsEmpty())
                sub.ReadMap(color);
            break;
        case 0xA220: sub.ReadMap(reflection); break;
        case 0xA230: sub.ReadMap(bump); break;
        case 0xA310: reflection.name.Clear(); break;
        default: break;
        }
    }
    if (!named)
        return;
    u32 index = FindMaterial(name);
    if (index == ~0u) {
        materials.emplace_back();
        materials.back().name = name;
        index = static_cast<u32>(materials.size() - 1);
    }
    material_3ds_c& material = materials[index];
    lwo2_surface_values_c& v = material.values;
    v = lwo2_surface_values_c();
    v.color = diffuse;
    v.luminosity = luminosity * 0.01f;
    v.diffuse = 1.0f;
    v.specularColor = specular;
    v.glossiness = static_cast<f32>(glossiness);
    v.specular = specularLevel * 0.01f;
    v.transparency = 0.0f;
    v.reflectivity = 0.0f;
    v.bump = 1.0f;
    v.flags = (twoSided ? u32(surface_double_sided) : 0u) | (shading > 1 ? u32(surface_smooth) : 0u);
    if (transparency > 0) {
        if (additive)
            v.flags |= surface_additive;
        else
            v.transparency = transparency * 0.01f;
    }
    material.hasColorTransform = material.hasBumpTransform = false;
    if (color.Named()) {
        v.colorMap[0].still = color.name;
        material.hasColorTransform = PlaceMap(color, material.colorTransform);
    }
    if (reflection.percentage > 0) {
        v.reflectivity = reflection.percentage * 0.01f;
        if (!reflection.name.IsEmpty())
            v.reflectionMap = reflection.name;
    }
    if (bump.percentage > 0) {
        v.bump = -bump.percentage * 0.01f;
        if (!bump.name.IsEmpty()) {
            v.bumpMap = bump.name;
            material.hasBumpTransform = PlaceMap(bump, material.bumpTransform);
        }
    }
}

void binary_3ds_reader_c::ReadNamedObject(chunk_c& _object)
{
    const string_c name = _object.ReadString();
    chunk_c sub(fileName, nullptr, 0);
    for (u16 id = _object.Next(sub); id != 0; id = _object.Next(sub)) {
        if (id == 0x4100) {
            if (ReadMesh(sub, name))
                return;
        } else if (id == 0x4600) {
            auto light = std::make_unique<light_c>(name);
            light->position = sub.ReadSwapped();
            light->SetType(2);
            bool off = false;
            chunk_c part(fileName, nullptr, 0);
            for (u16 partId = sub.Next(part); partId != 0; partId = sub.Next(part)) {
                if (partId == 0x0010) {
                    const f32 r = part.ReadF32();
                    const f32 g = part.ReadF32();
                    light->color = vec3_c(r, g, part.ReadF32());
                } else if (partId == 0x0011) {
                    const u8* b = part.Read(3);
                    light->color = vec3_c(b[0] * kByte, b[1] * kByte, b[2] * kByte);
                } else if (partId == 0x4610) {
                    light->SetType(4);
                    const vec3_c target = part.ReadSwapped();
                    const f32 hotspot = part.ReadF32();
                    const f32 falloff = part.ReadF32();
                    const euler_c orientation(target - light->position);
                    light->rotation = vec3_c(orientation.heading, orientation.pitch, orientation.bank);
                    light->coneAngle = falloff * kRadiansPerDegree;
                    light->edgeAngle = (falloff - hotspot) * kRadiansPerDegree;
                    chunk_c roll(fileName, nullptr, 0);
                    for (u16 rollId = part.Next(roll); rollId != 0; rollId = part.Next(roll))
                        if (rollId == 0x4656) {
                            light->rotation.z = -roll.ReadF32() * kRadiansPerDegree;
                            break;
                        }
                } else if (partId == 0x465B) {
                    light->intensity = part.ReadF32();
                } else if (partId == 0x4620) {
                    off = true;
                }
            }
            if (off)
                light->intensity = 0.0f;
            scene->AddLight(light.release());
            return;
        } else if (id == 0x4700) {
            auto camera = std::make_unique<camera_c>(name);
            camera->position = sub.ReadSwapped();
            const vec3_c target = sub.ReadSwapped();
            const f32 bank = sub.ReadF32();
            const f32 lens = sub.ReadF32();
            const euler_c orientation(target - camera->position, -bank * kRadiansPerDegree);
            camera->rotation = vec3_c(orientation.heading, orientation.pitch, orientation.bank);
            // A lens of no length has no field of view; the camera keeps its own.
            if (lens > 0.0f)
                camera->SetFieldOfView(2400.0f / lens * kRadiansPerDegree);
            scene->AddCamera(camera.release());
            return;
        }
    }
}

bool binary_3ds_reader_c::ReadMesh(chunk_c& _mesh, const string_c& _name)
{
    std::vector<vec3_c> points;
    std::vector<face_3ds_c> faces;
    std::vector<f32> uvs;
    chunk_c sub(fileName, nullptr, 0);
    for (u16 id = _mesh.Next(sub); id != 0; id = _mesh.Next(sub)) {
        if (id == 0x4110) {
            const u32 n = sub.ReadU16();
            if (sub.remaining / 12 < n)
                Fail("Unexpected end of file!");
            points.clear();
            points.reserve(n);
            for (u32 i = 0; i < n; ++i)
                points.push_back(sub.ReadSwapped());
        } else if (id == 0x4120) {
            const u32 n = sub.ReadU16();
            if (sub.remaining / 8 < n)
                Fail("Unexpected end of file!");
            faces.assign(n, face_3ds_c());
            for (face_3ds_c& face : faces) {
                const u32 a = sub.ReadU16();
                const u32 b = sub.ReadU16();
                const u32 c = sub.ReadU16();
                const u32 flags = sub.ReadU16();
                face.point[0] = c;
                face.point[1] = b;
                face.point[2] = a;
                face.wrap = ((flags & 8) ? 1u : 0u) | ((flags & 16) ? 2u : 0u);
            }
            chunk_c part(fileName, nullptr, 0);
            for (u16 partId = sub.Next(part); partId != 0; partId = sub.Next(part)) {
                if (partId == 0x4130) {
                    const u32 material = FindMaterial(part.ReadString());
                    if (material == ~0u)
                        Fail("Material does not exist!");
                    for (u32 count = part.ReadU16(); count > 0; --count) {
                        const u32 face = part.ReadU16();
                        if (face >= faces.size())
                            Fail("Face does not exist!");
                        faces[face].material = static_cast<i32>(material);
                    }
                } else if (partId == 0x4150) {
                    if (part.remaining / 4 < faces.size())
                        Fail("Unexpected end of file!");
                    for (face_3ds_c& face : faces)
                        face.smoothingGroup = part.ReadU32();
                }
            }
        } else if (id == 0x4140) {
            const u32 n = sub.ReadU16();
            if (sub.remaining / 8 < n)
                Fail("Unexpected end of file!");
            uvs.clear();
            uvs.reserve(size_t(n) * 2);
            for (u32 i = 0; i < n; ++i) {
                uvs.push_back(sub.ReadF32());
                uvs.push_back(1.0f - sub.ReadF32());
            }
        }
    }
    if (points.empty() || faces.empty())
        return false;

    for (face_3ds_c& face : faces)
        if (face.material < 0) {
            u32 index = FindMaterial("Default");
            if (index == ~0u) {
                materials.emplace_back();
                materials.back().name = "Default";
                materials.back().values.color = vec3_c(0xB2 * kByte, 0xB2 * kByte, 0xB2 * kByte);
                materials.back().values.flags = surface_smooth;
                index = static_cast<u32>(materials.size() - 1);
            }
            face.material = static_cast<i32>(index);
        }

    // Normals; smoothing sums run over the faces at each point.
    std::vector<u32> corners;
    corners.reserve(faces.size() * 3);
    for (face_3ds_c& face : faces) {
        for (u32 k = 0; k < 3; ++k) {
            if (face.point[k] >= points.size())
                Fail("Point does not exist!");
            corners.push_back(face.point[k]);
        }
        vec3_c n;
        n.Cross(points[face.point[1]] - points[face.point[0]], points[face.point[2]] - points[face.point[0]]);
        face.faceNormal = Normalised(n);
    }
    const point_faces_c around(points.size(), corners);
    for (face_3ds_c& face : faces) {
        const bool smooth = (materials[face.material].values.flags & surface_smooth) && face.smoothingGroup != 0;
        for (u32 k = 0; k < 3; ++k) {
            if (!smooth) {
                face.normal[k] = face.faceNormal;
                continue;
            }
            vec3_c sum;
            for (const u32* f = around.Begin(face.point[k]); f != around.End(face.point[k]); ++f)
                if (faces[*f].smoothingGroup == face.smoothingGroup)
                    sum += faces[*f].faceNormal;
            face.normal[k] = Normalised(sum);
        }
    }

    // One triangle set per used material, in list order.
    for (material_3ds_c& material : materials)
        material.useCount = 0;
    for (const face_3ds_c& face : faces)
        ++materials[face.material].useCount;
    mesh_3ds_c mesh;
    mesh.name = _name;
    mesh.geometry = std::make_unique<geometry_def_c>(_name);
    geometry_def_c& def = *mesh.geometry;
    def.format.hasPosition = 1;
    def.format.hasNormal = 1;
    def.format.texCoordSetCount = uvs.empty() ? 0 : 1;
    def.weld = 1;
    const size_t uvCount = uvs.size() / 2;
    for (u32 m = 0; m < materials.size(); ++m) {
        if (materials[m].useCount == 0)
            continue;
        primitive_set_c* set = def.AddPrimitiveSet(new triangle_set_c);
        set->vertices.reserve(size_t(materials[m].useCount) * 3);
        set->indices.reserve(size_t(materials[m].useCount) * 3);
        for (const face_3ds_c& face : faces) {
            if (face.material != static_cast<i32>(m))
                continue;
            vertex_c corner[3];
            for (u32 k = 0; k < 3; ++k) {
                corner[k].position = points[face.point[k]];
                corner[k].normal = face.normal[k];
                if (face.point[k] < uvCount) {
                    corner[k].texCoords[0][0] = uvs[size_t(face.point[k]) * 2];
                    corner[k].texCoords[0][1] = uvs[size_t(face.point[k]) * 2 + 1];
                }
            }
            if (face.wrap & 1) {
                FixSeam(corner[0].texCoords[0][0], corner[1].texCoords[0][0]);
                FixSeam(corner[1].texCoords[0][0], corner[2].texCoords[0][0]);
                FixSeam(corner[2].texCoords[0][0], corner[0].texCoords[0][0]);
            }
            for (const vertex_c& v : corner) {
                set->indices.push_back(static_cast<u32>(set->vertices.size()));
                set->vertices.push_back(v);
            }
        }
        mesh.materials.push_back(m);
    }
    meshes->push_back(std::move(mesh));
    return true;
}
