#pragma once
// The rules of the Advanced Options page, free of any widget: the fourteen
// working copies it edits, the snap of slow rates, the transparency rule and
// the exit-event rule of its saving exchange.
class CSaverSettings;

// Slider ranges of the page.
constexpr int kSpinMin = -99;
constexpr int kSpinMax = 99;
constexpr int kSpeedMin = 0;
constexpr int kSpeedMax = 99;

// Spin and speed rates from -kRateSnap to kRateSnap are stored as 0: the cube
// would barely move at them, and a slider is hard to put exactly on 0.
constexpr int kRateSnap = 6;
int SnapRate(int rate);

// The page's working copies, one per setting (32-bit flags and values).
struct AdvOptFields {
    int exitMMove = 0;
    int exitMClick = 0;
    int exitKClick = 0;
    int keepUpright = 0;
    int spinX = 0;
    int spinY = 0;
    int spinZ = 0;
    int speedX = 0;
    int speedY = 0;
    int speedZ = 0;
    int size = 0;
    int keepAspect = 0;
    int floating = 0;
    int transparent = 0;
    bool operator==(const AdvOptFields&) const = default;
};

AdvOptFields LoadAdvOptFields(const CSaverSettings& settings);

// The show needs at least one way out.
bool AnyExitEvent(const AdvOptFields& fields);

// Copies the fields into the record, snapping the six rates (not the size).
// Refuses, copying nothing, when no exit event is chosen.
bool SaveAdvOptFields(const AdvOptFields& fields, CSaverSettings& settings);

// "Transparent" is offered only with "Keep images aspect ratio": without it
// the box is off and disabled; with it and floating pictures it is switched
// on; otherwise it keeps its mark.
struct TransparentBox {
    bool enabled = false;
    bool checked = false;
    bool operator==(const TransparentBox&) const = default;
};
TransparentBox ApplyTransparencyRule(bool keepAspect, bool floating, bool transparentChecked);
