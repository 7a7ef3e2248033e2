#include "media/image_list.h"

#include "app/saver_settings.h"
#include "media/list_build.h"

std::vector<std::string_view> ImageMasks(const CSaverSettings& settings)
{
    std::vector<std::string_view> masks{"*.jpg", "*.jpeg", "*.gif", "*.bmp"};
    if (settings.codecPath && settings.ShowPng)
        masks.push_back("*.png");
    // Formats of today's phones, cameras and the web; the codec path decodes them.
    if (settings.codecPath && settings.ShowMoreFormats)
        masks.insert(masks.end(), {"*.heic", "*.heif", "*.avif", "*.webp", "*.tif", "*.tiff"});
    return masks;
}

int BuildImageList(CSaverSettings& settings, bool counting)
{
    const std::vector<std::string_view> masks = ImageMasks(settings);
    const MediaListBuild build{
        .routine = "BuildImageList",
        .folderKey = "ImgPath",
        .logDisabled = false,
        .countKey = "Image Files Count",
        .folders = &settings.ImageFolders,
        .masks = masks,
        .recursive = settings.Recursive != 0,
        .sortType = settings.ImageSortType,
        .newFirst = settings.SortNewFirst != 0,
        .files = &settings.ImageFiles,
        .all = &settings.AllImageFiles,
        .lock = &settings.imageListLock,
    };
    return BuildMediaList(build, counting, settings.stopListBuild);
}
