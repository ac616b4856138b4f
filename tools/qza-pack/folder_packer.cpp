#include "tools/qza-pack/folder_packer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "foundation/archive.h"
#include "foundation/archive_writer.h"
#include "platform/win32/crt_text.h"

namespace fs = std::filesystem;

namespace {
std::string Lowered(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::vector<char> ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw pack_error_c("cannot read " + path + ": " + std::strerror(errno));
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw pack_error_c("cannot read " + path + ": " + std::strerror(errno));
    return bytes;
}
}

std::vector<std::pair<std::string, std::string>> ListFolder(const std::string& folder)
{
    std::error_code error;
    if (!fs::is_directory(folder, error))
        throw pack_error_c("not a folder: " + folder + (error ? ": " + error.message() : ""));
    std::vector<std::pair<std::string, std::string>> files;
    fs::recursive_directory_iterator it(folder, fs::directory_options::follow_directory_symlink, error);
    if (error)
        throw pack_error_c("cannot read folder " + folder + ": " + error.message());
    for (; it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (error)
            throw pack_error_c("cannot read folder " + folder + ": " + error.message());
        if (!it->is_regular_file(error))
            continue;
        const std::string relative = fs::relative(it->path(), folder, error).generic_string();
        if (relative.find('\\') != std::string::npos)
            throw pack_error_c("file name holds a backslash, which the game reads as a folder: " + it->path().string());
        if (it->file_size(error) > 0xffffffffu)
            throw pack_error_c("file larger than 4 GB: " + it->path().string());
        std::string name = relative;
        std::replace(name.begin(), name.end(), '/', '\\');
        files.emplace_back(name, it->path().string());
    }
    if (error)
        throw pack_error_c("cannot read folder " + folder + ": " + error.message());
    std::sort(files.begin(), files.end());
    std::map<std::string, std::string> seen;
    for (const auto& [name, path] : files) {
        const auto [at, fresh] = seen.emplace(Lowered(name), name);
        if (!fresh)
            throw pack_error_c("names differ only in letter case: " + at->second + " and " + name);
    }
    return files;
}

std::vector<packed_entry_t> PackFolder(const std::string& folder, const std::string& archive, int level)
{
    auto files = ListFolder(folder);
    // An earlier archive inside the folder is not packed into the new one.
    std::error_code error;
    std::erase_if(files, [&](const auto& file) { return fs::equivalent(file.second, archive, error); });
    if (files.empty())
        throw pack_error_c("nothing to pack: " + folder + " holds no files");
    archive_writer_c writer(level);
    for (const auto& [name, path] : files) {
        const std::vector<char> bytes = ReadWhole(path);
        writer.Add(name, bytes.data(), bytes.size());
    }
    writer.Write(archive.c_str());
    std::vector<packed_entry_t> packed;
    for (const archive_writer_c::entry_t& entry : writer.GetEntries())
        packed.push_back({entry.name, entry.unpackedSize, static_cast<u32>(entry.stored.size())});
    return packed;
}

void ListArchive(const std::string& archive, std::FILE* out)
{
    archive_c reader(archive.c_str());
    for (const archive_entry_c& entry : reader.GetEntries())
        std::fprintf(out, "%s\t%u\t%u\t%s\n", entry.GetName(), entry.GetSize(), entry.GetStoredSize(),
                     entry.IsCompressed() ? "zlib" : "raw");
}
