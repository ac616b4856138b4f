#include "foundation/command.h"

#include <functional>

#include <gtest/gtest.h>

namespace {
std::vector<std::string> Texts(const std::vector<string_c>& strings)
{
    std::vector<std::string> out;
    for (const string_c& s : strings)
        out.emplace_back(s.GetData());
    return out;
}

using List = std::vector<std::string>;

std::string ParameterOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const command_error_c& e) {
        return std::string(e.GetCommand().GetData()) + "|" + e.GetParameterName().GetData() + "|" + e.what();
    }
    return "no error";
}
}

TEST(CommandTest, Tokenising)
{
    struct Case {
        const char* line;
        List tokens;
        List names;
        List values;
    } cases[] = {
        {"a b=1 \"c d\"", {"a", "c d"}, {"b"}, {"1"}},
        {"  plane\tcamel\r\n", {"plane", "camel"}, {}, {}},
        {"x <data\\a b.lwo> y", {"x", "data\\a b.lwo", "y"}, {}, {}},
        {"g {  1   2  3 }", {"g", "1 2 3 "}, {}, {}},
        {"g {1\t\t2}", {"g", "1 2"}, {}, {}},
        {"t a\"b c\"d", {"t", "ab cd"}, {}, {}},
        {"t \"\"", {"t", ""}, {}, {}},
        {"t \"open quote", {"t", "open quote"}, {}, {}},
        {"t <open", {"t", "open"}, {}, {}},
        {"t {open  group", {"t", "open group"}, {}, {}},
        {"t \"k=v w\" n==2 =x", {"t"}, {"k", "n", ""}, {"v w", "=2", "x"}},
        {"k=v", {}, {"k"}, {"v"}},
        {"", {}, {}, {}},
        {"a <b>{c d}\"e\"f", {"a", "bc def"}, {}, {}},
    };
    for (const Case& c : cases) {
        command_c command(c.line);
        EXPECT_EQ(Texts(command.GetTokens()), c.tokens) << c.line;
        EXPECT_EQ(Texts(command.GetNames()), c.names) << c.line;
        EXPECT_EQ(Texts(command.GetValues()), c.values) << c.line;
    }
}

TEST(CommandTest, NameAndLookups)
{
    command_c command("Plane name=Camel NAME=second skin=x.bmp 1.5");
    EXPECT_STREQ(command.GetName(), "Plane");
    EXPECT_STREQ(command.FindParameter(1u), "1.5");
    EXPECT_EQ(command.FindParameter(2u), nullptr);
    EXPECT_STREQ(command.FindParameter("name"), "Camel");
    EXPECT_STREQ(command.FindParameter("texture", "SKIN"), "x.bmp");
    EXPECT_STREQ(command.FindParameter("skin", nullptr), "x.bmp");
    EXPECT_EQ(command.FindParameter("none"), nullptr);
    EXPECT_STREQ(command.GetParameter(string_c("Name")), "Camel");
    EXPECT_EQ(command_c("").GetName(), nullptr);
    EXPECT_EQ(command_c("a=1").GetName(), nullptr);
    command.Clear();
    EXPECT_EQ(command.GetName(), nullptr);
}

TEST(CommandTest, TypedGetters)
{
    command_c command("obj 7 2.5 speed=12x alpha=0.25 color={255 128 0} pos={1 2 3}");
    EXPECT_EQ(command.GetInt(1u), 7);
    EXPECT_EQ(command.GetInt("speed"), 12);
    EXPECT_EQ(command.GetInt("none", "speed", 3), 12);
    EXPECT_EQ(command.GetInt("none", nullptr, 3), 3);
    EXPECT_FLOAT_EQ(command.GetFloat(2u), 2.5f);
    EXPECT_FLOAT_EQ(command.GetFloat(5u, 9.0f), 9.0f);
    EXPECT_FLOAT_EQ(command.GetFloat("alpha"), 0.25f);
    EXPECT_FLOAT_EQ(command.GetFloat("beta", 0.5f), 0.5f);
    EXPECT_FLOAT_EQ(command.GetFloat("beta", "alpha", 0.5f), 0.25f);
    EXPECT_FLOAT_EQ(command.GetFloat("beta", "ALPHA"), 0.25f);
    const vec3_c color = command.GetColor("color");
    EXPECT_FLOAT_EQ(color.x, 1.0f);
    EXPECT_NEAR(color.y, 0.502f, 0.001f);
    EXPECT_FLOAT_EQ(color.z, 0.0f);
    const vec3_c fallback = command.GetColor("none", vec3_c(0.1f, 0.2f, 0.3f));
    EXPECT_FLOAT_EQ(fallback.y, 0.2f);
    EXPECT_FLOAT_EQ(command.GetColor(9u, vec3_c(4, 5, 6)).z, 6.0f);
    EXPECT_FLOAT_EQ(command.GetColor("none", "color", vec3_c()).x, 1.0f);
    const vec3_c pos = command.GetVector("pos");
    EXPECT_FLOAT_EQ(pos.z, 3.0f);
    EXPECT_FLOAT_EQ(command_c("v {4 5 6}").GetVector(1u).y, 5.0f);
}

TEST(CommandTest, MissingParametersThrowWithWhatWasAskedFor)
{
    command_c command("mission alpha=1");
    EXPECT_EQ(ParameterOf([&] { command.GetFloat("beta"); }), "mission|beta|Parameter not found!");
    EXPECT_EQ(ParameterOf([&] { command.GetParameter(3u); }), "mission|3|Parameter not found!");
    EXPECT_EQ(ParameterOf([&] { command.GetInt(2u); }), "mission|2|Parameter not found!");
    EXPECT_EQ(ParameterOf([&] { command.GetParameter("a", "b"); }), "mission|a | b|Parameter not found!");
    EXPECT_EQ(ParameterOf([&] { command.GetFloat("a", "b"); }), "mission|a | b|Parameter not found!");
    EXPECT_EQ(ParameterOf([&] { command.GetColor("c"); }), "mission|c|Parameter not found!");
    EXPECT_EQ(ParameterOf([&] { command.GetVector(1u); }), "mission|1|Parameter not found!");
    EXPECT_EQ(ParameterOf([&] { command.GetVector("v"); }), "mission|v|Parameter not found!");
    EXPECT_EQ(ParameterOf([&] { command.GetInt("n"); }), "mission|n|Parameter not found!");
    EXPECT_EQ(ParameterOf([] { command_c("k=v").GetParameter("x"); }), "|x|Parameter not found!");
    try {
        command.GetParameter("x");
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Parameter not found!");
    }
}

TEST(CommandTest, ColoursAndVectors)
{
    struct Case {
        const char* text;
        float x, y, z;
    } colors[] = {
        {"255 128 0", 1.0f, 128 * 0.003921569f, 0.0f},
        {"1 0.5 0", 1.0f, 0.5f, 0.0f},
        {"0 0 2", 0.0f, 0.0f, 2 * 0.003921569f},
        {"0.5", 0.5f, 0.0f, 0.0f},
        {"", 0.0f, 0.0f, 0.0f},
        {"0.2 junk 0.9", 0.2f, 0.0f, 0.0f},
    };
    for (const Case& c : colors) {
        const vec3_c v = command_c::ParseColor(c.text);
        EXPECT_FLOAT_EQ(v.x, c.x) << c.text;
        EXPECT_FLOAT_EQ(v.y, c.y) << c.text;
        EXPECT_FLOAT_EQ(v.z, c.z) << c.text;
    }
    const vec3_c v = command_c::ParseVector("-1.5 2e2 300");
    EXPECT_FLOAT_EQ(v.x, -1.5f);
    EXPECT_FLOAT_EQ(v.y, 200.0f);
    EXPECT_FLOAT_EQ(v.z, 300.0f);
    EXPECT_FLOAT_EQ(command_c::ParseVector(nullptr).x, 0.0f);
}
