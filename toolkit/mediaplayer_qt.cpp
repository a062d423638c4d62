// The sound player on Qt Multimedia.
//
// Nothing here runs on the window's thread but the bookkeeping. GStreamer sets itself up on the
// first sound (a few hundred milliseconds on a fresh machine, while it scans its plug-ins), and
// when the audio server accepts the connection but never answers, that set-up waits for good. So
// all sound work happens on one thread of its own; the window only posts requests to it and never
// waits for an answer. The thread is shared by every player, because Qt Multimedia keeps one
// set-up per process and expects it to be used from one thread.
//
// A set-up stuck on a hung server would also hang the end of the program: Qt Multimedia's clean-up
// at exit waits for the lock the stuck set-up holds. So before the first set-up the thread asks the
// PulseAudio server itself, with a time limit, and stays silent while the server does not answer.
#include "toolkit/mediaplayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPointer>
#include <QThread>
#include <QUrl>
#include <atomic>
#ifdef HORAVIS_ASK_PULSEAUDIO
#include <pulse/context.h>
#include <pulse/mainloop.h>
#endif

namespace {

QThread* soundThread = nullptr;
std::atomic_bool ending = false;
// Owns every worker, so that the end of the program can release their players on their thread.
QObject* soundHost = nullptr;

void logLine(const QString& message) {
    qDebug().noquote() << QStringLiteral("Horavis ") + message;
}

// Runs as the application object goes away, while the players' event loop still exists.
void stopSoundThread() {
    if (!soundThread)
        return;
    ending = true;
    QObject* host = soundHost;
    QMetaObject::invokeMethod(
        host,
        [host] {
            delete host;
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    // A thread held by a hung audio server never comes back; the end of the process takes it.
    if (soundThread->wait(1000))
        delete soundThread;
    soundThread = nullptr;
    soundHost = nullptr;
}

QObject* sharedSoundHost() {
    if (!soundThread) {
        soundThread = new QThread;
        soundThread->setObjectName(QStringLiteral("Horavis sound"));
        soundHost = new QObject;
        soundHost->moveToThread(soundThread);
        ending = false;
        soundThread->start();
        qAddPostRoutine(stopSoundThread);
    }
    return soundHost;
}

enum class AudioServer { Answers, Absent, Silent };

// Absent covers a machine without PulseAudio: GStreamer then fails at once and tries other outputs.
#ifdef HORAVIS_ASK_PULSEAUDIO
AudioServer askAudioServer(int limitMs) {
    pa_mainloop* loop = pa_mainloop_new();
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "Horavis");
    AudioServer result = AudioServer::Silent;
    if (!context || pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        result = AudioServer::Absent;
    } else {
        const QDeadlineTimer deadline(limitMs);
        while (!deadline.hasExpired() && !ending) {
            const pa_context_state_t state = pa_context_get_state(context);
            if (state == PA_CONTEXT_READY) {
                result = AudioServer::Answers;
                break;
            }
            if (!PA_CONTEXT_IS_GOOD(state)) {
                result = AudioServer::Absent;
                break;
            }
            if (pa_mainloop_prepare(loop, 50'000) < 0 || pa_mainloop_poll(loop) < 0 ||
                pa_mainloop_dispatch(loop) < 0)
                break;
        }
    }
    if (context) {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    pa_mainloop_free(loop);
    return result;
}
#else
AudioServer askAudioServer(int) {
    return AudioServer::Answers;
}
#endif

// Lives on the sound thread; every method runs there.
class SoundWorker : public QObject {
public:
    void stop() {
        ++request_;
        if (player_)
            player_->setSource(QUrl());
    }

    void setSource(const QString& path) {
        ++request_;
        source_ = path;
        if (player_ && path.isEmpty())
            player_->setSource(QUrl());
    }

    void play() {
        ++request_;
        if (source_.isEmpty())
            return;
        // A missing file is the common fault (a skin without its sound); it needs no GStreamer.
        const QFileInfo file(source_);
        if (!file.isFile() || !file.isReadable()) {
            logLine(QStringLiteral("alarm sound not found: ") + source_);
            return;
        }
        if (!player_ && !audioServerUsable())
            return;
        if (!player_)
            create();
        // Follow the system's current output, which may have changed since the last sound.
        output_->setDevice(QMediaDevices::defaultAudioOutput());
        reported_ = false;
        retries_ = 5;
        start(QUrl::fromLocalFile(file.absoluteFilePath()));
    }

private:
    static bool audioServerUsable() {
        static bool answered = false;
        if (answered)
            return true;
        if (askAudioServer(3000) == AudioServer::Silent) {
            logLine(QStringLiteral("audio server does not answer; the alarm stays silent"));
            return false;
        }
        answered = true;
        return true;
    }

    // Loading anew starts from the beginning, even after the end of a sound. Unloading also stops
    // at once, where stop() would first wait for GStreamer to refill its pipeline.
    void start(const QUrl& url) {
        player_->setSource(QUrl());
        player_->setSource(url);
        player_->play();
    }

    void create() {
        player_ = new QMediaPlayer(this);
        output_ = new QAudioOutput(player_);
        player_->setAudioOutput(output_);
        // One line per failed sound; GStreamer tends to report the same fault several times.
        connect(player_, &QMediaPlayer::errorOccurred, this,
                [this](QMediaPlayer::Error, const QString& text) {
                    if (reported_)
                        return;
                    reported_ = true;
                    logLine(QStringLiteral("alarm sound cannot be played: ") + text + QStringLiteral(" (") +
                            source_ + QLatin1Char(')'));
                });
        // Qt 6.4 seeks to "the duration" while it loads a file. When GStreamer's decoder is ready
        // before that seek (on a busy machine), the duration is still unknown, taken as zero, and
        // the sound ends before it starts. It then ends at position zero with a known duration,
        // which no sound that played does, and another load almost always gets it right.
        connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
            if (status != QMediaPlayer::EndOfMedia || player_->position() > 0 || player_->duration() <= 0 ||
                retries_ == 0)
                return;
            --retries_;
            // Not from within the player's own message handling; and only if nothing was asked since.
            const QUrl url = player_->source();
            QMetaObject::invokeMethod(
                this,
                [this, url, request = request_] {
                    if (request == request_)
                        start(url);
                },
                Qt::QueuedConnection);
        });
    }

    QString source_;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
    bool reported_ = false;
    int retries_ = 0;
    // Counts the window's requests, so that a late retry never overrides a newer one.
    quint64 request_ = 0;
};

class QtMediaPlayer final : public TMediaPlayer {
public:
    using TMediaPlayer::TMediaPlayer;

    ~QtMediaPlayer() override {
        if (worker_)
            worker_->deleteLater();
    }

    void Stop() override {
        if (worker_)
            post([](SoundWorker& w) { w.stop(); });
    }

    void Clear() override {
        fileName_.clear();
        if (worker_)
            post([](SoundWorker& w) { w.setSource(QString()); });
    }

    QString FileName() const override { return fileName_; }

    void setFileName(const QString& path) override {
        fileName_ = path;
        if (worker_ || !path.isEmpty())
            post([path](SoundWorker& w) { w.setSource(path); });
    }

    void Play() override {
        if (!fileName_.isEmpty())
            post([](SoundWorker& w) { w.play(); });
    }

private:
    template <typename Request> void post(Request request) {
        if (!worker_) {
            QObject* host = sharedSoundHost();
            auto* worker = new SoundWorker;
            worker->moveToThread(host->thread());
            // Children are adopted on their parent's thread.
            QMetaObject::invokeMethod(
                host, [worker, host] { worker->setParent(host); }, Qt::QueuedConnection);
            worker_ = worker;
        }
        SoundWorker* worker = worker_;
        QMetaObject::invokeMethod(
            worker, [worker, request] { request(*worker); }, Qt::QueuedConnection);
    }

    QString fileName_;
    QPointer<SoundWorker> worker_;
};

} // namespace

std::unique_ptr<TMediaPlayer> makeSystemMediaPlayer(const QString& name) {
    return std::make_unique<QtMediaPlayer>(name);
}
