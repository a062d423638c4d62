// Light and shadows, the countdown arc and bezels, the date switch and the stacking of hands and mechanics.
#include "editor/Unit2.h"

#include "editor/Unit2_helpers.h"

#include "toolkit/controls.h"
#include "toolkit/log.h"
#include "watch/watchscene.h"

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
    describe(*CheckBox2, "Light effect and hand shadows",
             "Shows the light reflection over the dial and the shadows of the hands.");
    QLabel& angleCaption = caption(*TabItemShadows, "Angle", {16, 50, 60, 20});
    TrackBar4 = new TTrackBar(TabItemShadows, "TrackBar4", 0, 400, 190.382f);
    TrackBar4->setGeometry(80, 44, 340, 30);
    describe(*TrackBar4, "Light angle", "Turns the light reflection, and with it the way the shadows fall.");
    angleCaption.setBuddy(TrackBar4);
    QLabel& opacityCaption = caption(*TabItemShadows, "Opacity", {16, 88, 60, 20});
    TrackBar5 = new TTrackBar(TabItemShadows, "TrackBar5", 0, 1, 1);
    TrackBar5->setGeometry(80, 82, 340, 30);
    describe(*TrackBar5, "Light opacity", "Sets how strongly the light reflection shows.");
    opacityCaption.setBuddy(TrackBar5);

    for (QWidget* tab : {TabItemText, TabItem3})
        caption(*tab, HintText, {8, 8, 750, 18});
    CheckBoxTextShadow = new TCheckBox(TabItemText, "CheckBoxTextShadow", "Show text shadow", true);
    CheckBoxTextShadow->setGeometry(16, 36, 300, 22);
    describe(*CheckBoxTextShadow, "Text shadow", "Casts a shadow under the countdown texts.");
    CheckBoxTextBlur = new TCheckBox(TabItemText, "CheckBoxTextBlur",
                                     "Slight blur (mutually exclusive to text shadow)", true);
    CheckBoxTextBlur->setGeometry(16, 62, 360, 22);
    describe(*CheckBoxTextBlur, "Text blur",
             "Softens the countdown texts and their plate with a slight blur.");

    const auto bar = [this](const QString& label, const QString& name, float min, float max, float value,
                            int y) {
        QLabel& barCaption = caption(*TabItem3, label, {16, y + 4, 110, 20});
        auto* trackBar = new TTrackBar(TabItem3, name, min, max, value);
        trackBar->setGeometry(130, y, 240, 30);
        barCaption.setBuddy(trackBar);
        return trackBar;
    };
    TrackBar1 = bar("Arc thickness", "TrackBar1", 1, 55, 55, 36);
    describe(*TrackBar1, "Arc thickness", "Sets how thick the remaining-time arc is drawn.");
    TrackBar2 = bar("Arc position", "TrackBar2", 0, 600, 190.382f, 72);
    describe(*TrackBar2, "Arc position", "Draws the remaining-time arc farther in from the dial's edge.");
    TrackBarBezelSize = bar("Main bezel size", "TrackBarBezelSize", 100, 1000, 582.7066f, 108);
    describe(*TrackBarBezelSize, "Main bezel size",
             "Sets the size of the target indicator drawn above the hands.");
    Button14 = new TButton(TabItem3, "Button14", "Defaults");
    Button14->setGeometry(380, 109, 80, 28);
    describe(*Button14, "Main bezel defaults", "Puts the main bezel back to full size.");
    CheckBox8 = new TCheckBox(TabItem3, "CheckBox8", "Show mini bezel (on hour hand)");
    CheckBox8->setGeometry(16, 148, 300, 22);
    describe(*CheckBox8, "Mini bezel",
             "Shows a small target bezel on the minute hand along with the countdown's indicator.");
    TrackBarMinutehandExtraAdjusterBezel =
        bar("Mini bezel size", "TrackBarMinutehandExtraAdjusterBezel", 100, 1000, 582.7066f, 178);
    describe(*TrackBarMinutehandExtraAdjusterBezel, "Mini bezel size", "Sets the size of the mini bezel.");
    Button15 = new TButton(TabItem3, "Button15", "Defaults");
    Button15->setGeometry(380, 179, 80, 28);
    describe(*Button15, "Mini bezel defaults", "Puts the mini bezel back to full size.");

    CheckBox7 = new TCheckBox(TabItemHourhand, "CheckBox7", "Show second hand at all", true);
    CheckBox7->setGeometry(516, 268, 240, 22);
    describe(*CheckBox7, "Show second hand", "Shows or hides the second hand and its shadow.");
    CheckBoxSecOnTop = new TCheckBox(TabItemHourhand, "CheckBoxSecOnTop", "Second hand on top", true);
    CheckBoxSecOnTop->setGeometry(516, 336, 240, 22);
    describe(*CheckBoxSecOnTop, "Second hand on top",
             "Puts the second hand above the hour and minute hands.");

    CheckBox3 = new TCheckBox(Misc, "CheckBox3", "Show date on watch", true);
    CheckBox3->setGeometry(16, 14, 240, 22);
    describe(*CheckBox3, "Show date",
             "Shows the day of the month on the dial, where it can be dragged into place.");

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
        offLabel->setBuddy(toggle);
        onLabel->setBuddy(toggle);
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
    // Named for what a switch does when on, so that "on" reads true.
    describe(*TourbillononTopOfBalanceSwitch, "Balance wheel below tourbillon",
             "Puts the balance wheel below the tourbillon when on, on top of it when off.");
    describe(*Label37, Label37->text(), "Puts the balance wheel on top of the tourbillon.");
    describe(*Label38, Label38->text(), "Puts the balance wheel below the tourbillon.");
    describe(*EscapeOnTopOfBalanceWheelSwith, "Escape wheel below balance wheel",
             "Puts the escape wheel below the balance wheel when on, on top of it when off.");
    describe(*Label41, Label41->text(), "Puts the escape wheel on top of the balance wheel.");
    describe(*Label42, Label42->text(), "Puts the escape wheel below the balance wheel.");
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
    watch_.applyHandShadows(CheckBox2->IsChecked(), CheckBox7->IsChecked());
}

void TForm2::CheckBox7Change(TObject*) {
    watch_.showSecondHand(CheckBox7->IsChecked(), CheckBox2->IsChecked());
}

void TForm2::TrackBar4Change(TObject*) {
    watch_.applyLight(TrackBar4->Value());
}

void TForm2::TrackBar5Change(TObject*) {
    watch_.setLightOpacity(TrackBar5->Value());
}

void TForm2::CheckBoxTextShadowChange(TObject*) {
    watch_.showTextShadow(CheckBoxTextShadow->IsChecked());
}

void TForm2::CheckBoxTextBlurChange(TObject*) {
    watch_.blurText(CheckBoxTextBlur->IsChecked());
}

void TForm2::TrackBar1Change(TObject*) {
    watch_.setArcThickness(TrackBar1->Value());
}

void TForm2::TrackBar2Change(TObject*) {
    watch_.setArcInset(TrackBar2->Value());
}

void TForm2::TrackBarBezelSizeChange(TObject*) {
    watch_.sizeMainBezel(TrackBarBezelSize->Value());
}

void TForm2::Button14Click(TObject*) {
    watch_.sizeMainBezel(1000);
    TrackBarBezelSize->setValue(float(watch_.ArcOntop->Width()));
}

void TForm2::CheckBox8Change(TObject*) {
    watch_.allowMiniBezel(CheckBox8->IsChecked());
}

void TForm2::TrackBarMinutehandExtraAdjusterBezelChange(TObject*) {
    watch_.sizeMiniBezel(TrackBarMinutehandExtraAdjusterBezel->Value());
}

void TForm2::Button15Click(TObject*) {
    watch_.sizeMiniBezel(1000);
    TrackBarMinutehandExtraAdjusterBezel->setValue(1000);
}

// Showing the date flashes its drag frame, so the user sees where to grab it.
void TForm2::CheckBox3Change(TObject*) {
    watch_.showDate(CheckBox3->IsChecked());
    if (watch_.DateMover->Visible())
        watch_.flashDateFrame();
}

void TForm2::CheckBoxSecOnTopChange(TObject*) {
    logme("BringToFront X3");
    watch_.stackHands(CheckBoxSecOnTop->IsChecked());
}

void TForm2::colourCaptions(QLabel& off, QLabel& on, bool switchedOn) {
    colour(off, switchedOn ? InactiveCaption : ActiveCaption);
    colour(on, switchedOn ? ActiveCaption : InactiveCaption);
}

void TForm2::TourbillononTopOfBalanceSwitchSwitch(TObject*) {
    watch_.stackMechanics(TourbillononTopOfBalanceSwitch->IsChecked());
    colourCaptions(*Label37, *Label38, TourbillononTopOfBalanceSwitch->IsChecked());
}

void TForm2::EscapeOnTopOfBalanceWheelSwithSwitch(TObject*) {
    watch_.stackEscapeWheel(EscapeOnTopOfBalanceWheelSwith->IsChecked());
    colourCaptions(*Label41, *Label42, EscapeOnTopOfBalanceWheelSwith->IsChecked());
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
