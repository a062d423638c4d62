#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QPointer>
#include <vector>

class TTimer;
class TFloatAnimation;
class QTimer;

// The one source of time for the program: the local date-time the handlers read, and the
// monotonic time that drives every TTimer and TFloatAnimation. In the program a single Qt timer
// pumps it; tests switch it to manual mode, set the local time and step it with advance().
class Clock {
public:
    static Clock& instance();

    QDateTime now() const;
    // Milliseconds on the monotonic scale; inside an event it is that event's moment.
    qint64 monotonicMs() const { return manual_ || processing_ ? now_ : realTime_.elapsed(); }

    // Manual mode: the local time becomes `local` and moves only through advance().
    void setManualTime(const QDateTime& local);
    bool isManual() const { return manual_; }
    // Moves time forward, firing due timers and animation finishes in time order.
    void advance(qint64 ms);

    // While an animation runs, frames come this often in the program. The clock tick comes at the
    // same pace and its steps ease in, so a step shows nearly all its motion in its last frame;
    // frames in between would cost a second's worth of repaints for no visible gain.
    static constexpr int FrameIntervalMs = 50;

private:
    friend class TTimer;
    friend class TFloatAnimation;

    Clock();
    struct TimerSlot {
        TTimer* timer;
        qint64 deadline;
        quint64 sequence;
    };

    void arm(TTimer* timer, qint64 deadline);
    void disarm(TTimer* timer);
    void addAnimation(TFloatAnimation* animation);
    void removeAnimation(TFloatAnimation* animation);

    void processUntil(qint64 target);
    bool nextEventTime(qint64 limit, qint64& when) const;
    void updateAnimations();
    void fireDueTimers();
    void schedulePump();
    void pump();

    bool manual_ = false;
    qint64 now_ = 0;
    QElapsedTimer realTime_;
    QDateTime manualBase_;
    qint64 manualBaseMs_ = 0;
    quint64 nextSequence_ = 0;
    bool processing_ = false;
    std::vector<TimerSlot> timers_;
    std::vector<TFloatAnimation*> animations_;
    QPointer<QTimer> pumpTimer_;
};
