#include "controls/balloon_message.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QPropertyAnimation>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QUrl>

#include <algorithm>
#include <climits>

namespace {
constexpr int kFadeMs = 200;

IntRect ToIntRect(const QRect& r)
{
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QRect ToQRect(const IntRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// A rounded rectangle as a region: two crossing bands and four corner ellipses.
QRegion RoundRectRegion(const QRect& r, int diameter)
{
    const int d = std::min({diameter, r.width(), r.height()});
    const int rad = d / 2;
    QRegion region(r.adjusted(0, rad, 0, -rad));
    region += QRegion(r.adjusted(rad, 0, -rad, 0));
    region += QRegion(QRect(r.left(), r.top(), d, d), QRegion::Ellipse);
    region += QRegion(QRect(r.right() - d + 1, r.top(), d, d), QRegion::Ellipse);
    region += QRegion(QRect(r.left(), r.bottom() - d + 1, d, d), QRegion::Ellipse);
    region += QRegion(QRect(r.right() - d + 1, r.bottom() - d + 1, d, d), QRegion::Ellipse);
    return region;
}

// The region less its outermost pixel on every side.
QRegion Inner(const QRegion& r)
{
    return r & r.translated(1, 0) & r.translated(-1, 0) & r.translated(0, 1) & r.translated(0, -1);
}

QStyle::StandardPixmap StandardIcon(BalloonIcon icon)
{
    switch (icon) {
    case BalloonIcon::Information: return QStyle::SP_MessageBoxInformation;
    case BalloonIcon::Warning: return QStyle::SP_MessageBoxWarning;
    case BalloonIcon::Error: return QStyle::SP_MessageBoxCritical;
    case BalloonIcon::None: break;
    }
    return QStyle::SP_CustomBase;
}

int WrapFlags()
{
    return Qt::TextWordWrap | Qt::TextExpandTabs | Qt::AlignLeft | Qt::AlignTop;
}
} // namespace

void LaunchBalloon(const QString& title, const QString& text, QPoint anchor, BalloonIcon icon,
                   unsigned options, QWidget* anchorWindow, const QString& link, int displayTimeMs)
{
    // Owned by the anchor's window (and gone with it) or by itself: it deletes
    // itself when it closes.
    auto* balloon = new CBalloonMessage(title, text, anchor, icon, options | kBalloonDeleteWithWindow,
                                        anchorWindow, link, displayTimeMs);
    balloon->Launch();
}

CBalloonMessage::CBalloonMessage(const QString& title, const QString& text, QPoint anchor, BalloonIcon icon,
                                 unsigned options, QWidget* anchorWindow, const QString& link,
                                 int displayTimeMs)
    : QWidget(anchorWindow ? anchorWindow->window() : nullptr,
              Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                  ((options & kBalloonTopMost) ? Qt::WindowStaysOnTopHint : Qt::WindowFlags())),
      title_(title),
      text_(text),
      anchor_(anchor),
      icon_(icon),
      options_(EffectiveBalloonOptions(options & 0xFFFF,
                                       QApplication::isEffectEnabled(Qt::UI_AnimateTooltip),
                                       QApplication::isEffectEnabled(Qt::UI_FadeTooltip))),
      anchorWindow_(anchorWindow),
      hadAnchorWindow_(anchorWindow != nullptr),
      link_(link),
      displayTimeMs_(std::max(0, displayTimeMs))
{
    setObjectName(QStringLiteral("balloon"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose, (options_ & kBalloonDeleteWithWindow) != 0);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    setAccessibleName(title_);
    setAccessibleDescription(text_);

    bodyFont_ = QApplication::font();
    titleFont_ = bodyFont_;
    titleFont_.setWeight(QFont::Bold);

    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &CBalloonMessage::RequestClose);
}

CBalloonMessage::~CBalloonMessage()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

QPoint CBalloonMessage::AnchorOnScreen() const
{
    if (anchorWindow_)
        return anchorWindow_->mapToGlobal(anchor_);
    return anchor_;
}

QRect CBalloonMessage::WorkArea(QPoint anchorOnScreen) const
{
    QScreen* screen = QGuiApplication::screenAt(anchorOnScreen);
    if (!screen) {
        // Off every screen: the nearest one.
        long best = LONG_MAX;
        for (QScreen* s : QGuiApplication::screens()) {
            const QRect g = s->geometry();
            const long dx = std::max({g.left() - anchorOnScreen.x(), 0, anchorOnScreen.x() - g.right()});
            const long dy = std::max({g.top() - anchorOnScreen.y(), 0, anchorOnScreen.y() - g.bottom()});
            if (dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                screen = s;
            }
        }
    }
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

void CBalloonMessage::Measure()
{
    const QRect work = WorkArea(AnchorOnScreen());
    QStyle* st = style();
    iconSize_ = st->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    buttonSize_ = std::max(iconSize_, QFontMetrics(titleFont_).height());

    BalloonMeasures m;
    if (icon_ != BalloonIcon::None)
        m.icon = {iconSize_, iconSize_};
    m.closeButtonShown = (options_ & kBalloonShowCloseButton) != 0;
    m.closeButton = {buttonSize_, buttonSize_};
    if (!title_.isEmpty()) {
        const QSize t = QFontMetrics(titleFont_).size(Qt::TextSingleLine, title_);
        m.title = {t.width(), t.height()};
    }
    if (!text_.isEmpty()) {
        const QRect b = QFontMetrics(bodyFont_).boundingRect(
            QRect(0, 0, BalloonTextWidth(ToIntRect(work)), 100000), WrapFlags(), text_);
        m.body = {b.width(), b.height()};
    }
    const BalloonSize size = ComputeBalloonSize(m);
    windowSize_ = size.window;
    headerSize_ = size.header;
    bodySize_ = m.body;
}

void CBalloonMessage::Place()
{
    const QPoint anchor = AnchorOnScreen();
    placement_ = PlaceBalloon({anchor.x(), anchor.y()}, windowSize_, ToIntRect(WorkArea(anchor)));
    setGeometry(placement_.topLeft.x, placement_.topLeft.y, windowSize_.width, windowSize_.height);

    const QRect client = ToQRect(placement_.client);
    closeButton_ = (options_ & kBalloonShowCloseButton)
                       ? QRect(client.right() - buttonSize_ + 1, client.top(), buttonSize_, buttonSize_)
                       : QRect();

    QPolygon tail;
    for (const IntPoint& p : placement_.tail)
        tail << QPoint(p.x, p.y);
    const QRegion region = RoundRectRegion(ToQRect(placement_.body), kBalloonCornerDiameter) +
                           QRegion(tail, Qt::WindingFill);
    if (region != region_) {
        region_ = region;
        setMask(region_);
        update();
    }
}

void CBalloonMessage::Launch()
{
    Measure();
    Place();
    if (options_ & (kBalloonPointerCloseBits | kBalloonCloseOnKeyDown) || hadAnchorWindow_) {
        launchPoint_ = QCursor::pos();
        // Sees the pointer, the keys and the anchor's moves in every window of
        // the program; it never swallows an event.
        qApp->installEventFilter(this);
    }
    if (options_ & kBalloonNoFadeIn) {
        setWindowOpacity(1.0);
        show();
    } else {
        setWindowOpacity(0.0);
        show();
        auto* fade = new QPropertyAnimation(this, "windowOpacity", this);
        fade->setDuration(kFadeMs);
        fade->setStartValue(0.0);
        fade->setEndValue(1.0);
        fade_ = fade;
        fade->start(QAbstractAnimation::DeleteWhenStopped);
    }
    if (!(options_ & kBalloonDelayClose))
        StartTimer();
}

void CBalloonMessage::StartTimer()
{
    if (displayTimeMs_ > 0)
        timer_.start(displayTimeMs_);
}

QPoint CBalloonMessage::TipOnScreen() const
{
    return pos() + QPoint(placement_.tail[1].x, placement_.tail[1].y);
}

std::array<QPoint, 3> CBalloonMessage::Tail() const
{
    std::array<QPoint, 3> out;
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = QPoint(placement_.tail[i].x, placement_.tail[i].y);
    return out;
}

void CBalloonMessage::PostCloseRequest()
{
    // One click reaches the filter several times (window, widget, parents):
    // they make one request.
    if (closeRequestPending_ || closing_)
        return;
    closeRequestPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            closeRequestPending_ = false;
            RequestClose();
        },
        Qt::QueuedConnection);
}

void CBalloonMessage::RequestClose()
{
    if (closing_)
        return;
    if (options_ & kBalloonDelayClose) {
        options_ &= ~(kBalloonDelayClose | kBalloonPointerCloseBits);
        StartTimer();
        return;
    }
    closing_ = true;
    timer_.stop();
    qApp->removeEventFilter(this);
    if (fade_)
        fade_->stop();
    if (options_ & kBalloonNoFadeOut || !isVisible()) {
        FinishClose();
        return;
    }
    // Without a compositor the fade is an instant change; the close follows
    // the animation's end either way.
    auto* fade = new QPropertyAnimation(this, "windowOpacity", this);
    fade->setDuration(kFadeMs);
    fade->setStartValue(windowOpacity());
    fade->setEndValue(0.0);
    connect(fade, &QPropertyAnimation::finished, this, &CBalloonMessage::FinishClose);
    fade_ = fade;
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void CBalloonMessage::FinishClose()
{
    hide();
    close();   // deletes the balloon when it owns itself
}

bool CBalloonMessage::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick: {
        const auto* me = static_cast<QMouseEvent*>(event);
        const unsigned bit = me->button() == Qt::LeftButton    ? kBalloonCloseOnLButtonDown
                             : me->button() == Qt::MiddleButton ? kBalloonCloseOnMButtonDown
                             : me->button() == Qt::RightButton  ? kBalloonCloseOnRButtonDown
                                                                : 0u;
        if (options_ & bit)
            PostCloseRequest();
        break;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonRelease: {
        const auto* me = static_cast<QMouseEvent*>(event);
        const unsigned bit = me->button() == Qt::LeftButton    ? kBalloonCloseOnLButtonUp
                             : me->button() == Qt::MiddleButton ? kBalloonCloseOnMButtonUp
                             : me->button() == Qt::RightButton  ? kBalloonCloseOnRButtonUp
                                                                : 0u;
        if (options_ & bit)
            PostCloseRequest();
        break;
    }
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseMove:
        if (options_ & kBalloonCloseOnMouseMove) {
            const QPoint now = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
            if (BalloonPointerMovedAway({launchPoint_.x(), launchPoint_.y()}, {now.x(), now.y()},
                                        hoverTolerance_))
                PostCloseRequest();
        }
        break;
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:   // a key taken by a shortcut sends no KeyPress
        if (options_ & kBalloonCloseOnKeyDown)
            PostCloseRequest();
        break;
    case QEvent::Move:
        if (anchorWindow_ && watched->isWidgetType() && !closing_) {
            auto* w = static_cast<QWidget*>(watched);
            if (w == anchorWindow_ || w->isAncestorOf(anchorWindow_))
                Place();
        }
        break;
    case QEvent::Hide:
        // A balloon pointing into a window that went away points at nothing:
        // it goes too, delayed close or not.
        if (anchorWindow_ && watched->isWidgetType() && !closing_) {
            auto* w = static_cast<QWidget*>(watched);
            if (w == anchorWindow_ || w->isAncestorOf(anchorWindow_)) {
                options_ &= ~kBalloonDelayClose;
                PostCloseRequest();
            }
        }
        break;
    default:
        break;
    }
    return false;
}

void CBalloonMessage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette pal = QApplication::palette();
    const QColor back = pal.color(QPalette::ToolTipBase);
    const QColor fore = pal.color(QPalette::ToolTipText);

    p.setClipRegion(region_);
    p.fillRect(rect(), back);
    if (options_ & kBalloonDoubleOutline) {
        // Two soft frames inside the outline: a third and two thirds of the
        // way from the background to the text colour.
        auto mix = [&](int part) {
            return QColor((back.red() * (3 - part) + fore.red() * part) / 3,
                          (back.green() * (3 - part) + fore.green() * part) / 3,
                          (back.blue() * (3 - part) + fore.blue() * part) / 3);
        };
        const QRegion in1 = Inner(region_);
        const QRegion in2 = Inner(in1);
        const QRegion in3 = Inner(in2);
        p.setClipRegion(in1 - Inner(in3));
        p.fillRect(rect(), mix(1));
        p.setClipRegion(in1 - Inner(in2));
        p.fillRect(rect(), mix(2));
    }
    // The 1-pixel outline of the shape.
    p.setClipRegion(region_ - Inner(region_));
    p.fillRect(rect(), fore);
    p.setClipping(false);

    const QRect client = ToQRect(placement_.client);
    int left = client.left();
    int right = client.right() + 1;
    if (icon_ != BalloonIcon::None) {
        const QIcon icon = style()->standardIcon(StandardIcon(icon_), nullptr, this);
        const int y = client.top() + (headerSize_.height - iconSize_) / 2;
        icon.paint(&p, QRect(left, y, iconSize_, iconSize_));
        left += iconSize_ + kBalloonGap;
    }
    if (options_ & kBalloonShowCloseButton) {
        const QRect b = closeButton_;
        if (buttonState_ != ButtonState::Normal) {
            p.setPen(fore);
            p.setBrush(buttonState_ == ButtonState::Pushed ? fore.lighter(160) : back.darker(110));
            if (buttonState_ == ButtonState::Pushed && fore.lightness() > 128)
                p.setBrush(fore.darker(160));
            p.drawRect(b.adjusted(0, 0, -1, -1));
        }
        const int inset = std::max(3, b.width() / 4);
        const QPoint push = buttonState_ == ButtonState::Pushed ? QPoint(1, 1) : QPoint();
        QPen cross(fore, 1.6);
        cross.setCapStyle(Qt::RoundCap);
        p.setPen(cross);
        p.setRenderHint(QPainter::Antialiasing, true);
        const QRectF c = QRectF(b.adjusted(inset, inset, -inset, -inset)).translated(push);
        p.drawLine(c.topLeft(), c.bottomRight());
        p.drawLine(c.topRight(), c.bottomLeft());
        p.setRenderHint(QPainter::Antialiasing, false);
        right = b.left() - kBalloonGap;
    }
    p.setPen(fore);
    if (!title_.isEmpty()) {
        p.setFont(titleFont_);
        p.drawText(QRect(left, client.top(), std::max(0, right - left), headerSize_.height),
                   Qt::AlignCenter | Qt::TextSingleLine, title_);
    }
    p.setFont(bodyFont_);
    const int bodyTop = client.top() + headerSize_.height + kBalloonGap;
    p.drawText(QRect(client.left(), bodyTop, client.width(), bodySize_.height + 1), WrapFlags(), text_);
}

void CBalloonMessage::mouseMoveEvent(QMouseEvent* event)
{
    if (closeButton_.isNull())
        return;
    const bool over = closeButton_.contains(event->position().toPoint());
    ButtonState state = ButtonState::Normal;
    if (buttonPressed_)
        state = over ? ButtonState::Pushed : ButtonState::Normal;
    else if (over && !(event->buttons() & Qt::LeftButton))
        state = ButtonState::Hot;
    if (state != buttonState_) {
        buttonState_ = state;
        update(closeButton_);
    }
}

void CBalloonMessage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (closeButton_.contains(event->position().toPoint())) {
        buttonPressed_ = true;
        buttonState_ = ButtonState::Pushed;
        update(closeButton_);
    } else {
        bodyPressed_ = true;
    }
}

void CBalloonMessage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    if (buttonPressed_) {
        // Only a press and a release both on the button close.
        buttonPressed_ = false;
        const bool over = closeButton_.contains(pos);
        buttonState_ = over ? ButtonState::Hot : ButtonState::Normal;
        update(closeButton_);
        if (over)
            PostCloseRequest();
        return;
    }
    if (bodyPressed_) {
        bodyPressed_ = false;
        if (region_.contains(pos) && !closeButton_.contains(pos) && !link_.isEmpty()) {
            QDesktopServices::openUrl(QUrl::fromUserInput(link_));
            PostCloseRequest();
        }
    }
}

void CBalloonMessage::leaveEvent(QEvent*)
{
    if (buttonState_ == ButtonState::Hot) {
        buttonState_ = ButtonState::Normal;
        update(closeButton_);
    }
}
