#include "config/config_page.h"

#include "app/log.h"
#include "app/profile_store.h"
#include "app/saver_settings.h"
#include "controls/colour_popup.h"   // completes the picker's pop-up pointer
#include "controls/controls.h"
#include "res/string_table.h"

#include <QShortcut>
#include <QTimer>

CConfigPage::CConfigPage(const DialogTemplate& dialog, SheetContext& context, QWidget* parent)
    : CResizablePage(dialog, parent), context_(context), binding_(*this)
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
    std::optional<Refusal> refusal = binding_.Save(context_.settings);
    if (!refusal)
        return true;
    Log("CConfigPage: %s refused: %s", Caption().toUtf8().constData(), refusal->text.toUtf8().constData());
    ShowPageBalloon(*refusal);
    if (QWidget* control = Control(refusal->controlId))
        control->setFocus(Qt::OtherFocusReason);
    return false;
}

void CConfigPage::ShowPageBalloon(const PageBalloon& balloon)
{
    lastBalloon_ = balloon;
    ShowBalloonMessage(balloon.titleId, balloon.text, this, Control(balloon.controlId), balloon.icon);
}

void CConfigPage::SetupToolTips()
{
    const std::vector<DialogControl>& rows = Template().controls;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::optional<int> id = rows[i].IntFlag("tip");
        if (!id)
            continue;
        const QString text = QString::fromUtf8(LoadStringId(*id));
        if (text.isEmpty())
            Log("CConfigPage: template %d names tool tip %d, which has no text", Template().id, *id);
        else
            SetControlToolTip(Controls()[i], text);
    }
}

void CConfigPage::ShowHelp()
{
    ShowPageBalloon({IDS_APP_NAME, QString::fromUtf8(LoadStringId(IDS_HELP_HOVER)), -1, BalloonIcon::Information});
}

QString NotWrittenText(const ProfileStore& store)
{
    const std::string where = store.Location();
    if (where.empty())
        return QStringLiteral("The settings could not be saved.");
    return QStringLiteral("The settings could not be saved to %1.").arg(QString::fromStdString(where));
}
