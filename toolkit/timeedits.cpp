#include "toolkit/timeedits.h"

#include "toolkit/clock.h"

void TTimeEdit::setTime(QTime time) {
    if (time == time_)
        return;
    time_ = time;
    if (OnChange)
        OnChange(this);
}

void TTimeEdit::setUseNowTime(bool on) {
    useNow_ = on;
    if (on)
        setTime(Clock::instance().now().time());
}

void TDateEdit::setDate(QDate date) {
    if (date == date_)
        return;
    date_ = date;
    if (OnChange)
        OnChange(this);
}
