#pragma once
// The directory scan: lists the entries of a folder that match a wildcard
// mask and an attribute filter (see file_attributes.h), optionally through
// every sub-folder, depth first and in the order the file system yields them.
//
// Folder paths longer than kMaxFolderPath characters are refused, and a folder
// that is already being walked higher up the current path (a link cycle) is
// not entered again. Folders that are missing or unreadable contribute nothing.
#include "media/file_attributes.h"
#include "media/wildcard_mask.h"

#include <atomic>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using StringList = std::vector<std::string>;

class DirectoryReader;

class FileFinder {
public:
    static constexpr std::size_t kMaxFolderPath = 1023;

    FileFinder();
    ~FileFinder();
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;

    // With a pattern (folder + mask) starts a new search, with an empty one
    // continues the open search. True and the next passing entry name, or
    // false and an empty name when the search is exhausted.
    bool FindNext(std::string& name, std::string_view pattern, int filter);
    // Attribute bits of the entry FindNext returned last.
    int LastAttributes() const { return lastAttributes_; }
    void Close();

    // Full paths (the pattern's folder part + name) of the passing entries.
    StringList ListFiles(std::string_view pattern, int filter);
    // The sub-folders of a folder (hidden ones too), as full paths or bare names.
    StringList ListSubfolders(std::string_view folder, bool fullPaths);
    // The matches of the pattern's folder and, when recursing, of every
    // sub-folder at any depth, appended to `list`, which is returned.
    StringList& ListFilesRecursive(std::string_view pattern, int filter, bool recurse, StringList& list);
    StringList ListFilesRecursive(std::string_view pattern, int filter, bool recurse);
    // The same result as one ListFilesRecursive(JoinPath(folder, mask)) per
    // mask, in mask order, duplicates included, but walking the tree once.
    // Masks are last path components. When `stop` is set during the walk, it
    // ends early with what it has found so far.
    StringList& ListFilesByMasks(std::string_view folder, std::span<const std::string_view> masks,
                                 int filter, bool recurse, StringList& list,
                                 const std::atomic<bool>* stop = nullptr);

private:
    struct Walk;
    bool OpenSearch(std::string_view pattern);

    std::unique_ptr<DirectoryReader> search_;
    WildcardMask mask_;
    int lastAttributes_ = 0;
};
