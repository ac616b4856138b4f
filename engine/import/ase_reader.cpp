#include "engine/import/ase_reader.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "engine/camera.h"
#include "engine/color.h"
#include "engine/import/ase_keyword.h"
#include "engine/import/map_transform.h"
#include "engine/import/point_faces.h"
#include "engine/light.h"
#include "engine/primitive_set.h"
#include "engine/scene.h"
#include "foundation/file_error.h"

namespace {

constexpr f32 kRadiansPerDegree = 0.017453292519943295f;

// Sub-materials and sub-maps nest; deeper blocks are skipped, so a file
// cannot exhaust the stack.
constexpr u32 kNestingLimit = 16;

vec3_c Normalised(const vec3_c& _v)
{
    const f32 length = _v.Length();
    return length > 0.0f ? _v * (1.0f / length) : _v;
}

bool IsZero(const vec3_c& _v)
{
    return std::fabs(_v.x) < FLT_EPSILON && std::fabs(_v.y) < FLT_EPSILON && std::fabs(_v.z) < FLT_EPSILON;
}

string_c BareName(const string_c& _path)
{
    const int slash = _path.Find('\\', -1);
    return slash < 0 ? _path : _path.Mid(slash + 1, _path.GetLength());
}

// Bytes of the shortest list entries an exporter writes ("*MESH_VERTEX 0 0 0
// 0" and so on): a count from the file reserves no more entries than the
// rest of the text could hold at that length. Shorter entries still read;
// their list grows as they come.
constexpr u32 kShortestVertex = 20;
constexpr u32 kShortestFace = 37;
constexpr u32 kShortestTextureVertex = 19;

} // namespace

size_t ase_reader_c::Reservable(int _count, u32 _shortestEntry) const
{
    if (_count <= 0)
        return 0;
    return std::min<size_t>(static_cast<size_t>(_count), tokens.GetRemaining() / _shortestEntry);
}

namespace {

enum map_class_e { class_none, class_bitmap, class_reflect, class_vertex_color, class_multiply };

} // namespace

struct ase_reader_c::map_c {
    string_c mapClass;
    f32 amount = 1.0f;
    string_c bitmap;
    f32 uOffset = 0.0f;
    f32 vOffset = 0.0f;
    f32 uTiling = 1.0f;
    f32 vTiling = 1.0f;
    f32 angle = 0.0f;
    u8 filter = 1;
    std::vector<map_c> subMaps;
    bool present = false;

    map_class_e Classify() const
    {
        if (!present || amount <= 0.0f)
            return class_none;
        if (mapClass == "Bitmap")
            return class_bitmap;
        if (mapClass == "Reflect/Refract")
            return class_reflect;
        if (mapClass == "Vertex Color")
            return class_vertex_color;
        if (mapClass == "RGB Multiply")
            return class_multiply;
        return class_none;
    }
    bool Transform(f32 (&_out)[4][3]) const { return MapTransform(uOffset, vOffset, uTiling, vTiling, angle, _out); }
};

struct ase_reader_c::node_tm_c {
    string_c name;
    vec3_c row[4] = {vec3_c(1, 0, 0), vec3_c(0, 1, 0), vec3_c(0, 0, 1), vec3_c(0, 0, 0)};
    vec3_c position;
};

struct ase_reader_c::face_c {
    u32 vertex[3] = {0, 0, 0};
    u32 texture[3] = {0, 0, 0};
    u32 color[3] = {0, 0, 0};
    vec3_c faceNormal;
    vec3_c normal[3];
    u32 materialId = 0;
    u32 smoothingGroup = 0;
};

bool IsAseFile(const input_file_c& _file)
{
    static const char kHeader[] = "*3DSMAX_ASCIIEXPORT\t200";
    const u8* at = _file.GetPointer();
    return at && _file.GetSize() - _file.GetPosition() >= 23 && std::memcmp(at, kHeader, 23) == 0;
}

ase_reader_c::ase_reader_c(input_file_c& _file) : tokens(_file), fileName(_file.GetName()), folder(fileName) {}

template <typename Keyword>
void ase_reader_c::Block(Keyword _keyword, ase_keyword_e _entry, ase_keyword_e _other)
{
    constexpr bool kRows = std::is_invocable_v<Keyword, ase_keyword_e, lws_tokenizer_c::row_c&>;
    const std::string_view entry = AseKeywordText(_entry), other = AseKeywordText(_other);
    int depth = 0;
    std::string_view word;
    for (;;) {
        if (depth == 1 && _entry != ase_unknown) {
            // The rows of a list, each begun by its keyword as the words below
            // would find it, without looking the keyword up.
            lws_tokenizer_c::row_c row(tokens);
            const ase_keyword_e found = row.Word(entry)                            ? _entry
                                        : _other != ase_unknown && row.Word(other) ? _other
                                                                                   : ase_unknown;
            if (found != ase_unknown) {
                row.Commit();
                if constexpr (kRows)
                    _keyword(found, row);
                else
                    _keyword(found);
                continue;
            }
        }
        const u32 before = tokens.GetPosition();
        if (!tokens.TryReadView(word))
            throw file_error_c(fileName, "Unexpected end of file!");
        if (word == "{") {
            ++depth;
        } else if (word == "}") {
            if (--depth < 1)
                return;
        } else if (depth < 1) {
            // Not a block: the word belongs to the caller.
            tokens.SetPosition(before);
            return;
        } else if (depth == 1 && word[0] == '*') {
            // Every keyword starts with '*'; other words are values nobody asked for.
            if constexpr (kRows) {
                lws_tokenizer_c::row_c row(tokens);
                _keyword(AseKeyword(word), row);
            } else {
                _keyword(AseKeyword(word));
            }
        }
    }
}

string_c ase_reader_c::ReadQuoted()
{
    string_c text;
    if (!tokens.TryReadQuotedAhead(text))
        throw file_error_c(fileName, "Unexpected end of file!");
    return text;
}

vec3_c ase_reader_c::ReadVec3()
{
    const f32 x = tokens.ReadFloat();
    const f32 y = tokens.ReadFloat();
    return vec3_c(x, y, tokens.ReadFloat());
}

vec3_c ase_reader_c::ReadVec3Swapped()
{
    const vec3_c v = ReadVec3();
    return vec3_c(v.x, v.z, v.y);
}

[[gnu::always_inline]] inline void ase_reader_c::ReadIndexedVec3(lws_tokenizer_c::row_c& _row, int& _index, vec3_c& _v)
{
    if (_row.Int(_index) && _row.Float(_v.x) && _row.Float(_v.y) && _row.Float(_v.z)) {
        _row.Commit();
        return;
    }
    _index = tokens.ReadInt();
    _v = ReadVec3();
}

[[gnu::always_inline]] inline void ase_reader_c::ReadInts(lws_tokenizer_c::row_c& _row, int (&_values)[4])
{
    if (_row.Int(_values[0]) && _row.Int(_values[1]) && _row.Int(_values[2]) && _row.Int(_values[3])) {
        _row.Commit();
        return;
    }
    for (int& value : _values)
        value = tokens.ReadInt();
}

[[gnu::always_inline]] inline void ase_reader_c::ReadFaceCorners(lws_tokenizer_c::row_c& _row, int (&_corners)[3])
{
    if (_row.Skip() && _row.Skip() && _row.Int(_corners[0]) && _row.Skip() && _row.Int(_corners[1]) && _row.Skip() &&
        _row.Int(_corners[2])) {
        _row.Commit();
        return;
    }
    tokens.SkipWord();
    tokens.SkipWord();
    _corners[0] = tokens.ReadInt();
    tokens.SkipWord();
    _corners[1] = tokens.ReadInt();
    tokens.SkipWord();
    _corners[2] = tokens.ReadInt();
}

void ase_reader_c::ReadFaceRest(face_c* _face)
{
    // The edge flags, then the smoothing group and material id, as the
    // face list's block would take them.
    lws_tokenizer_c::row_c row(tokens);
    for (int k = 0; k < 6; ++k)
        if (!row.SkipValue())
            return;
    int value;
    if (!row.Word("*MESH_SMOOTHING") || !row.Int(value))
        return;
    row.Commit();
    if (_face)
        _face->smoothingGroup = static_cast<u32>(value);
    if (!row.Word("*MESH_MTLID") || !row.Int(value))
        return;
    row.Commit();
    if (_face)
        _face->materialId = static_cast<u32>(value);
}

void ase_reader_c::ReadMap(map_c& _map)
{
    _map.present = true;
    Block([&](ase_keyword_e _word) {
        if (_word == ase_map_class)
            _map.mapClass = ReadQuoted();
        else if (_word == ase_map_amount)
            _map.amount = tokens.ReadFloat();
        else if (_word == ase_bitmap)
            _map.bitmap = BareName(ReadQuoted());
        else if (_word == ase_uvw_u_offset)
            _map.uOffset = tokens.ReadFloat();
        else if (_word == ase_uvw_v_offset)
            _map.vOffset = tokens.ReadFloat();
        else if (_word == ase_uvw_u_tiling)
            _map.uTiling = tokens.ReadFloat();
        else if (_word == ase_uvw_v_tiling)
            _map.vTiling = tokens.ReadFloat();
        else if (_word == ase_uvw_angle)
            _map.angle = tokens.ReadFloat();
        else if (_word == ase_bitmap_filter)
            _map.filter = tokens.ReadWord() == "None" ? 0 : 1;
        else if (_word == ase_map_generic && nesting < kNestingLimit) {
            _map.subMaps.emplace_back();
            ++nesting;
            ReadMap(_map.subMaps.back());
            --nesting;
        }
    });
}

void ase_reader_c::ReadMaterial(ase_material_c& _material)
{
    vec3_c diffuse;
    vec3_c specular;
    f32 shine = 0.0f;
    f32 shineStrength = 0.0f;
    f32 transparency = 0.0f;
    f32 selfIllumination = 0.0f;
    bool smooth = false;
    bool twoSided = false;
    bool filterTransparency = false;
    bool additive = false;
    map_c diffuseMap;
    map_c bumpMap;
    bumpMap.amount = 0.3f;
    map_c reflectMap;
    u32 subCount = 0;
    Block([&](ase_keyword_e _word) {
        if (_word == ase_material_name)
            _material.name = ReadQuoted();
        else if (_word == ase_material_diffuse)
            diffuse = ReadVec3();
        else if (_word == ase_material_specular)
            specular = ReadVec3();
        else if (_word == ase_material_shine)
            shine = tokens.ReadFloat() * 100.0f;
        else if (_word == ase_material_shinestrength)
            shineStrength = tokens.ReadFloat();
        else if (_word == ase_material_transparency)
            transparency = tokens.ReadFloat();
        else if (_word == ase_material_shading)
            smooth = tokens.ReadWord() != "Constant";
        else if (_word == ase_material_selfillum)
            selfIllumination = tokens.ReadFloat();
        else if (_word == ase_material_twosided)
            twoSided = true;
        else if (_word == ase_material_xp_type) {
            const string_c type = tokens.ReadWord();
            filterTransparency = type == "Filter";
            additive = type == "Additive";
        } else if (_word == ase_map_diffuse)
            ReadMap(diffuseMap);
        else if (_word == ase_map_bump)
            ReadMap(bumpMap);
        else if (_word == ase_map_reflect)
            ReadMap(reflectMap);
        else if (_word == ase_numsubmtls) {
            const int n = tokens.ReadInt();
            subCount = n > 0 ? static_cast<u32>(n) : 0;
        } else if (_word == ase_submaterial) {
            const int i = tokens.ReadInt();
            if (i >= 0 && static_cast<u32>(i) == _material.subMaterials.size() && static_cast<u32>(i) < subCount &&
                nesting < kNestingLimit) {
                _material.subMaterials.emplace_back();
                ++nesting;
                ReadMaterial(_material.subMaterials.back());
                --nesting;
            }
        }
    });

    // Colour layers 0 and 1 and the vertex-colour switch from the diffuse map.
    const map_c* layer[2] = {nullptr, nullptr};
    bool vertexColors = false;
    auto place = [&](const map_c& _map, bool _secondLayer) {
        switch (_map.Classify()) {
        case class_bitmap:
            if (!layer[0])
                layer[0] = &_map;
            else if (_secondLayer && !layer[1])
                layer[1] = &_map;
            break;
        case class_vertex_color: vertexColors = true; break;
        default: break;
        }
    };
    if (diffuseMap.Classify() == class_multiply) {
        if (!diffuseMap.subMaps.empty())
            place(diffuseMap.subMaps[0], false);
        if (diffuseMap.subMaps.size() > 1)
            place(diffuseMap.subMaps[1], true);
    } else {
        place(diffuseMap, false);
    }

    lwo2_surface_values_c& v = _material.values;
    v = lwo2_surface_values_c();
    v.color = diffuse;
    v.luminosity = selfIllumination;
    v.diffuse = 1.0f;
    v.specularColor = specular;
    v.glossiness = shine;
    v.specular = shineStrength;
    v.transparency = filterTransparency ? transparency : 0.0f;
    v.reflectivity = 0.0f;
    v.bump = 1.0f;
    v.flags = (twoSided ? u32(surface_double_sided) : 0u) | (smooth ? u32(surface_smooth) : 0u) |
              (additive && transparency > 0.0f ? u32(surface_additive) : 0u) |
              (vertexColors ? u32(surface_vertex_colors) : 0u);
    for (u32 k = 0; k < 2; ++k) {
        _material.hasTransform[k] = false;
        if (layer[k]) {
            v.colorMap[k].still = layer[k]->bitmap;
            _material.filter[k] = layer[k]->filter;
            _material.hasTransform[k] = layer[k]->Transform(_material.transform[k]);
        }
    }
    const map_class_e reflectClass = reflectMap.Classify();
    if (reflectClass == class_bitmap || reflectClass == class_reflect) {
        v.reflectivity = reflectMap.amount;
        if (reflectClass == class_bitmap) {
            v.reflectionMap = reflectMap.bitmap;
            _material.filter[2] = reflectMap.filter;
        }
    }
    _material.hasTransform[2] = false;
    if (bumpMap.Classify() == class_bitmap) {
        v.bump = -bumpMap.amount;
        v.bumpMap = bumpMap.bitmap;
        _material.filter[3] = bumpMap.filter;
        _material.hasTransform[2] = bumpMap.Transform(_material.transform[2]);
    }
}

void ase_reader_c::ReadNode(node_tm_c& _node)
{
    Block([&](ase_keyword_e _word) {
        if (_word == ase_node_name)
            _node.name = ReadQuoted();
        else if (_word == ase_tm_row0)
            _node.row[0] = ReadVec3Swapped();
        else if (_word == ase_tm_row1)
            _node.row[2] = ReadVec3Swapped();
        else if (_word == ase_tm_row2)
            _node.row[1] = ReadVec3Swapped();
        else if (_word == ase_tm_row3)
            _node.row[3] = ReadVec3Swapped();
        else if (_word == ase_tm_pos)
            _node.position = ReadVec3Swapped();
        else if (_word == ase_tm_rotaxis || _word == ase_tm_scale || _word == ase_tm_scaleaxis)
            ReadVec3Swapped();
        else if (_word == ase_tm_rotangle || _word == ase_tm_scaleaxisang)
            tokens.ReadFloat();
    });
}

void ase_reader_c::ReadGeomObject()
{
    string_c name;
    node_tm_c node;
    vec3_c wire(0xB2 * 0.003921569f, 0xB2 * 0.003921569f, 0xB2 * 0.003921569f);
    int materialRef = -1;
    std::vector<vec3_c> vertices;
    std::vector<f32> uvs;
    std::vector<vec3_c> colors;
    std::vector<face_c> faces;

    // A list block of numbered vectors; an entry counts only when its number
    // is the list's length.
    auto readVectors = [&](ase_keyword_e _entryName, std::vector<vec3_c>& _list, bool _swapped) {
        _list.clear();
        Block(
            [&](ase_keyword_e _entry, lws_tokenizer_c::row_c& _row) {
                if (_entry != _entryName)
                    return;
                int i;
                vec3_c v;
                ReadIndexedVec3(_row, i, v);
                if (_swapped)
                    v = vec3_c(v.x, v.z, v.y);
                if (i >= 0 && static_cast<size_t>(i) == _list.size())
                    _list.push_back(v);
            },
            _entryName);
    };
    auto readMesh = [&]() {
        Block([&](ase_keyword_e _word) {
            if (_word == ase_mesh_numvertex) {
                vertices.reserve(Reservable(tokens.ReadInt(), kShortestVertex));
            } else if (_word == ase_mesh_numfaces) {
                faces.reserve(Reservable(tokens.ReadInt(), kShortestFace));
            } else if (_word == ase_mesh_numtvertex) {
                uvs.reserve(2 * Reservable(tokens.ReadInt(), kShortestTextureVertex));
            } else if (_word == ase_mesh_numcvertex || _word == ase_mesh_numtvfaces || _word == ase_mesh_numcvfaces) {
                tokens.ReadInt();
            } else if (_word == ase_mesh_vertex_list) {
                readVectors(ase_mesh_vertex, vertices, true);
            } else if (_word == ase_mesh_face_list) {
                face_c* current = nullptr;
                Block(
                    [&](ase_keyword_e _entry, lws_tokenizer_c::row_c& _row) {
                        if (_entry == ase_mesh_face) {
                            int corners[3];
                            ReadFaceCorners(_row, corners);
                            const int a = corners[0], b = corners[1], c = corners[2];
                            current = nullptr;
                            const size_t n = vertices.size();
                            if (a >= 0 && b >= 0 && c >= 0 && size_t(a) < n && size_t(b) < n && size_t(c) < n) {
                                faces.emplace_back();
                                current = &faces.back();
                                current->vertex[0] = static_cast<u32>(c);
                                current->vertex[1] = static_cast<u32>(b);
                                current->vertex[2] = static_cast<u32>(a);
                            }
                            ReadFaceRest(current);
                        } else if (_entry == ase_mesh_smoothing) {
                            const int group = tokens.ReadInt();
                            if (current)
                                current->smoothingGroup = static_cast<u32>(group);
                        } else if (_entry == ase_mesh_mtlid) {
                            const int id = tokens.ReadInt();
                            if (current)
                                current->materialId = static_cast<u32>(id);
                        }
                    },
                    ase_mesh_face);
            } else if (_word == ase_mesh_tvertlist) {
                uvs.clear();
                Block(
                    [&](ase_keyword_e _entry, lws_tokenizer_c::row_c& _row) {
                        if (_entry != ase_mesh_tvert)
                            return;
                        int i;
                        vec3_c uvw;
                        ReadIndexedVec3(_row, i, uvw);
                        if (i >= 0 && static_cast<size_t>(i) == uvs.size() / 2) {
                            uvs.push_back(uvw.x);
                            uvs.push_back(1.0f - uvw.y);
                        }
                    },
                    ase_mesh_tvert);
            } else if (_word == ase_mesh_cvertlist) {
                readVectors(ase_mesh_vertcol, colors, false);
            } else if (_word == ase_mesh_tfacelist || _word == ase_mesh_cfacelist) {
                const bool texture = _word == ase_mesh_tfacelist;
                const ase_keyword_e entryName = texture ? ase_mesh_tface : ase_mesh_cface;
                size_t count = 0;
                Block(
                    [&](ase_keyword_e _entry, lws_tokenizer_c::row_c& _row) {
                        if (_entry != entryName)
                            return;
                        int row[4];
                        ReadInts(_row, row);
                        const int i = row[0], a = row[1], b = row[2], c = row[3];
                        const size_t limit = texture ? uvs.size() / 2 : colors.size();
                        if (i >= 0 && size_t(i) == count && count < faces.size() && a >= 0 && b >= 0 && c >= 0 &&
                            size_t(a) < limit && size_t(b) < limit && size_t(c) < limit) {
                            u32* target = texture ? faces[count].texture : faces[count].color;
                            target[0] = static_cast<u32>(c);
                            target[1] = static_cast<u32>(b);
                            target[2] = static_cast<u32>(a);
                        }
                        ++count;
                    },
                    entryName);
            } else if (_word == ase_mesh_normals) {
                size_t count = 0;
                face_c* current = nullptr;
                int corner = 0;
                Block(
                    [&](ase_keyword_e _entry, lws_tokenizer_c::row_c& _row) {
                        if (_entry == ase_mesh_facenormal) {
                            int i;
                            vec3_c n;
                            ReadIndexedVec3(_row, i, n);
                            n = vec3_c(n.x, n.z, n.y);
                            current = nullptr;
                            if (i >= 0 && size_t(i) == count && count < faces.size()) {
                                current = &faces[count];
                                current->faceNormal = n;
                                corner = 2;
                            }
                            ++count;
                        } else if (_entry == ase_mesh_vertexnormal) {
                            int j;
                            vec3_c n;
                            ReadIndexedVec3(_row, j, n);
                            n = vec3_c(n.x, n.z, n.y);
                            if (current && corner >= 0 && j >= 0 && static_cast<u32>(j) == current->vertex[corner])
                                current->normal[corner] = n;
                            if (current)
                                --corner;
                        }
                    },
                    ase_mesh_vertexnormal, ase_mesh_facenormal);
            }
        });
    };

    Block([&](ase_keyword_e _word) {
        if (_word == ase_node_name)
            name = ReadQuoted();
        else if (_word == ase_node_tm)
            ReadNode(node);
        else if (_word == ase_mesh)
            readMesh();
        else if (_word == ase_prop_castshadow || _word == ase_prop_recvshadow)
            tokens.ReadInt();
        else if (_word == ase_wireframe_color)
            wire = ReadVec3();
        else if (_word == ase_material_ref)
            materialRef = tokens.ReadInt();
    });
    if (vertices.empty() || faces.empty())
        return;

    ase_material_c material;
    if (materialRef >= 0 && static_cast<size_t>(materialRef) < materials.size()) {
        material = materials[materialRef];
    } else {
        material.name = "Default";
        material.values.color = wire;
        material.values.flags = surface_smooth;
    }

    // Indices are checked again here: a later list may have emptied the one
    // a face was checked against.
    const size_t uvCount = uvs.size() / 2;
    for (face_c& face : faces)
        for (u32 k = 0; k < 3; ++k) {
            if (face.vertex[k] >= vertices.size())
                face.vertex[k] = 0;
            if (face.texture[k] >= uvCount)
                face.texture[k] = 0;
            if (face.color[k] >= colors.size())
                face.color[k] = 0;
        }

    // Normals: given ones turned by the inverse transpose of the node's 3x3.
    const vec3_c* r = node.row;
    const f32 det = r[0].x * (r[1].y * r[2].z - r[1].z * r[2].y) - r[0].y * (r[1].x * r[2].z - r[1].z * r[2].x) +
                    r[0].z * (r[1].x * r[2].y - r[1].y * r[2].x);
    f32 turn[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    if (std::fabs(det) > FLT_EPSILON) {
        // Inverse transpose = cofactor matrix / determinant.
        const f32 m[3][3] = {{r[0].x, r[0].y, r[0].z}, {r[1].x, r[1].y, r[1].z}, {r[2].x, r[2].y, r[2].z}};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                const int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
                turn[i][j] = (m[i1][j1] * m[i2][j2] - m[i1][j2] * m[i2][j1]) / det;
            }
    }
    // Face normals and the faces round each point serve only the corners
    // the file gave no normal; exports usually give every one.
    const bool allGiven = std::all_of(faces.begin(), faces.end(), [](const face_c& _face) {
        return !IsZero(_face.normal[0]) && !IsZero(_face.normal[1]) && !IsZero(_face.normal[2]);
    });
    std::vector<u32> corners;
    if (!allGiven) {
        corners.reserve(faces.size() * 3);
        for (face_c& face : faces) {
            corners.insert(corners.end(), face.vertex, face.vertex + 3);
            vec3_c n;
            n.Cross(vertices[face.vertex[1]] - vertices[face.vertex[0]],
                    vertices[face.vertex[2]] - vertices[face.vertex[0]]);
            face.faceNormal = Normalised(n);
        }
    }
    const point_faces_c around(allGiven ? 0 : vertices.size(), corners);
    auto materialOf = [&](const face_c& _face) -> const ase_material_c& {
        return _face.materialId < material.subMaterials.size() ? material.subMaterials[_face.materialId] : material;
    };
    for (face_c& face : faces) {
        const bool smooth = (materialOf(face).values.flags & surface_smooth) && face.smoothingGroup != 0;
        for (u32 k = 0; k < 3; ++k) {
            vec3_c& n = face.normal[k];
            if (!IsZero(n)) {
                n = vec3_c(n.x * turn[0][0] + n.y * turn[1][0] + n.z * turn[2][0],
                           n.x * turn[0][1] + n.y * turn[1][1] + n.z * turn[2][1],
                           n.x * turn[0][2] + n.y * turn[1][2] + n.z * turn[2][2]);
            } else if (smooth) {
                for (const u32* f = around.Begin(face.vertex[k]); f != around.End(face.vertex[k]); ++f)
                    if (faces[*f].smoothingGroup == face.smoothingGroup)
                        n += faces[*f].faceNormal;
            } else {
                n = face.faceNormal;
            }
            n = Normalised(n);
        }
    }

    ase_mesh_c mesh;
    mesh.name = name;
    mesh.geometry = std::make_unique<geometry_def_c>(name);
    geometry_def_c& def = *mesh.geometry;
    def.format.hasPosition = 1;
    def.format.hasNormal = 1;
    def.format.hasDiffuse = colors.empty() ? 0 : 1;
    def.format.texCoordSetCount = uvs.empty() ? 0 : 1;
    def.weld = 1;
    const u32 subCount = static_cast<u32>(material.subMaterials.size());
    auto addSet = [&](const ase_material_c& _copy, auto _takes) {
        size_t count = 0;
        for (const face_c& face : faces)
            count += _takes(face) ? 1 : 0;
        if (count == 0)
            return;
        primitive_set_c* set = def.AddPrimitiveSet(new triangle_set_c);
        set->vertices.reserve(count * 3);
        set->indices.reserve(count * 3);
        mesh.materials.push_back(_copy);
        mesh.materials.back().subMaterials.clear();
        for (const face_c& face : faces) {
            if (!_takes(face))
                continue;
            for (u32 k = 0; k < 3; ++k) {
                vertex_c v;
                v.position = vertices[face.vertex[k]];
                if (!uvs.empty()) {
                    v.texCoords[0][0] = uvs[size_t(face.texture[k]) * 2];
                    v.texCoords[0][1] = uvs[size_t(face.texture[k]) * 2 + 1];
                }
                if (!colors.empty()) {
                    const vec3_c& c = colors[face.color[k]];
                    v.diffuse = ColorToBgra(c.x, c.y, c.z);
                }
                v.normal = face.normal[k];
                set->indices.push_back(static_cast<u32>(set->vertices.size()));
                set->vertices.push_back(v);
            }
        }
    };
    addSet(material, [&](const face_c& _face) { return _face.materialId >= subCount; });
    for (u32 i = 0; i < subCount; ++i)
        addSet(material.subMaterials[i], [&](const face_c& _face) { return _face.materialId == i; });
    meshes->push_back(std::move(mesh));
}

void ase_reader_c::ReadCamera()
{
    string_c name;
    node_tm_c node;
    bool placed = false;
    f32 fov = 0.7854f;
    Block([&](ase_keyword_e _word) {
        if (_word == ase_node_name) {
            name = ReadQuoted();
        } else if (_word == ase_camera_type) {
            tokens.SkipWord();
        } else if (_word == ase_node_tm) {
            node_tm_c read;
            ReadNode(read);
            if (!placed && std::strstr(read.name, ".Target") == nullptr) {
                node = read;
                placed = true;
            }
        } else if (_word == ase_camera_settings) {
            Block([&](ase_keyword_e _setting) {
                if (_setting == ase_camera_fov)
                    fov = tokens.ReadFloat();
            });
        }
    });
    auto camera = std::make_unique<camera_c>(name);
    camera->position = node.position;
    camera->SetFieldOfView(fov * 0.75f);
    scene->AddCamera(camera.release());
}

void ase_reader_c::ReadLight()
{
    string_c name;
    string_c type;
    node_tm_c node;
    bool placed = false;
    bool used = true;
    bool shadows = false;
    vec3_c color(1, 1, 1);
    f32 intensity = 1.0f;
    f32 hotspot = 0.7504916f;
    f32 falloff = 0.7853982f;
    Block([&](ase_keyword_e _word) {
        if (_word == ase_node_name) {
            name = ReadQuoted();
        } else if (_word == ase_light_type) {
            type = tokens.ReadWord();
        } else if (_word == ase_node_tm) {
            node_tm_c read;
            ReadNode(read);
            if (!placed && std::strstr(read.name, ".Target") == nullptr) {
                node = read;
                placed = true;
            }
        } else if (_word == ase_light_shadows) {
            shadows = tokens.ReadWord() != "Off";
        } else if (_word == ase_light_uselight) {
            used = tokens.ReadInt() != 0;
        } else if (_word == ase_light_settings) {
            Block([&](ase_keyword_e _setting) {
                if (_setting == ase_light_color)
                    color = ReadVec3();
                else if (_setting == ase_light_intens)
                    intensity = tokens.ReadFloat();
                else if (_setting == ase_light_hotspot)
                    hotspot = tokens.ReadFloat() * kRadiansPerDegree;
                else if (_setting == ase_light_falloff)
                    falloff = tokens.ReadFloat() * kRadiansPerDegree;
            });
        }
    });
    auto light = std::make_unique<light_c>(name);
    light->position = node.position;
    light->color = color;
    light->intensity = used ? intensity : 0.0f;
    light->coneAngle = falloff;
    light->edgeAngle = falloff - hotspot;
    if (shadows)
        light->SetFlags(128);
    if (type == "Omni")
        light->SetType(2);
    else if (type == "Target")
        light->SetType(4);
    else if (type == "Directional")
        light->SetType(1);
    scene->AddLight(light.release());
}

void ase_reader_c::Read(scene_c* _scene, renderer_c* _renderer, std::vector<ase_mesh_c>& _meshes)
{
    scene = _scene;
    renderer = _renderer;
    meshes = &_meshes;
    int depth = 0;
    std::string_view word;
    while (tokens.TryReadView(word)) {
        if (word == "{" || word == "}") {
            depth += word[0] == '{' ? 1 : -1;
            continue;
        }
        if (depth > 0 || word[0] != '*')
            continue;
        const ase_keyword_e keyword = AseKeyword(word);
        if (keyword == ase_scene) {
            map_c environment;
            Block([&](ase_keyword_e _word) {
                if (_word == ase_scene_background_static)
                    scene->backdropColor = ReadVec3();
                else if (_word == ase_scene_ambient_static)
                    scene->ambientColor = ReadVec3();
                else if (_word == ase_scene_envmap)
                    ReadMap(environment);
            });
            if (environment.Classify() == class_bitmap && !environment.bitmap.IsEmpty() && renderer)
                scene->SetReflectionMap(environment.bitmap);
        } else if (keyword == ase_material_list) {
            u32 count = 0;
            Block([&](ase_keyword_e _word) {
                if (_word == ase_material_count) {
                    const int n = tokens.ReadInt();
                    count = n > 0 ? static_cast<u32>(n) : 0;
                } else if (_word == ase_material) {
                    const int i = tokens.ReadInt();
                    if (i >= 0 && static_cast<u32>(i) == materials.size() && static_cast<u32>(i) < count) {
                        materials.emplace_back();
                        ReadMaterial(materials.back());
                    }
                }
            });
        } else if (keyword == ase_geomobject) {
            ReadGeomObject();
        } else if (keyword == ase_cameraobject) {
            ReadCamera();
        } else if (keyword == ase_lightobject) {
            ReadLight();
        }
    }
}
