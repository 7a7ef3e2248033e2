#include "controls/colour_popup.h"

#include "app/profile_store.h"
#include "controls/bgr_colour.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QToolTip>

#include <string>

namespace {
IntRect ToIntRect(const QRect& r)
{
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QRect ToQRect(const IntRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

QScreen* ScreenNearest(const QRect& r)
{
    if (QScreen* s = QGuiApplication::screenAt(r.center()))
        return s;
    QScreen* best = QGuiApplication::primaryScreen();
    long bestDistance = -1;
    for (QScreen* s : QGuiApplication::screens()) {
        const QPoint d = s->geometry().center() - r.center();
        const long distance = static_cast<long>(d.x()) * d.x() + static_cast<long>(d.y()) * d.y();
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = s;
        }
    }
    return best;
}

// Menu colours of the flat look, from the palette.
QColor MenuColour(const QPalette& p) { return p.color(QPalette::Window); }
QColor HighlightColour(const QPalette& p) { return p.color(QPalette::Highlight); }
QColor SecondShade(const QPalette& p)
{
    const QColor m = MenuColour(p);
    const QColor h = HighlightColour(p);
    const uint32_t shade = ColourPopupShade(static_cast<uint32_t>(m.rgb() & 0xFFFFFF),
                                            static_cast<uint32_t>(h.rgb() & 0xFFFFFF));
    return QColor::fromRgb(static_cast<QRgb>(shade));
}
} // namespace

CColourPopup::CColourPopup(QRect buttonOnScreen, uint32_t colour, const QString& defaultText,
                           const QString& customText, const QString& regSection, ProfileStore* store,
                           QWidget* owner)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint),
      initial_(colour),
      selectedColour_(colour),
      defaultText_(defaultText),
      customText_(customText),
      regSection_(regSection),
      store_(store)
{
    setObjectName(QStringLiteral("colourPopup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    setAccessibleName(tr("Colours"));

    menuFont_ = QApplication::font("QMenu");
    const int edge = 2;
    ColourPopupMetrics m;
    m.edge = edge;
    m.cell = ColourCellSize(edge);
    if (!defaultText_.isEmpty() || !customText_.isEmpty()) {
        const QFontMetrics fm(menuFont_);
        const QSize a = fm.size(Qt::TextSingleLine, defaultText_);
        const QSize b = fm.size(Qt::TextSingleLine, customText_);
        m.textExtent = {std::max(a.width(), b.width()), std::max(a.height(), b.height())};
    }
    layout_ = ComputeColourPopupLayout(Entries(), m);

    QScreen* screen = ScreenNearest(buttonOnScreen);
    const QRect monitor = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const IntPoint at = PlaceColourPopup(ToIntRect(buttonOnScreen), layout_.window, ToIntRect(monitor));
    setGeometry(at.x, at.y, layout_.window.width, layout_.window.height);

    selected_ = InitialColourSelection(colour, ColourTable(), Entries());
}

ColourPopupEntries CColourPopup::Entries() const
{
    return {static_cast<int>(ColourTable().size()), !defaultText_.isEmpty(), !customText_.isEmpty()};
}

QRect CColourPopup::RectOf(int index) const
{
    if (index == kDefaultEntry)
        return ToQRect(layout_.defaultEntry);
    if (index == kCustomEntry)
        return ToQRect(layout_.customEntry);
    if (index >= 0 && index < Entries().count)
        return ToQRect(layout_.Cell(index));
    return QRect();
}

QPoint CColourPopup::CentreOf(int index) const
{
    return RectOf(index).center();
}

void CColourPopup::Select(int index)
{
    if (index == selected_)
        return;
    const QRect old = RectOf(selected_);
    selected_ = index;
    if (index >= 0 && index < Entries().count)
        selectedColour_ = ColourTable()[static_cast<std::size_t>(index)].value;
    else if (index == kDefaultEntry)
        selectedColour_ = kAutomaticColour;
    else
        selectedColour_ = initial_;
    // Screen readers hear the colour under the selection.
    if (index >= 0 && index < Entries().count)
        setAccessibleDescription(QString::fromUtf8(ColourTable()[static_cast<std::size_t>(index)].name).trimmed());
    else if (index == kDefaultEntry)
        setAccessibleDescription(defaultText_);
    else if (index == kCustomEntry)
        setAccessibleDescription(customText_);
    update(old.adjusted(-1, -1, 1, 1));
    update(RectOf(index).adjusted(-1, -1, 1, 1));
    emit SelChange(selectedColour_);
}

bool CColourPopup::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const IntPoint p{help->pos().x(), help->pos().y()};
        const int index = layout_.HitTest(p, Entries().count);
        if (index >= 0) {
            QToolTip::showText(help->globalPos(),
                               QString::fromUtf8(ColourTable()[static_cast<std::size_t>(index)].name), this,
                               RectOf(index));
        } else {
            QToolTip::hideText();
            e->ignore();
        }
        return true;
    }
    return QWidget::event(e);
}

void CColourPopup::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette pal = QApplication::palette("QMenu");   // the flat menu look
    const QColor menu = MenuColour(pal);
    const QColor highlight = HighlightColour(pal);
    const QColor shade = SecondShade(pal);
    const QColor line = pal.color(QPalette::Mid);

    p.fillRect(rect(), menu);
    p.setPen(line);
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    const int count = Entries().count;
    for (int i = 0; i < count; ++i) {
        const QRect cell = ToQRect(layout_.Cell(i));
        if (i == selected_) {
            p.fillRect(cell, shade);
            p.setPen(highlight);
            p.drawRect(cell.adjusted(0, 0, -1, -1));
        }
        const QRect swatch = cell.adjusted(3, 3, -3, -3);
        p.fillRect(swatch, ColourFromBgr(ColourTable()[static_cast<std::size_t>(i)].value));
        p.setPen(line);
        p.drawRect(swatch.adjusted(0, 0, -1, -1));
    }

    p.setFont(menuFont_);
    auto drawEntry = [&](int index, const QString& text, bool lineAbove) {
        const QRect r = RectOf(index);
        if (r.isEmpty())
            return;
        if (lineAbove) {
            p.setPen(line);
            p.drawLine(r.left(), r.top() - 2, r.right(), r.top() - 2);
        }
        if (index == selected_) {
            p.fillRect(r, shade);
            p.setPen(highlight);
            p.drawRect(r.adjusted(0, 0, -1, -1));
        }
        p.setPen(pal.color(QPalette::WindowText));
        p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, text);
    };
    drawEntry(kDefaultEntry, defaultText_, false);
    drawEntry(kCustomEntry, customText_, true);
}

void CColourPopup::mouseMoveEvent(QMouseEvent* event)
{
    if (ended_)
        return;
    const QPoint pos = event->position().toPoint();
    if (!rect().contains(pos))
        return;
    const int index = layout_.HitTest({pos.x(), pos.y()}, Entries().count);
    if (index != kNoSelection)
        Select(index);
}

void CColourPopup::mousePressEvent(QMouseEvent* event)
{
    // A press on the button that opened the pop-up only closes it: where the
    // platform replays such a press, the button would open the pop-up again.
    const QWidget* owner = parentWidget();
    if (owner && !rect().contains(event->position().toPoint()) &&
        QRect(owner->mapToGlobal(QPoint(0, 0)), owner->size()).contains(event->globalPosition().toPoint()))
        setAttribute(Qt::WA_NoMouseReplay);
    QWidget::mousePressEvent(event);   // outside: closes, which counts as cancel
}

void CColourPopup::mouseReleaseEvent(QMouseEvent* event)
{
    if (ended_)
        return;
    const QPoint pos = event->position().toPoint();
    if (!rect().contains(pos)) {
        EndWithCancel();
        return;
    }
    const int index = layout_.HitTest({pos.x(), pos.y()}, Entries().count);
    if (index != kNoSelection)
        Select(index);
    EndWithOk();
}

void CColourPopup::keyPressEvent(QKeyEvent* event)
{
    if (ended_)
        return;
    switch (event->key()) {
    case Qt::Key_Left: Select(MoveColourSelection(selected_, ColourKey::Left, Entries())); break;
    case Qt::Key_Right: Select(MoveColourSelection(selected_, ColourKey::Right, Entries())); break;
    case Qt::Key_Up: Select(MoveColourSelection(selected_, ColourKey::Up, Entries())); break;
    case Qt::Key_Down: Select(MoveColourSelection(selected_, ColourKey::Down, Entries())); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: EndWithOk(); break;
    case Qt::Key_Escape: EndWithCancel(); break;
    default: event->ignore(); return;
    }
    event->accept();
}

void CColourPopup::EndWithCancel()
{
    Finish(false);
}

void CColourPopup::EndWithOk()
{
    if (selected_ == kCustomEntry) {
        if (!ChooseCustom()) {
            Finish(false);
            return;
        }
    }
    Finish(true);
}

void CColourPopup::Finish(bool ok)
{
    if (ended_)
        return;
    ended_ = true;
    if (!ok)
        selectedColour_ = initial_;
    const uint32_t colour = selectedColour_;
    QPointer<CColourPopup> self(this);
    if (ok)
        emit EndOK(colour);
    else
        emit EndCancel(colour);
    if (self)
        close();
}

std::array<uint32_t, 16> CColourPopup::LoadCustomColours(ProfileStore* store, const QString& section)
{
    std::array<uint32_t, 16> colours;
    colours.fill(0xFFFFFF);
    if (!store || section.isEmpty())
        return colours;
    const std::string s = section.toStdString();
    for (int i = 0; i < 16; ++i) {
        const std::string key = "CUSTOM_COLOR_" + std::to_string(i);
        colours[static_cast<std::size_t>(i)] =
            static_cast<uint32_t>(store->GetProfileInt(s, key, 0xFFFFFF)) & 0xFFFFFF;
    }
    return colours;
}

void CColourPopup::SaveCustomColours(ProfileStore* store, const QString& section,
                                     const std::array<uint32_t, 16>& colours)
{
    if (!store || section.isEmpty())
        return;
    const std::string s = section.toStdString();
    for (int i = 0; i < 16; ++i)
        store->WriteProfileInt(s, "CUSTOM_COLOR_" + std::to_string(i),
                               static_cast<int>(colours[static_cast<std::size_t>(i)] & 0xFFFFFF));
}

bool CColourPopup::ChooseCustom()
{
    // The dialog is modal; the pop-up steps aside while it is up so a click
    // in the dialog does not end the pop-up as a click outside.
    inDialog_ = true;
    hide();
    const std::array<uint32_t, 16> custom = LoadCustomColours(store_, regSection_);
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, ColourFromBgr(custom[static_cast<std::size_t>(i)]));

    QColorDialog dialog(parentWidget());
    dialog.setObjectName(QStringLiteral("colourDialog"));
    dialog.setOption(QColorDialog::DontUseNativeDialog, true);
    dialog.setCurrentColor(ColourFromBgr(initial_ == kAutomaticColour ? 0xFFFFFF : initial_));
    const bool ok = dialog.exec() == QDialog::Accepted;

    std::array<uint32_t, 16> after{};
    for (int i = 0; i < 16; ++i)
        after[static_cast<std::size_t>(i)] = BgrFromColour(QColorDialog::customColor(i));
    SaveCustomColours(store_, regSection_, after);
    inDialog_ = false;
    if (ok)
        selectedColour_ = BgrFromColour(dialog.selectedColor());
    return ok;
}

void CColourPopup::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // Lost in any other way (a click outside, another window): a cancel.
    if (!inDialog_ && !ended_)
        Finish(false);
}

void CColourPopup::closeEvent(QCloseEvent* event)
{
    if (!inDialog_ && !ended_)
        Finish(false);
    QWidget::closeEvent(event);
}
