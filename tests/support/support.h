#pragma once
// What the test suites share, without Qt or X11: programs started and ended,
// temporary folders, private X servers, shell commands, reading files and
// logs, and checks run as an ordinary user. The show of the real executable
// in a private X server is show_harness.h (library tsv_show_harness); the Qt
// test main is tsv_qt_test_main (QApplication) or tsv_qt_gui_test_main.
#include "support/child_process.h"
#include "support/reading.h"
#include "support/shell.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"
#include "support/x_server_process.h"
