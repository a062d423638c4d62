#include "app/remoteserver.h"

#include "toolkit/log.h"

#include <QLocalSocket>
#include <QScopedValueRollback>
#include <QTimer>
#include <exception>
#include <new>

namespace {
TRemoteReply refusal(const QString& reason) {
    return {false, reason, {}};
}
} // namespace

// One client: it has requestDeadline to send its line and as long again to take the answer.
class TRemoteServer::Connection : public QObject {
public:
    Connection(TRemoteServer& server, QLocalSocket* socket)
        : QObject(&server), server_(server), socket_(socket) {
        socket_->setParent(this);
        // Whatever follows the request stays unread: the buffer never grows beyond one request.
        socket_->setReadBufferSize(remote::MaxRequestBytes);
        deadline_.setSingleShot(true);
        connect(&deadline_, &QTimer::timeout, this, [this] { timedOut(); });
        connect(socket_, &QLocalSocket::readyRead, this, [this] { readRequest(); });
        connect(socket_, &QLocalSocket::disconnected, this, [this] { end(); });
        deadline_.start(server_.limits_.requestDeadline);
    }

    void readRequest() {
        if (answered_ || performing_)
            return;
        buffer_ += socket_->read(remote::MaxRequestBytes - buffer_.size());
        const qsizetype newline = buffer_.indexOf('\n');
        if (newline < 0) {
            if (buffer_.size() >= remote::MaxRequestBytes)
                refuse(QStringLiteral("a request is at most %1 bytes long, its newline included")
                           .arg(remote::MaxRequestBytes));
            return;
        }
        QByteArray line = buffer_.left(newline);
        if (line.endsWith('\r'))
            line.chop(1);
        const TParsedRequest parsed = parseRequest(line);
        if (!parsed.request) {
            refuse(parsed.error);
            return;
        }
        deadline_.stop();
        TRemoteReply reply;
        {
            // The command may open a dialog, whose event loop may see this client go.
            const QScopedValueRollback guard(performing_, true);
            reply = server_.perform(*parsed.request);
        }
        answer(reply);
    }

    void refuse(const QString& reason) { answer(refusal(reason)); }

private:
    void answer(const TRemoteReply& reply) {
        if (!reply.ok)
            logme(QStringLiteral("Remote control refused a request: ") + reply.error);
        answered_ = true;
        if (gone_ || socket_->state() != QLocalSocket::ConnectedState) {
            deleteLater();
            return;
        }
        deadline_.start(server_.limits_.requestDeadline);
        socket_->write(encodeReply(reply));
        // Closes once the answer is written.
        socket_->disconnectFromServer();
    }

    void timedOut() {
        if (!answered_) {
            refuse(QStringLiteral("no request arrived within %1 ms")
                       .arg(server_.limits_.requestDeadline.count()));
            return;
        }
        // It does not take its answer: let it go.
        socket_->abort();
        end();
    }

    void end() {
        gone_ = true;
        if (!performing_)
            deleteLater();
    }

    TRemoteServer& server_;
    QLocalSocket* socket_; // owned as a child
    QTimer deadline_;
    QByteArray buffer_;
    bool answered_ = false;
    bool performing_ = false;
    bool gone_ = false;
};

TRemoteServer::TRemoteServer(TRemoteTarget& target, TRemoteLimits limits, QObject* parent)
    : QObject(parent), target_(target), limits_(limits) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] { acceptConnections(); });
}

TRemoteServer::~TRemoteServer() = default;

bool TRemoteServer::listen(const QString& name, QString* problem) {
    // Left by an instance that ended without closing it; the caller's claim says none listens there now.
    QLocalServer::removeServer(name);
    if (server_.listen(name))
        return true;
    *problem = server_.errorString();
    return false;
}

void TRemoteServer::acceptConnections() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        ++connections_;
        auto* connection = new Connection(*this, socket);
        connect(connection, &QObject::destroyed, this, [this] { --connections_; });
        if (connections_ > limits_.maxConnections)
            connection->refuse(QStringLiteral("too many connections at once"));
        else
            connection->readRequest();
    }
}

TRemoteReply TRemoteServer::perform(const TRemoteRequest& request) {
    const QString valueProblem = checkRemoteValue(request);
    if (!valueProblem.isEmpty())
        return refusal(valueProblem);
    if (busy_ && request.command != TRemoteCommand::Status)
        return refusal(QStringLiteral("Horavis is still carrying out another command; a dialog may be open"));
    const QScopedValueRollback guard(busy_, true);
    try {
        switch (request.command) {
        case TRemoteCommand::Start:
            target_.start();
            break;
        case TRemoteCommand::Stop:
            target_.stop();
            break;
        case TRemoteCommand::Toggle:
            target_.toggle();
            break;
        case TRemoteCommand::Pause:
            if (!target_.pause())
                return refusal(QStringLiteral("no countdown is running"));
            break;
        case TRemoteCommand::Resume:
            target_.resume();
            break;
        case TRemoteCommand::Preset:
            target_.preset(int(request.number));
            break;
        case TRemoteCommand::Add:
            target_.add(request.number);
            break;
        case TRemoteCommand::Message:
            target_.setMessage(request.text);
            break;
        case TRemoteCommand::Skin: {
            const QString problem = target_.loadSkin(request.text);
            if (!problem.isEmpty())
                return refusal(problem);
            break;
        }
        case TRemoteCommand::Raise:
            target_.raise();
            break;
        case TRemoteCommand::Status:
            break;
        }
        if (request.command != TRemoteCommand::Status)
            logme(QStringLiteral("Remote control: ") +
                  QLatin1String(remote::definition(request.command).name));
        return {true, {}, statusToJson(target_.status())};
    } catch (const std::bad_alloc&) {
        return refusal(QStringLiteral("out of memory"));
    } catch (const std::exception& error) {
        return refusal(QStringLiteral("the command failed: ") + QString::fromLocal8Bit(error.what()));
    }
}
