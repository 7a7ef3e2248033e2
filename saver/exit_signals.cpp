#include "saver/exit_signals.h"

#include "app/log.h"
#include "app/saver_app.h"
#include "saver/exit_rules.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The write end of the self-pipe: a signal handler may only write to it.
int signalPipe[2] = {-1, -1};

void OnSignal(int signalNumber)
{
    unsigned char byte = static_cast<unsigned char>(signalNumber);
    int saved = errno;
    [[maybe_unused]] ssize_t n = write(signalPipe[1], &byte, 1);
    errno = saved;
}
} // namespace

void EndShowBySignal(int signalNumber)
{
    Log("Signal %d: ending the show", signalNumber);
    AcceptExit();
    CSaverApp& app = TheApp();
    if (app.saverWindows.empty()) {
        QCoreApplication::exit(0);
        return;
    }
    app.CloseAllSaverWindows();
}

void InstallExitSignals()
{
    if (signalPipe[0] >= 0 || !QCoreApplication::instance())
        return;
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) {
        Log("InstallExitSignals: socketpair failed");
        signalPipe[0] = signalPipe[1] = -1;
        return;
    }
    // Owned by the application object, which outlives every window.
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        unsigned char byte = 0;
        while (read(signalPipe[0], &byte, 1) == 1)
            EndShowBySignal(byte);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        sigaction(s, &action, nullptr);
}
