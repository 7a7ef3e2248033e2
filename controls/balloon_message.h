#pragma once
// The balloon message: a small rounded pop-up with a tail pointing at a control
// (or at the pointer), a bold title with an icon, an optional close button and
// a word-wrapped text. It closes after its display time or on the events its
// options name.
#include "controls/balloon_geometry.h"

#include <QPointer>
#include <QPoint>
#include <QRegion>
#include <QString>
#include <QTimer>
#include <QWidget>

class QPropertyAnimation;

enum class BalloonIcon { None, Information, Warning, Error };

// Shows a balloon. The anchor is in anchorWindow's coordinates (screen
// coordinates when anchorWindow is null). The balloon deletes itself when it
// closes (option 0x0200 is always added); several may be open at once.
void LaunchBalloon(const QString& title, const QString& text, QPoint anchor, BalloonIcon icon,
                   unsigned options, QWidget* anchorWindow, const QString& link, int displayTimeMs);

// How the platform's means are stood in for:
// - The close events (options 0x0001 to 0x0080) are seen by one application-wide
//   event filter per balloon, over every window of the program; it never
//   swallows an event. The pointer is not captured, so releases over other
//   programs' windows go unseen.
// - Option 0x2000 (no drop shadow) has no effect: a frameless shaped window
//   gets no shadow without a compositor, and a compositor draws its own.
// - Fades run through windowOpacity over 200 ms; without a compositor they
//   show as an instant change and never hold up the close. When the style
//   turns tool-tip animation or fading off, there are none (0x4000 | 0x8000).
// - The balloon also closes when its anchor window (or one holding it) hides.
class CBalloonMessage : public QWidget {
    Q_OBJECT
public:
    CBalloonMessage(const QString& title, const QString& text, QPoint anchor, BalloonIcon icon,
                    unsigned options, QWidget* anchorWindow, const QString& link, int displayTimeMs);
    ~CBalloonMessage() override;

    // Places, shows (fading in unless told not to) and starts the timer.
    void Launch();
    // What a timer, an event or the close button asks for.
    void RequestClose();

    unsigned Options() const { return options_; }
    int Quadrant() const { return placement_.quadrant; }
    // The tail's tip in screen coordinates.
    QPoint TipOnScreen() const;
    QRect CloseButtonRect() const { return closeButton_; }
    // The tail's base, tip and base in the window's coordinates.
    std::array<QPoint, 3> Tail() const;
    bool IsClosing() const { return closing_; }
    // Where the pointer was when the balloon was shown.
    QPoint LaunchPoint() const { return launchPoint_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class ButtonState { Normal, Hot, Pushed };

    void Measure();
    void Place();
    void PostCloseRequest();
    void FinishClose();
    void StartTimer();
    QRect WorkArea(QPoint anchorOnScreen) const;
    QPoint AnchorOnScreen() const;

    QString title_;
    QString text_;
    QPoint anchor_;
    BalloonIcon icon_;
    unsigned options_;
    QPointer<QWidget> anchorWindow_;
    bool hadAnchorWindow_;
    QString link_;
    int displayTimeMs_;

    QFont bodyFont_;
    QFont titleFont_;
    IntSize windowSize_;
    IntSize bodySize_;
    IntSize headerSize_;
    int iconSize_ = 16;
    int buttonSize_ = 16;
    BalloonPlacement placement_;
    QRegion region_;
    QRect closeButton_;
    ButtonState buttonState_ = ButtonState::Normal;
    QPoint launchPoint_;
    int hoverTolerance_ = 3;
    QTimer timer_;
    QPointer<QPropertyAnimation> fade_;
    bool closeRequestPending_ = false;
    bool closing_ = false;
    bool bodyPressed_ = false;
    bool buttonPressed_ = false;
};
