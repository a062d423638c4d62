#pragma once

#include "toolkit/tobject.h"

// A periodic timer on the program's clock. Interval 0 stops it; changing the interval or
// enabling it starts a fresh period.
class TTimer : public TObject {
public:
    TTimer(const QString& name, int intervalMs, bool enabled, TNotifyEvent onTimer = {});
    ~TTimer() override;

    int Interval() const { return interval_; }
    void setInterval(int ms);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool isRunning() const { return enabled_ && interval_ > 0; }

    TNotifyEvent OnTimer;

private:
    friend class Clock;
    void restart();
    void fire();

    int interval_;
    bool enabled_;
};
