#pragma once

#include "app/remoteprotocol.h"

#include <QLocalServer>
#include <QObject>
#include <chrono>

// What the remote control drives: the main window in the program, a recording fake in the tests.
class TRemoteTarget {
public:
    virtual ~TRemoteTarget() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual void toggle() = 0;
    // False when no countdown runs.
    virtual bool pause() = 0;
    virtual void resume() = 0;
    virtual void preset(int minutes) = 0;
    virtual void add(qint64 seconds) = 0;
    virtual void setMessage(const QString& text) = 0;
    // Why the skin was not loaded, empty when it was.
    virtual QString loadSkin(const QString& name) = 0;
    virtual void raise() = 0;
    virtual TRemoteStatus status() const = 0;
};

struct TRemoteLimits {
    // A client that connects and says nothing for this long is sent away.
    std::chrono::milliseconds requestDeadline{3000};
    int maxConnections = 8;
};

// Serves one request per connection, on the thread it lives on, without ever waiting for a client:
// a request that is too long, malformed or too slow to arrive is answered with an error and logged.
class TRemoteServer : public QObject {
public:
    explicit TRemoteServer(TRemoteTarget& target, TRemoteLimits limits = {}, QObject* parent = nullptr);
    ~TRemoteServer() override;
    TRemoteServer(const TRemoteServer&) = delete;
    TRemoteServer& operator=(const TRemoteServer&) = delete;

    // Only the same user may connect. Whatever is left at `name` is removed first, so the caller must
    // hold the instance's claim. On failure returns false and says why in `problem`.
    bool listen(const QString& name, QString* problem);

    // Carries out one parsed request; a target that throws is answered with an error.
    TRemoteReply perform(const TRemoteRequest& request);

private:
    class Connection;
    void acceptConnections();
    void connectionEnded();

    TRemoteTarget& target_;
    TRemoteLimits limits_;
    QLocalServer server_;
    int connections_ = 0;
    // A command that opened a dialog runs the event loop: no second one may start inside it.
    bool busy_ = false;
};
