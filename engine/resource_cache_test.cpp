#include "engine/testing/recording_renderer.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <stdexcept>

namespace {

// A drawn texture needs no file: a flare picture of the given side.
texture_def_c Flare(i32 side, bool mipmapping = false)
{
    texture_def_c def(flare_def_c(), side);
    def.mipmapping = mipmapping;
    return def;
}

geometry_def_c Triangle(const char* name)
{
    geometry_def_c def(name);
    def.format.hasPosition = 1;
    auto* set = new triangle_set_c;
    set->vertices.resize(3);
    set->vertices[1].position.x = 1;
    set->vertices[2].position.y = 1;
    set->indices = {0, 1, 2};
    def.AddPrimitiveSet(set);
    return def;
}

std::string Statistics(const texture_cache_c& cache)
{
    std::ostringstream out;
    cache.PrintStatistics(out);
    return out.str();
}

template <class F>
std::string Failure(F f)
{
    try {
        f();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(TextureKeyTest, ImageAlphaAndBumpKeys)
{
    string_c key;
    texture_def_c("textures\\sky.bmp", true, false).GetKey(key);
    EXPECT_STREQ(key, "Image={\"textures\\sky.bmp\" 1 0}");
    texture_def_c(texture_type_alpha, "mask.png", false, true).GetKey(key);
    EXPECT_STREQ(key, "Alpha={\"mask.png\" 0 1}");
    texture_def_c(texture_type_bump, "", true, true).GetKey(key);
    EXPECT_STREQ(key, "Bump={\"(Unnamed)\" 1 1}");
    texture_def_c().GetKey(key);
    EXPECT_STREQ(key, "Image={\"(Unnamed)\" 0 0}");
    texture_def_c other;
    other.type = static_cast<texture_type_e>(7);
    other.GetKey(key);
    EXPECT_STREQ(key, "");
}

TEST(TextureKeyTest, FlareKeyPrintsTheFlareWords)
{
    flare_def_c flare;
    flare.color[0] = 1.0f;
    flare.color[1] = 0.5f;
    flare.discColor[2] = 1.0f;
    flare.ringColor[0] = 0.25f;
    string_c key;
    texture_def_c(flare, 64).GetKey(key);
    EXPECT_STREQ(key, "Flare={64 64 {0xFF7F00 1 1 0x000000 1 6 0x000000 1 2 0x0000FF 0.97 0.06 0x3F0000 0.22 0.02 "
                      "90 0 1 0.07 0.18 0 0.5 0.07 0.1 0 1 0.0166667 0.03}}");
}

TEST(ResourceCacheTest, DefinitionsDifferingOnlyInCaseShareATexture)
{
    recording_renderer_c renderer;
    texture_c* first = renderer.GetTexture(Flare(8));
    EXPECT_EQ(renderer.GetTexture(Flare(8)), first);
    EXPECT_EQ(renderer.texture_cache_c::Find("flare={8 8 {0X000000 1 1 0x000000 1 6 0x000000 1 2 0x000000 0.97 0.06 "
                                             "0x000000 0.22 0.02 90 0 1 0.07 0.18 0 0.5 0.07 0.1 0 1 0.0166667 "
                                             "0.03}}"),
              first);
    EXPECT_EQ(renderer.createdTextures, 1u);
    EXPECT_EQ(first->useCount, 0u);
    EXPECT_EQ(renderer.texture_cache_c::Find("Flare={9 9}"), nullptr);
}

TEST(ResourceCacheTest, GeometryKeyIgnoresTheVertices)
{
    recording_renderer_c renderer;
    geometry_c* first = renderer.GetGeometry(Triangle("hull"));
    geometry_def_c other = Triangle("HULL");
    other.primitiveSets[0]->vertices[2].position.y = 7;
    EXPECT_EQ(renderer.GetGeometry(other), first);
    EXPECT_EQ(first->definition.primitiveSets[0]->vertices[2].position.y, 1.0f);
    EXPECT_EQ(renderer.createdGeometries, 1u);
    EXPECT_NE(renderer.GetGeometry(Triangle("deck")), first);
}

TEST(ResourceCacheTest, AddRefReleaseAndPurge)
{
    recording_renderer_c renderer;
    renderer.GetTexture(Flare(4));
    texture_c* b = renderer.GetTexture(Flare(8));
    texture_c* c = renderer.GetTexture(Flare(16));
    EXPECT_EQ(renderer.AddRef(b), b);
    EXPECT_EQ(b->useCount, 1u);
    renderer.AddRef(c);
    renderer.Release(c);
    EXPECT_EQ(c->useCount, 0u);
    // Released to 0, still there and found again.
    EXPECT_EQ(renderer.GetTexture(Flare(16)), c);
    EXPECT_EQ(renderer.createdTextures, 3u);

    renderer.texture_cache_c::Purge();
    EXPECT_EQ(renderer.texture_cache_c::GetCount(), 1u);
    EXPECT_EQ(renderer.texture_cache_c::GetFirst(), b);
}

TEST(ResourceCacheTest, PurgeKeepsTheSurvivorsInOrder)
{
    recording_renderer_c renderer;
    texture_c* kept[3];
    for (int i = 0; i < 6; ++i) {
        texture_c* texture = renderer.GetTexture(Flare(1 << i));
        if (i % 2)
            kept[i / 2] = renderer.AddRef(texture);
    }
    renderer.texture_cache_c::Purge();
    texture_c* item = renderer.texture_cache_c::GetFirst();
    for (texture_c* expected : kept) {
        ASSERT_EQ(item, expected);
        item = item->GetNext();
    }
    EXPECT_EQ(item, nullptr);
}

TEST(ResourceCacheTest, PurgeWithEveryCountAtZeroEmptiesTheCache)
{
    recording_renderer_c renderer;
    renderer.GetGeometry(Triangle("a"));
    renderer.GetGeometry(Triangle("b"));
    renderer.geometry_cache_c::Purge();
    EXPECT_EQ(renderer.geometry_cache_c::GetCount(), 0u);
    EXPECT_EQ(renderer.geometry_cache_c::GetFirst(), nullptr);
}

TEST(ResourceCacheTest, ForeignResourcesAreIgnored)
{
    recording_renderer_c renderer;
    recording_renderer_c other;
    texture_c* mine = renderer.GetTexture(Flare(4));
    texture_c* theirs = other.GetTexture(Flare(4));
    EXPECT_EQ(renderer.AddRef(theirs), nullptr);
    renderer.Release(theirs);
    EXPECT_EQ(theirs->useCount, 0u);
    EXPECT_EQ(renderer.AddRef(static_cast<texture_c*>(nullptr)), nullptr);
    EXPECT_EQ(renderer.AddRef(mine), mine);
}

TEST(ResourceCacheTest, AnExtraReleaseDoesNotWrapTheCount)
{
    recording_renderer_c renderer;
    texture_c* texture = renderer.GetTexture(Flare(4));
    renderer.Release(texture);
    EXPECT_EQ(texture->useCount, 0u);
    renderer.texture_cache_c::Purge();
    EXPECT_EQ(renderer.texture_cache_c::GetCount(), 0u);
}

TEST(ResourceCacheTest, TextureStatistics)
{
    recording_renderer_c renderer;
    EXPECT_EQ(Statistics(renderer), "Texture Cache: 0 KB, 0 element(s)\n");
    texture_c* flat = renderer.AddRef(renderer.GetTexture(Flare(32)));
    renderer.AddRef(flat);
    renderer.GetTexture(Flare(64, true));
    string_c flat_key, mip_key;
    Flare(32).GetKey(flat_key);
    Flare(64, true).GetKey(mip_key);
    // 32 x 32 x 4 bytes; 64 x 64 with six more levels: 21844 bytes.
    EXPECT_EQ(Statistics(renderer), std::string("Texture Cache: 25 KB, 2 element(s)\n") + flat_key.GetData() +
                                        ", 32x32x1, 1 level(s), 4 KB, 2 hit(s)\n" + mip_key.GetData() +
                                        ", 64x64x1, 7 level(s), 21 KB, 0 hit(s)\n");
}

TEST(ResourceCacheTest, GeometryAndFontStatistics)
{
    recording_renderer_c renderer;
    geometry_c* geometry = renderer.AddRef(renderer.GetGeometry(Triangle("hull")));
    renderer.GetFont(font_def_c("Arial", 12));
    std::ostringstream out;
    renderer.PrintStatistics(out);
    EXPECT_EQ(out.str(), "Geometry Cache: 0 KB, 1 element(s)\n"
                         "Geometry={\"hull\" {1 0 0 0 0 0} 0 0 0 0}, 0 KB, 1 hit(s)\n"
                         "\n"
                         "Texture Cache: 0 KB, 0 element(s)\n"
                         "\n"
                         "Font Cache: 0 KB, 1 element(s)\n"
                         "Font={\"Arial\" 12 0 0 0 0 0 0}, 0 KB, 0 hit(s)\n");
    EXPECT_EQ(geometry->GetSize(), 3u * 12 + 3 * 4);
}

TEST(ResourceCacheTest, FactoryFailuresAppendNothing)
{
    recording_renderer_c renderer;
    geometry_def_c broken = Triangle("broken");
    broken.primitiveSets[0]->indices[2] = 3;
    EXPECT_EQ(Failure([&] { renderer.GetGeometry(broken); }), "Non integral geometry!");
    EXPECT_EQ(renderer.geometry_cache_c::GetCount(), 0u);

    renderer.maxPrimitiveCount = 0;
    EXPECT_EQ(Failure([&] { renderer.GetGeometry(Triangle("big")); }), "Maximum primitive count exceeded!");
    renderer.maxPrimitiveCount = 10;
    renderer.maxVertexCount = 2;
    EXPECT_EQ(Failure([&] { renderer.GetGeometry(Triangle("big")); }), "Maximum vertex count exceeded!");
    EXPECT_EQ(renderer.geometry_cache_c::GetCount(), 0u);

    EXPECT_EQ(Failure([&] { renderer.GetTexture(texture_def_c()); }), "Invalid texture image!");
    renderer.rejectedFormats.insert(format_x8r8g8b8);
    EXPECT_EQ(Failure([&] { renderer.GetTexture(Flare(4)); }), "Invalid texture format!");
    renderer.rejectedFormats.clear();
    renderer.failTextureCreation = true;
    EXPECT_EQ(Failure([&] { renderer.GetTexture(Flare(4)); }), "Could not create texture!");
    EXPECT_EQ(renderer.texture_cache_c::GetCount(), 0u);

    EXPECT_EQ(Failure([&] { renderer.GetFont(font_def_c("Arial", 0)); }), "Invalid font definition!");
    EXPECT_EQ(renderer.font_cache_c::GetCount(), 0u);
}

TEST(ResourceCacheTest, TheFactoryWeldsTheSharedPrimitiveSets)
{
    recording_renderer_c renderer;
    geometry_def_c def = Triangle("welded");
    primitive_set_c& set = *def.primitiveSets[0];
    set.vertices.insert(set.vertices.end(), set.vertices.begin(), set.vertices.end());
    set.indices = {0, 1, 2, 3, 4, 5};
    def.weld = 1;
    auto* geometry = static_cast<recording_geometry_c*>(renderer.GetGeometry(def));
    EXPECT_EQ(geometry->vertexCount, 3u);
    EXPECT_EQ(set.vertices.size(), 3u);
    EXPECT_EQ(geometry->definition.weld, 0);
    EXPECT_EQ(geometry->updateCount, 1u);
    geometry->Rebuild();
    EXPECT_EQ(geometry->updateCount, 2u);
}

TEST(ResourceCacheTest, SoftwareVertexProcessingFollowsTheDefinitionsNeeds)
{
    recording_renderer_c renderer;
    geometry_def_c plain = Triangle("plain");
    geometry_def_c skinned = Triangle("skinned");
    skinned.blendMatrixCount = 20;
    geometry_def_c tweened = Triangle("tweened");
    tweened.tweening = 1;
    EXPECT_FALSE(static_cast<recording_geometry_c*>(renderer.GetGeometry(plain))->softwareProcessing);
    EXPECT_TRUE(static_cast<recording_geometry_c*>(renderer.GetGeometry(skinned))->softwareProcessing);
    EXPECT_TRUE(static_cast<recording_geometry_c*>(renderer.GetGeometry(tweened))->softwareProcessing);
}

TEST(ResourceCacheTest, PreloadHandsFreshDeviceObjectsToTheCachedTexture)
{
    recording_renderer_c renderer;
    texture_c* texture = renderer.AddRef(renderer.GetTexture(Flare(16)));
    renderer.GetTexture(Flare(32));
    renderer.Preload(texture);
    auto* recorded = static_cast<recording_texture_c*>(texture);
    EXPECT_EQ(recorded->takeOverCount, 1u);
    EXPECT_EQ(recorded->width, 16u);
    EXPECT_EQ(renderer.createdTextures, 3u);
    EXPECT_EQ(renderer.texture_cache_c::GetFirst(), texture);
    EXPECT_EQ(renderer.texture_cache_c::GetCount(), 2u);
    EXPECT_EQ(texture->useCount, 1u);
}

TEST(FontKeyTest, KeysAndSharing)
{
    string_c key;
    font_def_c("Arial", 12.0f).GetKey(key);
    EXPECT_STREQ(key, "Font={\"Arial\" 12 0 0 0 0 0 0}");
    font_def_c(nullptr, 12.5f, 1, 0, 0, 0, 2, 255).GetKey(key);
    EXPECT_STREQ(key, "Font={\"(Unnamed)\" 12.5 1 0 0 0 2 255}");

    recording_renderer_c renderer;
    font_c* font = renderer.GetFont(font_def_c("Arial", 12));
    EXPECT_EQ(renderer.GetFont(font_def_c("ARIAL", 12)), font);
    EXPECT_NE(renderer.GetFont(font_def_c("Arial", 14)), font);
}
