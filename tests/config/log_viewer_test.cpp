// The log viewer window on a virtual display.
#include "config/log_viewer.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <filesystem>
#include <fstream>

namespace {
class LogViewerTest : public ::testing::Test {
protected:
    void Write(const std::string& text, bool append = false)
    {
        std::ofstream out(path_, append ? std::ios::app | std::ios::binary : std::ios::binary);
        out << text;
    }
    QString Path() const { return QString::fromStdString(path_.string()); }

    support::TempFolder folder_{"viewer"};
    std::filesystem::path path_ = folder_ / "Tessaview.log";
};
} // namespace

TEST_F(LogViewerTest, ShowsTheFileReadOnlyAndReloadsItsNewLines)
{
    Write("12/08/26 08:00:00 : ScrInit: Window Size=800,600 BitsPixel=24\n");
    QWidget owner;
    auto* viewer = new CLogViewer(Path(), &owner);
    viewer->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer));
    EXPECT_TRUE(viewer->isWindow());
    EXPECT_TRUE(viewer->TextView()->isReadOnly());
    EXPECT_TRUE(viewer->windowTitle().startsWith("Tessaview.log"));
    EXPECT_EQ(viewer->Text(), "12/08/26 08:00:00 : ScrInit: Window Size=800,600 BitsPixel=24\n");

    // Typing changes nothing.
    viewer->TextView()->setFocus();
    QTest::keyClicks(viewer->TextView(), "xyz");
    EXPECT_FALSE(viewer->Text().contains("xyz"));

    Write("12/08/26 08:00:05 : second\n", true);
    QTest::mouseClick(viewer->ReloadButton(), Qt::LeftButton);
    EXPECT_TRUE(viewer->Text().endsWith("second\n"));

    // Closing the window deletes it; its owner stays.
    QPointer<CLogViewer> alive(viewer);
    viewer->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

TEST_F(LogViewerTest, LongLogShowsItsNewestWholeLinesAtTheEnd)
{
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += "12/08/26 08:00:00 : line " + std::to_string(i) + "\n";
    ASSERT_GT(static_cast<qint64>(text.size()), CLogViewer::kMaxBytes);
    Write(text);

    QString shown = ReadLogForViewing(Path(), 64 * 1024);
    QStringList lines = shown.split('\n');
    EXPECT_EQ(lines.front(), "Only the last 64 KB of the file are shown.");
    EXPECT_TRUE(lines.at(1).startsWith("12/08/26 08:00:00 : line ")) << lines.at(1).toStdString();
    EXPECT_TRUE(shown.endsWith("line 199999\n"));
    EXPECT_LE(shown.size(), 64 * 1024 + 100);

    CLogViewer viewer(Path());
    viewer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    QScrollBar* bar = viewer.TextView()->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(LogViewerTest, MissingOrOddFilesAreShownNotFatal)
{
    QString missing = Path() + ".none";
    EXPECT_EQ(ReadLogForViewing(missing, CLogViewer::kMaxBytes), "Unable to read " + missing);

    // Bytes that are not UTF-8 and a NUL in the middle: every line still shows.
    Write(std::string("a\xff\xfe b\n", 7) + std::string(1, '\0') + "after\n");
    QString shown = ReadLogForViewing(Path(), CLogViewer::kMaxBytes);
    EXPECT_TRUE(shown.startsWith("a"));
    EXPECT_TRUE(shown.endsWith(" after\n")) << shown.toStdString();

    Write("");
    EXPECT_EQ(ReadLogForViewing(Path(), CLogViewer::kMaxBytes), "");
}
