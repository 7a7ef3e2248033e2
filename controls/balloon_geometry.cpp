#include "controls/balloon_geometry.h"

#include <algorithm>
#include <cstdlib>

int BalloonTextWidth(const IntRect& workArea)
{
    return std::max(1, workArea.Width() / 2);
}

BalloonSize ComputeBalloonSize(const BalloonMeasures& m)
{
    BalloonSize s;
    int width = m.icon.width;
    if (m.closeButtonShown) {
        if (width != 0)
            width += kBalloonGap;
        width += m.closeButton.width;
    }
    if (m.title.width > 0) {
        if (width != 0)
            width += kBalloonGap;
        width += m.title.width;
    }
    int height = std::max(m.icon.height, m.title.height);
    if (m.closeButtonShown)
        height = std::max(height, m.closeButton.height);
    s.header = {width, height};
    s.content = {std::max(s.header.width, m.body.width), s.header.height + kBalloonGap + m.body.height};
    s.window = {s.content.width + 2 * kBalloonMargin,
                s.content.height + 2 * kBalloonMargin + kBalloonTailHeight};
    return s;
}

int BalloonQuadrant(IntPoint anchor, const IntRect& workArea)
{
    int middleX = workArea.left + workArea.Width() / 2;
    int middleY = workArea.top + workArea.Height() / 2;
    int q = 0;
    if (anchor.x < middleX)
        q |= 1;
    if (anchor.y >= middleY)
        q |= 2;
    return q;
}

BalloonPlacement PlaceBalloon(IntPoint anchor, IntSize window, const IntRect& workArea)
{
    const int w = window.width;
    const int h = window.height;
    const int t = kBalloonTailHeight;
    BalloonPlacement p;
    p.quadrant = BalloonQuadrant(anchor, workArea);
    const int c = (w - t) / 4;
    switch (p.quadrant) {
    case 0: p.tail = {{{3 * c, t + 1}, {3 * c + t, 1}, {3 * c + t, t + 1}}}; break;
    case 1: p.tail = {{{c + t, t + 1}, {c, 1}, {c, t + 1}}}; break;
    case 2: p.tail = {{{3 * c, h - t - 2}, {3 * c + t, h - 2}, {3 * c + t, h - t - 2}}}; break;
    default: p.tail = {{{c + t, h - t - 2}, {c, h - 2}, {c, h - t - 2}}}; break;
    }
    const bool top = BalloonTailAtTop(p.quadrant);
    p.body = top ? IntRect{0, t, w, h} : IntRect{0, 0, w, h - t};
    p.client = {kBalloonMargin, p.body.top + kBalloonMargin, w - kBalloonMargin, p.body.bottom - kBalloonMargin};
    for (IntPoint& pt : p.tail)
        pt.x = std::clamp(pt.x, std::min(kBalloonMargin, w), std::max(0, w - kBalloonMargin));

    IntPoint& tip = p.tail[1];
    p.topLeft = {anchor.x - tip.x, anchor.y - tip.y};
    int shift = 0;
    if (p.topLeft.x < workArea.left)
        shift = workArea.left - p.topLeft.x;
    else if (p.topLeft.x + w > workArea.right)
        shift = workArea.right - (p.topLeft.x + w);
    p.topLeft.x += shift;
    // The tip moves back so it still points at the anchor, but never leaves
    // the window: an anchor beyond the work area gets the nearest tip instead
    // of a tail cut off by the window's edge.
    tip.x = std::clamp(tip.x - shift, 0, std::max(0, w - 1));

    // Vertically the body stays inside the work area; only the tail may stick
    // out (towards an anchor that lies outside it).
    const int bodyTop = p.topLeft.y + p.body.top;
    const int bodyBottom = p.topLeft.y + p.body.bottom;
    if (bodyTop < workArea.top)
        p.topLeft.y += workArea.top - bodyTop;
    else if (bodyBottom > workArea.bottom)
        p.topLeft.y -= bodyBottom - workArea.bottom;
    return p;
}

bool BalloonPointerMovedAway(IntPoint launch, IntPoint now, int tolerance)
{
    return std::abs(now.x - launch.x) > tolerance || std::abs(now.y - launch.y) > tolerance;
}

unsigned EffectiveBalloonOptions(unsigned options, bool animateEnabled, bool fadeEnabled)
{
    if (!animateEnabled || !fadeEnabled)
        options |= kBalloonNoFadeIn | kBalloonNoFadeOut;
    return options;
}
