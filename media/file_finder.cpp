#include "media/file_finder.h"

#include "app/log.h"
#include "media/directory_reader.h"
#include "media/path_helpers.h"

#include <algorithm>
#include <optional>

namespace {
// The folder a prefix names, without the separator it ends in.
std::string_view FolderOfPrefix(std::string_view prefix)
{
    if (!prefix.empty() && IsPathSeparator(prefix.back()))
        prefix.remove_suffix(1);
    return prefix;
}

bool TooLong(std::string_view folder)
{
    if (folder.size() <= FileFinder::kMaxFolderPath)
        return false;
    Log("FileFinder: Folder path too long, skipped: %.*s", static_cast<int>(folder.size()),
        folder.data());
    return true;
}
} // namespace

// One depth-first walk that hands each passing entry to every mask it
// matches; each mask collects into its own list, so the lists come out as
// separate per-mask walks would have made them.
struct FileFinder::Walk {
    std::vector<WildcardMask> masks;
    std::vector<StringList*> out;
    int filter = FileAttr::kPlainFiles;
    bool recurse = false;
    std::vector<FolderId> ancestors; // folders of the current path, against link cycles
    const std::atomic<bool>* stop = nullptr;

    bool Stopped() const { return stop && stop->load(std::memory_order_relaxed); }

    void Folder(const std::string& prefix)
    {
        if (Stopped() || TooLong(FolderOfPrefix(prefix)))
            return;
        DirectoryReader dir(prefix);
        if (!dir.IsOpen())
            return;
        std::optional<FolderId> id;
        if (recurse) {
            id = dir.Identity();
            if (id && std::find(ancestors.begin(), ancestors.end(), *id) != ancestors.end()) {
                Log("FileFinder: Folder link cycle, not entered again: %s", prefix.c_str());
                return;
            }
        }
        // The sub-folder list is complete and the listing closed before any
        // descent, so only one folder is open at a time.
        StringList subfolders;
        DirectoryEntry entry;
        while (dir.Next(entry)) {
            if (Stopped())
                return;
            if (PassesFilter(entry.attributes, filter)) {
                for (std::size_t i = 0; i < masks.size(); ++i) {
                    if (!masks[i].Matches(entry.name))
                        continue;
                    std::string path;
                    path.reserve(prefix.size() + entry.name.size());
                    path.append(prefix).append(entry.name);
                    out[i]->push_back(std::move(path));
                }
            }
            if (recurse && (entry.attributes & FileAttr::kDirectory))
                subfolders.emplace_back(entry.name);
        }
        dir.Close();
        if (subfolders.empty())
            return;
        if (id)
            ancestors.push_back(*id);
        std::string sub;
        for (const std::string& name : subfolders) {
            sub.assign(prefix).append(name).push_back(kPathSeparator);
            Folder(sub);
        }
        if (id)
            ancestors.pop_back();
    }
};

FileFinder::FileFinder() = default;
FileFinder::~FileFinder() = default;

void FileFinder::Close() { search_.reset(); }

bool FileFinder::OpenSearch(std::string_view pattern)
{
    Close();
    std::string folder = GetFolder(pattern);
    if (TooLong(FolderOfPrefix(folder)))
        return false;
    auto reader = std::make_unique<DirectoryReader>(folder);
    if (!reader->IsOpen())
        return false;
    search_ = std::move(reader);
    mask_ = WildcardMask(GetFileName(pattern));
    return true;
}

bool FileFinder::FindNext(std::string& name, std::string_view pattern, int filter)
{
    name.clear();
    if (!pattern.empty() && !OpenSearch(pattern))
        return false;
    if (!search_)
        return false;
    DirectoryEntry entry;
    while (search_->Next(entry)) {
        if (PassesFilter(entry.attributes, filter) && mask_.Matches(entry.name)) {
            name.assign(entry.name);
            lastAttributes_ = entry.attributes;
            return true;
        }
    }
    return false;
}

StringList FileFinder::ListFiles(std::string_view pattern, int filter)
{
    StringList list;
    std::string prefix = GetFolder(pattern);
    std::string name;
    for (bool found = FindNext(name, pattern, filter); found; found = FindNext(name, {}, filter))
        list.push_back(prefix + name);
    Close();
    return list;
}

StringList FileFinder::ListSubfolders(std::string_view folder, bool fullPaths)
{
    StringList list;
    std::string pattern = JoinPath(folder, "*.*");
    std::string prefix = GetFolder(pattern);
    std::string name;
    for (bool found = FindNext(name, pattern, FileAttr::kDirectory); found;
         found = FindNext(name, {}, FileAttr::kDirectory)) {
        std::string full = prefix + name;
        if (TooLong(full))
            continue;
        list.push_back(fullPaths ? std::move(full) : name);
    }
    Close();
    return list;
}

StringList& FileFinder::ListFilesRecursive(std::string_view pattern, int filter, bool recurse,
                                           StringList& list)
{
    Walk walk;
    walk.masks.emplace_back(GetFileName(pattern));
    walk.out.push_back(&list);
    walk.filter = filter;
    walk.recurse = recurse;
    walk.Folder(GetFolder(pattern));
    return list;
}

StringList FileFinder::ListFilesRecursive(std::string_view pattern, int filter, bool recurse)
{
    StringList list;
    ListFilesRecursive(pattern, filter, recurse, list);
    return list;
}

StringList& FileFinder::ListFilesByMasks(std::string_view folder,
                                         std::span<const std::string_view> masks, int filter,
                                         bool recurse, StringList& list, const std::atomic<bool>* stop)
{
    if (masks.empty())
        return list;
    Walk walk;
    walk.filter = filter;
    walk.recurse = recurse;
    walk.stop = stop;
    // The first mask appends straight to the caller's list; the others
    // collect apart and follow in mask order.
    std::vector<StringList> later(masks.size() - 1);
    for (std::size_t i = 0; i < masks.size(); ++i) {
        walk.masks.emplace_back(masks[i]);
        walk.out.push_back(i == 0 ? &list : &later[i - 1]);
    }
    walk.Folder(GetFolder(JoinPath(folder, "*")));
    for (StringList& group : later)
        std::move(group.begin(), group.end(), std::back_inserter(list));
    return list;
}
