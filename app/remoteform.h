#pragma once

#include "app/remoteserver.h"

class TForm1;

// The main window as the remote control sees it: each command does what its button, field or list
// entry does.
class TForm1RemoteTarget final : public TRemoteTarget {
public:
    explicit TForm1RemoteTarget(TForm1& form) : form_(form) {}

    void start() override;
    void stop() override;
    void toggle() override;
    bool pause() override;
    void resume() override;
    void preset(int minutes) override;
    void add(qint64 seconds) override;
    void setMessage(const QString& text) override;
    QString loadSkin(const QString& name) override;
    void raise() override;
    TRemoteStatus status() const override;

private:
    TForm1& form_;
};
