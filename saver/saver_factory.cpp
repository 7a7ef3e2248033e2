#include "saver/saver.h"

#include "app/saver_settings.h"
#include "saver/saver_wnd.h"

std::unique_ptr<SaverWindow> MakeSaverWindow() { return std::make_unique<CSaverWnd>(TheSettings()); }
