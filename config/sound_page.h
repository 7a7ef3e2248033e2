#pragma once
// The "Sounds" page: music folders and the play options. Random play and
// restart-from-last-file exclude each other here.
#include "config/folder_list_page.h"

class CConfigSoundDlg : public CFolderListPage {
    Q_OBJECT
public:
    enum ControlId {
        kRecursive = 1028,
        kCounter = 1033,
        kFolders = 1032,
        kRandom = 1026,
        kRestart = 1066,
        kReset = 1068,
    };

    CConfigSoundDlg(const DialogTemplate& dialog, SheetContext& context, QWidget* parent = nullptr);

protected:
    void SetupToolTips() override;
    int CountFilesNow() override;

private:
    void ApplyRandomRule();
    void ApplyResetRule();
};
