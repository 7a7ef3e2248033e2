#pragma once
// When input ends a show: the first mouse position and the more-than-one-pixel
// test, buttons and keys as the exit settings allow, the one-second guard
// between examined requests, and the password check that may refuse the exit.
#include "saver/password_provider.h"
#include "saver/pointer_state.h"
#include "saver/tick_count.h"

#include <functional>

// Which input ends a show (the ExitMMove, ExitMClick, ExitKClick settings).
struct ExitSettings {
    bool mouseMove = true;
    bool mouseClick = true;
    bool key = true;
    bool hideCursor = false;   // HideCursor: the pointer is hidden again after a password dialog
};

class CSaverSettings;
// The exit settings of the settings record.
ExitSettings ExitSettingsOf(const CSaverSettings& settings);

// Set once an exit request has passed the password check (or the process was
// told to end); close requests are honoured only then, or in preview.
bool ExitAccepted();
void AcceptExit();
void ResetExitAccepted(); // a new run within one process (tests)

class ExitRules {
public:
    struct Hooks {
        std::function<void()> setMonitorOn;   // any input wakes the monitor
        std::function<void()> closeAll;       // the accepted exit closes every saver window
        std::function<void(bool)> passwordCheck; // a password dialog comes up (true) or goes (false)
    };

    // `topLevel`: a window with a parent never ends by input unless a provider says so.
    ExitRules(const ExitSettings& settings, bool topLevel, TickCount constructed, Hooks hooks,
              PointerState& pointer);

    void SetPasswordProvider(PasswordProvider* provider) { provider_ = provider; }
    // The settings are validated after the window exists; ScrInit passes them again.
    void SetSettings(const ExitSettings& settings) { settings_ = settings; }
    void SetTopLevel(bool topLevel) { topLevel_ = topLevel; }

    void MouseMove(int x, int y, TickCount now);
    void ButtonDown(TickCount now);
    void KeyDown(TickCount now);
    // The close command of the system menu: ends the show whatever the exit settings say.
    void CloseCommand(TickCount now) { RequestExit(now); }

    void RequestExit(TickCount now);
    bool VerifyPassword();

    bool Busy() const { return busy_; }
    bool Exiting() const { return exiting_; }
    bool InPasswordCheck() const { return inPasswordCheck_; }
    // Ends this window's ticks without a request (the process was told to end).
    void MarkExiting() { exiting_ = true; }

private:
    ExitSettings settings_;
    bool topLevel_;
    Hooks hooks_;
    PointerState& pointer_;
    PasswordProvider* provider_ = nullptr;

    int firstX_ = -1, firstY_ = -1;
    TickCount lastExitCheck_;
    bool busy_ = false;
    bool exiting_ = false;
    bool inPasswordCheck_ = false;
};
