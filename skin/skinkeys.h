#pragma once

#include <QRgb>
#include <QString>
#include <array>
#include <string_view>
#include <variant>

class TProfile;

// The settings of skin.ini, in the order the writer emits them. Code names a key by its enumerator,
// so a misspelt key does not compile; the file name of each key is written once, in the table below.
enum class TSkinKey {
    DateSize,
    MiniBezelSize,
    DateScale,
    SecondHandPositionX,
    SecondHandPositionY,
    SecondHandOnTop,
    PlaySoundAtEnd,
    BlurredText,
    SecondHandSize,
    HourHandPositionX,
    HourHandPositionY,
    HourHandSize,
    UnruhPositionX,
    UnruhPositionY,
    UnruhSize,
    UnruhAngle,
    ShowBalanceWheel,
    ShowBalanceWheelCrosshair,
    TourbillonPositionX,
    TourbillonPositionY,
    TourbillonSize,
    ShowTourbillon,
    ShowTourbillonCrosshair,
    TourbillononTopOfBalance,
    EscapeOnTopOfBalance,
    GearwheelPositionX,
    GearwheelPositionY,
    GearwheelSize,
    ShowGearwheel,
    ShowGearwheelCrosshair,
    escapewheelPositionX,
    escapewheelPositionY,
    escapewheelSize,
    ShowEscapeWheel,
    MinuteHandPositionX,
    MinuteHandPositionY,
    MinuteHandSize,
    BezelSize,
    DateRotation,
    MessageColor,
    TimeColor,
    ArcColor,
    TextSize,
    Shadow,
    WatchHasDate,
    FullWatch,
    TextShadow,
    RunCounterclockwise,
    ShowSecHand,
    ShowMiniBezel,
    FatTextFont,
    ArcPos,
    ArcThick,
    ShadowRotation,
    ShadowOpacity,
    Message,
    ClockFontName,
    TextFontName,
    FinishMessage,
    DateX,
    DateY,
    TextX,
    TextY,
};

enum class TSkinKind { Float, Bool, Integer, Colour, Text };

// A value as the file holds it: a float, a bool, an integer, an ARGB colour or a text.
using TSkinValue = std::variant<double, bool, int, QRgb, QString>;

struct TSkinKeyDef {
    TSkinKey key;
    std::string_view name;
    TSkinKind kind;
    double number = 0;          // default of the number kinds (a colour's bit pattern, a bool's 0 or 1)
    std::string_view text = {}; // default of a text
};

namespace skinkeys {
using enum TSkinKey;
using enum TSkinKind;
inline constexpr std::array<TSkinKeyDef, 63> Table{{
    {DateSize, "DateSize", Float, 50},
    {MiniBezelSize, "MiniBezelSize", Float, 1000},
    {DateScale, "DateScale", Float, 1},
    {SecondHandPositionX, "SecondHandPositionX", Float, 0},
    {SecondHandPositionY, "SecondHandPositionY", Float, 0},
    {SecondHandOnTop, "SecondHandOnTop", Bool, 1},
    {PlaySoundAtEnd, "PlaySoundAtEnd", Bool, 0},
    {BlurredText, "BlurredText", Bool, 1},
    {SecondHandSize, "SecondHandSize", Float, 1000},
    {HourHandPositionX, "HourHandPositionX", Float, 0},
    {HourHandPositionY, "HourHandPositionY", Float, 0},
    {HourHandSize, "HourHandSize", Float, 1000},
    {UnruhPositionX, "UnruhPositionX", Float, 0},
    {UnruhPositionY, "UnruhPositionY", Float, 0},
    {UnruhSize, "UnruhSize", Float, 1000},
    {UnruhAngle, "UnruhAngle", Float, 45},
    {ShowBalanceWheel, "ShowBalanceWheel", Bool, 0},
    {ShowBalanceWheelCrosshair, "ShowBalanceWheelCrosshair", Bool, 0},
    {TourbillonPositionX, "TourbillonPositionX", Float, 0},
    {TourbillonPositionY, "TourbillonPositionY", Float, 0},
    {TourbillonSize, "TourbillonSize", Float, 1000},
    {ShowTourbillon, "ShowTourbillon", Bool, 0},
    {ShowTourbillonCrosshair, "ShowTourbillonCrosshair", Bool, 0},
    {TourbillononTopOfBalance, "TourbillononTopOfBalance", Bool, 0},
    {EscapeOnTopOfBalance, "EscapeOnTopOfBalance", Bool, 0},
    {GearwheelPositionX, "GearwheelPositionX", Float, 0},
    {GearwheelPositionY, "GearwheelPositionY", Float, 0},
    {GearwheelSize, "GearwheelSize", Float, 1000},
    {ShowGearwheel, "ShowGearwheel", Bool, 0},
    {ShowGearwheelCrosshair, "ShowGearwheelCrosshair", Bool, 0},
    {escapewheelPositionX, "escapewheelPositionX", Float, 0},
    {escapewheelPositionY, "escapewheelPositionY", Float, 0},
    {escapewheelSize, "escapewheelSize", Float, 1000},
    {ShowEscapeWheel, "ShowEscapeWheel", Bool, 0},
    {MinuteHandPositionX, "MinuteHandPositionX", Float, 0},
    {MinuteHandPositionY, "MinuteHandPositionY", Float, 0},
    {MinuteHandSize, "MinuteHandSize", Float, 1000},
    {BezelSize, "BezelSize", Float, 1000},
    {DateRotation, "DateRotation", Float, 0},
    {MessageColor, "MessageColor", Colour, 0xFFFF0000},
    {TimeColor, "TimeColor", Colour, 0xFF3A3A3A},
    {ArcColor, "ArcColor", Colour, 0xFFFF0000},
    {TextSize, "TextSize", Integer, 48},
    {Shadow, "Shadow", Bool, 0},
    {WatchHasDate, "WatchHasDate", Bool, 1},
    {FullWatch, "FullWatch", Bool, 1},
    {TextShadow, "TextShadow", Bool, 1},
    {RunCounterclockwise, "RunCounterclockwise", Bool, 0},
    {ShowSecHand, "ShowSecHand", Bool, 1},
    {ShowMiniBezel, "ShowMiniBezel", Bool, 0},
    {FatTextFont, "FatTextFont", Bool, 0},
    {ArcPos, "ArcPos", Float, 142},
    {ArcThick, "ArcThick", Float, 6},
    {ShadowRotation, "ShadowRotation", Float, 160},
    {ShadowOpacity, "ShadowOpacity", Float, 0.42},
    {Message, "Message", Text, 0, "Start"},
    {ClockFontName, "ClockFontName", Text, 0, "Calibri"},
    {TextFontName, "TextFontName", Text, 0, "Calibri"},
    {FinishMessage, "FinishMessage", Text, 0, "Countdown ended"},
    {DateX, "DateX", Float, 662},
    {DateY, "DateY", Float, 464},
    {TextX, "TextX", Float, 233},
    {TextY, "TextY", Float, 460},
}};

constexpr bool inEnumOrder() {
    for (std::size_t i = 0; i < Table.size(); ++i)
        if (Table[i].key != TSkinKey(i))
            return false;
    return Table.back().key == TSkinKey::TextY;
}
static_assert(inEnumOrder(), "one row per key, in the order of the enumeration");
} // namespace skinkeys

constexpr const TSkinKeyDef& skinKeyDef(TSkinKey key) {
    return skinkeys::Table[std::size_t(key)];
}
QString skinKeyName(TSkinKey key);
// What the loader takes when the key is missing or does not parse in its kind.
TSkinValue skinDefault(TSkinKey key);
// The key's value in the file's settings section, or its default.
TSkinValue readSkinValue(const TProfile& profile, TSkinKey key);
// Writes the value in the encoding of the key's kind; a value of another kind is a programming error.
void writeSkinValue(TProfile& profile, TSkinKey key, const TSkinValue& value);
