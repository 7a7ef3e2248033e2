#pragma once
// Programs the tests start: started with fork and exec, waited for without
// blocking past a deadline, and ended with SIGTERM, then SIGKILL.
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/types.h>

namespace support {

struct ChildOptions {
    // Standard output and error go to this file (truncated), or to /dev/null
    // when empty. Standard input is always /dev/null.
    std::filesystem::path output{};
    // Start from an empty environment instead of this process's own.
    bool clearEnv = false;
    // Variables to set, or to remove where the value is nothing.
    std::map<std::string, std::optional<std::string>> env{};
    // Runs in the child just before exec (setsid, setuid, chdir...). Only
    // async-signal-safe calls belong here: the test may run threads.
    std::function<void()> inChild{};
};

// Starts argv[0] (searched in the child's PATH when it holds no '/'); the
// child's pid, or -1 when fork failed. A program that cannot be run exits 127.
pid_t StartChild(const std::vector<std::string>& argv, const ChildOptions& options = {});

// Waits for the child at most `timeout`; its wait status, or nothing when it
// is still running (or is not a child of this process).
std::optional<int> WaitChild(pid_t pid, std::chrono::milliseconds timeout, rusage* usage = nullptr);

// The exit code of a wait status, or 128 + the signal that ended it.
int ExitCode(int status);

// SIGTERM, then SIGKILL after `grace`; the whole process group when `group`.
void StopChild(pid_t pid, std::chrono::milliseconds grace = std::chrono::seconds(3), bool group = false);

} // namespace support
