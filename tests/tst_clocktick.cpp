#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "testsupport.h"
#include "toolkit/controls.h"

#include <QtTest>

class TestClockTick : public QObject {
    Q_OBJECT
private slots:
    void handAngles_data();
    void handAngles();
    void clockwiseWrap_data();
    void clockwiseWrap();
    void counterClockwiseWrap();
    void shadowsFollowTheLight();
    void tourbillonAndGearFollowTheSecondHand();
    void arcStartsAtTheMinuteHand();
    void dateChangesAtMidnightWhateverTheOffset();
    void tickStandsStillWhileDragging();
    void timerDrivesTheTick();
};

void TestClockTick::handAngles_data() {
    QTest::addColumn<QTime>("time");
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("counterClockwise");
    QTest::addColumn<float>("hour");
    QTest::addColumn<float>("minute");
    QTest::addColumn<float>("secondStop");
    QTest::newRow("13:30") << QTime(13, 30) << 0 << false << 45.0f << 180.0f << 0.0f;
    QTest::newRow("noon") << QTime(12, 0) << 0 << false << 360.0f << 0.0f << 0.0f;
    QTest::newRow("00:15") << QTime(0, 15) << 0 << false << 7.5f << 90.0f << 0.0f;
    QTest::newRow("offset -12 at 05:00") << QTime(5, 0) << -12 << false << -210.0f << 0.0f << 0.0f;
    QTest::newRow("offset +3 at 22:40:30") << QTime(22, 40, 30) << 3 << false << 410.25f << 243.0f << 180.0f;
    QTest::newRow("counter-clockwise 03:00") << QTime(3, 0) << 0 << true << -90.0f << 0.0f << 0.0f;
    QTest::newRow("counter-clockwise 07:45:15.5")
        << QTime(7, 45, 15, 500) << 0 << true << -232.6291666f << -271.55f << -93.0f;
}

void TestClockTick::handAngles() {
    QFETCH(QTime, time);
    QFETCH(int, offset);
    QFETCH(bool, counterClockwise);
    QFETCH(float, hour);
    QFETCH(float, minute);
    QFETCH(float, secondStop);
    setLocalTime(2026, 6, 1, time.hour(), time.minute(), time.second(), time.msec());
    TForm1 form;
    form.SpinBox1->setValue(offset);
    Form2->CheckBox6->setIsChecked(counterClockwise);
    form.UhrzeitTimerTimer(&form.UhrzeitTimer);
    QCOMPARE(form.Hourhand->RotationAngle(), hour);
    QCOMPARE(form.Minutehand->RotationAngle(), minute);
    QCOMPARE(form.SecHandFloatAnimation->StopValue, secondStop);
    QCOMPARE(form.DateOut->Text(), QStringLiteral("1"));
}

// The hand jumps from just below a full turn to 0 instead of sweeping back through the dial.
void TestClockTick::clockwiseWrap_data() {
    QTest::addColumn<float>("previous");
    QTest::addColumn<float>("expectedStart");
    QTest::newRow("359.7 wraps") << 359.7f << 0.0f;
    QTest::newRow("358 exactly stays") << 358.0f << 358.0f;
    QTest::newRow("360 exactly stays") << 360.0f << 360.0f;
}

void TestClockTick::clockwiseWrap() {
    QFETCH(float, previous);
    QFETCH(float, expectedStart);
    setLocalTime(2026, 6, 1, 10, 21, 0, 50);
    TForm1 form;
    form.SecHand->setRotationAngle(previous);
    form.UhrzeitTimerTimer(&form.UhrzeitTimer);
    QCOMPARE(form.SecHandFloatAnimation->StartValue, expectedStart);
    QCOMPARE(form.SecHand->RotationAngle(), expectedStart); // the step starts there at once
    QCOMPARE(form.SecHandFloatAnimation->StopValue, 0.3f);
    advance(50);
    QCOMPARE(form.SecHand->RotationAngle(), 0.3f);
}

void TestClockTick::counterClockwiseWrap() {
    setLocalTime(2026, 6, 1, 3, 0, 0, 50);
    TForm1 form;
    Form2->CheckBox6->setIsChecked(true);
    form.SecHand->setRotationAngle(-359.7f);
    form.UhrzeitTimerTimer(&form.UhrzeitTimer);
    QCOMPARE(form.SecHandFloatAnimation->StartValue, 0.0f);
    QCOMPARE(form.SecHandFloatAnimation->StopValue, -0.3f);
    form.SecHand->setRotationAngle(-358.0f);
    form.UhrzeitTimerTimer(&form.UhrzeitTimer);
    QCOMPARE(form.SecHandFloatAnimation->StartValue, -358.0f);
}

void TestClockTick::shadowsFollowTheLight() {
    setLocalTime(2026, 6, 1, 9, 20, 0);
    TForm1 form;
    Form2->TrackBar4->setValue(400); // the light angle is not wrapped
    form.UhrzeitTimerTimer(&form.UhrzeitTimer);
    QCOMPARE(form.MinuteShadow->Direction(), 400 - form.Minutehand->RotationAngle());
    QCOMPARE(form.HourShadow->Direction(), 400 - form.Hourhand->RotationAngle());
    advance(50); // the second-hand step ends and turns its shadow and the cage's
    QCOMPARE(form.SekShadow->Direction(), 400 - form.SecHand->RotationAngle());
    QCOMPARE(form.TourbillonShadow->Direction(), form.SekShadow->Direction());
}

void TestClockTick::tourbillonAndGearFollowTheSecondHand() {
    setLocalTime(2026, 6, 1, 9, 20, 10);
    TForm1 form;
    QCOMPARE(form.Tourbillon->RotationAngle(), 80.0f); // until the first tick
    form.SecHand->setRotationAngle(59.7f);
    form.UhrzeitTimerTimer(&form.UhrzeitTimer);
    QCOMPARE(form.TourbillonFloatAnimation->StartValue, 59.7f);
    QCOMPARE(form.TourbillonFloatAnimation->StopValue, 60.0f);
    QCOMPARE(form.LayoutUnruh->RotationAngle(), 59.7f);
    QCOMPARE(form.GearwheelFloatAnimation->StartValue, 59.7f / 2);
    QCOMPARE(form.GearwheelFloatAnimation->StopValue, 30.0f);

    Form2->CheckBox6->setIsChecked(true); // counter-clockwise: the gear wheel stands still
    advance(250);                         // let the last clockwise step end
    const float gear = form.Gearwheel->RotationAngle();
    advance(1000);
    QCOMPARE(form.Gearwheel->RotationAngle(), gear);
    QVERIFY(form.Tourbillon->RotationAngle() < 0);
    QCOMPARE(form.LayoutUnruh->RotationAngle(), form.TourbillonFloatAnimation->StartValue);
}

void TestClockTick::arcStartsAtTheMinuteHand() {
    setLocalTime(2026, 6, 1, 9, 20, 0);
    TForm1 form;
    form.UhrzeitTimerTimer(&form.UhrzeitTimer);
    QCOMPARE(form.AdjusterArc->RotationAngle(), -120.0f);
    QCOMPARE(form.AdjusterArc->StartAngle(), 30.0f);
    Form2->CheckBox6->setIsChecked(true);
    form.UhrzeitTimerTimer(&form.UhrzeitTimer);
    QCOMPARE(form.AdjusterArc->RotationAngle(), 0.0f);
    QCOMPARE(form.AdjusterArc->StartAngle(), -90.0f);
}

void TestClockTick::dateChangesAtMidnightWhateverTheOffset() {
    setLocalTime(2026, 6, 14, 23, 59, 59, 960);
    TForm1 form;
    form.SpinBox1->setValue(5);
    form.UhrzeitTimerTimer(&form.UhrzeitTimer);
    QCOMPARE(form.DateOut->Text(), QStringLiteral("14"));
    advance(50); // the timer's next tick falls after midnight
    QCOMPARE(form.DateOut->Text(), QStringLiteral("15"));
}

void TestClockTick::tickStandsStillWhileDragging() {
    setLocalTime(2026, 6, 14, 8, 0, 0);
    TForm1 form;
    form.UhrzeitTimerTimer(&form.UhrzeitTimer);
    form.DateDragging = true;
    advance(60000);
    QCOMPARE(form.Minutehand->RotationAngle(), 0.0f);
    form.DateDragging = false;
    form.TextDragging = true;
    advance(60000);
    QCOMPARE(form.Minutehand->RotationAngle(), 0.0f);
    form.TextDragging = false;
    advance(50); // the first tick after release jumps to the right place
    QVERIFY(std::abs(form.Minutehand->RotationAngle() - 12.005f) < 1e-3);
}

void TestClockTick::timerDrivesTheTick() {
    setLocalTime(2026, 6, 14, 8, 0, 0);
    TForm1 form;
    QCOMPARE(form.UhrzeitTimer.Interval(), 50);
    advance(50);
    QVERIFY(std::abs(form.Minutehand->RotationAngle() - 0.005f) < 1e-5);
    advance(1000); // at 08:00:01.050 a step ended at 6 and the next one starts from there
    QVERIFY(std::abs(form.SecHand->RotationAngle() - 6.0f) < 1e-4);
    QVERIFY(std::abs(form.SecHandFloatAnimation->StopValue - 6.3f) < 1e-4);
}

QTEST_MAIN(TestClockTick)
#include "tst_clocktick.moc"
