#include "controls/static_link.h"

#include "res/string_table.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QUrl>

CStaticLink::CStaticLink(QWidget* parent) : CStaticLink(QString(), parent) {}

CStaticLink::CStaticLink(const QString& target, QWidget* parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::TabFocus);
    setToolTip(QString::fromUtf8(LoadStringId(IDS_LINK_TIP)));
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, pal.color(QPalette::Link));
    setPalette(pal);
    SetLink(target);
}

void CStaticLink::SetLink(const QString& target)
{
    link_ = target;
    setText(target);
    setAccessibleName(target);
    setAccessibleDescription(toolTip());
}

void CStaticLink::Open()
{
    if (link_.isEmpty())
        return;
    const bool ok = QDesktopServices::openUrl(QUrl::fromUserInput(link_));
    emit LinkOpened(link_, ok);
}

void CStaticLink::mouseReleaseEvent(QMouseEvent* event)
{
    if (!rect().contains(event->position().toPoint())) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        Open();
    } else if (event->button() == Qt::RightButton) {
        QApplication::clipboard()->setText(link_);
        emit LinkCopied(link_);
    } else {
        QLabel::mouseReleaseEvent(event);
    }
}

void CStaticLink::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space)
        Open();
    else
        QLabel::keyPressEvent(event);
}
