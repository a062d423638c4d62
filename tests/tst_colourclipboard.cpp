// Copy and paste of colours through the X11 clipboard, exchanged with another program (xclip).
// The test starts its own X server before the application connects, so it needs no display.

#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "recordingdialogs.h"
#include "testsupport.h"
#include "toolkit/colorpanel.h"
#include "toolkit/controls.h"

#include <QApplication>
#include <QClipboard>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int ExchangeTimeoutMs = 10000;

// Xvfb on a display of its choosing; it writes the display number to the pipe once it accepts
// clients. Plain POSIX, since it must run before any Qt application exists.
class XServer {
public:
    XServer() {
        int channel[2];
        if (pipe(channel) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            close(channel[0]);
            // Its start-up chatter would bury the test's own report.
            const int quiet = open("/dev/null", O_WRONLY);
            if (quiet >= 0)
                dup2(quiet, STDERR_FILENO);
            const std::string fd = std::to_string(channel[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(channel[1]);
        if (pid_ < 0) {
            close(channel[0]);
            return;
        }
        char buffer[32] = {};
        size_t used = 0;
        ssize_t got = 0;
        while (used + 1 < sizeof buffer &&
               (got = read(channel[0], buffer + used, sizeof buffer - 1 - used)) > 0) {
            used += size_t(got);
            if (std::memchr(buffer, '\n', used))
                break;
        }
        close(channel[0]);
        int number = -1;
        if (std::sscanf(buffer, "%d", &number) == 1)
            display_ = QStringLiteral(":%1").arg(number);
    }
    ~XServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    const QString& display() const { return display_; }

private:
    pid_t pid_ = -1;
    QString display_;
};

// Waits while the application keeps serving the clipboard: a blocking wait would leave the other
// program's request unanswered.
bool finishes(QProcess& process) {
    return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, ExchangeTimeoutMs);
}

void stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

} // namespace

class TestColourClipboard : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { setLocalTime(2026, 3, 14, 12, 0, 0); }
    void copyIsReadByAnotherProgram();
    void pasteTakesAnotherProgramsText();
};

void TestColourClipboard::initTestCase() {
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    if (QStandardPaths::findExecutable("xclip").isEmpty())
        QSKIP("xclip is not installed (tools/setup-debian.sh installs it)");
}

void TestColourClipboard::copyIsReadByAnotherProgram() {
    TForm1 form;
    TForm2& e = form.editor();
    e.ArcColorPanel->setColor(0x80AB12CD);
    e.Button10->Click();

    QProcess reader;
    reader.start("xclip", {"-selection", "clipboard", "-o"});
    QVERIFY2(finishes(reader), "xclip did not get the clipboard");
    QCOMPARE(reader.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(reader.readAllStandardOutput()), QStringLiteral("171;18;205"));
}

void TestColourClipboard::pasteTakesAnotherProgramsText() {
    RecordingDialogs dialogs;
    TForm1 form;
    TForm2& e = form.editor();
    // -quiet keeps xclip in the foreground, serving the selection until it is stopped.
    QProcess writer;
    writer.start("xclip", {"-quiet", "-selection", "clipboard", "-i"});
    QVERIFY(writer.waitForStarted());
    writer.write("12;34;56\n");
    writer.closeWriteChannel();
    const bool offered = QTest::qWaitFor([] { return QGuiApplication::clipboard()->text() == "12;34;56\n"; },
                                         ExchangeTimeoutMs);
    const auto cleanup = qScopeGuard([&] { stop(writer); });
    QVERIFY2(offered, "the clipboard never showed xclip's text");

    e.Button13->Click();
    QCOMPARE(e.FontcolorPanel->Color(), QRgb(0xFF0C2238));
    QCOMPARE(form.DateOut->FontColor().rgba(), QRgb(0xFF0C2238));
    QCOMPARE(e.Edit7->Text(), QStringLiteral("12"));
    QVERIFY(dialogs.errors.isEmpty() && dialogs.messages.isEmpty());
}

int main(int argc, char* argv[]) {
    const XServer server;
    if (server.display().isEmpty()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    // CTest runs the tests offscreen, where the clipboard never leaves the process.
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("DISPLAY", server.display().toLocal8Bit());
    QApplication application(argc, argv);
    TestColourClipboard test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_colourclipboard.moc"
