#include "image/testing/image_files.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

scratch_file_c::scratch_file_c(const std::vector<u8>& bytes)
{
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/skyvarn-image-XXXXXX";
    std::vector<char> text(pattern.begin(), pattern.end());
    text.push_back(0);
    const int fd = mkstemp(text.data());
    if (fd < 0)
        throw std::runtime_error("cannot make a scratch file");
    name = text.data();
    const bool written = bytes.empty() || write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    close(fd);
    if (!written)
        throw std::runtime_error("cannot write a scratch file");
}

scratch_file_c::~scratch_file_c()
{
    std::remove(name.c_str());
}
