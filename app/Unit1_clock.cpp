// The clock tick: hands, date, shadows and the second hand's gliding step.
#include "app/Unit1.h"

#include "editor/Unit2.h"
#include "toolkit/clock.h"
#include "toolkit/controls.h"

void TForm1::UhrzeitTimerTimer(TObject*) {
    // The watch stands still while the date or the text plate is being dragged.
    if (DateDragging || TextDragging)
        return;

    const QDateTime now = Clock::instance().now();
    const QTime time = now.time();
    const float S = float(time.second()) + float(time.msec()) / 1000.0f;
    const double M = time.minute() + S / 60.0;
    const int foldedHour = time.hour() > 12 ? time.hour() - 12 : time.hour();
    const float H = float(foldedHour + SpinBox1->Value() + M / 60.0);
    const bool counterClockwise = editor().CheckBox6->IsChecked();
    const double k = counterClockwise ? -6 : 6;

    DateOut->setText(QString::number(now.date().day()));
    Minutehand->setRotationAngle(float(k * M));
    Hourhand->setRotationAngle(counterClockwise ? -30 * H : 30 * H);

    // Shadow directions count in each hand's own frame; this keeps them all falling one way.
    const float light = editor().TrackBar4->Value();
    MinuteShadow->setDirection(light - Minutehand->RotationAngle());
    HourShadow->setDirection(light - Hourhand->RotationAngle());

    TFloatAnimation& a = *SecHandFloatAnimation;
    TFloatAnimation& t = *TourbillonFloatAnimation;
    a.StartValue = SecHand->RotationAngle();
    t.StartValue = Tourbillon->RotationAngle();
    a.StopValue = 6 * S;
    t.StopValue = 6 * S;
    if (counterClockwise) {
        a.StartValue = SecHand->RotationAngle();
        a.StopValue = -6 * S;
        // Across 12 o'clock the hand jumps to 0 rather than sweeping back through the dial.
        if (-360 < a.StartValue && a.StartValue < -358 && a.StopValue > -2)
            a.StartValue = 0;
    } else if (358 < a.StartValue && a.StartValue < 360 && a.StopValue < 2) {
        a.StartValue = 0;
    }
    a.Start();
    // The cage turns with the second hand and carries the balance and escape wheels along.
    t.StartValue = a.StartValue;
    t.StopValue = a.StopValue;
    t.Start();
    LayoutUnruh->setRotationAngle(Tourbillon->RotationAngle());
    if (!counterClockwise) {
        GearwheelFloatAnimation->StartValue = t.StartValue / 2;
        GearwheelFloatAnimation->StopValue = t.StopValue / 2;
        GearwheelFloatAnimation->Start();
    }

    // The arc is a child of the minute hand: it is held still in the dial's frame and starts at the hand.
    if (counterClockwise) {
        AdjusterArc->setRotationAngle(0);
        AdjusterArc->setStartAngle(-90);
    } else {
        AdjusterArc->setRotationAngle(-Minutehand->RotationAngle());
        AdjusterArc->setStartAngle(arcStartAngle() - 90);
    }

    countdownTick();
}
