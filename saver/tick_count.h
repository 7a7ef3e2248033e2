#pragma once
// Milliseconds of a monotonic clock, truncated to 32 bits. Callers compare two
// values only by unsigned difference, so the wrap after 49.7 days does no harm.
#include <cstdint>

using TickCount = std::uint32_t;

TickCount GetTickCount32();
