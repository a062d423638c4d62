// The placement columns: where each hand and mechanism sits, how large it is, and its helpers.
#include "editor/Unit2.h"

#include "editor/Unit2_helpers.h"

#include "toolkit/controls.h"
#include "watch/watchscene.h"

#include <QLabel>

using namespace editor;

namespace {
constexpr float SizeAtStart = 582.7066f; // shows only until the first skin sets the bars
constexpr float ReachOfMargins = 710;

} // namespace

// One column, top to bottom: title, X bar, crosshair box, the Y bar standing beside the Defaults
// button, the show-at-all box, and the Size bar at the bottom.
TForm2::Column TForm2::addColumn(QWidget& tab, int left, const QString& title, const QString& prefix,
                                 float minSize, const QString& crosshairName, const QString& crosshairCaption,
                                 const QString& defaultsName, const QString& showName,
                                 const QString& showCaption) {
    const int width = tab.objectName() == QLatin1String("TabItemHourhand") ? 245 : 184;
    caption(tab, title, {left, 6, width, 18}, true);
    Column column{};
    column.x = new TTrackBar(&tab, prefix + "X", -ReachOfMargins, ReachOfMargins, 0);
    column.x->setGeometry(left, 28, width - 12, 30);
    column.crosshair = new TCheckBox(&tab, crosshairName, crosshairCaption);
    column.crosshair->setGeometry(left, 62, width - 6, 22);
    column.y = new TTrackBar(&tab, prefix + "Y", -ReachOfMargins, ReachOfMargins, 0, 0, Qt::Vertical);
    column.y->setGeometry(left, 90, 44, 172);
    column.defaults = new TButton(&tab, defaultsName, "Defaults");
    column.defaults->setGeometry(left + 56, 90, 90, 28);
    if (!showName.isEmpty()) {
        column.showAtAll = new TCheckBox(&tab, showName, showCaption, true);
        column.showAtAll->setGeometry(left, 268, width - 6, 22);
    }
    QLabel& sizeCaption = caption(tab, "Size", {left, 300, 34, 22});
    column.size = new TTrackBar(&tab, prefix + "Size", minSize, 1000, SizeAtStart);
    column.size->setGeometry(left + 34, 296, width - 46, 30);
    sizeCaption.setBuddy(column.size);
    return column;
}

// `part` as a sentence names it: "hour hand", "balance wheel".
void TForm2::describeColumn(const Column& column, const QString& part) {
    const QString Part = part.left(1).toUpper() + part.mid(1);
    describe(*column.x, Part + " X position", "Moves the " + part + " left or right.");
    describe(*column.crosshair, Part + " crosshair",
             "Shows a crosshair over the " + part + " to help place it.");
    describe(*column.y, Part + " Y position", "Moves the " + part + " up or down.");
    describe(*column.defaults, Part + " defaults", "Puts the " + part + " back in the middle at full size.");
    if (column.showAtAll)
        describe(*column.showAtAll, "Show " + part, "Shows or hides the " + part + '.');
    describe(*column.size, Part + " size", "Sets the size of the " + part + '.');
}

void TForm2::buildPlacementColumns() {
    const QString handCrosshair = "Show crosshair adjustment helper";
    Column c = addColumn(*TabItemHourhand, 8, "Hour hand coordinates", "TrackBarHour", 100, "CheckBox1",
                         handCrosshair, "Button5", {}, {});
    describeColumn(c, "hour hand");
    std::tie(TrackBarHourSize, TrackBarHourX, TrackBarHourY, CheckBox1, Button5) =
        std::tie(c.size, c.x, c.y, c.crosshair, c.defaults);
    c = addColumn(*TabItemHourhand, 262, "Minute hand coordinates", "TrackBarMinute", 100, "CheckBox4",
                  handCrosshair, "Button3", {}, {});
    describeColumn(c, "minute hand");
    std::tie(TrackBarMinuteSize, TrackBarMinuteX, TrackBarMinuteY, CheckBox4, Button3) =
        std::tie(c.size, c.x, c.y, c.crosshair, c.defaults);
    c = addColumn(*TabItemHourhand, 516, "Second hand coordinates", "TrackBarSecond", 100,
                  "CheckBoxCrosshair", handCrosshair, "Button4", {}, {});
    describeColumn(c, "second hand");
    std::tie(TrackBarSecondSize, TrackBarSecondX, TrackBarSecondY, CheckBoxCrosshair, Button4) =
        std::tie(c.size, c.x, c.y, c.crosshair, c.defaults);

    c = addColumn(*TabItem1, 6, "Balance wheel coordinates", "TrackBarUnruh", 100, "CheckBoxCrosshairUnruh",
                  "Show crosshair", "Button16", "CheckBoxShowWheel", "Show balance wheel at all");
    describeColumn(c, "balance wheel");
    std::tie(TrackBarunruhSize, TrackBarUnruhX, TrackBarUnruhY, CheckBoxCrosshairUnruh, Button16,
             CheckBoxShowWheel) = std::tie(c.size, c.x, c.y, c.crosshair, c.defaults, c.showAtAll);
    TrackBarunruhSize->setName("TrackBarunruhSize");
    TrackBarunruhSize->setObjectName("TrackBarunruhSize");
    c = addColumn(*TabItem1, 196, "Tourbillon coordinates", "TrackBarTourBillon", 100,
                  "CheckBoxCrosshairTourbillon", "Show crosshair", "Button17", "CheckBoxShowTourbillon",
                  "Show tourbillon at all");
    describeColumn(c, "tourbillon");
    std::tie(TrackBarTourBillonSize, TrackBarTourBillonX, TrackBarTourBillonY, CheckBoxCrosshairTourbillon,
             Button17, CheckBoxShowTourbillon) =
        std::tie(c.size, c.x, c.y, c.crosshair, c.defaults, c.showAtAll);
    c = addColumn(*TabItem1, 386, "Escape coordinates", "TrackBarEscapewheel", 50, "CheckBox10",
                  "Show crosshair", "Button19", "CheckBoxShowEscapeWheel", "Show escape wheel at all");
    describeColumn(c, "escape wheel");
    std::tie(TrackBarEscapewheelSize, TrackBarEscapewheelX, TrackBarEscapewheelY, CheckBox10, Button19,
             CheckBoxShowEscapeWheel) = std::tie(c.size, c.x, c.y, c.crosshair, c.defaults, c.showAtAll);
    CheckBox10->setEnabled(false); // the escape wheel has no crosshair
    describe(*CheckBox10, "Escape wheel crosshair", "Does nothing: the escape wheel has no crosshair.");
    c = addColumn(*TabItem1, 576, "Add'l gear wheel coordinates", "TrackBarGearwheel", 50,
                  "CheckBoxCrosshairGearWheel", "Show crosshair", "Button18", "CheckBoxShowGearWheel",
                  "Show gear wheel at all");
    describeColumn(c, "gear wheel");
    std::tie(TrackBarGearwheelSize, TrackBarGearWheelX, TrackBarGearWheelY, CheckBoxCrosshairGearWheel,
             Button18, CheckBoxShowGearWheel) =
        std::tie(c.size, c.x, c.y, c.crosshair, c.defaults, c.showAtAll);
    for (TTrackBar* bar : {TrackBarGearWheelX, TrackBarGearWheelY}) {
        const QString name = bar == TrackBarGearWheelX ? "TrackBarGearWheelX" : "TrackBarGearWheelY";
        bar->setName(name);
        bar->setObjectName(name);
    }

    QLabel& angleCaption = caption(*TabItem1, "Oscillation angle", {6, 336, 120, 20});
    TrackBarUnruhAngle = new TTrackBar(TabItem1, "TrackBarUnruhAngle", 2, 359, 200);
    TrackBarUnruhAngle->setGeometry(6, 356, 172, 30);
    describe(*TrackBarUnruhAngle, "Balance wheel oscillation angle",
             "Sets how far, in degrees, the balance wheel turns on each swing.");
    angleCaption.setBuddy(TrackBarUnruhAngle);
    connectPlacementHandlers();
}

void TForm2::connectPlacementHandlers() {
    const auto bind = [this](auto& event, void (TForm2::*handler)(TObject*)) {
        event = [this, handler](TObject* sender) { (this->*handler)(sender); };
    };
    bind(TrackBarUnruhAngle->OnChange, &TForm2::TrackBarUnruhAngleChange);
    bind(TrackBarHourSize->OnChange, &TForm2::TrackBarHourSizeChange);
    bind(TrackBarHourX->OnChange, &TForm2::TrackBarHourXChange);
    bind(TrackBarHourY->OnChange, &TForm2::TrackBarHourYChange);
    bind(CheckBox1->OnChange, &TForm2::CheckBox1Change);
    bind(Button5->OnClick, &TForm2::Button5Click);
    bind(TrackBarMinuteSize->OnChange, &TForm2::TrackBarMinuteSizeChange);
    bind(TrackBarMinuteX->OnChange, &TForm2::TrackBarMinuteXChange);
    bind(TrackBarMinuteY->OnChange, &TForm2::TrackBarMinuteYChange);
    bind(CheckBox4->OnChange, &TForm2::CheckBox4Change);
    bind(Button3->OnClick, &TForm2::Button3Click);
    bind(TrackBarSecondSize->OnChange, &TForm2::TrackBarSecondSizeChange);
    bind(TrackBarSecondX->OnChange, &TForm2::TrackBarSecondXChange);
    bind(TrackBarSecondY->OnChange, &TForm2::TrackBarSecondYChange);
    bind(CheckBoxCrosshair->OnChange, &TForm2::CheckBoxCrosshairChange);
    bind(Button4->OnClick, &TForm2::Button4Click);
    bind(TrackBarunruhSize->OnChange, &TForm2::TrackBarunruhSizeChange);
    bind(TrackBarUnruhX->OnChange, &TForm2::TrackBarUnruhXChange);
    bind(TrackBarUnruhY->OnChange, &TForm2::TrackBarUnruhYChange);
    bind(CheckBoxCrosshairUnruh->OnChange, &TForm2::CheckBoxCrosshairUnruhChange);
    bind(Button16->OnClick, &TForm2::Button16Click);
    bind(CheckBoxShowWheel->OnChange, &TForm2::CheckBoxShowWheelChange);
    bind(TrackBarTourBillonSize->OnChange, &TForm2::TrackBarTourBillonSizeChange);
    bind(TrackBarTourBillonX->OnChange, &TForm2::TrackBarTourBillonXChange);
    bind(TrackBarTourBillonY->OnChange, &TForm2::TrackBarTourBillonYChange);
    bind(CheckBoxCrosshairTourbillon->OnChange, &TForm2::CheckBoxCrosshairTourbillonChange);
    bind(Button17->OnClick, &TForm2::Button17Click);
    bind(CheckBoxShowTourbillon->OnChange, &TForm2::CheckBoxShowTourbillonChange);
    bind(TrackBarGearwheelSize->OnChange, &TForm2::TrackBarGearwheelSizeChange);
    bind(TrackBarGearWheelX->OnChange, &TForm2::TrackBarGearWheelXChange);
    bind(TrackBarGearWheelY->OnChange, &TForm2::TrackBarGearWheelYChange);
    bind(CheckBoxCrosshairGearWheel->OnChange, &TForm2::CheckBoxCrosshairGearWheelChange);
    bind(CheckBox10->OnChange, &TForm2::CheckBoxCrosshairGearWheelChange);
    bind(Button18->OnClick, &TForm2::Button18Click);
    bind(CheckBoxShowGearWheel->OnChange, &TForm2::CheckBoxShowGearWheelChange);
    bind(TrackBarEscapewheelSize->OnChange, &TForm2::TrackBarEscapewheelSizeChange);
    bind(TrackBarEscapewheelX->OnChange, &TForm2::TrackBarEscapewheelXChange);
    bind(TrackBarEscapewheelY->OnChange, &TForm2::TrackBarEscapewheelYChange);
    bind(Button19->OnClick, &TForm2::Button19Click);
    bind(CheckBoxShowEscapeWheel->OnChange, &TForm2::CheckBoxShowEscapeWheelChange);
}

// Margins back to 0 and size to 1000, then the bars follow; a bar already there runs nothing.
void TForm2::resetPlacement(TWatchPart part, TTrackBar& x, TTrackBar& y, TTrackBar& size) {
    watch_.resetPart(part);
    x.setValue(float(watch_.partOffset(part).x()));
    y.setValue(float(watch_.partOffset(part).y()));
    size.setValue(watch_.partSize(part));
}

// The balance wheel's timer reads the bar on every swing; nothing happens on the change itself.
void TForm2::TrackBarUnruhAngleChange(TObject*) {}

void TForm2::TrackBarHourSizeChange(TObject*) {
    watch_.sizePart(TWatchPart::HourHand, TrackBarHourSize->Value());
}
void TForm2::TrackBarHourXChange(TObject*) {
    watch_.movePartX(TWatchPart::HourHand, TrackBarHourX->Value());
}
void TForm2::TrackBarHourYChange(TObject*) {
    watch_.movePartY(TWatchPart::HourHand, TrackBarHourY->Value());
}
void TForm2::CheckBox1Change(TObject*) {
    watch_.showPartCrosshair(TWatchPart::HourHand, CheckBox1->IsChecked());
}
void TForm2::Button5Click(TObject*) {
    resetPlacement(TWatchPart::HourHand, *TrackBarHourX, *TrackBarHourY, *TrackBarHourSize);
}

void TForm2::TrackBarMinuteSizeChange(TObject*) {
    watch_.sizePart(TWatchPart::MinuteHand, TrackBarMinuteSize->Value());
}
void TForm2::TrackBarMinuteXChange(TObject*) {
    watch_.movePartX(TWatchPart::MinuteHand, TrackBarMinuteX->Value());
}
void TForm2::TrackBarMinuteYChange(TObject*) {
    watch_.movePartY(TWatchPart::MinuteHand, TrackBarMinuteY->Value());
}
void TForm2::CheckBox4Change(TObject*) {
    watch_.showPartCrosshair(TWatchPart::MinuteHand, CheckBox4->IsChecked());
}
void TForm2::Button3Click(TObject*) {
    resetPlacement(TWatchPart::MinuteHand, *TrackBarMinuteX, *TrackBarMinuteY, *TrackBarMinuteSize);
}

void TForm2::TrackBarSecondSizeChange(TObject*) {
    watch_.sizePart(TWatchPart::SecondHand, TrackBarSecondSize->Value());
}
void TForm2::TrackBarSecondXChange(TObject*) {
    watch_.movePartX(TWatchPart::SecondHand, TrackBarSecondX->Value());
}
void TForm2::TrackBarSecondYChange(TObject*) {
    watch_.movePartY(TWatchPart::SecondHand, TrackBarSecondY->Value());
}
void TForm2::CheckBoxCrosshairChange(TObject*) {
    watch_.showPartCrosshair(TWatchPart::SecondHand, CheckBoxCrosshair->IsChecked());
}
void TForm2::Button4Click(TObject*) {
    resetPlacement(TWatchPart::SecondHand, *TrackBarSecondX, *TrackBarSecondY, *TrackBarSecondSize);
}

void TForm2::TrackBarunruhSizeChange(TObject*) {
    watch_.sizePart(TWatchPart::BalanceWheel, TrackBarunruhSize->Value());
}
void TForm2::TrackBarUnruhXChange(TObject*) {
    watch_.movePartX(TWatchPart::BalanceWheel, TrackBarUnruhX->Value());
}
void TForm2::TrackBarUnruhYChange(TObject*) {
    watch_.movePartY(TWatchPart::BalanceWheel, TrackBarUnruhY->Value());
}
void TForm2::CheckBoxCrosshairUnruhChange(TObject*) {
    watch_.showPartCrosshair(TWatchPart::BalanceWheel, CheckBoxCrosshairUnruh->IsChecked());
}
void TForm2::Button16Click(TObject*) {
    resetPlacement(TWatchPart::BalanceWheel, *TrackBarUnruhX, *TrackBarUnruhY, *TrackBarunruhSize);
}
void TForm2::CheckBoxShowWheelChange(TObject*) {
    watch_.showPart(TWatchPart::BalanceWheel, CheckBoxShowWheel->IsChecked());
}

void TForm2::TrackBarTourBillonSizeChange(TObject*) {
    watch_.sizePart(TWatchPart::Tourbillon, TrackBarTourBillonSize->Value());
}
void TForm2::TrackBarTourBillonXChange(TObject*) {
    watch_.movePartX(TWatchPart::Tourbillon, TrackBarTourBillonX->Value());
}
void TForm2::TrackBarTourBillonYChange(TObject*) {
    watch_.movePartY(TWatchPart::Tourbillon, TrackBarTourBillonY->Value());
}
void TForm2::CheckBoxCrosshairTourbillonChange(TObject*) {
    watch_.showPartCrosshair(TWatchPart::Tourbillon, CheckBoxCrosshairTourbillon->IsChecked());
}
void TForm2::Button17Click(TObject*) {
    resetPlacement(TWatchPart::Tourbillon, *TrackBarTourBillonX, *TrackBarTourBillonY,
                   *TrackBarTourBillonSize);
}
void TForm2::CheckBoxShowTourbillonChange(TObject*) {
    watch_.showPart(TWatchPart::Tourbillon, CheckBoxShowTourbillon->IsChecked());
}

void TForm2::TrackBarGearwheelSizeChange(TObject*) {
    watch_.sizePart(TWatchPart::GearWheel, TrackBarGearwheelSize->Value());
}
void TForm2::TrackBarGearWheelXChange(TObject*) {
    watch_.movePartX(TWatchPart::GearWheel, TrackBarGearWheelX->Value());
}
void TForm2::TrackBarGearWheelYChange(TObject*) {
    watch_.movePartY(TWatchPart::GearWheel, TrackBarGearWheelY->Value());
}
// Serves the escape wheel's disabled box too, but always reads the gear wheel's.
void TForm2::CheckBoxCrosshairGearWheelChange(TObject*) {
    watch_.showPartCrosshair(TWatchPart::GearWheel, CheckBoxCrosshairGearWheel->IsChecked());
}
void TForm2::Button18Click(TObject*) {
    resetPlacement(TWatchPart::GearWheel, *TrackBarGearWheelX, *TrackBarGearWheelY, *TrackBarGearwheelSize);
}
void TForm2::CheckBoxShowGearWheelChange(TObject*) {
    watch_.showPart(TWatchPart::GearWheel, CheckBoxShowGearWheel->IsChecked());
}

void TForm2::TrackBarEscapewheelSizeChange(TObject*) {
    watch_.sizePart(TWatchPart::EscapeWheel, TrackBarEscapewheelSize->Value());
}
void TForm2::TrackBarEscapewheelXChange(TObject*) {
    watch_.movePartX(TWatchPart::EscapeWheel, TrackBarEscapewheelX->Value());
}
void TForm2::TrackBarEscapewheelYChange(TObject*) {
    watch_.movePartY(TWatchPart::EscapeWheel, TrackBarEscapewheelY->Value());
}
void TForm2::Button19Click(TObject*) {
    resetPlacement(TWatchPart::EscapeWheel, *TrackBarEscapewheelX, *TrackBarEscapewheelY,
                   *TrackBarEscapewheelSize);
}
void TForm2::CheckBoxShowEscapeWheelChange(TObject*) {
    watch_.showPart(TWatchPart::EscapeWheel, CheckBoxShowEscapeWheel->IsChecked());
}
