#include "config/adv_opt_dlg.h"

#include "app/saver_settings.h"
#include "res/string_table.h"

#include <QAbstractButton>
#include <QSlider>

namespace {
struct SliderBinding {
    int id;
    int AdvOptFields::*field;
    int min;
    int max;
};

constexpr SliderBinding kSliders[] = {
    {CAdvOptDlg::IDC_SPIN_X, &AdvOptFields::spinX, kSpinMin, kSpinMax},
    {CAdvOptDlg::IDC_SPIN_Y, &AdvOptFields::spinY, kSpinMin, kSpinMax},
    {CAdvOptDlg::IDC_SPIN_Z, &AdvOptFields::spinZ, kSpinMin, kSpinMax},
    {CAdvOptDlg::IDC_SPEED_X, &AdvOptFields::speedX, kSpeedMin, kSpeedMax},
    {CAdvOptDlg::IDC_SPEED_Y, &AdvOptFields::speedY, kSpeedMin, kSpeedMax},
    {CAdvOptDlg::IDC_SPEED_Z, &AdvOptFields::speedZ, kSpeedMin, kSpeedMax},
    {CAdvOptDlg::IDC_SIZE, &AdvOptFields::size, kSpeedMin, kSpeedMax},
};

struct CheckBinding {
    int id;
    int AdvOptFields::*field;
};

constexpr CheckBinding kChecks[] = {
    {CAdvOptDlg::IDC_EXIT_MOUSE_MOVE, &AdvOptFields::exitMMove},
    {CAdvOptDlg::IDC_EXIT_MOUSE_CLICK, &AdvOptFields::exitMClick},
    {CAdvOptDlg::IDC_EXIT_KEY_PRESS, &AdvOptFields::exitKClick},
    {CAdvOptDlg::IDC_KEEP_UPRIGHT, &AdvOptFields::keepUpright},
    {CAdvOptDlg::IDC_KEEP_ASPECT, &AdvOptFields::keepAspect},
    {CAdvOptDlg::IDC_FLOATING, &AdvOptFields::floating},
    {CAdvOptDlg::IDC_TRANSPARENT, &AdvOptFields::transparent},
};

struct ToolTip {
    int controlId;
    int stringId;
};

constexpr ToolTip kToolTips[] = {
    {1071, IDS_EXIT_MOUSE_MOVE_TIP}, {1072, IDS_EXIT_MOUSE_CLICK_TIP}, {1073, IDS_EXIT_KEY_PRESS_TIP},
    {1000, IDS_SPIN_X_TIP},          {1010, IDS_SPIN_X_TIP},           {1011, IDS_SPIN_X_TIP},
    {1001, IDS_SPIN_Y_TIP},          {1012, IDS_SPIN_Y_TIP},           {1013, IDS_SPIN_Y_TIP},
    {1166, IDS_SPIN_Z_TIP},          {1014, IDS_SPIN_Z_TIP},           {1015, IDS_SPIN_Z_TIP},
    {1002, IDS_SPEED_X_TIP},         {1016, IDS_SPEED_X_TIP},          {1003, IDS_SPEED_Y_TIP},
    {1017, IDS_SPEED_Y_TIP},         {1006, IDS_SPEED_Z_TIP},          {1018, IDS_SPEED_Z_TIP},
    {1004, IDS_CUBE_SIZE_TIP},       {1007, IDS_KEEP_UPRIGHT_TIP},     {1173, IDS_KEEP_ASPECT_TIP},
    {1175, IDS_FLOATING_TIP},        {1177, IDS_TRANSPARENT_TIP},
};
} // namespace

CAdvOptDlg::CAdvOptDlg(const DialogTemplate& dialog, SheetContext& context, QWidget* parent)
    : CConfigPage(dialog, context, parent)
{
    // One exchange for the whole page: the exit-event rule refuses before
    // anything is copied, and the rates are snapped on the way in.
    Binding().Custom(
        [this](const CSaverSettings& s) {
            fields_ = LoadAdvOptFields(s);
            ShowFields();
        },
        [this]() -> std::optional<Refusal> {
            ReadControls();
            if (AnyExitEvent(fields_))
                return std::nullopt;
            return Refusal{IDS_WRONG_PARAMETER, QString::fromUtf8(LoadStringId(IDS_EXIT_EVENT_NEEDED)),
                           Control(IDC_EXIT_MOUSE_MOVE), BalloonIcon::Error};
        },
        [this](CSaverSettings& s) { SaveAdvOptFields(fields_, s); });

    if (auto* aspect = ControlAs<QAbstractButton>(IDC_KEEP_ASPECT))
        connect(aspect, &QAbstractButton::clicked, this, &CAdvOptDlg::ApplyTransparencyRule);
}

QSlider* CAdvOptDlg::SliderControl(int id) const
{
    return ControlAs<QSlider>(id);
}

// The check boxes come from the loading exchange; the sliders are set once,
// by the initialisation.
void CAdvOptDlg::ShowFields()
{
    for (const CheckBinding& c : kChecks)
        if (auto* box = ControlAs<QAbstractButton>(c.id))
            box->setChecked(fields_.*c.field != 0);
}

void CAdvOptDlg::OnInitPage()
{
    ApplyTransparencyRule();
    for (const SliderBinding& b : kSliders) {
        if (QSlider* slider = SliderControl(b.id)) {
            slider->setRange(b.min, b.max);
            slider->setValue(fields_.*b.field);
        }
    }
}

void CAdvOptDlg::ReadControls()
{
    for (const CheckBinding& c : kChecks)
        if (auto* box = ControlAs<QAbstractButton>(c.id))
            fields_.*c.field = box->isChecked() ? 1 : 0;
    for (const SliderBinding& b : kSliders)
        if (QSlider* slider = SliderControl(b.id))
            fields_.*b.field = slider->value();
}

void CAdvOptDlg::ApplyTransparencyRule()
{
    auto* aspect = ControlAs<QAbstractButton>(IDC_KEEP_ASPECT);
    auto* floating = ControlAs<QAbstractButton>(IDC_FLOATING);
    auto* transparent = ControlAs<QAbstractButton>(IDC_TRANSPARENT);
    if (!aspect || !floating || !transparent)
        return;
    const TransparentBox box =
        ::ApplyTransparencyRule(aspect->isChecked(), floating->isChecked(), transparent->isChecked());
    transparent->setEnabled(box.enabled);
    transparent->setChecked(box.checked);
}

void CAdvOptDlg::SetupToolTips()
{
    for (const ToolTip& t : kToolTips)
        AddToolTip(t.controlId, t.stringId);
}
