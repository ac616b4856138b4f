#include "tools/qza-pack/folder_packer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "foundation/archive.h"
#include "foundation/file_error.h"
#include "foundation/testing/scratch_folder.h"

namespace {
std::string Read(archive_c& archive, const char* name)
{
    const archive_entry_c& entry = archive.GetEntry(name);
    std::string out(entry.GetSize(), '\0');
    archive.ReadEntry(entry, out.data(), entry.GetSize());
    return out;
}

std::string Noise(size_t size)
{
    std::string bytes(size, '\0');
    u32 seed = 99;
    for (char& c : bytes) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return bytes;
}

// Runs the program with arguments; returns its exit status and fills output.
int RunProgram(const std::string& arguments, std::string& output)
{
    const std::string command = std::string(QZA_PACK_PROGRAM) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    output.clear();
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

template <typename F>
std::string PackFailure(F f)
{
    try {
        f();
    } catch (const pack_error_c& e) {
        return e.what();
    }
    return "no error";
}
}

TEST(FolderPackerTest, PacksEveryFileWithBackslashNames)
{
    scratch_folder_c folder;
    folder.WriteFile("in/data/common/a.txt", std::string(2000, 'a'));
    folder.WriteFile("in/data/noise.bin", Noise(500));
    folder.WriteFile("in/empty", "");
    const std::string archive = folder.Path("out.qza");
    const auto packed = PackFolder(folder.Path("in"), archive, 9);
    ASSERT_EQ(packed.size(), 3u);
    EXPECT_EQ(packed[0].name, "data\\common\\a.txt");
    EXPECT_LT(packed[0].storedSize, 2000u);
    EXPECT_EQ(packed[1].name, "data\\noise.bin");
    EXPECT_EQ(packed[1].storedSize, 500u);
    EXPECT_EQ(packed[2].name, "empty");

    archive_c reader(archive.c_str());
    EXPECT_EQ(Read(reader, "DATA\\COMMON\\A.TXT"), std::string(2000, 'a'));
    EXPECT_EQ(Read(reader, "data\\noise.bin"), Noise(500));
    EXPECT_EQ(Read(reader, "empty"), "");
    EXPECT_THROW(folder.ReadFile("out.qza.tmp"), std::runtime_error);
}

TEST(FolderPackerTest, LevelZeroStoresRaw)
{
    scratch_folder_c folder;
    folder.WriteFile("in/a.txt", std::string(2000, 'a'));
    const auto packed = PackFolder(folder.Path("in"), folder.Path("o.qza"), 0);
    EXPECT_EQ(packed[0].storedSize, 2000u);
}

TEST(FolderPackerTest, SameFolderGivesTheSameArchive)
{
    scratch_folder_c folder;
    folder.WriteFile("in/b", "bbbb");
    folder.WriteFile("in/a/z", "zz");
    folder.WriteFile("in/c", "c");
    PackFolder(folder.Path("in"), folder.Path("1.qza"), 9);
    PackFolder(folder.Path("in"), folder.Path("2.qza"), 9);
    EXPECT_EQ(folder.ReadFile("1.qza"), folder.ReadFile("2.qza"));
    // An archive written inside the folder is left out of the next one.
    PackFolder(folder.Path("in"), folder.Path("in/self.qza"), 9);
    PackFolder(folder.Path("in"), folder.Path("in/self.qza"), 9);
    EXPECT_EQ(folder.ReadFile("in/self.qza"), folder.ReadFile("1.qza"));
}

TEST(FolderPackerTest, RefusesWhatTheGameCouldNotRead)
{
    scratch_folder_c folder;
    folder.WriteFile("case/Map.txt", "1");
    folder.WriteFile("case/map.TXT", "2");
    folder.WriteFile("slash/a\\b", "x");
    std::filesystem::create_directory(folder.Path("empty"));
    EXPECT_EQ(PackFailure([&] { PackFolder(folder.Path("case"), folder.Path("o.qza"), 9); }),
              "names differ only in letter case: Map.txt and map.TXT");
    EXPECT_EQ(PackFailure([&] { PackFolder(folder.Path("slash"), folder.Path("o.qza"), 9); }),
              "file name holds a backslash, which the game reads as a folder: " + folder.Path("slash/a\\b"));
    EXPECT_EQ(PackFailure([&] { PackFolder(folder.Path("empty"), folder.Path("o.qza"), 9); }),
              "nothing to pack: " + folder.Path("empty") + " holds no files");
    EXPECT_EQ(PackFailure([&] { PackFolder(folder.Path("none"), folder.Path("o.qza"), 9); }),
              "not a folder: " + folder.Path("none") + ": No such file or directory");
    if (geteuid() != 0) {
        const std::string locked = folder.WriteFile("locked/a", "x");
        chmod(locked.c_str(), 0);
        EXPECT_EQ(PackFailure([&] {
                      PackFolder(folder.Path("locked"), folder.Path("o.qza"), 9);
                  }).rfind("cannot read " + locked, 0),
                  0u);
    }
    EXPECT_FALSE(std::filesystem::exists(folder.Path("o.qza")));
}

TEST(FolderPackerTest, ArchiveThatCannotBeWrittenLeavesNothing)
{
    scratch_folder_c folder;
    folder.WriteFile("in/a", "x");
    const std::string archive = folder.Path("no/such/o.qza");
    EXPECT_THROW(PackFolder(folder.Path("in"), archive, 9), file_error_c);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("no")));
}

TEST(QzaPackProgramTest, PacksAndLists)
{
    scratch_folder_c folder;
    folder.WriteFile("in/data/a.txt", std::string(1000, 'q'));
    folder.WriteFile("in/b.bin", Noise(100));
    std::string output;
    ASSERT_EQ(RunProgram(folder.Path("in") + " " + folder.Path("o.qza"), output), 0) << output;
    EXPECT_EQ(output.rfind("2 files, 1100 bytes packed into ", 0), 0u) << output;
    ASSERT_EQ(RunProgram("--list " + folder.Path("o.qza"), output), 0) << output;
    EXPECT_NE(output.find("b.bin\t100\t100\traw\n"), std::string::npos) << output;
    EXPECT_NE(output.find("data\\a.txt\t1000\t"), std::string::npos) << output;
    EXPECT_NE(output.find("\tzlib\n"), std::string::npos) << output;
}

TEST(QzaPackProgramTest, ErrorsAndUsage)
{
    scratch_folder_c folder;
    std::string output;
    EXPECT_EQ(RunProgram("", output), 2);
    EXPECT_NE(output.find("usage: qza-pack"), std::string::npos);
    EXPECT_EQ(RunProgram("--level 10 a b", output), 2);
    EXPECT_EQ(RunProgram("--level x a b", output), 2);
    EXPECT_EQ(RunProgram(folder.Path("none") + " " + folder.Path("o.qza"), output), 1);
    EXPECT_EQ(output, "qza-pack: not a folder: " + folder.Path("none") + ": No such file or directory\n");
    const std::string bad = folder.WriteFile("bad.qza", "QZA3............");
    EXPECT_EQ(RunProgram("--list " + bad, output), 1);
    EXPECT_EQ(output, "qza-pack: " + bad + ": Not a QZA file!\n");
    folder.WriteFile("in/a", "x");
    EXPECT_EQ(RunProgram("--level 0 " + folder.Path("in") + " " + folder.Path("o.qza"), output), 0) << output;
}
