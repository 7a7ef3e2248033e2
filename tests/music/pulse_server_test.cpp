// The tests' own PulseAudio servers must not meet on a session bus: each one
// would claim the same bus name and the second would exit at start, failing
// whichever audio tests run beside each other.
#include "music/pulse_server.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A private session bus, reachable through DBUS_SESSION_BUS_ADDRESS as a
// desktop's bus would be, for as long as the object lives.
class SessionBus {
public:
    bool Start()
    {
        char tmpl[] = "/tmp/tsv-bus-XXXXXX";
        if (!mkdtemp(tmpl))
            return false;
        dir_ = tmpl;
        const std::string socket = dir_ + "/bus";
        address_ = "unix:path=" + socket;
        const std::string listen = "--address=" + address_;
        pid_ = fork();
        if (pid_ < 0)
            return false;
        if (pid_ == 0) {
            execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile", listen.c_str(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 100; ++i) {
            std::error_code ec;
            if (fs::exists(socket, ec))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    ~SessionBus()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        std::error_code ec;
        if (!dir_.empty())
            fs::remove_all(dir_, ec);
    }
    const std::string& Address() const { return address_; }

private:
    std::string dir_;
    std::string address_;
    pid_t pid_ = -1;
};

std::string Capture(const std::string& command, int* exitCode)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    if (!pipe) {
        *exitCode = -1;
        return out;
    }
    std::array<char, 512> buf{};
    while (std::fgets(buf.data(), buf.size(), pipe.get()))
        out += buf.data();
    const int status = pclose(pipe.release());
    *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

bool Answers(const PulseServer& server)
{
    int code = 0;
    Capture("PULSE_SERVER='" + server.Address() + "' pactl info >/dev/null 2>&1", &code);
    return code == 0;
}

} // namespace

TEST(PulseServerTest, TwoServersRunAtOnceBesideAReachableSessionBus)
{
    if (std::system("command -v dbus-daemon >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "dbus-daemon is not installed";
    SessionBus bus;
    ASSERT_TRUE(bus.Start()) << "cannot start a private session bus";
    setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().c_str(), 1);

    PulseServer first;
    PulseServer second;
    ASSERT_TRUE(first.Start()) << first.Error();
    ASSERT_TRUE(second.Start()) << second.Error();
    // A server that lost the bus name quits shortly after opening its socket.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(second.Running());
    EXPECT_TRUE(Answers(first));
    EXPECT_TRUE(Answers(second));
    EXPECT_NE(first.Address(), second.Address());

    int code = 0;
    const std::string owner = Capture("dbus-send --bus='" + bus.Address() +
                                      "' --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus "
                                      "org.freedesktop.DBus.NameHasOwner string:org.PulseAudio1 2>&1",
                                  &code);
    ASSERT_EQ(code, 0) << owner;
    EXPECT_NE(owner.find("boolean false"), std::string::npos) << "a test server joined the session bus: " << owner;
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
}
