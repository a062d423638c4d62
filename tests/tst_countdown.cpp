#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "recordingplayer.h"
#include "testsupport.h"
#include "toolkit/controls.h"

#include <QLabel>
#include <QtTest>

class TestCountdown : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 3, 10, 14, 20, 35, 250); }
    void presetSetsTargetAndLabel_data();
    void presetSetsTargetAndLabel();
    void newlyCheckedPresetWins();
    void offsetChangeMovesLabel();
    void startUpAppliesTenMinutes_data();
    void startUpAppliesTenMinutes();
    void clockwiseDial_data();
    void clockwiseDial();
    void counterClockwiseDial_data();
    void counterClockwiseDial();
    void remainingText_data();
    void remainingText();
    void hourSwitchesIndicatorGroup();
    void tenSecondsToTheEndAndTheAlarm();
    void noAlarmWithoutRunningCountdown();
    void failingSoundIsSwallowed();
    void testButtonPlaysAndLogs();
    void startAndStop();
    void clockwiseArc_data();
    void clockwiseArc();
    void counterClockwiseArc();
};

namespace {
RecordingPlayer& recorder(TForm1& form) {
    auto player = std::make_unique<RecordingPlayer>();
    RecordingPlayer& recording = *player;
    form.MediaPlayer1 = std::move(player);
    return recording;
}

TRadioButton* preset(TForm1& form, int tag) {
    return std::array{form.RadioButton1, form.RadioButton2, form.RadioButton3, form.RadioButton4,
                      form.RadioButton5, form.RadioButton6, form.RadioButton7}
        .at(std::size_t(tag));
}

void setTarget(TForm1& form, const QDateTime& target) {
    form.DateEdit1.setDate(target.date());
    form.TimeEdit1.setTime(target.time());
}

// The dial value that puts the bezel at position b, counted clockwise from 12 o'clock.
double dialValueFor(double b) {
    return TArcDial::normalized(90 - b);
}

QStringList alarmCalls(const QString& file) {
    return {"Stop", "Clear", "FileName=" + file, "Play"};
}
} // namespace

void TestCountdown::presetSetsTargetAndLabel_data() {
    QTest::addColumn<QTime>("now");
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QDateTime>("target");
    QTest::addColumn<QString>("label");
    const QDate today(2026, 3, 10);
    const QDate tomorrow = today.addDays(1);
    QTest::newRow("45 min") << QTime(14, 20, 35, 250) << 5 << 0 << QDateTime(today, QTime(15, 5, 35, 250))
                            << "15:05";
    QTest::newRow("45 min, offset 2")
        << QTime(14, 20, 35, 250) << 5 << 2 << QDateTime(today, QTime(15, 5, 35, 250)) << "17:05";
    QTest::newRow("5 min") << QTime(9, 0) << 0 << 0 << QDateTime(today, QTime(9, 5)) << "09:05";
    QTest::newRow("60 min") << QTime(9, 0) << 6 << 0 << QDateTime(today, QTime(10, 0)) << "10:00";
    QTest::newRow("10 min across midnight")
        << QTime(23, 55) << 1 << 0 << QDateTime(tomorrow, QTime(0, 5)) << "00:05";
    QTest::newRow("offset past 23 wraps")
        << QTime(21, 0) << 6 << 6 << QDateTime(today, QTime(22, 0)) << "04:00";
    QTest::newRow("offset below 0 wraps")
        << QTime(1, 0) << 3 << -3 << QDateTime(today, QTime(1, 20)) << "22:20";
}

void TestCountdown::presetSetsTargetAndLabel() {
    QFETCH(QTime, now);
    QFETCH(int, tag);
    QFETCH(int, offset);
    setLocalTime(2026, 3, 10, now.hour(), now.minute(), now.second(), now.msec());
    TForm1 form;
    form.SpinBox1->setValue(offset);
    preset(form, tag)->setIsChecked(true);
    QTEST(form.TargetTime(), "target");
    QTEST(form.Label5->text(), "label");
    // A target across midnight is ahead, not a day behind: the countdown goes on.
    form.UhrzeitTimerTimer(nullptr);
    QCOMPARE(form.DaInitMessage->Text(), form.StartMessage);
}

void TestCountdown::newlyCheckedPresetWins() {
    TForm1 form;
    form.RadioButton6->setIsChecked(true);
    advance(1000);
    form.RadioButton1->setIsChecked(true);
    const QDateTime expected(QDate(2026, 3, 10), QTime(14, 25, 36, 250));
    QCOMPARE(form.TargetTime(), expected);
    // Clicking the checked preset again counts its five minutes from now again.
    advance(60'000);
    form.RadioButton1->click();
    QVERIFY(form.RadioButton1->IsChecked());
    QCOMPARE(form.TargetTime(), expected.addSecs(60));
}

void TestCountdown::offsetChangeMovesLabel() {
    TForm1 form;
    QCOMPARE(form.Label5->text(), QStringLiteral("14:30"));
    form.SpinBox1->setValue(-12);
    QCOMPARE(form.Label5->text(), QStringLiteral("02:30"));
    form.SpinBox1->setValue(12);
    QCOMPARE(form.Label5->text(), QStringLiteral("02:30"));
    form.SpinBox1->setValue(9);
    QCOMPARE(form.Label5->text(), QStringLiteral("23:30"));
}

void TestCountdown::startUpAppliesTenMinutes_data() {
    QTest::addColumn<QTime>("now");
    QTest::addColumn<QDateTime>("target");
    QTest::newRow("afternoon") << QTime(14, 20, 35, 250)
                               << QDateTime(QDate(2026, 3, 10), QTime(14, 30, 35, 250));
    QTest::newRow("just before midnight")
        << QTime(23, 58, 1) << QDateTime(QDate(2026, 3, 11), QTime(0, 8, 1));
}

void TestCountdown::startUpAppliesTenMinutes() {
    QFETCH(QTime, now);
    setLocalTime(2026, 3, 10, now.hour(), now.minute(), now.second(), now.msec());
    TForm1 form;
    QTEST(form.TargetTime(), "target");
    QVERIFY(form.RadioButton2->IsChecked()); // so Start counts ten minutes whenever it comes
    QCOMPARE(form.CountdownState, 0);
    QCOMPARE(form.Button2->Text(), QStringLiteral("Start countdown"));
}

void TestCountdown::clockwiseDial_data() {
    QTest::addColumn<QDateTime>("before");
    QTest::addColumn<double>("previous");
    QTest::addColumn<double>("position");
    QTest::addColumn<QDateTime>("after");
    const QDate day(2026, 3, 10);
    const QDate next = day.addDays(1);
    QTest::newRow("past 12 clockwise rolls on")
        << QDateTime(day, QTime(10, 58)) << 348.0 << 6.0 << QDateTime(day, QTime(11, 1));
    QTest::newRow("past 12 counter-clockwise rolls back")
        << QDateTime(day, QTime(11, 1)) << 6.0 << 348.0 << QDateTime(day, QTime(10, 58));
    QTest::newRow("jump from 290 does not roll")
        << QDateTime(day, QTime(10, 48)) << 290.0 << 10.0 << QDateTime(day, QTime(10, 1));
    QTest::newRow("from exactly 300 does not roll")
        << QDateTime(day, QTime(10, 50)) << 300.0 << 10.0 << QDateTime(day, QTime(10, 1));
    QTest::newRow("to exactly 20 does not roll")
        << QDateTime(day, QTime(10, 58)) << 310.0 << 20.0 << QDateTime(day, QTime(10, 3));
    QTest::newRow("to exactly 300 does not roll")
        << QDateTime(day, QTime(10, 1)) << 10.0 << 300.0 << QDateTime(day, QTime(10, 50));
    QTest::newRow("seconds cleared, date kept")
        << QDateTime(day, QTime(10, 20, 17, 400)) << 150.0 << 180.0 << QDateTime(day, QTime(10, 30));
    QTest::newRow("roll past midnight moves the date")
        << QDateTime(day, QTime(23, 58)) << 348.0 << 6.0 << QDateTime(next, QTime(0, 1));
    QTest::newRow("roll back past midnight moves the date")
        << QDateTime(next, QTime(0, 1)) << 6.0 << 348.0 << QDateTime(day, QTime(23, 58));
}

void TestCountdown::clockwiseDial() {
    QFETCH(QDateTime, before);
    QFETCH(double, previous);
    QFETCH(double, position);
    TForm1 form;
    setTarget(form, before);
    form.PrevDialAngle = previous;
    form.AdjusterHandRecipient->setValue(dialValueFor(position));
    QTEST(form.TargetTime(), "after");
    QCOMPARE(form.PrevDialAngle, position);
    QCOMPARE(form.Label5->text(), form.TimeEdit1.Time().toString("hh:mm"));
}

void TestCountdown::counterClockwiseDial_data() {
    QTest::addColumn<QTime>("now");
    QTest::addColumn<double>("position");
    QTest::addColumn<QDateTime>("target");
    const QDate day(2026, 3, 10);
    QTest::newRow("20 minutes on") << QTime(9, 47, 30) << 120.0 << QDateTime(day, QTime(10, 7));
    QTest::newRow("within the hour") << QTime(9, 17, 59, 999) << 60.0 << QDateTime(day, QTime(9, 27));
    QTest::newRow("across midnight") << QTime(23, 50, 10) << 120.0 << QDateTime(day.addDays(1), QTime(0, 10));
}

void TestCountdown::counterClockwiseDial() {
    QFETCH(QTime, now);
    QFETCH(double, position);
    setLocalTime(2026, 3, 10, now.hour(), now.minute(), now.second(), now.msec());
    TForm1 form;
    form.editor().CheckBox6->setIsChecked(true);
    form.AdjusterHandRecipient->setValue(TArcDial::normalized(90 - position));
    QTEST(form.TargetTime(), "target");
    QVERIFY(qAbs(form.PrevDialAngle - position) < 1e-4);
    QVERIFY(qAbs(form.NewStopTime->RotationAngle() - position) < 1e-4);
}

void TestCountdown::remainingText_data() {
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("text");
    constexpr qint64 s = 1000, m = 60 * s, h = 60 * m;
    QTest::newRow("hours") << (1 * h + 5 * m + 7 * s) << "1h5m07s";
    QTest::newRow("minutes") << (4 * m + 9 * s) << "4m 09s";
    QTest::newRow("last millisecond of an hour") << (h - 1) << "59m 59s";
    // A day ahead reads as 24 hours, not as nothing left.
    QTest::newRow("a day and more as hours") << (25 * h) << "25h0m00s";
    QTest::newRow("exactly a day") << (24 * h) << "24h0m00s";
    QTest::newRow("just past the target") << -999ll << "0m 00s";
    QTest::newRow("negative seconds") << (-5 * s) << "0m -05s";
    QTest::newRow("negative minutes") << -(m + 5 * s) << "-1m -05s";
    QTest::newRow("negative hours hide") << -(h + 2 * m + 3 * s) << "-2m -03s";
}

void TestCountdown::remainingText() {
    QFETCH(qint64, ms);
    QTEST(TForm1::RemainingText(TTimeSpan::fromMilliseconds(ms)), "text");
}

void TestCountdown::hourSwitchesIndicatorGroup() {
    TForm1 form;
    const QDateTime now = Clock::instance().now();
    form.Button2Click(form.Button2);
    setTarget(form, now.addSecs(3605));
    form.UhrzeitTimerTimer(nullptr);
    QCOMPARE(form.DaMessage->Text(), QStringLiteral("1h0m05s"));
    QCOMPARE(form.CountdownState, 2);
    QVERIFY(!form.Indicator->Visible() && !form.ArcOntop->Visible() && !form.AdjusterArc->Visible());
    QVERIFY(form.DaMessage->Visible());

    setTarget(form, now.addSecs(3599));
    form.UhrzeitTimerTimer(nullptr);
    QCOMPARE(form.DaMessage->Text(), QStringLiteral("59m 59s"));
    QCOMPARE(form.CountdownState, 1);
    QVERIFY(form.Indicator->Visible() && form.ArcOntop->Visible() && form.AdjusterArc->Visible());
}

void TestCountdown::tenSecondsToTheEndAndTheAlarm() {
    TForm1 form;
    RecordingPlayer& player = recorder(form);
    form.AlarmFile = "/skins/Orvane/alarm.wav";
    form.PlaySound_Chosen->setIsChecked(true);
    form.StartMessage = "Starting soon";
    setTarget(form, Clock::instance().now().addSecs(10));
    form.Button2->Click();
    QCOMPARE(form.Button2->Text(), QStringLiteral("Stop countdown"));

    QStringList shown;
    for (int step = 0; step < 11 * 20; ++step) {
        advance(50);
        if (shown.isEmpty() || shown.last() != form.DaMessage->Text())
            shown << form.DaMessage->Text();
        if (step % 20 == 19 && step < 200) // the end comes only from one full second past the target
            QCOMPARE(form.DaInitMessage->Text(), QStringLiteral("Starting soon"));
    }
    QCOMPARE(shown, (QStringList{"0m 09s", "0m 08s", "0m 07s", "0m 06s", "0m 05s", "0m 04s", "0m 03s",
                                 "0m 02s", "0m 01s", "0m 00s", ""}));
    QCOMPARE(form.DaInitMessage->Text(), QStringLiteral("Countdown ended"));
    QVERIFY(!form.Indicator->Visible() && !form.AdjusterArc->Visible() && !form.ArcOntop->Visible());
    QCOMPARE(player.calls, alarmCalls("/skins/Orvane/alarm.wav"));

    advance(10 * 60 * 1000);
    QCOMPARE(player.plays(), 1);

    // Stopping and starting again after the end re-arms the alarm: it sounds once more.
    form.Button2->Click();
    form.Button2->Click();
    advance(50);
    QCOMPARE(player.plays(), 2);
    advance(5000);
    QCOMPARE(player.plays(), 2);

    // A new target in the future brings the display back, and the alarm with it.
    setTarget(form, Clock::instance().now().addSecs(3));
    advance(50);
    QCOMPARE(form.DaMessage->Text(), QStringLiteral("0m 02s"));
    QCOMPARE(form.DaInitMessage->Text(), QStringLiteral("Starting soon"));
    advance(4000);
    QCOMPARE(player.plays(), 3);
}

void TestCountdown::noAlarmWithoutRunningCountdown() {
    TForm1 form;
    RecordingPlayer& player = recorder(form);
    form.AlarmFile = "/skins/a/alarm.mp3";
    form.PlaySound_Chosen->setIsChecked(true);
    setTarget(form, Clock::instance().now().addSecs(2));
    advance(5000);
    // The texts change unseen, but nothing sounds on air.
    QCOMPARE(form.DaInitMessage->Text(), QStringLiteral("Countdown ended"));
    QVERIFY(!form.DaInitMessage->Visible());
    QVERIFY(player.calls.isEmpty());
    // Not chosen: silent even while running.
    form.PlaySound_Chosen->setIsChecked(false);
    form.Button2->Click();
    advance(1000);
    QVERIFY(player.calls.isEmpty());
}

void TestCountdown::failingSoundIsSwallowed() {
    TForm1 form;
    RecordingPlayer& player = recorder(form);
    player.failingCall = "FileName";
    form.AlarmFile = "/nowhere/alarm.wav";
    form.PlaySound_Chosen->setIsChecked(true);
    setTarget(form, Clock::instance().now().addSecs(1));
    form.Button2->Click();
    advance(3000);
    // The failure stops the rest of the sequence, and the end is not retried.
    QCOMPARE(player.calls, (QStringList{"Stop", "Clear", "FileName=/nowhere/alarm.wav"}));
    QVERIFY(form.AlarmPlayed);
    QCOMPARE(form.DaMessage->Text(), QString());
    form.PlaysoundClick(form.Playsound);
    QCOMPARE(player.calls.size(), 6);
}

namespace {
QStringList loggedLines;
void recordLog(QtMsgType, const QMessageLogContext&, const QString& message) {
    loggedLines << message;
}
} // namespace

void TestCountdown::testButtonPlaysAndLogs() {
    TForm1 form;
    RecordingPlayer& player = recorder(form);
    form.AlarmFile = "/skins/b/bell.wav";
    form.AlarmPlayed = true;
    loggedLines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordLog);
    form.Playsound->Click();
    qInstallMessageHandler(previous);
    QCOMPARE(loggedLines, QStringList{"Horavis Button3Click"});
    QCOMPARE(player.calls, alarmCalls("/skins/b/bell.wav"));
    QVERIFY(form.AlarmPlayed);

    // A skin without an alarm sound: the player gets an empty name and nothing else happens.
    form.AlarmFile.clear();
    form.Playsound->Click();
    QCOMPARE(player.calls.mid(4), alarmCalls(QString()));
}

void TestCountdown::startAndStop() {
    TForm1 form;
    form.AlarmPlayed = true;
    form.Button2->Click();
    QCOMPARE(form.CountdownState, 1);
    QVERIFY(!form.AlarmPlayed);
    QVERIFY(form.Button2->IsPressed());
    QVERIFY(form.DaInitMessage->Visible() && form.DaMessage->Visible() && form.Indicator->Visible());
    advance(50);
    QCOMPARE(form.DaMessage->Text(), QStringLiteral("9m 59s"));

    form.Button2->Click();
    QCOMPARE(form.CountdownState, 0);
    QCOMPARE(form.Button2->Text(), QStringLiteral("Start countdown"));
    QVERIFY(!form.DaInitMessage->Visible() && !form.DaMessage->Visible() && !form.Indicator->Visible());
    // Idle, the ticks leave the group hidden.
    advance(50);
    QVERIFY(!form.Indicator->Visible() && !form.AdjusterArc->Visible());
}

void TestCountdown::clockwiseArc_data() {
    QTest::addColumn<QTime>("now");
    QTest::addColumn<QTime>("target");
    QTest::addColumn<float>("sweep");
    QTest::addColumn<float>("bezel");
    QTest::newRow("minute 0, hand at 12") << QTime(10, 0) << QTime(11, 0) << 360.0f << 0.0f;
    QTest::newRow("minute 0, hand at 15") << QTime(10, 15) << QTime(11, 0) << 270.0f << 0.0f;
    QTest::newRow("minute 30") << QTime(10, 0) << QTime(10, 30) << 180.0f << 180.0f;
    QTest::newRow("minute 45") << QTime(10, 15) << QTime(10, 45) << 180.0f << -90.0f;
    QTest::newRow("hand past the mark in the last minute")
        << QTime(10, 45, 30) << QTime(10, 45, 50) << 357.0f << -90.0f;
}

void TestCountdown::clockwiseArc() {
    QFETCH(QTime, now);
    QFETCH(QTime, target);
    QFETCH(float, sweep);
    QFETCH(float, bezel);
    setLocalTime(2026, 3, 10, now.hour(), now.minute(), now.second());
    TForm1 form;
    form.Button2->Click();
    setTarget(form, QDateTime(QDate(2026, 3, 10), target));
    form.UhrzeitTimerTimer(nullptr);
    QCOMPARE(form.AdjusterArc->EndAngle(), sweep);
    QVERIFY(qAbs(TArcDial::normalized(form.ArcOntop->RotationAngle() - bezel)) < 1e-3);
    // The mini bezel rides the minute hand yet points where the bezel indicator does.
    QCOMPARE(form.MinutehandExtraAdjusterBezel->RotationAngle() + form.Minutehand->RotationAngle(),
             form.ArcOntop->RotationAngle());
    // Running the display again changes nothing.
    form.AdjusterHandChange(form.AdjusterHand);
    QCOMPARE(form.AdjusterArc->EndAngle(), sweep);
}

void TestCountdown::counterClockwiseArc() {
    TForm1 form;
    form.editor().CheckBox6->setIsChecked(true);
    setTarget(form, Clock::instance().now().addSecs(15 * 60 + 30));
    form.UhrzeitTimerTimer(nullptr);
    QCOMPARE(form.AdjusterArc->EndAngle(), float((15 + 30 / 60.0) / 60 * 360));
    QVERIFY(form.Indicator->Visible() && form.ArcOntop->Visible());
    QVERIFY(!form.AdjusterArc->Visible()); // its visibility stays with the countdown
    QCOMPARE(form.ArcOntop->RotationAngle(), -60.0f);
    QCOMPARE(form.AdjusterArc->StartAngle(), -90.0f);
}

QTEST_MAIN(TestCountdown)
#include "tst_countdown.moc"
