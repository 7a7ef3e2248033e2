#pragma once
// A desktop user's session for the screen-saver hosts: a private home with
// Tessaview's settings and log, a private D-Bus session bus, and the host's
// programs run as an unprivileged user (the hosts refuse root). Whatever the
// session starts, it stops again.
#include "support/reading.h"
#include "support/temp_folder.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>
#include <sys/types.h>

namespace host {

// File contents, empty when unreadable.
using support::ReadAll;
// The installed or built tessaview executable the hosts run.
std::filesystem::path ShowExecutable();
// True when the package is installed and the tests should use it.
bool UseInstalled();

class Session {
public:
    // `display` is the X display the programs use; `program` the show that the
    // hosts find as "tessaview" on their PATH.
    explicit Session(std::string display, const std::filesystem::path& program = ShowExecutable());
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const std::filesystem::path& Root() const { return root_.Path(); }
    const std::filesystem::path& Home() const { return home_; }
    // The show as the session's user runs it: the installed program, or a copy
    // of the build's in the session's folder, which that user reaches wherever
    // the build lies (a checkout in a home folder of mode 0700 included).
    const std::filesystem::path& Program() const { return program_; }
    // Photos folder, listed in the settings.
    std::filesystem::path Photos() const { return root_ / "photos"; }
    // Settings lines of the show: [Settings] Trace=1 and the photos folder.
    void WriteSettings();
    // Hands the whole folder to the session's user; call after writing files.
    void GiveToUser();
    void SetEnv(const std::string& name, const std::string& value) { env_[name] = value; }

    // A private session bus for everything started later.
    bool StartBus();
    // A program running in the background; its output goes to `output`.
    // `bindOver` mounts a folder over a system folder for this program and
    // its children only (root only).
    pid_t Start(const std::vector<std::string>& argv, const std::filesystem::path& output,
                std::optional<std::pair<std::filesystem::path, std::filesystem::path>> bindOver = {});
    // Runs a program to its end (at most `timeout`); its exit status, or -1.
    int Run(const std::vector<std::string>& argv, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Runs `argv` until it succeeds, for at most `timeout`.
    bool RunUntilSuccess(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);
    // Ends a program started here: SIGTERM, then SIGKILL.
    void Stop(pid_t pid);

    // The session's running tessaview processes (zombies do not count).
    std::vector<pid_t> ShowProcesses() const;
    bool WaitForNoShow(std::chrono::milliseconds timeout) const;
    // Waits until the host has passed the end on to the show: it closed the
    // show's window or signalled it. A busy host takes its time over that
    // (xscreensaver's gfx process was seen to need 3 s on a loaded machine),
    // so the show's own promptness is measured from here.
    bool WaitForEndRequest(std::chrono::milliseconds timeout) const;

    std::filesystem::path LogPath() const;
    int CountLog(const std::string& fragment) const;
    bool WaitForLog(const std::string& fragment, std::chrono::milliseconds timeout) const;

private:
    std::map<std::string, std::optional<std::string>> Environment() const;
    void Become() const;
    // Every process, however far down, that carries this session's HOME.
    std::vector<pid_t> SessionProcesses() const;

    support::TempFolder root_;
    std::filesystem::path home_, program_;
    std::map<std::string, std::string> env_;
    std::vector<pid_t> started_;
    uid_t uid_;
    gid_t gid_;
};

} // namespace host
