#pragma once
// Tool tips of the pages' controls: long texts wrap at 400 pixels.
#include <QString>

class QWidget;

inline constexpr int kToolTipMaxWidth = 400;

void SetControlToolTip(QWidget* control, const QString& text);

// The tool-tip markup SetControlToolTip uses: escaped plain text that wraps
// at the maximum width when it is longer than that.
QString WrappedToolTip(const QString& text, int textWidthPx);
