#include "level/parameter.h"

#include "level/chunk_saver.h"
#include "level/testing/chunk_bytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

std::string Text(const parameter_c& _parameter)
{
    char buffer[256];
    _parameter.ToText(buffer, sizeof buffer);
    return buffer;
}

u32 Bits(f32 _value)
{
    u32 bits;
    std::memcpy(&bits, &_value, 4);
    return bits;
}

// One parameter of each type with a value that is not its default.
std::vector<std::unique_ptr<parameter_c>> OneOfEach()
{
    std::vector<std::unique_ptr<parameter_c>> all;
    auto f = std::make_unique<parameter_float_c>();
    f->name = "move_speed";
    f->value = 12.75f;
    f->SetRange(-5.0, 100.5);
    all.push_back(std::move(f));
    auto b = std::make_unique<parameter_bool_c>();
    b->name = "Looping";
    b->value = true;
    all.push_back(std::move(b));
    auto i = std::make_unique<parameter_int_c>();
    i->name = "iff";
    i->value = -1;
    i->SetRange(-1, 1);
    all.push_back(std::move(i));
    auto s = std::make_unique<parameter_string_c>();
    s->name = "fx_onSH";
    s->value = "sound";
    all.push_back(std::move(s));
    auto c = std::make_unique<parameter_color_c>();
    c->name = "Color";
    c->value = vec3_c(1.0f, 0.5f, 0.25f);
    all.push_back(std::move(c));
    auto file = std::make_unique<parameter_file_c>();
    file->name = "fx_onSH_file";
    file->value = "data\\game\\sounds\\gun.wav";
    all.push_back(std::move(file));
    auto v = std::make_unique<parameter_vector_c>();
    v->name = "gun left";
    v->value = vec3_c(-1.5f, 0.25f, 3.0f);
    all.push_back(std::move(v));
    return all;
}

} // namespace

TEST(Parameter, CreateParameterMakesEachTypeWithItsDefaults)
{
    for (int id = 1; id <= 7; ++id) {
        std::unique_ptr<parameter_c> parameter = CreateParameter(id);
        ASSERT_NE(nullptr, parameter);
        EXPECT_EQ(id, parameter->GetType());
        EXPECT_EQ("", parameter->name);
    }
    auto f = CreateParameter(parameter_c::type_float);
    EXPECT_EQ(0xCF000000u, Bits(static_cast<parameter_float_c&>(*f).min));
    EXPECT_EQ(0x4F000000u, Bits(static_cast<parameter_float_c&>(*f).max));
    auto i = CreateParameter(parameter_c::type_int);
    EXPECT_EQ(INT32_MIN, static_cast<parameter_int_c&>(*i).min);
    EXPECT_EQ(INT32_MAX, static_cast<parameter_int_c&>(*i).max);
}

TEST(Parameter, CreateParameterOutsideTheTypeIdsGivesNull)
{
    for (int id : {0, 8, -1, 1000})
        EXPECT_EQ(nullptr, CreateParameter(id)) << id;
}

TEST(Parameter, ToTextUsesEachTypesFormat)
{
    const std::vector<std::unique_ptr<parameter_c>> all = OneOfEach();
    const char* expected[] = {
        "12.750000",
        "True",
        "-1",
        "sound",
        "256, 128,  64",
        "data\\game\\sounds\\gun.wav",
        "-1.500000, 0.250000, 3.000000",
    };
    for (size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(expected[i], Text(*all[i])) << "type " << all[i]->GetType();

    parameter_bool_c no;
    EXPECT_EQ("False", Text(no));
    parameter_color_c color;
    color.value = vec3_c(1.0f, 0.5f, 0.0f);
    EXPECT_EQ("256, 128,   0", Text(color));
}

TEST(Parameter, ColorTextTruncatesTowardZeroAndSurvivesHugeValues)
{
    parameter_color_c color;
    color.value = vec3_c(-0.01f, 0.999f, 1e30f);
    EXPECT_EQ(" -2, 255, 2147483647", Text(color));
}

TEST(Parameter, ToTextIsCutToTheCallersBuffer)
{
    parameter_string_c text;
    text.value = "abcdefgh";
    char buffer[4] = {'x', 'x', 'x', 'x'};
    text.ToText(buffer, sizeof buffer);
    EXPECT_STREQ("abc", buffer);
    text.ToText(buffer, 0);
    EXPECT_STREQ("abc", buffer);
}

TEST(Parameter, SetRangeStoresFloatsTruncatesIntsAndIsIgnoredByOthers)
{
    parameter_float_c f;
    f.SetRange(-1.25, 2.5);
    EXPECT_EQ(-1.25f, f.min);
    EXPECT_EQ(2.5f, f.max);
    parameter_int_c i;
    i.SetRange(-3.9, 7.9);
    EXPECT_EQ(-3, i.min);
    EXPECT_EQ(7, i.max);
    i.SetRange(-1e300, 1e300);
    EXPECT_EQ(INT32_MIN, i.min);
    EXPECT_EQ(INT32_MAX, i.max);
    f.SetRange(-1e300, 1e300);
    EXPECT_TRUE(std::isinf(f.min) && f.min < 0);
    EXPECT_TRUE(std::isinf(f.max) && f.max > 0);
    parameter_bool_c b;
    b.SetRange(1, 2);
    EXPECT_FALSE(b.value);
}

TEST(Parameter, CloneCopiesNameValueAndRange)
{
    for (const auto& original : OneOfEach()) {
        std::unique_ptr<parameter_c> copy = original->Clone();
        ASSERT_NE(nullptr, copy);
        EXPECT_EQ(original->GetType(), copy->GetType());
        EXPECT_EQ(original->name, copy->name);
        EXPECT_EQ(Text(*original), Text(*copy));
    }
    parameter_float_c f;
    f.SetRange(1, 2);
    auto copy = f.Clone();
    EXPECT_EQ(1.0f, static_cast<parameter_float_c&>(*copy).min);
    EXPECT_EQ(2.0f, static_cast<parameter_float_c&>(*copy).max);
}

TEST(Parameter, CopyToAnotherTypeIsRefused)
{
    parameter_float_c f;
    parameter_int_c i;
    parameter_string_c s;
    parameter_file_c file;
    EXPECT_THROW(f.CopyTo(i), std::invalid_argument);
    EXPECT_THROW(s.CopyTo(file), std::invalid_argument);
}

TEST(Parameter, EveryTypeRoundTripsThroughItsChunkLeaves)
{
    for (const auto& original : OneOfEach()) {
        SCOPED_TRACE(original->name);
        const bytes_t bytes = WriteBytes([&](CChunkSaver& saver) { original->Serialize(saver); });
        std::unique_ptr<parameter_c> read = CreateParameter(original->GetType());
        ReadBytes(bytes, [&](CChunkSaver& saver) { read->Serialize(saver); });
        EXPECT_EQ(original->name, read->name);
        EXPECT_EQ(Text(*original), Text(*read));
        if (original->GetType() == parameter_c::type_float) {
            EXPECT_EQ(-5.0f, static_cast<parameter_float_c&>(*read).min);
            EXPECT_EQ(100.5f, static_cast<parameter_float_c&>(*read).max);
        }
        if (original->GetType() == parameter_c::type_int) {
            EXPECT_EQ(-1, static_cast<parameter_int_c&>(*read).min);
            EXPECT_EQ(1, static_cast<parameter_int_c&>(*read).max);
        }
    }
}

TEST(Parameter, LeavesHaveTheStoredLayout)
{
    parameter_int_c i;
    i.name = "iff";
    i.value = 2;
    i.SetRange(0, 3);
    EXPECT_EQ(Cat({Item("name", TextBytes("iff")), Item("vale", U32Bytes(2)), Item("rMin", U32Bytes(0)),
                   Item("rMax", U32Bytes(3))}),
              WriteBytes([&](CChunkSaver& saver) { i.Serialize(saver); }));

    parameter_bool_c b;
    b.name = "on";
    b.value = true;
    EXPECT_EQ(Cat({Item("name", TextBytes("on")), Item("vale", {1})}),
              WriteBytes([&](CChunkSaver& saver) { b.Serialize(saver); }));

    parameter_color_c c;
    c.name = "c";
    c.value = vec3_c(1.0f, 0.0f, 0.5f);
    EXPECT_EQ(
        Cat({Item("name", TextBytes("c")), Item("vale", Cat({FloatBytes(1.0f), FloatBytes(0.0f), FloatBytes(0.5f)}))}),
        WriteBytes([&](CChunkSaver& saver) { c.Serialize(saver); }));

    parameter_file_c file;
    file.name = "f";
    file.value = "a.wav";
    EXPECT_EQ(Cat({Item("name", TextBytes("f")), Item("vale", TextBytes("a.wav"))}),
              WriteBytes([&](CChunkSaver& saver) { file.Serialize(saver); }));
}

TEST(Parameter, ValueLeafOfTheWrongSizeIsABrokenFile)
{
    const bytes_t bytes = Cat({Item("name", TextBytes("x")), Item("vale", {1, 2, 3, 4, 5, 6, 7, 8})});
    parameter_float_c f;
    EXPECT_THROW(ReadBytes(bytes, [&](CChunkSaver& saver) { f.Serialize(saver); }), file_error_c);
    parameter_bool_c b;
    EXPECT_THROW(ReadBytes(bytes, [&](CChunkSaver& saver) { b.Serialize(saver); }), file_error_c);
}
