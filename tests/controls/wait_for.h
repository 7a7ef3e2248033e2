#pragma once
// Runs the event loop until a condition holds or the time is up; the answer
// goes into a gtest expectation (QTest's own QTRY macros do not report to gtest).
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

template <typename Condition>
bool WaitFor(Condition condition, int timeoutMs = 5000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qWait(10);
    }
    return true;
}
