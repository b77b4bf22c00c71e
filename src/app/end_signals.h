// The program asked to end from outside: SIGTERM and SIGHUP (a system
// shutting down, a terminal closed) and the end of the desktop session end
// it as closing its window does, so that the game on the board is kept.
#pragma once

#include <QObject>

#include <csignal>
#include <functional>

class QGuiApplication;
class QSocketNotifier;

namespace zemtori {

// While one lives, SIGTERM and SIGHUP no longer end the process where it
// stands: the handler only writes a byte to a pipe, and `end` runs from the
// event loop that next looks at it, also a loop the game runs while it
// waits.  The handlers it replaced are put back when it goes.  One at a time.
class EndSignals : public QObject {
public:
    explicit EndSignals(std::function<void()> end, QObject* parent = nullptr);
    ~EndSignals() override;
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    // False when the pipe could not be made: the signals end the process
    // as before.
    bool installed() const { return notifier_ != nullptr; }

private:
    void arrived();

    std::function<void()> end_;
    int read_fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction old_term_ {};
    struct sigaction old_hup_ {};
};

// When the desktop session ends, the session manager asks the program to
// commit its data: `end` runs then, as long as `context` lives.
void end_with_session(QGuiApplication& app, QObject& context, std::function<void()> end);

}  // namespace zemtori
