#pragma once
// The "Images List" page: image folders, delay, order, background colour and
// the restart-from-last-image option.
#include "config/folder_list_page.h"

class CImagesPage : public CFolderListPage {
    Q_OBJECT
public:
    CImagesPage(const DialogTemplate& dialog, SheetContext& context, QWidget* parent = nullptr);

protected:
    void OnInitPage() override;
    int CountFilesNow() override;

private:
    void ApplyEnableRules();
};
