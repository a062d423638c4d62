#include "app/sessionend.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The signal handler may only write to a descriptor; the UI thread reads the other end.
int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

void catchSignal(int number) {
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(number, &action, nullptr);
}
} // namespace
#endif

TSessionEnd::TSessionEnd(std::function<void()> onEnd) : onEnd_(std::move(onEnd)) {
#ifdef Q_OS_UNIX
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(signalPipe[1], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(signalPipe[1], &byte, 1);
        end();
    });
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        catchSignal(number);
#endif
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QObject::connect(application, &QGuiApplication::commitDataRequest, this,
                         [this](QSessionManager&) { end(); });
}

TSessionEnd::~TSessionEnd() {
#ifdef Q_OS_UNIX
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        std::signal(number, SIG_DFL);
#endif
}

void TSessionEnd::end() {
    if (ended_)
        return;
    ended_ = true;
    onEnd_();
}
