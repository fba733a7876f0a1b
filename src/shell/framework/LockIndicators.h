#pragma once

#include <array>
#include <memory>

// The keyboard lock states where the platform reports them (X11 through XKB).
class LockIndicators {
public:
    enum Lock { Kana, Caps, Num, Scroll, LockCount };
    enum State { Unknown, Off, On };

    LockIndicators();
    ~LockIndicators();
    LockIndicators(const LockIndicators&) = delete;
    LockIndicators& operator=(const LockIndicators&) = delete;

    std::array<State, LockCount> query() const;

private:
    struct Native;
    std::unique_ptr<Native> native;
};
