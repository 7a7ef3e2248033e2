#include "saver/media_lists.h"

#include "app/saver_settings.h"
#include "media/image_list.h"
#include "media/kept_shuffle.h"
#include "media/sound_list.h"

#include <mutex>

ShowLists LoadMediaLists(CSaverSettings& settings, bool preview)
{
    BuildImageList(settings, false);
    if (settings.stopListBuild.load())
        return ShowLists::Stopped;
    // A preview is too small to count as seeing the photos.
    if (!preview)
        StartKeptShuffle(settings);
    BuildSndList(settings, false);
    if (settings.stopListBuild.load())
        return ShowLists::Stopped;
    std::lock_guard<std::mutex> guard(settings.imageListLock);
    return settings.ImageFiles.empty() && !preview ? ShowLists::NoImages : ShowLists::Ready;
}
