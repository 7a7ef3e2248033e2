#include "music/pulse_server.h"

#include "support/child_process.h"
#include "support/shell.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include <sys/wait.h>

namespace fs = std::filesystem;

bool PulseServer::Start()
{
    try {
        dir_ = support::MakeTempFolder("pulse").string();
    } catch (const std::exception& e) {
        error_ = e.what();
        return false;
    }
    const std::string socket = dir_ + "/native";
    // The server runs as whoever runs the tests, root included.
    pid_ = support::StartChild(
        {"pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no", "--disable-shm=yes",
         "--load=module-null-sink sink_name=null",
         "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket,
         "--log-target=file:" + dir_ + "/server.log"},
        {.env = {{"HOME", dir_},
                 {"XDG_RUNTIME_DIR", dir_},
                 {"PULSE_RUNTIME_PATH", dir_ + "/runtime"},
                 {"XDG_CONFIG_HOME", dir_ + "/config"},
                 // Keep the server off any session bus: every server on one bus claims
                 // the same well-known name, so a second test run's server would exit.
                 // An unset address is not enough, as libdbus then autolaunches a bus
                 // through the X display; an address that leads nowhere stops that.
                 {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + dir_ + "/no-session-bus"},
                 {"DISPLAY", std::nullopt},
                 {"WAYLAND_DISPLAY", std::nullopt},
                 {"XAUTHORITY", std::nullopt}}});
    if (pid_ < 0) {
        error_ = "fork failed";
        return false;
    }

    for (int i = 0; i < 100; ++i) {
        std::error_code ec;
        if (fs::exists(socket, ec)) {
            address_ = "unix:" + socket;
            setenv("PULSE_SERVER", address_.c_str(), 1);
            setenv("PULSE_RUNTIME_PATH", (dir_ + "/client").c_str(), 1);
            return true;
        }
        if (support::WaitChild(pid_, std::chrono::milliseconds(0))) {
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
    support::StopChild(pid_, std::chrono::seconds(2));
    pid_ = -1;
    if (!dir_.empty()) {
        support::RemoveTree(dir_);
        dir_.clear();
        address_.clear();
    }
}

int PulseServer::SinkInputs() const
{
    support::ShellResult pactl = support::Shell("pactl list short sink-inputs 2>/dev/null");
    if (pactl.exitCode < 0)
        return -1;
    return static_cast<int>(std::count(pactl.output.begin(), pactl.output.end(), '\n'));
}

void UseNoAudioServer()
{
    setenv("PULSE_SERVER", "unix:/nonexistent/tsv-no-audio-server", 1);
    unsetenv("PULSE_RUNTIME_PATH");
}
