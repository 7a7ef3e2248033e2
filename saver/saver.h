#pragma once
// The saver window subsystem: what the application object creates.
#include "app/app_platform.h"
#include "saver/exit_signals.h"
#include "saver/host_command_line.h"

#include <memory>

// A new, not yet created saver window.
std::unique_ptr<SaverWindow> MakeSaverWindow();
