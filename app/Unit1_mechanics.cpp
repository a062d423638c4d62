// The decorative movement behind the dial.
#include "app/Unit1.h"

#include "editor/Unit2.h"
#include "toolkit/controls.h"

void TForm1::UnRuhTimerTimer(TObject*) {
    const float swing = editor().TrackBarUnruhAngle->Value();
    // The half of the range the wheel stands in picks the direction of the next swing.
    if (Unruh->RotationAngle() < swing / 2) {
        UnruhFloatAnimation->StartValue = 0;
        UnruhFloatAnimation->StopValue = swing;
    } else {
        UnruhFloatAnimation->StartValue = swing;
        UnruhFloatAnimation->StopValue = 0;
    }
    UnruhFloatAnimation->Start();
}

void TForm1::EscapeTimerTimer(TObject*) {
    TFloatAnimation& step = *EscapewheelFloatAnimation;
    step.StartValue = step.StopValue;
    // Whole turns are dropped so the angle never grows out of single precision; a turn looks the same.
    if (step.StartValue >= 360)
        step.StartValue -= 360;
    step.StopValue = step.StartValue + 3;
    step.Start();
}

void TForm1::TourbillonFloatAnimationFinish(TObject*) {
    Unruh->setRotationAngle(Tourbillon->RotationAngle());
}

void TForm1::SecHandFloatAnimationFinish(TObject*) {
    SekShadow->setDirection(editor().TrackBar4->Value() - SecHand->RotationAngle());
    TourbillonShadow->setDirection(SekShadow->Direction());
    // The placement crosshairs stay upright while their hands turn.
    SecHandCrosshair->setRotationAngle(-SecHand->RotationAngle());
    HourHandCrosshair->setRotationAngle(-Hourhand->RotationAngle());
    MinuteHandCrosshair->setRotationAngle(-Minutehand->RotationAngle());
}
