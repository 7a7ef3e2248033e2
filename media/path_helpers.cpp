#include "media/path_helpers.h"

namespace {
std::size_t LastSeparator(std::string_view path)
{
    return path.find_last_of("\\/");
}
} // namespace

std::string GetFileName(std::string_view path)
{
    std::size_t sep = LastSeparator(path);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string GetFolder(std::string_view path)
{
    std::size_t sep = LastSeparator(path);
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string GetExtension(std::string_view path)
{
    std::size_t sep = LastSeparator(path);
    std::string_view name = sep == std::string_view::npos ? path : path.substr(sep + 1);
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    return std::string(name.substr(dot + 1));
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string joined;
    joined.reserve(folder.size() + 1 + name.size());
    joined.append(folder);
    if (!folder.empty() && !IsPathSeparator(folder.back()))
        joined.push_back(kPathSeparator);
    joined.append(name);
    return joined;
}
