// The programs typed in a terminal without a display (an ssh session, a cron
// job): --help and --version answer, --add-to-xscreensaver edits the file, and
// every run mode ends with one line and status 1 instead of an abort.
#include <gtest/gtest.h>

#include "desktop_checks.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {
struct Outcome {
    std::string out, err;
    int status = -1;         // exit status; -1 when killed by a signal or timed out
    int signalNumber = 0;
};

class TerminalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = show::TempFolder("terminal");
        fs::create_directories(folder / "home");
    }
    void TearDown() override { fs::remove_all(folder); }

    // Runs `argv` in a clean environment (HOME in the scratch folder, no DISPLAY)
    // plus `env`, from the scratch folder.
    Outcome Run(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {}) const
    {
        const fs::path out = folder / "stdout.txt", err = folder / "stderr.txt";
        pid_t pid = fork();
        if (pid == 0) {
            int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            int in = open("/dev/null", O_RDONLY);
            dup2(in, 0);
            dup2(o, 1);
            dup2(e, 2);
            if (chdir(folder.c_str()) != 0)
                _exit(124);
            clearenv();
            setenv("PATH", "/usr/bin:/bin", 1);
            setenv("HOME", (folder / "home").c_str(), 1);
            setenv("LANG", "C.UTF-8", 1);
            for (auto& [k, v] : env)
                setenv(k.c_str(), v.c_str(), 1);
            std::vector<char*> args;
            for (auto& a : argv)
                args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        Outcome r;
        int status = 0;
        const auto end = std::chrono::steady_clock::now() + 20s;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > end) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                ADD_FAILURE() << argv[0] << " did not end";
                return r;
            }
            std::this_thread::sleep_for(10ms);
        }
        if (WIFEXITED(status))
            r.status = WEXITSTATUS(status);
        if (WIFSIGNALED(status))
            r.signalNumber = WTERMSIG(status);
        r.out = host::ReadAll(out);
        r.err = host::ReadAll(err);
        return r;
    }
    std::string Show() const { return host::ShowExecutable().string(); }

    // A display name no X server answers to.
    static std::string AbsentDisplay()
    {
        for (int n = 700;; ++n)
            if (!fs::exists("/tmp/.X11-unix/X" + std::to_string(n)) && !fs::exists("/tmp/.X" + std::to_string(n) + "-lock"))
                return ":" + std::to_string(n);
    }

    fs::path folder;
};
} // namespace

TEST_F(TerminalTest, HelpAndVersionAnswerOnStandardOutputWithoutADisplay)
{
    const std::map<std::string, std::string> noServer{{"DISPLAY", AbsentDisplay()}};
    for (const char* help : {"--help", "-h"}) {
        const Outcome r = Run({Show(), help}, noServer);
        EXPECT_EQ(r.status, 0) << help;
        EXPECT_EQ(r.out.rfind("Usage: tessaview [/s | /c | /a | /p WINDOW]\n", 0), 0u) << r.out;
        for (const char* needed : {"--add-to-xscreensaver", "-root", "Tessaview.ini", "Tessaview.log", "man tessaview"})
            EXPECT_NE(r.out.find(needed), std::string::npos) << needed;
        EXPECT_EQ(r.err, "");
    }
    const Outcome version = Run({Show(), "--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tessaview 1.0.0\n");
    EXPECT_EQ(version.err, "");

    const Outcome imageVersion = Run({desktop::ImageExecutable().string(), "--version"});
    EXPECT_EQ(imageVersion.status, 0);
    EXPECT_EQ(imageVersion.out, "tessaview-image 1.0.0\n");
    const Outcome imageHelp = Run({desktop::ImageExecutable().string(), "--help"});
    EXPECT_EQ(imageHelp.status, 0);
    EXPECT_NE(imageHelp.out.find("--version"), std::string::npos);
}

TEST_F(TerminalTest, WithoutADisplayEveryModeSaysSoAndEndsWithStatusOne)
{
    const std::string absent = AbsentDisplay();
    const std::vector<std::vector<std::string>> modes{
        {}, {"/s"}, {"/c"}, {"/a"}, {"/p", "1234"}, {"-root"}, {"-window-id", "0x400007"}};
    for (const auto& mode : modes) {
        std::vector<std::string> argv{Show()};
        argv.insert(argv.end(), mode.begin(), mode.end());
        const std::string shown = mode.empty() ? "(empty)" : mode[0];
        const Outcome typo = Run(argv, {{"DISPLAY", absent}});
        EXPECT_EQ(typo.signalNumber, 0) << shown;
        EXPECT_EQ(typo.status, 1) << shown;
        EXPECT_EQ(typo.err, "tessaview: cannot open display \"" + absent + "\"\n") << shown;
        EXPECT_EQ(typo.out, "") << shown;
    }
    // No DISPLAY at all, as over ssh without forwarding.
    const Outcome unset = Run({Show(), "/s"});
    EXPECT_EQ(unset.status, 1);
    EXPECT_EQ(unset.err, "tessaview: cannot open display \"\"\n");
    // A Wayland session without XWayland: the show needs X11 all the same.
    const Outcome wayland = Run({Show(), "/s"}, {{"WAYLAND_DISPLAY", "wayland-0"}, {"QT_QPA_PLATFORM", "wayland"}});
    EXPECT_EQ(wayland.status, 1);
    EXPECT_EQ(wayland.err, "tessaview: cannot open display \"\"\n");
    for (auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().rfind("core", 0), std::string::npos) << entry.path();
}

TEST_F(TerminalTest, AddToXScreenSaverSaysWhatItDidAndIsDoneOnce)
{
    const fs::path file = folder / "home" / ".xscreensaver";
    const Outcome made = Run({Show(), "--add-to-xscreensaver"});
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out, "tessaview: created " + file.string() +
                            " with \"tessaview --root\" in its programs list; xscreensaver lists its own hacks after "
                            "it\n");
    const std::string first = host::ReadAll(file);
    EXPECT_NE(first.find("tessaview --root"), std::string::npos);

    const Outcome again = Run({Show(), "--add-to-xscreensaver"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, "tessaview: " + file.string() + " already lists \"tessaview --root\"; nothing changed\n");
    EXPECT_EQ(host::ReadAll(file), first);

    // A file that cannot be replaced: said on standard error, status 1.
    fs::remove(file);
    fs::create_directories(file);
    const Outcome refused = Run({Show(), "--add-to-xscreensaver"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "tessaview: cannot edit " + file.string() + ": Is a directory; nothing changed\n");
}
