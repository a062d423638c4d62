// The countdown as a live show uses it: durations that start on Start, time added and taken, pause,
// the warning stage and overtime, and the settings that shape them.
#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "recordingdialogs.h"
#include "recordingplayer.h"
#include "skin/profile.h"
#include "skinfixture.h"
#include "testsupport.h"
#include "toolkit/colorpanel.h"
#include "toolkit/controls.h"

#include <QtTest>

class TestLiveShow : public QObject {
    Q_OBJECT
private slots:
    void init() {
        setLocalTime(2026, 5, 8, 19, 57, 20);
        Clock::instance().setFrameRate(Clock::DefaultFrameRate);
    }
    void durations_data();
    void durations();
    void timeAddedAndTaken_data();
    void timeAddedAndTaken();
    void pauseHoldsAcrossMinutes();
    void warningAndOvertime_data();
    void warningAndOvertime();
    void settingsFromTheFile_data();
    void settingsFromTheFile();
    void keys_data();
    void keys();
    void typingIsNotAKey();
    void panelButtons_data();
    void panelButtons();
};

namespace {
using Step = std::function<void(TForm1&)>;

RecordingPlayer& recorder(TForm1& form) {
    auto player = std::make_unique<RecordingPlayer>();
    RecordingPlayer& recording = *player;
    form.MediaPlayer1 = std::move(player);
    return recording;
}

qint64 remaining(const TForm1& form) {
    return form.countdownStatus().remaining.value_or(-999'999);
}

// Runs the clock tick as the program does, so the dial shows what the countdown holds.
void tickFor(qint64 ms) {
    advance(ms);
}
} // namespace

void TestLiveShow::durations_data() {
    QTest::addColumn<Step>("choose");
    QTest::addColumn<qint64>("expected"); // seconds left right after Start, 30 s after the choice
    QTest::newRow("the start-up's ten minutes") << Step([](TForm1&) {}) << qint64(600);
    QTest::newRow("a preset") << Step([](TForm1& f) { f.RadioButton3->setIsChecked(true); }) << qint64(900);
    QTest::newRow("a duration without a button")
        << Step([](TForm1& f) { f.applyDuration(25); }) << qint64(1500);
    QTest::newRow("a duration with a button checks it") << Step([](TForm1& f) {
        f.applyDuration(45);
        QVERIFY(f.RadioButton6->IsChecked());
    }) << qint64(2700);
    // Set by hand, the target is a moment: Start counts to it as it stands.
    QTest::newRow("the bezel") << Step([](TForm1& f) {
        f.AdjusterHandRecipient->setValue(90 - 6 * 10); // minute 10 of the target's hour
        QVERIFY(!f.RadioButton2->IsChecked());
    }) << qint64(12 * 60 + 10); // 20:10:00 from 19:57:50;
}

void TestLiveShow::durations() {
    QFETCH(Step, choose);
    QFETCH(qint64, expected);
    TForm1 form;
    choose(form);
    advance(30'000);
    form.Button2->Click();
    QCOMPARE(remaining(form), expected);
}

void TestLiveShow::timeAddedAndTaken_data() {
    QTest::addColumn<QList<qint64>>("changes");
    QTest::addColumn<qint64>("expected"); // seconds left, or -1 for an ended countdown
    QTest::newRow("one minute more") << QList<qint64>{60} << qint64(660);
    QTest::newRow("five minutes less") << QList<qint64>{-300} << qint64(300);
    QTest::newRow("to and fro") << QList<qint64>{300, -60, -60} << qint64(780);
    QTest::newRow("beyond the end") << QList<qint64>{-700} << qint64(-1);
    QTest::newRow("exactly to now") << QList<qint64>{-600} << qint64(-1);
}

// Running ten minutes: the changes move the target; one that falls behind now ends the countdown, with
// its end message and the alarm once.
void TestLiveShow::timeAddedAndTaken() {
    QFETCH(QList<qint64>, changes);
    QFETCH(qint64, expected);
    TForm1 form;
    RecordingPlayer& player = recorder(form);
    form.AlarmFile = "/skins/a/alarm.wav";
    form.PlaySound_Chosen->setIsChecked(true);
    form.Button2->Click();
    for (const qint64 seconds : changes)
        form.addToCountdown(seconds);
    if (expected >= 0) {
        QCOMPARE(remaining(form), expected);
        tickFor(5000);
        QVERIFY(player.calls.isEmpty());
        return;
    }
    tickFor(1100); // every end comes one full second after its target
    QVERIFY(remaining(form) < 0);
    QCOMPARE(form.DaInitMessage->Text(), QStringLiteral("Countdown ended"));
    QCOMPARE(player.plays(), 1);
    form.addToCountdown(-60);
    tickFor(5000);
    QCOMPARE(player.plays(), 1);
}

// Paused for a minute and a half across two minute marks: the remaining time and the arc stand still,
// the plate says so, and resuming counts on from where it stood.
void TestLiveShow::pauseHoldsAcrossMinutes() {
    TForm1 form;
    form.Button2->Click();
    tickFor(30'000);
    QCOMPARE(remaining(form), 570);
    QVERIFY(form.pauseCountdown());
    tickFor(50);
    const float sweep = form.AdjusterArc->EndAngle();
    const float start = form.AdjusterArc->StartAngle();
    const QString shown = form.DaMessage->Text();
    const QDateTime target = form.TargetTime();
    tickFor(90'000);
    QVERIFY(form.countdownStatus().paused);
    QCOMPARE(remaining(form), 570);
    QCOMPARE(form.DaMessage->Text(), shown);
    QCOMPARE(form.DaInitMessage->Text(), QStringLiteral("Paused"));
    QCOMPARE(form.AdjusterArc->EndAngle(), sweep);
    QCOMPARE(form.AdjusterArc->StartAngle(), start);
    QCOMPARE(form.TargetTime(), target);

    form.resumeCountdown();
    QCOMPARE(form.TargetTime(), target.addMSecs(90'050)); // paused from the press on
    tickFor(10'000);
    QCOMPARE(remaining(form), 560);
    QCOMPARE(form.DaInitMessage->Text(), form.StartMessage);
    // Stopping clears the pause; a stopped countdown does not pause.
    form.pauseCountdown();
    form.Button2->Click();
    QVERIFY(!form.countdownStatus().paused);
    QVERIFY(!form.pauseCountdown());
}

void TestLiveShow::warningAndOvertime_data() {
    QTest::addColumn<int>("warnSeconds");
    QTest::addColumn<bool>("overtime");
    QTest::addColumn<qint64>("at"); // ms after Start of a 2-minute countdown
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("warning");
    QTest::newRow("before the warning") << 60 << false << qint64(59'000) << "1m 01s" << false;
    QTest::newRow("in the warning") << 60 << false << qint64(61'000) << "0m 59s" << true;
    QTest::newRow("no warning stage") << 0 << false << qint64(110'000) << "0m 10s" << false;
    QTest::newRow("a longer warning") << 300 << false << qint64(1000) << "1m 59s" << true;
    QTest::newRow("after the end") << 60 << false << qint64(125'000) << "" << false;
    QTest::newRow("overtime counts up") << 60 << true << qint64(185'200) << "+1m 05s" << true;
    QTest::newRow("overtime without a warning stage") << 0 << true << qint64(125'000) << "+0m 05s" << true;
}

void TestLiveShow::warningAndOvertime() {
    QFETCH(int, warnSeconds);
    QFETCH(bool, overtime);
    QFETCH(qint64, at);
    QFETCH(QString, line);
    QFETCH(bool, warning);
    TForm1 form;
    RecordingPlayer& player = recorder(form);
    form.PlaySound_Chosen->setIsChecked(true);
    form.AlarmFile = "/skins/a/alarm.wav";
    form.Countdown.WarnSeconds = warnSeconds;
    form.Countdown.Overtime = overtime;
    form.editor().TextColorPanel->setColor(0xFF112233);
    form.editor().ArcColorPanel->setColor(0xFF445566);
    form.applyDuration(2);
    form.Button2->Click();
    tickFor(at);
    QCOMPARE(form.DaMessage->Text(), line);
    QCOMPARE(form.DaMessage->FontColor().rgba(), warning ? form.Countdown.WarnColor : QRgb(0xFF112233));
    QCOMPARE(form.AdjusterArc->StrokeColor().rgba(), warning ? form.Countdown.WarnColor : QRgb(0xFF445566));
    // The message line keeps the skin's colour; the alarm sounds once at the end either way.
    QCOMPARE(form.DaInitMessage->FontColor().rgba(), QRgb(0xFF112233));
    QCOMPARE(player.plays(), at > 121'000 ? 1 : 0);
    if (overtime && at > 121'000)
        QCOMPARE(form.DaInitMessage->Text(), QStringLiteral("Countdown ended"));
}

void TestLiveShow::settingsFromTheFile_data() {
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<int>("warnSeconds");
    QTest::addColumn<QRgb>("warnColor");
    QTest::addColumn<bool>("overtime");
    QTest::addColumn<int>("frameRate");
    QTest::newRow("missing: the defaults") << QByteArray() << 60 << QRgb(0xFFFFB000) << false << 60;
    QTest::newRow("set") << QByteArray("WarnSeconds=30\r\nWarnColor=-65536\r\nOvertime=1\r\nFrameRate=30\r\n")
                         << 30 << QRgb(0xFFFF0000) << true << 30;
    QTest::newRow("off") << QByteArray("WarnSeconds=0\r\n") << 0 << QRgb(0xFFFFB000) << false << 60;
    QTest::newRow("garbage: the defaults")
        << QByteArray("WarnSeconds=soon\r\nWarnColor=amber\r\nOvertime=yes\r\nFrameRate=fast\r\n") << 60
        << QRgb(0xFFFFB000) << false << 60;
    QTest::newRow("out of range: the default")
        << QByteArray("WarnSeconds=-5\r\nFrameRate=5000\r\n") << 60 << QRgb(0xFFFFB000) << false << 60;
}

// Read at start-up and written at closing, in the program's settings file.
void TestLiveShow::settingsFromTheFile() {
    QFETCH(QByteArray, lines);
    QTemporaryDir app;
    skinfixture::writeBytes(app.filePath("Horavis.ini"), "[Settings]\r\n" + lines);
    RecordingDialogs dialogs;
    {
        TForm1 form(app.path(), TDiskUse::On);
        QTEST(form.Countdown.WarnSeconds, "warnSeconds");
        QTEST(form.Countdown.WarnColor, "warnColor");
        QTEST(form.Countdown.Overtime, "overtime");
        QTEST(Clock::instance().FrameRate(), "frameRate");
        bool canClose = true;
        form.FormCloseQuery(&form, canClose);
        QVERIFY(canClose);
    }
    TForm1 again(app.path(), TDiskUse::On);
    QTEST(again.Countdown.WarnSeconds, "warnSeconds");
    QTEST(again.Countdown.WarnColor, "warnColor");
    QTEST(again.Countdown.Overtime, "overtime");
    QTEST(Clock::instance().FrameRate(), "frameRate");
}

void TestLiveShow::keys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<qint64>("remaining"); // after Start and the key; -1 when stopped
    QTest::addColumn<bool>("paused");
    QTest::newRow("Space stops") << int(Qt::Key_Space) << 0 << qint64(-1) << false;
    QTest::newRow("P pauses") << int(Qt::Key_P) << 0 << qint64(600) << true;
    QTest::newRow("+ one minute") << int(Qt::Key_Plus) << 0 << qint64(660) << false;
    QTest::newRow("= one minute") << int(Qt::Key_Equal) << 0 << qint64(660) << false;
    QTest::newRow("Shift + five minutes")
        << int(Qt::Key_Plus) << int(Qt::ShiftModifier) << qint64(900) << false;
    QTest::newRow("- one minute") << int(Qt::Key_Minus) << 0 << qint64(540) << false;
    QTest::newRow("Shift - five minutes")
        << int(Qt::Key_Minus) << int(Qt::ShiftModifier) << qint64(300) << false;
    QTest::newRow("keypad +") << int(Qt::Key_Plus) << int(Qt::KeypadModifier) << qint64(660) << false;
}

void TestLiveShow::keys() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    TForm1 form;
    form.show();
    QApplication::setActiveWindow(&form);
    form.Button9->setFocus(); // a button has the focus, as after a click on it
    QTest::keyClick(&form, Qt::Key_Space);
    QCOMPARE(form.countdownStatus().running, true);
    QTest::keyClick(&form, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTEST(form.countdownStatus().remaining.value_or(-1), "remaining");
    QTEST(form.countdownStatus().paused, "paused");
}

// In the message field a space, a plus or a P is part of the message.
void TestLiveShow::typingIsNotAKey() {
    TForm1 form;
    form.show();
    QApplication::setActiveWindow(&form);
    form.Edit1->setFocus();
    form.Edit1->setText(QString());
    QTest::keyClicks(form.Edit1, "P +1 -2");
    QCOMPARE(form.Edit1->Text(), QStringLiteral("P +1 -2"));
    QCOMPARE(form.countdownStatus().running, false);
    QCOMPARE(form.TargetTime(), Clock::instance().now().addSecs(600));
}

void TestLiveShow::panelButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<qint64>("remaining"); // after Start and a click
    QTest::addColumn<bool>("paused");
    QTest::newRow("pause") << QStringLiteral("PauseButton") << qint64(600) << true;
    QTest::newRow("one minute more") << QStringLiteral("PlusOne") << qint64(660) << false;
    QTest::newRow("five minutes more") << QStringLiteral("PlusFive") << qint64(900) << false;
    QTest::newRow("one minute less") << QStringLiteral("MinusOne") << qint64(540) << false;
    QTest::newRow("five minutes less") << QStringLiteral("MinusFive") << qint64(300) << false;
}

// What the keys do, the panel's buttons do with a click, for a mouse-only streamer.
void TestLiveShow::panelButtons() {
    QFETCH(QString, button);
    TForm1 form;
    form.show();
    auto* target = form.findChild<TButton*>(button);
    QVERIFY(target);
    QVERIFY(target->isVisible());
    QCOMPARE(form.PauseButton->isEnabled(), false);
    form.Button2Click(form.Button2);
    QVERIFY(target->isEnabled());
    QTest::mouseClick(target, Qt::LeftButton);
    QTEST(form.countdownStatus().remaining.value_or(-1), "remaining");
    QTEST(form.countdownStatus().paused, "paused");
    QCOMPARE(form.PauseButton->Text(),
             QString::fromLatin1(form.countdownStatus().paused ? "Resume" : "Pause"));
}

QTEST_MAIN(TestLiveShow)
#include "tst_liveshow.moc"
