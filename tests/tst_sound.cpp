// The alarm sound end to end: the program plays into a PulseAudio server of the test's own, whose
// only output is a null sink; the sink's monitor is recorded and searched for the alarm's tone.
#include "app/Unit1.h"
#include "testsupport.h"
#include "toolkit/controls.h"

#include <QApplication>
#include <QLocalServer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <csignal>
#include <ctime>
#include <numbers>
#include <sys/prctl.h>

namespace {

// The child mode of this program: it plays the file named here against an unusable audio server.
const char ProbeVariable[] = "HORAVIS_SOUND_PROBE";

constexpr int RecordRate = 16000;
constexpr int Block = RecordRate / 20; // 50 ms: a whole number of periods of both test frequencies
constexpr double ToneHz = 1000;
constexpr double NeighbourHz = 1500;
constexpr double ToneSeconds = 1.5;

// What one step costs the window's thread. Waiting for the audio system shows in the wall time,
// doing its work (GStreamer's set-up) in the thread's processor time; on a busy machine only the
// wall time of a step that does neither grows, so its bound is loose.
struct Cost {
    double wallMs = 0;
    double cpuMs = 0;
    bool prompt() const { return wallMs < 1000 && cpuMs < 20; }
    QString text() const { return QStringLiteral("%1 ms (%2 ms processor)").arg(wallMs).arg(cpuMs); }
};

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

template <typename Step> Cost measure(Step step) {
    const double cpu = threadCpuMs();
    QElapsedTimer wall;
    wall.start();
    step();
    return {wall.nsecsElapsed() / 1e6, threadCpuMs() - cpu};
}

// Helpers are stopped with the test, and killed with it when it crashes.
void startChild(QProcess& process, const QString& program, const QStringList& arguments) {
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process.start(program, arguments);
}

bool writeToneWav(const QString& path) {
    constexpr int rate = 44100;
    const int frames = int(rate * ToneSeconds);
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + frames * 2);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(frames * 2);
    for (int i = 0; i < frames; ++i)
        out << qint16(std::lround(16000 * std::sin(2 * std::numbers::pi * ToneHz * i / rate)));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// Amplitude of one frequency in a block (Goertzel).
double amplitudeAt(const qint16* x, int n, double hz) {
    const double c = 2 * std::cos(2 * std::numbers::pi * hz / RecordRate);
    double s1 = 0, s2 = 0;
    for (int i = 0; i < n; ++i) {
        const double s = x[i] + c * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return 2 * std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - c * s1 * s2)) / n;
}

struct Analysis {
    int toneBlocks = 0; // 50 ms blocks that hold the alarm's tone and little else
    int loudBlocks = 0; // blocks with any sound at all
    int quietAtEnd = 0; // silent blocks since the last sound
    double seconds = 0;
};

Analysis analyse(const QByteArray& raw) {
    Analysis result;
    const auto* samples = reinterpret_cast<const qint16*>(raw.constData());
    const int count = int(raw.size() / 2);
    result.seconds = double(count) / RecordRate;
    for (int start = 0; start + Block <= count; start += Block) {
        const qint16* x = samples + start;
        double energy = 0;
        for (int i = 0; i < Block; ++i)
            energy += double(x[i]) * x[i];
        const bool loud = std::sqrt(energy / Block) > 200;
        const double tone = amplitudeAt(x, Block, ToneHz);
        result.toneBlocks += tone > 2000 && tone > 10 * amplitudeAt(x, Block, NeighbourHz) ? 1 : 0;
        result.loudBlocks += loud ? 1 : 0;
        result.quietAtEnd = loud ? 0 : result.quietAtEnd + 1;
    }
    return result;
}

QString describe(const Analysis& a) {
    return QStringLiteral("%1 s recorded, %2 tone blocks, %3 loud blocks")
        .arg(a.seconds, 0, 'f', 2)
        .arg(a.toneBlocks)
        .arg(a.loudBlocks);
}

// A PulseAudio server with one null sink, reachable only through its own socket in a temporary
// folder: no sound card, no user session, no D-Bus, nothing of a real desktop is touched.
class AudioServer {
public:
    ~AudioServer() { stop(); }

    QString start() {
        const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (pulseaudio.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty())
            return QStringLiteral("pulseaudio or pactl is missing (tools/setup-debian.sh installs them)");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "PULSE_SERVER"})
            env.remove(QString::fromLatin1(name));
        env.insert("HOME", dir_.path());
        env.insert("XDG_RUNTIME_DIR", dir_.path());
        env.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
        env.insert("XDG_STATE_HOME", dir_.filePath("state"));
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + dir_.filePath("no-bus"));
        process_.setProcessEnvironment(env);
        // A file, not a pipe nobody reads, so a talkative server can never block on its log.
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setStandardOutputFile(log());
        // Without rewinds the monitor hands out the sink's timeline as it was played.
        startChild(process_, pulseaudio,
                   {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=false", "--realtime=false",
                    "--high-priority=false", "--log-target=stderr", "--log-level=error", "-L",
                    "module-null-sink sink_name=horavis_test norewinds=1", "-L",
                    "module-native-protocol-unix auth-anonymous=1 socket=" + socket()});
        if (!process_.waitForStarted(5000))
            return QStringLiteral("pulseaudio did not start: ") + process_.errorString();
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            if (process_.state() != QProcess::Running)
                return QStringLiteral("pulseaudio stopped: ") + logText();
            if (QFile::exists(socket()) && answers())
                return QString();
            QTest::qWait(50);
        }
        return QStringLiteral("pulseaudio does not answer: ") + logText();
    }

    void stop() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(3000)) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }

    QString address() const { return "unix:" + socket(); }
    QString socket() const { return dir_.filePath("native"); }

private:
    QString log() const { return dir_.filePath("pulseaudio.log"); }

    QString logText() const {
        QFile file(log());
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }

    bool answers() {
        QProcess pactl;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PULSE_SERVER", address());
        pactl.setProcessEnvironment(env);
        pactl.start(QStringLiteral("pactl"), {"info"});
        return pactl.waitForFinished(3000) && pactl.exitStatus() == QProcess::NormalExit &&
               pactl.exitCode() == 0;
    }

    QTemporaryDir dir_;
    QProcess process_;
};

// Records the null sink's monitor as 16-bit mono.
class Recorder {
public:
    ~Recorder() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }

    // Returns once sound data flows, so nothing the test plays afterwards is missed.
    bool start() {
        startChild(process_, QStringLiteral("parec"),
                   {"--device=horavis_test.monitor", "--raw", "--format=s16le", "--channels=1",
                    "--rate=" + QString::number(RecordRate), "--latency-msec=20", "--client-name=tst_sound"});
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired() && process_.state() != QProcess::NotRunning) {
            process_.waitForReadyRead(100);
            data_ += process_.readAllStandardOutput();
            if (!data_.isEmpty())
                return true;
        }
        qWarning().noquote() << "parec:" << process_.errorString() << process_.readAllStandardError();
        return false;
    }

    // What was recorded from `from` (a byte count of the recording) on.
    Analysis now(qsizetype from = 0) {
        data_ += process_.readAllStandardOutput();
        return analyse(data_.mid(from));
    }

    qsizetype bytes() {
        data_ += process_.readAllStandardOutput();
        return data_.size();
    }

    // Waits real time until a sound has come and gone, or `timeoutMs` passed.
    Analysis afterSound(int timeoutMs, qsizetype from = 0) {
        QDeadlineTimer deadline(timeoutMs);
        Analysis a = now(from);
        while (!deadline.hasExpired() && !(a.loudBlocks > 0 && a.quietAtEnd >= 6)) {
            QTest::qWait(100);
            a = now(from);
        }
        return a;
    }

    Analysis during(int ms) {
        QTest::qWait(ms);
        return now();
    }

private:
    QProcess process_;
    QByteArray data_;
};

// The alarm as one press of the test button gives it: a single 1.5 s tone.
bool soundedOnce(const Analysis& a) {
    return a.toneBlocks >= 20 && a.loudBlocks <= 34;
}

int runProbe();

} // namespace

class TestSound : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { setLocalTime(2026, 2, 3, 11, 12, 13); }
    void testButtonPlaysTheSkinSound_data();
    void testButtonPlaysTheSkinSound();
    void testButtonAgainStartsOver();
    void countdownEndSoundsOnce_data();
    void countdownEndSoundsOnce();
    void unusableAudioServerNeverHoldsTheWindow_data();
    void unusableAudioServerNeverHoldsTheWindow();

private:
    AudioServer server_;
    QTemporaryDir files_;
    QString tone_;
};

void TestSound::initTestCase() {
    QVERIFY(files_.isValid());
    const QString error = server_.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // The program finds the server here from its first sound on; its cookie stays in the test folder.
    qputenv("PULSE_SERVER", server_.address().toLocal8Bit());
    qputenv("PULSE_COOKIE", QFile::encodeName(files_.filePath("cookie")));
    // Should GStreamer ever fall back from PulseAudio to other outputs, they find no sound card.
    QFile empty(files_.filePath("empty.conf"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    qputenv("ALSA_CONFIG_PATH", QFile::encodeName(empty.fileName()));
    qputenv("JACK_NO_START_SERVER", "1");
    qputenv("JACK_DEFAULT_SERVER", "horavis-test-none");

    tone_ = files_.filePath("tone.wav");
    QVERIFY(writeToneWav(tone_));
    QProcess encoder;
    encoder.start(QStringLiteral("gst-launch-1.0"),
                  {"-q", "filesrc", "location=" + tone_, "!", "wavparse", "!", "audioconvert", "!",
                   "lamemp3enc", "!", "filesink", "location=" + files_.filePath("tone.mp3")});
    QVERIFY2(encoder.waitForFinished(20000) && encoder.exitCode() == 0,
             qPrintable("gst-launch-1.0 could not make the MP3 (tools/setup-debian.sh installs it): " +
                        encoder.errorString() + encoder.readAllStandardError()));

    QFile corrupt(files_.filePath("corrupt.wav"));
    QVERIFY(corrupt.open(QIODevice::WriteOnly));
    QRandomGenerator random(7);
    for (int i = 0; i < 4096; ++i)
        corrupt.putChar(char(random.bounded(256)));
}

void TestSound::testButtonPlaysTheSkinSound_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("sounds");
    QTest::newRow("wav") << "tone.wav" << true;
    QTest::newRow("mp3") << "tone.mp3" << true;
    QTest::newRow("missing file") << "absent.wav" << false;
    QTest::newRow("corrupt file") << "corrupt.wav" << false;
    QTest::newRow("skin without sound") << QString() << false;
}

void TestSound::testButtonPlaysTheSkinSound() {
    QFETCH(QString, file);
    QFETCH(bool, sounds);
    TForm1 form;
    form.AlarmFile = file.isEmpty() ? QString() : files_.filePath(file);
    Recorder recorder;
    QVERIFY(recorder.start());

    const Cost click = measure([&] { form.PlaysoundClick(form.Playsound); });
    QVERIFY2(click.prompt(), qPrintable("the button held the window for " + click.text()));

    if (sounds) {
        const Analysis a = recorder.afterSound(6000);
        QVERIFY2(soundedOnce(a), qPrintable(describe(a)));
    } else {
        const Analysis a = recorder.during(2000);
        // The recording must have run, or silence would prove nothing.
        QVERIFY2(a.seconds > 1.0 && a.loudBlocks == 0, qPrintable(describe(a)));
    }
}

void TestSound::testButtonAgainStartsOver() {
    TForm1 form;
    form.AlarmFile = tone_;
    Recorder recorder;
    QVERIFY(recorder.start());
    form.PlaysoundClick(form.Playsound);
    QDeadlineTimer deadline(5000);
    while (recorder.now().toneBlocks < 10 && !deadline.hasExpired())
        QTest::qWait(50);
    const qsizetype second = recorder.bytes();

    form.PlaysoundClick(form.Playsound);
    // Half a second of the first tone is over: only a new start still has a whole tone to come.
    const Analysis a = recorder.afterSound(6000, second);
    QVERIFY2(a.toneBlocks >= 28 && a.loudBlocks <= 38, qPrintable(describe(a)));
}

void TestSound::countdownEndSoundsOnce_data() {
    QTest::addColumn<bool>("chosen");
    QTest::newRow("sound chosen") << true;
    QTest::newRow("sound not chosen") << false;
}

void TestSound::countdownEndSoundsOnce() {
    QFETCH(bool, chosen);
    TForm1 form;
    form.AlarmFile = tone_;
    form.PlaySound_Chosen->setIsChecked(chosen);
    form.DateEdit1.setDate(QDate(2026, 2, 3));
    form.TimeEdit1.setTime(QTime(11, 12, 16));
    form.Button2Click(nullptr);
    Recorder recorder;
    QVERIFY(recorder.start());

    advance(4500); // one second past the target and a little more
    QTest::qWait(400);
    advance(5000); // later ticks must not start the sound again
    if (chosen) {
        const Analysis a = recorder.afterSound(6000);
        QVERIFY2(soundedOnce(a), qPrintable(describe(a)));
    } else {
        const Analysis a = recorder.during(2000);
        QVERIFY2(a.seconds > 1.0 && a.loudBlocks == 0, qPrintable(describe(a)));
    }
}

void TestSound::unusableAudioServerNeverHoldsTheWindow_data() {
    QTest::addColumn<QString>("server");
    QTest::newRow("nothing listens") << "absent";
    QTest::newRow("server never answers") << "mute";
}

// Runs in a child process, since the audio system is set up once per process.
void TestSound::unusableAudioServerNeverHoldsTheWindow() {
    QFETCH(QString, server);
    const QString folder = files_.filePath(server);
    QVERIFY(QDir().mkpath(folder));
    const QString socket = folder + "/native";
    // Accepts connections into its backlog and never says a word, as a hung server does.
    QLocalServer mute;
    if (server == "mute")
        QVERIFY2(mute.listen(socket), qPrintable(mute.errorString()));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(ProbeVariable, tone_);
    env.insert("PULSE_SERVER", "unix:" + socket);

    QProcess child;
    child.setProcessEnvironment(env);
    QElapsedTimer lifetime;
    lifetime.start();
    startChild(child, QCoreApplication::applicationFilePath(), {});
    QVERIFY2(child.waitForFinished(30000), "the program hung");
    const QString report = QString::fromLatin1(child.readAllStandardOutput()).trimmed();
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
             qPrintable(report + child.readAllStandardError()));
    // The whole program, window and exit included, stays within a few seconds.
    QVERIFY2(lifetime.elapsed() < 15000, qPrintable(QStringLiteral("ran %1 ms").arg(lifetime.elapsed())));

    const QStringList parts = report.split(' ');
    QCOMPARE(parts.size(), 5);
    const Cost calls{parts[0].toDouble(), parts[1].toDouble()},
        click{parts[2].toDouble(), parts[3].toDouble()};
    QVERIFY2(calls.prompt(), qPrintable("the player's calls took " + calls.text()));
    QVERIFY2(click.prompt(), qPrintable("the button took " + click.text()));
    QVERIFY2(parts[4].toInt() < 500, qPrintable("the window stood still for " + parts[4] + " ms"));
}

namespace {

// Prints the wall and processor milliseconds of the player's four calls and of the test button,
// then the longest stall of the window's event loop in the following moments.
int runProbe() {
    TForm1 form;
    form.AlarmFile = qEnvironmentVariable(ProbeVariable);
    const Cost calls = measure([&] {
        form.MediaPlayer1->Stop();
        form.MediaPlayer1->Clear();
        form.MediaPlayer1->setFileName(form.AlarmFile);
        form.MediaPlayer1->Play();
    });
    const Cost click = measure([&] { form.PlaysoundClick(form.Playsound); });

    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 worst = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { worst = std::max(worst, sinceTick.restart()); });
    ticker.start(10);
    QTest::qWait(1500);
    worst = std::max(worst, sinceTick.elapsed());
    std::printf("%.3f %.3f %.3f %.3f %lld\n", calls.wallMs, calls.cpuMs, click.wallMs, click.cpuMs,
                static_cast<long long>(worst));
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    if (qEnvironmentVariableIsSet(ProbeVariable))
        return runProbe();
    TestSound test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sound.moc"
