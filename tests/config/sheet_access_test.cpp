// The sheet as keyboard and screen-reader users drive it: Enter, Tab, a
// rename still being typed, and the accessibility interface's actions and names.
#include "folder_page_support.h"

#include <QAccessibleActionInterface>
#include <QSignalSpy>
#include <QTabBar>

#include <cstdlib>

namespace {
class SheetAccessTest : public SheetFixture {
protected:
    static constexpr int kImages = 0, kAdvanced = 1, kSounds = 2, kMore = 3, kAbout = 4;

    void SetUp() override
    {
        SheetFixture::SetUp();
        // No log of the user's: "Open" on the About page only shows its balloon.
        setenv("XDG_DATA_HOME", root.c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("XDG_DATA_HOME");
        SheetFixture::TearDown();
    }
    CResizableSheet& OpenSheet() { return SheetFixture::OpenSheet(true); }
    QWidget* Control(int page, int id) const { return sheet->Page(page)->Control(id); }
    QAbstractButton* Box(int page, int id) const { return sheet->Page(page)->ControlAs<QAbstractButton>(id); }
    CFolderListEditor& ImageList() const { return *sheet->Page(kImages)->ControlAs<CFolderListEditor>(1003); }
    // Enter where the focus is, as the keyboard sends it.
    void PressEnter() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }
    // Renames the first folder in place and leaves the editor open.
    void StartRename(const std::string& text)
    {
        ImageList().setFocus();
        ImageList().setCurrentItem(ImageList().topLevelItem(0));
        QTest::keyClick(&ImageList(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, QString::fromStdString(text));
    }
    void CloseBalloons()
    {
        for (CBalloonMessage* b : VisibleBalloons())
            b->close();
    }
    // A screen reader's action on a control.
    static void Act(QWidget* w, const QString& action)
    {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_TRUE(a && a->actionInterface());
        ASSERT_TRUE(a->actionInterface()->actionNames().contains(action));
        a->actionInterface()->doAction(action);
    }
};

// A widget as a failure names it: its template id, or its text.
std::string Name(QWidget* w)
{
    if (!w)
        return "nothing";
    if (!w->objectName().isEmpty())
        return w->objectName().toStdString();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text().toStdString();
    return w->metaObject()->className();
}
} // namespace

TEST_F(SheetAccessTest, EnterPressesTheFocusedButtonAndOkOnlyWhenNoButtonHasTheFocus)
{
    const std::string a = Folder("a");
    WriteIni("[Settings]\nRandom=0\nSndRandom=0\n[Paths]\nCount=1\nPath0=" + a + "\n");
    OpenSheet();
    for (int index : {kImages, kSounds, kMore, kAbout}) {
        ASSERT_TRUE(sheet->SetActivePage(index));
        for (QPushButton* b : sheet->Page(index)->findChildren<QPushButton*>()) {
            if (!b->isEnabled() || qobject_cast<CColourPickerXP*>(b))
                continue;
            chooser.answers = {std::nullopt};   // a browse is cancelled
            QSignalSpy clicked(b, &QAbstractButton::clicked);
            b->setFocus();
            ASSERT_TRUE(b->hasFocus()) << Name(b);
            PressEnter();
            EXPECT_EQ(clicked.count(), 1) << Name(b);
            ASSERT_TRUE(sheet->isVisible()) << Name(b) << " ended the sheet";
            chooser.answers.clear();
            CloseBalloons();
        }
    }
    // The sheet's own Help answers Enter too, and stays.
    QSignalSpy helped(sheet.get(), &CResizableSheet::HelpShown);
    sheet->HelpButton()->setFocus();
    PressEnter();
    EXPECT_EQ(helped.count(), 1);
    EXPECT_TRUE(sheet->isVisible());
    CloseBalloons();

    // Away from the buttons Enter is OK, also on a closed drop-down.
    Box(kAbout, 1036)->setFocus();
    PressEnter();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    OpenSheet();
    ASSERT_TRUE(sheet->SetActivePage(kMore));
    Control(kMore, 1183)->setFocus();
    PressEnter();
    EXPECT_EQ(sheet->result(), QDialog::Accepted);

    // Enter on Cancel cancels.
    OpenSheet();
    sheet->CancelButton()->setFocus();
    PressEnter();
    EXPECT_EQ(sheet->result(), QDialog::Rejected);
}

TEST_F(SheetAccessTest, ARenameStillBeingTypedCountsAtEveryExchange)
{
    const std::string a = Folder("a"), b = Folder("b"), c = Folder("c"), d = Folder("d");
    WriteIni("[Paths]\nCount=1\nPath0=" + a + "\n");
    OpenSheet();

    // A click on a tab takes no focus; the editor is still open when the page is left.
    StartRename(b);
    ClickTab(kSounds);
    EXPECT_EQ(sheet->ActiveIndex(), kSounds);
    EXPECT_EQ(settings.ImageFolders, (StringList{b}));
    ClickTab(kImages);

    // A renamed folder that does not exist is refused like any other.
    StartRename((root / "gone").string());
    ClickTab(kSounds);
    EXPECT_EQ(sheet->ActiveIndex(), kImages);
    ASSERT_TRUE(sheet->Page(kImages)->LastBalloon());
    EXPECT_EQ(sheet->Page(kImages)->LastBalloon()->controlId, 1003);
    EXPECT_EQ(settings.ImageFolders, (StringList{b}));
    CloseBalloons();

    // Add Directory starts at the folder as renamed.
    StartRename(c);
    chooser.answers = {std::nullopt};
    qobject_cast<QPushButton*>(Control(kImages, 1123))->click();   // a mnemonic clicks without the focus
    ASSERT_FALSE(chooser.requests.empty());
    EXPECT_EQ(chooser.requests.back().start, c);

    // OK pressed without the focus leaving the editor, as a screen reader presses it.
    StartRename(d);
    sheet->OkButton()->click();
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    EXPECT_EQ(IniProfileStore(iniPath).GetProfileString("Paths", "Path0", ""), d);
}

TEST_F(SheetAccessTest, AScreenReadersToggleRunsThePageRules)
{
    WriteIni("[Settings]\nRandom=0\nSaveLastImage=1\nSndRandom=0\nSaveLastSound=1\nKeepAspectRatio=0\nCubeFloat=1\n");
    OpenSheet();
    const QString toggle = QAccessibleActionInterface::toggleAction();

    Act(Box(kImages, 1008), toggle);   // "Choose Images in random order"
    EXPECT_TRUE(Box(kImages, 1008)->isChecked());
    EXPECT_FALSE(Box(kImages, 1047)->isEnabled());
    EXPECT_TRUE(Box(kImages, 1047)->isChecked());
    EXPECT_FALSE(Control(kImages, 1067)->isEnabled());
    Act(Box(kImages, 1008), toggle);
    EXPECT_TRUE(Box(kImages, 1047)->isEnabled());
    EXPECT_TRUE(Control(kImages, 1067)->isEnabled());

    ASSERT_TRUE(sheet->SetActivePage(kAdvanced));
    EXPECT_FALSE(Box(kAdvanced, 1177)->isEnabled());
    Act(Box(kAdvanced, 1173), toggle);   // "Keep images aspect ratio", with floating pictures
    EXPECT_TRUE(Box(kAdvanced, 1177)->isEnabled());
    EXPECT_TRUE(Box(kAdvanced, 1177)->isChecked());

    ASSERT_TRUE(sheet->SetActivePage(kSounds));
    EXPECT_TRUE(Control(kSounds, 1068)->isEnabled());
    Act(Box(kSounds, 1026), toggle);   // "Choose sound files randomly"
    EXPECT_FALSE(Box(kSounds, 1066)->isChecked());
    EXPECT_FALSE(Box(kSounds, 1066)->isEnabled());
    EXPECT_FALSE(Control(kSounds, 1068)->isEnabled());

    sheet->OkButton()->click();
    IniProfileStore after(iniPath);
    EXPECT_EQ(after.GetProfileInt("Settings", "SaveLastSound", -1), 0);
    EXPECT_EQ(after.GetProfileInt("Settings", "CubeTransp", -1), 1);
    EXPECT_EQ(after.GetProfileInt("Settings", "KeepAspectRatio", -1), 1);
}

TEST_F(SheetAccessTest, NamesFollowTheTextsShown)
{
    const std::string a = Folder("a");
    for (const char* file : {"1.jpg", "2.jpg", "3.gif"})
        Touch(a, file);
    WriteIni("[Paths]\nCount=1\nPath0=" + a + "\n");
    OpenSheet();
    QWidget* counter = Control(kImages, 1024);
    EXPECT_EQ(AccessibleName(counter), "0");
    qobject_cast<QPushButton*>(Control(kImages, 1023))->click();
    EXPECT_EQ(AccessibleName(counter), "3");

    ASSERT_TRUE(sheet->SetActivePage(kMore));
    EXPECT_EQ(AccessibleName(Control(kMore, 1181)), "Never repeat a photo until all have been shown");
    QAccessibleInterface* caption = QAccessible::queryAccessibleInterface(Control(kMore, 1183));
    ASSERT_NE(caption, nullptr);
    const auto labels = caption->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), "Caption:");

    ASSERT_TRUE(sheet->SetActivePage(kAbout));
    auto* version = sheet->Page(kAbout)->ControlAs<QLabel>(1019);
    EXPECT_FALSE(version->text().contains('%'));
    EXPECT_EQ(AccessibleName(version), version->text());
}

TEST_F(SheetAccessTest, TabRunsFromTheTabBarThroughThePageToOkCancelHelp)
{
    WriteIni("[Settings]\nRandom=0\nSaveLastImage=1\nKeepAspectRatio=1\nSndRandom=0\nSaveLastSound=1\n");
    OpenSheet();
    // The page's controls that take the focus, in template order.
    const std::vector<int> pageOrder[] = {
        {1004, 1003, 1023, 1123, 1124, 1125, 1126, 1127, 3, 1055, 1011, 1008, 1047, 1067},
        {1071, 1072, 1073, 1000, 1001, 1166, 1002, 1003, 1006, 1004, 1007, 1173, 1175, 1177},
        {1028, 1032, 1023, 1123, 1124, 1125, 1126, 1127, 3, 1026, 1066, 1068},
        {1181, 1183},
        {1017, 1036, 1174},
    };
    // Each page in turn, the later ones made after the buttons.
    for (int index : {kImages, kAdvanced, kSounds, kMore, kAbout}) {
        if (index == kMore) {
            // The never-repeat box takes part in random order only.
            ASSERT_TRUE(sheet->SetActivePage(kImages));
            Box(kImages, 1008)->setChecked(true);
        }
        ASSERT_TRUE(sheet->SetActivePage(index));
        std::vector<std::string> expected{Name(&Tabs())};
        for (int id : pageOrder[index])
            expected.push_back(Name(Control(index, id)));
        for (QWidget* b : std::initializer_list<QWidget*>{sheet->OkButton(), sheet->CancelButton(),
                                                           sheet->HelpButton(), &Tabs()})
            expected.push_back(Name(b));

        Tabs().setFocus();
        std::vector<std::string> seen{Name(QApplication::focusWidget())};
        while (seen.size() < expected.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen.push_back(Name(QApplication::focusWidget()));
        }
        EXPECT_EQ(seen, expected) << "page " << index;
    }
}
