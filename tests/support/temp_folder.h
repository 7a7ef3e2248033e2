#pragma once
// Folders the tests write into, under the system's temporary folder.
#include <filesystem>
#include <string>
#include <string_view>

namespace support {

// Mode 0755: for checks made as another user, and programs run as one.
constexpr std::filesystem::perms kReadableByAll =
    std::filesystem::perms::owner_all | std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
    std::filesystem::perms::others_read | std::filesystem::perms::others_exec;

// A fresh folder tsv-<tag>-XXXXXX, of mode 0700 unless given; the caller
// removes it. Throws when none can be made.
std::filesystem::path MakeTempFolder(const std::string& tag,
                                     std::filesystem::perms mode = std::filesystem::perms::owner_all);

// Removes a tree, first giving its owner back access to whatever a test locked away.
void RemoveTree(const std::filesystem::path& root);

// A fresh folder, removed with everything in it when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& tag = "test",
                        std::filesystem::perms mode = std::filesystem::perms::owner_all);
    ~TempFolder();
    TempFolder(TempFolder&& other) noexcept;
    TempFolder& operator=(TempFolder&& other) noexcept;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& relative) const { return path_ / relative; }
    // Writes `content` to the file (making its folders); its full path.
    std::filesystem::path Write(const std::filesystem::path& relative, std::string_view content = "x") const;

private:
    std::filesystem::path path_;
};

} // namespace support
