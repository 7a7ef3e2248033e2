#include "media/directory_reader.h"

#include "media/file_attributes.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {
int AttributesFromMode(mode_t mode)
{
    if (S_ISDIR(mode))
        return FileAttr::kDirectory;
    if (S_ISREG(mode))
        return FileAttr::kNormal;
    return FileAttr::kDevice; // FIFO, socket, character or block device
}

DIR* AsDir(void* p) { return static_cast<DIR*>(p); }
} // namespace

DirectoryReader::DirectoryReader(const std::string& folder)
{
    dir_ = ::opendir(folder.empty() ? "." : folder.c_str());
}

DirectoryReader::~DirectoryReader() { Close(); }

void DirectoryReader::Close()
{
    if (dir_) {
        ::closedir(AsDir(dir_));
        dir_ = nullptr;
    }
}

std::optional<FolderId> DirectoryReader::Identity() const
{
    struct stat st {};
    if (!dir_ || ::fstat(::dirfd(AsDir(dir_)), &st) != 0)
        return std::nullopt;
    return FolderId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool DirectoryReader::Next(DirectoryEntry& entry)
{
    if (!dir_)
        return false;
    for (;;) {
        errno = 0;
        const dirent* d = ::readdir(AsDir(dir_));
        if (!d)
            return false; // end, or a read error, which ends the listing too
        std::string_view name(d->d_name);
        if (name == "." || name == "..")
            continue;
        int attributes;
        switch (d->d_type) {
        case DT_REG:
            attributes = FileAttr::kNormal;
            break;
        case DT_DIR:
            attributes = FileAttr::kDirectory;
            break;
        case DT_FIFO:
        case DT_SOCK:
        case DT_CHR:
        case DT_BLK:
            attributes = FileAttr::kDevice;
            break;
        default: {
            // A link, or a file system that does not report types: ask for
            // the target's status. A dangling link or a vanished entry is skipped.
            struct stat st {};
            if (::fstatat(::dirfd(AsDir(dir_)), d->d_name, &st, 0) != 0)
                continue;
            attributes = AttributesFromMode(st.st_mode);
            break;
        }
        }
        if (name.front() == '.')
            attributes |= FileAttr::kHidden;
        entry.name = name;
        entry.attributes = attributes;
        return true;
    }
}
