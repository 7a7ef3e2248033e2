#pragma once
// Event-loop helpers of the audio tests.
#include "music/pulse_server.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>

#include <functional>

// The run's audio server (set by the tests' main).
extern PulseServer* g_pulseServer;

// Runs the event loop until done() holds or timeoutMs passed; answers done().
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// Runs the event loop for ms milliseconds.
inline void RunFor(int ms)
{
    WaitUntil([] { return false; }, ms);
}
