#include "level/parameter_list.h"

#include "level/chunk_saver.h"
#include "level/testing/chunk_bytes.h"

#include <gtest/gtest.h>

namespace {

std::string Text(const parameter_c* _parameter)
{
    char buffer[256];
    _parameter->ToText(buffer, sizeof buffer);
    return buffer;
}

// A list holding one parameter of each type, made through the accessors.
parameter_list_c Sample()
{
    parameter_list_c list;
    f32 speed = 12.5f;
    list.GetSetFloat("move_speed", &speed, false, 0.0f, 100.0f);
    bool looped = true;
    list.GetSetBool("looped", &looped, false);
    i32 iff = -1;
    list.GetSetInt("iff", &iff, false, -1, 1);
    string_c file = "data\\game\\sounds\\gun.wav";
    list.GetSetString("fx_onSH_file", &file, false);
    vec3_c color(1.0f, 0.5f, 0.0f);
    list.GetSetColor("Color", &color, false);
    vec3_c gun(-1.5f, 0.25f, 3.0f);
    list.GetSetVector("gun left", &gun, false);
    auto text = std::make_unique<parameter_string_c>();
    text->name = "fx_onSH";
    text->value = "sound";
    list.Add(std::move(text));
    return list;
}

void ExpectSameLists(const parameter_list_c& _a, const parameter_list_c& _b)
{
    ASSERT_EQ(_a.Count(), _b.Count());
    for (u32 i = 0; i < _a.Count(); ++i) {
        const parameter_c* a = _a.Get(i);
        const parameter_c* b = _b.Get(i);
        EXPECT_EQ(a->GetType(), b->GetType()) << i;
        EXPECT_EQ(a->name, b->name) << i;
        EXPECT_EQ(Text(a), Text(b)) << i;
        if (a->GetType() == parameter_c::type_float) {
            EXPECT_EQ(static_cast<const parameter_float_c*>(a)->min, static_cast<const parameter_float_c*>(b)->min);
            EXPECT_EQ(static_cast<const parameter_float_c*>(a)->max, static_cast<const parameter_float_c*>(b)->max);
        }
        if (a->GetType() == parameter_c::type_int) {
            EXPECT_EQ(static_cast<const parameter_int_c*>(a)->min, static_cast<const parameter_int_c*>(b)->min);
            EXPECT_EQ(static_cast<const parameter_int_c*>(a)->max, static_cast<const parameter_int_c*>(b)->max);
        }
    }
}

bytes_t ParmChunk(u32 _type, const bytes_t& _leaves)
{
    return Item("parm", Cat({Item("ptyp", U32Bytes(_type)), _leaves}));
}

} // namespace

TEST(ParameterList, FindIgnoresCaseAndReturnsTheFirstMatchFromAnIndex)
{
    parameter_list_c list;
    i32 one = 1, two = 2;
    list.GetSetInt("Size", &one, false, 0, 10);
    list.Add(CreateParameter(parameter_c::type_int))->name = "size";
    static_cast<parameter_int_c*>(list.Get(1))->value = two;
    EXPECT_EQ(list.Get(0), list.Find("SIZE", 0));
    EXPECT_EQ(list.Get(1), list.Find("SIZE", 1));
    EXPECT_EQ(nullptr, list.Find("SIZE", 2));
    EXPECT_EQ(list.Get(0), list.Find("size", -5));
    EXPECT_EQ(nullptr, list.Find("sizes"));
    EXPECT_EQ(nullptr, list.Find("siz"));
    EXPECT_EQ(nullptr, list.Find(nullptr));
}

TEST(ParameterList, GettingAMissingParameterLeavesTheValueAndAddsNothing)
{
    parameter_list_c list;
    f32 f = 3.5f;
    EXPECT_FALSE(list.GetSetFloat("speed", &f, true, 0.0f, 1.0f));
    EXPECT_EQ(3.5f, f);
    i32 i = 9;
    EXPECT_FALSE(list.GetSetInt("count", &i, true, 0, 1));
    EXPECT_EQ(9, i);
    bool b = true;
    EXPECT_FALSE(list.GetSetBool("on", &b, true));
    EXPECT_TRUE(b);
    string_c s = "keep";
    EXPECT_FALSE(list.GetSetString("file", &s, true));
    EXPECT_STREQ("keep", s.GetData());
    vec3_c v(1.0f, 2.0f, 3.0f);
    EXPECT_FALSE(list.GetSetColor("c", &v, true));
    EXPECT_FALSE(list.GetSetVector("v", &v, true));
    EXPECT_FALSE(list.GetSetRotation("r", &v, true));
    EXPECT_EQ(1.0f, v.x);
    EXPECT_EQ(2.0f, v.y);
    EXPECT_EQ(3.0f, v.z);
    EXPECT_EQ(0u, list.Count());
}

TEST(ParameterList, SettingAMissingParameterAppendsOneOfTheAccessorsType)
{
    parameter_list_c list = Sample();
    ASSERT_EQ(7u, list.Count());
    const int types[] = {1, 2, 3, 6, 5, 7, 4};
    for (u32 i = 0; i < 7; ++i)
        EXPECT_EQ(types[i], list.Get(i)->GetType()) << i;
    auto* speed = static_cast<parameter_float_c*>(list.Find("MOVE_SPEED"));
    EXPECT_EQ(12.5f, speed->value);
    EXPECT_EQ(0.0f, speed->min);
    EXPECT_EQ(100.0f, speed->max);
    auto* iff = static_cast<parameter_int_c*>(list.Find("iff"));
    EXPECT_EQ(-1, iff->min);
    EXPECT_EQ(1, iff->max);
}

TEST(ParameterList, SettingAnExistingParameterKeepsItsRange)
{
    parameter_list_c list = Sample();
    f32 speed = 50.0f;
    EXPECT_TRUE(list.GetSetFloat("Move_Speed", &speed, false, -7.0f, 7.0f));
    auto* parameter = static_cast<parameter_float_c*>(list.Find("move_speed"));
    EXPECT_EQ(50.0f, parameter->value);
    EXPECT_EQ(0.0f, parameter->min);
    EXPECT_EQ(100.0f, parameter->max);
    EXPECT_EQ(7u, list.Count());
    f32 read = 0.0f;
    EXPECT_TRUE(list.GetSetFloat("move_speed", &read, true, 0.0f, 0.0f));
    EXPECT_EQ(50.0f, read);
}

TEST(ParameterList, StringAccessorReadsAndWritesStringAndFileParametersAlike)
{
    parameter_list_c list = Sample();
    string_c value;
    EXPECT_TRUE(list.GetSetString("fx_onsh", &value, true));
    EXPECT_STREQ("sound", value.GetData());
    value = "vob";
    EXPECT_TRUE(list.GetSetString("fx_onSH", &value, false));
    EXPECT_EQ("vob", static_cast<parameter_string_c*>(list.Find("fx_onSH"))->value);
    EXPECT_EQ(parameter_c::type_string, list.Find("fx_onSH")->GetType());
    EXPECT_TRUE(list.GetSetString("fx_onSH_file", &value, true));
    EXPECT_STREQ("data\\game\\sounds\\gun.wav", value.GetData());
}

TEST(ParameterList, RotationIsStoredInDegrees)
{
    parameter_list_c list;
    vec3_c radians(1.5707964f, -3.1415927f, 0.0f);
    EXPECT_TRUE(list.GetSetRotation("Rotation#R", &radians, false));
    auto* stored = static_cast<parameter_vector_c*>(list.Find("rotation#r"));
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(parameter_c::type_vector, stored->GetType());
    EXPECT_FLOAT_EQ(90.0f, stored->value.x);
    EXPECT_FLOAT_EQ(-180.0f, stored->value.y);
    EXPECT_EQ(0.0f, stored->value.z);
    stored->value = vec3_c(45.0f, 0.0f, 360.0f);
    vec3_c read;
    EXPECT_TRUE(list.GetSetRotation("Rotation#R", &read, true));
    EXPECT_FLOAT_EQ(0.78539819f, read.x);
    EXPECT_EQ(0.0f, read.y);
    EXPECT_FLOAT_EQ(6.2831855f, read.z);
}

TEST(ParameterList, NumbersAreConvertedBetweenNumericTypes)
{
    parameter_list_c list;
    f32 count = 5.75f;
    list.GetSetFloat("count", &count, false, 0.0f, 10.0f);
    i32 asInt = 0;
    EXPECT_TRUE(list.GetSetInt("count", &asInt, true, 0, 0));
    EXPECT_EQ(5, asInt);
    bool asBool = false;
    EXPECT_TRUE(list.GetSetBool("count", &asBool, true));
    EXPECT_TRUE(asBool);
    i32 seven = 7;
    EXPECT_TRUE(list.GetSetInt("count", &seven, false, 0, 0));
    EXPECT_EQ(7.0f, static_cast<parameter_float_c*>(list.Find("count"))->value);
    f32 huge = 1e20f;
    list.GetSetFloat("count", &huge, false, 0, 0);
    EXPECT_TRUE(list.GetSetInt("count", &asInt, true, 0, 0));
    EXPECT_EQ(INT32_MAX, asInt);
}

TEST(ParameterList, AccessorOfAnotherKindNeitherReadsNorWritesNorAppends)
{
    parameter_list_c list = Sample();
    f32 number = 1.0f;
    EXPECT_FALSE(list.GetSetFloat("fx_onSH", &number, true, 0, 0));
    EXPECT_EQ(1.0f, number);
    EXPECT_FALSE(list.GetSetFloat("fx_onSH", &number, false, 0, 0));
    string_c text = "keep";
    EXPECT_FALSE(list.GetSetString("move_speed", &text, true));
    EXPECT_STREQ("keep", text.GetData());
    vec3_c v(1.0f, 1.0f, 1.0f);
    EXPECT_FALSE(list.GetSetVector("iff", &v, false));
    EXPECT_EQ(7u, list.Count());
    EXPECT_EQ("sound", static_cast<parameter_string_c*>(list.Find("fx_onSH"))->value);
}

TEST(ParameterList, ColorAndVectorAccessorsShareThreeFloats)
{
    parameter_list_c list = Sample();
    vec3_c read;
    EXPECT_TRUE(list.GetSetVector("color", &read, true));
    EXPECT_EQ(0.5f, read.y);
    EXPECT_TRUE(list.GetSetColor("gun left", &read, true));
    EXPECT_EQ(-1.5f, read.x);
}

TEST(ParameterList, NullValuePointerIsAMisuse)
{
    parameter_list_c list;
    EXPECT_THROW(list.GetSetFloat("x", nullptr, true, 0, 0), std::invalid_argument);
    EXPECT_THROW(list.GetSetString("x", nullptr, false), std::invalid_argument);
    EXPECT_THROW(list.Add(nullptr), std::invalid_argument);
}

TEST(ParameterList, CopyToAppendsClonesInOrder)
{
    const parameter_list_c list = Sample();
    parameter_list_c copy;
    list.CopyTo(copy);
    ExpectSameLists(list, copy);
    EXPECT_NE(list.Get(0), copy.Get(0));
}

TEST(ParameterList, WrittenListReadsBackEqual)
{
    parameter_list_c list = Sample();
    const bytes_t bytes = WriteBytes([&](CChunkSaver& saver) {
        if (saver.Begin("prms"))
            list.Serialize(saver);
        saver.End();
    });
    parameter_list_c read;
    ReadBytes(bytes, [&](CChunkSaver& saver) {
        if (saver.Begin("prms"))
            read.Serialize(saver);
        saver.End();
    });
    ExpectSameLists(list, read);
}

TEST(ParameterList, ThreeParametersReadBackWithTheirRanges)
{
    parameter_list_c list;
    f32 f = 0.25f;
    list.GetSetFloat("a", &f, false, -2.0f, 2.0f);
    i32 i = 4;
    list.GetSetInt("b", &i, false, 1, 9);
    bool b = true;
    list.GetSetBool("c", &b, false);
    const bytes_t bytes = WriteBytes([&](CChunkSaver& saver) { list.Serialize(saver); });
    parameter_list_c read;
    ReadBytes(bytes, [&](CChunkSaver& saver) { read.Serialize(saver); });
    ExpectSameLists(list, read);
}

TEST(ParameterList, FileWorkedOutByHandReads)
{
    const bytes_t bytes = Item(
        "prms", Cat({Item("nuop", U32Bytes(2)),
                     ParmChunk(1, Cat({Item("name", TextBytes("size")), Item("vale", FloatBytes(2.5f)),
                                       Item("rMin", FloatBytes(0.0f)), Item("rMax", FloatBytes(8.0f))})),
                     ParmChunk(6, Cat({Item("vale", TextBytes("kulka.lwo")), Item("name", TextBytes("model"))}))}));
    parameter_list_c read;
    ReadBytes(bytes, [&](CChunkSaver& saver) {
        if (saver.Begin("prms"))
            read.Serialize(saver);
        saver.End();
    });
    ASSERT_EQ(2u, read.Count());
    f32 size = 0.0f;
    EXPECT_TRUE(read.GetSetFloat("SIZE", &size, true, 0, 0));
    EXPECT_EQ(2.5f, size);
    EXPECT_EQ(8.0f, static_cast<parameter_float_c*>(read.Get(0))->max);
    EXPECT_EQ(parameter_c::type_file, read.Get(1)->GetType());
    EXPECT_EQ("kulka.lwo", static_cast<parameter_file_c*>(read.Get(1))->value);

    parameter_list_c again;
    again.Add(CreateParameter(1));
    static_cast<parameter_float_c*>(again.Get(0))->name = "size";
    static_cast<parameter_float_c*>(again.Get(0))->value = 2.5f;
    static_cast<parameter_float_c*>(again.Get(0))->SetRange(0, 8);
    auto* model = static_cast<parameter_file_c*>(again.Add(CreateParameter(6)));
    model->name = "model";
    model->value = "kulka.lwo";
    const bytes_t written = WriteBytes([&](CChunkSaver& saver) {
        if (saver.Begin("prms"))
            again.Serialize(saver);
        saver.End();
    });
    EXPECT_EQ(Item("prms",
                   Cat({Item("nuop", U32Bytes(2)),
                        ParmChunk(1, Cat({Item("name", TextBytes("size")), Item("vale", FloatBytes(2.5f)),
                                          Item("rMin", FloatBytes(0.0f)), Item("rMax", FloatBytes(8.0f))})),
                        ParmChunk(6, Cat({Item("name", TextBytes("model")), Item("vale", TextBytes("kulka.lwo"))}))})),
              written);
}

// Thousands of items take the writer's buffer through many growths; every
// byte must still land where the file layout puts it.
TEST(ParameterList, LongListIsWrittenByteForByteAsLaidOutByHand)
{
    constexpr int kCount = 3000;
    parameter_list_c list;
    std::vector<bytes_t> parts = {Item("nuop", U32Bytes(kCount))};
    for (int i = 0; i < kCount; ++i) {
        const string_c name("param_%d", i);
        const f32 value = static_cast<f32>(i) * 0.5f;
        auto* p = static_cast<parameter_float_c*>(list.Add(CreateParameter(1)));
        p->name = name;
        p->value = value;
        p->SetRange(-1.0f, 2000.0f);
        parts.push_back(ParmChunk(1, Cat({Item("name", TextBytes(name.GetData())), Item("vale", FloatBytes(value)),
                                          Item("rMin", FloatBytes(-1.0f)), Item("rMax", FloatBytes(2000.0f))})));
    }
    bytes_t payload;
    for (const bytes_t& part : parts)
        payload.insert(payload.end(), part.begin(), part.end());
    const bytes_t written = WriteBytes([&](CChunkSaver& saver) {
        if (saver.Begin("prms"))
            list.Serialize(saver);
        saver.End();
    });
    EXPECT_EQ(Item("prms", payload), written);
}

TEST(ParameterList, AbsentCountReadsNothingIntoAnEmptyList)
{
    parameter_list_c read;
    ReadBytes(Item("othr", {}), [&](CChunkSaver& saver) { read.Serialize(saver); });
    EXPECT_EQ(0u, read.Count());
}

TEST(ParameterList, BrokenListsFailWithAClearError)
{
    struct {
        const char* what;
        bytes_t bytes;
        const char* message;
    } cases[] = {
        {"count beyond the entries", Cat({Item("nuop", U32Bytes(0xFFFFFFFFu)), ParmChunk(3, {})}),
         "Parameter count runs past its list!"},
        {"count with no entries", Item("nuop", U32Bytes(1)), "Parameter count runs past its list!"},
        {"type id 0", Cat({Item("nuop", U32Bytes(1)), ParmChunk(0, {})}), "Unknown parameter type!"},
        {"type id 8", Cat({Item("nuop", U32Bytes(1)), ParmChunk(8, {})}), "Unknown parameter type!"},
        {"no type leaf", Cat({Item("nuop", U32Bytes(1)), Item("parm", {})}), "Unknown parameter type!"},
        {"count of the wrong size", Item("nuop", {1}), "Leaf of the wrong size for its type!"},
        {"int value of the wrong size", Cat({Item("nuop", U32Bytes(1)), ParmChunk(3, Item("vale", {1}))}),
         "Leaf of the wrong size for its type!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        parameter_list_c read;
        try {
            ReadBytes(
                c.bytes, [&](CChunkSaver& saver) { read.Serialize(saver); }, "level.sce");
            ADD_FAILURE() << "no error";
        } catch (const file_error_c& error) {
            EXPECT_STREQ(c.message, error.what());
            EXPECT_STREQ("level.sce", error.GetFileName().GetData());
        }
    }
}
