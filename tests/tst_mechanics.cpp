#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "testsupport.h"
#include "toolkit/controls.h"

#include <QtTest>

class TestMechanics : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 8, 2, 16, 40, 0); }
    void balanceWheelPicksItsSwingByHalfTheRange_data();
    void balanceWheelPicksItsSwingByHalfTheRange();
    void balanceWheelSwingsBackAndForth();
    void newSwingAngleWaitsForTheNextEvent();
    void escapeWheelStepsThreeDegreesTwiceASecond();
    void hiddenEscapeWheelKeepsCounting();
    void escapeWheelDropsWholeTurns();
    void tourbillonEndRunsOnlyWhenATickIsLate();
    void crosshairsStayUpright();
};

void TestMechanics::balanceWheelPicksItsSwingByHalfTheRange_data() {
    QTest::addColumn<float>("angle");
    QTest::addColumn<float>("start");
    QTest::addColumn<float>("stop");
    QTest::newRow("exactly half") << 100.0f << 200.0f << 0.0f;
    QTest::newRow("just below half") << 99.9f << 0.0f << 200.0f;
    QTest::newRow("at rest") << 0.0f << 0.0f << 200.0f;
    QTest::newRow("at the far end") << 200.0f << 200.0f << 0.0f;
}

void TestMechanics::balanceWheelPicksItsSwingByHalfTheRange() {
    QFETCH(float, angle);
    QFETCH(float, start);
    QFETCH(float, stop);
    TForm1 form;
    Form2->TrackBarUnruhAngle->setValue(200);
    form.Unruh->setRotationAngle(angle);
    form.UnRuhTimerTimer(&form.UnRuhTimer);
    QCOMPARE(form.UnruhFloatAnimation->StartValue, start);
    QCOMPARE(form.UnruhFloatAnimation->StopValue, stop);
    QCOMPARE(form.Unruh->RotationAngle(), start); // the wheel jumps to the start at once
}

void TestMechanics::balanceWheelSwingsBackAndForth() {
    TForm1 form;
    Form2->TrackBarUnruhAngle->setValue(200);
    QList<float> ends;
    for (int swing = 0; swing < 4; ++swing) {
        advance(250);
        ends << form.UnruhFloatAnimation->StopValue;
    }
    QCOMPARE(ends, QList<float>({200, 0, 200, 0}));
}

void TestMechanics::newSwingAngleWaitsForTheNextEvent() {
    TForm1 form;
    Form2->TrackBarUnruhAngle->setValue(200);
    advance(250 + 125); // half-way through a swing from 0 to 200
    const float midSwing = form.Unruh->RotationAngle();
    Form2->TrackBarUnruhAngle->setValue(45);
    QCOMPARE(form.Unruh->RotationAngle(), midSwing); // no jump
    QCOMPARE(form.UnruhFloatAnimation->StopValue, 200.0f);
    advance(125); // the next event swings within the new angle
    QCOMPARE(form.UnruhFloatAnimation->StartValue, 45.0f);
    QCOMPARE(form.UnruhFloatAnimation->StopValue, 0.0f);
}

void TestMechanics::escapeWheelStepsThreeDegreesTwiceASecond() {
    TForm1 form;
    advance(500);
    QCOMPARE(form.EscapewheelFloatAnimation->StartValue, 6.0f);
    QCOMPARE(form.EscapewheelFloatAnimation->StopValue, 9.0f);
    advance(20); // the back curve first moves slightly backwards
    QVERIFY(form.escapewheel->RotationAngle() < 6.0f);
    advance(30);
    QCOMPARE(form.escapewheel->RotationAngle(), 9.0f);
    advance(500); // the next step starts at 9 at the event and ends at 12
    QCOMPARE(form.escapewheel->RotationAngle(), 12.0f);
}

void TestMechanics::hiddenEscapeWheelKeepsCounting() {
    TForm1 form;
    advance(550);
    QCOMPARE(form.escapewheel->RotationAngle(), 9.0f);
    form.escapewheel->setVisible(false);
    advance(10000); // twenty events while hidden: no step runs, the values move on
    QCOMPARE(form.escapewheel->RotationAngle(), 9.0f);
    form.escapewheel->setVisible(true);
    advance(450);
    QCOMPARE(form.EscapewheelFloatAnimation->StartValue, 9.0f + 60);
    QCOMPARE(form.escapewheel->RotationAngle(), 9.0f + 60); // the step starts 60 further on
}

// After a full turn the wheel's angle is brought back by 360, which looks the same.
void TestMechanics::escapeWheelDropsWholeTurns() {
    TForm1 form;
    form.EscapewheelFloatAnimation->StopValue = 358.5f;
    form.EscapeTimerTimer(&form.EscapeTimer);
    QCOMPARE(form.EscapewheelFloatAnimation->StartValue, 358.5f);
    QCOMPARE(form.EscapewheelFloatAnimation->StopValue, 361.5f);
    form.EscapeTimerTimer(&form.EscapeTimer);
    QCOMPARE(form.EscapewheelFloatAnimation->StartValue, 1.5f);
    QCOMPARE(form.EscapewheelFloatAnimation->StopValue, 4.5f);
}

void TestMechanics::tourbillonEndRunsOnlyWhenATickIsLate() {
    TForm1 form;
    advance(2000);
    form.Unruh->setVisible(false); // keeps the balance wheel's own swings out of the way
    advance(300);                  // the swing under way ends; no new one starts
    form.Unruh->setRotationAngle(-1);
    advance(1000); // ticks on time cut every cage step short
    QCOMPARE(form.Unruh->RotationAngle(), -1.0f);

    form.UhrzeitTimer.setEnabled(false); // a late tick: the step runs to its end
    advance(300);
    QCOMPARE(form.Unruh->RotationAngle(), form.Tourbillon->RotationAngle());
    QCOMPARE(form.Tourbillon->RotationAngle(), form.TourbillonFloatAnimation->StopValue);
}

void TestMechanics::crosshairsStayUpright() {
    TForm1 form;
    advance(1000);
    QCOMPARE(form.SecHandCrosshair->RotationAngle(), -form.SecHand->RotationAngle());
    // The step's end comes just before the tick that turns the hands on by a fraction.
    QVERIFY(std::abs(form.MinuteHandCrosshair->RotationAngle() + form.Minutehand->RotationAngle()) < 0.01f);
    QVERIFY(std::abs(form.HourHandCrosshair->RotationAngle() + form.Hourhand->RotationAngle()) < 0.01f);
}

QTEST_MAIN(TestMechanics)
#include "tst_mechanics.moc"
