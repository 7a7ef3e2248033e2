#include "config/config_page.h"

#include "app/profile_store.h"
#include "app/saver_settings.h"
#include "controls/colour_popup.h"   // completes the picker's pop-up pointer
#include "controls/controls.h"
#include "res/string_table.h"

#include <QShortcut>
#include <QTimer>

CConfigPage::CConfigPage(const DialogTemplate& dialog, SheetContext& context, QWidget* parent)
    : CResizablePage(dialog, parent), context_(context), binding_(this)
{
    // Inside the sheet F1 is the sheet's, wherever the focus is; two shortcuts
    // for one key would cancel each other out.
    if (!parent) {
        auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
        connect(help, &QShortcut::activated, this, &CConfigPage::RequestHelp);
    }
}

void CConfigPage::RequestHelp()
{
    if (OffersHelp())
        ShowHelp();
}

void CConfigPage::Initialise()
{
    if (initialised_)
        return;
    initialised_ = true;
    binding_.Load(context_.settings);
    OnInitPage();
    // The tool tips come once the page is on screen, as a posted message would.
    QTimer::singleShot(0, this, [this] {
        SetupToolTips();
        toolTipsReady_ = true;
        emit ToolTipsSet();
    });
    emit Initialised();
}

bool CConfigPage::SaveExchange()
{
    if (!initialised_)
        return true;
    if (!binding_.Save(context_.settings)) {
        const Refusal& r = *binding_.LastRefusal();
        int id = -1;
        for (const DialogControl& c : Template().controls)
            if (c.id >= 0 && Control(c.id) == r.control)
                id = c.id;
        lastBalloon_ = ShownBalloon{r.titleId, r.text, id, r.icon};
        return false;
    }
    return true;
}

void CConfigPage::ShowPageBalloon(int titleId, const QString& text, int controlId, BalloonIcon icon)
{
    lastBalloon_ = ShownBalloon{titleId, text, controlId, icon};
    ShowBalloonMessage(titleId, text, this, controlId >= 0 ? Control(controlId) : nullptr, icon);
}

void CConfigPage::AddToolTip(int controlId, int stringId)
{
    if (QWidget* control = Control(controlId))
        SetControlToolTip(control, QString::fromUtf8(LoadStringId(stringId)));
}

void CConfigPage::ShowHelp()
{
    ShowPageBalloon(IDS_APP_NAME, QString::fromUtf8(LoadStringId(IDS_HELP_HOVER)), -1, BalloonIcon::Information);
}

QString NotWrittenText(const ProfileStore& store)
{
    const std::string where = store.Location();
    if (where.empty())
        return QStringLiteral("The settings could not be saved.");
    return QStringLiteral("The settings could not be saved to %1.").arg(QString::fromStdString(where));
}
