#pragma once

#include "toolkit/tobject.h"

#include <QDate>
#include <QTime>

// Holds a time of day; the change event fires on every real change.
class TTimeEdit : public TObject {
public:
    explicit TTimeEdit(const QString& name) : TObject(name) {}
    QTime Time() const { return time_; }
    void setTime(QTime time);
    bool UseNowTime() const { return useNow_; }
    // Switching it on copies the clock's current time of day.
    void setUseNowTime(bool on);
    TNotifyEvent OnChange;

private:
    QTime time_{0, 0};
    bool useNow_ = false;
};

// Holds a date; the change event fires on every real change.
class TDateEdit : public TObject {
public:
    explicit TDateEdit(const QString& name) : TObject(name) {}
    QDate Date() const { return date_; }
    void setDate(QDate date);
    TNotifyEvent OnChange;

private:
    QDate date_;
};
