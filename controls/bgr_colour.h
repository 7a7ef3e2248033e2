#pragma once
// Settings hold colours as 0x00BBGGRR; Qt holds them as QColor.
#include <QColor>

#include <cstdint>

QColor ColourFromBgr(uint32_t bgr);
uint32_t BgrFromColour(const QColor& colour);
