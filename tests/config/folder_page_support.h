#pragma once
// What the folder-page and sheet tests share: a scratch folder tree, a
// scripted folder chooser, and the pages built from their real templates.
#include "app/ini_profile_store.h"
#include "app/saver_settings.h"
#include "config/config.h"
#include "controls/colour_popup.h"
#include "controls/controls.h"
#include "controls/folder_list_editor.h"
#include "support/reading.h"
#include "support/temp_folder.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

// Control ids of the folder pages' templates (res/dialogs/2003.dlg, 2004.dlg).
struct ImagesIds {
    enum : int { kRecursive = 1004, kCounter = 1024, kFolders = 1003, kBackground = 1055, kDelay = 1011,
                 kDelaySpin = 1012, kRandom = 1008, kRestart = 1047, kReset = 1067 };
};
struct SoundIds {
    enum : int { kRecursive = 1028, kCounter = 1033, kFolders = 1032, kRandom = 1026, kRestart = 1066,
                 kReset = 1068 };
};

// Control ids of the More Options page (res/dialogs/2005.dlg).
struct MoreIds {
    enum : int { kPhotos = 1180, kNeverRepeat = 1181, kCaption = 1183, kKeys = 1184, kKeysNote = 1185 };
};

// Answers folder requests from a script and remembers what was asked.
class ScriptedChooser : public FolderChooser {
public:
    struct Request {
        std::string title;
        std::string start;
    };
    std::optional<std::string> ChooseFolder(QWidget*, const std::string& title, const std::string& start) override
    {
        requests.push_back({title, start});
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected folder request at " << start;
            return std::nullopt;
        }
        std::optional<std::string> a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<std::optional<std::string>> answers;   // nothing: the user cancels
    std::vector<Request> requests;
};

// A private folder per test, removed afterwards, with an INI store inside.
class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        iniPath = (root / "Tessaview.ini").string();
        store = std::make_unique<IniProfileStore>(iniPath);
    }
    void TearDown() override
    {
        // Balloons and dialogs of one test must not meet the next.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<CBalloonMessage*>(w))
                w->close();
    }
    // Makes a folder under the scratch root and answers its path.
    std::string Folder(const std::string& name)
    {
        fs::create_directories(root / name);
        return (root / name).string();
    }
    void Touch(const std::string& folder, const std::string& file) { std::ofstream(fs::path(folder) / file) << "x"; }
    std::string IniText() const { return support::ReadAll(iniPath); }

    support::TempFolder scratch{"config"};
    fs::path root = scratch.Path();
    std::string iniPath;
    std::unique_ptr<IniProfileStore> store;
    CSaverSettings settings;
    ScriptedChooser chooser;
};

// The whole sheet on the scratch store, opened as the program opens it.
class SheetFixture : public ScratchTest {
protected:
    void TearDown() override
    {
        sheet.reset();
        ScratchTest::TearDown();
    }
    // Loads the record from the store and shows the sheet; `activate` also
    // waits for it to take the keyboard focus.
    CResizableSheet& OpenSheet(bool activate = false)
    {
        settings.Load(*store, {});
        context = std::make_unique<SheetContext>(SheetContext{settings, *store, chooser});
        sheet = MakeConfigurationSheet(*context);
        sheet->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        if (activate) {
            sheet->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
        }
        return *sheet;
    }
    void WriteIni(const std::string& text) { std::ofstream(iniPath) << text; }
    QTabBar& Tabs() const { return *sheet->findChild<QTabBar*>(); }
    void ClickTab(int index)
    {
        QTest::mouseClick(&Tabs(), Qt::LeftButton, {}, Tabs().tabRect(index).center());
        QApplication::processEvents();
    }

    std::unique_ptr<SheetContext> context;
    std::unique_ptr<CResizableSheet> sheet;
};

// A page as the sheet makes it the first time it is shown.
template <class Page>
class PageTest : public ScratchTest {
protected:
    Page& Open(int templateId)
    {
        std::optional<DialogTemplate> dialog = LoadDialogTemplate(templateId);
        EXPECT_TRUE(dialog.has_value());
        context = std::make_unique<SheetContext>(SheetContext{settings, *store, chooser});
        page = std::make_unique<Page>(*dialog, *context);
        page->show();
        page->Initialise();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(page.get()));
        page->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(page.get()));
        return *page;
    }
    void TearDown() override
    {
        page.reset();
        ScratchTest::TearDown();
    }
    CFolderListEditor& List() const { return *page->FolderList(); }
    QCheckBox* Box(int id) const { return page->template ControlAs<QCheckBox>(id); }
    QPushButton* Button(int id) const { return page->template ControlAs<QPushButton>(id); }
    QLabel* Label(int id) const { return page->template ControlAs<QLabel>(id); }
    void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }
    // The rows as the user sees them: text, and '-' before an unchecked one.
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (int i = 0; i < List().Count(); ++i)
            rows.push_back((List().IsEnabledAt(i) ? "" : "-") + List().Text(i).toStdString());
        return rows;
    }
    // Selects one row with a click, as the user would.
    void ClickRow(int row)
    {
        QApplication::processEvents();   // rows added just now are laid out first
        QRect r = List().visualItemRect(List().topLevelItem(row));
        QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, r.center());
    }

    std::unique_ptr<SheetContext> context;
    std::unique_ptr<Page> page;
};

// What a screen reader hears as a control's name.
inline QString AccessibleName(QWidget* w)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString();
}

// The balloon windows on screen now.
inline std::vector<CBalloonMessage*> VisibleBalloons()
{
    std::vector<CBalloonMessage*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<CBalloonMessage*>(w); b && b->isVisible() && !b->IsClosing())
            out.push_back(b);
    return out;
}
