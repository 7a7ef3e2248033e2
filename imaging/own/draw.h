#pragma once
// Drawing a CBitmapEx into a device bitmap (CBitmapEx::Draw and DrawPart):
// the rectangle and the flags.

struct DrawRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Draw flags.
enum : int {
    DRAW_SCALE = 0x01,
    DRAW_CENTER = 0x02,
    DRAW_SHRINK_ONLY = 0x04,
    DRAW_KEEP_PALETTE = 0x08,
    DRAW_BACKGROUND_PALETTE = 0x10,
    DRAW_HALFTONE = 0x20,
};
