// The "Images List" page as a user drives it: real widgets, keys and clicks.
#include "folder_page_support.h"

#include "controls/up_down.h"
#include "res/string_table.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace {
class ImagesPageTest : public PageTest<CImagesPage> {
protected:
    CImagesPage& OpenImages() { return Open(kImagesPageId); }
    QLineEdit* Delay() const { return page->ControlAs<QLineEdit>(ImagesIds::kDelay); }
    void TypeDelay(const QString& text)
    {
        Delay()->selectAll();
        QTest::keyClicks(Delay(), text);
    }
};
} // namespace

TEST_F(ImagesPageTest, ShowsTheRecordAndAnUntouchedPageStoresItAgain)
{
    const std::string a = Folder("a"), old = Folder("old");
    settings.ImageFolders = {a, ":" + old};
    settings.Delay = 7;
    settings.Recursive = 0;
    settings.Random = 0;
    settings.SaveLastImage = 1;
    settings.BackColor = 0x00123456;
    OpenImages();

    EXPECT_EQ(Rows(), (std::vector<std::string>{a, "-" + old}));
    EXPECT_EQ(Delay()->text(), "7");
    EXPECT_FALSE(Box(ImagesIds::kRecursive)->isChecked());
    EXPECT_TRUE(Box(ImagesIds::kRestart)->isChecked());
    EXPECT_EQ(page->ControlAs<CColourPickerXP>(ImagesIds::kBackground)->GetColor(), 0x00123456u);
    EXPECT_EQ(List().headerItem()->text(0), "Images Folders:");
    EXPECT_EQ(Label(ImagesIds::kCounter)->text(), "0");
    // The one column fills the list, also after the page grows.
    EXPECT_EQ(List().header()->sectionSize(0), List().viewport()->width());
    page->resize(page->width() + 200, page->height() + 100);
    QApplication::processEvents();
    EXPECT_EQ(List().header()->sectionSize(0), List().viewport()->width());

    const StringList before = settings.ImageFolders;
    settings.ImageFolders.clear();
    ASSERT_TRUE(page->SaveExchange());
    EXPECT_EQ(settings.ImageFolders, before);
    EXPECT_EQ(settings.Delay, 7);
    EXPECT_EQ(settings.BackColor, 0x00123456);
    EXPECT_EQ(settings.Random, 0);
    EXPECT_EQ(settings.Recursive, 0);
    EXPECT_EQ(settings.SaveLastImage, 1);
}

TEST_F(ImagesPageTest, FolderButtonsAndCheckBoxesEditTheList)
{
    const std::string a = Folder("a"), b = Folder("b"), c = Folder("c");
    settings.ImageFolders = {a, ":" + b, c};
    OpenImages();

    // Space on a selected row switches its check box; it is stored with the mark.
    ClickRow(0);
    QTest::keyClick(List().viewport(), Qt::Key_Space);
    ASSERT_TRUE(page->SaveExchange());
    EXPECT_EQ(settings.ImageFolders, (StringList{":" + a, ":" + b, c}));

    Click(Button(CImagesPage::kSelectAll));
    EXPECT_EQ(List().SelectedRows(), (std::vector<int>{0, 1, 2}));
    Click(Button(CImagesPage::kDeselectAll));
    EXPECT_TRUE(List().SelectedRows().empty());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"-" + a, "-" + b, c}));   // checks untouched

    Click(Button(CImagesPage::kEnableAll));
    EXPECT_EQ(Rows(), (std::vector<std::string>{a, b, c}));

    Click(Button(CImagesPage::kRemoveSelected));   // nothing selected: nothing removed
    EXPECT_EQ(List().Count(), 3);
    ClickRow(0);
    QRect last = List().visualItemRect(List().topLevelItem(2));
    QTest::mouseClick(List().viewport(), Qt::LeftButton, Qt::ControlModifier, last.center());
    Click(Button(CImagesPage::kRemoveSelected));
    EXPECT_EQ(Rows(), (std::vector<std::string>{b}));

    // An emptied list passes.
    Click(Button(CImagesPage::kSelectAll));
    Click(Button(CImagesPage::kRemoveSelected));
    ASSERT_TRUE(page->SaveExchange());
    EXPECT_TRUE(settings.ImageFolders.empty());
}

TEST_F(ImagesPageTest, RefusedValuesKeepThePageAndTheRecord)
{
    const std::string a = Folder("a");
    settings.ImageFolders = {a};
    settings.Delay = 15;
    OpenImages();

    // Delay 0: the error balloon at the delay box, which gets the focus.
    TypeDelay("0");
    EXPECT_FALSE(page->SaveExchange());
    ASSERT_TRUE(page->LastBalloon());
    EXPECT_EQ(page->LastBalloon()->titleId, 335);
    EXPECT_EQ(page->LastBalloon()->text, "Inserted value must be greater than 0");
    EXPECT_EQ(page->LastBalloon()->controlId, ImagesIds::kDelay);
    EXPECT_EQ(page->LastBalloon()->icon, BalloonIcon::Error);
    EXPECT_EQ(page->focusWidget(), Delay());
    std::vector<CBalloonMessage*> shown = VisibleBalloons();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_LE((shown[0]->TipOnScreen() - Delay()->mapToGlobal(Delay()->rect().center())).manhattanLength(), 2);
    EXPECT_EQ(settings.Delay, 15);

    TypeDelay("-4");
    EXPECT_FALSE(page->SaveExchange());
    TypeDelay("abc");
    EXPECT_FALSE(page->SaveExchange());
    EXPECT_EQ(page->LastBalloon()->text, "Please enter an integer.");
    EXPECT_EQ(settings.Delay, 15);

    // Typed values beyond the arrows' range are the user's to choose.
    TypeDelay("5000");
    ASSERT_TRUE(page->SaveExchange());
    EXPECT_EQ(settings.Delay, 5000);

    // A disabled folder that is gone still blocks, and nothing of the page is stored.
    List().Append(QString::fromStdString((root / "gone").string()), false);
    TypeDelay("9");
    EXPECT_FALSE(page->SaveExchange());
    EXPECT_EQ(page->LastBalloon()->titleId, 336);
    EXPECT_EQ(page->LastBalloon()->text.toStdString(),
              "Unable to find folder " + (root / "gone").string() +
                  ". Please enter an existing folder name and try again.");
    EXPECT_EQ(page->LastBalloon()->controlId, ImagesIds::kFolders);
    EXPECT_EQ(page->LastBalloon()->icon, BalloonIcon::Warning);
    EXPECT_EQ(settings.ImageFolders, (StringList{a}));
    EXPECT_EQ(settings.Delay, 5000);
}

TEST_F(ImagesPageTest, TheArrowsStepWithinOneToAnHour)
{
    settings.Delay = 3599;
    OpenImages();
    auto* spin = page->ControlAs<CUpDown>(ImagesIds::kDelaySpin);
    ASSERT_TRUE(spin);
    EXPECT_EQ(spin->Buddy(), Delay());
    // The arrows sit beside the digits, not on them.
    EXPECT_LE(Delay()->geometry().right(), spin->geometry().left());
    spin->Step(+1);
    spin->Step(+1);
    EXPECT_EQ(Delay()->text(), "3600");
    Delay()->setFocus();
    TypeDelay("2");
    QTest::keyClick(Delay(), Qt::Key_Down);
    QTest::keyClick(Delay(), Qt::Key_Down);
    EXPECT_EQ(Delay()->text(), "1");
    QTest::keyClick(Delay(), Qt::Key_Up);
    EXPECT_EQ(Delay()->text(), "2");
}

TEST_F(ImagesPageTest, RandomOrderDisablesRestartAndResetWithoutClearingIt)
{
    settings.Random = 0;
    settings.SaveLastImage = 1;
    OpenImages();
    QCheckBox* random = Box(ImagesIds::kRandom);
    QCheckBox* restart = Box(ImagesIds::kRestart);
    QPushButton* reset = Button(ImagesIds::kReset);
    EXPECT_TRUE(restart->isEnabled());
    EXPECT_TRUE(reset->isEnabled());

    Click(random);
    EXPECT_FALSE(restart->isEnabled());
    EXPECT_TRUE(restart->isChecked());
    EXPECT_FALSE(reset->isEnabled());

    Click(random);
    Click(restart);
    EXPECT_TRUE(restart->isEnabled());
    EXPECT_FALSE(restart->isChecked());
    EXPECT_FALSE(reset->isEnabled());
    Click(restart);
    EXPECT_TRUE(reset->isEnabled());
}

TEST_F(ImagesPageTest, BrowsingAddsReplacesAndRemembersTheFolder)
{
    const std::string pictures = Folder("Pictures");
    Folder("Pictures/2019");
    Folder("Pictures/2020");
    Folder("Pictures/2020/deeper");
    Touch(pictures, "not-a-folder.jpg");
    const std::string other = Folder("Other");
    store->WriteProfileString("LastPaths", "Img", other + "/");
    OpenImages();

    // Nothing selected: the chooser starts at the remembered folder.
    chooser.answers = {pictures};
    Click(Button(CImagesPage::kAddDirectory));
    ASSERT_EQ(chooser.requests.size(), 1u);
    EXPECT_EQ(chooser.requests[0].start, other + "/");
    EXPECT_EQ(chooser.requests[0].title, "Select Directory");
    EXPECT_EQ(Rows(), (std::vector<std::string>{pictures + "/"}));
    EXPECT_EQ(store->GetProfileString("LastPaths", "Img", ""), pictures + "/");

    // Add SubDir: one level, each enabled, without the chosen folder; starts at the selection.
    ClickRow(0);
    chooser.answers = {pictures};
    Click(Button(CImagesPage::kAddSubDir));
    EXPECT_EQ(chooser.requests.back().start, pictures + "/");
    EXPECT_EQ(Rows(), (std::vector<std::string>{pictures + "/", pictures + "/2019", pictures + "/2020"}));

    // Double click: browse from the row and replace its text, keeping its check box.
    List().SetEnabledAt(1, false);
    List().DeselectAllItems();
    QApplication::processEvents();
    QRect r = List().visualItemRect(List().topLevelItem(1));
    chooser.answers = {other};
    QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, r.center());
    QMouseEvent dbl(QEvent::MouseButtonDblClick, r.center(), List().viewport()->mapToGlobal(r.center()),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(List().viewport(), &dbl);
    EXPECT_EQ(chooser.requests.back().start, pictures + "/2019");
    EXPECT_EQ(Rows()[1], "-" + other + "/");

    // A cancelled browse changes nothing, not even the remembered folder.
    chooser.answers = {std::nullopt};
    Click(Button(CImagesPage::kAddDirectory));
    EXPECT_EQ(List().Count(), 3);
    EXPECT_EQ(store->GetProfileString("LastPaths", "Img", ""), other + "/");
}

TEST_F(ImagesPageTest, InPlaceEditingNeverLeavesAnEmptyFolder)
{
    const std::string a = Folder("a"), b = Folder("b");
    settings.ImageFolders = {a};
    OpenImages();
    auto edit = [&](const QString& text, int key) {
        List().setFocus();
        List().setCurrentItem(List().topLevelItem(0));
        QTest::keyClick(&List(), Qt::Key_F2);
        auto* editor = List().viewport()->findChild<QLineEdit*>();
        ASSERT_TRUE(editor);
        editor->selectAll();
        if (text.isEmpty())
            QTest::keyClick(editor, Qt::Key_Delete);
        else
            QTest::keyClicks(editor, text);
        QTest::keyClick(editor, static_cast<Qt::Key>(key));
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);   // the closed editor goes
    };
    edit("", Qt::Key_Return);
    EXPECT_EQ(Rows(), (std::vector<std::string>{a}));
    edit(QString::fromStdString(b), Qt::Key_Escape);
    EXPECT_EQ(Rows(), (std::vector<std::string>{a}));
    edit(QString::fromStdString(b), Qt::Key_Return);
    EXPECT_EQ(Rows(), (std::vector<std::string>{b}));
}

TEST_F(ImagesPageTest, CountFilesAndResetAct)
{
    const std::string a = Folder("a"), off = Folder("off");
    Folder("a/sub");
    Touch(a, "1.jpg");
    Touch(a, "2.PNG");
    Touch(a, "notes.txt");
    Touch(a + "/sub", "3.gif");
    Touch(off, "4.bmp");
    settings.ImageFolders = {a, ":" + off};
    settings.Random = 0;
    settings.SaveLastImage = 1;
    settings.codecPath = true;   // PNG files count on the codec path
    OpenImages();

    Click(Button(CImagesPage::kCountFiles));
    EXPECT_EQ(Label(ImagesIds::kCounter)->text(), "3");
    // The count follows the boxes as shown: without recursion, one less.
    Click(Box(ImagesIds::kRecursive));
    Click(Button(CImagesPage::kCountFiles));
    EXPECT_EQ(Label(ImagesIds::kCounter)->text(), "2");
    EXPECT_EQ(settings.Recursive, 0);
    EXPECT_FALSE(fs::exists(iniPath));   // counting writes nothing

    // A missing folder: the balloon, and the counter stays.
    List().Append(QString::fromStdString((root / "gone").string()), true);
    Click(Button(CImagesPage::kCountFiles));
    EXPECT_EQ(page->LastBalloon()->titleId, 336);
    EXPECT_EQ(Label(ImagesIds::kCounter)->text(), "2");

    Click(Button(ImagesIds::kReset));
    EXPECT_EQ(store->GetProfileInt("Settings", "LastImageIndex", 0), -1);
    EXPECT_EQ(page->LastBalloon()->titleId, 337);
    EXPECT_EQ(page->LastBalloon()->text, "Current image index has been reset, the show will start from the first image.");
    EXPECT_EQ(page->LastBalloon()->controlId, ImagesIds::kReset);
}

TEST_F(ImagesPageTest, ToolTipsComeAfterInitialisationAndF1Helps)
{
    OpenImages();
    QTRY_VERIFY_WITH_TIMEOUT(page->ToolTipsReady(), 2000);
    EXPECT_TRUE(page->Control(1003)->toolTip().contains("Insert here a list of folders"));
    EXPECT_TRUE(page->Control(3)->toolTip().contains("Enables all the folders in the list"));
    EXPECT_TRUE(page->Control(1067)->toolTip().contains("Reset current image index"));
    EXPECT_TRUE(page->Control(1055)->toolTip().contains("Configure background color."));
    // Screen readers name a control by its text, or by the label before it.
    EXPECT_EQ(AccessibleName(page->Control(1127)), "Deselect All");
    EXPECT_EQ(AccessibleName(page->Control(1011)).trimmed(), "Delay between images:");
    EXPECT_EQ(AccessibleName(page->Control(1003)), "Images Folders:");

    Delay()->setFocus();
    QTest::keyClick(Delay(), Qt::Key_F1);
    ASSERT_TRUE(page->LastBalloon());
    EXPECT_EQ(page->LastBalloon()->titleId, 57344);
    EXPECT_EQ(page->LastBalloon()->controlId, -1);
    EXPECT_EQ(page->LastBalloon()->text,
              "Try hovering the mouse over the item you want help on and a tooltip will appear !");
    EXPECT_EQ(page->LastBalloon()->icon, BalloonIcon::Information);
}
