#include "config/sound_page.h"

#include "app/saver_settings.h"
#include "media/sound_list.h"
#include "res/string_table.h"

#include <QAbstractButton>

namespace {
enum ControlId {
    kFolders = 1032,
    kCounter = 1033,
    kRandom = 1026,
    kRestart = 1066,
    kReset = 1068,
};
} // namespace

CConfigSoundDlg::CConfigSoundDlg(const DialogTemplate& dialog, SheetContext& context, QWidget* parent)
    : CFolderListPage(dialog, context,
                      {kFolders, kCounter, kReset, IDS_SOUND_FOLDERS, "Sound", "LastSoundIndex",
                       IDS_SOUND_INDEX_RESET},
                      parent)
{
    // Loading ends with the two rules, so a record with both random and
    // restart on shows restart off.
    Binding().Custom(
        [this](const CSaverSettings&) {
            ApplyRandomRule();
            ApplyResetRule();
        },
        nullptr);

    // However the mark changes: a click, a key, or a screen reader's toggle.
    if (auto* random = ControlAs<QAbstractButton>(kRandom))
        connect(random, &QAbstractButton::toggled, this, [this] {
            ApplyRandomRule();
            ApplyResetRule();
        });
    if (auto* restart = ControlAs<QAbstractButton>(kRestart))
        connect(restart, &QAbstractButton::toggled, this, [this] { ApplyResetRule(); });
}

void CConfigSoundDlg::ApplyRandomRule()
{
    auto* random = ControlAs<QAbstractButton>(kRandom);
    auto* restart = ControlAs<QAbstractButton>(kRestart);
    if (!random || !restart)
        return;
    if (random->isChecked())
        restart->setChecked(false);
    restart->setEnabled(!random->isChecked());
}

void CConfigSoundDlg::ApplyResetRule()
{
    auto* restart = ControlAs<QAbstractButton>(kRestart);
    if (QWidget* reset = Control(kReset); reset && restart)
        reset->setEnabled(restart->isChecked());
}

int CConfigSoundDlg::CountFilesNow()
{
    return BuildSndList(Settings(), true);
}
