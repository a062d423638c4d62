// Light and shadows, the countdown arc and bezels, the date switch and the stacking of hands and mechanics.
#include "editor/Unit2.h"

#include "editor/Unit2_helpers.h"

#include "app/Unit1.h"
#include "toolkit/controls.h"

#include <QLabel>
#include <QMouseEvent>

using namespace editor;

namespace {
const QString HintText =
    "Press \"Start countdown\" in main window to make countdown text and remaining time (arc) visible.";
const QColor ActiveCaption = QColor::fromRgba(0xFFFFFFFF);
const QColor InactiveCaption = QColor::fromRgba(0xFF808080);

// A caption that acts when clicked, like the switch beside it.
class TCaptionLabel : public QLabel {
public:
    TCaptionLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
        : QLabel(text, parent), onClick_(std::move(onClick)) {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && onClick_)
            onClick_();
    }

private:
    std::function<void()> onClick_;
};

void colour(QLabel& label, const QColor& color) {
    label.setStyleSheet(QStringLiteral("color: %1;").arg(color.name(QColor::HexArgb)));
}

} // namespace

void TForm2::buildLightControls() {
    CheckBox2 = new TCheckBox(TabItemShadows, "CheckBox2", "Show light effect and hand shadows", true);
    CheckBox2->setGeometry(16, 14, 320, 22);
    caption(*TabItemShadows, "Angle", {16, 50, 60, 20});
    TrackBar4 = new TTrackBar(TabItemShadows, "TrackBar4", 0, 400, 190.382f);
    TrackBar4->setGeometry(80, 44, 340, 30);
    caption(*TabItemShadows, "Opacity", {16, 88, 60, 20});
    TrackBar5 = new TTrackBar(TabItemShadows, "TrackBar5", 0, 1, 1);
    TrackBar5->setGeometry(80, 82, 340, 30);

    for (QWidget* tab : {TabItemText, TabItem3})
        caption(*tab, HintText, {8, 8, 750, 18});
    CheckBoxTextShadow = new TCheckBox(TabItemText, "CheckBoxTextShadow", "Show text shadow", true);
    CheckBoxTextShadow->setGeometry(16, 36, 300, 22);
    CheckBoxTextBlur = new TCheckBox(TabItemText, "CheckBoxTextBlur",
                                     "Slight blur (mutually exclusive to text shadow)", true);
    CheckBoxTextBlur->setGeometry(16, 62, 360, 22);

    const auto bar = [this](const QString& label, const QString& name, float min, float max, float value,
                            int y) {
        caption(*TabItem3, label, {16, y + 4, 110, 20});
        auto* trackBar = new TTrackBar(TabItem3, name, min, max, value);
        trackBar->setGeometry(130, y, 240, 30);
        return trackBar;
    };
    TrackBar1 = bar("Arc thickness", "TrackBar1", 1, 55, 55, 36);
    TrackBar2 = bar("Arc position", "TrackBar2", 0, 600, 190.382f, 72);
    TrackBarBezelSize = bar("Main bezel size", "TrackBarBezelSize", 100, 1000, 582.7066f, 108);
    Button14 = new TButton(TabItem3, "Button14", "Defaults");
    Button14->setGeometry(380, 109, 80, 28);
    CheckBox8 = new TCheckBox(TabItem3, "CheckBox8", "Show mini bezel (on hour hand)");
    CheckBox8->setGeometry(16, 148, 300, 22);
    TrackBarMinutehandExtraAdjusterBezel =
        bar("Mini bezel size", "TrackBarMinutehandExtraAdjusterBezel", 100, 1000, 582.7066f, 178);
    Button15 = new TButton(TabItem3, "Button15", "Defaults");
    Button15->setGeometry(380, 179, 80, 28);

    CheckBox7 = new TCheckBox(TabItemHourhand, "CheckBox7", "Show second hand at all", true);
    CheckBox7->setGeometry(516, 268, 240, 22);
    CheckBoxSecOnTop = new TCheckBox(TabItemHourhand, "CheckBoxSecOnTop", "Second hand on top", true);
    CheckBoxSecOnTop->setGeometry(516, 336, 240, 22);

    CheckBox3 = new TCheckBox(Misc, "CheckBox3", "Show date on watch", true);
    CheckBox3->setGeometry(16, 14, 240, 22);

    const auto switchRow = [this](const QString& name, const QString& off, const QString& on, int y,
                                  void (TForm2::*offClick)(TObject*), void (TForm2::*onClick)(TObject*),
                                  QLabel*& offLabel, QLabel*& onLabel) {
        offLabel = new TCaptionLabel(off, TabItem1, [this, offClick] { (this->*offClick)(nullptr); });
        offLabel->setGeometry(196, y, 210, 22);
        offLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* toggle = new TSwitch(TabItem1, name);
        toggle->setGeometry(414, y, 44, 22);
        onLabel = new TCaptionLabel(on, TabItem1, [this, onClick] { (this->*onClick)(nullptr); });
        onLabel->setGeometry(466, y, 220, 22);
        colour(*offLabel, ActiveCaption);
        colour(*onLabel, InactiveCaption);
        return toggle;
    };
    TourbillononTopOfBalanceSwitch =
        switchRow("TourbillononTopOfBalanceSwitch", "Balance wheel on top of Tourbillon",
                  "Balance wheel below Tourbillon", 340, &TForm2::Label37Click, &TForm2::Label38Click,
                  Label37, Label38);
    EscapeOnTopOfBalanceWheelSwith = switchRow(
        "EscapeOnTopOfBalanceWheelSwith", "Escape wheel on top of Balance", "Escape wheel below Balance", 372,
        &TForm2::Label41Click, &TForm2::Label42Click, Label41, Label42);
    connectLightHandlers();
}

void TForm2::connectLightHandlers() {
    const auto bind = [this](auto& event, void (TForm2::*handler)(TObject*)) {
        event = [this, handler](TObject* sender) { (this->*handler)(sender); };
    };
    bind(CheckBox2->OnChange, &TForm2::CheckBox2Change);
    bind(TrackBar4->OnChange, &TForm2::TrackBar4Change);
    bind(TrackBar5->OnChange, &TForm2::TrackBar5Change);
    bind(CheckBoxTextShadow->OnChange, &TForm2::CheckBoxTextShadowChange);
    bind(CheckBoxTextBlur->OnChange, &TForm2::CheckBoxTextBlurChange);
    bind(TrackBar1->OnChange, &TForm2::TrackBar1Change);
    bind(TrackBar2->OnChange, &TForm2::TrackBar2Change);
    bind(TrackBarBezelSize->OnChange, &TForm2::TrackBarBezelSizeChange);
    bind(Button14->OnClick, &TForm2::Button14Click);
    bind(CheckBox8->OnChange, &TForm2::CheckBox8Change);
    bind(TrackBarMinutehandExtraAdjusterBezel->OnChange, &TForm2::TrackBarMinutehandExtraAdjusterBezelChange);
    bind(Button15->OnClick, &TForm2::Button15Click);
    bind(CheckBox7->OnChange, &TForm2::CheckBox7Change);
    bind(CheckBoxSecOnTop->OnChange, &TForm2::CheckBoxSecOnTopChange);
    bind(CheckBox3->OnChange, &TForm2::CheckBox3Change);
    bind(TourbillononTopOfBalanceSwitch->OnChange, &TForm2::TourbillononTopOfBalanceSwitchSwitch);
    bind(EscapeOnTopOfBalanceWheelSwith->OnChange, &TForm2::EscapeOnTopOfBalanceWheelSwithSwitch);
}

void TForm2::CheckBox2Change(TObject*) {
    const bool on = CheckBox2->IsChecked();
    for (TShadowEffect* shadow : {Form1->SekShadow, Form1->ShadowEffect4, Form1->MinuteShadow,
                                  Form1->HourShadow, Form1->ResumeShadowEffect, Form1->OnTopShadow})
        shadow->setEnabled(on);
    Form1->Overlay->setVisible(on);
    // The second hand casts a shadow only while it is shown at all.
    if (on)
        Form1->SekShadow->setEnabled(CheckBox7->IsChecked());
}

void TForm2::CheckBox7Change(TObject*) {
    Form1->SecHand->setVisible(CheckBox7->IsChecked());
    if (CheckBox2->IsChecked())
        Form1->SekShadow->setEnabled(CheckBox7->IsChecked());
}

void TForm2::TrackBar4Change(TObject*) {
    Form1->Overlay->setRotationAngle(TrackBar4->Value());
    Form1->ShadowEffect5->setDirection(Form1->Overlay->RotationAngle() + 45);
    Form1->ShadowEffect3->setDirection(Form1->Overlay->RotationAngle() + 45);
    Form1->OnTopShadow->setDirection(Form1->Overlay->RotationAngle());
}

void TForm2::TrackBar5Change(TObject*) {
    Form1->Overlay->setOpacity(TrackBar5->Value());
}

void TForm2::CheckBoxTextShadowChange(TObject*) {
    Form1->ShadowEffect5->setEnabled(CheckBoxTextShadow->IsChecked());
    Form1->ShadowEffect3->setEnabled(CheckBoxTextShadow->IsChecked());
}

// Blur and text shadow may both be on, whatever the caption advises.
void TForm2::CheckBoxTextBlurChange(TObject*) {
    Form1->BlurEffect1->setEnabled(CheckBoxTextBlur->IsChecked());
}

void TForm2::TrackBar1Change(TObject*) {
    Form1->AdjusterArc->setStrokeThickness(TrackBar1->Value());
}

// The arc fills the minute hand inside these margins: a larger value draws a smaller circle.
void TForm2::TrackBar2Change(TObject*) {
    const double v = TrackBar2->Value();
    Form1->AdjusterArc->setMargins({v, v, v, v});
}

void TForm2::TrackBarBezelSizeChange(TObject*) {
    setSize(*Form1->ArcOntop, TrackBarBezelSize->Value());
}

void TForm2::Button14Click(TObject*) {
    setSize(*Form1->ArcOntop, 1000);
    TrackBarBezelSize->setValue(float(Form1->ArcOntop->Width()));
}

// Only a mark: the countdown display shows the mini bezel with its indicator group while it is set.
void TForm2::CheckBox8Change(TObject*) {
    Form1->MinutehandExtraAdjusterBezel->setTag(CheckBox8->IsChecked() ? -1 : 0);
}

void TForm2::TrackBarMinutehandExtraAdjusterBezelChange(TObject*) {
    setSize(*Form1->MinutehandExtraAdjusterBezel, TrackBarMinutehandExtraAdjusterBezel->Value());
}

void TForm2::Button15Click(TObject*) {
    setSize(*Form1->MinutehandExtraAdjusterBezel, 1000);
    TrackBarMinutehandExtraAdjusterBezel->setValue(1000);
}

// Showing the date flashes its drag frame for two seconds; hiding it hides the handle too.
void TForm2::CheckBox3Change(TObject*) {
    Form1->DateOut->setVisible(CheckBox3->IsChecked());
    Form1->DateMover->setVisible(Form1->DateOut->Visible());
    if (Form1->DateMover->Visible()) {
        Form1->DateMoverFrame->setVisible(true);
        Form1->TurnOffRectangleTimer.setInterval(2000);
    }
}

// Restacks the dial: the box decides whether the second hand lies above the other hands; an
// on-top picture covers the hands; light, drag handles and the target indicator stay on top.
void TForm2::CheckBoxSecOnTopChange(TObject*) {
    TForm1& f = *Form1;
    TForm1::Logme("BringToFront X3");
    // CutOut and CutOutMover are children of Watch from the start and stay so.
    f.ShadowEffect5->setDistance(3);
    f.ShadowEffect3->setDistance(3);
    const std::initializer_list<TElement*> secondOnTop = {
        f.OnTop,   f.AdjusterHandRecipient, f.OnTop,    f.CutOut,
        f.DateOut, f.AdjusterHand,          f.Hourhand, f.Minutehand,
        f.SecHand};
    const std::initializer_list<TElement*> secondBelow = {
        f.OnTop,    f.AdjusterHand, f.AdjusterHandRecipient, f.OnTop,
        f.CutOut,   f.DateOut,      f.AdjusterHand,          f.SecHand,
        f.Hourhand, f.Minutehand};
    for (TElement* element : CheckBoxSecOnTop->IsChecked() ? secondOnTop : secondBelow)
        element->BringToFront();
    if (f.OnTop->Tag() == -1)
        for (TElement* element : {static_cast<TElement*>(f.OnTop), static_cast<TElement*>(f.CutOut),
                                  static_cast<TElement*>(f.DateOut)})
            element->BringToFront();
    for (TElement* element : {static_cast<TElement*>(f.Overlay), static_cast<TElement*>(f.CutOutMover),
                              static_cast<TElement*>(f.DateMover), static_cast<TElement*>(f.ArcOntop)})
        element->BringToFront();
}

void TForm2::TourbillononTopOfBalanceSwitchSwitch(TObject*) {
    TForm1& f = *Form1;
    const bool balanceBelow = TourbillononTopOfBalanceSwitch->IsChecked();
    TElement* lower = balanceBelow ? static_cast<TElement*>(f.Tourbillon) : f.LayoutUnruh;
    TElement* upper = balanceBelow ? static_cast<TElement*>(f.LayoutUnruh) : f.Tourbillon;
    for (TElement* element :
         {static_cast<TElement*>(f.LayoutTourBillonCrosshair),
          static_cast<TElement*>(f.LayoutGearWheelCrosshair), static_cast<TElement*>(f.Watch),
          static_cast<TElement*>(f.Gearwheel), lower, upper, static_cast<TElement*>(f.WatchBG),
          static_cast<TElement*>(f.MagentaRectangle), static_cast<TElement*>(f.GreenRectangle)})
        element->SendToBack();
    colour(*Label37, balanceBelow ? InactiveCaption : ActiveCaption);
    colour(*Label38, balanceBelow ? ActiveCaption : InactiveCaption);
}

void TForm2::EscapeOnTopOfBalanceWheelSwithSwitch(TObject*) {
    TForm1& f = *Form1;
    const bool escapeBelow = EscapeOnTopOfBalanceWheelSwith->IsChecked();
    if (escapeBelow) {
        f.Unruh->SendToBack();
        f.escapewheel->SendToBack();
    } else {
        f.escapewheel->SendToBack();
        f.Unruh->SendToBack();
    }
    colour(*Label41, escapeBelow ? InactiveCaption : ActiveCaption);
    colour(*Label42, escapeBelow ? ActiveCaption : InactiveCaption);
}

void TForm2::Label37Click(TObject*) {
    TourbillononTopOfBalanceSwitch->setIsChecked(false);
}
void TForm2::Label38Click(TObject*) {
    TourbillononTopOfBalanceSwitch->setIsChecked(true);
}
void TForm2::Label41Click(TObject*) {
    EscapeOnTopOfBalanceWheelSwith->setIsChecked(false);
}
void TForm2::Label42Click(TObject*) {
    EscapeOnTopOfBalanceWheelSwith->setIsChecked(true);
}
