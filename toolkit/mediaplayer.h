#pragma once

#include "toolkit/tobject.h"

#include <QString>
#include <memory>

// Plays one sound file at a time on the default audio output. Every call may throw when the
// platform fails; callers that must not be interrupted guard the calls themselves.
class TMediaPlayer : public TObject {
public:
    using TObject::TObject;
    ~TMediaPlayer() override = default;

    virtual void Stop() = 0;
    // Forgets the file; nothing plays until a new one is set.
    virtual void Clear() = 0;
    virtual QString FileName() const = 0;
    virtual void setFileName(const QString& path) = 0;
    // Starts playing the current file and returns at once; the sound plays on by itself.
    virtual void Play() = 0;
};

// The player backed by Qt Multimedia. It touches the audio system only on first use, so a
// program that never plays a sound pays nothing for it. Its calls return at once and never throw:
// the sound loads and plays on a thread of its own, and a file or an audio system that fails
// leaves it silent, with one "Horavis " line in the debug output.
std::unique_ptr<TMediaPlayer> makeSystemMediaPlayer(const QString& name);
