#include "config/more_options_page.h"

#include "app/saver_settings.h"

#include <QAbstractButton>
#include <QLabel>

namespace {
enum ControlId {
    kNeverRepeat = 1181,
    kKeysNote = 1185,
};
} // namespace

CMoreOptionsPage::CMoreOptionsPage(const DialogTemplate& dialog, SheetContext& context, QWidget* parent)
    : CConfigPage(dialog, context, parent)
{
    // The note is a sentence, not a line: it wraps, and reflows as the sheet grows.
    if (auto* note = ControlAs<QLabel>(kKeysNote)) {
        note->setWordWrap(true);
        note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
}

void CMoreOptionsPage::OnInitPage()
{
    ApplyOrderRule();
}

// The Images List page may have changed the order since this page was last
// shown; its exchange has run by the time another page comes up.
void CMoreOptionsPage::showEvent(QShowEvent* event)
{
    CConfigPage::showEvent(event);
    ApplyOrderRule();
}

// Sequential order never repeats a photo anyway, so the box only means
// something in random order. Its mark stays, ready for when random order
// comes back.
void CMoreOptionsPage::ApplyOrderRule()
{
    if (auto* box = ControlAs<QAbstractButton>(kNeverRepeat))
        box->setEnabled(Settings().Random != 0);
}
