// The object importers against Assimp (no post-processing steps) on the same
// generated files, in one run: a 50,000-triangle LightWave object with a UV
// map and a smoothed, textured surface, and the same grid as a binary 3DS
// file and as a 3ds max ASCII export with its counts, texture coordinates,
// smoothing groups and a textured material; and an ASCII export of more than
// 1 MB laid out as the exporter writes a real scene: a few dozen objects with
// node transforms, given normals, several materials and one with
// sub-materials. Every benchmark checks that it built the faces the file
// holds, so that both sides do the same work. Goal: at least twice Assimp's
// speed. The ratios, from the medians of the repetitions, are printed after
// the table.
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/median_reporter.h"
#include "engine/import/ase_reader.h"
#include "engine/import/binary_3ds_reader.h"
#include "engine/import/lwo2_reader.h"
#include "engine/primitive_set.h"
#include "engine/scene.h"

namespace {

class bytes_c {
public:
    void Id(const char* _id) { data.insert(data.end(), _id, _id + 4); }
    void U16(u32 _v)
    {
        data.push_back(static_cast<u8>(_v >> 8));
        data.push_back(static_cast<u8>(_v));
    }
    void U32(u32 _v)
    {
        U16(_v >> 16);
        U16(_v & 0xFFFF);
    }
    void F32(f32 _v)
    {
        u32 bits;
        std::memcpy(&bits, &_v, 4);
        U32(bits);
    }
    void Text(const char* _text)
    {
        const size_t n = std::strlen(_text) + 1;
        data.insert(data.end(), _text, _text + n);
        if (n & 1)
            data.push_back(0);
    }
    // Opens a chunk with a 4- or 2-byte length; Close patches it.
    size_t Open(const char* _id, u32 _width)
    {
        Id(_id);
        const size_t at = data.size();
        data.resize(at + _width);
        return at;
    }
    void Close(size_t _at, u32 _width)
    {
        const size_t n = data.size() - _at - _width;
        for (u32 i = 0; i < _width; ++i)
            data[_at + i] = static_cast<u8>(n >> (8 * (_width - 1 - i)));
        if (n & 1)
            data.push_back(0);
    }
    std::vector<u8> data;
};

// A wavy grid of side x side quads, two triangles each.
std::vector<u8> GridObject(u32 _side)
{
    bytes_c b;
    const size_t form = b.Open("FORM", 4);
    b.Id("LWO2");
    size_t c = b.Open("TAGS", 4);
    b.Text("Ground");
    b.Close(c, 4);
    c = b.Open("LAYR", 4);
    b.U16(0);
    b.U16(0);
    for (int i = 0; i < 3; ++i)
        b.F32(0.0f);
    b.Text("Grid");
    b.Close(c, 4);
    auto index = [&](u32 _p) {
        if (_p < 0xFF00)
            b.U16(_p);
        else
            b.U32(_p | 0xFF000000u);
    };
    const u32 n = _side + 1;
    c = b.Open("PNTS", 4);
    for (u32 y = 0; y < n; ++y)
        for (u32 x = 0; x < n; ++x) {
            b.F32(static_cast<f32>(x));
            b.F32(std::sin(x * 0.3f) * std::cos(y * 0.2f));
            b.F32(static_cast<f32>(y));
        }
    b.Close(c, 4);
    c = b.Open("VMAP", 4);
    b.Id("TXUV");
    b.U16(2);
    b.Text("uv");
    for (u32 p = 0; p < n * n; ++p) {
        index(p);
        b.F32(static_cast<f32>(p % n) / _side);
        b.F32(static_cast<f32>(p / n) / _side);
    }
    b.Close(c, 4);
    c = b.Open("POLS", 4);
    b.Id("FACE");
    for (u32 y = 0; y < _side; ++y)
        for (u32 x = 0; x < _side; ++x) {
            const u32 p = y * n + x;
            b.U16(3);
            index(p);
            index(p + n);
            index(p + 1);
            b.U16(3);
            index(p + 1);
            index(p + n);
            index(p + n + 1);
        }
    b.Close(c, 4);
    c = b.Open("PTAG", 4);
    b.Id("SURF");
    for (u32 i = 0; i < 2 * _side * _side; ++i) {
        index(i);
        b.U16(0);
    }
    b.Close(c, 4);
    c = b.Open("CLIP", 4);
    b.U32(1);
    size_t s = b.Open("STIL", 2);
    b.Text("Images:ground.tga");
    b.Close(s, 2);
    b.Close(c, 4);
    c = b.Open("SURF", 4);
    b.Text("Ground");
    b.Text("");
    s = b.Open("COLR", 2);
    b.F32(0.5f);
    b.F32(0.6f);
    b.F32(0.3f);
    b.U16(0);
    b.Close(s, 2);
    s = b.Open("SMAN", 2);
    b.F32(1.2f);
    b.Close(s, 2);
    const size_t blok = b.Open("BLOK", 2);
    const size_t imap = b.Open("IMAP", 2);
    b.Text("\x80");
    s = b.Open("CHAN", 2);
    b.Id("COLR");
    b.Close(s, 2);
    b.Close(imap, 2);
    s = b.Open("PROJ", 2);
    b.U16(5);
    b.Close(s, 2);
    s = b.Open("IMAG", 2);
    b.U16(1);
    b.Close(s, 2);
    s = b.Open("VMAP", 2);
    b.Text("uv");
    b.Close(s, 2);
    b.Close(blok, 2);
    b.Close(c, 4);
    b.Close(form, 4);
    return b.data;
}

const std::vector<u8>& Object()
{
    static const std::vector<u8> bytes = GridObject(158); // kObjectFaces triangles
    return bytes;
}

// Stops the benchmark when a reader built a different number of faces than
// the file holds: the two sides would not be doing the same work.
void CheckFaces(benchmark::State& _state, size_t _built, size_t _expected)
{
    if (_built != _expected)
        _state.SkipWithError(
            ("built " + std::to_string(_built) + " faces of the file's " + std::to_string(_expected)).c_str());
    _state.counters["faces"] = static_cast<double>(_built);
}

size_t FacesOf(const geometry_def_c& _geometry)
{
    size_t faces = 0;
    for (const auto& set : _geometry.primitiveSets)
        faces += set->indices.size() / 3;
    return faces;
}

template <typename Mesh>
size_t FacesOf(const std::vector<Mesh>& _meshes)
{
    size_t faces = 0;
    for (const Mesh& mesh : _meshes)
        faces += FacesOf(*mesh.geometry);
    return faces;
}

void Assimp(benchmark::State& _state, const void* _data, size_t _size, const char* _hint, size_t _faces)
{
    size_t built = 0;
    for (auto _ : _state) {
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFileFromMemory(_data, _size, 0, _hint);
        if (scene == nullptr || scene->mNumMeshes == 0) {
            _state.SkipWithError(std::string(importer.GetErrorString()).substr(0, 200).c_str());
            return;
        }
        benchmark::DoNotOptimize(scene->mMeshes[0]->mVertices);
        built = 0;
        for (u32 m = 0; m < scene->mNumMeshes; ++m)
            built += scene->mMeshes[m]->mNumFaces;
    }
    CheckFaces(_state, built, _faces);
}

constexpr u32 kObjectFaces = 2 * 158 * 158;

void BM_Lwo2Ours(benchmark::State& _state)
{
    const std::vector<u8>& bytes = Object();
    size_t built = 0;
    for (auto _ : _state) {
        input_file_c file(bytes.data(), static_cast<u32>(bytes.size()));
        lwo2_reader_c reader(file);
        lwo2_layer_c layer;
        reader.ReadLayerRecords(0, layer);
        lwo2_geometry_c geometry;
        lwo2_reader_c::BuildGeometry(layer, "grid", geometry);
        benchmark::DoNotOptimize(geometry.base->primitiveSets.data());
        built = FacesOf(*geometry.base);
    }
    CheckFaces(_state, built, kObjectFaces);
}
BENCHMARK(BM_Lwo2Ours)->Unit(benchmark::kMillisecond);

void BM_Lwo2Assimp(benchmark::State& _state)
{
    Assimp(_state, Object().data(), Object().size(), "lwo", kObjectFaces);
}
BENCHMARK(BM_Lwo2Assimp)->Unit(benchmark::kMillisecond);

constexpr u32 kSide = 158; // 49,928 triangles

f32 Height(u32 _x, u32 _y)
{
    return std::sin(_x * 0.3f) * std::cos(_y * 0.2f);
}

// The grid as a 3DS file: one material with a texture, one mesh.
std::vector<u8> GridFile3ds()
{
    std::vector<u8> b;
    std::vector<size_t> open;
    auto u16 = [&](u32 _v) {
        b.push_back(static_cast<u8>(_v));
        b.push_back(static_cast<u8>(_v >> 8));
    };
    auto u32v = [&](u32 _v) {
        u16(_v & 0xFFFF);
        u16(_v >> 16);
    };
    auto f32v = [&](f32 _v) {
        u32 bits;
        std::memcpy(&bits, &_v, 4);
        u32v(bits);
    };
    auto begin = [&](u32 _id) {
        u16(_id);
        open.push_back(b.size());
        u32v(0);
    };
    auto end = [&]() {
        const size_t at = open.back();
        open.pop_back();
        const u32 length = static_cast<u32>(b.size() - at + 2);
        std::memcpy(&b[at], &length, 4);
    };
    auto text = [&](const char* _t) { b.insert(b.end(), _t, _t + std::strlen(_t) + 1); };
    const u32 n = kSide + 1;
    begin(0x4D4D);
    begin(0x0002);
    u16(3);
    end();
    begin(0x3D3D);
    begin(0x3D3E);
    u16(3);
    end();
    begin(0xAFFF);
    begin(0xA000);
    text("Ground");
    end();
    begin(0xA020);
    begin(0x0011);
    b.push_back(120);
    b.push_back(160);
    b.push_back(80);
    end();
    end();
    begin(0xA100);
    u16(3);
    end();
    begin(0xA200);
    begin(0xA300);
    text("ground.bmp");
    end();
    end();
    end();
    begin(0x4000);
    text("Grid");
    begin(0x4100);
    begin(0x4110);
    u16(n * n);
    for (u32 y = 0; y < n; ++y)
        for (u32 x = 0; x < n; ++x) {
            f32v(static_cast<f32>(x));
            f32v(static_cast<f32>(y));
            f32v(Height(x, y));
        }
    end();
    begin(0x4140);
    u16(n * n);
    for (u32 p = 0; p < n * n; ++p) {
        f32v(static_cast<f32>(p % n) / kSide);
        f32v(static_cast<f32>(p / n) / kSide);
    }
    end();
    begin(0x4120);
    u16(2 * kSide * kSide);
    for (u32 y = 0; y < kSide; ++y)
        for (u32 x = 0; x < kSide; ++x) {
            const u32 p = y * n + x;
            for (const u32 c : {p, p + 1, p + n, 7u, p + 1, p + n + 1, p + n, 7u})
                u16(c);
        }
    begin(0x4130);
    text("Ground");
    u16(2 * kSide * kSide);
    for (u32 f = 0; f < 2 * kSide * kSide; ++f)
        u16(f);
    end();
    begin(0x4150);
    for (u32 f = 0; f < 2 * kSide * kSide; ++f)
        u32v(1);
    end();
    end();
    end();
    end();
    end();
    end();
    return b;
}

// The grid as a 3ds max ASCII export.
std::string GridFileAse()
{
    const u32 n = kSide + 1;
    std::string t = "*3DSMAX_ASCIIEXPORT\t200\n*MATERIAL_LIST {\n\t*MATERIAL_COUNT 1\n\t*MATERIAL 0 {\n"
                    "\t\t*MATERIAL_NAME \"Ground\"\n\t\t*MATERIAL_DIFFUSE 0.5 0.6 0.3\n\t\t*MATERIAL_SHADING Blinn\n"
                    "\t\t*MAP_DIFFUSE {\n\t\t\t*MAP_CLASS \"Bitmap\"\n\t\t\t*BITMAP \"ground.bmp\"\n\t\t}\n\t}\n}\n"
                    "*GEOMOBJECT {\n\t*NODE_NAME \"Grid\"\n\t*MESH {\n";
    char line[160];
    std::snprintf(line, sizeof line, "\t\t*MESH_NUMVERTEX %u\n\t\t*MESH_NUMFACES %u\n", n * n, 2 * kSide * kSide);
    t += line;
    t += "\t\t*MESH_VERTEX_LIST {\n";
    for (u32 y = 0; y < n; ++y)
        for (u32 x = 0; x < n; ++x) {
            std::snprintf(line, sizeof line, "\t\t\t*MESH_VERTEX %5u\t%.4f\t%.4f\t%.4f\n", y * n + x,
                          static_cast<f32>(x), static_cast<f32>(y), Height(x, y));
            t += line;
        }
    t += "\t\t}\n\t\t*MESH_FACE_LIST {\n";
    u32 face = 0;
    for (u32 y = 0; y < kSide; ++y)
        for (u32 x = 0; x < kSide; ++x) {
            const u32 p = y * n + x;
            for (int half = 0; half < 2; ++half) {
                const u32 a = p, b = half ? p + n + 1 : p + 1, c = half ? p + n : p + n + 1;
                std::snprintf(
                    line, sizeof line,
                    "\t\t\t*MESH_FACE %5u:    A: %5u B: %5u C: %5u AB:    1 BC:    1 CA:    0\t *MESH_SMOOTHING 1 "
                    "\t*MESH_MTLID 0\n",
                    face++, a, b, c);
                t += line;
            }
        }
    std::snprintf(line, sizeof line, "\t\t}\n\t\t*MESH_NUMTVERTEX %u\n", n * n);
    t += line;
    t += "\t\t*MESH_TVERTLIST {\n";
    for (u32 p = 0; p < n * n; ++p) {
        std::snprintf(line, sizeof line, "\t\t\t*MESH_TVERT %5u\t%.4f\t%.4f\t0.0000\n", p,
                      static_cast<f32>(p % n) / kSide, static_cast<f32>(p / n) / kSide);
        t += line;
    }
    std::snprintf(line, sizeof line, "\t\t}\n\t\t*MESH_NUMTVFACES %u\n", 2 * kSide * kSide);
    t += line;
    t += "\t\t*MESH_TFACELIST {\n";
    face = 0;
    for (u32 y = 0; y < kSide; ++y)
        for (u32 x = 0; x < kSide; ++x) {
            const u32 p = y * n + x;
            for (int half = 0; half < 2; ++half) {
                std::snprintf(line, sizeof line, "\t\t\t*MESH_TFACE %5u\t%u\t%u\t%u\n", face++, p,
                              half ? p + n + 1 : p + 1, half ? p + n : p + n + 1);
                t += line;
            }
        }
    t += "\t\t}\n\t}\n\t*MATERIAL_REF 0\n}\n";
    return t;
}

// A scene as the exporter writes one: materials (one with sub-materials and
// maps), then kObjects objects of different sizes, each with its transform,
// counts, vertices, faces with smoothing groups and material ids, texture
// coordinates and the face and vertex normals.
constexpr u32 kObjects = 36;

u32 SceneObjectSide(u32 _object)
{
    return 4 + (_object * 7) % 10;
}

std::string SceneFileAse()
{
    std::string t =
        "*3DSMAX_ASCIIEXPORT\t200\n*COMMENT \"AsciiExport Version  2,00 - Fri Dec 11 00:00:00 2026\"\n"
        "*SCENE {\n\t*SCENE_FILENAME \"harbour.max\"\n\t*SCENE_FIRSTFRAME 0\n\t*SCENE_LASTFRAME 100\n"
        "\t*SCENE_FRAMESPEED 30\n\t*SCENE_TICKSPERFRAME 160\n\t*SCENE_BACKGROUND_STATIC 0.0000\t0.0000\t0.0000\n"
        "\t*SCENE_AMBIENT_STATIC 0.0000\t0.0000\t0.0000\n}\n*MATERIAL_LIST {\n\t*MATERIAL_COUNT 4\n";
    char line[1024];
    const char* const names[] = {"Hull", "Deck", "Sail", "Rope"};
    for (u32 m = 0; m < 3; ++m) {
        std::snprintf(line, sizeof line,
                      "\t*MATERIAL %u {\n\t\t*MATERIAL_NAME \"%s\"\n\t\t*MATERIAL_CLASS \"Standard\"\n"
                      "\t\t*MATERIAL_AMBIENT 0.5882\t0.5882\t0.5882\n\t\t*MATERIAL_DIFFUSE 0.%u000\t0.5882\t0.5882\n"
                      "\t\t*MATERIAL_SPECULAR 0.9000\t0.9000\t0.9000\n\t\t*MATERIAL_SHINE 0.1000\n"
                      "\t\t*MATERIAL_SHINESTRENGTH 0.0000\n\t\t*MATERIAL_TRANSPARENCY 0.0000\n"
                      "\t\t*MATERIAL_WIRESIZE 1.0000\n\t\t*MATERIAL_SHADING Blinn\n\t\t*MATERIAL_XP_FALLOFF 0.0000\n"
                      "\t\t*MATERIAL_SELFILLUM 0.0000\n\t\t*MATERIAL_FALLOFF In\n\t\t*MATERIAL_XP_TYPE Filter\n",
                      m, names[m], m + 2);
        t += line;
        std::snprintf(line, sizeof line,
                      "\t\t*MAP_DIFFUSE {\n\t\t\t*MAP_NAME \"Map #%u\"\n\t\t\t*MAP_CLASS \"Bitmap\"\n"
                      "\t\t\t*MAP_SUBNO 1\n\t\t\t*MAP_AMOUNT 1.0000\n\t\t\t*BITMAP \"C:\\maps\\%s.bmp\"\n"
                      "\t\t\t*MAP_TYPE Screen\n\t\t\t*UVW_U_OFFSET 0.0000\n\t\t\t*UVW_V_OFFSET 0.0000\n"
                      "\t\t\t*UVW_U_TILING 1.0000\n\t\t\t*UVW_V_TILING 1.0000\n\t\t\t*UVW_ANGLE 0.0000\n"
                      "\t\t\t*UVW_BLUR 1.0000\n\t\t\t*BITMAP_FILTER Pyramidal\n\t\t}\n\t}\n",
                      m, names[m]);
        t += line;
    }
    t += "\t*MATERIAL 3 {\n\t\t*MATERIAL_NAME \"Rigging\"\n\t\t*MATERIAL_CLASS \"Multi/Sub-Object\"\n"
         "\t\t*MATERIAL_DIFFUSE 0.5000\t0.5000\t0.5000\n\t\t*MATERIAL_SHADING Blinn\n\t\t*NUMSUBMTLS 2\n";
    for (u32 m = 0; m < 2; ++m) {
        std::snprintf(line, sizeof line,
                      "\t\t*SUBMATERIAL %u {\n\t\t\t*MATERIAL_NAME \"%s\"\n\t\t\t*MATERIAL_CLASS \"Standard\"\n"
                      "\t\t\t*MATERIAL_DIFFUSE 0.%u000\t0.4000\t0.3000\n\t\t\t*MATERIAL_SHADING Phong\n\t\t}\n",
                      m, names[m + 2], m + 5);
        t += line;
    }
    t += "\t}\n}\n";
    for (u32 object = 0; object < kObjects; ++object) {
        const u32 side = SceneObjectSide(object), n = side + 1, faces = 2 * side * side;
        const f32 x0 = static_cast<f32>(object % 6) * 40.0f, y0 = static_cast<f32>(object / 6) * 40.0f;
        std::snprintf(line, sizeof line,
                      "*GEOMOBJECT {\n\t*NODE_NAME \"Part%02u\"\n\t*NODE_TM {\n\t\t*NODE_NAME \"Part%02u\"\n"
                      "\t\t*INHERIT_POS 0 0 0\n\t\t*INHERIT_ROT 0 0 0\n\t\t*INHERIT_SCL 0 0 0\n"
                      "\t\t*TM_ROW0 1.0000\t0.0000\t0.0000\n\t\t*TM_ROW1 0.0000\t1.0000\t0.0000\n"
                      "\t\t*TM_ROW2 0.0000\t0.0000\t1.0000\n\t\t*TM_ROW3 %.4f\t%.4f\t0.0000\n"
                      "\t\t*TM_POS %.4f\t%.4f\t0.0000\n\t\t*TM_ROTAXIS 0.0000\t0.0000\t0.0000\n"
                      "\t\t*TM_ROTANGLE 0.0000\n\t\t*TM_SCALE 1.0000\t1.0000\t1.0000\n"
                      "\t\t*TM_SCALEAXIS 0.0000\t0.0000\t0.0000\n\t\t*TM_SCALEAXISANG 0.0000\n\t}\n"
                      "\t*MESH {\n\t\t*TIMEVALUE 0\n\t\t*MESH_NUMVERTEX %u\n\t\t*MESH_NUMFACES %u\n"
                      "\t\t*MESH_VERTEX_LIST {\n",
                      object, object, x0, y0, x0, y0, n * n, faces);
        t += line;
        auto height = [&](u32 _x, u32 _y) { return Height(_x + object, _y) * 3.0f; };
        for (u32 y = 0; y < n; ++y)
            for (u32 x = 0; x < n; ++x) {
                std::snprintf(line, sizeof line, "\t\t\t*MESH_VERTEX %5u\t%.4f\t%.4f\t%.4f\n", y * n + x,
                              x0 + static_cast<f32>(x) * 1.5f, y0 + static_cast<f32>(y) * 1.5f, height(x, y));
                t += line;
            }
        t += "\t\t}\n\t\t*MESH_FACE_LIST {\n";
        auto corners = [&](u32 _face, u32(&_c)[3]) {
            const u32 q = _face / 2, p = (q / side) * n + q % side;
            _c[0] = p;
            _c[1] = _face % 2 ? p + n + 1 : p + 1;
            _c[2] = _face % 2 ? p + n : p + n + 1;
        };
        for (u32 f = 0; f < faces; ++f) {
            u32 c[3];
            corners(f, c);
            std::snprintf(
                line, sizeof line,
                "\t\t\t*MESH_FACE %5u:    A: %5u B: %5u C: %5u AB:    1 BC:    1 CA:    0\t *MESH_SMOOTHING %u "
                "\t*MESH_MTLID %u\n",
                f, c[0], c[1], c[2], 1 + (f / 64) % 3, (f / 32) % 2);
            t += line;
        }
        std::snprintf(line, sizeof line, "\t\t}\n\t\t*MESH_NUMTVERTEX %u\n\t\t*MESH_TVERTLIST {\n", n * n);
        t += line;
        for (u32 p = 0; p < n * n; ++p) {
            std::snprintf(line, sizeof line, "\t\t\t*MESH_TVERT %5u\t%.4f\t%.4f\t0.0000\n", p,
                          static_cast<f32>(p % n) / side, static_cast<f32>(p / n) / side);
            t += line;
        }
        std::snprintf(line, sizeof line, "\t\t}\n\t\t*MESH_NUMTVFACES %u\n\t\t*MESH_TFACELIST {\n", faces);
        t += line;
        for (u32 f = 0; f < faces; ++f) {
            u32 c[3];
            corners(f, c);
            std::snprintf(line, sizeof line, "\t\t\t*MESH_TFACE %5u\t%u\t%u\t%u\n", f, c[0], c[1], c[2]);
            t += line;
        }
        t += "\t\t}\n\t\t*MESH_NORMALS {\n";
        for (u32 f = 0; f < faces; ++f) {
            u32 c[3];
            corners(f, c);
            std::snprintf(line, sizeof line, "\t\t\t*MESH_FACENORMAL %u\t0.0000\t0.0000\t1.0000\n", f);
            t += line;
            for (const u32 v : c) {
                std::snprintf(line, sizeof line, "\t\t\t\t*MESH_VERTEXNORMAL %u\t%.4f\t%.4f\t%.4f\n", v,
                              0.1f * std::sin(static_cast<f32>(v)), 0.1f * std::cos(static_cast<f32>(v)), 0.99f);
                t += line;
            }
        }
        std::snprintf(line, sizeof line,
                      "\t\t}\n\t}\n\t*PROP_MOTIONBLUR 0\n\t*PROP_CASTSHADOW 1\n\t*PROP_RECVSHADOW 1\n"
                      "\t*MATERIAL_REF %u\n}\n",
                      object % 4);
        t += line;
    }
    return t;
}

u32 SceneFaces()
{
    u32 faces = 0;
    for (u32 object = 0; object < kObjects; ++object)
        faces += 2 * SceneObjectSide(object) * SceneObjectSide(object);
    return faces;
}

const std::vector<u8>& File3ds()
{
    static const std::vector<u8> bytes = GridFile3ds();
    return bytes;
}

const std::string& FileAse()
{
    static const std::string text = GridFileAse();
    return text;
}

const std::string& SceneAse()
{
    static const std::string text = SceneFileAse();
    return text;
}

void BM_3dsOurs(benchmark::State& _state)
{
    const std::vector<u8>& bytes = File3ds();
    size_t built = 0;
    for (auto _ : _state) {
        input_file_c file(bytes.data(), static_cast<u32>(bytes.size()));
        scene_c scene("grid", nullptr);
        std::vector<mesh_3ds_c> meshes;
        binary_3ds_reader_c reader(file);
        reader.Read(&scene, nullptr, meshes);
        benchmark::DoNotOptimize(meshes.data());
        built = FacesOf(meshes);
    }
    CheckFaces(_state, built, 2 * kSide * kSide);
}
BENCHMARK(BM_3dsOurs)->Unit(benchmark::kMillisecond);

void AseOurs(benchmark::State& _state, const std::string& _text, size_t _faces)
{
    size_t built = 0;
    for (auto _ : _state) {
        input_file_c file(_text.data(), static_cast<u32>(_text.size()));
        scene_c scene("ase", nullptr);
        std::vector<ase_mesh_c> meshes;
        ase_reader_c reader(file);
        reader.Read(&scene, nullptr, meshes);
        benchmark::DoNotOptimize(meshes.data());
        built = FacesOf(meshes);
    }
    CheckFaces(_state, built, _faces);
}

void BM_AseOurs(benchmark::State& _state)
{
    AseOurs(_state, FileAse(), 2 * kSide * kSide);
}
BENCHMARK(BM_AseOurs)->Unit(benchmark::kMillisecond);

void BM_AseSceneOurs(benchmark::State& _state)
{
    AseOurs(_state, SceneAse(), SceneFaces());
}
BENCHMARK(BM_AseSceneOurs)->Unit(benchmark::kMillisecond);

void BM_3dsAssimp(benchmark::State& _state)
{
    Assimp(_state, File3ds().data(), File3ds().size(), "3ds", 2 * kSide * kSide);
}
BENCHMARK(BM_3dsAssimp)->Unit(benchmark::kMillisecond);

void BM_AseAssimp(benchmark::State& _state)
{
    Assimp(_state, FileAse().data(), FileAse().size(), "ase", 2 * kSide * kSide);
}
BENCHMARK(BM_AseAssimp)->Unit(benchmark::kMillisecond);

void BM_AseSceneAssimp(benchmark::State& _state)
{
    Assimp(_state, SceneAse().data(), SceneAse().size(), "ase", SceneFaces());
}
BENCHMARK(BM_AseSceneAssimp)->Unit(benchmark::kMillisecond);

void PrintRatios(const median_reporter_c& _reporter)
{
    const std::pair<const char*, std::string> files[] = {
        {"Lwo2", "50,000 triangles"},
        {"3ds", "50,000 triangles"},
        {"Ase", "50,000 triangles"},
        {"AseScene", std::to_string(SceneAse().size() / 1024) + " KB, " + std::to_string(kObjects) + " objects"},
    };
    for (const auto& [format, what] : files) {
        const double speed =
            _reporter.Speed(std::string("BM_") + format + "Ours", std::string("BM_") + format + "Assimp");
        if (speed > 0)
            std::printf("%s %s: %.2fx Assimp's speed (goal 2x)\n", format, what.c_str(), speed);
    }
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    median_reporter_c reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
