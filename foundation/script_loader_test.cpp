#include "foundation/script_loader.h"

#include <map>
#include <memory>

#include <gtest/gtest.h>

#include "foundation/archive_file_system.h"
#include "foundation/archive_writer.h"
#include "foundation/file_error.h"
#include "foundation/testing/failure_text.h"
#include "foundation/testing/scratch_folder.h"

namespace {
// Serves the given texts from an archive for the life of the object.
class script_files_c {
public:
    explicit script_files_c(const std::map<std::string, std::string>& files)
    {
        archive_writer_c writer;
        for (const auto& [name, text] : files)
            writer.Add(name, text.data(), text.size());
        writer.Write(folder.Path("data.qza").c_str());
        archives = std::make_unique<archive_file_system_c>(folder.Path("data.qza").c_str(), nullptr);
    }

private:
    scratch_folder_c folder;
    std::unique_ptr<archive_file_system_c> archives;
};

// Every command of a file as "name tokens... | name=value ...".
std::vector<std::string> Commands(const char* fileName)
{
    script_loader_c loader(fileName);
    std::vector<std::string> out;
    while (loader.ReadCommand()) {
        std::string text;
        for (const string_c& token : loader.GetTokens())
            text += std::string(text.empty() ? "" : " ") + token.GetData();
        for (size_t i = 0; i < loader.GetNames().size(); ++i)
            text += std::string(" ") + loader.GetNames()[i].GetData() + "=" + loader.GetValues()[i].GetData();
        out.push_back(text);
    }
    return out;
}

using List = std::vector<std::string>;
}

TEST(ScriptLoaderTest, LogicalLines)
{
    struct Case {
        const char* what;
        std::string text;
        List commands;
    } cases[] = {
        {"comment after a quote", "a b=1 \"c d\" ; comment\n", {"a c d b=1"}},
        {"quote cut by a comment", "say \"x;y\" z\n", {"say x"}},
        {"slash comment", "a // b\nc\n", {"a", "c"}},
        {"single slash dropped", "a/b\n", {"ab"}},
        {"backslash kept", "load data\\x.txt\n", {"load data\\x.txt"}},
        {"continuation", "a \\\n    b\n", {"a b"}},
        {"continuation with comment", "a \\  ; note\r\n\tb\r\n", {"a b"}},
        {"continuation with slashes", "a \\ / // x\nb\n", {"a b"}},
        {"continuation CR only", "a \\\rb\r", {"a b"}},
        {"backslash at the end of data", "a \\", {"a"}},
        {"backslash then blanks at the end", "a \\   ", {"a"}},
        {"parameters only are skipped", "k=v\nnext 1\n", {"next 1"}},
        {"blank lines", "\n\n  \t\n x \n\n", {"x"}},
        {"NUL dropped", std::string("a\0b\n", 4), {"ab"}},
        {"no final line break", "last one", {"last one"}},
        {"empty file", "", {}},
        {"comment only", "; nothing\n// more", {}},
    };
    for (const Case& c : cases) {
        script_files_c files({{"s.txt", c.text}});
        EXPECT_EQ(Commands("s.txt"), c.commands) << c.what;
    }
}

TEST(ScriptLoaderTest, VeryLongLinesArriveWhole)
{
    const std::string value(100000, 'v');
    script_files_c files({{"s.txt", "cmd " + value + "\nnext\n"}});
    script_loader_c loader("s.txt");
    ASSERT_STREQ(loader.ReadCommand(), "cmd");
    EXPECT_EQ(std::string(loader.GetParameter(1u)), value);
    EXPECT_STREQ(loader.ReadCommand(), "next");
}

TEST(ScriptLoaderTest, IncludesReadInPlace)
{
    script_files_c files({{"main.txt", "first\n#INCLUDE <inc\\a.txt>\nlast\n"},
                          {"inc\\a.txt", "a1\n#include \"inc\\b.txt\"\na2\n"},
                          {"inc\\b.txt", "b1\n"}});
    EXPECT_EQ(Commands("main.txt"), (List{"first", "a1", "b1", "a2", "last"}));
}

TEST(ScriptLoaderTest, IncludeIntoAnotherCommand)
{
    script_files_c files({{"main.txt", "#include x.txt\n"}, {"x.txt", "inner 5\n"}});
    script_loader_c loader("main.txt");
    command_c target;
    EXPECT_STREQ(loader.ReadCommandInto(target), "inner");
    EXPECT_EQ(target.GetInt(1u), 5);
    EXPECT_EQ(loader.ReadCommandInto(target), nullptr);
    EXPECT_EQ(loader.ReadCommandInto(target), nullptr);
}

TEST(ScriptLoaderTest, IncludeFailures)
{
    script_files_c files({{"self.txt", "a\n#include self.txt\n"},
                          {"ping.txt", "#include pong.txt\n"},
                          {"pong.txt", "#include PING.TXT\n"},
                          {"missing.txt", "#include none.txt\n"},
                          {"bare.txt", "#include\n"}});
    EXPECT_EQ(FileFailure([] { Commands("self.txt"); }), "self.txt|Recursive include!");
    EXPECT_EQ(FileFailure([] { Commands("ping.txt"); }), "PING.TXT|Recursive include!");
    EXPECT_EQ(FileFailure([] { Commands("missing.txt"); }), "none.txt|File does not exist!");
    EXPECT_EQ(FileFailure([] { Commands("absent.txt"); }), "absent.txt|File does not exist!");
    try {
        Commands("bare.txt");
        ADD_FAILURE() << "no error";
    } catch (const command_error_c& e) {
        EXPECT_STREQ(e.what(), "Parameter not found!");
        EXPECT_TRUE(e.GetCommand() == "#include");
        EXPECT_TRUE(e.GetParameterName() == "1");
        EXPECT_TRUE(e.GetFileName() == "bare.txt");
    }
}

TEST(ScriptLoaderTest, DeepIncludeChainsStop)
{
    std::map<std::string, std::string> chain;
    for (int i = 0; i < 40; ++i)
        chain["f" + std::to_string(i) + ".txt"] = "#include f" + std::to_string(i + 1) + ".txt\n";
    chain["f40.txt"] = "end\n";
    script_files_c files(chain);
    const std::string failure = FileFailure([] { Commands("f0.txt"); });
    EXPECT_EQ(failure, "f" + std::to_string(script_loader_c::maxIncludeDepth + 1) + ".txt|Includes nested too deeply!");
}

TEST(ScriptLoaderTest, ProgressCountsTheOuterFile)
{
    script_files_c files({{"p.txt", "a\n#include q.txt\nb\n"}, {"q.txt", "q1\nq2\n"}, {"e.txt", ""}});
    script_loader_c loader("p.txt");
    EXPECT_DOUBLE_EQ(loader.GetProgress(), 0.0);
    loader.ReadCommand();
    EXPECT_DOUBLE_EQ(loader.GetProgress(), 1.0 / 19);
    loader.ReadCommand();
    const double atInclude = loader.GetProgress();
    loader.ReadCommand();
    EXPECT_DOUBLE_EQ(loader.GetProgress(), atInclude);
    loader.ReadCommand();
    loader.ReadCommand();
    EXPECT_DOUBLE_EQ(loader.GetProgress(), 1.0);
    EXPECT_DOUBLE_EQ(script_loader_c("e.txt").GetProgress(), 0.0);
}
