#include "controls/control_tooltip.h"

#include <QFontMetrics>
#include <QToolTip>
#include <QWidget>

QString WrappedToolTip(const QString& text, int textWidthPx)
{
    if (text.isEmpty())
        return QString();
    QString escaped = text.toHtmlEscaped();
    escaped.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    if (textWidthPx <= kToolTipMaxWidth)
        return QStringLiteral("<qt>") + escaped + QStringLiteral("</qt>");
    // A table of fixed width makes the tool tip wrap at that width instead of
    // growing to the screen's.
    return QStringLiteral("<qt><table width=\"%1\"><tr><td>").arg(kToolTipMaxWidth) + escaped +
           QStringLiteral("</td></tr></table></qt>");
}

void SetControlToolTip(QWidget* control, const QString& text)
{
    if (!control)
        return;
    const int width = QFontMetrics(QToolTip::font()).horizontalAdvance(text);
    control->setToolTip(WrappedToolTip(text, width));
}
