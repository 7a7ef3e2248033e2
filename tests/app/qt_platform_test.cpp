// Start-up's X11 services against a real (virtual) display.
#include "app/qt_platform.h"

#include <QGuiApplication>
#include <QWindow>

#include <gtest/gtest.h>

namespace {
int argc = 1;
char arg0[] = "qt_platform_test";
char* argv[] = {arg0, nullptr};

QGuiApplication& App()
{
    static QGuiApplication app(argc, argv);
    return app;
}
} // namespace

TEST(QtPlatform, WindowRectOfRealAndMissingWindows)
{
    App();
    QWindow host;
    host.setGeometry(10, 10, 152, 112);
    host.show();
    QCoreApplication::processEvents();
    QtAppPlatform platform(nullptr);
    auto rect = platform.WindowRect(static_cast<long>(host.winId()));
    ASSERT_TRUE(rect.has_value());
    EXPECT_EQ(rect->Width(), 152);
    EXPECT_EQ(rect->Height(), 112);
    EXPECT_FALSE(platform.WindowRect(0x7ffffff0).has_value());
    EXPECT_FALSE(platform.WindowRect(0).has_value());
}

TEST(QtPlatform, ASecondShowFindsTheFirstAndAsksItToTheFront)
{
    App();
    QtAppPlatform first(nullptr);
    int activations = 0;
    first.SetActivateHandler([&] { ++activations; });
    ASSERT_FALSE(first.ActivateRunningInstance());
    QtAppPlatform second(nullptr);
    EXPECT_TRUE(second.ActivateRunningInstance());
    for (int i = 0; i < 50 && activations == 0; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(activations, 1);
}

TEST(QtPlatform, ScreensAndDiagnostics)
{
    App();
    QtAppPlatform platform(nullptr);
    EXPECT_GT(platform.ScreenDepth(), 8);
    auto monitors = platform.Monitors();
    ASSERT_FALSE(monitors.empty());
    EXPECT_EQ(monitors.front(), platform.ScreenGeometry());
    EXPECT_NE(platform.OsDescription().find(" Build "), std::string::npos);
    EXPECT_EQ(platform.CodecVersion().rfind("Qt6Gui Version 6.", 0), 0u);
}
