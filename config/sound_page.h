#pragma once
// The "Sounds" page: music folders and the play options. Random play and
// restart-from-last-file exclude each other here.
#include "config/folder_list_page.h"

class CConfigSoundDlg : public CFolderListPage {
    Q_OBJECT
public:
    CConfigSoundDlg(const DialogTemplate& dialog, SheetContext& context, QWidget* parent = nullptr);

protected:
    int CountFilesNow() override;

private:
    void ApplyRandomRule();
    void ApplyResetRule();
};
