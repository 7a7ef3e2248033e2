#pragma once
// Replacing a file so that a reader sees either the old text or the new one,
// never a part, and a crash leaves the old file in place.
#include <filesystem>
#include <string_view>
#include <sys/types.h>

// What the replacement keeps of the file it replaces.
struct FileOwnership {
    mode_t mode = 0644;
    uid_t uid = 0;
    gid_t gid = 0;
};

// Writes `text` to a new file beside `file` and renames it over `file`. With
// `keep` the new file takes that mode and owner; without, the mode a new file
// gets from the umask. 0 on success, else the errno of the step that failed
// (the old file is then untouched and the new one removed).
int ReplaceFileAtomically(const std::filesystem::path& file, std::string_view text,
                          const FileOwnership* keep = nullptr);
