#pragma once
// The configuration user interface: the sheet, its page protocol and pages.
//
// Adding a page:
//  1. Write its dialog template as res/dialogs/<id>.dlg (format at the top of
//     controls/dialog_template.h); every .dlg there is compiled in as
//     ":/dialogs/<id>.dlg" (controls/CMakeLists.txt).
//  2. Derive a class from CConfigPage (config/config_page.h). Its constructor
//     receives the template with every control already made (Control(id),
//     ControlAs<T>(id)); there it declares the data exchange on Binding():
//        Binding().Check(Control(1071), &CSaverSettings::ExitMMove);
//        Binding().Slider(Control(1000), &CSaverSettings::SpinX);
//        Binding().Integer(Control(1011), &CSaverSettings::Delay).MustBePositive(335, 338);
//        Binding().Custom(load, check, store);   // anything else, incl. page-wide rules
//     and connects its own handlers. Override OnInitPage() for the steps
//     after the loading exchange, SetupToolTips() to attach tool tips with
//     AddToolTip(controlId, stringId), OffersHelp() for the F1 balloon.
//     A check that fails answers a Refusal (balloon title, text, control):
//     the exchange then stores nothing and the page stays.
//  3. Put it in SheetPages() in config/config_sheet.cpp, replacing the empty
//     entry for its template id (pages without a maker show their bare template).
//  The pages write to the settings store directly only for the values that
//  must survive a Cancel (Context().store); everything else goes through the
//  binding into the record, which OK saves.
#include "config/about_info.h"
#include "config/about_page.h"
#include "config/adv_opt_dlg.h"
#include "config/adv_opt_rules.h"
#include "config/browse_folder.h"
#include "config/config_page.h"
#include "config/config_sheet.h"
#include "config/folder_entries.h"
#include "config/folder_list_page.h"
#include "config/images_page.h"
#include "config/log_viewer.h"
#include "config/page_binding.h"
#include "config/resizable_sheet.h"
#include "config/sound_page.h"
