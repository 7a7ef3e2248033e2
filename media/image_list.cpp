#include "media/image_list.h"

#include "app/log.h"
#include "app/saver_app.h"
#include "app/saver_settings.h"
#include "media/file_finder.h"
#include "media/kept_shuffle.h"
#include "media/sound_list.h"
#include "res/string_table.h"

#include <mutex>

namespace {
std::mutex& HookLock()
{
    static std::mutex lock;
    return lock;
}

std::function<void(const std::string&)>& NoFilesHook()
{
    static std::function<void(const std::string&)> hook;
    return hook;
}
} // namespace

std::vector<std::string_view> ImageMasks(const CSaverSettings& settings)
{
    std::vector<std::string_view> masks{"*.jpg", "*.jpeg", "*.gif", "*.bmp"};
    if (TheApp().gdiplusEnabled && settings.ShowPng)
        masks.push_back("*.png");
    // Formats of today's phones, cameras and the web; the codec path decodes them.
    if (TheApp().gdiplusEnabled && settings.ShowMoreFormats)
        masks.insert(masks.end(), {"*.heic", "*.heif", "*.avif", "*.webp", "*.tif", "*.tiff"});
    return masks;
}

int BuildImageList(CSaverSettings& settings, bool counting)
{
    if (LogEnabled())
        Log("BuildImageList");
    const std::vector<std::string_view> masks = ImageMasks(settings);
    StringList found;
    FileFinder finder;
    for (const std::string& folder : settings.ImageFolders) {
        // An empty entry would scan the process's working folder.
        if (folder.empty() || IsDisabledFolder(folder))
            continue;
        Log("         ImgPath=%s", folder.c_str());
        finder.ListFilesByMasks(folder, masks, FileAttr::kPlainFiles, settings.Recursive != 0, found);
    }
    const int count = static_cast<int>(found.size());
    if (found.empty() || counting) {
        std::lock_guard<std::mutex> guard(settings.imageListLock);
        settings.ImageFiles.clear();
        return count;
    }
    SortFileList(found, settings.ImageSortType, settings.SortNewFirst != 0);
    {
        std::lock_guard<std::mutex> guard(settings.imageListLock);
        settings.AllImageFiles = found;
        settings.ImageFiles = std::move(found);
    }
    Log("         Image Files Count=%d", count);
    return count;
}

void LoadMediaLists(CSaverSettings& settings, bool preview)
{
    BuildImageList(settings, false);
    // A preview is too small to count as seeing the photos.
    if (!preview)
        StartKeptShuffle(settings);
    BuildSndList(settings, false);
    bool empty;
    {
        std::lock_guard<std::mutex> guard(settings.imageListLock);
        empty = settings.ImageFiles.empty();
    }
    if (!empty || preview)
        return;
    std::function<void(const std::string&)> hook;
    {
        // Called outside the lock: a message box runs its own event loop.
        std::lock_guard<std::mutex> guard(HookLock());
        hook = NoFilesHook();
    }
    if (hook)
        hook(LoadStringId(IDS_NO_FILES));
}

void SetNoFilesMessageHook(std::function<void(const std::string& text)> hook)
{
    std::lock_guard<std::mutex> guard(HookLock());
    NoFilesHook() = std::move(hook);
}
