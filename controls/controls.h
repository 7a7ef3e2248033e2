#pragma once
// The controls the configuration pages are built from: balloon messages, the
// colour picker, the hyperlink label, icon buttons, tool tips.
#include "controls/balloon_message.h"
#include "controls/colour_picker_xp.h"
#include "controls/control_tooltip.h"
#include "controls/resource_icon.h"
#include "controls/show_balloon_message.h"
#include "controls/static_link.h"
