// The tests' own PulseAudio servers must not meet on a session bus: each one
// would claim the same bus name and the second would exit at start, failing
// whichever audio tests run beside each other.
#include "music/pulse_server.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

// A private session bus, reachable through DBUS_SESSION_BUS_ADDRESS as a
// desktop's bus would be, for as long as the object lives.
class SessionBus {
public:
    bool Start()
    {
        const fs::path socket = dir_ / "bus";
        address_ = "unix:path=" + socket.string();
        pid_ = support::StartChild({"dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + address_});
        for (int i = 0; i < 100 && pid_ > 0; ++i) {
            std::error_code ec;
            if (fs::exists(socket, ec))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    ~SessionBus() { support::StopChild(pid_); }
    const std::string& Address() const { return address_; }

private:
    support::TempFolder dir_{"bus"};
    std::string address_;
    pid_t pid_ = -1;
};

bool Answers(const PulseServer& server)
{
    return support::Shell("PULSE_SERVER='" + server.Address() + "' pactl info >/dev/null 2>&1").exitCode == 0;
}

} // namespace

TEST(PulseServerTest, TwoServersRunAtOnceBesideAReachableSessionBus)
{
    if (!support::Have("dbus-daemon"))
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

    const auto [owner, code] = support::Shell("dbus-send --bus='" + bus.Address() +
                                              "' --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus "
                                              "org.freedesktop.DBus.NameHasOwner string:org.PulseAudio1 2>&1");
    ASSERT_EQ(code, 0) << owner;
    EXPECT_NE(owner.find("boolean false"), std::string::npos) << "a test server joined the session bus: " << owner;
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
}
