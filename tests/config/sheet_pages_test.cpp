// The Advanced Options, More Options and About pages inside the real sheet, on
// a virtual display.
#include "app/ini_profile_store.h"
#include "config/config_sheet.h"
#include "page_fixture.h"
#include "config/about_page.h"
#include "config/adv_opt_dlg.h"
#include "config/more_options_page.h"
#include "support/temp_folder.h"

#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <filesystem>
#include <fstream>

namespace {
class SheetPagesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }
    void SetUp() override
    {
        std::ofstream(ini_) << "[Settings]\nTrace=0\nSpinX=40\n[Paths]\nCount=0\n";
        store_ = std::make_unique<IniProfileStore>(ini_.string());
        settings_.Load(*store_, {});
        context_ = std::make_unique<SheetContext>(SheetContext{settings_, *store_, chooser_});
        sheet_ = MakeConfigurationSheet(*context_);
        sheet_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet_.get()));
    }
    void TearDown() override { sheet_.reset(); }
    int Stored(const char* key) { return IniProfileStore(ini_.string()).GetProfileInt("Settings", key, -100); }
    QAbstractButton* Box(int page, int id) { return sheet_->Page(page)->ControlAs<QAbstractButton>(id); }

    static constexpr int kImages = 0, kAdvanced = 1, kMore = 3, kAbout = 4;
    support::TempFolder folder_{"sheet"};
    std::filesystem::path ini_ = folder_ / "Tessaview.ini";
    CSaverSettings settings_;
    std::unique_ptr<IniProfileStore> store_;
    NoFolderChooser chooser_;
    std::unique_ptr<SheetContext> context_;
    std::unique_ptr<CResizableSheet> sheet_;
};
} // namespace

TEST_F(SheetPagesTest, ThePagesSitInTheirTabs)
{
    ASSERT_EQ(sheet_->PageCount(), 5);
    EXPECT_EQ(sheet_->PageCaption(kAdvanced), "Advanced Options");
    EXPECT_EQ(sheet_->PageCaption(kMore), "More Options");
    EXPECT_EQ(sheet_->PageCaption(kAbout), "About");
    ASSERT_TRUE(sheet_->SetActivePage(kAdvanced));
    EXPECT_NE(dynamic_cast<CAdvOptDlg*>(sheet_->Page(kAdvanced)), nullptr);
    ASSERT_TRUE(sheet_->SetActivePage(kMore));
    EXPECT_NE(dynamic_cast<CMoreOptionsPage*>(sheet_->Page(kMore)), nullptr);
    ASSERT_TRUE(sheet_->SetActivePage(kAbout));
    EXPECT_NE(dynamic_cast<CAboutPage*>(sheet_->Page(kAbout)), nullptr);
}

TEST_F(SheetPagesTest, WithoutAnExitEventNeitherTabSwitchNorOkLeaves)
{
    ASSERT_TRUE(sheet_->SetActivePage(kAdvanced));
    for (int id : {1071, 1072, 1073})
        ClickBox(Box(kAdvanced, id));
    sheet_->Page(kAdvanced)->ControlAs<QSlider>(1000)->setValue(80);

    EXPECT_FALSE(sheet_->SetActivePage(kImages));
    EXPECT_EQ(sheet_->ActiveIndex(), kAdvanced);
    QTest::mouseClick(sheet_->OkButton(), Qt::LeftButton);
    EXPECT_TRUE(sheet_->isVisible());
    EXPECT_EQ(sheet_->result(), 0);
    EXPECT_EQ(settings_.SpinX, 40);
    EXPECT_EQ(Stored("SpinX"), 40);

    ClickBox(Box(kAdvanced, 1073));
    EXPECT_TRUE(sheet_->SetActivePage(kImages));
    EXPECT_TRUE(sheet_->SetActivePage(kAdvanced));
    QTest::mouseClick(sheet_->OkButton(), Qt::LeftButton);
    EXPECT_EQ(sheet_->result(), QDialog::Accepted);
    EXPECT_EQ(Stored("SpinX"), 80);
    EXPECT_EQ(Stored("ExitKClick"), 1);
    EXPECT_EQ(Stored("ExitMMove"), 0);
}

TEST_F(SheetPagesTest, LoggingSwitchSurvivesCancelAfterAPageSwitch)
{
    // Changed in the file while the sheet is open, before the page is first shown.
    std::ofstream(ini_) << "[Settings]\nTrace=1\nSpinX=40\n[Paths]\nCount=0\n";
    ASSERT_TRUE(sheet_->SetActivePage(kAbout));
    EXPECT_TRUE(Box(kAbout, 1036)->isChecked());
    ClickBox(Box(kAbout, 1036));
    ClickBox(Box(kAbout, 1036));
    std::ofstream(ini_) << "[Settings]\nTrace=0\nSpinX=40\n[Paths]\nCount=0\n";

    ASSERT_TRUE(sheet_->SetActivePage(kAdvanced));
    sheet_->Page(kAdvanced)->ControlAs<QSlider>(1000)->setValue(80);
    ASSERT_TRUE(sheet_->SetActivePage(kImages));
    EXPECT_EQ(Stored("Trace"), 1);
    QTest::mouseClick(sheet_->CancelButton(), Qt::LeftButton);
    EXPECT_EQ(sheet_->result(), QDialog::Rejected);
    // Trace stays; everything else is as before the sheet.
    EXPECT_EQ(Stored("Trace"), 1);
    EXPECT_EQ(Stored("SpinX"), 40);
}
