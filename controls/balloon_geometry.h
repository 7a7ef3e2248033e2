#pragma once
// The balloon's size, quadrant, tail and placement as plain arithmetic, so the
// window class only measures texts and applies the results.
#include "controls/int_geometry.h"

#include <array>

// Option bits of a balloon.
enum BalloonOption : unsigned {
    kBalloonCloseOnLButtonUp = 0x0001,
    kBalloonCloseOnMButtonUp = 0x0002,
    kBalloonCloseOnRButtonUp = 0x0004,
    kBalloonCloseOnLButtonDown = 0x0008,
    kBalloonCloseOnMButtonDown = 0x0010,
    kBalloonCloseOnRButtonDown = 0x0020,
    kBalloonCloseOnMouseMove = 0x0040,
    kBalloonCloseOnKeyDown = 0x0080,
    kBalloonDelayClose = 0x0100,
    kBalloonDeleteWithWindow = 0x0200,
    kBalloonShowCloseButton = 0x0400,
    kBalloonDoubleOutline = 0x0800,
    kBalloonTopMost = 0x1000,
    kBalloonNoShadow = 0x2000,
    kBalloonNoFadeIn = 0x4000,
    kBalloonNoFadeOut = 0x8000,
};

// Every bit that closes on a pointer event (those the delayed close clears).
inline constexpr unsigned kBalloonPointerCloseBits = 0x007F;
// The options of the configuration pages: left press, right press, any key, close button.
inline constexpr unsigned kBalloonPageOptions = 0x04A8;

inline constexpr int kBalloonTailHeight = 20;
inline constexpr int kBalloonMargin = 8;
inline constexpr int kBalloonCornerDiameter = 24;
inline constexpr int kBalloonGap = 8;

// What the window measured: zero sizes for what is absent.
struct BalloonMeasures {
    IntSize icon;
    IntSize closeButton;   // counted only when the close button is shown
    bool closeButtonShown = false;
    IntSize title;         // one line in the title font
    IntSize body;          // word-wrapped in BalloonTextWidth
};

struct BalloonSize {
    IntSize header;
    IntSize content;
    IntSize window;
};

// Width available to the word-wrapped body text: half the work area.
int BalloonTextWidth(const IntRect& workArea);

BalloonSize ComputeBalloonSize(const BalloonMeasures& m);

// Bit 0: anchor left of the work area's horizontal middle; bit 1: at or below
// its vertical middle. Quadrants 0 and 1 put the tail at the top.
int BalloonQuadrant(IntPoint anchor, const IntRect& workArea);

inline bool BalloonTailAtTop(int quadrant) { return quadrant < 2; }

struct BalloonPlacement {
    int quadrant = 0;
    IntPoint topLeft;                 // of the window, in screen coordinates
    IntRect body;                     // rounded rectangle, window coordinates
    std::array<IntPoint, 3> tail;     // base, tip, base, window coordinates
    IntRect client;                   // where header and text are drawn
};

// Places a window of the given size so its tail points at the anchor (screen
// coordinates), inside the work area of the anchor's monitor.
BalloonPlacement PlaceBalloon(IntPoint anchor, IntSize window, const IntRect& workArea);

// Whether the pointer has left the hover tolerance around the launch point.
bool BalloonPointerMovedAway(IntPoint launch, IntPoint now, int tolerance);

// The options a balloon actually runs with, given the system's tool-tip effects.
unsigned EffectiveBalloonOptions(unsigned options, bool animateEnabled, bool fadeEnabled);
