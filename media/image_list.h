#pragma once
// The image list: every image file under the enabled image folders, ordered
// by the configured sort key, built once before a show.
#include "media/sort_file_list.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CSaverSettings;

// A folder entry starting with ':' is one the user disabled; it stays in the
// list and contributes no files.
inline bool IsDisabledFolder(std::string_view entry) { return !entry.empty() && entry.front() == ':'; }

// The masks scanned in each image folder, in order; PNG only when the codec
// path is enabled and ShowPng is on; then HEIC/HEIF, AVIF, WebP and TIFF when
// the codec path is enabled and ShowMoreFormats is on.
std::vector<std::string_view> ImageMasks(const CSaverSettings& settings);

// Collects the image files of the enabled folders and answers their number.
// In full mode ImageFiles and AllImageFiles hold the ordered list afterwards
// (taking the image-list lock to replace them, so the caller must not hold
// it); in counting mode ImageFiles is emptied and AllImageFiles left alone.
// An empty result leaves AllImageFiles alone too.
int BuildImageList(CSaverSettings& settings, bool counting);

// Start of a show: both lists in full mode; outside preview, an empty image
// list is reported through the no-files hook.
void LoadMediaLists(CSaverSettings& settings, bool preview);

// The window code shows the "no files" message box through this hook; until
// one is installed the message goes nowhere.
void SetNoFilesMessageHook(std::function<void(const std::string& text)> hook);
