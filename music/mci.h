#pragma once
// The command interface: sound devices opened, played, stopped and closed
// by command strings, each playing through an AudioStream. A command with
// "notify" posts an MciNotifyEvent to the caller's object when it completes;
// for "play" that is when the sound ends (successful), fails (failure), is
// interrupted by a later play, stop or close (aborted), or when another
// command asks for notification meanwhile (superseded).
// Main thread only, like everything that plays.
#include "music/audio_errors.h"

#include <QEvent>
#include <QObject>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum MciNotifyFlag : unsigned {
    kMciNotifySuccessful = 1,
    kMciNotifySuperseded = 2,
    kMciNotifyAborted = 4,
    kMciNotifyFailure = 8,
};

class MciNotifyEvent : public QEvent {
public:
    MciNotifyEvent(unsigned flags, int deviceId) : QEvent(Type()), flags_(flags), deviceId_(deviceId) {}
    static QEvent::Type Type();
    unsigned Flags() const { return flags_; }
    int DeviceId() const { return deviceId_; }

private:
    unsigned flags_;
    int deviceId_;
};

class MciSystem {
public:
    MciSystem();
    ~MciSystem();
    MciSystem(const MciSystem&) = delete;
    MciSystem& operator=(const MciSystem&) = delete;

    // Runs one command. returnText (may be null) receives the command's
    // answer: the device id for open, the value asked for by status.
    // callback (may be null) receives the notification of a "notify" command.
    MciError SendString(std::string_view command, std::string* returnText, QObject* callback);

    // The text of an error code.
    static std::string GetErrorString(MciError code) { return MciErrorText(code); }

    // Number of open devices.
    std::size_t OpenDevices() const { return devices_.size(); }

private:
    struct Device;
    Device* Find(const std::string& name);
    void PostPending(Device& device, unsigned flags);

    std::vector<std::unique_ptr<Device>> devices_;
    int nextId_ = 1;
};
