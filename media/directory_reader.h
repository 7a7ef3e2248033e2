#pragma once
// One open listing of a folder on this platform: entry names in the order
// the file system yields them, with their attribute bits. "." and "..", and
// entries that vanish or cannot be examined, are left out.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct FolderId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FolderId&) const = default;
};

struct DirectoryEntry {
    std::string_view name; // valid until the next call of Next
    int attributes = 0;
};

class DirectoryReader {
public:
    // An empty folder means the current one. A folder that cannot be opened
    // gives a reader without entries.
    explicit DirectoryReader(const std::string& folder);
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;

    bool IsOpen() const { return dir_ != nullptr; }
    // Device and inode of the open folder.
    std::optional<FolderId> Identity() const;
    // The next entry; false at the end or on a read error.
    bool Next(DirectoryEntry& entry);
    void Close();

private:
    void* dir_ = nullptr; // DIR*, kept opaque so that callers need no POSIX header
};
