#include "toolkit/timer.h"

#include "toolkit/clock.h"

TTimer::TTimer(const QString& name, int intervalMs, bool enabled, TNotifyEvent onTimer)
    : TObject(name), OnTimer(std::move(onTimer)), interval_(intervalMs), enabled_(enabled) {
    restart();
}

TTimer::~TTimer() {
    Clock::instance().disarm(this);
}

void TTimer::setInterval(int ms) {
    if (ms == interval_)
        return;
    interval_ = ms;
    restart();
}

void TTimer::setEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    restart();
}

void TTimer::restart() {
    Clock& clock = Clock::instance();
    if (isRunning())
        clock.arm(this, clock.monotonicMs() + interval_);
    else
        clock.disarm(this);
}

void TTimer::fire() {
    if (OnTimer)
        OnTimer(this);
}
