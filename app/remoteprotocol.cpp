#include "app/remoteprotocol.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <QRegularExpression>
#include <array>
#include <cmath>

namespace {
using Kind = TRemoteValueKind;

constexpr std::array<TRemoteCommandDef, 11> Commands = {{
    {TRemoteCommand::Start, "start", Kind::None, "", "Starts the countdown in the running Horavis.", true},
    {TRemoteCommand::Stop, "stop", Kind::None, "", "Stops the countdown.", true},
    {TRemoteCommand::Toggle, "toggle", Kind::None, "", "Starts the countdown, or stops it when it runs.",
     true},
    {TRemoteCommand::Pause, "pause", Kind::None, "", "Pauses the running countdown.", true},
    {TRemoteCommand::Resume, "resume", Kind::None, "", "Resumes a paused countdown.", true},
    {TRemoteCommand::Preset, "preset", Kind::Integer, "minutes",
     "Chooses a countdown of 1 to 1440 minutes, as a preset button does.", true},
    {TRemoteCommand::Add, "add", Kind::Integer, "seconds",
     "Adds seconds to the countdown; negative ones take time away (--add=-60).", true},
    {TRemoteCommand::Message, "message", Kind::Text, "text", "Shows the text as the message line.", true},
    {TRemoteCommand::Skin, "skin", Kind::Text, "name", "Loads the listed skin of that folder name.", true},
    {TRemoteCommand::Status, "status", Kind::None, "", "Prints the countdown's state as one line of JSON.",
     true},
    {TRemoteCommand::Raise, "raise", Kind::None, "", "", false},
}};

const QString CommandKey = QStringLiteral("command");
const QString ValueKey = QStringLiteral("value");

std::optional<TRemoteCommand> commandNamed(const QString& name) {
    for (const TRemoteCommandDef& def : Commands) {
        if (name == QLatin1String(def.name))
            return def.command;
    }
    return std::nullopt;
}

// JSON numbers are doubles: a whole one within this range converts to qint64 exactly.
std::optional<qint64> wholeNumber(const QJsonValue& value) {
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    constexpr double Limit = 9007199254740992.0; // 2^53
    if (!std::isfinite(number) || std::trunc(number) != number || std::abs(number) > Limit)
        return std::nullopt;
    return qint64(number);
}

TParsedRequest refused(const QString& error) {
    return {std::nullopt, error};
}

TParsedRequest checked(const TRemoteRequest& request) {
    const QString error = checkRemoteValue(request);
    if (!error.isEmpty())
        return refused(error);
    return {request, {}};
}
} // namespace

std::span<const TRemoteCommandDef> remote::commands() {
    return Commands;
}

const TRemoteCommandDef& remote::definition(TRemoteCommand command) {
    for (const TRemoteCommandDef& def : Commands) {
        if (def.command == command)
            return def;
    }
    Q_UNREACHABLE();
}

QString checkRemoteValue(const TRemoteRequest& request) {
    switch (request.command) {
    case TRemoteCommand::Preset:
        if (request.number < remote::MinPresetMinutes || request.number > remote::MaxPresetMinutes)
            return QStringLiteral("a preset is %1 to %2 minutes, not %3")
                .arg(remote::MinPresetMinutes)
                .arg(remote::MaxPresetMinutes)
                .arg(request.number);
        return {};
    case TRemoteCommand::Add:
        if (std::abs(request.number) > remote::MaxAddSeconds)
            return QStringLiteral("at most %1 seconds can be added or taken at once, not %2")
                .arg(remote::MaxAddSeconds)
                .arg(request.number);
        return {};
    case TRemoteCommand::Message:
        if (request.text.size() > remote::MaxMessageLength)
            return QStringLiteral("a message is at most %1 characters long, not %2")
                .arg(remote::MaxMessageLength)
                .arg(request.text.size());
        return {};
    case TRemoteCommand::Skin:
        if (request.text.isEmpty())
            return QStringLiteral("a skin needs its folder's name");
        if (request.text.size() > remote::MaxSkinNameLength)
            return QStringLiteral("a skin's name is at most %1 characters long")
                .arg(remote::MaxSkinNameLength);
        return {};
    default:
        return {};
    }
}

TParsedRequest requestFromArgument(const TRemoteCommandDef& def, const QString& argument) {
    TRemoteRequest request{def.command, 0, {}};
    if (def.kind == Kind::Text) {
        request.text = argument;
        return checked(request);
    }
    // Digits only, with an optional sign: "10 " or "1e3" is a typo rather than a number.
    static const QRegularExpression Integer(QStringLiteral("^[+-]?[0-9]{1,15}$"));
    if (!Integer.match(argument).hasMatch())
        return refused(
            QStringLiteral("'%1' is not a whole number of %2").arg(argument, QLatin1String(def.valueName)));
    request.number = argument.toLongLong();
    return checked(request);
}

QByteArray encodeRequest(const TRemoteRequest& request) {
    const TRemoteCommandDef& def = remote::definition(request.command);
    QJsonObject object{{CommandKey, QLatin1String(def.name)}};
    if (def.kind == Kind::Integer)
        object.insert(ValueKey, request.number);
    else if (def.kind == Kind::Text)
        object.insert(ValueKey, request.text);
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

TParsedRequest parseRequest(const QByteArray& line) {
    if (line.size() >= remote::MaxRequestBytes)
        return refused(QStringLiteral("a request is at most %1 bytes long").arg(remote::MaxRequestBytes));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(line, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return refused(QStringLiteral("a request is one line of JSON: ") + parseError.errorString());
    if (!document.isObject())
        return refused(QStringLiteral("a request is a JSON object"));
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() != CommandKey && it.key() != ValueKey)
            return refused(QStringLiteral("unexpected field '%1'").arg(it.key()));
    }
    const QJsonValue name = object.value(CommandKey);
    if (!name.isString())
        return refused(QStringLiteral("a request names its command as a text"));
    const std::optional<TRemoteCommand> command = commandNamed(name.toString());
    if (!command)
        return refused(QStringLiteral("unknown command '%1'").arg(name.toString()));

    const TRemoteCommandDef& def = remote::definition(*command);
    const QJsonValue value = object.value(ValueKey);
    TRemoteRequest request{*command, 0, {}};
    switch (def.kind) {
    case Kind::None:
        if (!value.isUndefined())
            return refused(QStringLiteral("'%1' takes no value").arg(QLatin1String(def.name)));
        break;
    case Kind::Integer: {
        if (value.isUndefined())
            return refused(QStringLiteral("'%1' needs a value").arg(QLatin1String(def.name)));
        const std::optional<qint64> number = wholeNumber(value);
        if (!number)
            return refused(QStringLiteral("'%1' needs a whole number").arg(QLatin1String(def.name)));
        request.number = *number;
        break;
    }
    case Kind::Text:
        if (value.isUndefined())
            return refused(QStringLiteral("'%1' needs a value").arg(QLatin1String(def.name)));
        if (!value.isString())
            return refused(QStringLiteral("'%1' needs a text").arg(QLatin1String(def.name)));
        request.text = value.toString();
        break;
    }
    return checked(request);
}

QJsonObject statusToJson(const TRemoteStatus& status) {
    return {
        {QStringLiteral("running"), status.running},
        {QStringLiteral("paused"), status.paused},
        {QStringLiteral("remaining"), status.remaining ? QJsonValue(*status.remaining) : QJsonValue()},
        {QStringLiteral("target"),
         status.target.isValid()
             ? QJsonValue(status.target.toOffsetFromUtc(status.target.offsetFromUtc()).toString(Qt::ISODate))
             : QJsonValue()},
        {QStringLiteral("message"), status.message},
        {QStringLiteral("skin"), status.skin},
    };
}

QByteArray encodeReply(const TRemoteReply& reply) {
    QJsonObject object{{QStringLiteral("ok"), reply.ok}};
    if (reply.ok)
        object.insert(QStringLiteral("status"), reply.status);
    else
        object.insert(QStringLiteral("error"), reply.error);
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

TRemoteReply parseReply(const QByteArray& line) {
    const QJsonDocument document = QJsonDocument::fromJson(line);
    const QJsonObject object = document.object();
    const QJsonValue ok = object.value(QStringLiteral("ok"));
    if (!ok.isBool())
        return {false, QStringLiteral("the running Horavis answered something unexpected"), {}};
    if (!ok.toBool()) {
        const QString error = object.value(QStringLiteral("error")).toString();
        return {false, error.isEmpty() ? QStringLiteral("refused without a reason") : error, {}};
    }
    return {true, {}, object.value(QStringLiteral("status")).toObject()};
}
