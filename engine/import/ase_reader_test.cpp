#include "engine/import/ase_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/camera.h"
#include "engine/light.h"
#include "engine/primitive_set.h"
#include "engine/scene.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/file_error.h"

namespace {

struct loaded_ase_c {
    explicit loaded_ase_c(const std::string& _text)
        : text(_text), file(text.data(), static_cast<u32>(text.size())), scene("s", &renderer), reader(file)
    {
        reader.Read(&scene, &renderer, meshes);
    }
    std::string text;
    input_file_c file;
    recording_renderer_c renderer;
    scene_c scene;
    ase_reader_c reader;
    std::vector<ase_mesh_c> meshes;
};

const char* const kBox = R"(*3DSMAX_ASCIIEXPORT	200
*COMMENT "test"
*SCENE {
	*SCENE_BACKGROUND_STATIC 0.0 0.0 1.0
	*SCENE_AMBIENT_STATIC 0.2 0.2 0.2
}
*MATERIAL_LIST {
	*MATERIAL_COUNT 1
	*MATERIAL 0 {
		*MATERIAL_NAME "Crates"
		*MATERIAL_DIFFUSE 1.0 0.5 0.0
		*MATERIAL_SHINE 0.25
		*MATERIAL_SHADING Blinn
		*MATERIAL_TRANSPARENCY 0.5
		*MATERIAL_XP_TYPE Additive
		*MAP_BUMP {
			*MAP_CLASS "Bitmap"
			*BITMAP "C:\maps\dents.bmp"
		}
		*NUMSUBMTLS 2
		*SUBMATERIAL 0 {
			*MATERIAL_NAME "Wood"
			*MATERIAL_SHADING Constant
			*MATERIAL_TRANSPARENCY 0.5
			*MATERIAL_XP_TYPE Filter
			*MAP_DIFFUSE {
				*MAP_CLASS "RGB Multiply"
				*MAP_AMOUNT 1.0
				*MAP_GENERIC {
					*MAP_CLASS "Bitmap"
					*BITMAP "maps\wood.bmp"
					*UVW_U_TILING 2.0
					*BITMAP_FILTER None
				}
				*MAP_GENERIC {
					*MAP_CLASS "Bitmap"
					*BITMAP "dirt.bmp"
				}
			}
		}
		*SUBMATERIAL 1 {
			*MATERIAL_NAME "Paint"
			*MATERIAL_SHADING Phong
			*MAP_DIFFUSE {
				*MAP_CLASS "Vertex Color"
			}
		}
	}
}
*GEOMOBJECT {
	*NODE_NAME "Box"
	*NODE_TM {
		*NODE_NAME "Box"
		*TM_ROW0 1.0 0.0 0.0
		*TM_ROW1 0.0 1.0 0.0
		*TM_ROW2 0.0 0.0 1.0
		*TM_ROW3 0.0 0.0 0.0
	}
	*MESH {
		*MESH_NUMVERTEX 4
		*MESH_NUMFACES 3
		*MESH_VERTEX_LIST {
			*MESH_VERTEX 5 9.0 9.0 9.0
			*MESH_VERTEX 0 1.0 2.0 3.0
			*MESH_VERTEX 1 2.0 2.0 3.0
			*MESH_VERTEX 2 2.0 3.0 3.0
			*MESH_VERTEX 3 1.0 3.0 3.0
		}
		*MESH_FACE_LIST {
			*MESH_FACE 0: A: 0 B: 1 C: 2 AB: 1 BC: 1 CA: 0 *MESH_SMOOTHING 1,2 *MESH_MTLID 0
			*MESH_FACE 1: A: 0 B: 2 C: 3 AB: 1 BC: 1 CA: 0 *MESH_SMOOTHING 1 *MESH_MTLID 1
			*MESH_FACE 2: A: 0 B: 2 C: 9 AB: 1 BC: 1 CA: 0 *MESH_SMOOTHING 1 *MESH_MTLID 7
			*MESH_FACE 3: A: 0 B: 2 C: 3 AB: 1 BC: 1 CA: 0 *MESH_SMOOTHING 3 *MESH_MTLID 5
		}
		*MESH_NUMTVERTEX 4
		*MESH_TVERTLIST {
			*MESH_TVERT 0 0.25 0.25 0.0
			*MESH_TVERT 1 1.0 0.0 0.0
			*MESH_TVERT 2 1.0 1.0 0.0
			*MESH_TVERT 3 0.0 1.0 0.0
		}
		*MESH_TFACELIST {
			*MESH_TFACE 0 0 1 2
			*MESH_TFACE 1 0 2 3
			*MESH_TFACE 2 0 2 9
		}
	}
	*MATERIAL_REF 0
}
*CAMERAOBJECT {
	*NODE_NAME "Camera01"
	*CAMERA_TYPE Target
	*NODE_TM {
		*NODE_NAME "Camera01"
		*TM_POS 0.0 -10.0 5.0
	}
	*NODE_TM {
		*NODE_NAME "Camera01.Target"
		*TM_POS 0.0 0.0 0.0
	}
	*CAMERA_SETTINGS {
		*CAMERA_FOV 1.0
	}
}
*LIGHTOBJECT {
	*NODE_NAME "Omni01"
	*LIGHT_TYPE Omni
	*NODE_TM {
		*NODE_NAME "Omni01"
		*TM_POS 1.0 2.0 3.0
	}
	*LIGHT_SHADOWS Mapped
	*LIGHT_USELIGHT 1
	*LIGHT_SETTINGS {
		*LIGHT_COLOR 1.0 0.5 0.25
		*LIGHT_INTENS 2.0
		*LIGHT_HOTSPOT 20.0
		*LIGHT_FALLOFF 30.0
	}
}
)";

} // namespace

TEST(AseReader, RecognisesTheHeaderWithItsTab)
{
    for (const auto& c : std::vector<std::pair<std::string, bool>>{{"*3DSMAX_ASCIIEXPORT\t200\n", true},
                                                                   {"*3DSMAX_ASCIIEXPORT 200\n", false},
                                                                   {"*3DSMAX_ASCIIEXPORT\t20", false}}) {
        input_file_c file(c.first.data(), static_cast<u32>(c.first.size()));
        EXPECT_EQ(IsAseFile(file), c.second) << c.first;
    }
}

TEST(AseReader, MultiMaterialMeshWithMapsSmoothingLightAndCamera)
{
    loaded_ase_c l(kBox);
    EXPECT_EQ(l.scene.backdropColor.z, 1.0f);
    EXPECT_EQ(l.scene.ambientColor.x, 0.2f);

    ASSERT_EQ(l.reader.GetMaterials().size(), 1u);
    const ase_material_c& crates = l.reader.GetMaterials()[0];
    EXPECT_STREQ(crates.name, "Crates");
    EXPECT_EQ(crates.values.color.y, 0.5f);
    EXPECT_EQ(crates.values.glossiness, 25.0f);
    EXPECT_EQ(crates.values.transparency, 0.0f);
    EXPECT_EQ(crates.values.flags, u32(surface_smooth | surface_additive));
    EXPECT_STREQ(crates.values.bumpMap, "dents.bmp");
    EXPECT_FLOAT_EQ(crates.values.bump, -0.3f);
    ASSERT_EQ(crates.subMaterials.size(), 2u);
    const ase_material_c& wood = crates.subMaterials[0];
    EXPECT_EQ(wood.values.transparency, 0.5f);
    EXPECT_EQ(wood.values.flags, 0u);
    EXPECT_STREQ(wood.values.colorMap[0].still, "wood.bmp");
    EXPECT_STREQ(wood.values.colorMap[1].still, "dirt.bmp");
    EXPECT_EQ(wood.filter[0], 0);
    EXPECT_TRUE(wood.hasTransform[0]);
    EXPECT_FALSE(wood.hasTransform[1]);
    EXPECT_EQ(crates.subMaterials[1].values.flags, u32(surface_smooth | surface_vertex_colors));

    ASSERT_EQ(l.meshes.size(), 1u);
    const ase_mesh_c& mesh = l.meshes[0];
    EXPECT_STREQ(mesh.geometry->name, "Box");
    EXPECT_EQ(mesh.geometry->format.texCoordSetCount, 1u);
    EXPECT_EQ(mesh.geometry->format.hasDiffuse, 0);
    // Face 2 names vertex 9 and is dropped. Sets: the faces whose id is past
    // the sub-materials (face with id 5), then sub-material 0, then 1.
    ASSERT_EQ(mesh.geometry->primitiveSets.size(), 3u);
    ASSERT_EQ(mesh.materials.size(), 3u);
    EXPECT_STREQ(mesh.materials[0].name, "Crates");
    EXPECT_STREQ(mesh.materials[1].name, "Wood");
    EXPECT_STREQ(mesh.materials[2].name, "Paint");
    // Face (0, 1, 2) is stored as (2, 1, 0); vertex 0 (1, 2, 3) is (1, 3, 2).
    const auto& wooden = mesh.geometry->primitiveSets[1]->vertices;
    ASSERT_EQ(wooden.size(), 3u);
    EXPECT_EQ(wooden[2].position.x, 1.0f);
    EXPECT_EQ(wooden[2].position.y, 3.0f);
    EXPECT_EQ(wooden[2].position.z, 2.0f);
    EXPECT_EQ(wooden[2].texCoords[0][0], 0.25f);
    EXPECT_EQ(wooden[2].texCoords[0][1], 0.75f);
    // "Constant" shading: flat normals on the wood face.
    EXPECT_NEAR(std::fabs(wooden[0].normal.y), 1.0f, 1e-6);
    EXPECT_NEAR(wooden[0].normal.y, wooden[2].normal.y, 1e-6);

    ASSERT_EQ(l.scene.GetCameras().GetCount(), 1u);
    camera_c* camera = l.scene.GetCameras().GetFirst();
    EXPECT_STREQ(camera->GetName(), "Camera01");
    EXPECT_EQ(camera->position.y, 5.0f);
    EXPECT_EQ(camera->position.z, -10.0f);
    camera_c expected("e");
    expected.SetFieldOfView(0.75f);
    EXPECT_FLOAT_EQ(camera->zoom, expected.zoom);

    ASSERT_EQ(l.scene.GetLights().GetCount(), 1u);
    light_c* omni = l.scene.GetLights().GetFirst();
    EXPECT_EQ(omni->position.y, 3.0f);
    EXPECT_EQ(omni->color.z, 0.25f);
    EXPECT_EQ(omni->intensity, 2.0f);
    EXPECT_FLOAT_EQ(omni->coneAngle, 30.0f * 0.017453292519943295f);
    EXPECT_FLOAT_EQ(omni->edgeAngle, 10.0f * 0.017453292519943295f);
    EXPECT_NE(omni->GetFlags() & 128, 0u);
}

TEST(AseReader, UnknownMaterialReferenceUsesTheWireColour)
{
    loaded_ase_c l(R"(*3DSMAX_ASCIIEXPORT	200
*GEOMOBJECT {
	*NODE_NAME "Tri"
	*MESH {
		*MESH_VERTEX_LIST {
			*MESH_VERTEX 0 0 0 0
			*MESH_VERTEX 1 1 0 0
			*MESH_VERTEX 2 0 1 0
		}
		*MESH_FACE_LIST {
			*MESH_FACE 0: A: 0 B: 1 C: 2 *MESH_SMOOTHING 1 *MESH_MTLID 0
		}
		*MESH_VERTEX_LIST {
			*MESH_VERTEX 0 0 0 0
		}
		*MESH_CVERTLIST {
			*MESH_VERTCOL 0 1.0 0.0 0.0
		}
		*MESH_CFACELIST {
			*MESH_CFACE 0 0 0 0
		}
	}
	*WIREFRAME_COLOR 0.0 1.0 0.0
	*MATERIAL_REF 7
}
)");
    // The second vertex list left the face's indices out of range: they are
    // checked again when the mesh is built.
    ASSERT_EQ(l.meshes.size(), 1u);
    EXPECT_STREQ(l.meshes[0].materials[0].name, "Default");
    EXPECT_EQ(l.meshes[0].materials[0].values.color.y, 1.0f);
    const auto& vertices = l.meshes[0].geometry->primitiveSets[0]->vertices;
    ASSERT_EQ(vertices.size(), 3u);
    EXPECT_EQ(vertices[0].diffuse & 0x00FFFFFF, 0x00FF0000u);
    EXPECT_TRUE(l.meshes[0].geometry->IsIntegral());
}

TEST(AseReader, TruncatedTextIsAnError)
{
    for (const char* text : {"*3DSMAX_ASCIIEXPORT\t200\n*GEOMOBJECT {\n*NODE_NAME \"Tri",
                             "*3DSMAX_ASCIIEXPORT\t200\n*MATERIAL_LIST {\n*MATERIAL_COUNT"}) {
        try {
            loaded_ase_c l(text);
            ADD_FAILURE() << text;
        } catch (const file_error_c& e) {
            EXPECT_STREQ(e.what(), "Unexpected end of file!");
        }
    }
}

TEST(AseReader, DeepNestingIsBounded)
{
    std::string text = "*3DSMAX_ASCIIEXPORT\t200\n*MATERIAL_LIST { *MATERIAL_COUNT 1 *MATERIAL 0 {";
    for (int i = 0; i < 20000; ++i)
        text += " *NUMSUBMTLS 1 *SUBMATERIAL 0 {";
    for (int i = 0; i < 20002; ++i)
        text += " }";
    loaded_ase_c l(text);
    ASSERT_EQ(l.reader.GetMaterials().size(), 1u);
    u32 depth = 0;
    for (const ase_material_c* m = &l.reader.GetMaterials()[0]; !m->subMaterials.empty(); m = &m->subMaterials[0])
        ++depth;
    EXPECT_LE(depth, 16u);
}

namespace {

// Appends the corners of face _face of a grid of _side by _side quads, two
// triangles each, to _corners; returns them.
const u32* GridFace(u32 _side, u32 _face, std::vector<u32>& _corners)
{
    const u32 n = _side + 1, q = _face / 2, p = (q / _side) * n + q % _side;
    const u32 c[3] = {p, _face % 2 ? p + n + 1 : p + 1, _face % 2 ? p + n : p + n + 1};
    _corners.insert(_corners.end(), c, c + 3);
    return _corners.data() + _corners.size() - 3;
}

// An export of several objects with transforms, counts, normals given for
// some faces, vertex colours, two material ids and numbers written in the
// forms exporters use (signs, exponents, long fractions, junk after a word).
std::string ManyObjects()
{
    std::string t = "*3DSMAX_ASCIIEXPORT\t200\n*MATERIAL_LIST {\n\t*MATERIAL_COUNT 2\n"
                    "\t*MATERIAL 0 {\n\t\t*MATERIAL_NAME \"Hull\"\n\t\t*MATERIAL_DIFFUSE 0.5 0.25 1e-1\n"
                    "\t\t*MATERIAL_SHADING Blinn\n\t}\n\t*MATERIAL 1 {\n\t\t*MATERIAL_NAME \"Rig\"\n"
                    "\t\t*MATERIAL_SHADING Phong\n\t\t*NUMSUBMTLS 2\n\t\t*SUBMATERIAL 0 {\n"
                    "\t\t\t*MATERIAL_NAME \"Sail\"\n\t\t\t*MATERIAL_SHADING Phong\n\t\t}\n"
                    "\t\t*SUBMATERIAL 1 {\n\t\t\t*MATERIAL_NAME \"Rope\"\n\t\t\t*MATERIAL_SHADING Constant\n"
                    "\t\t}\n\t}\n}\n";
    char line[256];
    u32 seed = 99;
    auto next = [&]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    const char* const formats[] = {"%.4f", "%.9f", "%+.3f", "%.3e", "%.1f", "%.6gjunk"};
    auto number = [&](f32 _value) {
        char text[64];
        std::snprintf(text, sizeof text, formats[next() % 6], static_cast<double>(_value));
        return std::string(text);
    };
    for (u32 object = 0; object < 4; ++object) {
        const u32 side = 3 + object, n = side + 1, faces = 2 * side * side;
        std::snprintf(line, sizeof line,
                      "*GEOMOBJECT {\n\t*NODE_NAME \"Part%u\"\n\t*NODE_TM {\n\t\t*NODE_NAME \"Part%u\"\n"
                      "\t\t*TM_ROW0 1.0 0.0 0.0\n\t\t*TM_ROW1 0.0 %s 0.0\n\t\t*TM_ROW2 0.0 0.0 1.0\n"
                      "\t\t*TM_ROW3 %u.0 0.0 0.0\n\t}\n\t*MESH {\n\t\t*MESH_NUMVERTEX %u\n"
                      "\t\t*MESH_NUMFACES %u\n\t\t*MESH_VERTEX_LIST {\n",
                      object, object, object % 2 ? "2.0" : "1.0", object * 10, n * n, faces);
        t += line;
        for (u32 v = 0; v < n * n; ++v) {
            const f32 h = static_cast<f32>(next() % 1000) / 77.0f - 6.0f;
            // One number per statement: the order of the generator's draws
            // must not depend on the compiler.
            const std::string x = number(static_cast<f32>(v % n));
            const std::string y = number(static_cast<f32>(v / n));
            const std::string z = number(h);
            t += "\t\t\t*MESH_VERTEX " + std::to_string(v) + "\t" + x + "\t" + y + "\t" + z + "\n";
        }
        t += "\t\t}\n\t\t*MESH_FACE_LIST {\n";
        std::vector<u32> corners;
        for (u32 f = 0; f < faces; ++f) {
            const u32* const c = GridFace(side, f, corners);
            std::snprintf(line, sizeof line,
                          "\t\t\t*MESH_FACE %u:    A: %u B: %u C: %u AB:    1 BC:    1 CA:    0\t *MESH_SMOOTHING %u "
                          "\t*MESH_MTLID %u\n",
                          f, c[0], c[1], c[2], f % 3, (f / 4) % 2);
            t += line;
        }
        t += "\t\t}\n\t\t*MESH_NUMTVERTEX " + std::to_string(n * n) + "\n\t\t*MESH_TVERTLIST {\n";
        for (u32 v = 0; v < n * n; ++v) {
            const std::string u = number(static_cast<f32>(v % n) / side);
            const std::string w = number(static_cast<f32>(v / n) / side);
            t += "\t\t\t*MESH_TVERT " + std::to_string(v) + "\t" + u + "\t" + w + "\t0.0\n";
        }
        t += "\t\t}\n\t\t*MESH_NUMTVFACES " + std::to_string(faces) + "\n\t\t*MESH_TFACELIST {\n";
        for (u32 f = 0; f < faces; ++f)
            t += "\t\t\t*MESH_TFACE " + std::to_string(f) + "\t" + std::to_string(corners[f * 3]) + "\t" +
                 std::to_string(corners[f * 3 + 1]) + "\t" + std::to_string(corners[f * 3 + 2]) + "\n";
        t += "\t\t}\n\t\t*MESH_NUMCVERTEX 2\n\t\t*MESH_CVERTLIST {\n\t\t\t*MESH_VERTCOL 0\t1.0\t0.5\t0.0\n"
             "\t\t\t*MESH_VERTCOL 1\t0.0\t0.5\t1.0\n\t\t}\n\t\t*MESH_CFACELIST {\n";
        for (u32 f = 0; f < faces; ++f)
            t += "\t\t\t*MESH_CFACE " + std::to_string(f) + "\t" + std::to_string(f % 2) + "\t1\t0\n";
        t += "\t\t}\n\t\t*MESH_NORMALS {\n";
        for (u32 f = 0; f < faces; f += 2) {
            t += "\t\t\t*MESH_FACENORMAL " + std::to_string(f) + "\t0.0\t0.0\t1.0\n";
            for (u32 k = 0; k < 3; ++k) {
                const std::string x = number(0.1f * static_cast<f32>(k));
                const std::string y = number(-0.2f);
                const std::string z = number(0.97f);
                t += "\t\t\t\t*MESH_VERTEXNORMAL " + std::to_string(corners[f * 3 + k]) + "\t" + x + "\t" + y + "\t" +
                     z + "\n";
            }
        }
        t += "\t\t}\n\t}\n\t*PROP_CASTSHADOW 1\n\t*MATERIAL_REF " + std::to_string(object % 2) + "\n}\n";
    }
    return t;
}

void Fnv1a(u64& _h, const void* _bytes, size_t _size)
{
    for (size_t i = 0; i < _size; ++i)
        _h = (_h ^ static_cast<const u8*>(_bytes)[i]) * 1099511628211ull;
}

// FNV-1a over everything the reader built.
u64 Fingerprint(const std::vector<ase_mesh_c>& _meshes)
{
    u64 h = 14695981039346656037ull;
    auto add = [&](const void* _bytes, size_t _size) { Fnv1a(h, _bytes, _size); };
    for (const ase_mesh_c& mesh : _meshes) {
        add(mesh.name.GetData(), mesh.name.GetLength());
        for (const auto& set : mesh.geometry->primitiveSets) {
            for (const vertex_c& v : set->vertices) {
                add(&v.position, sizeof v.position);
                add(&v.normal, sizeof v.normal);
                add(&v.diffuse, sizeof v.diffuse);
                add(v.texCoords[0], sizeof v.texCoords[0]);
            }
            add(set->indices.data(), set->indices.size() * sizeof(u32));
        }
        for (const ase_material_c& material : mesh.materials) {
            add(material.name.GetData(), material.name.GetLength());
            add(&material.values.color, sizeof material.values.color);
            add(&material.values.flags, sizeof material.values.flags);
        }
    }
    return h;
}

size_t FacesOf(const std::vector<ase_mesh_c>& _meshes)
{
    size_t faces = 0;
    for (const ase_mesh_c& mesh : _meshes)
        for (const auto& set : mesh.geometry->primitiveSets)
            faces += set->indices.size() / 3;
    return faces;
}

} // namespace

// The numbers, lists and blocks of a many-object export read into exactly
// the geometry they always have.
TEST(AseReader, ManyObjectExportBuildsTheSameGeometryAsAlways)
{
    const loaded_ase_c ase(ManyObjects());
    ASSERT_EQ(ase.meshes.size(), 4u);
    EXPECT_EQ(FacesOf(ase.meshes), 2u * (9 + 16 + 25 + 36));
    EXPECT_EQ(Fingerprint(ase.meshes), 8012160648085892719ull);
}

namespace {

void AddMaterial(u64& _h, const ase_material_c& _material)
{
    auto add = [&](const void* _bytes, size_t _size) { Fnv1a(_h, _bytes, _size); };
    auto text = [&](const string_c& _text) { add(_text.GetData(), _text.GetLength() + 1); };
    const lwo2_surface_values_c& v = _material.values;
    text(_material.name);
    for (const f32 f : {v.color.x, v.color.y, v.color.z, v.luminosity, v.diffuse, v.specularColor.x, v.specularColor.y,
                        v.specularColor.z, v.glossiness, v.specular, v.transparency, v.reflectivity, v.bump})
        add(&f, sizeof f);
    add(&v.flags, sizeof v.flags);
    text(v.colorMap[0].still);
    text(v.colorMap[1].still);
    text(v.reflectionMap);
    text(v.bumpMap);
    add(_material.hasTransform, sizeof _material.hasTransform);
    add(_material.transform, sizeof _material.transform);
    add(_material.filter, sizeof _material.filter);
    const size_t subs = _material.subMaterials.size();
    add(&subs, sizeof subs);
    for (const ase_material_c& sub : _material.subMaterials)
        AddMaterial(_h, sub);
}

// FNV-1a over the meshes, every material in full, the scene's colours and
// its first camera and light.
u64 SceneFingerprint(const loaded_ase_c& _ase)
{
    u64 h = Fingerprint(_ase.meshes);
    auto add = [&](const void* _bytes, size_t _size) { Fnv1a(h, _bytes, _size); };
    for (const ase_mesh_c& mesh : _ase.meshes)
        for (const ase_material_c& material : mesh.materials)
            AddMaterial(h, material);
    for (const ase_material_c& material : _ase.reader.GetMaterials())
        AddMaterial(h, material);
    add(&_ase.scene.backdropColor, sizeof(vec3_c));
    add(&_ase.scene.ambientColor, sizeof(vec3_c));
    if (camera_c* camera = _ase.scene.GetCameras().GetFirst()) {
        add(&camera->position, sizeof camera->position);
        add(&camera->zoom, sizeof camera->zoom);
    }
    if (light_c* light = _ase.scene.GetLights().GetFirst()) {
        add(&light->position, sizeof light->position);
        add(&light->color, sizeof light->color);
        for (const f32 f : {light->intensity, light->coneAngle, light->edgeAngle})
            add(&f, sizeof f);
        const u32 flags = light->GetFlags();
        add(&flags, sizeof flags);
    }
    return h;
}

} // namespace

// Every value read from both exports, bit for bit: materials with their maps,
// transforms and sub-materials, the scene's colours, camera and light.
TEST(AseReader, ExportsBuildTheSameScenesAsAlways)
{
    for (const auto& [text, expected] : std::vector<std::pair<std::string, u64>>{
             {kBox, 2879396385992875678ull}, {ManyObjects(), 6910605739848212442ull}}) {
        const loaded_ase_c ase(text);
        EXPECT_EQ(SceneFingerprint(ase), expected) << text.substr(0, 120);
    }
}

namespace {

// One object whose list rows are written every way a row can be read: the
// usual layout, blanks of every kind and length between the numbers (runs
// longer than a number's usual window), carriage returns, signs, indices
// with points or junk, smoothing groups as lists, exponents and long
// fractions, numbers of exactly eight and nine bytes, and words that are no
// numbers at all.
std::string UnusualRows()
{
    const char* const blanks[] = {"\t", " ", "     ", "\t \t", " \r\n\t\t", "                    ", "\v", "\f "};
    const char* const floats[] = {"0.5000",   "-0.2500", "+1.7500", "12345678", "1234567.8", "-1234.567",
                                  "0.000001", "1e-3",    "-2.5E+1", "7.",       ".25",       "-.5",
                                  "3.5x",     "-",       "0",       "-0.0000",  "99.9999",   "0.123456789"};
    u32 seed = 4242;
    auto next = [&]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    auto blank = [&]() { return std::string(blanks[next() % std::size(blanks)]); };
    auto number = [&]() { return std::string(floats[next() % std::size(floats)]); };
    // The entry's own index, often written oddly, and in normal lists now
    // and then a wrong one.
    auto index = [&](u32 _i) {
        const std::string i = std::to_string(_i);
        switch (next() % 12) {
        case 0: return "+" + i;
        case 1: return i + ".9";
        case 2: return i + "x";
        case 3: return std::string(8 - i.size(), '0') + i;
        case 4: return std::string(9 - i.size(), '0') + i;
        case 5: return i + ",5";
        default: return i;
        }
    };
    auto wrong = [&](u32 _i) { return next() % 16 == 0 ? std::string("-1") : index(_i); };
    // The parts of a braced list are made in order; those of a chain of +
    // are not, and compilers differ.
    auto join = [](std::initializer_list<std::string> _parts) {
        std::string joined;
        for (const std::string& part : _parts)
            joined += part;
        return joined;
    };
    const u32 side = 6, n = side + 1, faces = 2 * side * side;
    std::string t = "*3DSMAX_ASCIIEXPORT\t200\n*MATERIAL_LIST {\n\t*MATERIAL_COUNT 1\n\t*MATERIAL 0 {\n"
                    "\t\t*MATERIAL_NAME \"Rig\"\n\t\t*MATERIAL_SHADING Phong\n\t\t*NUMSUBMTLS 2\n"
                    "\t\t*SUBMATERIAL 0 {\n\t\t\t*MATERIAL_SHADING Phong\n\t\t}\n"
                    "\t\t*SUBMATERIAL 1 {\n\t\t\t*MATERIAL_SHADING Blinn\n\t\t}\n\t}\n}\n"
                    "*GEOMOBJECT {\n\t*NODE_NAME \"Odd\"\n\t*MESH {\n\t\t*MESH_NUMVERTEX 49\n"
                    "\t\t*MESH_NUMFACES 72\n\t\t*MESH_VERTEX_LIST {\n";
    for (u32 v = 0; v < n * n; ++v)
        t += join(
            {"\t\t\t*MESH_VERTEX", blank(), index(v), blank(), number(), blank(), number(), blank(), number(), "\n"});
    t += "\t\t}\n\t\t*MESH_FACE_LIST {\n";
    std::vector<u32> corners;
    for (u32 f = 0; f < faces; ++f) {
        const u32* const c = GridFace(side, f, corners);
        t += join({"\t\t\t*MESH_FACE", blank(), index(f), ":", blank(), "A:", blank(), std::to_string(c[0]), blank(),
                   "B:", blank(), index(c[1]), blank(), "C:", blank(), std::to_string(c[2]), blank(),
                   "AB:    1 BC:    1 CA:    0\t *MESH_SMOOTHING", blank()});
        const u32 odd = next() % 5;
        t += odd == 0 ? "1,2" : odd == 1 ? "" : std::to_string(f % 3);
        t += join({blank(), "*MESH_MTLID", blank(), odd == 2 ? "1.5" : std::to_string((f / 4) % 2), "\n"});
    }
    t += "\t\t}\n\t\t*MESH_NUMTVERTEX 49\n\t\t*MESH_TVERTLIST {\n";
    for (u32 v = 0; v < n * n; ++v)
        t += join(
            {"\t\t\t*MESH_TVERT", blank(), index(v), blank(), number(), blank(), number(), blank(), number(), "\n"});
    t += "\t\t}\n\t\t*MESH_NUMTVFACES 72\n\t\t*MESH_TFACELIST {\n";
    for (u32 f = 0; f < faces; ++f)
        t += join({"\t\t\t*MESH_TFACE", blank(), index(f), blank(), wrong(corners[f * 3]), blank(),
                   std::to_string(corners[f * 3 + 1]), blank(), std::to_string(corners[f * 3 + 2]), "\n"});
    t += "\t\t}\n\t\t*MESH_NORMALS {\n";
    for (u32 f = 0; f < faces; ++f) {
        t += join({"\t\t\t*MESH_FACENORMAL", blank(), wrong(f), blank(), number(), blank(), number(), blank(), number(),
                   "\n"});
        for (u32 k = 0; k < 3; ++k)
            t += join({"\t\t\t\t*MESH_VERTEXNORMAL", blank(), wrong(corners[f * 3 + k]), blank(), number(), blank(),
                       number(), blank(), number(), "\n"});
    }
    t += "\t\t}\n\t}\n\t*MATERIAL_REF 0\n}\n";
    return t;
}

} // namespace

// Rows in any of the forms above read into exactly the geometry they always
// have.
TEST(AseReader, UnusualRowsBuildTheSameGeometryAsAlways)
{
    const loaded_ase_c ase(UnusualRows());
    ASSERT_EQ(ase.meshes.size(), 1u);
    EXPECT_EQ(FacesOf(ase.meshes), 72u);
    EXPECT_EQ(SceneFingerprint(ase), 13416408412264552715ull);
}
