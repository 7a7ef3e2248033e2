#pragma once
// Points the process logger at a fresh temporary file for one test.
#include "app/log.h"
#include "support/reading.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>
#include <unistd.h>

class ScopedTestLog {
public:
    ScopedTestLog()
    {
        path_ = (std::filesystem::temp_directory_path() /
                 ("tsv-log-" + std::to_string(getpid()) + "-" + std::to_string(counter()++) + ".log"))
                    .string();
        TheLogger().SetPathProvider([p = path_] { return p; });
        TheLogger().ResetCreated();
        TheLogger().SetTrace(true);
    }
    ~ScopedTestLog()
    {
        TheLogger().SetTrace(false);
        std::remove(path_.c_str());
    }
    const std::string& Path() const { return path_; }

    // The messages of the file, without their time stamps.
    std::vector<std::string> Messages() const { return support::LogMessages(path_); }

private:
    static int& counter()
    {
        static int c = 0;
        return c;
    }
    std::string path_;
};
