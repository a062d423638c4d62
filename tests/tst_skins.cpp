#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "recordingdialogs.h"
#include "recordingplayer.h"
#include "skin/profile.h"
#include "skin/skinkeys.h"
#include "skinfixture.h"
#include "testsupport.h"
#include "toolkit/colorpanel.h"
#include "toolkit/controls.h"
#include "toolkit/view.h"

#include <QtTest>

using namespace skinfixture;

class TestSkins : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 9, 14, 16, 40); }
    void valuesReadAndWrittenBack_data();
    void valuesReadAndWrittenBack();
    void onlyTheRequiredPictures();
    void optionalPicturesAndSounds();
    void fileNamesInAnyCase();
    void pathWithoutSeparator();
    void incompleteFolderIsRejected();
    void backgroundKeepsTheStrapOn();
    void sameFolderTwice();
    void folderOutsideTheProgramFolder();
    void brokenPictures_data();
    void brokenPictures();
    void deepestDir_data();
    void deepestDir();
    void saveKeepsExistingPictures();
    void saveCompletesAFolderWithOnlySettings();
    void textSizeRoundsHalfToEven_data();
    void textSizeRoundsHalfToEven();
    void saveKeepsForeignKeysAndSections();
    void failedSaveKeepsTheOldFile();
};

namespace {
const QString S = SettingsSection;

QString value(const QString& iniPath, const QString& key) {
    return TProfile::read(iniPath).value(S, key).value_or("<missing>");
}

struct Loaded {
    QTemporaryDir app;
    RecordingDialogs dialogs;
    TForm1 form{app.path()};
    RecordingPlayer& player;
    Loaded() : player(install(form)) {}
    static RecordingPlayer& install(TForm1& form) {
        auto player = std::make_unique<RecordingPlayer>();
        RecordingPlayer& recording = *player;
        form.MediaPlayer1 = std::move(player);
        return recording;
    }
    QString skin(const QString& name, const QStringList& extra = {}, const QByteArray& ini = {}) {
        return makeSkin(app.path(), name, extra, ini);
    }
};
} // namespace

void TestSkins::valuesReadAndWrittenBack_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("written");
    QTest::newRow("hour hand alone") << QByteArray("HourHandSize=700") << "HourHandSize"
                                     << "700";
    QTest::newRow("clamped to the bar") << QByteArray("HourHandSize=2000") << "HourHandSize"
                                        << "1000";
    QTest::newRow("comma from another region") << QByteArray("ShadowOpacity=0,25") << "ShadowOpacity"
                                               << "0.25";
    QTest::newRow("point") << QByteArray("DateRotation=-12.5") << "DateRotation"
                           << "-12.5";
    QTest::newRow("text size not an integer") << QByteArray("TextSize=48.5") << "TextSize"
                                              << "48";
    QTest::newRow("bool written as a word") << QByteArray("ShowSecHand=true") << "ShowSecHand"
                                            << "1";
    QTest::newRow("bool non-zero") << QByteArray("Shadow=7") << "Shadow"
                                   << "1";
    QTest::newRow("colour") << QByteArray("MessageColor=-2226425") << "MessageColor"
                            << "-2226425";
    QTest::newRow("colour in hexadecimal") << QByteArray("ArcColor=$7F00FF00") << "ArcColor"
                                           << "2130771712";
    QTest::newRow("arc thickness clamped") << QByteArray("ArcThick=0") << "ArcThick"
                                           << "1";
    QTest::newRow("text") << QByteArray("Message=Back in five") << "Message"
                          << "Back in five";
    // Brought within the drag bounds, so the handle can be grabbed.
    QTest::newRow("position outside the drag bounds") << QByteArray("TextX=600") << "TextX"
                                                      << "461";
    QTest::newRow("position far outside the dial") << QByteArray("DateX=1E308") << "DateX"
                                                   << "897";
    QTest::newRow("position far above the dial") << QByteArray("DateY=-1E308") << "DateY"
                                                 << "32";
}

// Read through the loader into the controls and scene, written back by the writer.
void TestSkins::valuesReadAndWrittenBack() {
    QFETCH(QByteArray, line);
    QFETCH(QString, key);
    Loaded t;
    const QString folder = t.skin("Edge", {}, "[settings]\r\n" + line + "\r\n");
    QVERIFY(t.form.LoadSkin(folder));
    t.form.SaveCurrentSkin();
    QTEST(value(folder + "skin.ini", key), "written");
    QVERIFY(t.dialogs.messages.isEmpty());
}

void TestSkins::onlyTheRequiredPictures() {
    Loaded t;
    const QString folder = t.skin("Plain");
    QVERIFY(!t.form.Gearwheel->isEmpty());
    const QImage gear = t.form.Gearwheel->Bitmap();
    QVERIFY(t.form.LoadSkin(folder));
    QCOMPARE(t.form.SkinDir, folder);
    for (TImage* emptied : {t.form.Unruh, t.form.Tourbillon, t.form.WatchfaceReduced, t.form.escapewheel})
        QVERIFY2(emptied->isEmpty(), qPrintable(emptied->Name()));
    QCOMPARE(t.form.Gearwheel->Bitmap(), gear);
    QVERIFY(t.form.OnTop->isEmpty());
    QCOMPARE(t.form.OnTop->Tag(), 0);
    QVERIFY(t.form.AlarmFile.isEmpty());
    QVERIFY(!t.form.StrapSwitchLocked);
    // The pictures went where they belong, and the copies followed.
    QCOMPARE(middleOf(t.form.SecHand->Bitmap()), colourOf("sek.png"));
    QCOMPARE(middleOf(t.form.Watch->Bitmap()), colourOf("WatchfaceFull.png"));
    QCOMPARE(middleOf(t.form.MinutehandExtraImage->Bitmap()), colourOf("min.png"));
    QCOMPARE(middleOf(t.form.ArcOntop->Bitmap()), colourOf("ind.png"));
    QCOMPARE(middleOf(t.form.MinutehandExtraAdjusterBezel->Bitmap()), colourOf("ind.png"));
    // Every setting took its default.
    QCOMPARE(t.form.editor().TrackBarHourSize->Value(), 1000.0f);
    QCOMPARE(t.form.editor().TrackBar4->Value(), 160.0f);
    QCOMPARE(t.form.editor().TextColorPanel->Color(), 0xFFFF0000u);
    QCOMPARE(t.form.Edit1->Text(), QStringLiteral("Start"));
    QCOMPARE(t.form.DateOut->Position(), QPointF(662, 464));
    QCOMPARE(t.form.CutOutMover->Position(), QPointF(233, 460));
    QCOMPARE(t.form.windowTitle(), QStringLiteral("Horavis 3.6 - Plain"));
    QVERIFY(t.player.calls.contains("Clear"));
}

void TestSkins::optionalPicturesAndSounds() {
    Loaded t;
    const QString folder =
        t.skin("Full", {"ontop.png", "BalanceWheel.png", "Tourbillon.png", "Gearwheel.png",
                        "WatchfaceReduced.png", "escapewheel.png", "miniind.png", "alarm.mp3", "alarm.wav"});
    QVERIFY(t.form.LoadSkin(folder));
    QCOMPARE(t.form.AlarmFile, folder + "alarm.wav");
    QCOMPARE(t.form.OnTop->Tag(), -1);
    QCOMPARE(middleOf(t.form.OnTop->Bitmap()), colourOf("ontop.png"));
    QCOMPARE(middleOf(t.form.Tourbillon->Bitmap()), colourOf("Tourbillon.png"));
    QCOMPARE(middleOf(t.form.Gearwheel->Bitmap()), colourOf("Gearwheel.png"));
    QCOMPARE(middleOf(t.form.MinutehandExtraAdjusterBezel->Bitmap()), colourOf("miniind.png"));
    QCOMPARE(middleOf(t.form.ArcOntop->Bitmap()), colourOf("ind.png"));
    // The alarm of the skin is the one a countdown plays.
    t.form.PlaysoundClick(nullptr);
    QVERIFY(t.player.calls.contains("FileName=" + folder + "alarm.wav"));
}

void TestSkins::fileNamesInAnyCase() {
    Loaded t;
    const QString folder = QDir(t.app.path()).filePath("Windows") + QDir::separator();
    QDir().mkpath(folder);
    for (const QString& name :
         QStringList{"WATCHFACEFULL.PNG", "Sek.PNG", "hour.PNG", "Min.png", "IND.png", "Ovl.Png"})
        pictureFor(name.toLower()).save(folder + name, "PNG");
    writeBytes(folder + "Alarm.WAV", "RIFF");
    writeBytes(folder + "SKIN.INI", "[SETTINGS]\r\nhourhandsize=700\r\n");
    QVERIFY(t.form.LoadSkin(folder));
    QCOMPARE(middleOf(t.form.SecHand->Bitmap()), colourOf("sek.png"));
    QCOMPARE(t.form.AlarmFile, folder + "Alarm.WAV");
    QCOMPARE(t.form.editor().TrackBarHourSize->Value(), 700.0f);
    // Saving writes into the file that is there rather than a second one beside it.
    t.form.SaveCurrentSkin();
    QVERIFY(!QFile::exists(folder + "skin.ini"));
    QCOMPARE(value(folder + "SKIN.INI", "HourHandSize"), QStringLiteral("700"));
    QVERIFY(!QFile::exists(folder + "sek.png"));
}

void TestSkins::pathWithoutSeparator() {
    Loaded t;
    QString folder = t.skin("NoSep");
    folder.chop(1);
    QVERIFY(t.form.LoadSkin(folder));
    QCOMPARE(t.form.SkinDir, folder + QDir::separator());
}

void TestSkins::incompleteFolderIsRejected() {
    Loaded t;
    const QString good = t.skin("Good", {"alarm.wav"});
    t.form.CreateSkinDirList(t.form.SkinBox);
    QVERIFY(t.form.LoadSkin(good));
    const QString broken = makeSkin(t.app.path(), "Broken", {"alarm.wav"}, {}, {"ovl.png"});
    QVERIFY(!t.form.LoadSkin(broken));
    QCOMPARE(t.dialogs.messages, QStringList{"This folder does not contain a valid skin"});
    QCOMPARE(t.form.SkinDir, good);
    QCOMPARE(middleOf(t.form.SecHand->Bitmap()), colourOf("sek.png"));
    QVERIFY(t.form.AlarmFile.isEmpty()); // the old skin lost its sound until the next load
    QCOMPARE(t.form.windowTitle(), QStringLiteral("Horavis 3.6 - Good"));
    QCOMPARE(t.form.SkinBox->Item(t.form.SkinBox->ItemIndex()).text, QStringLiteral("Good"));
}

void TestSkins::backgroundKeepsTheStrapOn() {
    Loaded t;
    const QString folder =
        t.skin("Background", {"WatchfaceFullBG.png", "WatchfaceReduced.png"}, "[Settings]\nFullWatch=0\n");
    QVERIFY(t.form.LoadSkin(folder));
    QVERIFY(t.form.StrapSwitchLocked);
    QVERIFY(t.form.CheckBox5->IsChecked());
    QCOMPARE(middleOf(t.form.Watch->Bitmap()), colourOf("WatchfaceFull.png"));
    QCOMPARE(middleOf(t.form.WatchBG->Bitmap()), colourOf("WatchfaceFullBG.png"));
    // A locked switch cannot be turned off by the user either.
    t.form.CheckBox5->click();
    QVERIFY(t.form.CheckBox5->IsChecked());
    QCOMPARE(middleOf(t.form.Watch->Bitmap()), colourOf("WatchfaceFull.png"));

    // Without the background the switch picks the reduced face, or none.
    const QString reduced = t.skin("Reduced", {"WatchfaceReduced.png"}, "[Settings]\nFullWatch=0\n");
    QVERIFY(t.form.LoadSkin(reduced));
    QVERIFY(!t.form.CheckBox5->IsChecked());
    QCOMPARE(middleOf(t.form.Watch->Bitmap()), colourOf("WatchfaceReduced.png"));
    const QString bare = t.skin("Bare");
    QVERIFY(t.form.LoadSkin(bare));
    t.form.CheckBox5->setIsChecked(false);
    QVERIFY(t.form.Watch->isEmpty());
}

void TestSkins::sameFolderTwice() {
    Loaded t;
    const QString folder = t.skin("Twice", {}, "[Settings]\nHourHandSize=640\nDateX=500\nShadow=1\n");
    QVERIFY(t.form.LoadSkin(folder));
    const QImage once = t.form.view().grabScene();
    QVERIFY(t.form.LoadSkin(folder));
    QCOMPARE(differingPixels(t.form.view().grabScene(), once, 0), 0);
    QCOMPARE(t.form.Hourhand->Width(), 640.0f);
}

void TestSkins::folderOutsideTheProgramFolder() {
    Loaded t;
    t.skin("Inside");
    t.form.CreateSkinDirList(t.form.SkinBox);
    QTemporaryDir elsewhere;
    const QString folder = makeSkin(elsewhere.path(), "Elsewhere");
    QVERIFY(t.form.LoadSkin(folder));
    QCOMPARE(t.form.windowTitle(), QStringLiteral("Horavis 3.6 - Elsewhere"));
    QCOMPARE(t.form.SkinBox->ItemIndex(), -1);
}

void TestSkins::brokenPictures_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("corrupt required") << "hour.png" << QByteArray("\x89PNG\r\n\x1a\nnot really");
    QTest::newRow("corrupt optional") << "Tourbillon.png" << QByteArray("garbage");
    QImage huge(8193, 4, QImage::Format_ARGB32);
    huge.fill(Qt::red);
    QByteArray hugeBytes;
    QBuffer buffer(&hugeBytes);
    buffer.open(QIODevice::WriteOnly);
    huge.save(&buffer, "PNG");
    QTest::newRow("wider than 8192") << "ovl.png" << hugeBytes;
}

// The load ends with its log line; the current look stays whole.
void TestSkins::brokenPictures() {
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    Loaded t;
    const QString good = t.skin("Good");
    QVERIFY(t.form.LoadSkin(good));
    const QString bad = t.skin("Bad", {"Tourbillon.png"}, "[Settings]\nHourHandSize=300\n");
    writeBytes(bad + file, bytes);
    QStringList log;
    static QStringList* sink = nullptr;
    sink = &log;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) {
            if (m.startsWith("Horavis "))
                *sink << m;
        });
    const bool loaded = t.form.LoadSkin(bad);
    qInstallMessageHandler(previous);
    QVERIFY(!loaded);
    // One line names the folder that stays and the file that failed.
    QCOMPARE(log.filter("Loading skin was not successful").size(), 1);
    QVERIFY2(
        log[0].startsWith("Horavis Loading skin was not successful, skin folder is still " + good + ": "),
        qPrintable(log[0]));
    QVERIFY2(log[0].contains(bad + file), qPrintable(log[0]));
    QVERIFY(t.dialogs.messages.isEmpty());
    QCOMPARE(t.dialogs.errors.size(), 1);
    QCOMPARE(t.form.SkinDir, good);
    QVERIFY(t.form.Tourbillon->isEmpty());
    QCOMPARE(t.form.editor().TrackBarHourSize->Value(), 1000.0f);
    QCOMPARE(t.form.windowTitle(), QStringLiteral("Horavis 3.6 - Good"));
}

void TestSkins::deepestDir_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    const QString s = QDir::separator();
    QTest::newRow("skin folder") << s + "opt" + s + "Horavis" + s + "Orvane Companion" + s
                                 << "Orvane Companion";
    QTest::newRow("without the separator") << s + "opt" + s + "Skins" + s + "Night"
                                           << "Night";
    QTest::newRow("drive root") << "C:" + s << "";
    QTest::newRow("doubled separator") << s + "opt" + s + s << "";
}

void TestSkins::deepestDir() {
    QFETCH(QString, path);
    QTEST(TForm1::GetDeepestDir(path), "name");
}

void TestSkins::saveKeepsExistingPictures() {
    Loaded t;
    const QString folder = t.skin("Keep");
    QMap<QString, QByteArray> before;
    for (const QString& name : RequiredPictures)
        before[name] = readBytes(folder + name);
    QVERIFY(t.form.LoadSkin(folder));
    t.form.editor().TrackBarHourSize->setValue(812.5f);
    t.form.SaveCurrentSkin();
    for (const QString& name : RequiredPictures)
        QCOMPARE(readBytes(folder + name), before[name]);
    QCOMPARE(value(folder + "skin.ini", "HourHandSize"), QStringLiteral("812.5"));
}

void TestSkins::saveCompletesAFolderWithOnlySettings() {
    Loaded t;
    const QString folder = QDir(t.app.path()).filePath("SettingsOnly") + QDir::separator();
    QDir().mkpath(folder);
    writeBytes(folder + "skin.ini", "[Settings]\r\nHourHandSize=640\r\n");
    QVERIFY(!t.form.LoadSkin(folder));
    t.form.SkinDir = folder;
    t.form.SaveCurrentSkin();
    for (const QString& name : RequiredPictures) {
        const QImage saved(folder + name);
        QVERIFY2(!saved.isNull(), qPrintable(name));
    }
    // The built-in pictures at their own sizes, alpha kept.
    QCOMPARE(QImage(folder + "WatchfaceFull.png").size(), QSize(2000, 2000));
    QCOMPARE(QImage(folder + "hour.png").size(), QSize(1000, 1000));
    QVERIFY(QImage(folder + "hour.png").hasAlphaChannel());
    QCOMPARE(QImage(folder + "hour.png").pixelColor(0, 0).alpha(), 0);
    QVERIFY(t.form.LoadSkin(folder));
}

void TestSkins::textSizeRoundsHalfToEven_data() {
    QTest::addColumn<float>("size");
    QTest::addColumn<QString>("written");
    QTest::newRow("40.5") << 40.5f << "40";
    QTest::newRow("41.5") << 41.5f << "42";
    QTest::newRow("41.4") << 41.4f << "41";
}

void TestSkins::textSizeRoundsHalfToEven() {
    QFETCH(float, size);
    Loaded t;
    const QString folder = t.skin("Text");
    QVERIFY(t.form.LoadSkin(folder));
    t.form.editor().TrackbarTextSize->setValue(size);
    t.form.SaveCurrentSkin();
    QTEST(value(folder + "skin.ini", "TextSize"), "written");
}

void TestSkins::saveKeepsForeignKeysAndSections() {
    Loaded t;
    const QByteArray ini =
        "; made by hand\r\n[Author]\r\nName=Ana\r\n[Settings]\r\nDateSize=60\r\nMyOwnKey=x\r\n"
        "[Later]\r\nA=1\r\n";
    const QString folder = t.skin("Foreign", {}, ini);
    QVERIFY(t.form.LoadSkin(folder));
    t.form.SaveCurrentSkin();
    const QByteArray after = readBytes(folder + "skin.ini");
    QVERIFY(after.startsWith(
        "; made by hand\r\n[Author]\r\nName=Ana\r\n[Settings]\r\nDateSize=60\r\nMyOwnKey=x\r\n"));
    QVERIFY(after.endsWith("[Later]\r\nA=1\r\n"));
    // Every key of the table is there once, in the table's order after the ones already present.
    const TProfile saved = TProfile::read(folder + "skin.ini");
    for (const TSkinKeyDef& key : skinkeys::Table)
        QVERIFY2(saved.value(S, skinKeyName(key.key)).has_value(), key.name.data());
    QCOMPARE(after.count("DateSize="), 1);
    QVERIFY(after.indexOf("MiniBezelSize=") < after.indexOf("TextY="));
}

void TestSkins::failedSaveKeepsTheOldFile() {
    Loaded t;
    const QString folder = t.skin("Locked", {}, "[Settings]\r\nHourHandSize=640\r\n");
    QVERIFY(t.form.LoadSkin(folder));
    const QByteArray old = readBytes(folder + "skin.ini");
    {
        // Too small for the whole file: the write fails part way, as on a full disk, even for root.
        const FileSizeLimit limit(700);
        QVERIFY_THROWS_EXCEPTION(TSkinError, t.form.SaveCurrentSkin());
        try {
            t.form.SaveCurrentSkin();
        } catch (const TSkinError& error) {
            QVERIFY2(error.message().contains("skin.ini"), qPrintable(error.message()));
        }
    }
    QCOMPARE(readBytes(folder + "skin.ini"), old);

    // A picture that does not fit is not left behind half written.
    QVERIFY(QFile::remove(folder + "WatchfaceFull.png"));
    QImage noise(400, 400, QImage::Format_ARGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, QRandomGenerator::global()->generate());
    t.form.WatchfaceFull->setBitmap(noise); // far larger as a file than the limit below
    {
        const FileSizeLimit limit(64 * 1024);
        QVERIFY_THROWS_EXCEPTION(TSkinError, t.form.SaveCurrentSkin());
    }
    QVERIFY(!QFile::exists(folder + "WatchfaceFull.png"));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 6); // five pictures and skin.ini, no leftovers

    // A folder that cannot be made at all.
    writeBytes(t.app.filePath("plainfile"), "x");
    t.form.SkinDir = t.app.filePath("plainfile") + QDir::separator() + "Skin" + QDir::separator();
    QVERIFY_THROWS_EXCEPTION(TSkinError, t.form.SaveCurrentSkin());
}

QTEST_MAIN(TestSkins)
#include "tst_skins.moc"
