#pragma once

#include <QtGlobal>

// A signed span of time in 100-nanosecond ticks. Its parts truncate toward zero and keep the
// span's sign, so a negative span has parts that are zero or negative; whole days are dropped.
struct TTimeSpan {
    static constexpr qint64 TicksPerMillisecond = 10'000;
    static constexpr qint64 TicksPerSecond = 1000 * TicksPerMillisecond;
    static constexpr qint64 TicksPerMinute = 60 * TicksPerSecond;
    static constexpr qint64 TicksPerHour = 60 * TicksPerMinute;

    qint64 Ticks = 0;

    static constexpr TTimeSpan fromMilliseconds(qint64 ms) { return {ms * TicksPerMillisecond}; }
    constexpr int Hours() const { return int(Ticks / TicksPerHour % 24); }
    // Every hour of the span, days included.
    constexpr qint64 TotalHours() const { return Ticks / TicksPerHour; }
    constexpr int Minutes() const { return int(Ticks / TicksPerMinute % 60); }
    constexpr int Seconds() const { return int(Ticks / TicksPerSecond % 60); }
    constexpr qint64 WholeSeconds() const { return Ticks / TicksPerSecond; }
};
