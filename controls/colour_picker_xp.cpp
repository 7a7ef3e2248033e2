#include "controls/colour_picker_xp.h"

#include "controls/colour_popup.h"
#include "res/string_table.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QTextDocumentFragment>
#include <QStyle>
#include <QStyleOptionButton>

CColourPickerXP::CColourPickerXP(QWidget* parent)
    : QPushButton(parent),
      defaultText_(QStringLiteral("Automatic")),
      customText_(QString::fromUtf8(LoadStringId(IDS_MORE_COLORS)))
{
    setMinimumSize(40, 20);
    // Opens on the click, not the press: a press-opened pop-up would take the
    // same click's release as a release outside it and cancel at once.
    connect(this, &QPushButton::clicked, this, &CColourPickerXP::OpenPopup);
    UpdateAccessibility();
}

CColourPickerXP::~CColourPickerXP()
{
    if (popup_) {
        popup_->disconnect(this);
        popup_->close();
    }
}

void CColourPickerXP::SetColor(uint32_t bgr)
{
    if (bgr != kAutomaticColour)
        bgr &= 0xFFFFFF;
    colour_ = bgr;
    committed_ = bgr;
    UpdateAccessibility();
    update();
}

QColor CColourPickerXP::AutomaticColour() const
{
    return palette().color(QPalette::Window);
}

void CColourPickerXP::UpdateAccessibility()
{
    // The button shows no text; screen readers get the first words of its
    // tool tip (or a plain name) and the colour as its description.
    QString name = QTextDocumentFragment::fromHtml(toolTip()).toPlainText();
    name = name.section(QLatin1Char('.'), 0, 0).simplified();
    if (name.size() > 40)
        name = name.left(40).section(QLatin1Char(' '), 0, -2);
    setAccessibleName(name.isEmpty() ? tr("Colour") : name);
    if (colour_ == kAutomaticColour) {
        setAccessibleDescription(defaultText_.isEmpty() ? QStringLiteral("Automatic") : defaultText_);
        return;
    }
    QString description = ColourFromBgr(colour_).name(QColor::HexRgb);
    for (const ColourTableEntry& e : ColourTable())
        if (e.value == colour_)
            description = QString::fromUtf8(e.name).trimmed() + QStringLiteral(" (") + description + QLatin1Char(')');
    setAccessibleDescription(description);
}

bool CColourPickerXP::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTipChange)
        UpdateAccessibility();
    return QPushButton::event(e);
}

void CColourPickerXP::keyPressEvent(QKeyEvent* event)
{
    // The keys that drop down a list box drop down the grid too.
    if (event->key() == Qt::Key_F4 || (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier))) {
        OpenPopup();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void CColourPickerXP::OpenPopup()
{
    if (popup_)
        return;
    const QRect onScreen(mapToGlobal(QPoint(0, 0)), size());
    auto* popup = new CColourPopup(onScreen, colour_, defaultText_, customText_, regSection_, store_, this);
    popup_ = popup;
    connect(popup, &CColourPopup::SelChange, this, &CColourPickerXP::OnPopupSelChange);
    connect(popup, &CColourPopup::EndOK, this, &CColourPickerXP::OnPopupEndOK);
    connect(popup, &CColourPopup::EndCancel, this, &CColourPickerXP::OnPopupEndCancel);
    setDown(true);
    popup->show();
    emit DropDown(colour_);
}

void CColourPickerXP::OnPopupSelChange(uint32_t colour)
{
    if (trackSelection_) {
        colour_ = colour;
        update();
    }
    emit SelChange(colour);
}

void CColourPickerXP::OnPopupEndOK(uint32_t colour)
{
    setDown(false);
    const uint32_t before = committed_;
    SetColor(colour);
    committed_ = colour_;
    emit CloseUp(colour_);
    emit SelEndOK(colour_);
    if (colour_ != before)
        emit SelChange(colour_);
}

void CColourPickerXP::OnPopupEndCancel(uint32_t colour)
{
    setDown(false);
    SetColor(committed_);
    emit CloseUp(colour_);
    emit SelEndCancel(colour_);
}

void CColourPickerXP::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &p, this);

    const bool pressed = isDown() || (option.state & QStyle::State_Sunken);
    const QPoint shift = pressed ? QPoint(1, 1) : QPoint();
    const QRect inner = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).translated(shift);
    const int arrowWidth = std::max(8, inner.height() / 2);
    const QRect arrowRect(inner.right() - arrowWidth + 1, inner.top(), arrowWidth, inner.height());
    const QRect swatch = QRect(inner.left() + 2, inner.top() + 2, arrowRect.left() - inner.left() - 7,
                               inner.height() - 4);

    const QPalette pal = palette();
    const bool enabled = isEnabled();
    QColor fill = colour_ == kAutomaticColour ? AutomaticColour() : ColourFromBgr(colour_);
    if (!enabled)
        fill = pal.color(QPalette::Disabled, QPalette::Button);
    if (swatch.width() > 0 && swatch.height() > 0) {
        p.fillRect(swatch, fill);
        p.setPen(pal.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Shadow));
        p.drawRect(swatch.adjusted(0, 0, -1, -1));
    }

    // The separating edge and the drop arrow.
    const int sepX = arrowRect.left() - 3;
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(sepX, inner.top() + 2, sepX, inner.bottom() - 2);
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(sepX + 1, inner.top() + 2, sepX + 1, inner.bottom() - 2);
    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = QRect(arrowRect.left(), arrowRect.center().y() - arrowWidth / 2, arrowWidth, arrowWidth);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &p, this);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = inner.adjusted(-1, -1, 1, 1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}
