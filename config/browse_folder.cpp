#include "config/browse_folder.h"

#include "app/log.h"
#include "app/profile_store.h"
#include "res/string_table.h"

#include <QDir>
#include <QFileDialog>

#include <unistd.h>

std::optional<std::string> DialogFolderChooser::ChooseFolder(QWidget* owner, const std::string& title,
                                                             const std::string& start)
{
    const QString chosen = QFileDialog::getExistingDirectory(owner, QString::fromStdString(title),
                                                             QString::fromStdString(start),
                                                             QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(chosen).toStdString();
}

std::string BrowseStartFolder(const std::string& start)
{
    if (!start.empty() && access(start.c_str(), F_OK) == 0)
        return start;
    return QDir::currentPath().toStdString();
}

std::string WithTrailingSeparator(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

std::optional<std::string> BrowseFolder(FolderChooser& chooser, ProfileStore& store, QWidget* owner,
                                        const std::string& start, const char* valueName)
{
    std::optional<std::string> chosen = chooser.ChooseFolder(owner, LoadStringId(IDS_SELECT_DIRECTORY),
                                                             BrowseStartFolder(start));
    // A chooser may hand back something that is not a folder on disk (a
    // virtual location); that counts as no choice.
    if (!chosen || chosen->empty() || access(chosen->c_str(), F_OK) != 0)
        return std::nullopt;
    std::string path = WithTrailingSeparator(*chosen);
    if (!store.WriteProfileString("LastPaths", valueName, path))
        Log("BrowseFolder: could not remember %s", path.c_str());
    return path;
}
