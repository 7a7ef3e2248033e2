#include "config/folder_entries.h"

#include <unistd.h>

FolderItem FolderItemFromEntry(std::string_view entry)
{
    return {std::string(FolderOfEntry(entry)), !IsDisabledFolder(entry)};
}

std::vector<std::string> EntriesFromFolderItems(const std::vector<FolderItem>& items)
{
    std::vector<std::string> entries;
    for (const FolderItem& item : items) {
        if (item.path.empty())
            continue;
        entries.push_back(FolderEntry(item.path, item.enabled));
    }
    return entries;
}

const std::string* FirstMissingFolder(const std::vector<std::string>& entries)
{
    for (const std::string& entry : entries) {
        std::string folder(FolderOfEntry(entry));
        // An entry that is only ':' names no folder at all.
        if (folder.empty() || access(folder.c_str(), F_OK) != 0)
            return &entry;
    }
    return nullptr;
}
