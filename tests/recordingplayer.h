#pragma once

#include "toolkit/mediaplayer.h"

#include <QStringList>
#include <stdexcept>

// Stands in for the sound system: it records every call and can be told to fail one of them.
class RecordingPlayer : public TMediaPlayer {
public:
    RecordingPlayer() : TMediaPlayer(QStringLiteral("MediaPlayer1")) {}

    QStringList calls;
    QString failingCall;

    void Stop() override { record("Stop"); }
    void Clear() override {
        record("Clear");
        file_.clear();
    }
    QString FileName() const override { return file_; }
    void setFileName(const QString& path) override {
        record("FileName=" + path);
        file_ = path;
    }
    void Play() override { record("Play"); }

    int plays() const { return int(calls.count("Play")); }

private:
    void record(const QString& call) {
        calls << call;
        if (call.startsWith(failingCall) && !failingCall.isEmpty())
            throw std::runtime_error("sound system failed");
    }
    QString file_;
};
