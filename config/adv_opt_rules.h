#pragma once
// The rules of the Advanced Options page, free of any widget: the snap of
// slow rates and the transparency rule.

// Spin and speed rates from -kRateSnap to kRateSnap are stored as 0: the cube
// would barely move at them, and a slider is hard to put exactly on 0.
constexpr int kRateSnap = 6;
int SnapRate(int rate);

// "Transparent" is offered only with "Keep images aspect ratio": without it
// the box is off and disabled; with it and floating pictures it is switched
// on; otherwise it keeps its mark.
struct TransparentBox {
    bool enabled = false;
    bool checked = false;
    bool operator==(const TransparentBox&) const = default;
};
TransparentBox ApplyTransparencyRule(bool keepAspect, bool floating, bool transparentChecked);
