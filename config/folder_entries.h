#pragma once
// The stored form of a folder list (media/folder_entry.h: "/a/b" is an
// enabled folder, ":/a/b" a disabled one) and the editor's form.
#include "media/folder_entry.h"

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
// The first entry whose folder does not exist (disabled ones are checked
// too), or nothing when all exist.
const std::string* FirstMissingFolder(const std::vector<std::string>& entries);
