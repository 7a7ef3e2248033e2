#pragma once
// A folder tree under the temporary folder for one test, removed afterwards,
// with paths as the media lists take them: strings.
#include "support/temp_folder.h"

#include <chrono>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

class TempTree {
public:
    // The root as a string, without a trailing separator.
    std::string Root() const { return folder_.Path().string(); }
    std::string Path(const std::string& rel) const { return (folder_ / rel).string(); }

    // Creates the file (and its folders); returns its full path.
    std::string File(const std::string& rel, const std::string& content = "x") const
    {
        return folder_.Write(rel, content).string();
    }
    std::string Dir(const std::string& rel) const
    {
        fs::create_directories(folder_ / rel);
        return Path(rel);
    }
    // Sets the modification time to `secondsAgo` before now.
    void Age(const std::string& rel, int secondsAgo) const
    {
        auto t = fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo);
        fs::last_write_time(folder_ / rel, t);
    }

private:
    // Some checks walk the tree as an ordinary user.
    support::TempFolder folder_{"media", support::kReadableByAll};
};
