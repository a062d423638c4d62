#include "toolkit/clock.h"

#include "toolkit/animation.h"
#include "toolkit/timer.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>

Clock& Clock::instance() {
    static Clock clock;
    return clock;
}

Clock::Clock() {
    realTime_.start();
}

QDateTime Clock::now() const {
    if (!manual_)
        return QDateTime::currentDateTime();
    return manualBase_.addMSecs(now_ - manualBaseMs_);
}

void Clock::setManualTime(const QDateTime& local) {
    manual_ = true;
    manualBase_ = local;
    manualBaseMs_ = now_;
    if (pumpTimer_)
        pumpTimer_->stop();
}

void Clock::setFrameRate(int framesPerSecond) {
    frameRate_ = std::clamp(framesPerSecond, 1, 1000);
    schedulePump();
}

void Clock::setDisplayRate(double hertz) {
    // A screen that reports no sensible rate is taken to refresh at the usual 60 Hz.
    displayRate_ = hertz >= 1 && hertz <= 1000 ? hertz : DefaultFrameRate;
    schedulePump();
}

double Clock::frameIntervalMs() const {
    return 1000.0 / std::min<double>(frameRate_, displayRate_);
}

qint64 Clock::nextFrameAt(qint64 ms) const {
    const double interval = frameIntervalMs();
    for (qint64 k = qint64(std::floor(double(ms) / interval));; ++k) {
        // Frame k falls at k intervals, to the whole millisecond at or after it.
        const qint64 at = qint64(std::ceil(double(k) * interval - 1e-6));
        if (at > ms)
            return at;
    }
}

void Clock::advance(qint64 ms) {
    processUntil(now_ + ms);
}

void Clock::arm(TTimer* timer, qint64 deadline) {
    disarm(timer);
    timers_.push_back({timer, deadline, nextSequence_++});
    schedulePump();
}

void Clock::disarm(TTimer* timer) {
    std::erase_if(timers_, [timer](const TimerSlot& slot) { return slot.timer == timer; });
}

void Clock::addAnimation(TFloatAnimation* animation) {
    if (std::find(animations_.begin(), animations_.end(), animation) == animations_.end())
        animations_.push_back(animation);
    schedulePump();
}

void Clock::removeAnimation(TFloatAnimation* animation) {
    std::erase(animations_, animation);
}

bool Clock::nextEventTime(qint64 limit, qint64& when) const {
    qint64 best = std::numeric_limits<qint64>::max();
    for (const TimerSlot& slot : timers_)
        best = std::min(best, slot.deadline);
    for (const TFloatAnimation* animation : animations_)
        best = std::min(best, animation->endMs());
    if (best > limit)
        return false;
    when = std::max(best, now_);
    return true;
}

// Events are handled in time order; at one moment the animations come first, so a step that
// lasts exactly one timer period reaches its end before the timer starts the next one.
void Clock::processUntil(qint64 target) {
    if (processing_)
        return;
    processing_ = true;
    qint64 when = 0;
    while (nextEventTime(target, when)) {
        now_ = when;
        updateAnimations();
        fireDueTimers();
    }
    now_ = std::max(now_, target);
    updateAnimations();
    processing_ = false;
}

void Clock::updateAnimations() {
    // A finish handler may start or stop animations, so walk a snapshot.
    std::vector<TFloatAnimation*> running = animations_;
    std::stable_sort(running.begin(), running.end(), [](const TFloatAnimation* a, const TFloatAnimation* b) {
        return a->endMs() < b->endMs();
    });
    for (TFloatAnimation* animation : running)
        if (std::find(animations_.begin(), animations_.end(), animation) != animations_.end())
            animation->advanceTo(now_);
}

void Clock::fireDueTimers() {
    std::vector<TimerSlot> due;
    for (const TimerSlot& slot : timers_)
        if (slot.deadline <= now_)
            due.push_back(slot);
    std::sort(due.begin(), due.end(), [](const TimerSlot& a, const TimerSlot& b) {
        return a.deadline != b.deadline ? a.deadline < b.deadline : a.sequence < b.sequence;
    });
    for (const TimerSlot& slot : due) {
        auto it = std::find_if(timers_.begin(), timers_.end(), [&](const TimerSlot& s) {
            return s.timer == slot.timer && s.sequence == slot.sequence;
        });
        if (it == timers_.end())
            continue; // stopped or restarted by an earlier handler
        it->deadline = now_ + slot.timer->Interval();
        it->sequence = nextSequence_++;
        slot.timer->fire();
    }
}

void Clock::schedulePump() {
    if (manual_ || processing_)
        return;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    if (!pumpTimer_) {
        pumpTimer_ = new QTimer(app); // owned by the application, so it dies with the event loop
        pumpTimer_->setSingleShot(true);
        pumpTimer_->setTimerType(Qt::PreciseTimer);
        QObject::connect(pumpTimer_, &QTimer::timeout, [this] { pump(); });
    }
    const qint64 elapsed = realTime_.elapsed();
    qint64 wait = std::numeric_limits<int>::max();
    for (const TimerSlot& slot : timers_)
        wait = std::min(wait, slot.deadline - elapsed);
    if (!animations_.empty())
        wait = std::min(wait, nextFrameAt(elapsed) - elapsed);
    if (wait == std::numeric_limits<int>::max()) {
        pumpTimer_->stop();
        return;
    }
    const int delay = int(std::max<qint64>(0, wait));
    if (!pumpTimer_->isActive() || pumpTimer_->remainingTime() > delay)
        pumpTimer_->start(delay);
}

void Clock::pump() {
    if (manual_)
        return;
    processUntil(realTime_.elapsed());
    schedulePump();
}
