#pragma once
// The "Images List" page: image folders, delay, order, background colour and
// the restart-from-last-image option.
#include "config/folder_list_page.h"

class CImagesPage : public CFolderListPage {
    Q_OBJECT
public:
    enum ControlId {
        kRecursive = 1004,
        kCounter = 1024,
        kFolders = 1003,
        kBackground = 1055,
        kDelay = 1011,
        kDelaySpin = 1012,
        kRandom = 1008,
        kRestart = 1047,
        kReset = 1067,
    };

    CImagesPage(const DialogTemplate& dialog, SheetContext& context, QWidget* parent = nullptr);

protected:
    void OnInitPage() override;
    void SetupToolTips() override;
    int CountFilesNow() override;

private:
    void ApplyEnableRules();
};
