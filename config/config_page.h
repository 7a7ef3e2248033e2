#pragma once
// The page protocol every page of the configuration sheet follows:
//  - the sheet creates a page the first time it is shown and calls Initialise():
//    the loading exchange, then the page's own steps (OnInitPage), then, once
//    the event loop runs again, the tool tips its template names (`tip=`);
//  - leaving the page and OK run SaveExchange(); when it fails the page stays;
//  - pages never shown run no exchange;
//  - F1 shows the help balloon on pages that offer it.
#include "config/page_binding.h"
#include "controls/resizable_page.h"

#include <QString>

#include <optional>

class CSaverSettings;
class FolderChooser;
class ProfileStore;

// What the pages work on: the settings record being edited, the store for
// the few values written at once, and the folder chooser.
struct SheetContext {
    CSaverSettings& settings;
    ProfileStore& store;
    FolderChooser& chooser;
};

// The message for settings that could not be written, naming the file.
QString NotWrittenText(const ProfileStore& store);

// A page: its template bound to the record (config/page_binding.h), plus
// whatever rules a page of its own adds. A page without rules is this class.
class CConfigPage : public CResizablePage {
    Q_OBJECT
public:
    CConfigPage(const DialogTemplate& dialog, SheetContext& context, QWidget* parent = nullptr);

    void Initialise();
    bool SaveExchange();
    bool IsInitialised() const { return initialised_; }
    bool ToolTipsReady() const { return toolTipsReady_; }

    // The last balloon this page showed (a refusal, "Done", help).
    const std::optional<PageBalloon>& LastBalloon() const { return lastBalloon_; }

    // F1: the help balloon, on pages that offer it. The sheet calls it for
    // its active page; a page shown on its own has its own F1.
    void RequestHelp();

    // Shows a balloon at a control of this page (or at the pointer for -1).
    void ShowPageBalloon(const PageBalloon& balloon);

signals:
    void Initialised();
    void ToolTipsSet();

protected:
    // The page's own initialisation steps, after the loading exchange.
    virtual void OnInitPage() {}
    // Whether F1 shows the help balloon.
    virtual bool OffersHelp() const { return false; }

    PageBinding& Binding() { return binding_; }
    SheetContext& Context() { return context_; }
    CSaverSettings& Settings() { return context_.settings; }

private:
    void ShowHelp();
    void SetupToolTips();

    SheetContext& context_;
    PageBinding binding_;
    bool initialised_ = false;
    bool toolTipsReady_ = false;
    std::optional<PageBalloon> lastBalloon_;
};
