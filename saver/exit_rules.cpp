#include "saver/exit_rules.h"

#include "app/saver_settings.h"

#include <atomic>
#include <cstdlib>

namespace {
std::atomic<bool> exitAccepted{false};
}

ExitSettings ExitSettingsOf(const CSaverSettings& s)
{
    return {s.ExitMMove != 0, s.ExitMClick != 0, s.ExitKClick != 0, s.HideCursor != 0};
}

bool ExitAccepted() { return exitAccepted.load(); }
void AcceptExit() { exitAccepted.store(true); }
void ResetExitAccepted() { exitAccepted.store(false); }

ExitRules::ExitRules(const ExitSettings& settings, bool topLevel, TickCount constructed, Hooks hooks,
                     PointerState& pointer)
    : settings_(settings), topLevel_(topLevel), hooks_(std::move(hooks)), pointer_(pointer),
      lastExitCheck_(constructed)
{
}

void ExitRules::MouseMove(int x, int y, TickCount now)
{
    if (firstX_ == -1 && firstY_ == -1) {
        firstX_ = x;
        firstY_ = y;
        return;
    }
    // Measured from the first position, never updated: a jitter of one pixel
    // on each axis is tolerated, two on either axis count.
    if (std::abs(firstX_ - x) > 1 || std::abs(firstY_ - y) > 1) {
        if (hooks_.setMonitorOn)
            hooks_.setMonitorOn();
        if (settings_.mouseMove)
            RequestExit(now);
    }
}

void ExitRules::ButtonDown(TickCount now)
{
    if (hooks_.setMonitorOn)
        hooks_.setMonitorOn();
    if (settings_.mouseClick)
        RequestExit(now);
}

void ExitRules::KeyDown(TickCount now)
{
    if (hooks_.setMonitorOn)
        hooks_.setMonitorOn();
    if (settings_.key)
        RequestExit(now);
}

void ExitRules::RequestExit(TickCount now)
{
    // Unsigned difference: correct across the wrap of the tick count. The
    // guard starts at construction, so nothing ends the first second.
    if (static_cast<TickCount>(now - lastExitCheck_) <= 1000)
        return;
    bool wasBusy = busy_;
    busy_ = true;
    if (VerifyPassword()) {
        AcceptExit();
        exiting_ = true;
        if (hooks_.closeAll)
            hooks_.closeAll();
    }
    busy_ = wasBusy;
    lastExitCheck_ = now;
}

bool ExitRules::VerifyPassword()
{
    if (inPasswordCheck_)
        return false;
    inPasswordCheck_ = true;
    bool answer = false;
    if (provider_) {
        // The dialog needs a visible pointer.
        pointer_.Show();
        if (hooks_.passwordCheck)
            hooks_.passwordCheck(true);
        answer = provider_->Verify();
        if (hooks_.passwordCheck)
            hooks_.passwordCheck(false);
        if (settings_.hideCursor)
            pointer_.Hide();
    } else {
        answer = topLevel_;
    }
    inPasswordCheck_ = false;
    return answer;
}
