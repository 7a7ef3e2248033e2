#include "config/config_sheet.h"

#include "app/profile_store.h"
#include "app/saver_settings.h"
#include "config/about_page.h"
#include "config/adv_opt_dlg.h"
#include "config/browse_folder.h"
#include "config/images_page.h"
#include "config/more_options_page.h"
#include "config/sound_page.h"
#include "res/string_table.h"

namespace {
template <class Page>
CResizableSheet::PageMaker Maker()
{
    return [](const DialogTemplate& dialog, SheetContext& context, QWidget* parent) -> CConfigPage* {
        return new Page(dialog, context, parent);   // owned by the sheet's page holder
    };
}
} // namespace

std::vector<CResizableSheet::PageEntry> SheetPages()
{
    return {
        {kImagesPageId, Maker<CImagesPage>(), QStringLiteral("Images List")},
        {kAdvancedPageId, Maker<CAdvOptDlg>(), QStringLiteral("Advanced Options")},
        {kSoundsPageId, Maker<CConfigSoundDlg>(), QStringLiteral("Sounds")},
        {kMoreOptionsPageId, Maker<CMoreOptionsPage>(), QStringLiteral("More Options")},
        {kAboutPageId, Maker<CAboutPage>(), QStringLiteral("About")},
    };
}

bool SaveSettingsAtomically(const CSaverSettings& settings, ProfileStore& store)
{
    BatchingProfileStore batch(store);
    settings.Save(batch);
    return store.WriteBatch(batch.Writes());
}

std::unique_ptr<CResizableSheet> MakeConfigurationSheet(SheetContext& context, QWidget* parent)
{
    return std::make_unique<CResizableSheet>(
        QString::fromUtf8(LoadStringId(IDS_CAPTION)), context, SheetPages(),
        [&context] { return SaveSettingsAtomically(context.settings, context.store); }, parent);
}

bool RunConfigurationSheet(CSaverSettings& settings, ProfileStore& store)
{
    DialogFolderChooser chooser;
    SheetContext context{settings, store, chooser};
    std::unique_ptr<CResizableSheet> sheet = MakeConfigurationSheet(context);
    return sheet->exec() == QDialog::Accepted;
}
