#include "music/mci.h"

#include "music/audio_stream.h"
#include "music/mci_command.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>
#include <cctype>

struct MciSystem::Device {
    int id = 0;
    std::string alias;
    std::unique_ptr<AudioStream> stream;
    // Who waits for the end of the current play, if anyone.
    QPointer<QObject> pending;
};

namespace {

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

void Post(QObject* target, unsigned flags, int deviceId)
{
    if (target)
        QCoreApplication::postEvent(target, new MciNotifyEvent(flags, deviceId));
}

const char* ModeText(AudioStream::State state)
{
    switch (state) {
    case AudioStream::State::Playing:
        return "playing";
    case AudioStream::State::Waiting:
        return "not ready";
    case AudioStream::State::Idle:
        break;
    }
    return "stopped";
}

} // namespace

QEvent::Type MciNotifyEvent::Type()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

MciSystem::MciSystem() = default;

// Devices still open are closed without notifications: their callers are
// going away too.
MciSystem::~MciSystem() = default;

MciSystem::Device* MciSystem::Find(const std::string& name)
{
    for (auto& device : devices_) {
        if (SameName(device->alias, name))
            return device.get();
    }
    return nullptr;
}

void MciSystem::PostPending(Device& device, unsigned flags)
{
    if (QObject* target = device.pending.data()) {
        device.pending.clear();
        Post(target, flags, device.id);
    }
}

MciError MciSystem::SendString(std::string_view text, std::string* returnText, QObject* callback)
{
    if (returnText)
        returnText->clear();
    MciCommand command;
    if (MciError err = ParseMciCommand(text, command))
        return err;

    if (command.verb == MciVerb::Open) {
        std::string alias = command.alias.empty() ? command.device : command.alias;
        if (Find(alias))
            return kMciErrDuplicateAlias;
        if (!AudioStream::OutputAvailable())
            return kMciErrNoAudioDevice;
        auto device = std::make_unique<Device>();
        device->stream = std::make_unique<AudioStream>();
        if (MciError err = device->stream->Load(command.device))
            return err;
        device->id = nextId_++;
        device->alias = alias;
        Device* d = device.get();
        QObject::connect(d->stream.get(), &AudioStream::Finished, d->stream.get(),
                         [this, d] { PostPending(*d, kMciNotifySuccessful); });
        QObject::connect(d->stream.get(), &AudioStream::Failed, d->stream.get(),
                         [this, d](unsigned, const QString&) { PostPending(*d, kMciNotifyFailure); });
        devices_.push_back(std::move(device));
        if (returnText)
            *returnText = std::to_string(d->id);
        if (command.notify)
            Post(callback, kMciNotifySuccessful, d->id);
        return kMciOk;
    }

    Device* device = Find(command.device);
    if (!device)
        return kMciErrInvalidDeviceName;
    int id = device->id;

    switch (command.verb) {
    case MciVerb::Play:
        PostPending(*device, kMciNotifyAborted);
        device->stream->Play();
        if (command.notify)
            device->pending = callback;
        return kMciOk;
    case MciVerb::Stop:
        PostPending(*device, kMciNotifyAborted);
        device->stream->Stop();
        break;
    case MciVerb::Close:
        PostPending(*device, kMciNotifyAborted);
        devices_.erase(std::find_if(devices_.begin(), devices_.end(),
                                    [device](const auto& d) { return d.get() == device; }));
        break;
    case MciVerb::Status: {
        std::string answer;
        if (command.item == "mode")
            answer = ModeText(device->stream->GetState());
        else if (command.item == "ready")
            answer = device->stream->GetState() == AudioStream::State::Waiting ? "false" : "true";
        else
            return kMciErrUnsupportedFunction;
        if (returnText)
            *returnText = answer;
        if (command.notify)
            PostPending(*device, kMciNotifySuperseded);
        break;
    }
    case MciVerb::Open:
        break;
    }
    if (command.notify)
        Post(callback, kMciNotifySuccessful, id);
    return kMciOk;
}
