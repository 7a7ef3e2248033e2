#pragma once
// The "Advanced Options" page: exit events, the cube's spin rates, movement
// speeds and size, and the picture options.
#include "config/config_page.h"

class CAdvOptDlg : public CConfigPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 132;

    CAdvOptDlg(const DialogTemplate& dialog, SheetContext& context, QWidget* parent = nullptr);

protected:
    void OnInitPage() override;

private:
    void ApplyTransparencyRule();
};
