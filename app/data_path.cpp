#include "app/log.h"
#include "app/data_path.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A base folder of the user's: the variable when it holds an absolute path,
// else `underHome` in the home folder; empty when neither is known.
std::string XdgRoot(const char* variable, const char* underHome)
{
    if (const char* xdg = std::getenv(variable); xdg && *xdg == '/')
        return xdg;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + underHome;
    return {};
}
} // namespace

std::string DataFolderRoot() { return XdgRoot("XDG_DATA_HOME", "/.local/share"); }

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

namespace {
// `fileName` in the program's folder under `root`, created when missing; the
// executable's folder when there is no root or the folder cannot be made.
std::string FileUnder(const std::string& root, const char* noRootMessage, const std::string& fileName)
{
    if (root.empty()) {
        Log("%s", noRootMessage);
        return ExecutableFolder() + fileName;
    }
    std::string dir = root + "/Tessaview";
    if (!MakeDirs(dir)) {
        Log("Unable to create dir: %s", dir.c_str());
        return ExecutableFolder() + fileName;
    }
    return dir + "/" + fileName;
}
} // namespace

std::string GetDataFilePath(const std::string& fileName)
{
    return FileUnder(DataFolderRoot(), "Unable to read CSIDL_APPDATA", fileName);
}

std::string StateFolderRoot() { return XdgRoot("XDG_STATE_HOME", "/.local/state"); }

std::string GetStateFilePath(const std::string& fileName)
{
    return FileUnder(StateFolderRoot(), "Unable to find the state folder", fileName);
}
