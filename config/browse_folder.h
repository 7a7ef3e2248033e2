#pragma once
// Choosing a folder for a folder list: the start folder, the chooser, and
// remembering the choice under "LastPaths".
#include <optional>
#include <string>

class ProfileStore;
class QWidget;

// Shows a folder chooser; the real one is Qt's directory dialog, tests script their own.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // The chosen folder, or nothing when the user cancelled.
    virtual std::optional<std::string> ChooseFolder(QWidget* owner, const std::string& title,
                                                    const std::string& start) = 0;
};

// Qt's directory dialog ("Select Directory"), folders only.
class DialogFolderChooser : public FolderChooser {
public:
    std::optional<std::string> ChooseFolder(QWidget* owner, const std::string& title,
                                            const std::string& start) override;
};

// Where the chooser starts: the given folder when it exists, else the
// process's current directory.
std::string BrowseStartFolder(const std::string& start);

// The chosen path with one trailing '/'.
std::string WithTrailingSeparator(std::string path);

// Asks for a folder starting at `start`. On a choice answers it with a
// trailing '/' and writes it at once as "LastPaths"/valueName ("Img" or "Sound").
std::optional<std::string> BrowseFolder(FolderChooser& chooser, ProfileStore& store, QWidget* owner,
                                        const std::string& start, const char* valueName);
