// The remote control: the request lines, the command line that makes them, and a server and client
// talking over a real local socket to a recording stand-in for the main window.

#include "app/commandline.h"
#include "app/remoteclient.h"
#include "app/remoteprotocol.h"
#include "app/remoteserver.h"

#include <QtTest>

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

using namespace std::chrono_literals;

Q_DECLARE_METATYPE(TRemoteCommand)
Q_DECLARE_METATYPE(TRemoteRequest)
Q_DECLARE_METATYPE(TRemoteStatus)

namespace {
// Short, so the cases of a client that never answers or never asks run quickly; nothing is measured.
constexpr auto ShortTimeout = 300ms;
constexpr TRemoteLimits QuickLimits{200ms, 8};

// Every call as a line, and a countdown that answers as the main window would.
class RecordingTarget : public TRemoteTarget {
public:
    void start() override {
        calls.append("start");
        state.running = true;
    }
    void stop() override {
        calls.append("stop");
        state.running = false;
    }
    void toggle() override {
        calls.append("toggle");
        state.running = !state.running;
    }
    bool pause() override {
        calls.append("pause");
        state.paused = state.running;
        return state.running;
    }
    void resume() override {
        calls.append("resume");
        state.paused = false;
    }
    void preset(int minutes) override { calls.append(QStringLiteral("preset %1").arg(minutes)); }
    void add(qint64 seconds) override { calls.append(QStringLiteral("add %1").arg(seconds)); }
    void setMessage(const QString& text) override {
        calls.append("message " + text);
        state.message = text;
    }
    QString loadSkin(const QString& name) override {
        calls.append("skin " + name);
        if (duringSkinLoad)
            duringSkinLoad();
        if (!skins.contains(name))
            return QStringLiteral("unknown skin '%1'").arg(name);
        state.skin = name;
        return {};
    }
    void raise() override { calls.append("raise"); }
    TRemoteStatus status() const override { return state; }

    QStringList calls;
    TRemoteStatus state;
    QStringList skins = {"Orvane Companion", "Night"};
    // Stands for a dialog's event loop while a skin loads.
    std::function<void()> duringSkinLoad;
};

// An instance as the program runs it: the claim held and the server listening, in a folder of its own.
class RunningInstance {
public:
    explicit RunningInstance(const QTemporaryDir& dir, TRemoteLimits limits = QuickLimits)
        : address(addressIn(dir)), instance(address), server(target, limits) {
        TRemoteAnswer unused;
        claimed = instance.claim(&unused, ShortTimeout) == TSingleInstance::Outcome::First;
        listening = server.listen(address.serverName, &problem);
    }

    static TRemoteAddress addressIn(const QTemporaryDir& dir) {
        return {dir.filePath("socket"), dir.filePath("socket.lock")};
    }

    TRemoteAnswer send(const TRemoteRequest& request) { return sendRemoteRequest(address, request, 10s); }

    TRemoteAddress address;
    RecordingTarget target;
    TSingleInstance instance;
    TRemoteServer server;
    bool claimed = false;
    bool listening = false;
    QString problem;
};

QJsonObject statusLine(const TRemoteAnswer& answer) {
    return QJsonDocument::fromJson(answer.output.toUtf8()).object();
}

// Sends raw bytes, as a script gone wrong would, and returns the one line the server answers.
QByteArray rawExchange(const QString& serverName, const QByteArray& bytes) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(10000))
        return "not connected: " + socket.errorString().toUtf8();
    socket.write(bytes);
    QByteArray received;
    const QDeadlineTimer guard(30s);
    // The server shares this thread: its events run inside the waiting.
    while (!received.contains('\n') && !guard.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        received += socket.readAll();
        if (socket.state() != QLocalSocket::ConnectedState)
            break;
    }
    received += socket.readAll();
    return received.left(received.indexOf('\n'));
}

TRemoteRequest request(TRemoteCommand command, qint64 number = 0, const QString& text = {}) {
    return {command, number, text};
}
} // namespace

class TestRemote : public QObject {
    Q_OBJECT
private slots:
    void parsesRequests_data();
    void parsesRequests();
    void everyCommandTravelsUnchanged();
    void commandLine_data();
    void commandLine();
    void roundTrip_data();
    void roundTrip();
    void statusReportsTheCountdown_data();
    void statusReportsTheCountdown();
    void notRunning();
    void staleSocketIsTakenOver();
    void silentInstanceTimesOut_data();
    void silentInstanceTimesOut();
    void refusesBadClientsAndKeepsServing_data();
    void refusesBadClientsAndKeepsServing();
    void tooManyConnectionsAreRefused();
    void secondStartRaisesTheFirst();
    void noCommandStartsInsideAnother();
};

void TestRemote::parsesRequests_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<TRemoteCommand>("command");
    QTest::addColumn<qint64>("number");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error"); // part of the reason for a refusal

    using C = TRemoteCommand;
    const auto good = [](const char* name, const QByteArray& line, C command, qint64 number = 0,
                         const QString& text = {}) {
        QTest::newRow(name) << line << true << command << number << text << QString();
    };
    const auto bad = [](const char* name, const QByteArray& line, const QString& error) {
        QTest::newRow(name) << line << false << C::Status << qint64(0) << QString() << error;
    };
    good("start", R"({"command":"start"})", C::Start);
    good("status", R"({"command":"status"})", C::Status);
    good("raise", R"({"command":"raise"})", C::Raise);
    good("preset", R"({"command":"preset","value":10})", C::Preset, 10);
    good("preset at the top", R"({"command":"preset","value":1440})", C::Preset, 1440);
    good("add negative", R"({"command":"add","value":-60})", C::Add, -60);
    good("add as a whole double", R"({"command":"add","value":300.0})", C::Add, 300);
    good("message", R"({"command":"message","value":"Hello \u00e9"})", C::Message, 0,
         QString::fromUtf8("Hello é"));
    good("empty message", R"({"command":"message","value":""})", C::Message, 0, QString());
    good("skin", R"({ "value" : "Night", "command" : "skin" })", C::Skin, 0, "Night");

    bad("not JSON", "hello", "one line of JSON");
    bad("empty line", "", "one line of JSON");
    bad("NUL inside", QByteArray("{\"command\":\"start\"}\0x", 21), "one line of JSON");
    bad("array", "[1,2]", "a JSON object");
    bad("unknown command", R"({"command":"explode"})", "unknown command 'explode'");
    bad("no command", R"({"value":5})", "names its command");
    bad("command not a text", R"({"command":5})", "names its command");
    bad("unexpected field", R"({"command":"start","force":true})", "unexpected field 'force'");
    bad("missing value", R"({"command":"preset"})", "'preset' needs a value");
    bad("missing text", R"({"command":"skin"})", "'skin' needs a value");
    bad("number as text", R"({"command":"preset","value":"10"})", "'preset' needs a whole number");
    bad("fraction", R"({"command":"add","value":1.5})", "'add' needs a whole number");
    bad("huge number", R"({"command":"add","value":1e300})", "'add' needs a whole number");
    bad("text as number", R"({"command":"message","value":5})", "'message' needs a text");
    bad("value on a switch", R"({"command":"start","value":1})", "'start' takes no value");
    bad("preset 0", R"({"command":"preset","value":0})", "1 to 1440 minutes");
    bad("preset 1441", R"({"command":"preset","value":1441})", "1 to 1440 minutes");
    bad("add beyond a week", R"({"command":"add","value":604801})", "at most 604800 seconds");
    bad("empty skin", R"({"command":"skin","value":""})", "folder's name");
    bad("long message", R"({"command":"message","value":")" + QByteArray(501, 'x') + R"("})",
        "at most 500 characters");
    bad("oversized line", R"({"command":"message","value":")" + QByteArray(5000, 'x') + R"("})",
        "at most 4096 bytes");
}

void TestRemote::parsesRequests() {
    QFETCH(QByteArray, line);
    QFETCH(bool, accepted);
    QFETCH(TRemoteCommand, command);
    QFETCH(qint64, number);
    QFETCH(QString, text);
    QFETCH(QString, error);

    const TParsedRequest parsed = parseRequest(line);
    QCOMPARE(parsed.request.has_value(), accepted);
    if (accepted) {
        QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
        QCOMPARE(*parsed.request, request(command, number, text));
    } else {
        QVERIFY2(parsed.error.contains(error), qPrintable(parsed.error));
    }
}

// What the client writes is what the server reads, for every command.
void TestRemote::everyCommandTravelsUnchanged() {
    for (const TRemoteCommandDef& def : remote::commands()) {
        TRemoteRequest sent{def.command, 0, {}};
        if (def.kind == TRemoteValueKind::Integer)
            sent.number = def.command == TRemoteCommand::Add ? -120 : 45;
        else if (def.kind == TRemoteValueKind::Text)
            sent.text = QStringLiteral("Live \"now\" \\ ünïcode\t");
        const QByteArray line = encodeRequest(sent);
        QVERIFY(line.endsWith('\n'));
        QCOMPARE(line.count('\n'), 1);
        const TParsedRequest parsed = parseRequest(line.chopped(1));
        QVERIFY2(parsed.request, qPrintable(def.name + (": " + parsed.error)));
        QCOMPARE(*parsed.request, sent);
    }
}

void TestRemote::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action"); // CommandLine::Action
    QTest::addColumn<TRemoteCommand>("command");
    QTest::addColumn<qint64>("number");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason"); // part of the rejection

    using C = TRemoteCommand;
    const int remote = int(CommandLine::Action::Remote);
    const int reject = int(CommandLine::Action::Reject);
    const auto row = [](const char* name, const QStringList& arguments, int action, C command = C::Status,
                        qint64 number = 0, const QString& text = {}, const QString& reason = {}) {
        QTest::newRow(name) << arguments << action << command << number << text << reason;
    };
    row("plain start", {}, int(CommandLine::Action::ShowWatch));
    row("--start", {"--start"}, remote, C::Start);
    row("--stop", {"--stop"}, remote, C::Stop);
    row("--toggle", {"--toggle"}, remote, C::Toggle);
    row("--pause", {"--pause"}, remote, C::Pause);
    row("--resume", {"--resume"}, remote, C::Resume);
    row("--status", {"--status"}, remote, C::Status);
    row("--preset 10", {"--preset", "10"}, remote, C::Preset, 10);
    row("--preset=1", {"--preset=1"}, remote, C::Preset, 1);
    row("--add 300", {"--add", "300"}, remote, C::Add, 300);
    row("--add=-60", {"--add=-60"}, remote, C::Add, -60);
    row("--add -60", {"--add", "-60"}, remote, C::Add, -60);
    row("--add=+30", {"--add=+30"}, remote, C::Add, 30);
    row("--message", {"--message", "Back in 5"}, remote, C::Message, 0, "Back in 5");
    row("--message empty", {"--message", ""}, remote, C::Message, 0, "");
    row("--skin", {"--skin", "Night"}, remote, C::Skin, 0, "Night");
    row("Qt option beside a command", {"-platform", "offscreen", "--status"}, remote, C::Status);

    row("--add soon", {"--add", "soon"}, reject, C::Status, 0, {}, "'soon' is not a whole number of seconds");
    row("--add 1.5", {"--add", "1.5"}, reject, C::Status, 0, {}, "'1.5' is not a whole number of seconds");
    row("--add beyond a week", {"--add", "604801"}, reject, C::Status, 0, {}, "at most 604800 seconds");
    row("--preset 0", {"--preset", "0"}, reject, C::Status, 0, {}, "1 to 1440 minutes, not 0");
    row("--preset 1441", {"--preset", "1441"}, reject, C::Status, 0, {}, "1 to 1440 minutes, not 1441");
    row("--preset ten", {"--preset", "ten"}, reject, C::Status, 0, {},
        "'ten' is not a whole number of minutes");
    row("--preset without value", {"--preset"}, reject, C::Status, 0, {}, "Missing value after '--preset'");
    row("--skin empty", {"--skin", ""}, reject, C::Status, 0, {}, "folder's name");
    row("two commands", {"--start", "--stop"}, reject, C::Status, 0, {},
        "One command at a time, not --start, --stop");
    row("one command twice", {"--add", "5", "--add", "6"}, reject, C::Status, 0, {}, "One command at a time");
    row("command and argument", {"--start", "now"}, reject, C::Status, 0, {}, "Unexpected argument 'now'");
}

void TestRemote::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(TRemoteCommand, command);
    QFETCH(qint64, number);
    QFETCH(QString, text);
    QFETCH(QString, reason);

    const CommandLine parsed = parseCommandLine(QStringList{"/opt/horavis"} + arguments);
    QCOMPARE(int(parsed.action), action);
    if (parsed.action == CommandLine::Action::Remote)
        QCOMPARE(parsed.request, request(command, number, text));
    if (parsed.action == CommandLine::Action::Reject) {
        QCOMPARE(parsed.exitCode(), 1);
        QVERIFY2(parsed.text.startsWith("horavis: ") && parsed.text.contains(reason),
                 qPrintable(parsed.text));
    }
}

void TestRemote::roundTrip_data() {
    QTest::addColumn<TRemoteRequest>("sent");
    QTest::addColumn<bool>("running"); // the fake countdown's state before
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error"); // part of stderr; empty: stderr stays empty

    using C = TRemoteCommand;
    const auto row = [](const char* name, TRemoteRequest sent, bool running, const QStringList& calls,
                        int exitCode = 0, const QString& error = {}) {
        QTest::newRow(name) << sent << running << calls << exitCode << error;
    };
    row("start", request(C::Start), false, {"start"});
    row("stop", request(C::Stop), true, {"stop"});
    row("toggle", request(C::Toggle), false, {"toggle"});
    row("pause", request(C::Pause), true, {"pause"});
    row("pause with nothing running", request(C::Pause), false, {"pause"}, 1, "no countdown is running");
    row("resume", request(C::Resume), true, {"resume"});
    row("preset", request(C::Preset, 10), false, {"preset 10"});
    row("add", request(C::Add, -120), true, {"add -120"});
    row("message", request(C::Message, 0, "Hello"), false, {"message Hello"});
    row("skin", request(C::Skin, 0, "Night"), false, {"skin Night"});
    row("unknown skin", request(C::Skin, 0, "Nowhere"), false, {"skin Nowhere"}, 1, "unknown skin 'Nowhere'");
    row("status", request(C::Status), true, {});
}

void TestRemote::roundTrip() {
    QFETCH(TRemoteRequest, sent);
    QFETCH(bool, running);
    QFETCH(QStringList, calls);
    QFETCH(int, exitCode);
    QFETCH(QString, error);

    const QTemporaryDir dir;
    RunningInstance instance(dir);
    QVERIFY(instance.claimed);
    QVERIFY2(instance.listening, qPrintable(instance.problem));
    instance.target.state.running = running;

    const TRemoteAnswer answer = instance.send(sent);
    QCOMPARE(instance.target.calls, calls);
    QCOMPARE(answer.exitCode, exitCode);
    if (error.isEmpty()) {
        QCOMPARE(answer.error, QString());
        // The state after the command, as one line.
        QVERIFY(answer.output.endsWith('\n'));
        QCOMPARE(answer.output.count('\n'), 1);
        const QJsonObject status = statusLine(answer);
        QCOMPARE(status.value("running").toBool(), instance.target.state.running);
        QCOMPARE(status.value("message").toString(), instance.target.state.message);
        QCOMPARE(status.value("skin").toString(), instance.target.state.skin);
    } else {
        QVERIFY2(answer.error.contains(error), qPrintable(answer.error));
        QCOMPARE(answer.output, QString());
    }
}

void TestRemote::statusReportsTheCountdown_data() {
    QTest::addColumn<TRemoteStatus>("state");
    QTest::addColumn<QByteArray>("expected");

    const QDateTime target(QDate(2026, 12, 10), QTime(20, 15, 30));
    QTest::newRow("overtime, paused")
        << TRemoteStatus{true, true, -65, target, "Back soon", "Night"}
        << QByteArray(R"({"message":"Back soon","paused":true,"remaining":-65,"running":true,)"
                      R"("skin":"Night","target":"2026-12-10T20:15:30Z"})");
    QTest::newRow("stopped") << TRemoteStatus{false, false, std::nullopt, target, "", "Orvane Companion"}
                             << QByteArray(R"({"message":"","paused":false,"remaining":null,"running":false,)"
                                           R"("skin":"Orvane Companion","target":"2026-12-10T20:15:30Z"})");
    QTest::newRow("no target") << TRemoteStatus{false, false, std::nullopt, QDateTime(), "", ""}
                               << QByteArray(
                                      R"({"message":"","paused":false,"remaining":null,"running":false,)"
                                      R"("skin":"","target":null})");
}

// CTest runs this in UTC: the local target carries its offset, Z.
void TestRemote::statusReportsTheCountdown() {
    QFETCH(TRemoteStatus, state);
    QFETCH(QByteArray, expected);

    const QTemporaryDir dir;
    RunningInstance instance(dir);
    QVERIFY2(instance.listening, qPrintable(instance.problem));
    instance.target.state = state;
    const TRemoteAnswer answer = instance.send(request(TRemoteCommand::Status));
    QCOMPARE(answer.exitCode, 0);
    QCOMPARE(answer.output.toUtf8(), expected + '\n');
}

void TestRemote::notRunning() {
    const QTemporaryDir dir;
    const TRemoteAnswer answer =
        sendRemoteRequest(RunningInstance::addressIn(dir), request(TRemoteCommand::Status));
    QCOMPARE(answer.exitCode, remote::ExitNotRunning);
    QCOMPARE(answer.error, QStringLiteral("Horavis is not running\n"));
    QCOMPARE(answer.output, QString());
}

// A crashed instance leaves its socket file and its claim behind; the next one removes both.
void TestRemote::staleSocketIsTakenOver() {
#ifndef Q_OS_UNIX
    QSKIP("Named pipes vanish with their process");
#else
    const QTemporaryDir dir;
    const TRemoteAddress address = RunningInstance::addressIn(dir);
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un name{};
        name.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(address.serverName);
        QVERIFY(size_t(path.size()) < sizeof name.sun_path);
        std::copy(path.begin(), path.end(), name.sun_path);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&name), sizeof name), 0);
        QCOMPARE(::listen(fd, 1), 0);
        ::close(fd);
    }
    // A claim in the name of a process that is gone: the highest PID Linux hands out, plus one.
    {
        QFile lock(address.lockPath);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("4194305\nHoravis\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    QVERIFY(QFileInfo::exists(address.serverName));

    const TRemoteAnswer before = sendRemoteRequest(address, request(TRemoteCommand::Status), ShortTimeout);
    QCOMPARE(before.exitCode, remote::ExitNotRunning);

    RunningInstance instance(dir);
    QVERIFY(instance.claimed);
    QVERIFY2(instance.listening, qPrintable(instance.problem));
    QCOMPARE(instance.send(request(TRemoteCommand::Start)).exitCode, 0);
    QCOMPARE(instance.target.calls, QStringList{"start"});
#endif
}

// Held claim, no answer: an instance that hangs, or one that never comes to listen.
void TestRemote::silentInstanceTimesOut_data() {
    QTest::addColumn<bool>("listens");
    QTest::newRow("connects but never answers") << true;
    QTest::newRow("claims but never listens") << false;
}

void TestRemote::silentInstanceTimesOut() {
    QFETCH(bool, listens);

    const QTemporaryDir dir;
    const TRemoteAddress address = RunningInstance::addressIn(dir);
    TSingleInstance hung(address);
    TRemoteAnswer unused;
    QCOMPARE(hung.claim(&unused, ShortTimeout), TSingleInstance::Outcome::First);
    QLocalServer deaf;
    if (listens)
        QVERIFY(deaf.listen(address.serverName));

    const TRemoteAnswer answer = sendRemoteRequest(address, request(TRemoteCommand::Toggle), ShortTimeout);
    QCOMPARE(answer.exitCode, remote::ExitNoAnswer);
    QVERIFY2(answer.error.contains("Horavis is running but did not answer within 0.3 seconds"),
             qPrintable(answer.error));
}

void TestRemote::refusesBadClientsAndKeepsServing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");

    QTest::newRow("garbage") << QByteArray("hello\n") << "one line of JSON";
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe\n", 4) << "one line of JSON";
    QTest::newRow("unknown command") << QByteArray(R"({"command":"format"})"
                                                   "\n")
                                     << "unknown command";
    QTest::newRow("wrong value type") << QByteArray(R"({"command":"add","value":"soon"})"
                                                    "\n")
                                      << "'add' needs a whole number";
    QTest::newRow("endless line") << QByteArray(20000, 'x') << "at most 4096 bytes";
    QTest::newRow("nothing at all") << QByteArray() << "no request arrived within 200 ms";
    QTest::newRow("half a line") << QByteArray(R"({"command":)") << "no request arrived within 200 ms";
}

void TestRemote::refusesBadClientsAndKeepsServing() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);

    const QTemporaryDir dir;
    RunningInstance instance(dir);
    QVERIFY2(instance.listening, qPrintable(instance.problem));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Horavis Remote control refused a request: .*" +
                                                        QRegularExpression::escape(reason)));
    const QJsonObject reply =
        QJsonDocument::fromJson(rawExchange(instance.address.serverName, bytes)).object();
    QCOMPARE(reply.value("ok"), QJsonValue(false));
    QVERIFY2(reply.value("error").toString().contains(reason), qPrintable(reply.value("error").toString()));
    QVERIFY(instance.target.calls.isEmpty());

    const TRemoteAnswer next = instance.send(request(TRemoteCommand::Start));
    QCOMPARE(next.exitCode, 0);
    QCOMPARE(instance.target.calls, QStringList{"start"});
}

void TestRemote::tooManyConnectionsAreRefused() {
    const QTemporaryDir dir;
    RunningInstance instance(dir, {10s, 1});
    QVERIFY2(instance.listening, qPrintable(instance.problem));
    QLocalSocket idle;
    idle.connectToServer(instance.address.serverName);
    QVERIFY(idle.waitForConnected(10000));

    QTest::ignoreMessage(QtDebugMsg,
                         "Horavis Remote control refused a request: too many connections at once");
    const TRemoteAnswer answer = instance.send(request(TRemoteCommand::Start));
    QCOMPARE(answer.exitCode, remote::ExitRefused);
    QVERIFY2(answer.error.contains("too many connections"), qPrintable(answer.error));
    QVERIFY(instance.target.calls.isEmpty());

    idle.disconnectFromServer();
    // The status has no effect to count twice while this waits for the slot to come free.
    QTRY_COMPARE(instance.send(request(TRemoteCommand::Status)).exitCode, 0);
    QCOMPARE(instance.send(request(TRemoteCommand::Start)).exitCode, 0);
    QCOMPARE(instance.target.calls, QStringList{"start"});
}

// The second start asks the first to come forward; once the first is gone, the next one is first.
void TestRemote::secondStartRaisesTheFirst() {
    const QTemporaryDir dir;
    auto first = std::make_unique<RunningInstance>(dir);
    QVERIFY(first->claimed);
    QVERIFY2(first->listening, qPrintable(first->problem));

    TSingleInstance second(first->address);
    TRemoteAnswer answer;
    QCOMPARE(second.claim(&answer, 10s), TSingleInstance::Outcome::HandedOver);
    QCOMPARE(first->target.calls, QStringList{"raise"});
    QCOMPARE(answer.exitCode, 0);

    first.reset();
    TSingleInstance third(RunningInstance::addressIn(dir));
    QCOMPARE(third.claim(&answer, 10s), TSingleInstance::Outcome::First);
}

// A skin that opens a dialog runs the event loop; a second command arriving then must wait its turn,
// while the status may still be read.
void TestRemote::noCommandStartsInsideAnother() {
    const QTemporaryDir dir;
    RunningInstance instance(dir);
    QVERIFY2(instance.listening, qPrintable(instance.problem));
    TRemoteAnswer inner;
    TRemoteAnswer status;
    instance.target.duringSkinLoad = [&] {
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("refused a request: .*another command"));
        inner = instance.send(request(TRemoteCommand::Start));
        status = instance.send(request(TRemoteCommand::Status));
    };
    const TRemoteAnswer outer = instance.send(request(TRemoteCommand::Skin, 0, "Night"));
    QCOMPARE(outer.exitCode, 0);
    QCOMPARE(inner.exitCode, remote::ExitRefused);
    QVERIFY2(inner.error.contains("still carrying out another command"), qPrintable(inner.error));
    QCOMPARE(status.exitCode, 0);
    QCOMPARE(instance.target.calls, QStringList{"skin Night"});
}

QTEST_GUILESS_MAIN(TestRemote)
#include "tst_remote.moc"
