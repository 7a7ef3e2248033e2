// `tessaview /c` as a user runs it: the sheet is found on the display by its
// caption on a private virtual display; Escape ends the process and leaves
// the settings file alone, Enter saves.
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
class SheetProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A private display, so windows of other tests cannot take the keys.
        // The server picks a free number itself: servers that other tests
        // start at the same moment never meet on one number.
        server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
        ASSERT_TRUE(server.waitForStarted(5000)) << "Xvfb is needed (scripts/setup installs it)";
        QByteArray number;
        for (int i = 0; i < 100 && !number.contains('\n'); ++i) {
            server.waitForReadyRead(100);
            number += server.readAllStandardOutput();
        }
        ASSERT_TRUE(number.contains('\n')) << "Xvfb told no display number";
        display = ":" + QString::fromLatin1(number.trimmed());
        home = fs::temp_directory_path() / ("tsv-sheet-process-" + std::to_string(getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(home);
        fs::create_directories(home / "Kelvarin");
        fs::create_directories(home / "photos");
        ini = home / "Kelvarin" / "Tessaview.ini";
    }
    void TearDown() override
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
        if (server.state() != QProcess::NotRunning) {
            server.terminate();
            server.waitForFinished(5000);
        }
        fs::remove_all(home);
    }
    std::string Ini() const
    {
        std::ifstream in(ini);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string Run(const QStringList& args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        p.setProcessEnvironment(env);
        p.start("xdotool", args);
        p.waitForFinished(15000);
        return p.readAllStandardOutput().trimmed().toStdString();
    }
    // Starts the sheet and answers its window, found by its caption.
    std::string Start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(home.string()));
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("DISPLAY", display);
        process.setProcessEnvironment(env);
        process.start(TSV_EXECUTABLE, {"/c"});
        EXPECT_TRUE(process.waitForStarted(5000));
        std::string window;
        for (int i = 0; i < 300 && window.empty(); ++i) {   // up to 30 s on a busy machine
            window = Run({"search", "--onlyvisible", "--name", "^Tessaview Screen Saver$"});
            if (window.empty())
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return window.substr(0, window.find('\n'));
    }
    void Press(const std::string& window, const char* key)
    {
        Run({"windowfocus", "--sync", QString::fromStdString(window)});
        Run({"key", key});
    }

    fs::path home, ini;
    QString display;
    QProcess server;
    QProcess process;
};
} // namespace

TEST_F(SheetProcessTest, EscapeLeavesTheFileAndEnterSavesIt)
{
    const std::string text = "[Settings]\nDelay=42\nSpinX=3\n[Paths]\nCount=1\nPath0=" + (home / "photos").string() + "\n";
    std::ofstream(ini) << text;

    std::string window = Start();
    ASSERT_FALSE(window.empty()) << "no window captioned Tessaview Screen Saver";
    Press(window, "Escape");
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(Ini(), text);

    window = Start();
    ASSERT_FALSE(window.empty());
    Press(window, "Return");
    ASSERT_TRUE(process.waitForFinished(10000));
    const std::string saved = Ini();
    EXPECT_NE(saved.find("Delay=42\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("SpinX=3\n"), std::string::npos);
    EXPECT_NE(saved.find("CubeTransp="), std::string::npos);   // the whole record
    EXPECT_NE(saved.find("Path0=" + (home / "photos").string()), std::string::npos);
}
