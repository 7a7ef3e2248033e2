// The About page with real widgets on a virtual display.
#include "app/ini_profile_store.h"
#include "config/about_page.h"
#include "config/log_viewer.h"
#include "page_fixture.h"
#include "res/string_table.h"
#include "support/temp_folder.h"

#include <QLabel>
#include <QPushButton>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {
class AboutPageTest : public PageFixture<CAboutPage> {
protected:
    void SetUp() override { setenv("XDG_DATA_HOME", data_.c_str(), 1); }
    void TearDown() override
    {
        page.reset();
        unsetenv("XDG_DATA_HOME");
    }
    // Opens the page with an opener that counts and answers `answer`.
    CAboutPage& OpenCounting(bool answer)
    {
        CAboutPage& p = Open();
        p.SetFileOpener([this, answer](const QUrl& url) {
            opened.push_back(url);
            return answer;
        });
        return p;
    }
    std::filesystem::path LogFile() const { return data_ / "Tessaview" / "Tessaview.log"; }
    void ClickOpen() { QTest::mouseClick(page->ControlAs<QPushButton>(1174), Qt::LeftButton); }

    support::TempFolder folder_{"about"};
    // Absent until something is written there.
    std::filesystem::path data_ = folder_ / "data";
    std::vector<QUrl> opened;
};
} // namespace

TEST_F(AboutPageTest, ShowsVersionLinkAndTips)
{
    CAboutPage& p = Open();
    EXPECT_EQ(p.Caption(), "About");
    EXPECT_EQ(p.ControlAs<QLabel>(1019)->text(), "Tessaview Version 1.0.0");
    auto* link = p.ControlAs<CStaticLink>(1017);
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(std::filesystem::is_regular_file(link->Link().toStdString())) << link->Link().toStdString();
    EXPECT_TRUE(link->Link().endsWith("README.md"));
    SettleToolTips();
    EXPECT_TRUE(link->toolTip().contains("Click here to activate link")) << link->toolTip().toStdString();
    EXPECT_TRUE(Box(1036)->toolTip().contains("If selected, it enables logging"));
    EXPECT_EQ(Box(1036)->text(), "Enable error logging on file Tessaview.log");
}

TEST_F(AboutPageTest, OpenWithoutALogShowsTheBalloonAndStartsNothing)
{
    CAboutPage& p = OpenCounting(true);
    ClickOpen();
    ASSERT_TRUE(p.LastBalloon().has_value());
    EXPECT_EQ(p.LastBalloon()->titleId, 336);
    EXPECT_EQ(p.LastBalloon()->text.toStdString(), LoadStringId(118));
    EXPECT_EQ(p.LastBalloon()->controlId, -1);   // at the pointer
    EXPECT_EQ(p.LastBalloon()->icon, BalloonIcon::Error);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(p.LogViewer(), nullptr);
}

TEST_F(AboutPageTest, OpenHandsTheLogToTheDesktopElseShowsItItself)
{
    std::filesystem::create_directories(LogFile().parent_path());
    std::ofstream(LogFile()) << "12/08/26 08:00:00 : StartType= 0\n";

    CAboutPage& p = OpenCounting(true);
    ClickOpen();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QString::fromStdString(LogFile().string())));
    EXPECT_EQ(p.LogViewer(), nullptr);
    EXPECT_FALSE(p.LastBalloon().has_value());

    // No handler could be started: the program's own window shows the file.
    p.SetFileOpener([](const QUrl&) { return false; });
    ClickOpen();
    CLogViewer* viewer = p.LogViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(viewer));
    EXPECT_EQ(viewer->Text(), "12/08/26 08:00:00 : StartType= 0\n");

    // A second "Open" reuses that window with the file as it is now.
    std::ofstream(LogFile(), std::ios::app) << "12/08/26 08:00:09 : later\n";
    ClickOpen();
    EXPECT_EQ(p.LogViewer(), viewer);
    EXPECT_TRUE(viewer->Text().endsWith("later\n"));
    viewer->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(p.LogViewer(), nullptr);
}

TEST_F(AboutPageTest, TraceComesFromTheStoreWhenLoadedAndGoesBackAtOnce)
{
    const std::filesystem::path ini = data_ / "Tessaview.ini";
    std::filesystem::create_directories(data_);
    std::ofstream(ini) << "[Settings]\nTrace=0\n";
    IniProfileStore file(ini.string());
    SheetContext fileContext{settings, file, chooser};

    // Changed in the file after the record was read, before the page opens.
    settings.Load(file, {});
    std::ofstream(ini) << "[Settings]\nTrace=1\nDelay=9\n";
    auto dialog = LoadDialogTemplate(CAboutPage::kTemplateId);
    ASSERT_TRUE(dialog);
    page = std::make_unique<CAboutPage>(*dialog, fileContext);
    page->show();
    page->Initialise();
    EXPECT_TRUE(Box(1036)->isChecked());

    // Leaving the page writes the file at once; the record is not involved.
    Click(1036);
    ASSERT_TRUE(page->SaveExchange());
    IniProfileStore reread(ini.string());
    EXPECT_EQ(reread.GetProfileInt("Settings", "Trace", -1), 0);
    EXPECT_EQ(reread.GetProfileInt("Settings", "Delay", -1), 9);
    Click(1036);
    ASSERT_TRUE(page->SaveExchange());
    EXPECT_EQ(IniProfileStore(ini.string()).GetProfileInt("Settings", "Trace", -1), 1);
}
