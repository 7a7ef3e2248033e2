#pragma once
// Which screen a saver window's device belongs to, the photo size it asks for,
// and which renderers count as the reference device.
#include "app/rect.h"

#include <span>
#include <string_view>

struct AdapterChoice {
    unsigned adapter = 0;
    int wantedSize = 1024;
};

// The lowest-numbered monitor the window touches (0 when it touches none), logging
// each monitor looked at, and half the window's longer side.
AdapterChoice ChooseAdapter(std::span<const Rect> monitors, const Rect& window);

// The renderers that stand for the reference device, allowed only with
// AllowSoftwareAcceleration: rasterisers too slow to show anything (Mesa's
// softpipe and classic swrast). Mesa's llvmpipe runs the show at full frame
// rate on part of one core, so on a virtual machine or a remote desktop,
// where it is all there is, it serves as the hardware device.
bool IsReferenceRasteriser(std::string_view rendererName);

// Any renderer that draws on the processor (llvmpipe as well as the reference
// rasterisers): features that cost a GPU nothing, such as anisotropic
// filtering, are left off there.
bool IsCpuRasteriser(std::string_view rendererName);
