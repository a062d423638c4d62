#include "app/skinkeys.h"

#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "skin/profile.h"
#include "toolkit/colorpanel.h"
#include "toolkit/controls.h"

#include <QRgb>
#include <cmath>
#include <stdexcept>

namespace {
using TrackBarOf = TTrackBar* TForm2::*;
using CheckBoxOf = TCheckBox* TForm2::*;
using SwitchOf = TSwitch* TForm2::*;
using ColorPanelOf = TColorPanel* TForm2::*;

TForm2& editorOf(const TForm1& form) {
    return const_cast<TForm1&>(form).editor();
}

TSkinKey trackBar(const char* name, double fallback, TrackBarOf bar) {
    return {name, TSkinKind::Float, fallback,
            [bar](const TForm1& form) { return QVariant(double((editorOf(form).*bar)->Value())); },
            [bar](TForm1& form, const QVariant& v) { (form.editor().*bar)->setValue(float(v.toDouble())); }};
}

TSkinKey checkBox(const char* name, bool fallback, CheckBoxOf box) {
    return {name, TSkinKind::Bool, fallback,
            [box](const TForm1& form) { return QVariant((editorOf(form).*box)->IsChecked()); },
            [box](TForm1& form, const QVariant& v) { (form.editor().*box)->setIsChecked(v.toBool()); }};
}

TSkinKey toggle(const char* name, bool fallback, SwitchOf control) {
    return {
        name, TSkinKind::Bool, fallback,
        [control](const TForm1& form) { return QVariant((editorOf(form).*control)->IsChecked()); },
        [control](TForm1& form, const QVariant& v) { (form.editor().*control)->setIsChecked(v.toBool()); }};
}

TSkinKey mainCheckBox(const char* name, bool fallback, TCheckBox* TForm1::*box) {
    return {name, TSkinKind::Bool, fallback,
            [box](const TForm1& form) { return QVariant((form.*box)->IsChecked()); },
            [box](TForm1& form, const QVariant& v) { (form.*box)->setIsChecked(v.toBool()); }};
}

TSkinKey colour(const char* name, QRgb fallback, ColorPanelOf panel) {
    return {name, TSkinKind::Colour, QVariant::fromValue(fallback),
            [panel](const TForm1& form) { return QVariant::fromValue((editorOf(form).*panel)->Color()); },
            [panel](TForm1& form, const QVariant& v) { (form.editor().*panel)->setColor(v.value<QRgb>()); }};
}

TSkinKey mainText(const char* name, const char* fallback, TEdit* TForm1::*edit) {
    return {name, TSkinKind::Text, QString::fromUtf8(fallback),
            [edit](const TForm1& form) { return QVariant((form.*edit)->Text()); },
            [edit](TForm1& form, const QVariant& v) { (form.*edit)->setText(v.toString()); }};
}

// Positions come from the elements themselves, not from any control.
template <class Element>
TSkinKey position(const char* name, double fallback, Element* TForm1::*element, bool horizontal) {
    return {name, TSkinKind::Float, fallback,
            [=](const TForm1& form) {
                const QPointF at = (form.*element)->Position();
                return QVariant(horizontal ? at.x() : at.y());
            },
            [=](TForm1& form, const QVariant& v) {
                QPointF at = (form.*element)->Position();
                (horizontal ? at.rx() : at.ry()) = v.toDouble();
                (form.*element)->setPosition(at);
            }};
}

// Halves go to the even neighbour, as the runtime rounds.
int roundHalfEven(double value) {
    return int(std::nearbyint(value));
}

std::vector<TSkinKey> buildTable() {
    return {
        trackBar("DateSize", 50, &TForm2::TrackbarDateSize),
        trackBar("MiniBezelSize", 1000, &TForm2::TrackBarMinutehandExtraAdjusterBezel),
        trackBar("DateScale", 1, &TForm2::TrackbarDateScale),
        trackBar("SecondHandPositionX", 0, &TForm2::TrackBarSecondX),
        trackBar("SecondHandPositionY", 0, &TForm2::TrackBarSecondY),
        checkBox("SecondHandOnTop", true, &TForm2::CheckBoxSecOnTop),
        mainCheckBox("PlaySoundAtEnd", false, &TForm1::PlaySound_Chosen),
        checkBox("BlurredText", true, &TForm2::CheckBoxTextBlur),
        trackBar("SecondHandSize", 1000, &TForm2::TrackBarSecondSize),
        trackBar("HourHandPositionX", 0, &TForm2::TrackBarHourX),
        trackBar("HourHandPositionY", 0, &TForm2::TrackBarHourY),
        trackBar("HourHandSize", 1000, &TForm2::TrackBarHourSize),
        trackBar("UnruhPositionX", 0, &TForm2::TrackBarUnruhX),
        trackBar("UnruhPositionY", 0, &TForm2::TrackBarUnruhY),
        trackBar("UnruhSize", 1000, &TForm2::TrackBarunruhSize),
        trackBar("UnruhAngle", 45, &TForm2::TrackBarUnruhAngle),
        checkBox("ShowBalanceWheel", false, &TForm2::CheckBoxShowWheel),
        checkBox("ShowBalanceWheelCrosshair", false, &TForm2::CheckBoxCrosshairUnruh),
        trackBar("TourbillonPositionX", 0, &TForm2::TrackBarTourBillonX),
        trackBar("TourbillonPositionY", 0, &TForm2::TrackBarTourBillonY),
        trackBar("TourbillonSize", 1000, &TForm2::TrackBarTourBillonSize),
        checkBox("ShowTourbillon", false, &TForm2::CheckBoxShowTourbillon),
        checkBox("ShowTourbillonCrosshair", false, &TForm2::CheckBoxCrosshairTourbillon),
        toggle("TourbillononTopOfBalance", false, &TForm2::TourbillononTopOfBalanceSwitch),
        toggle("EscapeOnTopOfBalance", false, &TForm2::EscapeOnTopOfBalanceWheelSwith),
        trackBar("GearwheelPositionX", 0, &TForm2::TrackBarGearWheelX),
        trackBar("GearwheelPositionY", 0, &TForm2::TrackBarGearWheelY),
        trackBar("GearwheelSize", 1000, &TForm2::TrackBarGearwheelSize),
        checkBox("ShowGearwheel", false, &TForm2::CheckBoxShowGearWheel),
        checkBox("ShowGearwheelCrosshair", false, &TForm2::CheckBoxCrosshairGearWheel),
        trackBar("escapewheelPositionX", 0, &TForm2::TrackBarEscapewheelX),
        trackBar("escapewheelPositionY", 0, &TForm2::TrackBarEscapewheelY),
        trackBar("escapewheelSize", 1000, &TForm2::TrackBarEscapewheelSize),
        checkBox("ShowEscapeWheel", false, &TForm2::CheckBoxShowEscapeWheel),
        trackBar("MinuteHandPositionX", 0, &TForm2::TrackBarMinuteX),
        trackBar("MinuteHandPositionY", 0, &TForm2::TrackBarMinuteY),
        trackBar("MinuteHandSize", 1000, &TForm2::TrackBarMinuteSize),
        trackBar("BezelSize", 1000, &TForm2::TrackBarBezelSize),
        trackBar("DateRotation", 0, &TForm2::TrackbarDateRotation),
        colour("MessageColor", 0xFFFF0000, &TForm2::TextColorPanel),
        colour("TimeColor", 0xFF3A3A3A, &TForm2::FontcolorPanel),
        colour("ArcColor", 0xFFFF0000, &TForm2::ArcColorPanel),
        {"TextSize", TSkinKind::Integer, 48,
         [](const TForm1& form) { return QVariant(roundHalfEven(editorOf(form).TrackbarTextSize->Value())); },
         [](TForm1& form, const QVariant& v) { form.editor().TrackbarTextSize->setValue(float(v.toInt())); }},
        checkBox("Shadow", false, &TForm2::CheckBox2),
        checkBox("WatchHasDate", true, &TForm2::CheckBox3),
        mainCheckBox("FullWatch", true, &TForm1::CheckBox5),
        checkBox("TextShadow", true, &TForm2::CheckBoxTextShadow),
        checkBox("RunCounterclockwise", false, &TForm2::CheckBox6),
        checkBox("ShowSecHand", true, &TForm2::CheckBox7),
        checkBox("ShowMiniBezel", false, &TForm2::CheckBox8),
        checkBox("FatTextFont", false, &TForm2::CheckBox9),
        trackBar("ArcPos", 142, &TForm2::TrackBar2),
        trackBar("ArcThick", 6, &TForm2::TrackBar1),
        trackBar("ShadowRotation", 160, &TForm2::TrackBar4),
        trackBar("ShadowOpacity", 0.42, &TForm2::TrackBar5),
        mainText("Message", "Start", &TForm1::Edit1),
        {"ClockFontName", TSkinKind::Text, QStringLiteral("Calibri"),
         [](const TForm1& form) { return QVariant(form.DateOut->FontFamily()); },
         [](TForm1& form, const QVariant& v) { form.DateOut->setFontFamily(v.toString()); }},
        {"TextFontName", TSkinKind::Text, QStringLiteral("Calibri"),
         [](const TForm1& form) { return QVariant(form.DaMessage->FontFamily()); },
         [](TForm1& form, const QVariant& v) { form.DaMessage->setFontFamily(v.toString()); }},
        mainText("FinishMessage", "Countdown ended", &TForm1::Finish_Message),
        position("DateX", 662, &TForm1::DateOut, true),
        position("DateY", 464, &TForm1::DateOut, false),
        position("TextX", 233, &TForm1::CutOut, true),
        position("TextY", 460, &TForm1::CutOut, false),
    };
}
} // namespace

const std::vector<TSkinKey>& skinKeys() {
    static const std::vector<TSkinKey> table = buildTable();
    return table;
}

const TSkinKey& skinKey(const QString& name) {
    for (const TSkinKey& key : skinKeys())
        if (key.name == name)
            return key;
    throw std::invalid_argument("no skin key " + name.toStdString());
}

QVariant readSkinValue(const TProfile& profile, const TSkinKey& key) {
    const QString& s = SettingsSection;
    switch (key.kind) {
    case TSkinKind::Float:
        if (const auto v = profile.readFloat(s, key.name))
            return *v;
        break;
    case TSkinKind::Bool:
        if (const auto v = profile.readBool(s, key.name))
            return *v;
        break;
    case TSkinKind::Integer:
        if (const auto v = profile.readInteger(s, key.name))
            return *v;
        break;
    case TSkinKind::Colour:
        if (const auto v = profile.readColor(s, key.name))
            return QVariant::fromValue(*v);
        break;
    case TSkinKind::Text:
        if (const auto v = profile.readText(s, key.name))
            return *v;
        break;
    }
    return key.fallback;
}

void assignSkinValue(TForm1& form, const TProfile& profile, const TSkinKey& key) {
    key.assign(form, readSkinValue(profile, key));
}

void writeSkinValue(TProfile& profile, const TSkinKey& key, const QVariant& value) {
    const QString& s = SettingsSection;
    switch (key.kind) {
    case TSkinKind::Float:
        profile.writeFloat(s, key.name, value.toDouble());
        break;
    case TSkinKind::Bool:
        profile.writeBool(s, key.name, value.toBool());
        break;
    case TSkinKind::Integer:
        profile.writeInteger(s, key.name, value.toInt());
        break;
    case TSkinKind::Colour:
        profile.writeColor(s, key.name, value.value<QRgb>());
        break;
    case TSkinKind::Text:
        profile.writeText(s, key.name, value.toString());
        break;
    }
}
