#pragma once
// The configuration user interface: the sheet, its page protocol and pages.
//
// Adding a setting with a control (a check box, say):
//  1. One line in TSV_SETTINGS (app/saver_settings.h): SETTING(<Key>, 0, Saved).
//  2. One row in the page's template naming it:
//        checkbox <id> "<text>" <x> <y> <width> <height>  setting=<Key> tip=<string id>
//     The page's binding (config/page_binding.h) shows and stores it. A
//     drop-down bound to an integer lists its items in its text:
//        combobox <id> "<first>|<second>|<third>" <x> <y> <width> <height>  setting=<Key>
//
// Adding a page:
//  1. Write its dialog template as res/dialogs/<id>.dlg (format at the top of
//     controls/dialog_template.h); every .dlg there is compiled in as
//     ":/dialogs/<id>.dlg" (controls/CMakeLists.txt). Rows name their settings
//     and tool tips (`setting=`, `tip=`).
//  2. Put it in SheetPages() in config/config_sheet.cpp. A page that only
//     shows settings needs no class: an entry without maker is a CConfigPage.
//  3. A page with rules of its own derives from CConfigPage
//     (config/config_page.h): its constructor receives the template with
//     every control made (Control(id), ControlAs<T>(id)) and bound; it adds
//     its rules there (Binding().Adjust, AddCheck, Custom, and handlers for
//     its controls' signals), OnInitPage() for steps after the loading
//     exchange, OffersHelp() for the F1 balloon. A check that fails answers a
//     Refusal (balloon title, text, control id): the exchange then stores
//     nothing and the page stays.
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
#include "config/more_options_page.h"
#include "config/page_binding.h"
#include "config/resizable_sheet.h"
#include "config/sound_page.h"
