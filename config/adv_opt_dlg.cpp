#include "config/adv_opt_dlg.h"

#include "config/adv_opt_rules.h"
#include "res/string_table.h"

#include <QAbstractButton>

namespace {
enum ControlId {
    kExitMouseMove = 1071,
    kExitMouseClick = 1072,
    kExitKeyPress = 1073,
    kKeepAspect = 1173,
    kFloating = 1175,
    kTransparent = 1177,
};
// The spin and speed sliders; the size slider is not snapped.
constexpr int kRateSliders[] = {1000, 1001, 1166, 1002, 1003, 1006};
} // namespace

CAdvOptDlg::CAdvOptDlg(const DialogTemplate& dialog, SheetContext& context, QWidget* parent)
    : CConfigPage(dialog, context, parent)
{
    for (int id : kRateSliders)
        Binding().Adjust(id, SnapRate);
    // The show needs a way out: without one nothing is stored.
    Binding().AddCheck([this]() -> std::optional<Refusal> {
        for (int id : {kExitMouseMove, kExitMouseClick, kExitKeyPress})
            if (auto* box = ControlAs<QAbstractButton>(id); box && box->isChecked())
                return std::nullopt;
        return Refusal{IDS_WRONG_PARAMETER, QString::fromUtf8(LoadStringId(IDS_EXIT_EVENT_NEEDED)), kExitMouseMove,
                       BalloonIcon::Error};
    });
    // However the mark changes: a click, a key, or a screen reader's toggle.
    if (auto* aspect = ControlAs<QAbstractButton>(kKeepAspect))
        connect(aspect, &QAbstractButton::toggled, this, &CAdvOptDlg::ApplyTransparencyRule);
}

void CAdvOptDlg::OnInitPage()
{
    ApplyTransparencyRule();
}

void CAdvOptDlg::ApplyTransparencyRule()
{
    auto* aspect = ControlAs<QAbstractButton>(kKeepAspect);
    auto* floating = ControlAs<QAbstractButton>(kFloating);
    auto* transparent = ControlAs<QAbstractButton>(kTransparent);
    if (!aspect || !floating || !transparent)
        return;
    const TransparentBox box =
        ::ApplyTransparencyRule(aspect->isChecked(), floating->isChecked(), transparent->isChecked());
    transparent->setEnabled(box.enabled);
    transparent->setChecked(box.checked);
}
