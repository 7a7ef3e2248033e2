#pragma once
// The folder a photo's caption names: where the photo lies below the image
// folder it was found in.
#include <string>
#include <string_view>
#include <vector>

// The path of the photo's folder below the enabled list folder that holds it
// ("2019/Rome", always with '/'), or that list folder's own name for a photo
// directly in it. When several list folders hold it (one inside another) the
// innermost counts. A photo outside every enabled folder (shown again after
// its folder was switched off, or named by hand) gives its own folder's name.
// Empty when there is no name to give (a photo at the root).
std::string CaptionFolder(std::string_view photo, const std::vector<std::string>& folders);
