#pragma once
// The program's icons from its resources, and push buttons that show one
// beside their text.
#include <QIcon>

class QPushButton;

// Icon 100 (program), 155/156/157 (OK/Cancel/Help), 207..215 (advanced page);
// a null icon for an unknown id.
QIcon ResourceIcon(int id);

// Shows the icon beside the button's text (a missing icon leaves the text alone).
void MakeIconButton(QPushButton* button, int iconId);
