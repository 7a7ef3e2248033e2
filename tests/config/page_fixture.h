#pragma once
// A configuration page of the real program on a virtual display, with its
// own settings record and an in-memory store.
#include "app/profile_store.h"
#include "app/saver_settings.h"
#include "config/browse_folder.h"
#include "config/config_page.h"
#include "controls/controls.h"
#include "controls/resizable_page.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>

#include <memory>

// Folder choosing is not what these pages do; any request is a fault.
class NoFolderChooser : public FolderChooser {
public:
    std::optional<std::string> ChooseFolder(QWidget*, const std::string&, const std::string&) override
    {
        ADD_FAILURE() << "unexpected folder chooser";
        return std::nullopt;
    }
};

inline void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "config_page_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

inline void ClickBox(QAbstractButton* box)
{
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
}

template <class Page>
class PageFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }

    // Builds and shows the page, as the sheet does the first time it is shown.
    Page& Open()
    {
        std::optional<DialogTemplate> dialog = LoadDialogTemplate(Page::kTemplateId);
        EXPECT_TRUE(dialog.has_value());
        page = std::make_unique<Page>(*dialog, context);
        page->show();
        page->Initialise();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(page.get()));
        return *page;
    }
    QAbstractButton* Box(int id) const { return page->template ControlAs<QAbstractButton>(id); }
    // At the box's mark: a check box answers only on its mark and text.
    void Click(int id) { ClickBox(Box(id)); }
    // Lets the posted tool-tip set-up run.
    void SettleToolTips()
    {
        QTRY_VERIFY_WITH_TIMEOUT(page->ToolTipsReady(), 2000);
    }

    CSaverSettings settings;
    MemoryProfileStore store;
    NoFolderChooser chooser;
    SheetContext context{settings, store, chooser};
    std::unique_ptr<Page> page;
};
