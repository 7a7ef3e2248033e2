#include "saver/tick_count.h"

#include <chrono>

TickCount GetTickCount32()
{
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<TickCount>(ms);
}
