#include "app/skinbinding.h"

#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "toolkit/colorpanel.h"
#include "toolkit/controls.h"

#include <array>
#include <cmath>
#include <stdexcept>

namespace {
using K = TSkinKey;

// The editor is read through the main window that owns it; reading changes nothing.
TForm2& editorOf(const TForm1& form) {
    return const_cast<TForm1&>(form).editor();
}

TSkinBinding trackBar(TTrackBar* TForm2::*bar) {
    return {[bar](const TForm1& form) { return TSkinValue(double((editorOf(form).*bar)->Value())); },
            [bar](TForm1& form, const TSkinValue& v) {
                (form.editor().*bar)->setValue(float(std::get<double>(v)));
            }};
}

template <class Box> TSkinBinding checked(Box* TForm2::*box) {
    return {
        [box](const TForm1& form) { return TSkinValue((editorOf(form).*box)->IsChecked()); },
        [box](TForm1& form, const TSkinValue& v) { (form.editor().*box)->setIsChecked(std::get<bool>(v)); }};
}

TSkinBinding mainChecked(TCheckBox* TForm1::*box) {
    return {[box](const TForm1& form) { return TSkinValue((form.*box)->IsChecked()); },
            [box](TForm1& form, const TSkinValue& v) { (form.*box)->setIsChecked(std::get<bool>(v)); }};
}

TSkinBinding colour(TColorPanel* TForm2::*panel) {
    return {
        [panel](const TForm1& form) { return TSkinValue((editorOf(form).*panel)->Color()); },
        [panel](TForm1& form, const TSkinValue& v) { (form.editor().*panel)->setColor(std::get<QRgb>(v)); }};
}

TSkinBinding mainText(TEdit* TForm1::*edit) {
    return {[edit](const TForm1& form) { return TSkinValue((form.*edit)->Text()); },
            [edit](TForm1& form, const TSkinValue& v) { (form.*edit)->setText(std::get<QString>(v)); }};
}

// Positions come from the elements themselves, not from any control. A stored one is brought within the
// drag bounds, so its handle can always be grabbed again.
template <class Element>
TSkinBinding position(Element* TWatchScene::*element, Qt::Orientation axis, const TDragBounds& bounds) {
    return {[=](const TForm1& form) {
                const QPointF at = (form.*element)->Position();
                return TSkinValue(axis == Qt::Horizontal ? at.x() : at.y());
            },
            [=](TForm1& form, const TSkinValue& v) {
                QPointF at = (form.*element)->Position();
                const double value = std::get<double>(v);
                if (axis == Qt::Horizontal)
                    at.rx() = TDragBounds::clamped(value, bounds.left, bounds.right);
                else
                    at.ry() = TDragBounds::clamped(value, bounds.top, bounds.bottom);
                (form.*element)->setPosition(at);
            }};
}

// Held by a track bar as a float and stored as the nearest integer, halves to even as the runtime rounds.
TSkinBinding textSize() {
    return {[](const TForm1& form) {
                return TSkinValue(int(std::nearbyint(editorOf(form).TrackbarTextSize->Value())));
            },
            [](TForm1& form, const TSkinValue& v) {
                form.editor().TrackbarTextSize->setValue(float(std::get<int>(v)));
            }};
}

// The font families are held by the labels; the lists only show them.
TSkinBinding clockFont() {
    return {[](const TForm1& form) { return TSkinValue(form.DateOut->FontFamily()); },
            [](TForm1& form, const TSkinValue& v) { form.setDateFont(std::get<QString>(v)); }};
}

TSkinBinding textFont() {
    return {[](const TForm1& form) { return TSkinValue(form.DaMessage->FontFamily()); },
            [](TForm1& form, const TSkinValue& v) { form.setTextFont(std::get<QString>(v)); }};
}

TSkinBinding bindingOf(TSkinKey key) {
    switch (key) {
    case K::DateSize:
        return trackBar(&TForm2::TrackbarDateSize);
    case K::MiniBezelSize:
        return trackBar(&TForm2::TrackBarMinutehandExtraAdjusterBezel);
    case K::DateScale:
        return trackBar(&TForm2::TrackbarDateScale);
    case K::SecondHandPositionX:
        return trackBar(&TForm2::TrackBarSecondX);
    case K::SecondHandPositionY:
        return trackBar(&TForm2::TrackBarSecondY);
    case K::SecondHandOnTop:
        return checked(&TForm2::CheckBoxSecOnTop);
    case K::PlaySoundAtEnd:
        return mainChecked(&TForm1::PlaySound_Chosen);
    case K::BlurredText:
        return checked(&TForm2::CheckBoxTextBlur);
    case K::SecondHandSize:
        return trackBar(&TForm2::TrackBarSecondSize);
    case K::HourHandPositionX:
        return trackBar(&TForm2::TrackBarHourX);
    case K::HourHandPositionY:
        return trackBar(&TForm2::TrackBarHourY);
    case K::HourHandSize:
        return trackBar(&TForm2::TrackBarHourSize);
    case K::UnruhPositionX:
        return trackBar(&TForm2::TrackBarUnruhX);
    case K::UnruhPositionY:
        return trackBar(&TForm2::TrackBarUnruhY);
    case K::UnruhSize:
        return trackBar(&TForm2::TrackBarunruhSize);
    case K::UnruhAngle:
        return trackBar(&TForm2::TrackBarUnruhAngle);
    case K::ShowBalanceWheel:
        return checked(&TForm2::CheckBoxShowWheel);
    case K::ShowBalanceWheelCrosshair:
        return checked(&TForm2::CheckBoxCrosshairUnruh);
    case K::TourbillonPositionX:
        return trackBar(&TForm2::TrackBarTourBillonX);
    case K::TourbillonPositionY:
        return trackBar(&TForm2::TrackBarTourBillonY);
    case K::TourbillonSize:
        return trackBar(&TForm2::TrackBarTourBillonSize);
    case K::ShowTourbillon:
        return checked(&TForm2::CheckBoxShowTourbillon);
    case K::ShowTourbillonCrosshair:
        return checked(&TForm2::CheckBoxCrosshairTourbillon);
    case K::TourbillononTopOfBalance:
        return checked(&TForm2::TourbillononTopOfBalanceSwitch);
    case K::EscapeOnTopOfBalance:
        return checked(&TForm2::EscapeOnTopOfBalanceWheelSwith);
    case K::GearwheelPositionX:
        return trackBar(&TForm2::TrackBarGearWheelX);
    case K::GearwheelPositionY:
        return trackBar(&TForm2::TrackBarGearWheelY);
    case K::GearwheelSize:
        return trackBar(&TForm2::TrackBarGearwheelSize);
    case K::ShowGearwheel:
        return checked(&TForm2::CheckBoxShowGearWheel);
    case K::ShowGearwheelCrosshair:
        return checked(&TForm2::CheckBoxCrosshairGearWheel);
    case K::escapewheelPositionX:
        return trackBar(&TForm2::TrackBarEscapewheelX);
    case K::escapewheelPositionY:
        return trackBar(&TForm2::TrackBarEscapewheelY);
    case K::escapewheelSize:
        return trackBar(&TForm2::TrackBarEscapewheelSize);
    case K::ShowEscapeWheel:
        return checked(&TForm2::CheckBoxShowEscapeWheel);
    case K::MinuteHandPositionX:
        return trackBar(&TForm2::TrackBarMinuteX);
    case K::MinuteHandPositionY:
        return trackBar(&TForm2::TrackBarMinuteY);
    case K::MinuteHandSize:
        return trackBar(&TForm2::TrackBarMinuteSize);
    case K::BezelSize:
        return trackBar(&TForm2::TrackBarBezelSize);
    case K::DateRotation:
        return trackBar(&TForm2::TrackbarDateRotation);
    case K::MessageColor:
        return colour(&TForm2::TextColorPanel);
    case K::TimeColor:
        return colour(&TForm2::FontcolorPanel);
    case K::ArcColor:
        return colour(&TForm2::ArcColorPanel);
    case K::TextSize:
        return textSize();
    case K::Shadow:
        return checked(&TForm2::CheckBox2);
    case K::WatchHasDate:
        return checked(&TForm2::CheckBox3);
    case K::FullWatch:
        return mainChecked(&TForm1::CheckBox5);
    case K::TextShadow:
        return checked(&TForm2::CheckBoxTextShadow);
    case K::RunCounterclockwise:
        return checked(&TForm2::CheckBox6);
    case K::ShowSecHand:
        return checked(&TForm2::CheckBox7);
    case K::ShowMiniBezel:
        return checked(&TForm2::CheckBox8);
    case K::FatTextFont:
        return checked(&TForm2::CheckBox9);
    case K::ArcPos:
        return trackBar(&TForm2::TrackBar2);
    case K::ArcThick:
        return trackBar(&TForm2::TrackBar1);
    case K::ShadowRotation:
        return trackBar(&TForm2::TrackBar4);
    case K::ShadowOpacity:
        return trackBar(&TForm2::TrackBar5);
    case K::Message:
        return mainText(&TForm1::Edit1);
    case K::ClockFontName:
        return clockFont();
    case K::TextFontName:
        return textFont();
    case K::FinishMessage:
        return mainText(&TForm1::Finish_Message);
    case K::DateX:
        return position(&TWatchScene::DateOut, Qt::Horizontal, TWatchScene::DateBounds);
    case K::DateY:
        return position(&TWatchScene::DateOut, Qt::Vertical, TWatchScene::DateBounds);
    case K::TextX:
        return position(&TWatchScene::CutOut, Qt::Horizontal, TWatchScene::TextBounds);
    case K::TextY:
        return position(&TWatchScene::CutOut, Qt::Vertical, TWatchScene::TextBounds);
    }
    throw std::logic_error("a skin key without a holder");
}

std::array<TSkinBinding, skinkeys::Table.size()> buildBindings() {
    std::array<TSkinBinding, skinkeys::Table.size()> bindings;
    for (const TSkinKeyDef& def : skinkeys::Table)
        bindings[std::size_t(def.key)] = bindingOf(def.key);
    return bindings;
}

// --- What follows each key in the loader.

using Then = std::function<void(TForm1&)>;

// The control's own change handler, run whether or not the value changed.
Then runs(void (TForm2::*handler)(TObject*)) {
    return [handler](TForm1& form) { (form.editor().*handler)(&form.editor()); };
}

Then runs(void (TForm1::*handler)(TObject*)) {
    return [handler](TForm1& form) { (form.*handler)(&form); };
}

Then runsBoth(Then first, Then second) {
    return [first, second](TForm1& form) {
        first(form);
        second(form);
    };
}

void nothingMore(TForm1&) {}

// The box's state after its handler had its say: it cannot be turned off while the skin has a background.
void watchFaceRule(TForm1& form) {
    form.applyWatchFace(form.CheckBox5->IsChecked());
}

void secondHandShadowRule(TForm1& form) {
    form.applySecondHandShadow(form.editor().CheckBox2->IsChecked(), form.editor().CheckBox7->IsChecked());
}

// Unlike the box's handler, a load does not flash the date's drag frame.
void dateShownRule(TForm1& form) {
    form.showDate(form.editor().CheckBox3->IsChecked());
}

void dateHandleFollows(TForm1& form) {
    form.placeDate(form.DateOut->Position());
}

void textHandleFollows(TForm1& form) {
    form.placeText(form.CutOut->Position());
}

// Every equal item is chosen in turn, so with duplicates the last one stays chosen; a family that is
// not installed leaves the list's choice and the label's family as they are.
void selectFamily(TComboBox& list, const QString& family) {
    for (int i = 0; i < list.Count(); ++i)
        if (list.Item(i).text == family)
            list.setItemIndex(i);
}

void dateFontInList(TForm1& form) {
    selectFamily(*form.editor().ComboBox1, form.DateOut->FontFamily());
}

void textFontInList(TForm1& form) {
    selectFamily(*form.editor().ComboBox2, form.DaInitMessage->FontFamily());
}

std::vector<TSkinLoadStep> buildLoadOrder() {
    return {
        {K::DateSize, runs(&TForm2::TrackbarDateSizeChange)},
        {K::MiniBezelSize, runs(&TForm2::TrackBarMinutehandExtraAdjusterBezelChange)},
        {K::DateScale, runs(&TForm2::TrackbarDateScaleChange)},
        {K::SecondHandPositionX, runs(&TForm2::TrackBarSecondXChange)},
        {K::SecondHandPositionY, runs(&TForm2::TrackBarSecondYChange)},
        {K::SecondHandSize, runs(&TForm2::TrackBarSecondSizeChange)},
        {K::HourHandPositionX, runs(&TForm2::TrackBarHourXChange)},
        {K::HourHandPositionY, runs(&TForm2::TrackBarHourYChange)},
        {K::HourHandSize, runs(&TForm2::TrackBarHourSizeChange)},
        {K::MinuteHandPositionX, runs(&TForm2::TrackBarMinuteXChange)},
        {K::MinuteHandPositionY, runs(&TForm2::TrackBarMinuteYChange)},
        {K::MinuteHandSize, runs(&TForm2::TrackBarMinuteSizeChange)},
        {K::BezelSize, runs(&TForm2::TrackBarBezelSizeChange)},
        {K::DateRotation, runs(&TForm2::TrackbarDateRotationChange)},
        {K::SecondHandOnTop, runs(&TForm2::CheckBoxSecOnTopChange)},
        {K::PlaySoundAtEnd, runs(&TForm1::MagentaBoxChange)},
        {K::BlurredText, runs(&TForm2::CheckBoxTextBlurChange)},
        {K::MessageColor, runs(&TForm2::TextColorPanelChange)},
        {K::TimeColor, runs(&TForm2::FontcolorPanelChange)},
        {K::ArcColor, runs(&TForm2::ArcColorPanelChange)},
        {K::TextSize, runs(&TForm2::TrackbarTextSizeChange)},
        {K::TextShadow, runs(&TForm2::CheckBoxTextShadowChange)},
        {K::UnruhPositionX, runs(&TForm2::TrackBarUnruhXChange)},
        {K::UnruhPositionY, runs(&TForm2::TrackBarUnruhYChange)},
        {K::UnruhSize, runs(&TForm2::TrackBarunruhSizeChange)},
        {K::UnruhAngle, runs(&TForm2::TrackBarUnruhAngleChange)},
        {K::ShowBalanceWheel, runs(&TForm2::CheckBoxShowWheelChange)},
        {K::ShowBalanceWheelCrosshair, runs(&TForm2::CheckBoxCrosshairUnruhChange)},
        {K::TourbillonPositionX, runs(&TForm2::TrackBarTourBillonXChange)},
        {K::TourbillonPositionY, runs(&TForm2::TrackBarTourBillonYChange)},
        {K::TourbillonSize, runs(&TForm2::TrackBarTourBillonSizeChange)},
        {K::TourbillononTopOfBalance, runs(&TForm2::TourbillononTopOfBalanceSwitchSwitch)},
        {K::EscapeOnTopOfBalance, runs(&TForm2::EscapeOnTopOfBalanceWheelSwithSwitch)},
        {K::ShowTourbillon, runs(&TForm2::CheckBoxShowTourbillonChange)},
        {K::ShowTourbillonCrosshair, runs(&TForm2::CheckBoxCrosshairTourbillonChange)},
        {K::GearwheelPositionX, runs(&TForm2::TrackBarGearWheelXChange)},
        {K::GearwheelPositionY, runs(&TForm2::TrackBarGearWheelYChange)},
        {K::GearwheelSize, runs(&TForm2::TrackBarGearwheelSizeChange)},
        {K::escapewheelPositionX, runs(&TForm2::TrackBarEscapewheelXChange)},
        {K::escapewheelPositionY, runs(&TForm2::TrackBarEscapewheelYChange)},
        {K::escapewheelSize, runs(&TForm2::TrackBarEscapewheelSizeChange)},
        {K::ShowGearwheel, runs(&TForm2::CheckBoxShowGearWheelChange)},
        {K::ShowGearwheelCrosshair, runs(&TForm2::CheckBoxCrosshairGearWheelChange)},
        {K::ShowEscapeWheel, runs(&TForm2::CheckBoxShowEscapeWheelChange)},
        {K::Shadow, runs(&TForm2::CheckBox2Change)},
        {K::WatchHasDate, dateShownRule},
        {K::FullWatch, watchFaceRule},
        {K::RunCounterclockwise, nothingMore},
        {K::ShowSecHand, runs(&TForm2::CheckBox7Change)},
        {K::ShowMiniBezel, runs(&TForm2::CheckBox8Change)},
        {K::FatTextFont, runsBoth(runs(&TForm2::CheckBox9Change), secondHandShadowRule)},
        {K::ArcPos, runs(&TForm2::TrackBar2Change)},
        {K::ArcThick, runs(&TForm2::TrackBar1Change)},
        {K::ShadowRotation, runs(&TForm2::TrackBar4Change)},
        {K::ShadowOpacity, runs(&TForm2::TrackBar5Change)},
        {K::Message, runs(&TForm1::Edit1Change)},
        {K::FinishMessage, runs(&TForm1::Edit1Change)},
        {K::DateX, nothingMore},
        {K::DateY, dateHandleFollows},
        {K::TextX, nothingMore},
        {K::TextY, textHandleFollows},
        {K::ClockFontName, dateFontInList},
        {K::TextFontName, textFontInList},
    };
}
} // namespace

const TSkinBinding& skinBinding(TSkinKey key) {
    static const std::array<TSkinBinding, skinkeys::Table.size()> bindings = buildBindings();
    return bindings.at(std::size_t(key));
}

const std::vector<TSkinLoadStep>& skinLoadOrder() {
    static const std::vector<TSkinLoadStep> steps = buildLoadOrder();
    return steps;
}
