#pragma once
// The stored form of a folder list and the editor's form: a stored entry
// "/a/b" is an enabled folder, ":/a/b" a disabled one.
#include <string>
#include <string_view>
#include <vector>

struct FolderItem {
    std::string path;
    bool enabled = true;
    bool operator==(const FolderItem&) const = default;
};

// A stored entry as the editor shows it: without the ':' and unchecked.
FolderItem FolderItemFromEntry(std::string_view entry);
// The editor's items as stored: unchecked ones get ':'; empty texts are dropped.
std::vector<std::string> EntriesFromFolderItems(const std::vector<FolderItem>& items);
// The folder of an entry, without its ':' mark.
std::string_view FolderOfEntry(std::string_view entry);
// The first entry whose folder does not exist (disabled ones are checked
// too), or nothing when all exist.
const std::string* FirstMissingFolder(const std::vector<std::string>& entries);
