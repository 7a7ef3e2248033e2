// A page made from its template alone: the rows name their settings and tool
// tips, and a CConfigPage without code of its own shows and stores them.
#include "app/test_log.h"
#include "config/config_sheet.h"
#include "page_fixture.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>

namespace {
// A page of a few options, written as a page without code of its own is. The
// settings stand in for new ones: each is one line of the settings table.
constexpr const char* kExampleOptions = R"(dialog 2099 "Example Options" 200 80 font "MS Sans Serif" 8
checkbox 1201 "Show PNG files"                  5  5 120 10  setting=ShowPng tip=114
label    -    "Order:"                          5 22  30  8
combobox 1202 "Full path|File name|Date and time" 40 20 100 60  setting=ImageSortType tip=115
edit     1203 ""                                5 40  40 12  setting=Delay positive
)";

class TemplatePageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }

    CConfigPage& Open(const std::string& text)
    {
        std::string error;
        std::optional<DialogTemplate> dialog = ParseDialogTemplate(text, &error);
        EXPECT_TRUE(dialog) << error;
        page = std::make_unique<CConfigPage>(*dialog, context);
        page->show();
        page->Initialise();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(page.get()));
        return *page;
    }
    QComboBox* Combo() const { return page->ControlAs<QComboBox>(1202); }
    QAbstractButton* Box() const { return page->ControlAs<QAbstractButton>(1201); }

    CSaverSettings settings;
    MemoryProfileStore store;
    NoFolderChooser chooser;
    SheetContext context{settings, store, chooser};
    std::unique_ptr<CConfigPage> page;
};
} // namespace

TEST_F(TemplatePageTest, RowsNamingASettingShowItAndStoreItBack)
{
    settings.ShowPng = 0;
    settings.ImageSortType = 2;
    CConfigPage& p = Open(kExampleOptions);
    EXPECT_FALSE(Box()->isChecked());
    ASSERT_EQ(Combo()->count(), 3);
    EXPECT_EQ(Combo()->itemText(1), "File name");
    EXPECT_EQ(Combo()->currentIndex(), 2);
    EXPECT_EQ(p.ControlAs<QLineEdit>(1203)->text(), "15");

    // Tool tips from the rows; the label before the drop-down labels it.
    QTRY_VERIFY_WITH_TIMEOUT(p.ToolTipsReady(), 2000);
    EXPECT_TRUE(Box()->toolTip().contains("recursively finds all images"));
    EXPECT_TRUE(Combo()->toolTip().contains("Insert here a list of folders"));
    QAccessibleInterface* combo = QAccessible::queryAccessibleInterface(Combo());
    ASSERT_NE(combo, nullptr);
    auto labels = combo->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), "Order:");

    ClickBox(Box());
    Combo()->setCurrentIndex(1);
    ASSERT_TRUE(p.SaveExchange());
    EXPECT_EQ(settings.ShowPng, 1);
    EXPECT_EQ(settings.ImageSortType, 1);
    EXPECT_EQ(settings.Delay, 15);
}

TEST_F(TemplatePageTest, ARefusalNamesItsControlAndStoresNothing)
{
    CConfigPage& p = Open(kExampleOptions);
    p.activateWindow();
    ClickBox(Box());
    auto* delay = p.ControlAs<QLineEdit>(1203);
    delay->setText("0");
    EXPECT_FALSE(p.SaveExchange());
    ASSERT_TRUE(p.LastBalloon());
    EXPECT_EQ(p.LastBalloon()->controlId, 1203);
    EXPECT_EQ(p.LastBalloon()->titleId, 335);
    QTRY_VERIFY_WITH_TIMEOUT(delay->hasFocus(), 2000);
    EXPECT_EQ(settings.ShowPng, 1);   // untouched: nothing of a refused page is stored
    EXPECT_EQ(settings.Delay, 15);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<CBalloonMessage*>(w))
            w->close();
}

TEST_F(TemplatePageTest, AnIndexBeyondTheItemsShowsTheNearestOne)
{
    settings.ImageSortType = 7;   // edited by hand
    Open(kExampleOptions);
    EXPECT_EQ(Combo()->currentIndex(), 2);
    settings.ImageSortType = -3;
    Open(kExampleOptions);
    EXPECT_EQ(Combo()->currentIndex(), 0);
    ASSERT_TRUE(page->SaveExchange());
    EXPECT_EQ(settings.ImageSortType, 0);
}

TEST_F(TemplatePageTest, RowsThatCannotBeBoundAreToldAndLeftAlone)
{
    ScopedTestLog log;
    settings.ShowPng = 0;
    CConfigPage& p = Open(R"(dialog 2006 "Broken" 200 80
checkbox 1 "Unknown"   5  5 80 10  setting=NoSuchKey
checkbox 2 "A list"    5 20 80 10  setting=Paths
checkbox - "No id"     5 35 80 10  setting=ShowPng
checkbox 4 "No text"   5 50 80 10  tip=99999
)");
    QTRY_VERIFY_WITH_TIMEOUT(p.ToolTipsReady(), 2000);
    const std::vector<std::string> expected = {
        "PageBinding: template 2006: checkbox 1 cannot show setting NoSuchKey",
        "PageBinding: template 2006: checkbox 2 cannot show setting Paths",
        "PageBinding: template 2006: checkbox -1 cannot show setting ShowPng",
        "CConfigPage: template 2006 names tool tip 99999, which has no text",
    };
    EXPECT_EQ(log.Messages(), expected);
    ASSERT_TRUE(p.SaveExchange());
    EXPECT_EQ(settings.ShowPng, 0);
    EXPECT_TRUE(settings.ImageFolders.empty());
}

TEST_F(TemplatePageTest, EveryShippedRowBindsAndEveryTipHasItsText)
{
    ScopedTestLog log;
    for (const CResizableSheet::PageEntry& entry : SheetPages()) {
        std::optional<DialogTemplate> dialog = LoadDialogTemplate(entry.templateId);
        ASSERT_TRUE(dialog) << entry.templateId;
        CConfigPage p(*dialog, context);
        p.Initialise();
        QTRY_VERIFY_WITH_TIMEOUT(p.ToolTipsReady(), 2000);
    }
    EXPECT_TRUE(log.Messages().empty()) << log.Messages().front();
}
