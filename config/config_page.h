#pragma once
// The page protocol every page of the configuration sheet follows:
//  - the sheet creates a page the first time it is shown and calls Initialise():
//    the loading exchange, then the page's own steps (OnInitPage), then, once
//    the event loop runs again, the tool-tip set-up (SetupToolTips);
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

// A balloon a page showed, kept so its last one can be asked for.
struct ShownBalloon {
    int titleId = 0;
    QString text;
    int controlId = -1;   // -1: at the pointer
    BalloonIcon icon = BalloonIcon::None;
};

class CConfigPage : public CResizablePage {
    Q_OBJECT
public:
    CConfigPage(const DialogTemplate& dialog, SheetContext& context, QWidget* parent = nullptr);

    void Initialise();
    bool SaveExchange();
    bool IsInitialised() const { return initialised_; }
    bool ToolTipsReady() const { return toolTipsReady_; }

    PageBinding& Binding() { return binding_; }
    // The refusal of the last failed saving exchange.
    const std::optional<Refusal>& LastRefusal() const { return binding_.LastRefusal(); }
    // The last balloon this page showed (a refusal, "Done", help).
    const std::optional<ShownBalloon>& LastBalloon() const { return lastBalloon_; }

    // F1: the help balloon, on pages that offer it. The sheet calls it for
    // its active page; a page shown on its own has its own F1.
    void RequestHelp();

    // Shows a balloon at a control of this page (or at the pointer for -1).
    void ShowPageBalloon(int titleId, const QString& text, int controlId, BalloonIcon icon);

signals:
    void Initialised();
    void ToolTipsSet();

protected:
    // The page's own initialisation steps, after the loading exchange.
    virtual void OnInitPage() {}
    // Attaches the tool-tip texts; runs once, after initialisation.
    virtual void SetupToolTips() {}
    // Whether F1 shows the help balloon.
    virtual bool OffersHelp() const { return false; }

    void AddToolTip(int controlId, int stringId);
    SheetContext& Context() { return context_; }
    CSaverSettings& Settings() { return context_.settings; }

private:
    void ShowHelp();

    SheetContext& context_;
    PageBinding binding_;
    bool initialised_ = false;
    bool toolTipsReady_ = false;
    std::optional<ShownBalloon> lastBalloon_;
};
