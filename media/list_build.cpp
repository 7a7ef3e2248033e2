#include "media/list_build.h"

#include "app/log.h"
#include "media/folder_entry.h"
#include "media/sort_file_list.h"

namespace {
std::unique_lock<std::mutex> LockOf(const MediaListBuild& build)
{
    return build.lock ? std::unique_lock<std::mutex>(*build.lock) : std::unique_lock<std::mutex>();
}

bool Stopped(const std::atomic<bool>& stop) { return stop.load(std::memory_order_relaxed); }
} // namespace

int BuildMediaList(const MediaListBuild& build, bool counting, const std::atomic<bool>& stop)
{
    if (LogEnabled())
        Log("%s", build.routine);
    StringList found;
    FileFinder finder;
    for (const std::string& folder : *build.folders) {
        if (Stopped(stop))
            break;
        // An empty entry would scan the process's working folder.
        const bool skipped = folder.empty() || IsDisabledFolder(folder);
        if (build.logDisabled || !skipped)
            Log("         %s=%s", build.folderKey, folder.c_str());
        if (!skipped)
            finder.ListFilesByMasks(folder, build.masks, FileAttr::kPlainFiles, build.recursive, found, &stop);
    }
    const int count = static_cast<int>(found.size());
    bool stopped = Stopped(stop);
    if (!stopped && !found.empty() && !counting)
        stopped = !SortFileList(found, build.sortType, build.newFirst, &stop);
    if (stopped || found.empty() || counting) {
        if (stopped)
            Log("%s: stopped", build.routine);
        std::unique_lock<std::mutex> guard = LockOf(build);
        build.files->clear();
        return count;
    }
    {
        std::unique_lock<std::mutex> guard = LockOf(build);
        *build.all = found;
        *build.files = std::move(found);
    }
    if (build.countKey)
        Log("         %s=%d", build.countKey, count);
    return count;
}
