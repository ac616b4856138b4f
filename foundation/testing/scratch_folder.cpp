#include "foundation/testing/scratch_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

scratch_folder_c::scratch_folder_c()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/skyvarn-test-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("could not make a scratch folder under " + pattern);
    path = pattern;
}

scratch_folder_c::~scratch_folder_c()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string scratch_folder_c::Path(const std::string& relative) const
{
    return path + "/" + relative;
}

std::string scratch_folder_c::WriteFile(const std::string& relative, const std::string& bytes) const
{
    const std::string full = Path(relative);
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("could not write " + full);
    return full;
}

std::string scratch_folder_c::WriteFile(const std::string& relative, const std::vector<u8>& bytes) const
{
    return WriteFile(relative, std::string(bytes.begin(), bytes.end()));
}

std::string scratch_folder_c::ReadFile(const std::string& relative) const
{
    const std::string full = Path(relative);
    std::ifstream in(full, std::ios::binary);
    if (!in)
        throw std::runtime_error("could not read " + full);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
