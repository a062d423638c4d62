// The countdown: choosing the target, showing what remains on the dial, and the end with its alarm.
#include "app/Unit1.h"

#include "editor/Unit2.h"
#include "toolkit/clock.h"
#include "toolkit/controls.h"

#include <QLabel>
#include <QTimeZone>
#include <array>
#include <cmath>

namespace {
constexpr std::array PresetMinutes = {5, 10, 15, 20, 30, 45, 60};
const QString StartCaption = QStringLiteral("Start countdown");
const QString StopCaption = QStringLiteral("Stop countdown");

// "0" and "00" patterns: at least that many digits, a minus sign in front of negative values.
QString digits(int value, int width) {
    const QString magnitude = QStringLiteral("%1").arg(std::abs(value), width, 10, QLatin1Char('0'));
    return value < 0 ? QLatin1Char('-') + magnitude : magnitude;
}

// Wall-clock arithmetic on a date and a time of day, free of daylight-saving gaps, so an hour
// added at 23:40 is 00:40 on the next day.
QDateTime wallClock(QDate date, QTime time) {
    return QDateTime(date, time, QTimeZone::utc());
}
} // namespace

QString TForm1::RemainingText(const TTimeSpan& span) {
    if (span.Hours() > 0)
        return digits(span.Hours(), 1) + "h" + digits(span.Minutes(), 1) + "m" + digits(span.Seconds(), 2) +
               "s";
    return digits(span.Minutes(), 1) + "m " + digits(span.Seconds(), 2) + "s";
}

QDateTime TForm1::TargetTime() const {
    return QDateTime(DateEdit1.Date(), TimeEdit1.Time());
}

// The target is a moment: the date moves with the time whenever the time crosses midnight.
void TForm1::setTargetMoment(const QDateTime& moment) {
    DateEdit1.setDate(moment.date());
    TimeEdit1.setTime(moment.time());
}

void TForm1::shiftTarget(int minutes) {
    setTargetMoment(wallClock(DateEdit1.Date(), TimeEdit1.Time()).addSecs(60 * qint64(minutes)));
}

void TForm1::Button1Click(TObject* Sender) {
    TimeEdit1.setUseNowTime(true);
    TimeEdit1.setUseNowTime(false);
    DateEdit1.setDate(Clock::instance().now().date());
    const int minutes = PresetMinutes.at(std::size_t(Sender->Tag()));
    const QDateTime now = Clock::instance().now();
    setTargetMoment(wallClock(now.date(), now.time()).addSecs(60 * qint64(minutes)));
}

void TForm1::TimeEdit1Change(TObject*) {
    const QTime time = TimeEdit1.Time();
    const int offset = int(std::trunc(SpinBox1->Value()));
    const int hour = ((time.hour() + offset) % 24 + 24) % 24;
    Label5->setText(digits(hour, 2) + ":" + digits(time.minute(), 2));
}

void TForm1::SpinBox1Change(TObject* Sender) {
    TimeEdit1Change(Sender);
}

void TForm1::AdjusterHandRecipientChange(TObject*) {
    const double v = AdjusterHandRecipient->Value();
    if (editor().CheckBox6->IsChecked()) {
        Indicator->setRotationAngle(float(180 - v));
        ArcOntop->setRotationAngle(Indicator->RotationAngle() - 90);
        MinutehandExtraAdjusterBezel->setRotationAngle(ArcOntop->RotationAngle() -
                                                       Minutehand->RotationAngle());
        const float stop = Indicator->RotationAngle() - 90;
        NewStopTime->setRotationAngle(stop < 0 ? stop + 360 : stop);

        double c = double(Indicator->RotationAngle()) - 90;
        if (c < 0)
            c += 360;
        PrevDialAngle = c;
        // Now, cut to the whole minute, plus k minutes; the date follows past midnight.
        const QDateTime now = Clock::instance().now();
        TimeEdit1.setTime(now.time());
        const int k = int(std::trunc(c / 6));
        if (k > 59)
            return;
        const QDateTime minuteStart = wallClock(now.date(), QTime(now.time().hour(), now.time().minute()));
        setTargetMoment(minuteStart.addSecs(60 * qint64(k)));
        return;
    }

    NewStopTime->setRotationAngle(float(90 - v));
    double b = NewStopTime->RotationAngle();
    if (b < 0)
        b += 360;
    // A position that rounds up to a full turn names no minute; the target then stays.
    const QTime chosen(TimeEdit1.Time().hour(), int(std::trunc(b / 6)), 0, 0);
    if (chosen.isValid())
        TimeEdit1.setTime(chosen);
    // Passing 12 o'clock moves the hour; exactly 20 or 300 never does.
    if (PrevDialAngle > 300 && b < 20)
        shiftTarget(60);
    else if (PrevDialAngle < 20 && b > 300)
        shiftTarget(-60);
    PrevDialAngle = b;
}

void TForm1::countdownTick() {
    const int targetMinute = TimeEdit1.Time().minute();
    RemainingSpan = TTimeSpan::fromMilliseconds(Clock::instance().now().msecsTo(TargetTime()));
    const int hours = RemainingSpan.Hours();
    DaMessage->setText(RemainingText(RemainingSpan));
    const bool running = Button2->Text() == StopCaption;
    if (hours > 0 && running) {
        SetIndicatorGroupVisible(false);
        CountdownState = 2;
    }
    if (hours == 0 && running) {
        SetIndicatorGroupVisible(true);
        CountdownState = 1;
    }

    // Over from one full second after the target on, so 0m 00s shows for two seconds.
    if (RemainingSpan.WholeSeconds() < 0) {
        DaInitMessage->setText(Finish_Message->Text());
        // Only a countdown the user started may sound on air.
        if (PlaySound_Chosen->IsChecked() && !AlarmPlayed && running) {
            playAlarm();
            AlarmPlayed = true;
        }
        DaMessage->setText(QString());
        SetIndicatorGroupVisible(false);
    } else {
        DaInitMessage->setText(StartMessage);
        AlarmPlayed = false;
    }

    AdjusterHand->setValue(-6.0 * targetMinute);
    AdjusterHandChange(AdjusterHand);
}

void TForm1::AdjusterHandChange(TObject*) {
    if (editor().CheckBox6->IsChecked()) {
        // The bezel indicator always shows here; the arc keeps the visibility the countdown gave it.
        Indicator->setVisible(true);
        ArcOntop->setVisible(Indicator->Visible());
        MinutehandExtraAdjusterBezel->setVisible(Indicator->Visible() &&
                                                 MinutehandExtraAdjusterBezel->Tag() != 0);
        Indicator->setRotationAngle(30);
        ArcOntop->setRotationAngle(Indicator->RotationAngle() - 90);
        MinutehandExtraAdjusterBezel->setRotationAngle(ArcOntop->RotationAngle() -
                                                       Minutehand->RotationAngle());
        const double minutes = RemainingSpan.Minutes() + RemainingSpan.Seconds() / 60.0;
        AdjusterArc->setEndAngle(float(minutes / 60 * 360));
        return;
    }

    Indicator->setRotationAngle(float(90 - AdjusterHand->Value()));
    ArcOntop->setRotationAngle(Indicator->RotationAngle() - 90);
    MinutehandExtraAdjusterBezel->setRotationAngle(ArcOntop->RotationAngle() - Minutehand->RotationAngle());
    const double r = double(Indicator->RotationAngle()) - 90;
    // Minute 0 ends the arc at 12 o'clock: a full turn rather than none.
    const double a = r > 0 ? r : 360 - std::abs(r);
    double sweep = a - Minutehand->RotationAngle();
    if (sweep < 0)
        sweep += 360;
    AdjusterArc->setEndAngle(float(sweep));
}

void TForm1::Button2Click(TObject*) {
    if (CountdownState == 0) {
        Button2->setText(StopCaption);
        AlarmPlayed = false;
        SetIndicatorGroupVisible(true);
        CountdownState = 1;
    } else {
        Button2->setText(StartCaption);
        SetIndicatorGroupVisible(false);
        CountdownState = 0;
    }
    DaInitMessage->setVisible(Indicator->Visible());
    DaMessage->setVisible(Indicator->Visible());
}

void TForm1::PlaysoundClick(TObject*) {
    Logme(QStringLiteral("Button3Click"));
    playAlarm();
}

// A sound that cannot play must never interrupt the watch: a failure is logged and goes no further.
void TForm1::playAlarm() {
    try {
        MediaPlayer1->Stop();
        MediaPlayer1->Clear();
        MediaPlayer1->setFileName(AlarmFile);
        MediaPlayer1->Play();
    } catch (const std::exception& error) {
        Logme(QStringLiteral("The alarm could not play: ") + QString::fromLocal8Bit(error.what()));
    }
}
