#include "platform/win32/low_level_file.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace {
class LowLevelFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/skyvarn-io-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // The folder written the way the game writes names.
    std::string Backslashed(const std::string& tail) const
    {
        std::string name = folder + "/" + tail;
        for (char& c : name)
            if (c == '/')
                c = '\\';
        return name;
    }

    std::string folder;
};
}

TEST(DiskPathTest, BackslashesBecomeSlashes)
{
    EXPECT_EQ(DiskPathFromName("data\\common\\a.txt"), "data/common/a.txt");
    EXPECT_EQ(DiskPathFromName(nullptr), "");
}

TEST_F(LowLevelFileTest, WriteSeekReadThroughBackslashNames)
{
    std::filesystem::create_directory(folder + "/sub");
    const std::string name = Backslashed("sub\\f.bin");
    const int out = _open(name.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
    ASSERT_GE(out, 0);
    EXPECT_EQ(_write(out, "abcdef", 6), 6);
    EXPECT_EQ(_commit(out), 0);
    EXPECT_EQ(_close(out), 0);
    EXPECT_TRUE(std::filesystem::exists(folder + "/sub/f.bin"));

    const int in = _open(name.c_str(), _O_RDONLY | _O_BINARY | _O_SEQUENTIAL);
    ASSERT_GE(in, 0);
    EXPECT_EQ(_lseek(in, 0, 2), 6);
    EXPECT_EQ(_lseek(in, 2, 0), 2);
    char buffer[8] = {};
    EXPECT_EQ(_read(in, buffer, 8), 4);
    EXPECT_STREQ(buffer, "cdef");
    EXPECT_EQ(_read(in, buffer, 8), 0);
    EXPECT_EQ(_close(in), 0);
}

TEST_F(LowLevelFileTest, FailuresLeaveTheReasonInErrno)
{
    errno = 0;
    EXPECT_EQ(_open(Backslashed("missing").c_str(), _O_RDONLY), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(_open(Backslashed("no\\such\\folder").c_str(), _O_WRONLY | _O_CREAT, _S_IWRITE), -1);
    EXPECT_EQ(errno, ENOENT);
    // A folder is not a file to read.
    EXPECT_EQ(_open(folder.c_str(), _O_RDONLY), -1);
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(_lseek(-1, 0, 0), -1);
    EXPECT_EQ(errno, EBADF);
    EXPECT_EQ(_read(-1, nullptr, 1), -1);
    EXPECT_EQ(errno, EBADF);
}

TEST_F(LowLevelFileTest, SeekRejectsUnknownOriginsAndNegativePositions)
{
    const std::string name = Backslashed("s");
    const int fd = _open(name.c_str(), _O_WRONLY | _O_CREAT, _S_IREAD | _S_IWRITE);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(_lseek(fd, 0, 7), -1);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(_lseek(fd, -5, 0), -1);
    EXPECT_EQ(errno, EINVAL);
    _close(fd);
}

TEST_F(LowLevelFileTest, MoveFileReplaceSwapsInOneStep)
{
    const std::string from = Backslashed("new");
    const std::string to = Backslashed("old");
    for (const std::string* name : {&from, &to}) {
        const int fd = _open(name->c_str(), _O_WRONLY | _O_CREAT, _S_IREAD | _S_IWRITE);
        ASSERT_GE(fd, 0);
        _write(fd, name->c_str(), static_cast<unsigned>(name->size()));
        _close(fd);
    }
    EXPECT_TRUE(MoveFileReplace(from.c_str(), to.c_str()));
    EXPECT_FALSE(std::filesystem::exists(folder + "/new"));
    EXPECT_EQ(std::filesystem::file_size(folder + "/old"), from.size());
    EXPECT_FALSE(MoveFileReplace(from.c_str(), to.c_str()));
    EXPECT_EQ(_unlink(to.c_str()), 0);
    EXPECT_EQ(_unlink(to.c_str()), -1);
}
