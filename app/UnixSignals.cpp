#include "UnixSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pinleaf {

namespace {

int g_fds[2] = {-1, -1};

void onSignal(int signalNumber) {
    const char byte = static_cast<char>(signalNumber);
    // Only async-signal-safe calls here: the event loop does the rest.
    [[maybe_unused]] ssize_t n = ::write(g_fds[0], &byte, 1);
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0) {
        return;
    }
    ::fcntl(g_fds[0], F_SETFL, O_NONBLOCK);
    notifier_ = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(g_fds[1], &byte, 1) == 1) {
            emit terminationRequested(static_cast<unsigned char>(byte));
        }
    });

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(s, &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals() {
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    for (int s : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(s, &action, nullptr);
    }
}

}  // namespace pinleaf
