#include "saver/monitor_power.h"

#include "app/log.h"

void MonitorPower::OnPowerCommand(int power)
{
    Log("OnSysCommand:: SC_MONITORPOWER %d", power);
    if ((power == 1 || power == 2) && enable_ && !off_)
        off_ = true;
}

void MonitorPower::SetMonitorOn()
{
    if (!off_)
        return;
    Log("SetMonitorOn()");
    off_ = false;
}

bool MonitorPower::DpmsChanged(int level, int& command)
{
    if (level == lastLevel_)
        return false;
    lastLevel_ = level;
    command = level == 0 ? -1 : level == 1 ? 1 : 2;
    return true;
}
