#pragma once
// Which screen a saver window's device belongs to, and the photo size it asks for.
#include "app/rect.h"

#include <span>

struct AdapterChoice {
    unsigned adapter = 0;
    int wantedSize = 1024;
};

// The lowest-numbered monitor the window touches (0 when it touches none), logging
// each monitor looked at, and half the window's longer side.
AdapterChoice ChooseAdapter(std::span<const Rect> monitors, const Rect& window);
