#include "controls/show_balloon_message.h"

#include "res/string_table.h"

#include <QCursor>
#include <QWidget>

QPoint ControlAnchorInPage(QWidget* page, QWidget* control)
{
    const QPoint topLeft = control->mapTo(page, QPoint(0, 0));
    const int left = topLeft.x();
    const int top = topLeft.y();
    const int right = left + control->width();
    const int bottom = top + control->height();
    return QPoint((left + right) / 2, (top + bottom) / 2);
}

void ShowBalloonMessage(int titleId, const QString& text, QWidget* page, QWidget* control, BalloonIcon icon,
                        int displayTimeMs)
{
    QPoint anchor;
    if (page && control && (control == page || page->isAncestorOf(control)))
        anchor = ControlAnchorInPage(page, control);
    else if (page)
        anchor = page->mapFromGlobal(QCursor::pos());
    else
        anchor = QCursor::pos();
    LaunchBalloon(QString::fromUtf8(LoadStringId(titleId)), text, anchor, icon, kBalloonPageOptions, page,
                  QString(), displayTimeMs);
}

void ShowBalloonMessage(int titleId, int textId, QWidget* page, QWidget* control, BalloonIcon icon,
                        int displayTimeMs)
{
    ShowBalloonMessage(titleId, QString::fromUtf8(LoadStringId(textId)), page, control, icon, displayTimeMs);
}
