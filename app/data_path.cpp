#include "app/log.h"
#include "app/data_path.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

std::string DataFolderRoot()
{
    // $XDG_DATA_HOME, else ~/.local/share.
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return xdg;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.local/share";
    return {};
}

std::string ExecutableFolder()
{
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return "./";
    std::string path(buf, static_cast<std::size_t>(n));
    return path.substr(0, path.find_last_of('/') + 1);
}

namespace {
bool MakeDirs(const std::string& dir)
{
    struct stat st {};
    if (stat(dir.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    auto slash = dir.find_last_of('/', dir.size() > 1 ? dir.size() - 2 : 0);
    if (slash != std::string::npos && slash > 0 && !MakeDirs(dir.substr(0, slash)))
        return false;
    return mkdir(dir.c_str(), 0700) == 0 || (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}
} // namespace

std::string GetDataFilePath(const std::string& fileName)
{
    std::string root = DataFolderRoot();
    if (root.empty()) {
        Log("Unable to read CSIDL_APPDATA");
        return ExecutableFolder() + fileName;
    }
    std::string dir = root + "/Tessaview";
    if (!MakeDirs(dir)) {
        Log("Unable to create dir: %s", dir.c_str());
        return ExecutableFolder() + fileName;
    }
    return dir + "/" + fileName;
}
