#pragma once
// The "Advanced Options" page: exit events, the cube's spin rates, movement
// speeds and size, and the picture options.
#include "config/adv_opt_rules.h"
#include "config/config_page.h"

class QSlider;

class CAdvOptDlg : public CConfigPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 132;

    // Control ids of the template.
    enum : int {
        IDC_EXIT_MOUSE_MOVE = 1071,
        IDC_EXIT_MOUSE_CLICK = 1072,
        IDC_EXIT_KEY_PRESS = 1073,
        IDC_SPIN_X = 1000,
        IDC_SPIN_Y = 1001,
        IDC_SPIN_Z = 1166,
        IDC_SPEED_X = 1002,
        IDC_SPEED_Y = 1003,
        IDC_SPEED_Z = 1006,
        IDC_SIZE = 1004,
        IDC_KEEP_UPRIGHT = 1007,
        IDC_KEEP_ASPECT = 1173,
        IDC_FLOATING = 1175,
        IDC_TRANSPARENT = 1177,
    };

    CAdvOptDlg(const DialogTemplate& dialog, SheetContext& context, QWidget* parent = nullptr);

    QSlider* SliderControl(int id) const;

protected:
    void OnInitPage() override;
    void SetupToolTips() override;

private:
    void ApplyTransparencyRule();
    void ShowFields();
    void ReadControls();

    AdvOptFields fields_;
};
