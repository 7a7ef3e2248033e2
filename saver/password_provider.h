#pragma once
// A source of saver passwords. The screen lockers of this platform lock the
// screen themselves, so no provider exists here; the interface keeps the
// dialog path of the exit rules in one place and testable.
class PasswordProvider {
public:
    virtual ~PasswordProvider() = default;
    // Shows the provider's dialog and waits for it; true when the right
    // password was entered. May run a nested event loop.
    virtual bool Verify() = 0;
};
