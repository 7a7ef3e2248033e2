#pragma once
// The configuration sheet as the program runs it: five pages in a fixed
// order, OK saving the whole record in one write.
#include "config/resizable_sheet.h"

#include <memory>

class CSaverSettings;
class ProfileStore;
class FolderChooser;

// Template ids of the five pages, in tab order.
inline constexpr int kImagesPageId = 2003;
inline constexpr int kAdvancedPageId = 132;
inline constexpr int kSoundsPageId = 2004;
inline constexpr int kMoreOptionsPageId = 2005;
inline constexpr int kAboutPageId = 101;

// The pages of the sheet, in tab order.
std::vector<CResizableSheet::PageEntry> SheetPages();

// Writes the record through the store in its save order, all or nothing.
bool SaveSettingsAtomically(const CSaverSettings& settings, ProfileStore& store);

// The sheet on a record and store; OK saves the record before the sheet closes.
std::unique_ptr<CResizableSheet> MakeConfigurationSheet(SheetContext& context, QWidget* parent = nullptr);

// Runs the sheet modally with Qt's folder chooser; true when it ended with OK
// (the record is saved then).
bool RunConfigurationSheet(CSaverSettings& settings, ProfileStore& store);
