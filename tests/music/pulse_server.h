#pragma once
// A PulseAudio server of the test's own with a null sink, so that sound is
// really played through an audio server on machines without sound hardware.
// Start it before the first Qt Multimedia object exists: the clients find it
// through PULSE_SERVER.
#include <string>

#include <sys/types.h>

class PulseServer {
public:
    PulseServer() = default;
    ~PulseServer() { Stop(); }
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Starts the server and points this process's clients at it; false (with
    // the reason in Error()) when it does not come up within a few seconds.
    bool Start();
    void Stop();
    const std::string& Error() const { return error_; }
    // The PULSE_SERVER value that reaches this server.
    const std::string& Address() const { return address_; }
    // False once the server has exited (it is then reaped).
    bool Running();
    // Streams the server plays right now (from pactl), or -1 when unknown.
    int SinkInputs() const;

private:
    std::string dir_;
    std::string error_;
    std::string address_;
    pid_t pid_ = -1;
};

// Points this process's audio clients at a server that does not exist.
void UseNoAudioServer();
