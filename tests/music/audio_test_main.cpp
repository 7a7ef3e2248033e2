// Main of the audio tests: a PulseAudio server with a null sink of the run's
// own, then the Qt event loop object that Qt Multimedia needs.
#include "music/pulse_server.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdio>

PulseServer* g_pulseServer = nullptr;

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    PulseServer server;
    if (!server.Start()) {
        std::fprintf(stderr, "cannot start the test's PulseAudio server: %s\n", server.Error().c_str());
        return 1;
    }
    g_pulseServer = &server;
    int result;
    {
        QCoreApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    g_pulseServer = nullptr;
    server.Stop();
    return result;
}
