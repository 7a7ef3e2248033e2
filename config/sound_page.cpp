#include "config/sound_page.h"

#include "app/saver_settings.h"
#include "media/sound_list.h"
#include "res/string_table.h"

#include <QCheckBox>

CConfigSoundDlg::CConfigSoundDlg(const DialogTemplate& dialog, SheetContext& context, QWidget* parent)
    : CFolderListPage(dialog, context,
                      {kFolders, kCounter, kReset, IDS_SOUND_FOLDERS, "Sound", "LastSoundIndex",
                       IDS_SOUND_INDEX_RESET},
                      parent)
{
    PageBinding& b = Binding();
    b.Check(Control(kRecursive), &CSaverSettings::SndRecursive);
    b.Check(Control(kRandom), &CSaverSettings::SndRandom);
    b.Check(Control(kRestart), &CSaverSettings::SaveLastSound);
    b.Folders(Control(kFolders), &CSaverSettings::SoundFolders);
    // Loading ends with the two rules, so a record with both random and
    // restart on shows restart off.
    b.Custom(
        [this](const CSaverSettings&) {
            ApplyRandomRule();
            ApplyResetRule();
        },
        nullptr, nullptr);

    if (auto* random = ControlAs<QCheckBox>(kRandom))
        connect(random, &QCheckBox::clicked, this, [this] {
            ApplyRandomRule();
            ApplyResetRule();
        });
    if (auto* restart = ControlAs<QCheckBox>(kRestart))
        connect(restart, &QCheckBox::clicked, this, [this] { ApplyResetRule(); });
}

void CConfigSoundDlg::ApplyRandomRule()
{
    auto* restart = ControlAs<QCheckBox>(kRestart);
    if (ControlAs<QCheckBox>(kRandom)->isChecked()) {
        restart->setChecked(false);
        restart->setEnabled(false);
    } else {
        restart->setEnabled(true);
    }
}

void CConfigSoundDlg::ApplyResetRule()
{
    Control(kReset)->setEnabled(ControlAs<QCheckBox>(kRestart)->isChecked());
}

int CConfigSoundDlg::CountFilesNow()
{
    return BuildSndList(Settings(), true);
}

void CConfigSoundDlg::SetupToolTips()
{
    AddToolTip(kRecursive, IDS_TIP_SND_RECURSIVE);
    AddToolTip(kFolders, IDS_TIP_SND_FOLDERS);
    AddToolTip(kRandom, IDS_TIP_SND_RANDOM);
    AddToolTip(kCountFiles, IDS_TIP_SND_COUNT);
    AddToolTip(kRestart, IDS_TIP_SND_RESTART);
    AddToolTip(kReset, IDS_TIP_SND_RESET);
}
