#include "engine/effect_maps.h"

#include "engine/anim_sprite.h"
#include "engine/emitter.h"
#include "engine/flare.h"
#include "engine/object_format.h"
#include "engine/sprite.h"
#include "engine/trail.h"
#include "engine/testing/effect_fixtures.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/command.h"
#include "foundation/file_error.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>
#include <vector>

TEST(EffectMapsTest, MapListLines)
{
    const struct {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"a.bmp", {"a.bmp"}},     {"  a.bmp\t\n\tb c.bmp \n", {"a.bmp", "b c.bmp"}}, {"\n\n \t \n", {}}, {"", {}},
        {"x\r\ny", {"x\r", "y"}},
    };
    for (const auto& c : cases) {
        const std::vector<string_c> lines = SplitMapList(c.text);
        ASSERT_EQ(lines.size(), c.lines.size()) << c.text;
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i].ToStdString(), c.lines[i]);
    }
    EXPECT_TRUE(SplitMapList(nullptr).empty());
}

TEST(EffectMapsTest, MapListSettings)
{
    const map_list_c plain(command_c("MapList \"a\nb\""));
    EXPECT_EQ(plain.paths.size(), 2u);
    EXPECT_EQ(plain.offset, 0);
    EXPECT_FLOAT_EQ(plain.rate, 30.0f);
    EXPECT_TRUE(plain.loop);
    EXPECT_FALSE(plain.bidirectional);
    const map_list_c set(command_c("MapList a OFFSET=3 FPS=7 LOOPING=0 BIDIRECTIONAL=1"));
    EXPECT_EQ(set.offset, 3);
    EXPECT_FLOAT_EQ(set.rate, 7.0f);
    EXPECT_FALSE(set.loop);
    EXPECT_TRUE(set.bidirectional);
    EXPECT_THROW(map_list_c(command_c("MapList")), command_error_c);
}

TEST(EffectMapsTest, BodyRecordsEndAtPaddingAndRefuseCutRecords)
{
    output_file_c body;
    output_file_c block;
    block.WriteU32(7);
    body.WriteU32(0x41414141);
    body.WriteBlock(block);
    body.WriteU8(0);
    body.WriteU8(0);
    input_file_c in = ViewOf(body);
    std::vector<u32> tags;
    ReadBodyRecords(in, [&](u32 _tag, input_file_c& _block) {
        tags.push_back(_tag);
        EXPECT_EQ(_block.GetSize(), 4u);
    });
    EXPECT_EQ(tags, std::vector<u32>{0x41414141});

    output_file_c cut;
    cut.WriteU32(0x41414141);
    cut.WriteU32(100);
    cut.WriteU32(1);
    input_file_c cut_in = ViewOf(cut);
    try {
        ReadBodyRecords(cut_in, [](u32, input_file_c&) {});
        FAIL() << "no exception";
    } catch (const file_error_c& error) {
        EXPECT_STREQ(error.what(), "Unexpected end of file!");
    }
}

TEST(EffectReadersTest, LoaderReadsEveryEffectKind)
{
    const effect_readers_scope_c readers;
    recording_renderer_c renderer;
    sprite_c sprite("sprite", &renderer);
    anim_sprite_c anim("anim", &renderer);
    flare_c flare("flare", &renderer);
    emitter_c emitter("emitter", &renderer);
    trail_c trail("trail", &renderer);
    const null_object_c* objects[] = {&sprite, &anim, &flare, &emitter, &trail};
    output_file_c out;
    for (const null_object_c* object : objects)
        object->Write(out);
    input_file_c in = ViewOf(out);
    for (const null_object_c* object : objects) {
        std::unique_ptr<null_object_c> read(LoadObject(in, &renderer, false));
        ASSERT_NE(read, nullptr);
        const null_object_c& readObject = *read;
        EXPECT_EQ(typeid(readObject), typeid(*object));
        EXPECT_EQ(read->GetName(), object->GetName());
    }
    EXPECT_TRUE(in.IsAtEnd());
}
