#pragma once
// The profile store as one INI file per user. Plain text sections and
// key=value lines, so a user can read and edit it by hand. Every write
// re-reads the file and replaces it atomically, so a crash or a second process
// never leaves it half written, and lines the program does not know (comments,
// other keys) are kept as they are.
#include "app/profile_store.h"

#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

class IniProfileStore : public ProfileStore {
public:
    explicit IniProfileStore(std::string path);

    int GetProfileInt(std::string_view section, std::string_view key, int defaultValue) override;
    std::string GetProfileString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) override;
    bool WriteProfileInt(std::string_view section, std::string_view key, int value) override;
    bool WriteProfileString(std::string_view section, std::string_view key,
                            std::string_view value) override;
    std::vector<std::pair<std::string, std::string>> GetProfileSection(std::string_view section) override;

    // All the writes in one replacement of the file: a failure leaves it as it was.
    bool WriteBatch(const std::vector<ProfileWrite>& writes) override;
    std::string Location() const override { return path_; }

    const std::string& Path() const { return path_; }

    // The per-user file: $XDG_CONFIG_HOME/Kelvarin/Tessaview.ini (~/.config when unset).
    static std::string UserStorePath();

private:
    struct Line {
        std::string text;     // the line as in the file
        std::string section;  // the section it belongs to
        std::string key;      // empty for anything but key=value lines
        std::string value;
    };
    enum class ReadResult { Ok, Missing, Unreadable };
    ReadResult Read(std::vector<Line>& lines) const;
    bool Write(const std::vector<Line>& lines) const;
    static void Apply(std::vector<Line>& lines, std::string_view section, std::string_view key,
                      std::string_view value);
    // Read, apply, replace, under the file lock; `lock_` must be held.
    bool Update(const std::vector<ProfileWrite>& writes);
    const Line* Find(const std::vector<Line>& lines, std::string_view section, std::string_view key) const;

    // The file as last read, reused while it is unchanged on disk.
    struct Snapshot {
        bool valid = false;
        ino_t inode = 0;
        off_t size = 0;
        long long mtimeNs = 0;
        std::vector<Line> lines;
    };
    // The file's lines, from the snapshot while the file is unchanged; nullptr when unreadable or missing.
    const std::vector<Line>* CachedLines();

    std::string path_;
    std::mutex lock_; // loader threads and the main thread write selection indices
    Snapshot cache_;
};

