#include "SessionSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace clipvane {

namespace {

int g_pipe[2] = {-1, -1};
constexpr unsigned kExitDeadlineSeconds = 4;

void onSignal(int) {
    const char byte = 1;
    // Only what is safe in a signal handler: one write; a full pipe already holds a request.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    // The close steps have this long; whatever holds them up, the process ends (a later signal keeps the
    // first deadline).
    if (const unsigned left = ::alarm(kExitDeadlineSeconds); left != 0)
        ::alarm(left);
}

void onDeadline(int) {
    static const char text[] = "Clipvane: the exit did not finish in time; ending now.\n";
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, text, sizeof text - 1);
    ::_exit(1);
}

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

SessionSignals::SessionSignals(QObject* parent) : QObject(parent) {
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char buffer[16];
        while (::read(g_pipe[0], buffer, sizeof buffer) > 0) {
        }
        emit endRequested();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : kEndSignals)
        ::sigaction(sig, &action, nullptr);
    struct sigaction deadline {};
    deadline.sa_handler = onDeadline;
    sigemptyset(&deadline.sa_mask);
    ::sigaction(SIGALRM, &deadline, nullptr);
}

SessionSignals::~SessionSignals() {
    if (!m_notifier)
        return;
    for (const int sig : kEndSignals)
        ::signal(sig, SIG_DFL);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

bool xServerReachable(const QString& display) {
    if (display.isEmpty())
        return false;
    xcb_connection_t* c = xcb_connect(display.toLocal8Bit().constData(), nullptr);
    const bool ok = c && !xcb_connection_has_error(c);
    if (c)
        xcb_disconnect(c);
    return ok;
}

} // namespace clipvane
