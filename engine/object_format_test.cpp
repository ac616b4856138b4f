#include "engine/object_format.h"

#include "engine/object_chunk.h"
#include "engine/scene.h"
#include "engine/scene_loader.h"
#include "engine/still_map.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/file_error.h"
#include "foundation/file_system.h"
#include "foundation/file_writer.h"
#include "foundation/memory_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<u8> BytesOf(const output_file_c& out)
{
    return std::vector<u8>(out.GetData(), out.GetData() + out.GetSize());
}

envelope_c Ramp(float from, float to)
{
    envelope_c envelope;
    envelope.keys.resize(2);
    envelope.keys[0].value = from;
    envelope.keys[1].value = to;
    envelope.keys[1].time = 1;
    return envelope;
}

std::unique_ptr<map_c> FlareMap(texture_cache_c* cache, i32 side)
{
    texture_def_c def(flare_def_c(), side);
    def.mipmapping = false;
    return std::make_unique<still_map_c>(def, cache);
}

// A scene with every kind of item, link and setting the format carries.
std::unique_ptr<scene_c> FullScene(renderer_c* renderer)
{
    auto scene = std::make_unique<scene_c>("world", renderer);
    scene->ambientColor = vec3_c(0.1f, 0.2f, 0.3f);
    scene->ambientIntensity = 0.5f;
    scene->fogMode = 2;
    scene->fogColor = vec3_c(0.5f, 0.5f, 0.6f);
    scene->fogStart = 10;
    scene->fogEnd = 1000;
    scene->fogDensity = 0.01f;
    scene->backdropColor = vec3_c(0, 0, 1);
    scene->foregroundValue = 0.7f;
    scene->glowStrength = 0.2f;
    scene->SetViewport(0.1f, 0.1f, 0.8f, 0.8f);
    scene->SetClipPlanes(0.5f, 5000);
    scene->SetDepthWeights(0.25f, 0.75f);
    scene->Play(0, 1, 9, true);
    scene->SetBackgroundMap(FlareMap(renderer, 4));
    scene->SetForegroundMap(FlareMap(renderer, 8));
    scene->SetIlluminationMap(FlareMap(renderer, 16));
    scene->SetReflectionMap(FlareMap(renderer, 32));
    scene->AddEnvelope(Ramp(0, 1), &scene->ambientIntensity);

    camera_c* overview = scene->CreateCamera("overview");
    camera_c* chase = scene->CreateCamera("chase");
    chase->zoom = 1.5f;
    chase->position = vec3_c(0, 2, -10);
    scene->SetActiveCamera(chase);

    light_c* sun = scene->AddLight(new light_c("sun"));
    sun->color = vec3_c(1, 0.9f, 0.8f);
    sun->SetFlags(light_shadows);
    sun->shadowColor = vec3_c(0.1f, 0.1f, 0.2f);
    sun->shadowStrength = 0.6f;
    light_c* lamp = scene->AddLight(new light_c("lamp"));
    lamp->SetType(light_point);
    lamp->SetFalloff(true, false);
    lamp->range = 40;
    lamp->AddEnvelope(Ramp(1, 2), &lamp->intensity);

    null_object_c* marker = scene->AddObject(new null_object_c("marker"));
    marker->position = vec3_c(1, 2, 3);
    marker->rotation = vec3_c(0.1f, 0.2f, 0.3f);
    marker->scale = vec3_c(1, 2, 3);
    marker->SetPivot(vec3_c(0.5f, 0, 0));
    marker->SetPivotRotation(vec3_c(0, 0.25f, 0));
    marker->isStatic = true;
    marker->dissolve = 0.25f;
    marker->SetFlags(0x40);
    marker->AddEnvelope(Ramp(3, 4), &marker->position.z);

    auto* group = new aggregate_c("convoy", renderer);
    group->position = vec3_c(100, 0, 0);
    null_object_c* truck = group->AddObject(new null_object_c("truck"));
    null_object_c* trailer = group->AddObject(new null_object_c("trailer"));
    group->SetParent(trailer, truck);
    camera_c* cab = group->CreateCamera("cab");
    group->SetParent(cab, truck);
    light_c* headlight = group->AddLight(new light_c("headlight"));
    group->SetTarget(headlight, trailer);
    scene->AddObject(group);

    scene->SetParent(overview, chase);
    scene->SetTarget(chase, marker);
    scene->SetParent(sun, group);
    scene->SetTarget(lamp, marker);
    scene->SetParent(marker, group);
    return scene;
}

std::vector<u8> Written(const null_object_c& object)
{
    output_file_c out;
    object.Write(out);
    return BytesOf(out);
}

input_file_c ViewOf(const std::vector<u8>& bytes)
{
    return input_file_c(bytes.data(), static_cast<u32>(bytes.size()));
}

void Append(output_file_c& out, const std::vector<u8>& bytes)
{
    for (u8 byte : bytes)
        out.WriteU8(byte);
}

// The body of the chunk an object writes.
std::vector<u8> BodyOf(const null_object_c& object, u32 tag, u32 version)
{
    const std::vector<u8> out = Written(object);
    input_file_c in = ViewOf(out);
    input_file_c body;
    EXPECT_TRUE(ReadChunk(in, tag, version, body));
    return std::vector<u8>(body.GetData(), body.GetData() + body.GetSize());
}

std::vector<u8> Chunk(u32 tag, u32 version, const output_file_c& body)
{
    output_file_c out;
    WriteChunk(out, tag, version, body);
    return BytesOf(out);
}

// A reader of a made-up "SPRT" chunk: a NULL body inside.
null_object_c* ReadTestSprite(input_file_c& file, renderer_c*)
{
    input_file_c body;
    if (!ReadChunk(file, MakeTag("SPRT"), 5, body))
        return nullptr;
    return null_object_c::Read(body);
}

// Files kept in memory, current for reading and writing while it lives.
class memory_files_c : public file_system_c, public file_writer_c {
public:
    std::map<std::string, std::vector<u8>> files;

    u32 GetSize(const char* name) override { return static_cast<u32>(Find(name).size()); }
    u32 Load(const char* name, void* buffer, u32 size) override
    {
        const std::vector<u8>& bytes = Find(name);
        if (bytes.size() > size)
            throw file_error_c(name, "Out of buffer!");
        if (!bytes.empty())
            std::memcpy(buffer, bytes.data(), bytes.size());
        return static_cast<u32>(bytes.size());
    }
    int Write(const char* name, const void* data, u32 size) override
    {
        const u8* bytes = static_cast<const u8*>(data);
        files[name].assign(bytes, bytes + size);
        return static_cast<int>(size);
    }

private:
    const std::vector<u8>& Find(const char* name) const
    {
        const auto found = files.find(name);
        if (found == files.end())
            throw file_error_c(name, "File does not exist!");
        return found->second;
    }
};

} // namespace

TEST(ObjectFormatTest, NullChunkLayout)
{
    null_object_c object("ab");
    const std::vector<u8> out = Written(object);
    const u8* data = out.data();
    u32 word;
    std::memcpy(&word, data, 4);
    EXPECT_EQ(word, 0x4C4C554Eu);
    std::memcpy(&word, data + 4, 4);
    EXPECT_EQ(word, 3u);
    std::memcpy(&word, data + 12, 4);
    EXPECT_EQ(word, 2u); // name length
    EXPECT_EQ(std::memcmp(data + 16, "ab", 3), 0);
}

TEST(ObjectFormatTest, SceneWithEveryItemKindReadsBackTheSame)
{
    recording_renderer_c renderer(640, 480);
    const std::unique_ptr<scene_c> scene = FullScene(&renderer);
    const std::vector<u8> first = Written(*scene);
    input_file_c in = ViewOf(first);
    std::unique_ptr<scene_c> read(scene_c::Read(in, &renderer));
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(in.IsAtEnd());
    EXPECT_EQ(Written(*read), first);

    EXPECT_EQ(read->GetName(), "world");
    EXPECT_EQ(read->GetActiveCamera()->GetName(), "chase");
    EXPECT_EQ(read->fogMode, 2);
    EXPECT_FLOAT_EQ(read->GetFarClipPlane(), 5000);
    ASSERT_NE(read->GetBackgroundMap(), nullptr);
    EXPECT_EQ(read->GetEnvelopeCount(), 1u);
    const null_object_c* marker = read->GetObjects().GetFirst();
    EXPECT_EQ(marker->GetName(), "marker");
    EXPECT_EQ(marker->parent, static_cast<const entity_c*>(read->GetObjects().GetLast()));
    EXPECT_TRUE(marker->hasPivot);
    EXPECT_TRUE(marker->isStatic);
    EXPECT_FLOAT_EQ(marker->dissolve, 0.25f);
    const light_c* lamp = read->GetLights().GetLast();
    EXPECT_TRUE(lamp->HasFalloffKind1());
    EXPECT_EQ(lamp->target, static_cast<const entity_c*>(marker));
    const auto* group = dynamic_cast<const aggregate_c*>(read->GetObjects().GetLast());
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->GetCameras().GetFirst()->parent, static_cast<const entity_c*>(group->GetObjects().GetFirst()));
}

TEST(ObjectFormatTest, ActiveCameraRecordHoldsItsReference)
{
    scene_c scene("s", nullptr);
    scene.CreateCamera("only");
    const std::vector<u8> out = Written(scene);
    ASSERT_GE(out.size(), 12u);
    u32 tail[3];
    std::memcpy(tail, out.data() + out.size() - 12, 12);
    EXPECT_EQ(tail[0], MakeTag("cmra"));
    EXPECT_EQ(tail[1], 4u);
    EXPECT_EQ(tail[2], 0x30000000u);
}

TEST(ObjectFormatTest, LoaderTriesTheReadersInOrder)
{
    recording_renderer_c renderer;
    aggregate_c group("g", &renderer);
    null_object_c plain("plain");
    for (const null_object_c* object :
         {static_cast<const null_object_c*>(&group), static_cast<const null_object_c*>(&plain)}) {
        const std::vector<u8> out = Written(*object);
        input_file_c in = ViewOf(out);
        std::unique_ptr<null_object_c> read(LoadObject(in, &renderer, false));
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->GetName(), object->GetName());
        EXPECT_EQ(dynamic_cast<aggregate_c*>(read.get()) != nullptr, object == &group);
        input_file_c again = ViewOf(out);
        EXPECT_EQ(LoadObject(again, &renderer, true), nullptr);
        EXPECT_EQ(again.GetPosition(), 0u);
    }
}

TEST(ObjectFormatTest, RegisteredReadersAreUsedInsideBodies)
{
    recording_renderer_c renderer;
    output_file_c sprite_body;
    null_object_c("spark").Write(sprite_body);
    output_file_c body;
    Append(body, BodyOf(aggregate_c("holder", &renderer), MakeTag("AGGR"), 4));
    Append(body, Chunk(MakeTag("SPRT"), 5, sprite_body));
    const std::vector<u8> file = Chunk(MakeTag("AGGR"), 4, body);
    {
        input_file_c in(file.data(), static_cast<u32>(file.size()));
        std::unique_ptr<aggregate_c> read(aggregate_c::Read(in, &renderer));
        ASSERT_NE(read, nullptr);
        // Without a sprite reader the chunk is an unknown record: skipped.
        EXPECT_EQ(read->GetObjects().GetCount(), 0u);
    }
    RegisterObjectReader(reader_sprite, ReadTestSprite);
    input_file_c in(file.data(), static_cast<u32>(file.size()));
    std::unique_ptr<aggregate_c> read(aggregate_c::Read(in, &renderer));
    RegisterObjectReader(reader_sprite, nullptr);
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->GetObjects().GetCount(), 1u);
    EXPECT_EQ(read->GetObjects().GetFirst()->GetName(), "spark");
}

TEST(ObjectFormatTest, VersionMismatchSkipsTheWholeChunk)
{
    // A camera chunk of version 9 whose body would read as records, then a
    // light: the light is found and nothing else.
    output_file_c body;
    Append(body, BodyOf(aggregate_c("holder", nullptr), MakeTag("AGGR"), 4));
    output_file_c wrong;
    for (u32 word : {MakeTag("NULL"), 3u, 8u, MakeTag("prnt"), 0u})
        wrong.WriteU32(word);
    Append(body, Chunk(MakeTag("CMRA"), 9, wrong));
    light_c("kept").Write(body);
    const std::vector<u8> file = Chunk(MakeTag("AGGR"), 4, body);
    input_file_c in(file.data(), static_cast<u32>(file.size()));
    std::unique_ptr<aggregate_c> read(aggregate_c::Read(in, nullptr));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetCameras().GetCount(), 0u);
    EXPECT_EQ(read->GetObjects().GetCount(), 0u);
    ASSERT_EQ(read->GetLights().GetCount(), 1u);
    EXPECT_EQ(read->GetLights().GetFirst()->GetName(), "kept");

    const std::vector<u8> old = Chunk(MakeTag("AGGR"), 3, body);
    input_file_c old_in(old.data(), static_cast<u32>(old.size()));
    EXPECT_EQ(aggregate_c::Read(old_in, nullptr), nullptr);
    EXPECT_TRUE(old_in.IsAtEnd());
}

TEST(ObjectFormatTest, UnknownRecordsAreSkipped)
{
    aggregate_c group("g", nullptr);
    group.AddObject(new null_object_c("a"));
    output_file_c body;
    Append(body, BodyOf(group, MakeTag("AGGR"), 4));
    body.WriteU32(MakeTag("what"));
    body.WriteBlock("xyz", 3);
    body.WriteU8(0); // stray padding at the end
    const std::vector<u8> file = Chunk(MakeTag("AGGR"), 4, body);
    input_file_c in(file.data(), static_cast<u32>(file.size()));
    std::unique_ptr<aggregate_c> read(aggregate_c::Read(in, nullptr));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetObjects().GetCount(), 1u);
}

TEST(ObjectFormatTest, BrokenDataNamesTheFile)
{
    memory_files_c files;
    const std::string name = "maps\\broken.scn";
    auto expect_error = [&](const std::vector<u8>& bytes, const char* message) {
        {
            output_file_c file(name.c_str());
            Append(file, bytes);
            file.Commit();
        }
        try {
            std::unique_ptr<scene_c> scene(LoadScene(name.c_str(), nullptr));
            ADD_FAILURE() << message;
        } catch (const file_error_c& error) {
            EXPECT_STREQ(error.what(), message);
            EXPECT_NE(std::string(error.GetFileName()).find("broken.scn"), std::string::npos);
        }
    };
    scene_c scene("s", nullptr);
    scene.AddObject(new null_object_c("a"));
    scene.AddObject(new null_object_c("b"));
    const std::vector<u8> body = BodyOf(scene, MakeTag("SCNE"), 6);
    auto with_record = [&](u32 tag, std::initializer_list<u32> words) {
        output_file_c bad;
        Append(bad, body);
        output_file_c block;
        for (u32 word : words)
            block.WriteU32(word);
        bad.WriteU32(tag);
        bad.WriteBlock(block);
        return Chunk(MakeTag("SCNE"), 6, bad);
    };
    expect_error(with_record(MakeTag("prnt"), {0x10000000, 0x10000002}), "Could not find item!");
    expect_error(with_record(MakeTag("trgt"), {0x20000000, 0x10000000}), "Could not find item!");
    // An active-camera record naming an object.
    expect_error(with_record(MakeTag("cmra"), {0x10000000}), "Could not find item!");
    expect_error(with_record(MakeTag("prnt"), {0x10000000}), "Unexpected end of file!");

    output_file_c short_body;
    Append(short_body, std::vector<u8>(body.begin(), body.begin() + 40));
    expect_error(Chunk(MakeTag("SCNE"), 6, short_body), "Unexpected end of file!");

    expect_error({'h', 'e', 'l', 'l', 'o'}, "Unknown file format!");

    // Aggregates nested far deeper than any scene needs.
    const std::vector<u8> shell = BodyOf(aggregate_c("shell", nullptr), MakeTag("AGGR"), 4);
    output_file_c innermost;
    null_object_c("leaf").Write(innermost);
    std::vector<u8> nested = BytesOf(innermost);
    for (int depth = 0; depth < 100; ++depth) {
        output_file_c level;
        Append(level, shell);
        Append(level, nested);
        nested = Chunk(MakeTag("AGGR"), 4, level);
    }
    output_file_c deep;
    Append(deep, body);
    Append(deep, nested);
    expect_error(Chunk(MakeTag("SCNE"), 6, deep), "Objects nested too deeply!");
}

TEST(ObjectFormatTest, SaveAndLoadByName)
{
    memory_files_c files;
    recording_renderer_c renderer(640, 480);
    const std::unique_ptr<scene_c> scene = FullScene(&renderer);
    const std::string name = "world.scn";
    scene->Save(name.c_str());
    std::unique_ptr<scene_c> loaded(LoadScene(name.c_str(), &renderer));
    EXPECT_EQ(Written(*loaded), Written(*scene));

    const std::string object_name = "group.obj";
    scene->GetObjects().GetLast()->Save(object_name.c_str());
    std::unique_ptr<null_object_c> object(LoadObject(object_name.c_str(), &renderer, false));
    EXPECT_EQ(object->GetName(), "convoy");
    try {
        LoadObject(object_name.c_str(), &renderer, true);
        ADD_FAILURE();
    } catch (const file_error_c& error) {
        EXPECT_STREQ(error.what(), "Unknown file format!");
    }
}

namespace {

bool ImportTestScene(input_file_c& file, scene_c& scene)
{
    const u8* data = file.GetPointer();
    if (!data || file.GetSize() - file.GetPosition() < 4 || std::memcmp(data, "TEST", 4) != 0)
        return false;
    file.Seek(0, 2);
    scene.CreateCamera("imported");
    return true;
}

} // namespace

TEST(ObjectFormatTest, SceneImportersComeBeforeTheEngineChunk)
{
    memory_files_c files;
    const std::string name = "scenes\\sub.dir\\Imported.lws";
    {
        output_file_c file(name.c_str());
        for (char c : std::string("TEST scene"))
            file.WriteU8(static_cast<u8>(c));
        file.Commit();
    }
    EXPECT_THROW(LoadScene(name.c_str(), nullptr), file_error_c);
    RegisterSceneImporter(importer_ase, ImportTestScene);
    std::unique_ptr<scene_c> scene(LoadScene(name.c_str(), nullptr));
    RegisterSceneImporter(importer_ase, nullptr);
    EXPECT_EQ(scene->GetName(), "Imported");
    EXPECT_EQ(scene->GetActiveCamera()->GetName(), "imported");
}
