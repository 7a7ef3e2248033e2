#include "config/folder_entries.h"

#include <unistd.h>

FolderItem FolderItemFromEntry(std::string_view entry)
{
    if (!entry.empty() && entry.front() == ':')
        return {std::string(entry.substr(1)), false};
    return {std::string(entry), true};
}

std::vector<std::string> EntriesFromFolderItems(const std::vector<FolderItem>& items)
{
    std::vector<std::string> entries;
    for (const FolderItem& item : items) {
        if (item.path.empty())
            continue;
        entries.push_back(item.enabled ? item.path : ":" + item.path);
    }
    return entries;
}

std::string_view FolderOfEntry(std::string_view entry)
{
    if (!entry.empty() && entry.front() == ':')
        entry.remove_prefix(1);
    return entry;
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
