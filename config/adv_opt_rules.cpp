#include "config/adv_opt_rules.h"

#include "app/saver_settings.h"

int SnapRate(int rate)
{
    return rate >= -kRateSnap && rate <= kRateSnap ? 0 : rate;
}

AdvOptFields LoadAdvOptFields(const CSaverSettings& s)
{
    AdvOptFields f;
    f.exitMMove = s.ExitMMove;
    f.exitMClick = s.ExitMClick;
    f.exitKClick = s.ExitKClick;
    f.keepUpright = s.KeepUpright;
    f.spinX = s.SpinX;
    f.spinY = s.SpinY;
    f.spinZ = s.SpinZ;
    f.speedX = s.SpeedX;
    f.speedY = s.SpeedY;
    f.speedZ = s.SpeedZ;
    f.size = s.CubeSize;
    f.keepAspect = s.KeepAspectRatio;
    f.floating = s.CubeFloat;
    f.transparent = s.CubeTransp;
    return f;
}

bool AnyExitEvent(const AdvOptFields& f)
{
    return f.exitMMove != 0 || f.exitMClick != 0 || f.exitKClick != 0;
}

bool SaveAdvOptFields(const AdvOptFields& f, CSaverSettings& s)
{
    if (!AnyExitEvent(f))
        return false;
    s.ExitMMove = f.exitMMove;
    s.ExitMClick = f.exitMClick;
    s.ExitKClick = f.exitKClick;
    s.KeepUpright = f.keepUpright;
    s.SpinX = SnapRate(f.spinX);
    s.SpinY = SnapRate(f.spinY);
    s.SpinZ = SnapRate(f.spinZ);
    s.SpeedX = SnapRate(f.speedX);
    s.SpeedY = SnapRate(f.speedY);
    s.SpeedZ = SnapRate(f.speedZ);
    s.CubeSize = f.size;
    s.KeepAspectRatio = f.keepAspect;
    s.CubeFloat = f.floating;
    s.CubeTransp = f.transparent;
    return true;
}

TransparentBox ApplyTransparencyRule(bool keepAspect, bool floating, bool transparentChecked)
{
    if (!keepAspect)
        return {false, false};
    return {true, floating || transparentChecked};
}
