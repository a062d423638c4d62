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

    // While an animation runs, the program steps the animations once a frame at the display's
    // refresh rate, capped at FrameRate (a weak machine may ask for 30). Nothing is stepped while
    // nothing runs but timers. In manual mode only advance() moves anything.
    static constexpr int DefaultFrameRate = 60;
    void setFrameRate(int framesPerSecond);
    int FrameRate() const { return frameRate_; }
    // The refresh rate of the screen the scene is shown on; the view reports it.
    void setDisplayRate(double hertz);
    // Milliseconds from one animation frame to the next.
    double frameIntervalMs() const;
    // The first frame after `ms` on the monotonic scale: frames fall on an even grid, so their
    // spacing never drifts with the rounding of timers to whole milliseconds.
    qint64 nextFrameAt(qint64 ms) const;

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
    int frameRate_ = DefaultFrameRate;
    double displayRate_ = DefaultFrameRate;
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
