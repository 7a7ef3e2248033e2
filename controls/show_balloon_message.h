#pragma once
// The configuration pages' way to show a balloon: texts from the string table,
// pointing at a control of the page or at the pointer.
#include "controls/balloon_message.h"

#include <QString>

class QWidget;

// Anchor: the centre of the control's rectangle in the page, or the pointer
// when control is null. Options 0x04A8: left press, right press, any key and
// the close button close it.
void ShowBalloonMessage(int titleId, int textId, QWidget* page, QWidget* control, BalloonIcon icon,
                        int displayTimeMs = 15000);
// The same with a text already formatted (for example one holding a folder name).
void ShowBalloonMessage(int titleId, const QString& text, QWidget* page, QWidget* control,
                        BalloonIcon icon, int displayTimeMs = 15000);

// The anchor ShowBalloonMessage uses for a control: the centre of its
// rectangle in the page's coordinates, by integer halves.
QPoint ControlAnchorInPage(QWidget* page, QWidget* control);
