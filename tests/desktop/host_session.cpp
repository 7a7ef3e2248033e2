#include "host_session.h"

#include "support/child_process.h"
#include "support/unprivileged.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace host {

namespace {
bool IsZombieOrGone(pid_t pid)
{
    std::string stat = ReadAll("/proc/" + std::to_string(pid) + "/stat");
    auto close = stat.rfind(')');
    return close == std::string::npos || close + 2 >= stat.size() || stat[close + 2] == 'Z' ||
           stat[close + 2] == 'X';
}
} // namespace

bool UseInstalled()
{
    const char* v = std::getenv("TSV_TEST_INSTALLED");
    return v && std::string(v) == "1";
}

fs::path ShowExecutable() { return UseInstalled() ? fs::path("/usr/bin/tessaview") : fs::path(TSV_EXECUTABLE); }

Session::Session(std::string display, const fs::path& program)
    : root_("host", support::kReadableByAll), home_(root_ / "home"),
      uid_(geteuid() == 0 ? support::kNobody : geteuid()), gid_(geteuid() == 0 ? support::kNogroup : getegid())
{
    env_["DISPLAY"] = std::move(display);
    // Daemons that the bus or a host start outlive their parents; as their
    // subreaper this process can reap them instead of leaving zombies behind.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    fs::create_directories(home_);
    fs::create_directories(root_ / "run");
    fs::create_directories(root_ / "bin");
    fs::create_directories(Photos());
    chmod((root_ / "run").c_str(), 0700);
    // The hosts' own program lists name the show as "tessaview".
    const fs::path onPath = root_ / "bin" / "tessaview";
    if (UseInstalled()) {
        fs::create_symlink(program, onPath);
        program_ = program;
    } else {
        fs::copy_file(program, onPath);
        program_ = onPath;
    }
}

Session::~Session()
{
    for (auto it = started_.rbegin(); it != started_.rend(); ++it)
        Stop(*it);
    // Programs the bus or the hosts started on their own carry the session's HOME.
    for (pid_t pid : SessionProcesses())
        kill(pid, SIGKILL);
    std::this_thread::sleep_for(100ms);
    while (waitpid(-1, nullptr, WNOHANG) > 0) {
    }
}

void Session::WriteSettings()
{
    fs::create_directories(home_ / ".config" / "Kelvarin");
    std::ofstream(home_ / ".config" / "Kelvarin" / "Tessaview.ini")
        << "[Settings]\nTrace=1\nAllowSoftwareAcceleration=1\n[Paths]\nCount=1\nPath0=" << Photos().string()
        << "\n";
}

void Session::GiveToUser()
{
    if (geteuid() != 0)
        return;
    for (auto& entry : fs::recursive_directory_iterator(Root()))
        lchown(entry.path().c_str(), uid_, gid_);
    lchown(Root().c_str(), uid_, gid_);
}

std::map<std::string, std::optional<std::string>> Session::Environment() const
{
    std::map<std::string, std::optional<std::string>> env{
        {"PATH", (root_ / "bin").string() + ":/usr/local/bin:/usr/bin:/bin"},
        {"HOME", home_.string()},
        {"XDG_RUNTIME_DIR", (root_ / "run").string()},
        {"LANG", "C.UTF-8"},
        {"LIBGL_ALWAYS_SOFTWARE", "1"},
        // No accessibility bus: one daemon less to start and stop.
        {"NO_AT_BRIDGE", "1"},
    };
    for (auto& [k, v] : env_)
        env[k] = v;
    return env;
}

void Session::Become() const
{
    if (geteuid() != 0)
        return;
    if (setgroups(0, nullptr) != 0 || setgid(gid_) != 0 || setuid(uid_) != 0)
        _exit(126);
}

pid_t Session::Start(const std::vector<std::string>& argv, const fs::path& output,
                     std::optional<std::pair<fs::path, fs::path>> bindOver)
{
    support::ChildOptions options{.output = output, .clearEnv = true, .env = Environment()};
    options.inChild = [&] {
        // Its own process group: stopping it reaches what it started.
        setsid();
        if (bindOver) {
            if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                mount(bindOver->first.c_str(), bindOver->second.c_str(), nullptr, MS_BIND, nullptr) != 0)
                _exit(125);
        }
        Become();
        if (chdir(home_.c_str()) != 0)
            _exit(124);
    };
    pid_t pid = support::StartChild(argv, options);
    if (pid > 0)
        started_.push_back(pid);
    return pid;
}

int Session::Run(const std::vector<std::string>& argv, std::chrono::milliseconds timeout)
{
    pid_t pid = Start(argv, root_ / "last-command.txt");
    if (pid <= 0)
        return -1;
    auto status = support::WaitChild(pid, timeout);
    std::erase(started_, pid);
    if (!status) {
        kill(-pid, SIGKILL);
        support::WaitChild(pid, 2s);
        return -1;
    }
    return WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
}

bool Session::RunUntilSuccess(const std::vector<std::string>& argv, std::chrono::milliseconds timeout)
{
    auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (Run(argv, 5s) == 0)
            return true;
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

void Session::Stop(pid_t pid)
{
    if (pid <= 0)
        return;
    support::StopChild(pid, 5s, true);
    std::erase(started_, pid);
}

bool Session::StartBus()
{
    fs::path socket = root_ / "run" / "bus";
    env_["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + socket.string();
    if (Start({"dbus-daemon", "--session", "--nofork", "--address=unix:path=" + socket.string()},
              root_ / "dbus.txt") <= 0)
        return false;
    for (int i = 0; i < 100 && !fs::exists(socket); ++i)
        std::this_thread::sleep_for(50ms);
    return fs::exists(socket);
}

std::vector<pid_t> Session::SessionProcesses() const
{
    std::vector<pid_t> out;
    const std::string mark = "HOME=" + home_.string();
    std::error_code ec;
    for (auto& entry : fs::directory_iterator("/proc", ec)) {
        std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        pid_t pid = std::stoi(name);
        if (pid == getpid())
            continue;
        std::string env = ReadAll(entry.path() / "environ");
        std::size_t at = 0;
        while (at < env.size()) {
            std::size_t end = env.find('\0', at);
            if (end == std::string::npos)
                end = env.size();
            if (env.compare(at, end - at, mark) == 0) {
                out.push_back(pid);
                break;
            }
            at = end + 1;
        }
    }
    return out;
}

std::vector<pid_t> Session::ShowProcesses() const
{
    std::vector<pid_t> out;
    std::error_code ec;
    fs::path show = fs::canonical(program_, ec);
    for (pid_t pid : SessionProcesses()) {
        fs::path exe = fs::read_symlink("/proc/" + std::to_string(pid) + "/exe", ec);
        if (!ec && exe == show && !IsZombieOrGone(pid))
            out.push_back(pid);
    }
    return out;
}

bool Session::WaitForNoShow(std::chrono::milliseconds timeout) const
{
    auto end = std::chrono::steady_clock::now() + timeout;
    while (!ShowProcesses().empty()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

bool Session::WaitForEndRequest(std::chrono::milliseconds timeout) const
{
    auto end = std::chrono::steady_clock::now() + timeout;
    while (CountLog("CSaverWnd: host window closed") + CountLog(": ending the show") == 0) {
        if (ShowProcesses().empty())
            return true; // gone without a word: the caller's checks of the log will say so
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

fs::path Session::LogPath() const { return home_ / ".local" / "share" / "Tessaview" / "Tessaview.log"; }

int Session::CountLog(const std::string& fragment) const { return support::CountLog(LogPath(), fragment); }

bool Session::WaitForLog(const std::string& fragment, std::chrono::milliseconds timeout) const
{
    return support::WaitForLog(LogPath(), fragment, timeout);
}

} // namespace host
