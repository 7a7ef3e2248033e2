#include "saver/exit_signals.h"

#include "app/log.h"
#include "app/saver_app.h"
#include "app/saver_settings.h"
#include "saver/exit_rules.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The write end of the self-pipe: a signal handler may only write to it.
int signalPipe[2] = {-1, -1};
// The first exit signal received, 0 before.
volatile sig_atomic_t pendingSignal = 0;
// Set once an event loop runs. Before that nothing would read the pipe, and
// start-up has nothing to end in order or to save.
volatile sig_atomic_t loopRunning = 0;
// The list builds' stop flag: a folder scan on the main thread keeps the
// event loop from the pipe, so the signal asks the scan itself to give up.
std::atomic<bool>* stopListBuild = nullptr;
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

// The event loop ends the show in order. Before it runs, the signal ends the
// process at once; while a folder scan keeps it busy, the scan stops on the
// signal's flag. An alarm remains as the last resort: the main thread must
// take the signal up within the first bound and finish the orderly end within
// the second, else the process dies of the signal it was sent.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr unsigned kSlowdown = 3; // checked builds run a few times slower
#else
constexpr unsigned kSlowdown = 1;
#endif
constexpr unsigned kPickUpSeconds = 3 * kSlowdown;
constexpr unsigned kOrderlyEndSeconds = 7 * kSlowdown;

[[noreturn]] void DieOf(int signalNumber)
{
    signal(signalNumber, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signalNumber);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    raise(signalNumber);
    _exit(128 + signalNumber);
}

void OnAlarm(int)
{
    DieOf(pendingSignal != 0 ? static_cast<int>(pendingSignal) : SIGTERM);
}

void OnSignal(int signalNumber)
{
    // A second signal while the first is under way means "now".
    if (pendingSignal != 0 || !loopRunning)
        DieOf(signalNumber);
    pendingSignal = signalNumber;
    if (stopListBuild)
        stopListBuild->store(true, std::memory_order_relaxed);
    alarm(kPickUpSeconds);
    unsigned char byte = static_cast<unsigned char>(signalNumber);
    int saved = errno;
    [[maybe_unused]] ssize_t n = write(signalPipe[1], &byte, 1);
    errno = saved;
}
} // namespace

void EndShowBySignal(int signalNumber)
{
    if (pendingSignal != 0)
        alarm(kOrderlyEndSeconds);
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
    // The first event loop to run (the show's, or the configuration sheet's) takes signals up.
    QTimer::singleShot(0, QCoreApplication::instance(), [] { loopRunning = 1; });
    stopListBuild = &TheSettings().stopListBuild;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    struct sigaction onAlarm {};
    onAlarm.sa_handler = OnAlarm;
    sigemptyset(&onAlarm.sa_mask);
    sigaction(SIGALRM, &onAlarm, nullptr);
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&action.sa_mask, s);
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        sigaction(s, &action, nullptr);
}
