#include "music/pulse_server.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

bool PulseServer::Start()
{
    char tmpl[] = "/tmp/tsv-pulse-XXXXXX";
    if (!mkdtemp(tmpl)) {
        error_ = std::string("mkdtemp: ") + std::strerror(errno);
        return false;
    }
    dir_ = tmpl;
    const std::string socket = dir_ + "/native";
    const std::string nullSink = "--load=module-null-sink sink_name=null";
    const std::string native = "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket;
    const std::string logTarget = "--log-target=file:" + dir_ + "/server.log";

    pid_ = fork();
    if (pid_ < 0) {
        error_ = std::string("fork: ") + std::strerror(errno);
        return false;
    }
    if (pid_ == 0) {
        setenv("HOME", dir_.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
        setenv("PULSE_RUNTIME_PATH", (dir_ + "/runtime").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir_ + "/config").c_str(), 1);
        // Keep the server off any session bus: every server on one bus claims
        // the same well-known name, so a second test run's server would exit.
        // An unset address is not enough, as libdbus then autolaunches a bus
        // through the X display; an address that leads nowhere stops that.
        setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + dir_ + "/no-session-bus").c_str(), 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("XAUTHORITY");
        // The server runs as whoever runs the tests, root included.
        execlp("pulseaudio", "pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
               "--disable-shm=yes", nullSink.c_str(), native.c_str(), logTarget.c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }

    for (int i = 0; i < 100; ++i) {
        std::error_code ec;
        if (fs::exists(socket, ec)) {
            address_ = "unix:" + socket;
            setenv("PULSE_SERVER", address_.c_str(), 1);
            setenv("PULSE_RUNTIME_PATH", (dir_ + "/client").c_str(), 1);
            return true;
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error_ = "pulseaudio exited at start (see " + dir_ + "/server.log)";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    error_ = "pulseaudio did not open its socket within 5 s";
    Stop();
    return false;
}

bool PulseServer::Running()
{
    if (pid_ <= 0)
        return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == 0)
        return true;
    pid_ = -1;
    return false;
}

void PulseServer::Stop()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 100 && waitpid(pid_, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (waitpid(pid_, &status, WNOHANG) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
        pid_ = -1;
    }
    if (!dir_.empty()) {
        std::error_code ec;
        fs::remove_all(dir_, ec);
        dir_.clear();
        address_.clear();
    }
}

int PulseServer::SinkInputs() const
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen("pactl list short sink-inputs 2>/dev/null", "r"), pclose);
    if (!pipe)
        return -1;
    int lines = 0;
    char buf[512];
    while (std::fgets(buf, sizeof buf, pipe.get()))
        ++lines;
    return lines;
}

void UseNoAudioServer()
{
    setenv("PULSE_SERVER", "unix:/nonexistent/tsv-no-audio-server", 1);
    unsetenv("PULSE_RUNTIME_PATH");
}
