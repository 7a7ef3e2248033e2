#include "app/atomic_file.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
int WriteAll(int fd, std::string_view text)
{
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}
} // namespace

int ReplaceFileAtomically(const std::filesystem::path& file, std::string_view text, const FileOwnership* keep)
{
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    std::string pattern = (folder / ("." + file.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    mode_t mode = 0;
    if (keep) {
        mode = keep->mode;
        // Best effort: only root may give the file back to its owner.
        [[maybe_unused]] const int owned = fchown(fd, keep->uid, keep->gid);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    int error = fchmod(fd, mode) == 0 ? 0 : errno;
    if (!error)
        error = WriteAll(fd, text);
    if (!error && fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && !error)
        error = errno;
    if (!error && rename(name.data(), file.c_str()) != 0)
        error = errno;
    if (error) {
        unlink(name.data());
        return error;
    }
    // The rename itself reaches the disk with the folder.
    if (const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return 0;
}
