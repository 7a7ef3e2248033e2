#include "config/images_page.h"

#include "app/saver_settings.h"
#include "controls/colour_popup.h"   // completes the picker's pop-up pointer
#include "controls/controls.h"
#include "media/image_list.h"
#include "res/string_table.h"

#include <QAbstractButton>

namespace {
enum ControlId {
    kFolders = 1003,
    kCounter = 1024,
    kBackground = 1055,
    kRandom = 1008,
    kRestart = 1047,
    kReset = 1067,
};
} // namespace

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
    // However the mark changes: a click, a key, or a screen reader's toggle.
    for (int id : {kRandom, kRestart})
        if (auto* box = ControlAs<QAbstractButton>(id))
            connect(box, &QAbstractButton::toggled, this, [this] { ApplyEnableRules(); });
}

void CImagesPage::OnInitPage()
{
    CFolderListPage::OnInitPage();
    ApplyEnableRules();
}

// Restarting from the last image means nothing in random order.
void CImagesPage::ApplyEnableRules()
{
    auto* random = ControlAs<QAbstractButton>(kRandom);
    auto* restart = ControlAs<QAbstractButton>(kRestart);
    QWidget* reset = Control(kReset);
    if (!random || !restart || !reset)
        return;
    const bool sequential = !random->isChecked();
    restart->setEnabled(sequential);
    reset->setEnabled(sequential && restart->isChecked());
}

int CImagesPage::CountFilesNow()
{
    return BuildImageList(Settings(), true);
}
