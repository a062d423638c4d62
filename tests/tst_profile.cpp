#include "skin/encodings.h"
#include "skin/profile.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray utf16(QStringConverter::Encoding encoding, const char* bom, const QString& text) {
    QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
    return QByteArray(bom) + QByteArray(encoder.encode(text));
}

} // namespace

class TestProfile : public QObject {
    Q_OBJECT
private slots:
    void formatFloat_data();
    void formatFloat();
    void parseFloat_data();
    void parseFloat();
    void singlePrecisionFloatsSurviveEitherSeparator();
    void integerKinds_data();
    void integerKinds();
    void colours_data();
    void colours();
    void textIsCutAfter2047Characters();

    void valueLookup_data();
    void valueLookup();
    void rewriteChangesOnlyWhatWasSet_data();
    void rewriteChangesOnlyWhatWasSet();
    void valuesReadBackAsSet_data();
    void valuesReadBackAsSet();
    void encodingIsKept_data();
    void encodingIsKept();
    void typedValuesThroughAFile();
    void missingAndUnreadableFiles();
    void failedWriteNamesFileAndReason_data();
    void failedWriteNamesFileAndReason();
    void failedWriteLeavesTheOldFileIntact_data();
    void failedWriteLeavesTheOldFileIntact();
};

void TestProfile::formatFloat_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("point");
    QTest::addColumn<QString>("text");
    QTest::newRow("single precision, 15 digits") << double(582.7066f) << "."
                                                 << "582.706604003906";
    QTest::newRow("whole number") << 1000.0 << "."
                                  << "1000";
    QTest::newRow("fraction below one") << double(0.42f) << "."
                                        << "0.419999986886978";
    QTest::newRow("negative") << double(-12.34f) << "."
                              << "-12.3400001525879";
    QTest::newRow("negative whole") << -710.0 << "."
                                    << "-710";
    QTest::newRow("trailing zeros dropped") << 12.5 << "."
                                            << "12.5";
    QTest::newRow("zero") << 0.0 << "."
                          << "0";
    QTest::newRow("negative zero") << -0.0 << "."
                                   << "0";
    QTest::newRow("regional comma") << double(582.7066f) << ","
                                    << "582,706604003906";
    QTest::newRow("15 digits stay fixed") << 123456789012345.0 << "."
                                          << "123456789012345";
    QTest::newRow("1E15 switches to exponent") << 1e15 << "."
                                               << "1E15";
    QTest::newRow("rounding up to 1E15") << 999999999999999.9 << "."
                                         << "1E15";
    QTest::newRow("1E-4 stays fixed") << 0.0001 << "."
                                      << "0.0001";
    QTest::newRow("small exponent") << 1.5e-7 << "."
                                    << "1.5E-7";
    QTest::newRow("small exponent, comma") << -1.5e-7 << ","
                                           << "-1,5E-7";
    QTest::newRow("three-digit exponent") << 2.5e300 << "."
                                          << "2.5E300";
}

void TestProfile::formatFloat() {
    QFETCH(double, value);
    QFETCH(QString, point);
    QTEST(ini::formatFloat(value, point), "text");
}

void TestProfile::parseFloat_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("point") << "582.706604003906" << true << 582.706604003906;
    QTest::newRow("comma") << "582,706604003906" << true << 582.706604003906;
    QTest::newRow("whole") << "1000" << true << 1000.0;
    QTest::newRow("negative comma") << "-12,5" << true << -12.5;
    QTest::newRow("plus sign") << "+3" << true << 3.0;
    QTest::newRow("blanks around") << " 7.25 " << true << 7.25;
    QTest::newRow("no leading digit") << ".5" << true << 0.5;
    QTest::newRow("no fraction digits") << "5," << true << 5.0;
    QTest::newRow("exponent") << "1E15" << true << 1e15;
    QTest::newRow("negative exponent, comma") << "1,5e-7" << true << 1.5e-7;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("word") << "abc" << false << 0.0;
    QTest::newRow("two separators") << "1.2.3" << false << 0.0;
    QTest::newRow("grouping") << "1,000.5" << false << 0.0;
    QTest::newRow("unit after") << "12px" << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("separator only") << "." << false << 0.0;
    QTest::newRow("exponent without digits") << "1e" << false << 0.0;
    QTest::newRow("infinity") << "INF" << false << 0.0;
    QTest::newRow("not a number") << "NAN" << false << 0.0;
    QTest::newRow("beyond double") << "1e400" << false << 0.0;
    QTest::newRow("hexadecimal") << "0x1F" << false << 0.0;
}

void TestProfile::parseFloat() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const std::optional<double> parsed = ini::parseFloat(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

// Track bars hold single precision: 15 digits must bring back the very same float, whichever separator
// the writing machine used.
void TestProfile::singlePrecisionFloatsSurviveEitherSeparator() {
    QRandomGenerator random(20240517);
    for (int i = 0; i < 20000; ++i) {
        const float value = i < 1421 ? -710.0f + float(i) * 0.9993f
                                     : float(random.generateDouble() * 2000 - 1000) *
                                           std::pow(10.0f, float(random.bounded(-6, 7)));
        for (const QString& point : {QStringLiteral("."), QStringLiteral(",")}) {
            const QString text = ini::formatFloat(value, point);
            const std::optional<double> back = ini::parseFloat(text);
            QVERIFY2(back && float(*back) == value, qPrintable(text));
        }
    }
}

void TestProfile::integerKinds_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("decimal") << "48" << true << 48;
    QTest::newRow("negative") << "-7" << true << -7;
    QTest::newRow("plus sign") << "+7" << true << 7;
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("dollar hex") << "$1F" << true << 31;
    QTest::newRow("0x hex") << "0x1F" << true << 31;
    QTest::newRow("0X hex, lower digits") << "0X1f" << true << 31;
    QTest::newRow("hex fills 32 bits") << "$FFFFFFFF" << true << -1;
    QTest::newRow("lowest") << "-2147483648" << true << std::numeric_limits<int>::min();
    QTest::newRow("blanks around") << " 12 " << true << 12;
    QTest::newRow("fraction") << "48.5" << false << 0;
    QTest::newRow("word true") << "true" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("beyond 32 bits") << "2147483648" << false << 0;
    QTest::newRow("prefix only") << "0x" << false << 0;
    QTest::newRow("inner blank") << "1 2" << false << 0;
}

// Bools and colours are read through the integer reader; each must follow it exactly.
void TestProfile::integerKinds() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    const std::optional<int> integer = ini::parseInteger(text);
    const std::optional<bool> flag = ini::parseBool(text);
    const std::optional<QRgb> colour = ini::parseColor(text);
    QCOMPARE(integer.has_value(), valid);
    QCOMPARE(flag.has_value(), valid);
    QCOMPARE(colour.has_value(), valid);
    if (!valid)
        return;
    QCOMPARE(*integer, value);
    QCOMPARE(*flag, value != 0);
    QCOMPARE(*colour, QRgb(quint32(value)));
    QCOMPARE(ini::parseInteger(ini::formatInteger(value)), value);
}

void TestProfile::colours_data() {
    QTest::addColumn<uint>("argb");
    QTest::addColumn<QString>("text");
    QTest::newRow("dark red") << 0xFFDE0707u << "-2226425";
    QTest::newRow("opaque red") << 0xFFFF0000u << "-65536";
    QTest::newRow("grey") << 0xFF3A3A3Au << "-12961222";
    QTest::newRow("half transparent") << 0x7F123456u << "2131899478";
    QTest::newRow("transparent black") << 0x00000000u << "0";
}

void TestProfile::colours() {
    QFETCH(uint, argb);
    QFETCH(QString, text);
    QCOMPARE(ini::formatColor(argb), text);
    QCOMPARE(ini::parseColor(text), QRgb(argb));
}

void TestProfile::textIsCutAfter2047Characters() {
    QCOMPARE(ini::formatBool(true), QStringLiteral("1"));
    QCOMPARE(ini::formatBool(false), QStringLiteral("0"));
    const QString exact(2047, u'x');
    QCOMPARE(ini::parseText(exact), exact);
    QCOMPARE(ini::parseText(exact + QStringLiteral("yz")), exact);
    QCOMPARE(ini::parseText(QString()), QString());
}

void TestProfile::valueLookup_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("value");
    QTest::newRow("names ignore case, blanks trimmed") << "Settings"
                                                       << "hourhandsize" << true << "700";
    QTest::newRow("same key in another section") << "OTHER"
                                                 << "HourHandSize" << true << "1";
    QTest::newRow("key before any section") << "Settings"
                                            << "Top" << false << "";
    QTest::newRow("missing section") << "Nope"
                                     << "HourHandSize" << false << "";
    QTest::newRow("missing key") << "Settings"
                                 << "DateSize" << false << "";
    QTest::newRow("quotes keep blanks") << "Settings"
                                        << "Quoted" << true << "  padded  ";
    QTest::newRow("single quotes") << "Settings"
                                   << "Single" << true << "x";
    QTest::newRow("only one pair removed") << "Settings"
                                           << "Twice" << true << "\"twice\"";
    QTest::newRow("mismatched quotes stay") << "Settings"
                                            << "Mismatched" << true << "\"open'";
    QTest::newRow("equals sign in the value") << "Settings"
                                              << "Equation" << true << "a=b";
    QTest::newRow("empty value") << "Settings"
                                 << "Empty" << true << "";
    QTest::newRow("comment") << "Settings"
                             << "Commented" << false << "";
    QTest::newRow("first of two") << "Settings"
                                  << "Dup" << true << "first";
    QTest::newRow("heading with blanks") << "Spaced"
                                         << "K" << true << "v";
}

void TestProfile::valueLookup() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(bool, found);
    QFETCH(QString, value);
    QTemporaryDir dir;
    const QString path = dir.filePath("skin.ini");
    writeBytes(path, "; Horavis skin\n"
                     "Top=before any section\n"
                     "[Other]\n"
                     "HourHandSize=1\n"
                     "[settings]\n"
                     "  HourHandSize  =  700  \n"
                     "Quoted=\"  padded  \"\n"
                     "Single='x'\n"
                     "Twice=\"\"twice\"\"\n"
                     "Mismatched=\"open'\n"
                     "Equation=a=b\n"
                     "Empty=\n"
                     ";Commented=5\n"
                     "Dup=first\n"
                     "Dup=second\n"
                     " [ Spaced ] \n"
                     "K=v");
    const std::optional<QString> read = TProfile::read(path).value(section, key);
    QCOMPARE(read.has_value(), found);
    if (found)
        QCOMPARE(*read, value);
}

void TestProfile::rewriteChangesOnlyWhatWasSet_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("hand-made file") << QByteArray("; made by hand\n"
                                                  "[Other]\n"
                                                  "DateSize=99\n"
                                                  "\n"
                                                  "[Settings]\n"
                                                  "  DateSize = 50\n"
                                                  "message=\"Hi\"\n"
                                                  "ArcColor=-65536\n"
                                                  "\n"
                                                  "; about the next section\n"
                                                  "[Extra]\n"
                                                  "Keep=this  \n")
                                    << QByteArray("; made by hand\n"
                                                  "[Other]\n"
                                                  "DateSize=99\n"
                                                  "\n"
                                                  "[Settings]\n"
                                                  "  DateSize = 62.5\n"
                                                  "message=\"Hi\"\n"
                                                  "ArcColor=-65536\n"
                                                  "TextX=233\n"
                                                  "\n"
                                                  "; about the next section\n"
                                                  "[Extra]\n"
                                                  "Keep=this  \n"
                                                  "[Fresh]\n"
                                                  "Key=v\n");
    QTest::newRow("CR LF, no line end at the end")
        << QByteArray("[SETTINGS]\r\nDateSize=50")
        << QByteArray("[SETTINGS]\r\nDateSize=62.5\r\nMessage=Hi\r\nTextX=233\r\n[Fresh]\r\nKey=v\r\n");
    QTest::newRow("section without keys")
        << QByteArray("[Settings]\n[Next]\nA=1\n")
        << QByteArray("[Settings]\nDateSize=62.5\nMessage=Hi\nTextX=233\n[Next]\nA=1\n[Fresh]\nKey=v\n");
    QTest::newRow("CR only") << QByteArray("[Settings]\rDateSize=50\r")
                             << QByteArray(
                                    "[Settings]\rDateSize=62.5\rMessage=Hi\rTextX=233\r[Fresh]\rKey=v\r");
    QTest::newRow("new file in the order set")
        << QByteArray()
        << QByteArray("[Settings]\r\nDateSize=62.5\r\nMessage=Hi\r\nTextX=233\r\n[Fresh]\r\nKey=v\r\n");
}

void TestProfile::rewriteChangesOnlyWhatWasSet() {
    QFETCH(QByteArray, before);
    QTemporaryDir dir;
    const QString path = dir.filePath("skin.ini");
    writeBytes(path, before);
    TProfile profile = TProfile::read(path);
    profile.setValue(SettingsSection, "DateSize", "62.5");
    profile.setValue(SettingsSection, "Message", "Hi");
    profile.setValue(SettingsSection, "TextX", "233");
    profile.setValue("Fresh", "Key", "v");
    QString error;
    QVERIFY2(profile.write(path, &error), qPrintable(error));
    QTEST(readBytes(path), "after");
}

void TestProfile::valuesReadBackAsSet_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "Countdown ended"
                           << "Countdown ended";
    QTest::newRow("blanks at the ends") << "  padded "
                                        << "  padded ";
    QTest::newRow("own double quotes") << "\"quoted\""
                                       << "\"quoted\"";
    QTest::newRow("own single quotes") << "'single'"
                                       << "'single'";
    QTest::newRow("blank and quote") << " a\""
                                     << " a\"";
    QTest::newRow("equals sign and semicolon") << "a=b;c"
                                               << "a=b;c";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("line feed") << "line\nbreak"
                               << "line break";
    QTest::newRow("CR LF") << "two\r\nlines\r"
                           << "two lines ";
    QTest::newRow("heading inside") << "x\n[Settings]"
                                    << "x [Settings]";
}

void TestProfile::valuesReadBackAsSet() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("skin.ini");
    TProfile profile;
    profile.setValue(SettingsSection, "Message", "old");
    profile.setValue(SettingsSection, "Message", text);
    QCOMPARE(profile.value(SettingsSection, "Message"), expected);
    QVERIFY(profile.write(path));
    QCOMPARE(TProfile::read(path).value(SettingsSection, "Message"), expected);
    QCOMPARE(readBytes(path).count('\n'), 2);
}

void TestProfile::encodingIsKept_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QByteArray>("after");
    const QString text = QStringLiteral("[Settings]\r\nMessage=Grüße € 5\r\n");
    const QString grown = text + QStringLiteral("Added=%1\r\n");
    QTest::newRow("UTF-8") << text.toUtf8() << "ä" << grown.arg("ä").toUtf8();
    QTest::newRow("UTF-8 with mark") << "\xEF\xBB\xBF" + text.toUtf8() << "ä"
                                     << "\xEF\xBB\xBF" + grown.arg("ä").toUtf8();
    QTest::newRow("UTF-16 LE") << utf16(QStringConverter::Utf16LE, "\xFF\xFE", text) << "→"
                               << utf16(QStringConverter::Utf16LE, "\xFF\xFE", grown.arg("→"));
    QTest::newRow("UTF-16 BE") << utf16(QStringConverter::Utf16BE, "\xFE\xFF", text) << "→"
                               << utf16(QStringConverter::Utf16BE, "\xFE\xFF", grown.arg("→"));
    QTest::newRow("Windows-1252") << QByteArray("[Settings]\r\nMessage=Gr\xFC\xDF"
                                                "e \x80 5\r\n")
                                  << "ä"
                                  << QByteArray("[Settings]\r\nMessage=Gr\xFC\xDF"
                                                "e \x80 5\r\nAdded=\xE4\r\n");
    // The lines already there keep their bytes; the new one is UTF-8, and each reads back on its own.
    QTest::newRow("Windows-1252 given a character it lacks")
        << QByteArray("[Settings]\r\nMessage=Gr\xFC\xDF"
                      "e \x80 5\r\n")
        << "→"
        << QByteArray("[Settings]\r\nMessage=Gr\xFC\xDF"
                      "e \x80 5\r\nAdded=\xE2\x86\x92\r\n");
    QTest::newRow("UTF-16 LE without a mark") << utf16(QStringConverter::Utf16LE, "", text) << "→"
                                              << utf16(QStringConverter::Utf16LE, "", grown.arg("→"));
    QTest::newRow("UTF-16 BE without a mark") << utf16(QStringConverter::Utf16BE, "", text) << "→"
                                              << utf16(QStringConverter::Utf16BE, "", grown.arg("→"));
    // One line in the code page (a comment typed on Windows) does not change how the UTF-8 lines read.
    QTest::newRow("UTF-8 with one Windows-1252 line")
        << QByteArray("; edited by J\xFCrgen\r\n[Settings]\r\nMessage=Gr\xC3\xBC\xC3\x9F"
                      "e \xE2\x82\xAC 5\r\n")
        << "Café"
        << QByteArray("; edited by J\xFCrgen\r\n[Settings]\r\nMessage=Gr\xC3\xBC\xC3\x9F"
                      "e \xE2\x82\xAC 5\r\nAdded=Caf\xC3\xA9\r\n");
}

void TestProfile::encodingIsKept() {
    QFETCH(QByteArray, before);
    QFETCH(QString, added);
    QTemporaryDir dir;
    const QString path = dir.filePath("skin.ini");
    writeBytes(path, before);
    TProfile profile = TProfile::read(path);
    QCOMPARE(profile.value(SettingsSection, "Message"), QStringLiteral("Grüße € 5"));
    profile.setValue(SettingsSection, "Added", added);
    QVERIFY(profile.write(path));
    QTEST(readBytes(path), "after");
    QCOMPARE(TProfile::read(path).value(SettingsSection, "Added"), added);
}

void TestProfile::typedValuesThroughAFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("Horavis.ini");
    TProfile profile;
    profile.writeFloat(SettingsSection, "DateSize", 582.7066f);
    profile.writeColor(SettingsSection, "MessageColor", 0xFFDE0707u);
    profile.writeBool(SettingsSection, "Shadow", true);
    profile.writeBool(SettingsSection, "Magenta", false);
    profile.writeInteger(SettingsSection, "TextSize", 48);
    profile.writeText(SettingsSection, "SkinDir", QDir::toNativeSeparators("/horavis/Orvane Companion/"));
    profile.setValue(SettingsSection, "Empty", "");
    profile.setValue(SettingsSection, "Long", QString(3000, u'x'));
    QVERIFY(profile.write(path));

    const QString point = ini::regionalDecimalPoint();
    const QString expected = "[Settings]\r\nDateSize=582" + point +
                             "706604003906\r\nMessageColor=-2226425\r\n" +
                             "Shadow=1\r\nMagenta=0\r\nTextSize=48\r\nSkinDir=" +
                             QDir::toNativeSeparators("/horavis/Orvane Companion/") +
                             "\r\nEmpty=\r\nLong=" + QString(3000, u'x') + "\r\n";
    QCOMPARE(QString::fromUtf8(readBytes(path)), expected);

    const TProfile back = TProfile::read(path);
    QCOMPARE(float(back.readFloat(SettingsSection, "datesize").value_or(0)), 582.7066f);
    QCOMPARE(back.readColor(SettingsSection, "MessageColor"), QRgb(0xFFDE0707u));
    QCOMPARE(back.readBool(SettingsSection, "Shadow"), true);
    QCOMPARE(back.readBool(SettingsSection, "Magenta"), false);
    QCOMPARE(back.readInteger(SettingsSection, "TextSize"), 48);
    QCOMPARE(back.readText(SettingsSection, "Long"), QString(2047, u'x'));
    // An empty value is no number, but it is a text.
    QCOMPARE(back.readFloat(SettingsSection, "Empty"), std::nullopt);
    QCOMPARE(back.readInteger(SettingsSection, "Empty"), std::nullopt);
    QCOMPARE(back.readBool(SettingsSection, "Empty"), std::nullopt);
    QCOMPARE(back.readColor(SettingsSection, "Empty"), std::nullopt);
    QCOMPARE(back.readText(SettingsSection, "Empty"), QString());
    QCOMPARE(back.readText(SettingsSection, "Missing"), std::nullopt);
    QCOMPARE(back.readFloat(SettingsSection, "Missing"), std::nullopt);
    // The wrong kind gives nothing rather than a guess.
    QCOMPARE(back.readInteger(SettingsSection, "DateSize"), std::nullopt);
}

void TestProfile::missingAndUnreadableFiles() {
    QTemporaryDir dir;
    QString error;
    const TProfile missing = TProfile::read(dir.filePath("skin.ini"), &error);
    QVERIFY(error.isEmpty());
    QCOMPARE(missing.value(SettingsSection, "DateSize"), std::nullopt);

    // A folder where the file should be exists but cannot be read as a file.
    QVERIFY(QDir(dir.path()).mkdir("taken.ini"));
    const TProfile unreadable = TProfile::read(dir.filePath("taken.ini"), &error);
    QVERIFY2(error.contains(QDir::toNativeSeparators(dir.filePath("taken.ini"))), qPrintable(error));
    QCOMPARE(unreadable.value(SettingsSection, "DateSize"), std::nullopt);
}

void TestProfile::failedWriteNamesFileAndReason_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("target is a folder") << "folder";
    QTest::newRow("parent is a file") << "plain.txt/skin.ini";
    QTest::newRow("parent missing") << "gone/skin.ini";
}

// These fail for root too, where taking away write permission would not.
void TestProfile::failedWriteNamesFileAndReason() {
    QFETCH(QString, target);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    writeBytes(dir.filePath("plain.txt"), "plain");
    const QString path = dir.filePath(target);

    TProfile profile;
    profile.writeFloat(SettingsSection, "DateSize", 50);
    QString error;
    QVERIFY(!profile.write(path, &error));
    const QString prefix = QStringLiteral("Could not save \"%1\": ").arg(QDir::toNativeSeparators(path));
    QVERIFY2(error.startsWith(prefix) && error.size() > prefix.size() + 3, qPrintable(error));
    QCOMPARE(readBytes(dir.filePath("plain.txt")), QByteArray("plain"));
    QVERIFY(QFileInfo(dir.filePath("folder")).isDir());
}

void TestProfile::failedWriteLeavesTheOldFileIntact_data() {
    QTest::addColumn<int>("length");
    QTest::newRow("small enough for the write buffer") << 2000;
    QTest::newRow("larger than the write buffer") << 100000;
}

void TestProfile::failedWriteLeavesTheOldFileIntact() {
#ifdef Q_OS_LINUX
    QFETCH(int, length);
    QTemporaryDir dir;
    const QString path = dir.filePath("skin.ini");
    const QByteArray old = "; mine\r\n[Settings]\r\nDateSize=50\r\n[Other]\r\nKeep=1\r\n";
    writeBytes(path, old);
    TProfile profile = TProfile::read(path);
    profile.setValue(SettingsSection, "Message", QString(length, u'x'));

    QString error;
    bool written = true;
    {
        const FileSizeLimit limit(700); // fails half-way, like a full disk, and binds root too
        written = profile.write(path, &error);
    }
    QVERIFY(!written);
    QVERIFY2(
        error.startsWith(QStringLiteral("Could not save \"%1\": ").arg(QDir::toNativeSeparators(path))) &&
            !error.contains("Unknown error"),
        qPrintable(error));
    QCOMPARE(readBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"skin.ini"});

    // Without the limit the same profile is saved and keeps the other section.
    QVERIFY2(profile.write(path, &error), qPrintable(error));
    QCOMPARE(TProfile::read(path).value("Other", "Keep"), QStringLiteral("1"));
    QCOMPARE(TProfile::read(path).value(SettingsSection, "Message")->size(), length);
#else
    QSKIP("needs a file size limit");
#endif
}

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_profile.moc"
