#pragma once
// What the Images and Sounds pages share: a folder-list editor with its
// buttons (Count Files, Add Directory, Add SubDir, Remove Selected, Select
// All, Deselect All, Enable All), the file counter and the Reset button that
// forgets the saved position at once.
#include "config/config_page.h"

class CFolderListEditor;

class CFolderListPage : public CConfigPage {
    Q_OBJECT
public:
    // The ids and texts that differ between the two pages.
    struct Setup {
        int listId;
        int counterId;
        int resetId;
        int columnTitleId;        // string id of the list's column title
        const char* lastPathKey;  // "LastPaths" value: "Img" or "Sound"
        const char* indexKey;     // "Settings" value Reset writes: "LastImageIndex"...
        int resetDoneTextId;      // string of the "Done" balloon
    };

    enum ButtonId {
        kCountFiles = 1023,
        kAddDirectory = 1123,
        kAddSubDir = 1124,
        kRemoveSelected = 1125,
        kSelectAll = 1126,
        kDeselectAll = 1127,
        kEnableAll = 3,
    };

    CFolderListPage(const DialogTemplate& dialog, SheetContext& context, const Setup& setup,
                    QWidget* parent = nullptr);

    CFolderListEditor* FolderList() const { return list_; }

    // The handlers, as the buttons and the list call them.
    void CountFiles();
    void AddDirectory();
    void AddSubDir();
    void BrowseSelected();   // double click
    void ResetIndex();

protected:
    void OnInitPage() override;
    bool OffersHelp() const override { return true; }
    // Builds the page's list in counting mode and answers the number of files.
    virtual int CountFilesNow() = 0;

private:
    std::optional<std::string> Browse(const std::string& start);
    std::string StartFolder();

    Setup setup_;
    CFolderListEditor* list_;
};
