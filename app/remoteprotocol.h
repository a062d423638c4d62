#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <optional>
#include <span>

// The remote control's wire format: a client sends one request as one line of JSON,
// {"command":"add","value":-60}, and the running program answers with one line,
// {"ok":true,"status":{...}} or {"ok":false,"error":"..."}. Client and server check values by the
// same rules, so a bad argument is refused before it travels and again when it arrives.

enum class TRemoteCommand { Start, Stop, Toggle, Pause, Resume, Preset, Add, Message, Skin, Status, Raise };

enum class TRemoteValueKind { None, Integer, Text };

struct TRemoteCommandDef {
    TRemoteCommand command;
    const char* name; // on the wire, and the option's name on the command line
    TRemoteValueKind kind;
    const char* valueName; // for the help text; empty without a value
    const char* description;
    bool isOption; // false for what the program sends itself (raising its window)
};

namespace remote {
// One request line, its newline included: the longest message fits with room to spare.
constexpr qsizetype MaxRequestBytes = 4096;
// Replies carry a message and a skin name typed into the window, which have no limit of their own.
constexpr qsizetype MaxReplyBytes = 256 * 1024;
constexpr int MinPresetMinutes = 1;
constexpr int MaxPresetMinutes = 1440;
constexpr qint64 MaxAddSeconds = 7 * 24 * 3600;
constexpr qsizetype MaxMessageLength = 500;
constexpr qsizetype MaxSkinNameLength = 255;

std::span<const TRemoteCommandDef> commands();
const TRemoteCommandDef& definition(TRemoteCommand command);
} // namespace remote

struct TRemoteRequest {
    TRemoteCommand command = TRemoteCommand::Status;
    qint64 number = 0; // for Integer commands
    QString text;      // for Text commands

    friend bool operator==(const TRemoteRequest&, const TRemoteRequest&) = default;
};

// A request, or why there is none.
struct TParsedRequest {
    std::optional<TRemoteRequest> request;
    QString error;
};

// The countdown as a reply reports it.
struct TRemoteStatus {
    bool running = false;
    bool paused = false;
    std::optional<qint64> remaining; // whole seconds, negative after the end; none while stopped
    QDateTime target;                // local time
    QString message;
    QString skin;
};

struct TRemoteReply {
    bool ok = false;
    QString error;      // when not ok
    QJsonObject status; // when ok
};

// Why a value does not suit the command, empty when it does. The same words serve the command line
// and the socket.
QString checkRemoteValue(const TRemoteRequest& request);
// The command line's text for an Integer or Text command's value.
TParsedRequest requestFromArgument(const TRemoteCommandDef& def, const QString& argument);

QByteArray encodeRequest(const TRemoteRequest& request);
// `line` is without its newline; anything but one known command with a value of the right kind and
// range is refused.
TParsedRequest parseRequest(const QByteArray& line);

QJsonObject statusToJson(const TRemoteStatus& status);
QByteArray encodeReply(const TRemoteReply& reply);
// A reply that is not one the server writes reads as not ok, with the reason.
TRemoteReply parseReply(const QByteArray& line);
