// Runs the built program on a private X server and checks it the way a streamer would see it.

#include "app/remoteaddress.h"

#include <QtTest>

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>

#ifndef HORAVIS_BINARY
#error "HORAVIS_BINARY must name the built program"
#endif

using namespace std::chrono_literals;

namespace {

const QByteArray defaultSkinTitle = "Horavis 3.6 - Orvane Companion";
constexpr QRect expectedMainWindowGeometry{0, 0, 872, 734};
// Well clear of the watch and the controls, so nothing but the plate may show there.
constexpr QRect plateOnlyMargin{800, 80, 60, 40};
constexpr double minimumLimeShare = 0.20;

constexpr auto serverStartTimeout = 10s;
constexpr auto programStartTimeout = 10s;
constexpr auto windowAppearTimeout = 20s;
constexpr auto firstFrameTimeout = 10s;
constexpr auto exitTimeout = 20s;
constexpr auto pollInterval = 100ms;

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
// xcb hands out replies allocated with malloc.
template <typename Reply> using XcbReply = std::unique_ptr<Reply, FreeDeleter>;

struct XcbDisconnect {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using XcbConnection = std::unique_ptr<xcb_connection_t, XcbDisconnect>;

int milliseconds(std::chrono::milliseconds duration) {
    return static_cast<int>(duration.count());
}

// SIGTERM first: a killed Xvfb leaves its lock file and socket behind.
void stopProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

class ScopedProcess {
public:
    ScopedProcess() = default;
    ScopedProcess(const ScopedProcess&) = delete;
    ScopedProcess& operator=(const ScopedProcess&) = delete;
    ~ScopedProcess() { stopProcess(process); }

    QProcess* operator->() { return &process; }
    QProcess& get() { return process; }

private:
    QProcess process;
};

// Xvfb picks a free display itself and writes its number once it accepts clients.
class VirtualDisplay {
public:
    explicit VirtualDisplay(const QString& logPath) {
        server->setStandardErrorFile(logPath);
        server->start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        number = readDisplayNumber();
    }

    bool isReady() const { return number.has_value(); }
    QString name() const { return QStringLiteral(":%1").arg(number.value_or(-1)); }

private:
    std::optional<int> readDisplayNumber() {
        const QDeadlineTimer deadline(serverStartTimeout);
        QByteArray announced;
        while (!announced.contains('\n') && !deadline.hasExpired()) {
            if (!server->waitForReadyRead(static_cast<int>(deadline.remainingTime())))
                break;
            announced += server->readAllStandardOutput();
        }
        bool isNumber = false;
        const int display = announced.trimmed().toInt(&isNumber);
        return isNumber ? std::optional(display) : std::nullopt;
    }

    ScopedProcess server;
    std::optional<int> number;
};

xcb_atom_t internAtom(xcb_connection_t* connection, const QByteArray& name) {
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.constData()),
        nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QByteArray propertyBytes(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property) {
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
        nullptr));
    if (!reply)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

bool hasTitle(xcb_connection_t* connection, xcb_window_t window, const QByteArray& title) {
    return propertyBytes(connection, window, XCB_ATOM_WM_NAME) == title ||
           propertyBytes(connection, window, internAtom(connection, "_NET_WM_NAME")) == title;
}

bool isViewable(xcb_connection_t* connection, xcb_window_t window) {
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

// Without a window manager every top-level window is a direct child of the root.
std::optional<xcb_window_t> findViewableTopLevel(xcb_connection_t* connection, xcb_window_t root,
                                                 const QByteArray& title) {
    const XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    if (!tree)
        return std::nullopt;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int index = 0; index < xcb_query_tree_children_length(tree.get()); ++index) {
        if (isViewable(connection, children[index]) && hasTitle(connection, children[index], title))
            return children[index];
    }
    return std::nullopt;
}

QRect geometryOnRoot(xcb_connection_t* connection, xcb_window_t window, xcb_window_t root) {
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    const XcbReply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, window, root, 0, 0), nullptr));
    if (!geometry || !origin)
        return {};
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

// Expects the 24-bit, 32-bits-per-pixel, little-endian layout of the Xvfb screen this test starts.
QImage grabRootArea(xcb_connection_t* connection, xcb_window_t root, const QRect& area) {
    const XcbReply<xcb_get_image_reply_t> reply(xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, static_cast<int16_t>(area.x()),
                      static_cast<int16_t>(area.y()), static_cast<uint16_t>(area.width()),
                      static_cast<uint16_t>(area.height()), ~0u),
        nullptr));
    const qsizetype bytesPerLine = qsizetype(area.width()) * 4;
    if (!reply || reply->depth != 24 ||
        xcb_get_image_data_length(reply.get()) != bytesPerLine * area.height())
        return {};
    return QImage(xcb_get_image_data(reply.get()), area.width(), area.height(), bytesPerLine,
                  QImage::Format_RGB32)
        .copy();
}

bool isLime(QRgb pixel) {
    return qRed(pixel) < 40 && qGreen(pixel) > 215 && qBlue(pixel) < 40;
}

int limePixelsIn(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += isLime(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

bool showsChromaKeyPlate(const QImage& windowShot) {
    if (windowShot.isNull())
        return false;
    const int marginArea = plateOnlyMargin.width() * plateOnlyMargin.height();
    const double windowArea = double(windowShot.width()) * windowShot.height();
    return limePixelsIn(windowShot, plateOnlyMargin) == marginArea &&
           limePixelsIn(windowShot, windowShot.rect()) > minimumLimeShare * windowArea;
}

void requestClose(xcb_connection_t* connection, xcb_window_t window) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = internAtom(connection, "WM_PROTOCOLS");
    event.data.data32[0] = internAtom(connection, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
}

QString textOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

// Peeks, so the output survives for a later message: failure messages are built even when checks pass.
QString describe(QProcess& program) {
    return QStringLiteral("program state %1, exit code %2, error \"%3\"; its output:\n%4")
        .arg(program.state())
        .arg(program.exitCode())
        .arg(program.errorString(), QString::fromLocal8Bit(program.peek(program.bytesAvailable())));
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void firstAndSecondStart();
    void endOfSessionSavesTheEdits();
    void remoteControlFromASecondProcess();

private:
    void runOnce(const QTemporaryDir& dir, const QString& programPath, const QString& display,
                 const QByteArray& title);
    void checkFilesLeftBehind(const QTemporaryDir& dir);
    QString copyProgramInto(const QTemporaryDir& dir);
    void startProgram(QProcess& program, const QString& path, const QString& display);
    // Waits without blocking on a dead program: returns false as soon as it has gone.
    bool pollWhileRunning(QProcess& program, std::chrono::milliseconds timeout,
                          const std::function<bool()>& condition);
    struct ShownWindow {
        XcbConnection connection;
        xcb_window_t root = 0;
        std::optional<xcb_window_t> window; // none when it did not show in time
    };
    // Connects to the display and waits for the program's viewable top-level window titled `title`.
    ShownWindow waitForWindow(QProcess& program, const QString& display, const QByteArray& title);
};

QString TestEndToEnd::copyProgramInto(const QTemporaryDir& dir) {
    const QString source = QStringLiteral(HORAVIS_BINARY);
    const QString copy = dir.filePath(QFileInfo(source).fileName());
    if (!QFile::copy(source, copy) || !QFile::setPermissions(copy, QFile::permissions(source)))
        return {};
    return copy;
}

void TestEndToEnd::startProgram(QProcess& program, const QString& path, const QString& display) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // CTest runs the other tests offscreen; this one needs the real X11 backend.
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("DISPLAY", display);
    // QtTest marks its own process with this; the program should run as a user starts it.
    environment.remove("QT_QTESTLIB_RUNNING");
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(QFileInfo(path).absolutePath());
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(path, {});
}

bool TestEndToEnd::pollWhileRunning(QProcess& program, std::chrono::milliseconds timeout,
                                    const std::function<bool()>& condition) {
    const QDeadlineTimer deadline(timeout);
    while (program.state() == QProcess::Running) {
        if (condition())
            return true;
        if (deadline.hasExpired())
            return false;
        program.waitForFinished(milliseconds(pollInterval));
    }
    return false;
}

TestEndToEnd::ShownWindow TestEndToEnd::waitForWindow(QProcess& program, const QString& display,
                                                      const QByteArray& title) {
    ShownWindow shown;
    int screenNumber = 0;
    shown.connection.reset(xcb_connect(qPrintable(display), &screenNumber));
    if (xcb_connection_has_error(shown.connection.get()))
        return shown;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(shown.connection.get()));
    for (int skip = 0; skip < screenNumber; ++skip)
        xcb_screen_next(&screens);
    shown.root = screens.data->root;
    pollWhileRunning(program, windowAppearTimeout, [&] {
        shown.window = findViewableTopLevel(shown.connection.get(), shown.root, title);
        return shown.window.has_value();
    });
    return shown;
}

void TestEndToEnd::runOnce(const QTemporaryDir& dir, const QString& programPath, const QString& display,
                           const QByteArray& title) {
    ScopedProcess program;
    startProgram(program.get(), programPath, display);
    QVERIFY2(program->waitForStarted(milliseconds(programStartTimeout)), qPrintable(describe(program.get())));

    const auto [connection, root, window] = waitForWindow(program.get(), display, title);
    QVERIFY2(!xcb_connection_has_error(connection.get()), "cannot connect to the virtual display");
    QCOMPARE(xcb_get_setup(connection.get())->image_byte_order, uint8_t(XCB_IMAGE_ORDER_LSB_FIRST));
    QVERIFY2(window, qPrintable("no viewable window titled " + title + "; " + describe(program.get())));
    const QRect geometry = geometryOnRoot(connection.get(), *window, root);
    QCOMPARE(geometry, expectedMainWindowGeometry);

    // The window is mapped before its first frame has been drawn.
    QImage screenshot;
    const bool plateShown = pollWhileRunning(program.get(), firstFrameTimeout, [&] {
        screenshot = grabRootArea(connection.get(), root, geometry);
        return showsChromaKeyPlate(screenshot);
    });
    if (!plateShown)
        screenshot.save(dir.filePath("screenshot.png"));
    QVERIFY2(plateShown, qPrintable("no lime plate on screen; screenshot and logs kept in " + dir.path() +
                                    "; " + describe(program.get())));

    requestClose(connection.get(), *window);
    QVERIFY2(program->waitForFinished(milliseconds(exitTimeout)),
             qPrintable("still running after the close request; " + describe(program.get())));
    QVERIFY2(program->exitStatus() == QProcess::NormalExit && program->exitCode() == 0,
             qPrintable(describe(program.get())));
    QVERIFY2(QFileInfo(programPath).isExecutable(), "the program's own file is gone after it ran");
}

namespace {
// The skin settings in the order the program writes a new file.
const QStringList SkinKeysInOrder = {"DateSize",
                                     "MiniBezelSize",
                                     "DateScale",
                                     "SecondHandPositionX",
                                     "SecondHandPositionY",
                                     "SecondHandOnTop",
                                     "PlaySoundAtEnd",
                                     "BlurredText",
                                     "SecondHandSize",
                                     "HourHandPositionX",
                                     "HourHandPositionY",
                                     "HourHandSize",
                                     "UnruhPositionX",
                                     "UnruhPositionY",
                                     "UnruhSize",
                                     "UnruhAngle",
                                     "ShowBalanceWheel",
                                     "ShowBalanceWheelCrosshair",
                                     "TourbillonPositionX",
                                     "TourbillonPositionY",
                                     "TourbillonSize",
                                     "ShowTourbillon",
                                     "ShowTourbillonCrosshair",
                                     "TourbillononTopOfBalance",
                                     "EscapeOnTopOfBalance",
                                     "GearwheelPositionX",
                                     "GearwheelPositionY",
                                     "GearwheelSize",
                                     "ShowGearwheel",
                                     "ShowGearwheelCrosshair",
                                     "escapewheelPositionX",
                                     "escapewheelPositionY",
                                     "escapewheelSize",
                                     "ShowEscapeWheel",
                                     "MinuteHandPositionX",
                                     "MinuteHandPositionY",
                                     "MinuteHandSize",
                                     "BezelSize",
                                     "DateRotation",
                                     "MessageColor",
                                     "TimeColor",
                                     "ArcColor",
                                     "TextSize",
                                     "Shadow",
                                     "WatchHasDate",
                                     "FullWatch",
                                     "TextShadow",
                                     "RunCounterclockwise",
                                     "ShowSecHand",
                                     "ShowMiniBezel",
                                     "FatTextFont",
                                     "ArcPos",
                                     "ArcThick",
                                     "ShadowRotation",
                                     "ShadowOpacity",
                                     "Message",
                                     "ClockFontName",
                                     "TextFontName",
                                     "FinishMessage",
                                     "DateX",
                                     "DateY",
                                     "TextX",
                                     "TextY"};

// "key=value" lines of a file written by the program, in file order.
QList<QPair<QString, QString>> keyLines(const QString& path) {
    QList<QPair<QString, QString>> pairs;
    for (const QString& line : textOf(path).split(QRegularExpression("\\r\\n|\\n"), Qt::SkipEmptyParts)) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            pairs.append({line.left(equals), line.mid(equals + 1)});
    }
    return pairs;
}

QString valueIn(const QList<QPair<QString, QString>>& pairs, const QString& key) {
    for (const auto& [name, value] : pairs)
        if (name == key)
            return value;
    return QStringLiteral("<missing>");
}
} // namespace

void TestEndToEnd::checkFilesLeftBehind(const QTemporaryDir& dir) {
    const QString skin = dir.filePath("Orvane Companion") + "/";
    const auto settings = keyLines(dir.filePath("Horavis.ini"));
    QCOMPARE(valueIn(settings, "SkinDir"), skin);
    QCOMPARE(valueIn(settings, "Magenta"), QStringLiteral("0"));

    const auto keys = keyLines(skin + "skin.ini");
    QStringList names;
    for (const auto& pair : keys)
        names << pair.first;
    QCOMPARE(names, SkinKeysInOrder);
    QVERIFY(textOf(skin + "skin.ini").startsWith("[Settings]\r\n"));
    QCOMPARE(valueIn(keys, "HourHandSize"), QStringLiteral("582.706604003906"));
    QCOMPARE(valueIn(keys, "MessageColor"), QStringLiteral("-2226425"));
    QCOMPARE(valueIn(keys, "TextSize"), QStringLiteral("40"));
    QCOMPARE(valueIn(keys, "FullWatch"), QStringLiteral("1"));
    QCOMPARE(valueIn(keys, "FinishMessage"), QStringLiteral("Countdown ended"));
    QCOMPARE(valueIn(keys, "TextX"), QStringLiteral("231.4286"));

    const std::pair<const char*, int> pictures[] = {{"WatchfaceFull.png", 2000}, {"sek.png", 1000},
                                                    {"hour.png", 1000},          {"min.png", 1000},
                                                    {"ind.png", 1000},           {"ovl.png", 2000}};
    for (const auto& [name, side] : pictures) {
        const QImage picture(skin + name);
        QVERIFY2(!picture.isNull(), name);
        QCOMPARE(picture.size(), QSize(side, side));
        QVERIFY2(picture.hasAlphaChannel() && qAlpha(picture.pixel(0, 0)) == 0, name);
    }
    QCOMPARE(QDir(skin).entryList(QDir::Files).size(), 7);
}

void TestEndToEnd::firstAndSecondStart() {
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString programPath = copyProgramInto(dir);
    QVERIFY2(!programPath.isEmpty(), "could not copy " HORAVIS_BINARY);

    const VirtualDisplay display(dir.filePath("xvfb.log"));
    QVERIFY2(display.isReady(),
             qPrintable("Xvfb did not announce a display; its log:\n" + textOf(dir.filePath("xvfb.log"))));

    // The first start writes the built-in look as the default skin and loads it like any other.
    runOnce(dir, programPath, display.name(), defaultSkinTitle);
    if (QTest::currentTestFailed())
        return dir.setAutoRemove(false);
    checkFilesLeftBehind(dir);
    const QByteArray firstSkin = textOf(dir.filePath("Orvane Companion/skin.ini")).toUtf8();

    // The second start loads it and writes the same values back.
    runOnce(dir, programPath, display.name(), defaultSkinTitle);
    if (QTest::currentTestFailed())
        return dir.setAutoRemove(false);
    checkFilesLeftBehind(dir);
    QCOMPARE(textOf(dir.filePath("Orvane Companion/skin.ini")).toUtf8(), firstSkin);
}

namespace {
// Real input through the X server's test extension, as a user's mouse and keyboard give it.
bool xdotool(const QString& display, const QStringList& arguments) {
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    tool.setProcessEnvironment(environment);
    tool.start("xdotool", arguments);
    return tool.waitForFinished(milliseconds(exitTimeout)) && tool.exitCode() == 0;
}
} // namespace

// A log-out or shutdown sends SIGTERM: the program saves what was typed since the start, and exits. A
// FIFO in the messages file's place, which no writer ever opens, does not hold the window back.
void TestEndToEnd::endOfSessionSavesTheEdits() {
    QTemporaryDir dir;
    const QString programPath = copyProgramInto(dir);
    QVERIFY2(!programPath.isEmpty(), "could not copy " HORAVIS_BINARY);
    QVERIFY(mkfifo(QFile::encodeName(dir.filePath("HoravisStandardMessages.txt")).constData(), 0600) == 0);
    const VirtualDisplay display(dir.filePath("xvfb.log"));
    QVERIFY(display.isReady());
    ScopedProcess program;
    startProgram(program.get(), programPath, display.name());
    QVERIFY(program->waitForStarted(milliseconds(programStartTimeout)));

    const auto [connection, root, window] = waitForWindow(program.get(), display.name(), defaultSkinTitle);
    QVERIFY(!xcb_connection_has_error(connection.get()));
    QVERIFY2(window, qPrintable(describe(program.get())));
    const QRect geometry = geometryOnRoot(connection.get(), *window, root);

    // Types into the message field of the top panel, then ticks "Magenta": the program handles input in
    // order, so once the plate turns magenta the message has arrived too.
    const QPoint field = geometry.topLeft() + QPoint(3 + 313 + 100, 3 + 1 + 24);
    const QPoint magentaBox = geometry.topLeft() + QPoint(7 + 16 + 8, 57 + 447 + 12);
    QVERIFY(xdotool(display.name(), {"mousemove", QString::number(field.x()), QString::number(field.y()),
                                     "click", "1", "type", "--delay", "20", "Live now"}));
    QVERIFY(xdotool(display.name(), {"mousemove", QString::number(magentaBox.x()),
                                     QString::number(magentaBox.y()), "click", "1"}));
    const bool magenta = pollWhileRunning(program.get(), firstFrameTimeout, [&] {
        const QImage plate = grabRootArea(connection.get(), root, geometry);
        return !plate.isNull() && plate.pixelColor(plateOnlyMargin.center()) == QColor(255, 0, 255);
    });
    QVERIFY2(magenta, qPrintable(describe(program.get())));
    program->terminate();
    QVERIFY2(program->waitForFinished(milliseconds(exitTimeout)), qPrintable(describe(program.get())));
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), 0);
    const QString skinIni = textOf(dir.filePath("Orvane Companion/skin.ini"));
    QVERIFY2(skinIni.contains("Message=Live now\r\n"), qPrintable(skinIni));
    QVERIFY(textOf(dir.filePath("Horavis.ini")).contains("Magenta=1"));
}

namespace {
struct CommandRun {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;

    QString describe() const {
        return QStringLiteral("finished %1, exit code %2\nstdout: %3\nstderr: %4")
            .arg(finished)
            .arg(exitCode)
            .arg(out, err);
    }
};

// The same binary as a Stream Deck button or a script starts it, with no display at all.
CommandRun runCommand(const QString& programPath, const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_QTESTLIB_RUNNING"})
        environment.remove(name);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QFileInfo(programPath).absolutePath());
    process.start(programPath, arguments);
    CommandRun run;
    run.finished = process.waitForFinished(milliseconds(exitTimeout));
    if (!run.finished)
        stopProcess(process);
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QJsonObject statusFrom(const CommandRun& run) {
    return QJsonDocument::fromJson(run.out.toUtf8()).object();
}

QDateTime targetOf(const QJsonObject& status) {
    return QDateTime::fromString(status.value("target").toString(), Qt::ISODate);
}
} // namespace

// Every command from a second process, as buttons and hotkeys send them, against the program on its
// display. The countdown runs on the real clock: checks compare targets, which move by exactly what was
// asked, rather than remaining times, which move with the machine's load.
void TestEndToEnd::remoteControlFromASecondProcess() {
    QTemporaryDir dir;
    const QString programPath = copyProgramInto(dir);
    QVERIFY2(!programPath.isEmpty(), "could not copy " HORAVIS_BINARY);
    const auto command = [&](const QStringList& arguments) { return runCommand(programPath, arguments); };
    const auto status = [&] {
        const CommandRun run = command({"--status"});
        return run.exitCode == 0 ? statusFrom(run) : QJsonObject{{"failed", run.describe()}};
    };

    const CommandRun alone = command({"--status"});
    QVERIFY2(alone.exitCode == 3 && alone.err.contains("Horavis is not running"),
             qPrintable(alone.describe()));

    const VirtualDisplay display(dir.filePath("xvfb.log"));
    QVERIFY(display.isReady());
    ScopedProcess program;
    startProgram(program.get(), programPath, display.name());
    QVERIFY(program->waitForStarted(milliseconds(programStartTimeout)));
    const auto [connection, root, window] = waitForWindow(program.get(), display.name(), defaultSkinTitle);
    QVERIFY(!xcb_connection_has_error(connection.get()));
    QVERIFY2(window, qPrintable(describe(program.get())));

    CommandRun run = command({"--preset", "10"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.describe()));
    QCOMPARE(statusFrom(run).value("running"), QJsonValue(false));
    run = command({"--start"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.describe()));
    QJsonObject started = statusFrom(run);
    QCOMPARE(started.value("running"), QJsonValue(true));
    const qint64 remainingAtStart = started.value("remaining").toInteger(-1);
    QVERIFY2(remainingAtStart >= 588 && remainingAtStart <= 600, qPrintable(run.out));

    const std::pair<QStringList, qint64> additions[] = {
        {{"--add", "300"}, 300}, {{"--add=-120"}, -120}, {{"--add", "-60"}, -60}};
    for (const auto& [arguments, seconds] : additions) {
        const QJsonObject before = status();
        QVERIFY2(targetOf(before).isValid(), QJsonDocument(before).toJson().constData());
        run = command(arguments);
        QVERIFY2(run.exitCode == 0, qPrintable(run.describe()));
        const QJsonObject after = statusFrom(run);
        QCOMPARE(targetOf(before).secsTo(targetOf(after)), seconds);
        QVERIFY2(after.value("remaining").toInteger() <= before.value("remaining").toInteger() + seconds,
                 qPrintable(run.out));
    }

    run = command({"--pause"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.describe()));
    const QJsonObject paused = statusFrom(run);
    QCOMPARE(paused.value("paused"), QJsonValue(true));
    QTest::qSleep(2500);
    const QJsonObject stillPaused = status();
    QCOMPARE(stillPaused.value("paused"), QJsonValue(true));
    QCOMPARE(stillPaused.value("remaining"), paused.value("remaining"));
    run = command({"--resume"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.describe()));
    QCOMPARE(statusFrom(run).value("paused"), QJsonValue(false));
    // Resuming moves the target on by the time paused.
    QVERIFY2(targetOf(paused).secsTo(targetOf(statusFrom(run))) >= 2, qPrintable(run.out));
    QJsonObject running;
    QVERIFY2(pollWhileRunning(program.get(), exitTimeout,
                              [&] {
                                  running = status();
                                  return running.value("remaining").toInteger() <
                                         paused.value("remaining").toInteger();
                              }),
             qPrintable(QJsonDocument(running).toJson()));

    run = command({"--message", "Hello"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.describe()));
    QCOMPARE(status().value("message"), QJsonValue("Hello"));

    run = command({"--add", "soon"});
    QVERIFY2(run.exitCode == 1 && run.err.contains("'soon' is not a whole number of seconds"),
             qPrintable(run.describe()));
    run = command({"--skin", "Nowhere"});
    QVERIFY2(run.exitCode == 1 && run.err.contains("unknown skin 'Nowhere'"), qPrintable(run.describe()));

    // Straight to the socket, past the client's checks.
    QLocalSocket socket;
    socket.connectToServer(remoteAddressFor(dir.path()).serverName);
    QVERIFY2(socket.waitForConnected(milliseconds(exitTimeout)), qPrintable(socket.errorString()));
    socket.write("{\"command\":\"add\",\"value\":\"a lot\"}\n");
    QByteArray reply;
    const QDeadlineTimer replyDeadline(exitTimeout);
    while (!reply.contains('\n') && !replyDeadline.hasExpired() &&
           socket.waitForReadyRead(milliseconds(pollInterval)))
        reply += socket.readAll();
    reply += socket.readAll();
    QVERIFY2(reply.startsWith("{\"error\":\"'add' needs a whole number\",\"ok\":false}\n"),
             reply.constData());
    QCOMPARE(status().value("message"), QJsonValue("Hello"));

    // A second plain start hands over to the first and leaves.
    ScopedProcess second;
    startProgram(second.get(), programPath, display.name());
    QVERIFY2(second->waitForFinished(milliseconds(exitTimeout)), qPrintable(describe(second.get())));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY2(pollWhileRunning(
                 program.get(), exitTimeout,
                 [&] { return program->peek(program->bytesAvailable()).contains("Remote control: raise"); }),
             qPrintable(describe(program.get())));
    // Settings are written on closing: the second start wrote none over the first one's.
    QVERIFY(!QFileInfo::exists(dir.filePath("Horavis.ini")));

    run = command({"--stop"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.describe()));
    QCOMPARE(statusFrom(run).value("running"), QJsonValue(false));
    QCOMPARE(statusFrom(run).value("remaining"), QJsonValue());

    requestClose(connection.get(), *window);
    QVERIFY2(program->waitForFinished(milliseconds(exitTimeout)), qPrintable(describe(program.get())));
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), 0);
    QVERIFY(QFileInfo::exists(dir.filePath("Horavis.ini")));
    const CommandRun afterwards = command({"--status"});
    QVERIFY2(afterwards.exitCode == 3, qPrintable(afterwards.describe()));
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
