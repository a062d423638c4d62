#include "skin/skinkeys.h"

#include "skin/profile.h"

#include <stdexcept>

QString skinKeyName(TSkinKey key) {
    const std::string_view name = skinKeyDef(key).name;
    return QString::fromLatin1(name.data(), qsizetype(name.size()));
}

TSkinValue skinDefault(TSkinKey key) {
    const TSkinKeyDef& def = skinKeyDef(key);
    switch (def.kind) {
    case TSkinKind::Float:
        return def.number;
    case TSkinKind::Bool:
        return def.number != 0;
    case TSkinKind::Integer:
        return int(def.number);
    case TSkinKind::Colour:
        return QRgb(def.number);
    case TSkinKind::Text:
        return QString::fromUtf8(def.text.data(), qsizetype(def.text.size()));
    }
    throw std::logic_error("unknown kind of skin key");
}

namespace {
template <class T> TSkinValue orDefault(const std::optional<T>& read, TSkinKey key) {
    return read ? TSkinValue(*read) : skinDefault(key);
}
} // namespace

TSkinValue readSkinValue(const TProfile& profile, TSkinKey key) {
    const QString& s = SettingsSection;
    const QString name = skinKeyName(key);
    switch (skinKeyDef(key).kind) {
    case TSkinKind::Float:
        return orDefault(profile.readFloat(s, name), key);
    case TSkinKind::Bool:
        return orDefault(profile.readBool(s, name), key);
    case TSkinKind::Integer:
        return orDefault(profile.readInteger(s, name), key);
    case TSkinKind::Colour:
        return orDefault(profile.readColor(s, name), key);
    case TSkinKind::Text:
        return orDefault(profile.readText(s, name), key);
    }
    throw std::logic_error("unknown kind of skin key");
}

void writeSkinValue(TProfile& profile, TSkinKey key, const TSkinValue& value) {
    const QString& s = SettingsSection;
    const QString name = skinKeyName(key);
    switch (skinKeyDef(key).kind) {
    case TSkinKind::Float:
        return profile.writeFloat(s, name, std::get<double>(value));
    case TSkinKind::Bool:
        return profile.writeBool(s, name, std::get<bool>(value));
    case TSkinKind::Integer:
        return profile.writeInteger(s, name, std::get<int>(value));
    case TSkinKind::Colour:
        return profile.writeColor(s, name, std::get<QRgb>(value));
    case TSkinKind::Text:
        return profile.writeText(s, name, std::get<QString>(value));
    }
}
