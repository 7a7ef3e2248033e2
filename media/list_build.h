#pragma once
// The build both media lists share: the enabled folders of a configured list,
// each walked once for all masks, give the files in folder order, then mask
// order, then walk order; a full build orders them and makes them the active
// list and its copy. The image and the sound list differ only in what they
// log, in their order and in the lock around their lists.
#include "media/file_finder.h"

#include <atomic>
#include <mutex>
#include <span>
#include <string_view>

struct MediaListBuild {
    // What the build logs: the routine's name first, then each folder as
    // "         <folderKey>=<folder>" (every entry as stored with
    // `logDisabled`, else only the folders scanned), and after a full build
    // "         <countKey>=<count>" when there is a count key.
    const char* routine = "";
    const char* folderKey = "";
    bool logDisabled = false;
    const char* countKey = nullptr;
    // What it scans, and how the full list is ordered.
    const StringList* folders = nullptr;
    std::span<const std::string_view> masks;
    bool recursive = false;
    int sortType = 0;
    bool newFirst = false;
    // Where the list goes, and the lock held while it changes (none: the list
    // is only used on the thread that builds it).
    StringList* files = nullptr;
    StringList* all = nullptr;
    std::mutex* lock = nullptr;
};

// Answers the number of files found. In counting mode, or when nothing is
// found, `files` is emptied and `all` left alone. When `stop` is set during
// the build (the process is ending), it gives up at once, logs
// "<routine>: stopped", empties `files`, leaves `all` alone and answers the
// number found so far.
int BuildMediaList(const MediaListBuild& build, bool counting, const std::atomic<bool>& stop);
