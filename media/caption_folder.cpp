#include "media/caption_folder.h"

#include "media/folder_entry.h"
#include "media/path_helpers.h"

namespace {
std::string_view WithoutTrailingSeparators(std::string_view path)
{
    while (!path.empty() && IsPathSeparator(path.back()))
        path.remove_suffix(1);
    return path;
}

std::string_view LastComponent(std::string_view path)
{
    path = WithoutTrailingSeparators(path);
    std::size_t at = path.size();
    while (at > 0 && !IsPathSeparator(path[at - 1]))
        --at;
    return path.substr(at);
}

// True when `folder` (without trailing separators) is `dir` or one of its parents.
bool Holds(std::string_view folder, std::string_view dir)
{
    if (dir.substr(0, folder.size()) != folder)
        return false;
    return dir.size() == folder.size() || IsPathSeparator(dir[folder.size()]);
}
} // namespace

std::string CaptionFolder(std::string_view photo, const std::vector<std::string>& folders)
{
    const std::string folderOfPhoto = GetFolder(photo);
    const std::string_view dir = WithoutTrailingSeparators(folderOfPhoto);
    std::string_view best;
    bool found = false;
    for (const std::string& entry : folders) {
        if (entry.empty() || IsDisabledFolder(entry))
            continue;
        const std::string_view folder = WithoutTrailingSeparators(entry);
        // The root folder, stripped to nothing, holds every absolute path.
        const bool holds = folder.empty() ? !dir.empty() && IsPathSeparator(entry.front()) : Holds(folder, dir);
        if (holds && (!found || folder.size() > best.size())) {
            best = folder;
            found = true;
        }
    }
    if (!found)
        return std::string(LastComponent(dir));
    std::string_view below = dir.substr(best.size());
    while (!below.empty() && IsPathSeparator(below.front()))
        below.remove_prefix(1);
    if (below.empty())
        return std::string(LastComponent(best));
    std::string path(below);
    for (char& c : path)
        if (IsPathSeparator(c))
            c = '/';
    return path;
}
