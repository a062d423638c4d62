#include "app/remoteclient.h"

#include "toolkit/log.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <optional>

using namespace std::chrono_literals;

namespace {
enum class Attempt { Answered, NoServer, Broken, TimedOut };

struct AttemptResult {
    Attempt kind;
    QByteArray line;
    QString problem;
};

std::chrono::milliseconds remaining(const QDeadlineTimer& deadline) {
    return std::max(
        0ms, std::chrono::duration_cast<std::chrono::milliseconds>(deadline.remainingTimeAsDuration()));
}

// One connection, one request, one answer line.
AttemptResult exchange(const QString& serverName, const QByteArray& request, const QDeadlineTimer& deadline) {
    // Declared before the loop and the socket, so whatever the socket says while it goes finds them alive.
    std::optional<AttemptResult> result;
    QByteArray received;
    QEventLoop loop;
    const auto finish = [&](AttemptResult outcome) {
        if (result)
            return;
        result = std::move(outcome);
        loop.quit();
    };
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] { finish({Attempt::TimedOut, {}, {}}); });
    QLocalSocket socket;
    QObject::connect(&socket, &QLocalSocket::connected, &loop, [&] { socket.write(request); });
    QObject::connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        received += socket.read(remote::MaxReplyBytes + 1 - received.size());
        const qsizetype newline = received.indexOf('\n');
        if (newline >= 0)
            finish({Attempt::Answered, received.left(newline), {}});
        else if (received.size() > remote::MaxReplyBytes)
            finish({Attempt::Broken, {}, QStringLiteral("its answer is too long")});
    });
    QObject::connect(&socket, &QLocalSocket::errorOccurred, &loop, [&](QLocalSocket::LocalSocketError error) {
        const bool nobodyListens =
            error == QLocalSocket::ServerNotFoundError || error == QLocalSocket::ConnectionRefusedError;
        if (nobodyListens && socket.state() != QLocalSocket::ConnectedState)
            finish({Attempt::NoServer, {}, socket.errorString()});
        else if (error != QLocalSocket::PeerClosedError)
            finish({Attempt::Broken, {}, socket.errorString()});
    });
    QObject::connect(&socket, &QLocalSocket::disconnected, &loop, [&] {
        finish({Attempt::Broken, {}, QStringLiteral("it closed the connection unanswered")});
    });
    timer.start(remaining(deadline));
    // A local connection may succeed or fail before connectToServer returns.
    socket.connectToServer(serverName);
    if (!result)
        loop.exec();
    return *result;
}

// Waits without blocking a server on the same thread.
void pauseFor(std::chrono::milliseconds duration) {
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

TRemoteAnswer noAnswer(std::chrono::milliseconds timeout) {
    return {remote::ExitNoAnswer,
            {},
            QStringLiteral("Horavis is running but did not answer within %1 seconds\n")
                .arg(std::round(double(timeout.count()) / 100.0) / 10.0)};
}

TRemoteAnswer answerFrom(const TRemoteReply& reply, const TRemoteRequest& request) {
    if (!reply.ok)
        return {
            remote::ExitRefused, {}, QStringLiteral("Horavis refused the command: %1\n").arg(reply.error)};
    if (request.command == TRemoteCommand::Raise)
        return {};
    return {remote::ExitDone,
            QString::fromUtf8(QJsonDocument(reply.status).toJson(QJsonDocument::Compact)) + u'\n',
            {}};
}
} // namespace

TRemoteAnswer sendRemoteRequest(const TRemoteAddress& address, const TRemoteRequest& request,
                                std::chrono::milliseconds timeout) {
    const QDeadlineTimer deadline(timeout);
    const QByteArray line = encodeRequest(request);
    for (;;) {
        const AttemptResult attempt = exchange(address.serverName, line, deadline);
        switch (attempt.kind) {
        case Attempt::Answered:
            return answerFrom(parseReply(attempt.line), request);
        case Attempt::NoServer:
            if (!instanceIsAlive(address.lockPath))
                return {remote::ExitNotRunning, {}, QStringLiteral("Horavis is not running\n")};
            // It holds its claim but does not listen yet: it is starting.
            if (deadline.hasExpired())
                return noAnswer(timeout);
            pauseFor(std::min(100ms, remaining(deadline)));
            break;
        case Attempt::Broken:
            return {remote::ExitNoAnswer,
                    {},
                    QStringLiteral("Horavis could not be reached: %1\n").arg(attempt.problem)};
        case Attempt::TimedOut:
            return noAnswer(timeout);
        }
    }
}

TSingleInstance::TSingleInstance(TRemoteAddress address)
    : address_(std::move(address)), lock_(address_.lockPath) {
    lock_.setStaleLockTime(0);
}

TSingleInstance::Outcome TSingleInstance::claim(TRemoteAnswer* answer, std::chrono::milliseconds timeout) {
    const QDeadlineTimer deadline(timeout);
    for (;;) {
        if (lock_.tryLock(0))
            return Outcome::First;
        if (lock_.error() != QLockFile::LockFailedError) {
            // Better a program without the guard than none at all.
            logme(QStringLiteral("Cannot claim %1, so a second start may open a second window")
                      .arg(address_.lockPath));
            return Outcome::First;
        }
        const TRemoteAnswer raised =
            sendRemoteRequest(address_, {TRemoteCommand::Raise, 0, {}}, remaining(deadline));
        if (raised.exitCode == remote::ExitDone)
            return Outcome::HandedOver;
        // It ended between the two steps: the claim is free now.
        if (raised.exitCode == remote::ExitNotRunning && !deadline.hasExpired())
            continue;
        *answer = raised;
        return Outcome::Failed;
    }
}
