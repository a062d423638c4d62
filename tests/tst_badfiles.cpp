// Every file the program reads, in every bad shape: start-up never blocks, a skin that fails to load
// is never written over, and closing stays possible.
#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "recordingdialogs.h"
#include "recordingplayer.h"
#include "skin/profile.h"
#include "skinfixture.h"
#include "testsupport.h"
#include "toolkit/controls.h"

#include <QtTest>
#include <sys/stat.h>

using namespace skinfixture;

class TestBadFiles : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 12, 1, 20, 15); }
    void badFile_data();
    void badFile();
    void failedSkinIsNotWrittenOver_data();
    void failedSkinIsNotWrittenOver();
    void rememberedFolderForms_data();
    void rememberedFolderForms();
    void cannotSaveTheSkinButCloses();
};

namespace {
const QString Skin = QStringLiteral("Mine");
constexpr float notLoadedSize = 582.7066f;
const QByteArray SkinIni = "[Settings]\r\nHourHandSize=300\r\nMessage=MyShow\r\nTextSize=77\r\n";

enum class Shape { Fifo, Folder, DanglingLink, Oversized, Truncated, Empty };

QByteArray pngBytes(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Puts a file of the given shape at `path`; `good` is what a sound file would hold there.
void makeShape(const QString& path, Shape shape, const QByteArray& good, const QByteArray& oversized) {
    QFile::remove(path);
    switch (shape) {
    case Shape::Fifo:
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        break;
    case Shape::Folder:
        QVERIFY(QDir().mkpath(path));
        break;
    case Shape::DanglingLink:
        QVERIFY(QFile::link(path + ".gone", path));
        break;
    case Shape::Oversized:
        writeBytes(path, oversized);
        break;
    case Shape::Truncated:
        writeBytes(path, good.left(good.size() / 2));
        break;
    case Shape::Empty:
        writeBytes(path, {});
        break;
    }
}

// A snapshot of every file of a folder, to show it was not touched.
QMap<QString, QByteArray> contentsOf(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QFileInfo& entry :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        files[entry.fileName()] = entry.isFile() ? readBytes(entry.filePath()) : QByteArray("<not a file>");
    return files;
}

bool close(TForm1& form) {
    bool canClose = true;
    form.FormCloseQuery(&form, canClose);
    return canClose;
}

struct App {
    QTemporaryDir dir;
    QString skin;
    App() {
        skin = makeSkin(dir.path(), Skin, {}, SkinIni);
        // Long enough that its first half still names the skin.
        writeBytes(dir.filePath("Horavis.ini"),
                   ("[Settings]\r\nSkinDir=" + skin + "\r\n; " + QString(300, 'x') + "\r\n").toUtf8());
    }
};
} // namespace

void TestBadFiles::badFile_data() {
    QTest::addColumn<QString>("file"); // in the skin folder, or beside the program when it starts with "../"
    QTest::addColumn<int>("shape");
    QTest::addColumn<float>("hourSize"); // the skin's hour hand once started, 0 for files beside the program
    QTest::addColumn<bool>("asksAtClose"); // something could not be saved
    QTest::addColumn<int>("notes");        // message boxes at start-up
    const float notLoaded = notLoadedSize; // the editor's start value stays
    const std::pair<const char*, Shape> shapes[] = {{"FIFO", Shape::Fifo},
                                                    {"folder", Shape::Folder},
                                                    {"dangling link", Shape::DanglingLink},
                                                    {"oversized", Shape::Oversized},
                                                    {"truncated", Shape::Truncated},
                                                    {"0 bytes", Shape::Empty}};
    for (const auto& [name, shape] : shapes) {
        const bool unreadable = shape != Shape::Truncated && shape != Shape::Empty;
        // The settings file: defaults, and it is not replaced by one that drops what it held.
        QTest::addRow("Horavis.ini, %s", name) << "../Horavis.ini" << int(shape) << 0.0f << unreadable << 0;
        // The messages file: no messages, or the first ones of a huge file with a note.
        QTest::addRow("messages, %s", name) << "../HoravisStandardMessages.txt" << int(shape) << 0.0f << false
                                            << (shape == Shape::Oversized ? 1 : 0);
        // The skin's own files: a skin that cannot be read whole does not load.
        const float settingsRead = shape == Shape::Truncated ? 300.0f : 1000.0f;
        QTest::addRow("skin.ini, %s", name)
            << "skin.ini" << int(shape) << (unreadable ? notLoaded : settingsRead) << false
            << (unreadable ? 1 : 0);
        QTest::addRow("required picture, %s", name) << "hour.png" << int(shape) << notLoaded << false << 1;
        QTest::addRow("optional picture, %s", name)
            << "Tourbillon.png" << int(shape) << notLoaded << false << 1;
    }
}

void TestBadFiles::badFile() {
    QFETCH(QString, file);
    QFETCH(int, shape);
    QFETCH(float, hourSize);
    QFETCH(bool, asksAtClose);
    QFETCH(int, notes);
    App app;
    const bool besideProgram = file.startsWith("../");
    const QString path = besideProgram ? app.dir.filePath(file.mid(3)) : app.skin + file;
    const QByteArray good = file.endsWith(".png")   ? pngBytes(64, 64)
                            : file.endsWith(".ini") ? readBytes(path)
                                                    : QByteArray("Live;now\r\nBreak;soon\r\n");
    QByteArray oversized;
    if (file.endsWith(".png"))
        oversized = pngBytes(8193, 2);
    else if (file.endsWith(".ini"))
        oversized = "[Settings]\r\n" + QByteArray(5 * 1024 * 1024, ';');
    else
        oversized = QByteArray("Line;detail\r\n").repeated(1'400'000); // 18 MB
    makeShape(path, Shape(shape), good, oversized);
    if (QTest::currentTestFailed())
        return;
    const QMap<QString, QByteArray> before = contentsOf(app.skin);

    RecordingDialogs dialogs;
    TForm1 form(app.dir.path(), TDiskUse::On);
    form.MediaPlayer1 = std::make_unique<RecordingPlayer>();
    const bool settingsLost = file.endsWith("Horavis.ini") && Shape(shape) != Shape::Truncated;
    QCOMPARE(form.SkinDir, settingsLost ? folderOf(app.dir, "Orvane Companion") : app.skin);
    QCOMPARE(dialogs.messages.size() + dialogs.errors.size(), notes);
    if (hourSize > 0)
        QCOMPARE(form.editor().TrackBarHourSize->Value(), hourSize);

    QCOMPARE(close(form), !asksAtClose);
    QCOMPARE(dialogs.questions.size(), asksAtClose ? 1 : 0);
    if (hourSize == notLoadedSize)
        QCOMPARE(contentsOf(app.skin), before);
}

void TestBadFiles::failedSkinIsNotWrittenOver_data() {
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QStringList>("missing");
    QTest::addColumn<QString>("note");
    QTest::newRow("a truncated optional picture")
        << QStringList{"Tourbillon.png"} << QStringList{} << "Tourbillon.png";
    QTest::newRow("a missing required picture")
        << QStringList{} << QStringList{"ovl.png"} << "This folder does not contain a valid skin";
}

// The skin stays byte for byte as it was; the program closes; one message said why.
void TestBadFiles::failedSkinIsNotWrittenOver() {
    QFETCH(QStringList, extra);
    QFETCH(QStringList, missing);
    QFETCH(QString, note);
    QTemporaryDir app;
    const QString skin = makeSkin(app.path(), Skin, extra, SkinIni, missing);
    for (const QString& name : extra)
        writeBytes(skin + name, readBytes(skin + name).left(40));
    writeBytes(app.filePath("Horavis.ini"), ("[Settings]\r\nSkinDir=" + skin + "\r\n").toUtf8());
    const QMap<QString, QByteArray> before = contentsOf(skin);
    RecordingDialogs dialogs;
    {
        TForm1 form(app.path(), TDiskUse::On);
        QCOMPARE(form.SkinDir, skin);
        const QStringList shown = dialogs.messages + dialogs.errors;
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().contains(note), qPrintable(shown.first()));
        QVERIFY(close(form));
    }
    QCOMPARE(contentsOf(skin), before);
    QCOMPARE(TProfile::read(app.filePath("Horavis.ini")).value(SettingsSection, "SkinDir"), skin);
}

void TestBadFiles::rememberedFolderForms_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected"); // relative to the program's folder
    QTest::newRow("empty: the default skin") << ""
                                             << "Orvane Companion/";
    QTest::newRow("relative to the program's folder") << "Mine"
                                                      << "Mine/";
    QTest::newRow("relative with a separator") << "./Mine/"
                                               << "Mine/";
}

void TestBadFiles::rememberedFolderForms() {
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    QTemporaryDir app;
    makeSkin(app.path(), Skin, {}, SkinIni);
    writeBytes(app.filePath("Horavis.ini"), ("[Settings]\r\nSkinDir=" + stored + "\r\n").toUtf8());
    RecordingDialogs dialogs;
    TForm1 form(app.path(), TDiskUse::On);
    QCOMPARE(QDir(form.SkinDir).canonicalPath(), QDir(app.filePath(expected)).canonicalPath());
    QVERIFY(form.SkinDir.endsWith(QDir::separator()));
    QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
    // Nothing lands in the working folder.
    QVERIFY(!QFile::exists("skin.ini"));
}

// A skin folder that cannot be written: the close asks, Cancel keeps the window, and the other answer
// closes; the skin list being empty never traps the user.
void TestBadFiles::cannotSaveTheSkinButCloses() {
    App app;
    RecordingDialogs dialogs;
    TForm1 form(app.dir.path(), TDiskUse::On);
    QCOMPARE(form.SkinDir, app.skin);
    QVERIFY(QFile::remove(app.skin + "skin.ini"));
    QVERIFY(QDir().mkpath(app.skin + "skin.ini")); // a folder in the file's place
    QVERIFY(!close(form));
    QCOMPARE(dialogs.questions.size(), 1);
    QVERIFY2(dialogs.questions.first().contains("skin.ini"), qPrintable(dialogs.questions.first()));
    dialogs.goOnAnswer = true;
    QVERIFY(close(form));
}

QTEST_MAIN(TestBadFiles)
#include "tst_badfiles.moc"
