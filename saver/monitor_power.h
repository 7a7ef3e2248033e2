#pragma once
// The monitor-off state of a show window. The display's power saving (the
// DPMS level of the X server, polled by the window) turns frames off; only
// user input turns them on again.
class MonitorPower {
public:
    explicit MonitorPower(bool enableMonitorOff) : enable_(enableMonitorOff) {}

    // A power command: 1 low power, 2 off, -1 on.
    void OnPowerCommand(int power);
    // User input.
    void SetMonitorOn();
    bool Off() const { return off_; }

    // Turns a polled DPMS level (0 on, 1 standby, 2 suspend, 3 off) into the
    // power command it stands for, once per change; false when nothing changed.
    bool DpmsChanged(int level, int& command);

private:
    bool enable_;
    bool off_ = false;
    int lastLevel_ = 0;
};
