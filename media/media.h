#pragma once
// The media lists: directory scan, image and sound lists, selection and the
// remembered position; the folder a photo's caption names.
#include "media/caption_folder.h"
#include "media/file_attributes.h"
#include "media/file_finder.h"
#include "media/folder_entry.h"
#include "media/image_list.h"
#include "media/image_selection.h"
#include "media/kept_shuffle.h"
#include "media/list_build.h"
#include "media/next_image.h"
#include "media/path_helpers.h"
#include "media/sort_file_list.h"
#include "media/sound_list.h"
