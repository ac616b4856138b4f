#include "foundation/file_system.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "foundation/archive_file_system.h"
#include "foundation/archive_writer.h"
#include "foundation/path.h"
#include "foundation/testing/failure_text.h"
#include "foundation/testing/scratch_folder.h"

namespace {
// A file system that answers every name with a fixed text.
class fixed_file_system_c : public file_system_c {
public:
    explicit fixed_file_system_c(std::string text) : text(std::move(text)) {}
    u32 GetSize(const char*) override { return static_cast<u32>(text.size()); }
    u32 Load(const char*, void* buffer, u32) override
    {
        text.copy(static_cast<char*>(buffer), text.size());
        return static_cast<u32>(text.size());
    }
    std::string text;
};

std::string LoadWhole(file_system_c& fs, const char* name)
{
    std::string out(fs.GetSize(name), '\0');
    EXPECT_EQ(fs.Load(name, out.data(), static_cast<u32>(out.size())), out.size());
    return out;
}
}

TEST(FileSystemTest, DiskFileSystemIsCurrentFromTheStart)
{
    ASSERT_NE(file_system_c::GetCurrent(), nullptr);
    EXPECT_NE(dynamic_cast<disk_file_system_c*>(file_system_c::GetCurrent()), nullptr);
}

TEST(FileSystemTest, NewestIsCurrentUntilDestroyed)
{
    file_system_c* before = file_system_c::GetCurrent();
    {
        fixed_file_system_c a("a");
        EXPECT_EQ(file_system_c::GetCurrent(), &a);
        {
            fixed_file_system_c b("b");
            EXPECT_EQ(file_system_c::GetCurrent(), &b);
        }
        EXPECT_EQ(file_system_c::GetCurrent(), &a);
    }
    EXPECT_EQ(file_system_c::GetCurrent(), before);
}

TEST(FileSystemTest, DiskLoadsWholeFilesThroughBackslashNames)
{
    scratch_folder_c folder;
    folder.WriteFile("sub/f.txt", "contents");
    std::string name = folder.Path("sub\\f.txt");
    disk_file_system_c disk;
    EXPECT_EQ(disk.GetSize(name.c_str()), 8u);
    EXPECT_EQ(LoadWhole(disk, name.c_str()), "contents");
    char small[7];
    EXPECT_EQ(FileFailure([&] { disk.Load(name.c_str(), small, 7); }), name + "|Out of buffer!");
    const std::string missing = folder.Path("none");
    EXPECT_EQ(FileFailure([&] { disk.GetSize(missing.c_str()); }), missing + "|File does not exist!");
    EXPECT_EQ(FileFailure([&] { disk.Load(missing.c_str(), small, 7); }), missing + "|File does not exist!");
}

class ArchiveFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        archive_writer_c data;
        data.Add("data\\common\\shared.txt", "from data", 9);
        data.Add("data\\only.txt", "only in data", 12);
        data.Add("data\\big.txt", std::string(3000, 'b').data(), 3000);
        data.Write(folder.Path("data.qza").c_str());
        archive_writer_c data1;
        data1.Add("DATA\\COMMON\\SHARED.TXT", "from data1", 10);
        data1.Write(folder.Path("data1.qza").c_str());
    }
    scratch_folder_c folder;
};

TEST_F(ArchiveFileSystemTest, SecondArchiveIsAskedFirst)
{
    archive_file_system_c archives(folder.Path("data.qza").c_str(), folder.Path("data1.qza").c_str());
    EXPECT_EQ(file_system_c::GetCurrent(), &archives);
    EXPECT_EQ(LoadWhole(archives, "data\\common\\shared.txt"), "from data1");
    EXPECT_EQ(LoadWhole(archives, "Data\\Only.TXT"), "only in data");
    EXPECT_EQ(LoadWhole(archives, "data\\big.txt"), std::string(3000, 'b'));
    EXPECT_EQ(FileFailure([&] { archives.GetSize("data\\none.txt"); }), "data\\none.txt|File does not exist!");
    char buffer[8];
    EXPECT_EQ(FileFailure([&] { archives.Load("data\\none.txt", buffer, 8); }), "data\\none.txt|File does not exist!");
    EXPECT_EQ(FileFailure([&] { archives.Load("data\\only.txt", buffer, 8); }), "data\\only.txt|Out of buffer!");
}

TEST_F(ArchiveFileSystemTest, SecondArchiveIsOptional)
{
    archive_file_system_c archives(folder.Path("data.qza").c_str(), nullptr);
    EXPECT_EQ(archives.GetSecondary(), nullptr);
    EXPECT_EQ(LoadWhole(archives, "data\\common\\shared.txt"), "from data");
}

TEST_F(ArchiveFileSystemTest, EmptiesTheCurrentDirectoryWhileItLives)
{
    directory_cache_c model(string_c("models\\x.lwo"));
    {
        archive_file_system_c archives(folder.Path("data.qza").c_str(), nullptr);
        EXPECT_TRUE(GetCurrentDirectoryPath().IsEmpty());
    }
    EXPECT_TRUE(GetCurrentDirectoryPath() == "models\\");
}

TEST_F(ArchiveFileSystemTest, FailedOpenLeavesNothingBehind)
{
    file_system_c* before = file_system_c::GetCurrent();
    const std::string missing = folder.Path("missing.qza");
    EXPECT_EQ(FileFailure([&] { archive_file_system_c a(folder.Path("data.qza").c_str(), missing.c_str()); }),
              missing + "|File does not exist!");
    EXPECT_EQ(file_system_c::GetCurrent(), before);
}

TEST(FileSystemTest, DiskFilesBeyondThirtyTwoBitSizesAreRefused)
{
    scratch_folder_c folder;
    const std::string name = folder.WriteFile("sparse", "");
    // A sparse file: no disk space is used.
    std::filesystem::resize_file(name, 0x100000010ull);
    disk_file_system_c disk;
    EXPECT_EQ(FileFailure([&] { disk.GetSize(name.c_str()); }), name + "|File too large!");
    char buffer[4];
    EXPECT_EQ(FileFailure([&] { disk.Load(name.c_str(), buffer, 4); }), name + "|File too large!");
}
