#include "app/end_signals.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "app/startup_log.h"

namespace zemtori {

namespace {

// The pipe's end the handler writes to; -1 while no EndSignals lives.
volatile std::sig_atomic_t write_fd = -1;

// Only what is safe in a signal handler: one write, errno left as it was.
extern "C" void on_end_signal(int signal) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    if (write_fd >= 0) {
        const ssize_t written = ::write(write_fd, &byte, 1);
        (void)written;  // a full pipe already holds an end
    }
    errno = saved;
}

}  // namespace

EndSignals::EndSignals(std::function<void()> end, QObject* parent) : QObject(parent), end_(std::move(end)) {
    int fds[2];
    if (write_fd >= 0 || ::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    read_fd_ = fds[0];
    write_fd = fds[1];
    notifier_ = new QSocketNotifier(read_fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { arrived(); });
    struct sigaction action {};
    action.sa_handler = on_end_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, &old_term_);
    sigaction(SIGHUP, &action, &old_hup_);
}

EndSignals::~EndSignals() {
    if (!notifier_) return;
    sigaction(SIGTERM, &old_term_, nullptr);
    sigaction(SIGHUP, &old_hup_, nullptr);
    const int fd = write_fd;
    write_fd = -1;
    ::close(fd);
    ::close(read_fd_);
}

// Every byte waiting is read, so that signals come as one end.
void EndSignals::arrived() {
    unsigned char bytes[16];
    int last = 0;
    for (ssize_t got; (got = ::read(read_fd_, bytes, sizeof bytes)) > 0;) last = bytes[got - 1];
    if (last == 0) return;
    qCInfo(startup_log) << "ending on signal" << last;
    if (end_) end_();
}

void end_with_session(QGuiApplication& app, QObject& context, std::function<void()> end) {
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &context, [end = std::move(end)](QSessionManager&) {
        qCInfo(startup_log) << "ending with the session";
        end();
    });
}

}  // namespace zemtori
