// The saver window in this process, on a virtual display: the password path
// with a fake provider, seen through the window's pointer and frames.
#include "app/saver_app.h"
#include "app/saver_settings.h"
#include "app/test_log.h"
#include "saver/saver_wnd.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>

namespace {
void Pump(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void PressKey(QWindow* window)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QCoreApplication::sendEvent(window, &press);
}

// Answers from a list; while its dialog is "up" it runs the event loop as a
// real dialog would and notes what the window did meanwhile.
class FakeProvider : public PasswordProvider {
public:
    explicit FakeProvider(CSaverWnd& window) : window_(window) {}
    std::vector<bool> answers;
    int calls = 0;
    int framesDuring = -1;
    Qt::CursorShape shapeDuring = Qt::BlankCursor;

    bool Verify() override
    {
        ++calls;
        shapeDuring = window_.cursor().shape();
        int before = window_.Frames();
        Pump(400);
        framesDuring = window_.Frames() - before;
        return answers.at(static_cast<std::size_t>(calls - 1));
    }

private:
    CSaverWnd& window_;
};
} // namespace

TEST(SaverWindow, PasswordDialogShowsThePointerStopsFramesAndARightAnswerEndsTheShow)
{
    int argc = 1;
    char name[] = "saver_wnd_test";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    ScopedTestLog log;
    ResetExitAccepted();

    CSaverSettings& settings = TheSettings();
    settings.AllowSoftwareAcceleration = 1;
    settings.ImageFolders = {std::string(TSV_SOURCE_DIR) + "/res/samples"};
    settings.SoundFolders.clear();

    auto owned = std::make_unique<CSaverWnd>(settings);
    CSaverWnd* window = owned.get();
    Rect monitor{0, 0, 640, 480};
    ASSERT_TRUE(window->CreateSaverWindow(0, &monitor));
    CSaverApp& saverApp = TheApp();
    saverApp.mainWindow = window;
    saverApp.saverWindows.push_back(std::move(owned));
    FakeProvider provider(*window);
    provider.answers = {false, true};
    window->SetPasswordProvider(&provider);

    Pump(1200);
    ASSERT_TRUE(window->Initialised());
    int frames = window->Frames();
    EXPECT_GT(frames, 5);
    EXPECT_EQ(window->cursor().shape(), Qt::BlankCursor);

    // A wrong password: the pointer was there for the dialog, no frames were
    // drawn meanwhile, and the show goes on.
    PressKey(window);
    EXPECT_EQ(provider.calls, 1);
    EXPECT_EQ(provider.shapeDuring, Qt::ArrowCursor);
    EXPECT_EQ(provider.framesDuring, 0);
    EXPECT_EQ(window->cursor().shape(), Qt::BlankCursor);
    EXPECT_FALSE(ExitAccepted());
    Pump(300);
    EXPECT_GT(window->Frames(), frames);
    PressKey(window);   // within a second of the refused try
    EXPECT_EQ(provider.calls, 1);

    // The right one closes every window; the event loop ends with the main window.
    Pump(800);
    PressKey(window);
    EXPECT_EQ(provider.calls, 2);
    EXPECT_TRUE(ExitAccepted());
    QElapsedTimer waited;
    waited.start();
    QTimer::singleShot(10000, &app, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QGuiApplication::exec(), 0);
    EXPECT_LT(waited.elapsed(), 10000);
    EXPECT_TRUE(window->TornDown());
    auto messages = log.Messages();
    auto count = [&](const std::string& prefix) {
        return std::count_if(messages.begin(), messages.end(),
                             [&](const std::string& m) { return m.rfind(prefix, 0) == 0; });
    };
    EXPECT_EQ(count("Texture loading thread shut down properly"), 1);
    EXPECT_EQ(count("CloseDX exit"), 1);

    saverApp.mainWindow = nullptr;
    saverApp.saverWindows.clear();
    ResetExitAccepted();
}
