#include "config/adv_opt_rules.h"

int SnapRate(int rate)
{
    return rate >= -kRateSnap && rate <= kRateSnap ? 0 : rate;
}

TransparentBox ApplyTransparencyRule(bool keepAspect, bool floating, bool transparentChecked)
{
    if (!keepAspect)
        return {false, false};
    return {true, floating || transparentChecked};
}
