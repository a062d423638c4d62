#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

// The end of the session (log-out, shutdown, a terminal's Ctrl+C, a service manager's stop) reaches the
// program as a signal on Unix and as the session manager's request on Windows. Either way `onEnd` runs
// on the UI thread, once; the program is expected to save and quit.
class TSessionEnd : public QObject {
public:
    explicit TSessionEnd(std::function<void()> onEnd);
    ~TSessionEnd() override;
    TSessionEnd(const TSessionEnd&) = delete;
    TSessionEnd& operator=(const TSessionEnd&) = delete;

private:
    void end();

    std::function<void()> onEnd_;
    bool ended_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
};
