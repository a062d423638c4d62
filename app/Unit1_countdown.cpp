// The countdown: choosing the target, showing what remains on the dial, and the end with its alarm.
#include "app/Unit1.h"

#include "editor/Unit2.h"
#include "toolkit/clock.h"
#include "toolkit/colorpanel.h"
#include "toolkit/controls.h"

#include <QLabel>
#include <QScopedValueRollback>
#include <QTimeZone>
#include <array>
#include <cmath>

namespace {
constexpr std::array PresetMinutes = {5, 10, 15, 20, 30, 45, 60};
const QString StartCaption = QStringLiteral("Start countdown");
const QString StopCaption = QStringLiteral("Stop countdown");
const QString PausedCaption = QStringLiteral("Paused");

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

// A day or more shows as hours: a duration of 24 hours is not "0m 00s".
QString TForm1::RemainingText(const TTimeSpan& span) {
    if (span.TotalHours() > 0)
        return digits(int(span.TotalHours()), 1) + "h" + digits(span.Minutes(), 1) + "m" +
               digits(span.Seconds(), 2) + "s";
    return digits(span.Minutes(), 1) + "m " + digits(span.Seconds(), 2) + "s";
}

QString TForm1::OvertimeText(const TTimeSpan& sinceEnd) {
    return QLatin1Char('+') + RemainingText(sinceEnd);
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

// A preset is a duration: the target lies that far from now, and Start counts it again in full.
void TForm1::Button1Click(TObject* Sender) {
    const QScopedValueRollback guard(settingDuration_, true);
    TimeEdit1.setUseNowTime(true);
    TimeEdit1.setUseNowTime(false);
    DateEdit1.setDate(Clock::instance().now().date());
    const int minutes = PresetMinutes.at(std::size_t(Sender->Tag()));
    countFrom(minutes);
}

// The target a duration gives, without taking the duration for a target set by hand.
void TForm1::countFrom(int minutes) {
    const QScopedValueRollback guard(settingDuration_, true);
    DurationMinutes = minutes;
    const QDateTime now = Clock::instance().now();
    setTargetMoment(wallClock(now.date(), now.time()).addSecs(60 * qint64(minutes)));
}

void TForm1::applyDuration(int minutes) {
    for (TRadioButton* preset : presets()) {
        if (PresetMinutes.at(std::size_t(preset->Tag())) != minutes)
            continue;
        if (preset->IsChecked())
            Button1Click(preset);
        else
            preset->setIsChecked(true);
        return;
    }
    presetGroup_->uncheckAll();
    countFrom(minutes);
}

// A target set by hand is a moment, not a duration: Start then counts to it as it stands.
void TForm1::setHandTargetByHand() {
    DurationMinutes.reset();
    presetGroup_->uncheckAll();
}

void TForm1::TimeEdit1Change(TObject*) {
    // A target set any other way than from a duration is a moment Start counts to as it stands.
    if (!settingDuration_)
        setHandTargetByHand();
    const QTime time = TimeEdit1.Time();
    const int offset = int(std::trunc(SpinBox1->Value()));
    const int hour = ((time.hour() + offset) % 24 + 24) % 24;
    Label5->setText(digits(hour, 2) + ":" + digits(time.minute(), 2));
}

void TForm1::SpinBox1Change(TObject* Sender) {
    setHandTargetByHand();
    TimeEdit1Change(Sender);
}

void TForm1::AdjusterHandRecipientChange(TObject*) {
    setHandTargetByHand();
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

QDateTime TForm1::countdownNow() const {
    return Paused ? PausedAt : Clock::instance().now();
}

float TForm1::arcStartAngle() const {
    return Paused ? PausedMinuteAngle : Minutehand->RotationAngle();
}

// Each text and the indicator group are set once per tick to what they end up as, so nothing on the
// dial is drawn anew for a change that the same tick takes back.
void TForm1::countdownTick() {
    const int targetMinute = TimeEdit1.Time().minute();
    RemainingSpan = TTimeSpan::fromMilliseconds(countdownNow().msecsTo(TargetTime()));
    const qint64 hours = RemainingSpan.TotalHours();
    const bool running = Button2->Text() == StopCaption;
    // Over from one full second after the target on, so 0m 00s shows for two seconds.
    const bool ended = RemainingSpan.WholeSeconds() < 0;
    const bool overtime = ended && running && Countdown.Overtime;

    if (running && hours > 0)
        CountdownState = 2;
    if (running && hours == 0)
        CountdownState = 1;
    if (running || ended)
        SetIndicatorGroupVisible(running && !ended && hours == 0);

    if (ended) {
        DaInitMessage->setText(Finish_Message->Text());
        DaMessage->setText(overtime ? OvertimeText(TTimeSpan{-RemainingSpan.Ticks}) : QString());
        // Only a countdown the user started may sound on air.
        if (PlaySound_Chosen->IsChecked() && !AlarmPlayed && running) {
            playAlarm();
            AlarmPlayed = true;
        }
    } else {
        DaInitMessage->setText(Paused ? PausedCaption : StartMessage);
        DaMessage->setText(RemainingText(RemainingSpan));
        AlarmPlayed = false;
    }
    const bool lastSeconds =
        Countdown.WarnSeconds > 0 && !ended && RemainingSpan.WholeSeconds() < Countdown.WarnSeconds;
    showWarning(running && (lastSeconds || overtime));

    AdjusterHand->setValue(-6.0 * targetMinute);
    AdjusterHandChange(AdjusterHand);
}

// The remaining time and the arc in the warning colour, or in the skin's own.
void TForm1::showWarning(bool warn) {
    DaMessage->setFontColor(QColor::fromRgba(warn ? Countdown.WarnColor : editor().TextColorPanel->Color()));
    setArcColour(warn ? Countdown.WarnColor : editor().ArcColorPanel->Color());
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
    double sweep = a - arcStartAngle();
    if (sweep < 0)
        sweep += 360;
    AdjusterArc->setEndAngle(float(sweep));
}

// Start counts a chosen duration in full from now; a target set by hand is counted to as it stands.
void TForm1::Button2Click(TObject*) {
    if (CountdownState == 0) {
        if (DurationMinutes)
            countFrom(*DurationMinutes);
        Button2->setText(StopCaption);
        AlarmPlayed = false;
        SetIndicatorGroupVisible(true);
        CountdownState = 1;
    } else {
        Button2->setText(StartCaption);
        SetIndicatorGroupVisible(false);
        CountdownState = 0;
        Paused = false;
    }
    Button2->setIsPressed(CountdownState != 0);
    DaInitMessage->setVisible(Indicator->Visible());
    DaMessage->setVisible(Indicator->Visible());
    showPauseState();
}

void TForm1::startCountdown() {
    if (CountdownState == 0)
        Button2Click(Button2);
}

void TForm1::stopCountdown() {
    if (CountdownState != 0)
        Button2Click(Button2);
}

bool TForm1::pauseCountdown() {
    if (CountdownState == 0)
        return false;
    if (!Paused) {
        PausedAt = Clock::instance().now();
        PausedMinuteAngle = Minutehand->RotationAngle();
        Paused = true;
        showPauseState();
    }
    return true;
}

void TForm1::resumeCountdown() {
    if (!Paused)
        return;
    const qint64 pausedFor = PausedAt.msecsTo(Clock::instance().now());
    Paused = false;
    const QScopedValueRollback guard(settingDuration_, true);
    setTargetMoment(wallClock(DateEdit1.Date(), TimeEdit1.Time()).addMSecs(pausedFor));
    showPauseState();
}

void TForm1::togglePause() {
    if (Paused)
        resumeCountdown();
    else
        pauseCountdown();
}

// A target that would lie behind the moment the countdown measures from ends it at once, as any end.
void TForm1::addToCountdown(qint64 seconds) {
    QDateTime target = wallClock(DateEdit1.Date(), TimeEdit1.Time()).addSecs(seconds);
    const QDateTime now = countdownNow();
    const QDateTime endNow = wallClock(now.date(), now.time()).addMSecs(-1000);
    if (target < endNow)
        target = endNow;
    const QScopedValueRollback guard(settingDuration_, true);
    setTargetMoment(target);
}

TForm1::CountdownStatus TForm1::countdownStatus() const {
    CountdownStatus status;
    status.running = CountdownState != 0;
    status.paused = Paused;
    if (status.running)
        status.remaining = TTimeSpan::fromMilliseconds(countdownNow().msecsTo(TargetTime())).WholeSeconds();
    status.target = TargetTime();
    status.message = StartMessage;
    status.skin = GetDeepestDir(SkinDir);
    return status;
}

std::array<TRadioButton*, 7> TForm1::presets() const {
    return {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5, RadioButton6, RadioButton7};
}

// The pause button names what a click does next.
void TForm1::showPauseState() {
    if (!PauseButton)
        return;
    PauseButton->setText(Paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    PauseButton->setIsPressed(Paused);
    PauseButton->setEnabled(CountdownState != 0);
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
