#pragma once
// The image list: every image file under the enabled image folders, ordered
// by the configured sort key, built once before a show.
#include "media/folder_entry.h"
#include "media/sort_file_list.h"

#include <string_view>
#include <vector>

class CSaverSettings;

// The masks scanned in each image folder, in order; PNG only when the codec
// path is the decode path (settings.codecPath) and ShowPng is on; then
// HEIC/HEIF, AVIF, WebP and TIFF when the codec path is the decode path and
// ShowMoreFormats is on.
std::vector<std::string_view> ImageMasks(const CSaverSettings& settings);

// Collects the image files of the enabled folders and answers their number.
// In full mode ImageFiles and AllImageFiles hold the ordered list afterwards
// (taking the image-list lock to replace them, so the caller must not hold
// it); in counting mode ImageFiles is emptied and AllImageFiles left alone.
// An empty result leaves AllImageFiles alone too, and so does a build that
// settings.stopListBuild cut short.
int BuildImageList(CSaverSettings& settings, bool counting);
