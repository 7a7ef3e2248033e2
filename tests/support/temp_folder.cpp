#include "support/temp_folder.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace support {

fs::path MakeTempFolder(const std::string& tag, fs::perms mode)
{
    std::string pattern = (fs::temp_directory_path() / ("tsv-" + tag + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder " + pattern);
    fs::permissions(pattern, mode);
    return pattern;
}

void RemoveTree(const fs::path& root)
{
    std::error_code ec;
    if (root.empty())
        return;
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        if (!it->is_symlink())
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(root, ec);
}

TempFolder::TempFolder(const std::string& tag, fs::perms mode) : path_(MakeTempFolder(tag, mode)) {}

TempFolder::~TempFolder() { RemoveTree(path_); }

TempFolder::TempFolder(TempFolder&& other) noexcept : path_(std::exchange(other.path_, {})) {}

TempFolder& TempFolder::operator=(TempFolder&& other) noexcept
{
    if (this != &other) {
        RemoveTree(path_);
        path_ = std::exchange(other.path_, {});
    }
    return *this;
}

fs::path TempFolder::Write(const fs::path& relative, std::string_view content) const
{
    fs::path file = path_ / relative;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
    return file;
}

} // namespace support
