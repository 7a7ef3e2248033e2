#pragma once
// A configured folder as a folder list stores it: an entry that begins with
// ':' is a folder the user disabled; it stays in the list and contributes no
// files. Only the first ':' is the mark, so a folder may begin with one itself.
#include <string>
#include <string_view>

constexpr char kDisabledFolderMark = ':';

inline bool IsDisabledFolder(std::string_view entry)
{
    return !entry.empty() && entry.front() == kDisabledFolderMark;
}

// The folder of an entry, without its mark.
inline std::string_view FolderOfEntry(std::string_view entry)
{
    return IsDisabledFolder(entry) ? entry.substr(1) : entry;
}

// The entry that stores `folder`, enabled or disabled.
inline std::string FolderEntry(std::string_view folder, bool enabled)
{
    std::string entry;
    if (!enabled)
        entry.push_back(kDisabledFolderMark);
    entry.append(folder);
    return entry;
}
