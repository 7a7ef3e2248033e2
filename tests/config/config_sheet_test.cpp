// The configuration sheet: its frame, the page protocol across pages, what OK
// and Cancel leave in the settings file, and pictures of the pages.
#include "folder_page_support.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QMessageBox>
#include <QTabBar>
#include <QTimer>

#include <sched.h>
#include <sys/mount.h>

namespace {
// A home with the folders a person would have, for pictures of the sheet. As
// root it lies at /home/robin on a private tmpfs that only this thread sees
// (a mount namespace of its own); otherwise in the scratch folder.
std::string DemoHome(const fs::path& scratch)
{
    if (geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
        mount("tmpfs", "/home", "tmpfs", 0, "mode=0755") == 0)
        return "/home/robin";
    return (scratch / "home" / "robin").string();
}

class SheetTest : public SheetFixture {
protected:
    static constexpr int kAdvanced = 1, kMoreOptions = 3;

    void ClickButton(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center()); }
    // A check box answers only on its mark and text.
    void ClickMark(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2)); }
    QLineEdit* Delay() const { return sheet->Page(0)->ControlAs<QLineEdit>(ImagesIds::kDelay); }
    // The keys of a section, in file order.
    std::vector<std::string> KeysOf(const std::string& section) const
    {
        std::vector<std::string> keys;
        std::istringstream in(IniText());
        std::string line, current;
        while (std::getline(in, line)) {
            if (!line.empty() && line[0] == '[')
                current = line.substr(1, line.find(']') - 1);
            else if (current == section && line.find('=') != std::string::npos)
                keys.push_back(line.substr(0, line.find('=')));
        }
        return keys;
    }
};
} // namespace

TEST_F(SheetTest, FrameOpensOnTheFirstOfFivePagesAndKeepsItsFirstSize)
{
    OpenSheet();
    EXPECT_EQ(sheet->windowTitle(), "Tessaview Screen Saver");
    EXPECT_FALSE(sheet->windowIcon().isNull());
    ASSERT_EQ(sheet->PageCount(), 5);
    const char* captions[] = {"Images List", "Advanced Options", "Sounds", "More Options", "About"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(sheet->PageCaption(i), captions[i]);
    EXPECT_EQ(sheet->ActiveIndex(), 0);
    ASSERT_NE(sheet->Page(0), nullptr);
    EXPECT_EQ(sheet->Page(2), nullptr);   // made when first shown
    for (QPushButton* b : {sheet->OkButton(), sheet->CancelButton(), sheet->HelpButton()})
        EXPECT_FALSE(b->icon().isNull()) << b->text().toStdString();
    EXPECT_EQ(sheet->OkButton()->text(), "OK");
    EXPECT_EQ(sheet->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly).size(), 3);   // no Apply

    const QSize first = sheet->size();
    sheet->resize(first.width() - 100, first.height() - 100);
    QApplication::processEvents();
    EXPECT_GE(sheet->width(), first.width());
    EXPECT_GE(sheet->height(), first.height());

    // F1 anywhere in the sheet: the active page's help, at the pointer.
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    Tabs().setFocus();
    QTest::keyClick(&Tabs(), Qt::Key_F1);
    ASSERT_TRUE(sheet->Page(0)->LastBalloon());
    EXPECT_EQ(sheet->Page(0)->LastBalloon()->controlId, -1);
    EXPECT_EQ(sheet->Page(0)->LastBalloon()->titleId, 57344);
    for (CBalloonMessage* b : VisibleBalloons())
        b->close();

    bool helped = false;
    QObject::connect(sheet.get(), &CResizableSheet::HelpShown, [&] { helped = true; });
    ClickButton(sheet->HelpButton());
    EXPECT_TRUE(helped);
    EXPECT_EQ(VisibleBalloons().size(), 1u);
}

TEST_F(SheetTest, ARefusingPageKeepsTheTabAndRefusesOk)
{
    OpenSheet();
    Delay()->selectAll();
    QTest::keyClicks(Delay(), "0");
    ClickTab(2);
    EXPECT_EQ(sheet->ActiveIndex(), 0);
    EXPECT_EQ(Tabs().currentIndex(), 0);
    EXPECT_EQ(sheet->Page(2), nullptr);
    ClickButton(sheet->OkButton());
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_FALSE(fs::exists(iniPath));

    Delay()->selectAll();
    QTest::keyClicks(Delay(), "20");
    ClickTab(2);
    EXPECT_EQ(sheet->ActiveIndex(), 2);
    ASSERT_NE(sheet->Page(2), nullptr);
    EXPECT_TRUE(sheet->Page(2)->IsInitialised());
    EXPECT_EQ(settings.Delay, 20);
    // The empty pages come and go without exchanges.
    ClickTab(3);
    ClickTab(1);
    EXPECT_EQ(sheet->ActiveIndex(), 1);
    ClickTab(0);
    EXPECT_EQ(Delay()->text(), "20");   // a page is made once and keeps its state
}

TEST_F(SheetTest, OkSavesTheRecordInOrderAndLeavesUnseenPagesAsLoaded)
{
    const std::string a = Folder("a");
    WriteIni("; kept comment\n[Settings]\nDelay=0\nRandom=banana\nSndRandom=1\nSaveLastSound=1\n"
             "SpinX=17\nTrace=1\n[Paths]\nCount=2\nPath0=" + a + "\nPath1=:" + (root / "gone").string() + "\n");
    OpenSheet();
    // The stored delay 0 is shown, and must be mended before leaving.
    EXPECT_EQ(Delay()->text(), "0");
    auto* list = sheet->Page(0)->findChild<CFolderListEditor*>();
    ASSERT_EQ(list->Count(), 2);
    ClickButton(sheet->OkButton());
    EXPECT_TRUE(sheet->isVisible());   // delay 0 refused
    Delay()->selectAll();
    QTest::keyClicks(Delay(), "12");
    ClickButton(sheet->OkButton());
    EXPECT_TRUE(sheet->isVisible());   // the gone folder refused
    list->setCurrentItem(list->topLevelItem(1));
    ClickButton(sheet->Page(0)->ControlAs<QPushButton>(CFolderListPage::kRemoveSelected));
    ClickButton(sheet->OkButton());
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->result(), QDialog::Accepted);

    IniProfileStore after(iniPath);
    EXPECT_EQ(after.GetProfileInt("Settings", "Delay", 0), 12);
    EXPECT_EQ(after.GetProfileInt("Paths", "Count", 0), 1);
    EXPECT_EQ(after.GetProfileString("Paths", "Path0", ""), a);
    // The Sounds page was never shown: both its options stay as loaded.
    EXPECT_EQ(after.GetProfileInt("Settings", "SndRandom", 0), 1);
    EXPECT_EQ(after.GetProfileInt("Settings", "SaveLastSound", 0), 1);
    EXPECT_EQ(after.GetProfileInt("Settings", "SpinX", 0), 17);
    EXPECT_EQ(after.GetProfileInt("Settings", "Trace", 0), 1);
    EXPECT_EQ(IniText().rfind("; kept comment\n", 0), 0u);
    std::vector<std::string> keys = KeysOf("Settings");
    // Keys already in the file keep their lines; the new ones follow in save order.
    const std::vector<std::string> order{"Recursive", "SaveLastImage", "ImageSortType", "SortNewFirst",
                                         "BackColor", "ExitMMove", "ExitMClick"};
    std::vector<std::string> seen;
    for (const std::string& k : keys)
        if (std::find(order.begin(), order.end(), k) != order.end())
            seen.push_back(k);
    EXPECT_EQ(seen, order);
}

TEST_F(SheetTest, CancelWritesNothingButImmediateWritesSurvive)
{
    const std::string a = Folder("a");
    WriteIni("[Settings]\nDelay=30\nRandom=0\nSaveLastImage=1\nLastImageIndex=41\n");
    OpenSheet();
    Delay()->selectAll();
    QTest::keyClicks(Delay(), "99");
    chooser.answers = {a};
    ClickButton(sheet->Page(0)->ControlAs<QPushButton>(CFolderListPage::kAddDirectory));
    ClickButton(sheet->Page(0)->ControlAs<QPushButton>(ImagesIds::kReset));
    const std::string afterImmediate = IniText();
    ClickButton(sheet->CancelButton());
    EXPECT_EQ(sheet->result(), QDialog::Rejected);
    EXPECT_EQ(IniText(), afterImmediate);
    IniProfileStore after(iniPath);
    EXPECT_EQ(after.GetProfileInt("Settings", "Delay", 0), 30);
    EXPECT_EQ(after.GetProfileInt("Settings", "LastImageIndex", 0), -1);
    EXPECT_EQ(after.GetProfileString("LastPaths", "Img", ""), a + "/");
}

TEST_F(SheetTest, AnUnwritableFileIsReportedAndLeftAsItWas)
{
    WriteIni("[Settings]\nDelay=30\n");
    fs::create_directories(iniPath + ".tmp");   // the replacement cannot be made
    OpenSheet();
    Delay()->selectAll();
    QTest::keyClicks(Delay(), "5");
    QString told;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->text();
            box->close();
        }
    });
    poll.start(20);
    ClickButton(sheet->OkButton());
    poll.stop();
    EXPECT_TRUE(told.contains(QString::fromStdString(iniPath))) << told.toStdString();
    EXPECT_TRUE(sheet->isVisible());   // the user may cancel or try again
    EXPECT_EQ(IniText(), "[Settings]\nDelay=30\n");
}

TEST_F(SheetTest, PagesFollowTheirAnchorsWhenTheSheetGrows)
{
    // The picture in the README: the folders of a person's home, one of them switched off.
    const std::string home = DemoHome(root);
    std::string paths;
    int folders = 0;
    for (std::string folder : {"Pictures/Holidays 2019", "Pictures/Family", "Pictures/Garden", ":Pictures/Old scans",
                               "Pictures/Phone"}) {
        const bool off = folder.front() == ':';
        const std::string path = home + "/" + folder.substr(off ? 1 : 0);
        fs::create_directories(path);
        paths += "Path" + std::to_string(folders++) + "=" + (off ? ":" : "") + path + "\n";
    }
    WriteIni("[Settings]\nRandom=0\nBackColor=3355443\n[Paths]\nCount=" + std::to_string(folders) + "\n" + paths);
    OpenSheet();
    CConfigPage* images = sheet->Page(0);
    QWidget* list = images->Control(1003);
    QWidget* count = images->Control(1023);
    QWidget* options = images->Control(1165);
    QWidget* recursive = images->Control(1004);
    const QRect list0 = list->geometry(), count0 = count->geometry(), options0 = options->geometry(),
                rec0 = recursive->geometry();
    const QString dir = QStringLiteral(TSV_BUILD_DIR "/screenshots");
    QDir().mkpath(dir);
    sheet->grab().save(dir + "/images-page.png");

    const QSize first = sheet->size();
    // The sheet starts at the size of its largest page, so measure from the page as shown.
    const QSize shown = images->size();
    sheet->resize(first.width() + 300, first.height() + 200);
    QApplication::processEvents();
    const int dx = images->width() - shown.width();
    const int dy = images->height() - shown.height();
    ASSERT_GT(dx, 250);
    ASSERT_GT(dy, 150);
    EXPECT_EQ(list->geometry(), list0.adjusted(0, 0, dx, dy));
    EXPECT_EQ(count->geometry(), count0.translated(dx, 0));
    EXPECT_EQ(options->geometry(), options0.adjusted(0, dy, dx, dy));
    EXPECT_EQ(recursive->geometry(), rec0);
    sheet->grab().save(dir + "/images-page-enlarged.png");

    ClickTab(2);
    CConfigPage* sounds = sheet->Page(2);
    ASSERT_NE(sounds, nullptr);
    QWidget* soundList = sounds->Control(1032);
    EXPECT_GT(soundList->width(), 300);
    sheet->grab().save(dir + "/sounds-page-enlarged.png");
    sheet->resize(first);
    QApplication::processEvents();
    sheet->grab().save(dir + "/sounds-page.png");
    EXPECT_TRUE(QFile::exists(dir + "/sounds-page.png"));

    ClickTab(kMoreOptions);
    CConfigPage* more = sheet->Page(kMoreOptions);
    ASSERT_NE(more, nullptr);
    QWidget* note = more->Control(MoreIds::kKeysNote);
    QWidget* never = more->Control(MoreIds::kNeverRepeat);
    const QRect note0 = note->geometry(), never0 = never->geometry();
    sheet->resize(first.width() + 300, first.height() + 200);
    QApplication::processEvents();
    EXPECT_EQ(note->geometry(), note0.adjusted(0, 0, dx, 0));
    EXPECT_EQ(more->Control(MoreIds::kKeys)->width(), more->Control(MoreIds::kPhotos)->width());
    EXPECT_EQ(never->geometry(), never0);
    sheet->grab().save(dir + "/more-options-page-enlarged.png");
}

TEST_F(SheetTest, MoreOptionsOkStoresItsSettingsAndCancelNothing)
{
    const std::string before = "[Settings]\nDelay=30\nRandom=1\n";
    // The page's two options and "Key press", which frees the photo-frame keys.
    auto change = [this] {
        ClickTab(kAdvanced);
        ClickMark(sheet->Page(kAdvanced)->ControlAs<QAbstractButton>(1073));
        ClickTab(kMoreOptions);
        CConfigPage* more = sheet->Page(kMoreOptions);
        ClickMark(more->ControlAs<QAbstractButton>(MoreIds::kNeverRepeat));
        auto* caption = more->ControlAs<QComboBox>(MoreIds::kCaption);
        caption->setFocus();
        QTest::keyClick(caption, Qt::Key_Down);
        QTest::keyClick(caption, Qt::Key_Down);
        EXPECT_EQ(caption->currentText(), "Date taken and folder");
    };

    WriteIni(before);
    OpenSheet();
    change();
    ClickButton(sheet->CancelButton());
    EXPECT_EQ(sheet->result(), QDialog::Rejected);
    EXPECT_EQ(IniText(), before);

    // Seen but unchanged: the file gains neither option, so it keeps its layout.
    OpenSheet();
    ClickTab(kMoreOptions);
    ClickButton(sheet->OkButton());
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    for (const std::string& key : KeysOf("Settings"))
        EXPECT_TRUE(key != "KeepShuffle" && key != "Caption") << key;

    WriteIni(before);
    OpenSheet();
    change();
    const QString dir = QStringLiteral(TSV_BUILD_DIR "/screenshots");
    QDir().mkpath(dir);
    sheet->grab().save(dir + "/more-options-page.png");
    ClickButton(sheet->OkButton());
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    IniProfileStore after(iniPath);
    EXPECT_EQ(after.GetProfileInt("Settings", "KeepShuffle", -1), 1);
    EXPECT_EQ(after.GetProfileInt("Settings", "Caption", -1), 2);
    EXPECT_EQ(after.GetProfileInt("Settings", "ExitKClick", -1), 0);
    EXPECT_EQ(after.GetProfileInt("Settings", "Delay", -1), 30);
}

TEST_F(SheetTest, NeverRepeatingAnswersToTheOrderChosenOnTheImagesPage)
{
    WriteIni("[Settings]\nRandom=0\nKeepShuffle=1\n");
    OpenSheet();
    auto never = [this] { return sheet->Page(kMoreOptions)->ControlAs<QAbstractButton>(MoreIds::kNeverRepeat); };
    auto random = [this] { return sheet->Page(0)->ControlAs<QAbstractButton>(ImagesIds::kRandom); };
    ClickTab(kMoreOptions);
    EXPECT_FALSE(never()->isEnabled());
    EXPECT_TRUE(never()->isChecked());

    ClickTab(0);
    ClickMark(random());
    ClickTab(kMoreOptions);
    EXPECT_TRUE(never()->isEnabled());

    // Sequential again: the mark is kept for when random order comes back.
    ClickTab(0);
    ClickMark(random());
    ClickButton(sheet->OkButton());
    IniProfileStore after(iniPath);
    EXPECT_EQ(after.GetProfileInt("Settings", "Random", -1), 0);
    EXPECT_EQ(after.GetProfileInt("Settings", "KeepShuffle", -1), 1);
}

TEST_F(SheetTest, TheRealChooserStartsThereAndAnswersTheFolder)
{
    const std::string start = Folder("start");
    Folder("start/inner");
    DialogFolderChooser real;
    QString title, shownDir;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !title.isEmpty())
            return;
        title = dialog->windowTitle();
        shownDir = dialog->directory().absolutePath();
        dialog->setDirectory(QString::fromStdString(start + "/inner"));
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
    poll.setSingleShot(false);
    poll.start(50);
    std::optional<std::string> got = real.ChooseFolder(nullptr, "Select Directory", start);
    poll.stop();
    EXPECT_EQ(title, "Select Directory");
    EXPECT_EQ(shownDir.toStdString(), start);
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, start + "/inner");
}
