#include "app/Unit1.h"
#include "app/datafolder.h"
#include "editor/Unit2.h"
#include "recordingdialogs.h"
#include "skin/profile.h"
#include "skinfixture.h"
#include "testsupport.h"
#include "toolkit/controls.h"

#include <QtTest>

using namespace skinfixture;

// The skin list, the skin commands, the settings file and closing, on a program folder of the test's own.
class TestLibrary : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 10, 2, 9, 30); }
    void firstStartBesideAnEmptyFolder();
    void secondStartLoadsTheRememberedSkin();
    void magentaIsRemembered();
    void missingNestedSkinFolderIsCreated();
    void choosingAFolderThatIsNoSkin();
    void doubleClickOnTheCurrentSkin();
    void loadWithNothingSelected();
    void closingAfterASwitch();
    void failedCloseKeepsTheWindowOpen();
    void dataFolderChoice_data();
    void dataFolderChoice();
    void windowsReopenWhereTheyWere_data();
    void windowsReopenWhereTheyWere();
    void withoutAnyFolderNothingIsSaved();
};

namespace {
const QString S = SettingsSection;
const QString Default = QStringLiteral("Orvane Companion");

QStringList listed(const TForm1& form) {
    QStringList names;
    for (int i = 0; i < form.SkinBox->Count(); ++i)
        names << form.SkinBox->Item(i).text;
    return names;
}

QString selected(const TForm1& form) {
    return form.SkinBox->ItemIndex() < 0 ? QString() : form.SkinBox->Item(form.SkinBox->ItemIndex()).text;
}

bool closeRequest(TForm1& form) {
    bool canClose = true;
    form.FormCloseQuery(&form, canClose);
    return canClose;
}

void chooseInList(TForm1& form, const QString& name) {
    form.SkinBox->setItemIndex(int(listed(form).indexOf(name)));
}
} // namespace

void TestLibrary::firstStartBesideAnEmptyFolder() {
    QTemporaryDir app;
    RecordingDialogs dialogs;
    TForm1 form(app.path(), TDiskUse::On);
    const QString skin = folderOf(app, Default);
    QCOMPARE(form.SkinDir, skin);
    for (const QString& name : RequiredPictures)
        QVERIFY2(!QImage(skin + name).isNull(), qPrintable(name));
    const TProfile ini = TProfile::read(skin + "skin.ini");
    // The new skin is loaded like any other, so the first start already shows what it recorded.
    QCOMPARE(ini.value(S, "HourHandSize"), QStringLiteral("582.706604003906"));
    QCOMPARE(form.Hourhand->Width(), 582.706604f);
    QCOMPARE(ini.value(S, "FullWatch"), QStringLiteral("1"));
    QCOMPARE(ini.value(S, "FinishMessage"), QStringLiteral("Countdown ended"));
    QCOMPARE(listed(form), QStringList{Default});
    QCOMPARE(selected(form), Default);
    QCOMPARE(form.windowTitle(), QStringLiteral("Horavis 3.6 - ") + Default);
    for (const TElement* crosshair :
         {form.LayoutUnruhCrossHair, form.LayoutTourBillonCrosshair, form.LayoutGearWheelCrosshair})
        QVERIFY2(!crosshair->Visible(), qPrintable(crosshair->Name()));
    QVERIFY(!QFile::exists(app.filePath("Horavis.ini")));

    QVERIFY(closeRequest(form));
    const TProfile settings = TProfile::read(app.filePath("Horavis.ini"));
    QCOMPARE(settings.value(S, "SkinDir"), skin);
    QCOMPARE(settings.value(S, "Magenta"), QStringLiteral("0"));
    QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
}

void TestLibrary::secondStartLoadsTheRememberedSkin() {
    QTemporaryDir app;
    RecordingDialogs dialogs;
    {
        TForm1 first(app.path(), TDiskUse::On);
        QVERIFY(closeRequest(first));
    }
    makeSkin(app.path(), "Night");
    TForm1 second(app.path(), TDiskUse::On);
    const QStringList names = listed(second);
    QCOMPARE(QSet<QString>(names.begin(), names.end()), (QSet<QString>{Default, "Night"}));
    QCOMPARE(selected(second), Default);
    QCOMPARE(second.windowTitle(), QStringLiteral("Horavis 3.6 - ") + Default);
    QCOMPARE(second.Hourhand->Width(), 582.706604f);
    QVERIFY(dialogs.messages.isEmpty());
}

void TestLibrary::magentaIsRemembered() {
    QTemporaryDir app;
    writeBytes(app.filePath("Horavis.ini"), "[Settings]\r\nMagenta=1\r\n");
    TForm1 form(app.path(), TDiskUse::On);
    QVERIFY(form.MagentaBox->IsChecked());
    QVERIFY(form.MagentaRectangle->Visible());
}

void TestLibrary::missingNestedSkinFolderIsCreated() {
    QTemporaryDir app;
    const QString nested = QDir(app.path()).filePath("a/b/Deep Skin") + QDir::separator();
    writeBytes(app.filePath("Horavis.ini"), ("[Settings]\r\nSkinDir=" + nested + "\r\n").toUtf8());
    TForm1 form(app.path(), TDiskUse::On);
    QCOMPARE(form.SkinDir, nested);
    QVERIFY(QFile::exists(nested + "skin.ini"));
    QVERIFY(QFile::exists(nested + "ovl.png"));
}

void TestLibrary::choosingAFolderThatIsNoSkin() {
    QTemporaryDir app;
    RecordingDialogs dialogs;
    { TForm1 first(app.path(), TDiskUse::On); }
    makeSkin(app.path(), "Second");
    // Listed for its settings file, refused for its missing pictures.
    makeSkin(app.path(), "Half done", {}, "[Settings]\r\n", {"hour.png", "ovl.png"});
    // Folders with neither are not offered at all.
    QDir(app.path()).mkdir("Documents");
    writeBytes(app.filePath("Documents/notes.txt"), "not a skin");
    QDir(app.path()).mkpath("platforms");
    TForm1 form(app.path(), TDiskUse::On);
    const QStringList names = listed(form);
    QCOMPARE(QSet<QString>(names.begin(), names.end()), (QSet<QString>{Default, "Second", "Half done"}));
    chooseInList(form, "Half done");
    form.MenuItem1->trigger();
    QCOMPARE(dialogs.messages, QStringList{"This folder does not contain a valid skin"});
    QCOMPARE(form.SkinDir, folderOf(app, Default));
    QCOMPARE(selected(form), Default);

    chooseInList(form, "Second");
    form.MenuItem1Click(nullptr);
    QCOMPARE(form.SkinDir, folderOf(app, "Second"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Horavis 3.6 - Second"));
    QCOMPARE(middleOf(form.SecHand->Bitmap()), colourOf("sek.png"));
}

void TestLibrary::doubleClickOnTheCurrentSkin() {
    QTemporaryDir app;
    { TForm1 first(app.path(), TDiskUse::On); }
    TForm1 form(app.path(), TDiskUse::On);
    form.editor().TrackBarHourSize->setValue(700);
    form.SkinBoxDblClick(form.SkinBox);
    // Saved first, then loaded from what was just written.
    QCOMPARE(TProfile::read(folderOf(app, Default) + "skin.ini").value(S, "HourHandSize"),
             QStringLiteral("700"));
    QCOMPARE(form.editor().TrackBarHourSize->Value(), 700.0f);
    QCOMPARE(form.Hourhand->Width(), 700.0f);
}

void TestLibrary::loadWithNothingSelected() {
    QTemporaryDir app;
    RecordingDialogs dialogs;
    { TForm1 first(app.path(), TDiskUse::On); }
    TForm1 form(app.path(), TDiskUse::On);
    form.SkinBox->setItemIndex(-1);
    form.editor().TrackBarMinuteSize->setValue(640);
    form.MenuItem1Click(nullptr);
    QCOMPARE(TProfile::read(folderOf(app, Default) + "skin.ini").value(S, "MinuteHandSize"),
             QStringLiteral("640"));
    QCOMPARE(form.SkinDir, folderOf(app, Default));
    QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
}

void TestLibrary::closingAfterASwitch() {
    QTemporaryDir app;
    { TForm1 first(app.path(), TDiskUse::On); }
    makeSkin(app.path(), "Evening");
    TForm1 form(app.path(), TDiskUse::On);
    chooseInList(form, "Evening");
    form.SkinBoxDblClick(form.SkinBox);
    form.editor().TrackBarSecondSize->setValue(555);
    form.close();
    QVERIFY(!form.isVisible());
    QCOMPARE(TProfile::read(app.filePath("Horavis.ini")).value(S, "SkinDir"), folderOf(app, "Evening"));
    QCOMPARE(TProfile::read(folderOf(app, "Evening") + "skin.ini").value(S, "SecondHandSize"),
             QStringLiteral("555"));
}

void TestLibrary::failedCloseKeepsTheWindowOpen() {
    QTemporaryDir app;
    RecordingDialogs dialogs;
    TForm1 form(app.path(), TDiskUse::On);
    writeBytes(app.filePath("Horavis.ini"), "[Settings]\r\nMagenta=0\r\n");
    const QByteArray old = readBytes(app.filePath("Horavis.ini"));
    form.show();
    {
        const FileSizeLimit limit(16);
        form.close();
    }
    // Asked, and Cancel (the answer Escape gives) keeps the window and the file.
    QVERIFY(form.isVisible());
    QCOMPARE(dialogs.questions.size(), 1);
    QVERIFY2(dialogs.questions.first().startsWith("Close without saving: "),
             qPrintable(dialogs.questions[0]));
    QVERIFY2(dialogs.questions.first().contains("Horavis.ini"), qPrintable(dialogs.questions.first()));
    QCOMPARE(readBytes(app.filePath("Horavis.ini")), old);
    // A deliberate "Close without saving" closes all the same.
    dialogs.goOnAnswer = true;
    {
        const FileSizeLimit limit(16);
        form.close();
    }
    QVERIFY(!form.isVisible());
    QCOMPARE(readBytes(app.filePath("Horavis.ini")), old);
}

void TestLibrary::dataFolderChoice_data() {
    QTest::addColumn<QString>("program"); // relative to the test's folder, or an absolute path
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("perUser");
    QTest::addColumn<QString>("chosen"); // "program", "per-user" or "" for none
    QTest::newRow("writable program folder") << "bin" << false << "user/Horavis"
                                             << "program";
    QTest::newRow("installed copy") << "bin" << true << "user/Horavis"
                                    << "per-user";
    // Not even root can write here, as on a read-only medium.
    QTest::newRow("read-only program folder") << "/proc" << false << "user/Horavis"
                                              << "per-user";
    QTest::newRow("per-user folder cannot be made") << "/proc" << false << "plainfile/Horavis"
                                                    << "";
}

void TestLibrary::dataFolderChoice() {
    QFETCH(QString, program);
    QFETCH(bool, installed);
    QFETCH(QString, perUser);
    QFETCH(QString, chosen);
    QTemporaryDir root;
    writeBytes(root.filePath("plainfile"), "x");
    QDir().mkpath(root.filePath("bin"));
    const QString programFolder = QDir(root.path()).absoluteFilePath(program);
    const QString perUserFolder = root.filePath(perUser);
    const TDataFolder folder =
        chooseDataFolder(programFolder, installed ? programFolder : root.filePath("usr/bin"), perUserFolder);
    const QString expected = chosen == "program" ? programFolder : chosen == "per-user" ? perUserFolder : "";
    QCOMPARE(folder.path, expected);
    QCOMPARE(folder.problem.isEmpty(), !expected.isEmpty());
    if (chosen == "per-user")
        QVERIFY(QFileInfo(perUserFolder).isDir());
    // The probe leaves nothing behind.
    QCOMPARE(QDir(programFolder).entryList(QDir::Files | QDir::Hidden).filter(".horavis").size(), 0);
}

void TestLibrary::windowsReopenWhereTheyWere_data() {
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QPoint>("window");
    QTest::addColumn<QPoint>("editor");
    const QPoint unplaced(-1, -1); // the editor keeps the place the system gives it
    QTest::newRow("no keys") << QByteArray() << QPoint(0, 0) << unplaced;
    QTest::newRow("remembered") << QByteArray(
                                       "WindowLeft=40\r\nWindowTop=30\r\nEditorLeft=300\r\nEditorTop=200\r\n")
                                << QPoint(40, 30) << QPoint(300, 200);
    QTest::newRow("off every screen")
        << QByteArray("WindowLeft=-5000\r\nWindowTop=20\r\nEditorLeft=90000\r\nEditorTop=90000\r\n")
        << QPoint(0, 0) << unplaced;
    QTest::newRow("garbage") << QByteArray(
                                    "WindowLeft=left\r\nWindowTop=\r\nEditorLeft=3.5\r\nEditorTop=x\r\n")
                             << QPoint(0, 0) << unplaced;
}

void TestLibrary::windowsReopenWhereTheyWere() {
    QFETCH(QByteArray, lines);
    QFETCH(QPoint, window);
    QFETCH(QPoint, editor);
    QTemporaryDir app;
    writeBytes(app.filePath("Horavis.ini"), "[Settings]\r\n" + lines);
    RecordingDialogs dialogs;
    TForm1 form(app.path(), TDiskUse::On);
    QCOMPARE(form.pos(), window);
    if (editor != QPoint(-1, -1))
        QCOMPARE(form.editor().pos(), editor);

    // Where they are at closing is what the next start gives them.
    form.move(25, 15);
    form.editor().move(260, 140);
    QVERIFY(closeRequest(form));
    TForm1 next(app.path(), TDiskUse::On);
    QCOMPARE(next.pos(), QPoint(25, 15));
    QCOMPARE(next.editor().pos(), QPoint(260, 140));
}

// When no folder can be written the program runs with its built-in look and closes without a word.
void TestLibrary::withoutAnyFolderNothingIsSaved() {
    QTemporaryDir app;
    RecordingDialogs dialogs;
    {
        TForm1 form(app.path(), TDiskUse::Off);
        QVERIFY(closeRequest(form));
    }
    QVERIFY(QDir(app.path()).isEmpty());
    QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty() && dialogs.questions.isEmpty());
}

QTEST_MAIN(TestLibrary)
#include "tst_library.moc"
