#include "support/child_process.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace support {

namespace {
using namespace std::chrono_literals;

std::map<std::string, std::string> ChildEnvironment(const ChildOptions& options)
{
    std::map<std::string, std::string> env;
    if (!options.clearEnv)
        for (char** e = environ; *e; ++e) {
            std::string entry(*e);
            auto eq = entry.find('=');
            if (eq != std::string::npos)
                env[entry.substr(0, eq)] = entry.substr(eq + 1);
        }
    for (auto& [name, value] : options.env) {
        if (value)
            env[name] = *value;
        else
            env.erase(name);
    }
    return env;
}

// Found before the fork, in the PATH the child will have, so that the child
// only has to call execve.
std::string FindProgram(const std::string& name, const std::map<std::string, std::string>& env)
{
    if (name.find('/') != std::string::npos)
        return name;
    auto path = env.find("PATH");
    std::istringstream dirs(path != env.end() ? path->second : "/usr/local/bin:/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return name;
}
} // namespace

pid_t StartChild(const std::vector<std::string>& argv, const ChildOptions& options)
{
    if (argv.empty())
        return -1;
    const std::map<std::string, std::string> env = ChildEnvironment(options);
    const std::string program = FindProgram(argv[0], env);
    std::vector<std::string> envText;
    for (auto& [name, value] : env)
        envText.push_back(name + "=" + value);
    std::vector<char*> args, envp;
    for (auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (auto& e : envText)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    const char* output = options.output.empty() ? "/dev/null" : options.output.c_str();

    pid_t pid = fork();
    if (pid != 0)
        return pid;
    int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    int out = open(output, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (in < 0 || out < 0)
        _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(out, 2);
    if (options.inChild)
        options.inChild();
    execve(program.c_str(), args.data(), envp.data());
    _exit(127);
}

std::optional<int> WaitChild(pid_t pid, std::chrono::milliseconds timeout, rusage* usage)
{
    if (pid <= 0)
        return std::nullopt;
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        pid_t r = wait4(pid, &status, WNOHANG, usage);
        if (r == pid)
            return status;
        if (r < 0 || std::chrono::steady_clock::now() >= end)
            return std::nullopt;
        std::this_thread::sleep_for(20ms);
    }
}

int ExitCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

void StopChild(pid_t pid, std::chrono::milliseconds grace, bool group)
{
    if (pid <= 0)
        return;
    auto send = [&](int signalNumber) {
        if (group)
            kill(-pid, signalNumber);
        kill(pid, signalNumber);
    };
    send(SIGTERM);
    if (!WaitChild(pid, grace)) {
        send(SIGKILL);
        WaitChild(pid, 3s);
    }
}

} // namespace support
