// Starts the built program with command-line options and no display at all: it must answer and
// exit without building a window.

#include "horavis_version.h"

#include <QtTest>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#ifndef HORAVIS_BINARY
#error "HORAVIS_BINARY must name the built program"
#endif

namespace {
// Only a guard against a hang: an answer takes well under a second.
constexpr int FinishTimeoutMs = 60000;
} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void answersWithoutDisplay_data();
    void answersWithoutDisplay();

private:
    QTemporaryDir folder_;
    QString program_;
};

// A copy in a folder of its own: a program that went on to start would write its settings and
// default skin there.
void TestCommandLine::initTestCase() {
    QVERIFY(folder_.isValid());
    const QString source = QStringLiteral(HORAVIS_BINARY);
    program_ = folder_.filePath(QFileInfo(source).fileName());
    QVERIFY(QFile::copy(source, program_));
    QVERIFY(QFile::setPermissions(program_, QFile::permissions(source)));
}

void TestCommandLine::answersWithoutDisplay_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("inStdout"); // each must appear, the first at the start
    QTest::addColumn<QStringList>("inStderr"); // each must appear; empty means stderr stays empty

    const QString name = QFileInfo(QStringLiteral(HORAVIS_BINARY)).fileName();
    const QString version = QStringLiteral("Horavis " HORAVIS_VERSION "\n");
    const QStringList helpLines = {"Usage: " + name + " [options]", "-h, --help", "-v, --version"};
    const QStringList unknown = {name + ": Unknown option 'frobnicate'.", "Try '" + name + " --help'"};

    QTest::newRow("--help") << QStringList{"--help"} << 0 << helpLines << QStringList{};
    QTest::newRow("-h") << QStringList{"-h"} << 0 << helpLines << QStringList{};
    QTest::newRow("--version") << QStringList{"--version"} << 0 << QStringList{version} << QStringList{};
    QTest::newRow("-v") << QStringList{"-v"} << 0 << QStringList{version} << QStringList{};
    // Qt's own options belong to QApplication and must not be refused before it sees them.
    QTest::newRow("Qt options before --version")
        << QStringList{"-platform", "offscreen", "-style=fusion", "--version"} << 0 << QStringList{version}
        << QStringList{};
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << 1 << QStringList{} << unknown;
    QTest::newRow("unknown option beside --version")
        << QStringList{"--version", "--frobnicate"} << 1 << QStringList{} << unknown;
    QTest::newRow("stray argument") << QStringList{"clock"} << 1 << QStringList{}
                                    << QStringList{name + ": Unexpected argument 'clock'."};
}

void TestCommandLine::answersWithoutDisplay() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, inStdout);
    QFETCH(QStringList, inStderr);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_QTESTLIB_RUNNING"})
        environment.remove(name);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder_.path());
    process.start(program_, arguments);
    QVERIFY2(process.waitForFinished(FinishTimeoutMs), qPrintable(process.errorString()));
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    const QString output = "stdout:\n" + out + "\nstderr:\n" + err;

    // A QApplication without a display aborts, which shows here as a crash and a platform message.
    QVERIFY2(process.exitStatus() == QProcess::NormalExit, qPrintable(output));
    QVERIFY2(!err.contains("qt.qpa"), qPrintable(output));
    QCOMPARE(process.exitCode(), exitCode);
    for (const QString& text : inStdout)
        QVERIFY2(out.contains(text), qPrintable("missing \"" + text + "\" in\n" + output));
    if (!inStdout.isEmpty())
        QVERIFY2(out.startsWith(inStdout.first()), qPrintable(output));
    else
        QVERIFY2(out.isEmpty(), qPrintable(output));
    for (const QString& text : inStderr)
        QVERIFY2(err.contains(text), qPrintable("missing \"" + text + "\" in\n" + output));
    if (inStderr.isEmpty())
        QVERIFY2(err.isEmpty(), qPrintable(output));
    // No start-up: nothing beside the program, neither settings nor the default skin.
    QCOMPARE(QDir(folder_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QFileInfo(program_).fileName()});
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
