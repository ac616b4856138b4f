#include "foundation/file_handle.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/file_error.h"
#include "foundation/testing/failure_text.h"
#include "foundation/testing/scratch_folder.h"

TEST(FileErrorTest, CarriesNameAndMessage)
{
    const file_error_c e("a\\b.txt", "Unexpected end of file!");
    EXPECT_STREQ(e.what(), "Unexpected end of file!");
    EXPECT_TRUE(e.GetFileName() == "A\\B.TXT");
    const std::runtime_error& base = e;
    EXPECT_STREQ(base.what(), "Unexpected end of file!");
    const file_error_c copy = e;
    EXPECT_TRUE(copy.GetFileName() == "a\\b.txt");
}

TEST(FileHandleTest, ReadsExactCountsAndSeeks)
{
    scratch_folder_c folder;
    const std::string name = folder.WriteFile("four", "abcd");
    file_handle_c file(name.c_str());
    EXPECT_TRUE(file.IsOpen());
    EXPECT_TRUE(file.GetName() == name.c_str());
    EXPECT_EQ(file.Seek(0, 2), 4);
    EXPECT_EQ(file.Seek(1, 0), 1);
    char buffer[10] = {};
    EXPECT_EQ(file.Read(buffer, 2), 2);
    EXPECT_STREQ(buffer, "bc");
    EXPECT_EQ(file.Seek(-1, 1), 2);
    file.Seek(0, 0);
    EXPECT_EQ(FileFailure([&] { file.Read(buffer, 10); }), name + "|Could not read file!");
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(file.GetName().IsEmpty());
}

TEST(FileHandleTest, ClosedHandleDoesNothing)
{
    file_handle_c file;
    char buffer[4];
    EXPECT_EQ(file.Read(buffer, 4), 0);
    EXPECT_EQ(file.Seek(10, 0), 0);
    file.Close();
}

TEST(FileHandleTest, OpenFailuresMapToMessages)
{
    scratch_folder_c folder;
    const std::string missing = folder.Path("missing.txt");
    EXPECT_EQ(FileFailure([&] { file_handle_c f(missing.c_str()); }), missing + "|File does not exist!");
    const std::string locked = folder.WriteFile("locked", "x");
    chmod(locked.c_str(), 0);
    if (geteuid() != 0) {
        EXPECT_EQ(FileFailure([&] { file_handle_c f(locked.c_str()); }), locked + "|Access denied!");
    }
    EXPECT_EQ(FileFailure([&] { file_handle_c f(folder.GetPath().c_str()); }), folder.GetPath() + "|Access denied!");
    const std::string tooLong = folder.Path(std::string(5000, 'n'));
    EXPECT_EQ(FileFailure([&] { file_handle_c f(tooLong.c_str()); }), tooLong + "|Could not open file!");
}

TEST(FileHandleTest, FailedOpenLeavesTheHandleClosed)
{
    scratch_folder_c folder;
    const std::string name = folder.WriteFile("a", "abc");
    file_handle_c file(name.c_str());
    EXPECT_THROW(file.Open(folder.Path("nope").c_str()), file_error_c);
    EXPECT_FALSE(file.IsOpen());
}

TEST(FileHandleTest, AttachRefusesAnOpenHandle)
{
    scratch_folder_c folder;
    const std::string name = folder.WriteFile("a", "abc");
    file_handle_c file(name.c_str());
    const int other = open(name.c_str(), O_RDONLY);
    EXPECT_EQ(FileFailure([&] { file.Attach("other", other); }), "other|Could not reassign file handle!");
    close(other);
}

TEST(FileHandleTest, SeekFailuresMapToMessages)
{
    scratch_folder_c folder;
    const std::string name = folder.WriteFile("a", "abc");
    file_handle_c file(name.c_str());
    EXPECT_EQ(FileFailure([&] { file.Seek(-10, 0); }), name + "|Invalid function arguments!");
    EXPECT_EQ(FileFailure([&] { file.Seek(0, 9); }), name + "|Invalid function arguments!");
    close(file.GetDescriptor());
    EXPECT_EQ(FileFailure([&] { file.Seek(0, 0); }), name + "|Invalid file handle!");
    char c;
    EXPECT_EQ(FileFailure([&] { file.Read(&c, 1); }), name + "|Invalid file handle!");
    EXPECT_EQ(FileFailure([&] { file.Close(); }), name + "|Invalid file handle!");
}

TEST(OutputFileHandleTest, CreatesTruncatesAndWrites)
{
    scratch_folder_c folder;
    const std::string name = folder.WriteFile("out", "old contents");
    {
        output_file_handle_c file(name.c_str());
        EXPECT_EQ(file.Write("new", 3), 3);
        file.Flush();
    }
    EXPECT_EQ(folder.ReadFile("out"), "new");
    struct stat info;
    ASSERT_EQ(stat(name.c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IRUSR);
    EXPECT_TRUE(info.st_mode & S_IWUSR);
}

TEST(OutputFileHandleTest, CreateFailuresMapToMessages)
{
    scratch_folder_c folder;
    const std::string noFolder = folder.Path("none/x");
    EXPECT_EQ(FileFailure([&] { output_file_handle_c f(noFolder.c_str()); }), noFolder + "|Invalid path!");
    EXPECT_EQ(FileFailure([&] { output_file_handle_c f(folder.GetPath().c_str()); }),
              folder.GetPath() + "|Could not create file!");
    if (geteuid() != 0) {
        const std::string readOnly = folder.WriteFile("ro", "x");
        chmod(readOnly.c_str(), 0400);
        EXPECT_EQ(FileFailure([&] { output_file_handle_c f(readOnly.c_str()); }), readOnly + "|Access denied!");
    }
}

TEST(OutputFileHandleTest, WriteFailuresMapToMessages)
{
    scratch_folder_c folder;
    const std::string name = folder.Path("w");
    output_file_handle_c file(name.c_str());
    close(file.GetDescriptor());
    EXPECT_EQ(FileFailure([&] { file.Write("x", 1); }), name + "|Invalid file handle!");
    if (access("/dev/full", W_OK) == 0) {
        output_file_handle_c full("/dev/full");
        EXPECT_EQ(FileFailure([&] { full.Write("x", 1); }), "/dev/full|Disk full!");
    }
}

namespace {
// Opens until the descriptors run out under a small limit; exits 0 when both
// kinds of handle said so.
void ExhaustDescriptors(const std::string& name, const std::string& created)
{
    const rlimit few = {16, 16};
    setrlimit(RLIMIT_NOFILE, &few);
    std::vector<std::unique_ptr<file_handle_c>> open;
    std::exception_ptr opening, creating;
    for (int i = 0; i < 32 && !opening; ++i) {
        try {
            open.push_back(std::make_unique<file_handle_c>(name.c_str()));
        } catch (const file_error_c&) {
            opening = std::current_exception();
        }
    }
    try {
        output_file_handle_c f(created.c_str());
    } catch (const file_error_c&) {
        creating = std::current_exception();
    }
    // Sanitizers need descriptors of their own to look at the exceptions.
    open.clear();
    auto message = [](const std::exception_ptr& error) -> std::string {
        try {
            if (error)
                std::rethrow_exception(error);
        } catch (const file_error_c& e) {
            return e.what();
        }
        return "";
    };
    std::exit(message(opening) == "Too many open files!" && message(creating) == "Too many open files!" ? 0 : 1);
}
}

TEST(FileHandleDeathTest, RunningOutOfDescriptorsSaysTooManyOpenFiles)
{
    scratch_folder_c folder;
    const std::string name = folder.WriteFile("a", "abc");
    const std::string created = folder.Path("b");
    EXPECT_EXIT(ExhaustDescriptors(name, created), ::testing::ExitedWithCode(0), "");
}
