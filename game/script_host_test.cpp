#include "game/script_host.h"

#include "foundation/file_error.h"
#include "level/testing/memory_files.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// What the native functions of a test saw.
struct calls_c {
    std::vector<std::string> log;
};

void Record(script_host_c* _host, int _count, void* _context)
{
    auto* calls = static_cast<calls_c*>(_context);
    std::string line = std::to_string(_count);
    for (int i = 1; i <= 3; ++i) {
        line += _host->IsStringArg(i) ? " s:" + std::string(_host->GetStringArg(i).GetData())
                                      : " n:" + std::to_string(_host->GetNumberArg(i));
    }
    calls->log.push_back(line);
}

void Throw(script_host_c*, int, void*)
{
    throw std::runtime_error("no such camera");
}

class ScriptHostTest : public ::testing::Test {
protected:
    game_log_c log{false};
    script_host_c host{&log};
    calls_c calls;

    void SetUp() override { host.Register("record", Record, &calls); }
};

} // namespace

TEST_F(ScriptHostTest, OldDialectScriptCallsNativesAndDefinesCallbacks)
{
    host.SetGlobalNumber("game_time", 12.5);
    const char* script = "targets = { \"a\", \"b\" }\n"
                         "count = 0\n"
                         "for k, v in targets do count = count + 1 end\n"
                         "function mission_init()\n"
                         "  record(game_time, \"data\\game\\voice\\1.wav\")\n"
                         "end\n"
                         "function bridge_on_enter()\n"
                         "  local n = count\n"
                         "  local f = function() record(%n) end\n"
                         "  f()\n"
                         "end\n";
    host.RunBuffer(script, false, "mission.lua");
    EXPECT_TRUE(host.CallFunction("mission_init"));
    EXPECT_TRUE(host.CallFunction("bridge_on_enter"));
    ASSERT_EQ(2u, calls.log.size());
    // A path with single backslashes arrives as written.
    EXPECT_EQ("2 n:12.500000 s:data\\game\\voice\\1.wav n:0.000000", calls.log[0]);
    EXPECT_EQ("1 n:2.000000 n:0.000000 n:0.000000", calls.log[1]);
    EXPECT_TRUE(log.GetLines().empty());
}

TEST_F(ScriptHostTest, ArgumentsAreReadWithStrictTypes)
{
    host.RunBuffer("record(\"12\", 7)\nrecord()\nrecord(nil, {}, 3)", true);
    ASSERT_EQ(3u, calls.log.size());
    EXPECT_EQ("2 s:12 n:7.000000 n:0.000000", calls.log[0]);
    EXPECT_EQ("0 n:0.000000 n:0.000000 n:0.000000", calls.log[1]);
    EXPECT_EQ("3 n:0.000000 n:0.000000 n:3.000000", calls.log[2]);
}

TEST_F(ScriptHostTest, GlobalNumbersAreVisibleToTheScript)
{
    host.RunBuffer("function mission_process() record(game_time, user_alive) end", false);
    host.SetGlobalNumber("game_time", 3.0);
    host.SetGlobalNumber("user_alive", 1.0);
    host.CallFunction("mission_process");
    host.SetGlobalNumber("game_time", 4.0);
    host.CallFunction("mission_process");
    ASSERT_EQ(2u, calls.log.size());
    EXPECT_EQ("2 n:3.000000 n:1.000000 n:0.000000", calls.log[0]);
    EXPECT_EQ("2 n:4.000000 n:1.000000 n:0.000000", calls.log[1]);
}

TEST_F(ScriptHostTest, RuntimeErrorIsReportedWithNameAndLineAndSurvived)
{
    host.RunBuffer("function mission_process()\n  record(1)\n  local x = nil + 1\nend\n", false, "levels\\m1.lua");
    EXPECT_FALSE(host.CallFunction("mission_process"));
    ASSERT_EQ(1u, log.GetLines().size());
    EXPECT_NE(std::string::npos, log.GetLines()[0].find("m1.lua:3:")) << log.GetLines()[0];
    // The state still works.
    EXPECT_FALSE(host.CallFunction("mission_process"));
    EXPECT_EQ(2u, calls.log.size());
    host.RunBuffer("record(5)", false);
    EXPECT_EQ(3u, calls.log.size());
}

TEST_F(ScriptHostTest, UndefinedCallbacksAreSkipped)
{
    host.RunBuffer("not_a_function = 3", false);
    EXPECT_FALSE(host.CallFunction("tank_1_on_destroyed"));
    EXPECT_FALSE(host.CallFunction("not_a_function"));
    EXPECT_TRUE(log.GetLines().empty());
}

TEST_F(ScriptHostTest, CheckedErrorsThrowRawErrorsOnlyLog)
{
    EXPECT_THROW(host.RunBuffer("x = = 1", false, "bad.lua"), std::runtime_error);
    ASSERT_EQ(1u, log.GetLines().size());
    EXPECT_NE(std::string::npos, log.GetLines()[0].find("bad.lua:1:"));
    EXPECT_THROW(host.RunBuffer("undefined_function()", false), std::runtime_error);
    EXPECT_NO_THROW(host.RunBuffer("undefined_function()", true));
    EXPECT_EQ(3u, log.GetLines().size());
}

TEST_F(ScriptHostTest, NativeExceptionBecomesAScriptError)
{
    host.Register("cut_scene_camera", Throw, nullptr);
    host.RunBuffer("function go() cut_scene_camera(\"x\") record(1) end", false);
    EXPECT_FALSE(host.CallFunction("go"));
    EXPECT_TRUE(calls.log.empty());
    ASSERT_EQ(1u, log.GetLines().size());
    EXPECT_NE(std::string::npos, log.GetLines()[0].find("no such camera"));
}

TEST_F(ScriptHostTest, ScriptsOfAnyLengthRun)
{
    std::string script;
    for (int i = 0; i < 5000; ++i)
        script += "x" + std::to_string(i) + " = \"a\\b\\c\"\n";
    script += "record(x4999)\n";
    ASSERT_GT(script.size(), 10000u);
    host.RunBuffer(script.c_str(), false);
    ASSERT_EQ(1u, calls.log.size());
    EXPECT_EQ("1 s:a\\b\\c n:0.000000 n:0.000000", calls.log[0]);
}

TEST_F(ScriptHostTest, NoStandardLibraryIsOpen)
{
    host.RunBuffer("if print == nil and string == nil and pairs == nil then record(1) end", false);
    EXPECT_EQ(1u, calls.log.size());
}

TEST_F(ScriptHostTest, FilesRunThroughTheCurrentFileSystem)
{
    memory_file_system_c files;
    const std::string text = "function f() record(\"data\\x\") end";
    files.files["scripts\\m.lua"] = std::vector<u8>(text.begin(), text.end());
    host.RunFile("scripts\\m.lua", false);
    host.CallFunction("f");
    ASSERT_EQ(1u, calls.log.size());
    EXPECT_EQ("1 s:data\\x n:0.000000 n:0.000000", calls.log[0]);
    EXPECT_THROW(host.RunFile("missing.lua", false), file_error_c);
}
