#include "config/folder_list_page.h"

#include "app/log.h"
#include "app/profile_store.h"
#include "config/browse_folder.h"
#include "controls/folder_list_editor.h"
#include "media/file_finder.h"
#include "res/string_table.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace {
// The wait cursor for as long as a slow step runs, however it ends.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
} // namespace


CFolderListPage::CFolderListPage(const DialogTemplate& dialog, SheetContext& context, const Setup& setup,
                                 QWidget* parent)
    : CConfigPage(dialog, context, parent), setup_(setup), list_(ControlAs<CFolderListEditor>(setup.listId))
{
    Q_ASSERT(list_);
    auto onClick = [this](int id, auto handler) {
        if (auto* button = ControlAs<QPushButton>(id))
            connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(kCountFiles, [this] { CountFiles(); });
    onClick(kAddDirectory, [this] { AddDirectory(); });
    onClick(kAddSubDir, [this] { AddSubDir(); });
    onClick(kRemoveSelected, [this] { list_->RemoveSelectedItems(); });
    onClick(kSelectAll, [this] { list_->SelectAllItems(); });
    onClick(kDeselectAll, [this] { list_->DeselectAllItems(); });
    onClick(kEnableAll, [this] { list_->EnableAllItems(); });
    onClick(setup_.resetId, [this] { ResetIndex(); });
    connect(list_, &CFolderListEditor::FolderDoubleClicked, this, [this](int) { BrowseSelected(); });
}

void CFolderListPage::OnInitPage()
{
    list_->SetColumnTitle(QString::fromUtf8(LoadStringId(setup_.columnTitleId)));
}

void CFolderListPage::CountFiles()
{
    if (!SaveExchange())
        return;
    int count = 0;
    {
        WaitCursor wait;
        count = CountFilesNow();
    }
    if (auto* counter = ControlAs<QLabel>(setup_.counterId))
        counter->setText(QString::number(count));
}

std::string CFolderListPage::StartFolder()
{
    int row = list_->FirstSelectedRow();
    if (row >= 0)
        return list_->Text(row).toStdString();
    return Context().store.GetProfileString("LastPaths", setup_.lastPathKey, "");
}

std::optional<std::string> CFolderListPage::Browse(const std::string& start)
{
    return BrowseFolder(Context().chooser, Context().store, this, start, setup_.lastPathKey);
}

void CFolderListPage::AddDirectory()
{
    // A rename still being typed counts, here as at any exchange.
    list_->CommitEdit();
    if (std::optional<std::string> folder = Browse(StartFolder()))
        list_->Append(QString::fromStdString(*folder), true);
}

void CFolderListPage::AddSubDir()
{
    list_->CommitEdit();
    std::optional<std::string> folder = Browse(StartFolder());
    if (!folder)
        return;
    FileFinder finder;
    for (const std::string& sub : finder.ListSubfolders(*folder, true))
        list_->Append(QString::fromStdString(sub), true);
}

void CFolderListPage::BrowseSelected()
{
    int row = list_->FirstSelectedRow();
    if (row < 0)
        return;
    if (std::optional<std::string> folder = Browse(list_->Text(row).toStdString()))
        list_->SetText(row, QString::fromStdString(*folder));
}

void CFolderListPage::ResetIndex()
{
    if (!Context().store.WriteProfileInt("Settings", setup_.indexKey, -1)) {
        // Saying "Done" here would promise a fresh start that will not happen.
        Log("ResetIndex: could not write %s", setup_.indexKey);
        ShowPageBalloon({IDS_WARNING, NotWrittenText(Context().store), setup_.resetId, BalloonIcon::Warning});
        return;
    }
    ShowPageBalloon({IDS_DONE, QString::fromUtf8(LoadStringId(setup_.resetDoneTextId)), setup_.resetId,
                     BalloonIcon::Information});
}
