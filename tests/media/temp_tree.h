#pragma once
// A folder tree under the temporary folder for one test, removed afterwards.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

class TempTree {
public:
    TempTree()
    {
        std::string tmpl = (fs::temp_directory_path() / "tsv-media-XXXXXX").string();
        if (!::mkdtemp(tmpl.data()))
            throw std::runtime_error("mkdtemp failed");
        root_ = tmpl;
        fs::permissions(root_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
    }
    ~TempTree()
    {
        std::error_code ec;
        // Restore access to anything a test locked away, then remove it all.
        for (auto it = fs::recursive_directory_iterator(root_, fs::directory_options::skip_permission_denied, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            if (!it->is_symlink())
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(root_, ec);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The root as a string, without a trailing separator.
    std::string Root() const { return root_.string(); }
    std::string Path(const std::string& rel) const { return (root_ / rel).string(); }

    // Creates the file (and its folders); returns its full path.
    std::string File(const std::string& rel, const std::string& content = "x") const
    {
        fs::path p = root_ / rel;
        fs::create_directories(p.parent_path());
        std::ofstream(p) << content;
        return p.string();
    }
    std::string Dir(const std::string& rel) const
    {
        fs::create_directories(root_ / rel);
        return (root_ / rel).string();
    }
    // Sets the modification time to `secondsAgo` before now.
    void Age(const std::string& rel, int secondsAgo) const
    {
        auto t = fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo);
        fs::last_write_time(root_ / rel, t);
    }

private:
    fs::path root_;
};
