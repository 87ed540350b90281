#include "platform/process/TerminationSignals.h"

#include "platform/host/Messages.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

int channel[2] = {-1, -1};  // written by the signal handler, read by the event loop
std::atomic<int> firstSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler may only use a lock-free atomic");

// Only async-signal-safe calls here; errno is left as the interrupted code had it.
void onSignal(int signal)
{
    const int savedErrno = errno;
    int expected = 0;
    if (!firstSignal.compare_exchange_strong(expected, signal))
        _exit(128 + signal);
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(channel[0], &number, 1);
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> whenSignalled, QObject* parent)
    : QObject(parent)
    , handler(std::move(whenSignalled))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, channel) != 0)
        return;  // without the channel the signals keep their default: the process ends
    notifier = new QSocketNotifier(channel[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, showingErrorsIn(this, &TerminationSignals::deliver));
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    for (int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
    for (int& end : channel) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

void TerminationSignals::deliver()
{
    unsigned char number = 0;
    if (::read(channel[1], &number, 1) == 1)
        handler(number);
}
