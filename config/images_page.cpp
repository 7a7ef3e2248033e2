#include "config/images_page.h"

#include "app/saver_settings.h"
#include "controls/colour_popup.h"   // completes the picker's pop-up pointer
#include "controls/controls.h"
#include "controls/up_down.h"
#include "media/image_list.h"
#include "res/string_table.h"

#include <QCheckBox>

CImagesPage::CImagesPage(const DialogTemplate& dialog, SheetContext& context, QWidget* parent)
    : CFolderListPage(dialog, context,
                      {kFolders, kCounter, kReset, IDS_IMAGES_FOLDERS, "Img", "LastImageIndex",
                       IDS_IMAGE_INDEX_RESET},
                      parent)
{
    if (auto* colour = ControlAs<CColourPickerXP>(kBackground)) {
        colour->SetCustomText(QString::fromUtf8(LoadStringId(IDS_MORE_COLORS)));
        colour->SetDefaultText(QString());
        colour->SetRegSection(QString());
    }

    PageBinding& b = Binding();
    b.Check(Control(kRecursive), &CSaverSettings::Recursive);
    b.Integer(Control(kDelay), &CSaverSettings::Delay).MustBePositive(IDS_WRONG_PARAMETER, IDS_MUST_BE_POSITIVE);
    b.Check(Control(kRandom), &CSaverSettings::Random);
    b.Check(Control(kRestart), &CSaverSettings::SaveLastImage);
    b.Colour(Control(kBackground), &CSaverSettings::BackColor);
    b.Folders(Control(kFolders), &CSaverSettings::ImageFolders);

    for (int id : {kRandom, kRestart})
        if (auto* box = ControlAs<QCheckBox>(id))
            connect(box, &QCheckBox::clicked, this, [this] { ApplyEnableRules(); });
}

void CImagesPage::OnInitPage()
{
    CFolderListPage::OnInitPage();
    if (auto* spin = ControlAs<CUpDown>(kDelaySpin))
        spin->SetRange(1, 3600);
    ApplyEnableRules();
}

void CImagesPage::ApplyEnableRules()
{
    auto* random = ControlAs<QCheckBox>(kRandom);
    auto* restart = ControlAs<QCheckBox>(kRestart);
    const bool sequential = !random->isChecked();
    restart->setEnabled(sequential);
    Control(kReset)->setEnabled(sequential && restart->isChecked());
}

int CImagesPage::CountFilesNow()
{
    return BuildImageList(Settings(), true);
}

void CImagesPage::SetupToolTips()
{
    AddToolTip(kRecursive, IDS_TIP_IMG_RECURSIVE);
    AddToolTip(kFolders, IDS_TIP_IMG_FOLDERS);
    AddToolTip(kCountFiles, IDS_TIP_IMG_COUNT);
    AddToolTip(kAddDirectory, IDS_TIP_ADD_DIRECTORY);
    AddToolTip(kAddSubDir, IDS_TIP_ADD_SUBDIR);
    AddToolTip(kRemoveSelected, IDS_TIP_REMOVE_SELECTED);
    AddToolTip(kSelectAll, IDS_TIP_SELECT_ALL);
    AddToolTip(kDeselectAll, IDS_TIP_DESELECT_ALL);
    AddToolTip(kEnableAll, IDS_TIP_ENABLE_ALL);
    AddToolTip(kBackground, IDS_TIP_BACKGROUND);
    AddToolTip(kDelay, IDS_TIP_DELAY);
    AddToolTip(kRandom, IDS_TIP_IMG_RANDOM);
    AddToolTip(kRestart, IDS_TIP_IMG_RESTART);
    AddToolTip(kReset, IDS_TIP_IMG_RESET);
}
