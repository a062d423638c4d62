#include "app/Unit1.h"
#include "testsupport.h"
#include "toolkit/controls.h"
#include "toolkit/textfile.h"

#include <QLabel>
#include <QStringEncoder>
#include <QtTest>

class TestMessages : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 5, 4, 18, 0); }
    void linesBecomeEntries_data();
    void linesBecomeEntries();
    void startUpSelectsTheThirdEntry();
    void encodingsAndLineEnds_data();
    void encodingsAndLineEnds();
    void fileNameCaseDoesNotMatter();
    void missingOrUnreadableFileLeavesThePickerEmpty();
    void typingSetsTheMessageLine();
    void rotation_data();
    void rotation();
    void intervalChangeWhileRunning();
    void oneRotationAtATime();
};

namespace {
void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QString messagesPath(const QTemporaryDir& dir) {
    return dir.filePath("HoravisStandardMessages.txt");
}

QList<TListItem> entries(const TForm1& form) {
    QList<TListItem> items;
    for (int i = 0; i < form.ComboBox1->Count(); ++i)
        items << form.ComboBox1->Item(i);
    return items;
}

QByteArray fiveMessages() {
    return "One;1\nTwo;2\nThree;3\nFour;4\nFive;5\n";
}
} // namespace

void TestMessages::linesBecomeEntries_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("detail");
    QTest::newRow("text and detail") << "Coffee break;Back in 10 minutes"
                                     << "Coffee break"
                                     << "Back in 10 minutes";
    QTest::newRow("extra field ignored") << "Starts in;Stream;extra"
                                         << "Starts in"
                                         << "Stream";
    QTest::newRow("empty field dropped") << "Starts in;;Stream"
                                         << "Starts in"
                                         << "Stream";
    // A line without a detail is its text; one without a text keeps its place with an empty one.
    QTest::newRow("no separator") << "Starts in"
                                  << "Starts in"
                                  << "";
    QTest::newRow("nothing after") << "Starts in;"
                                   << "Starts in"
                                   << "";
    QTest::newRow("nothing before") << ";Stream"
                                    << ""
                                    << "Stream";
    QTest::newRow("empty line") << ""
                                << ""
                                << "";
    QTest::newRow("spaces kept") << " Back ; soon "
                                 << " Back "
                                 << " soon ";
}

void TestMessages::linesBecomeEntries() {
    QFETCH(QString, line);
    QTemporaryDir dir;
    writeFile(messagesPath(dir), "First;x\n" + line.toUtf8() + "\nLast;y\n");
    TForm1 form(dir.path());
    QCOMPARE(form.ComboBox1->Count(), 3);
    const TListItem entry = form.ComboBox1->Item(1);
    QTEST(entry.text, "text");
    QTEST(entry.detail, "detail");
    QCOMPARE(form.ComboBox1->Item(2).text, QStringLiteral("Last"));
}

void TestMessages::startUpSelectsTheThirdEntry() {
    QTemporaryDir dir;
    writeFile(messagesPath(dir), "Starting soon;Intro\nBe right back;Pause\nJust chatting;Talk\nGoodbye;End");
    TForm1 form(dir.path());
    QCOMPARE(form.ComboBox1->Count(), 4);
    QCOMPARE(form.ComboBox1->ItemIndex(), 2);
    QCOMPARE(form.Edit1->Text(), QStringLiteral("Just chatting"));
    QCOMPARE(form.StartMessage, QStringLiteral("Just chatting"));
    QCOMPARE(form.ListBox1.size(), 4);
    form.UhrzeitTimerTimer(nullptr);
    QCOMPARE(form.DaInitMessage->Text(), QStringLiteral("Just chatting"));
}

void TestMessages::encodingsAndLineEnds_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QString text = QString::fromUtf8("Café;Übertragung läuft\nПауза;скоро\n€uro;fin");
    // Into a byte array at once: the encoder's result only refers to the text it was given.
    const auto encoded = [&](QStringConverter::Encoding encoding, const QString& lineEnd) -> QByteArray {
        const QString withEnds = text.split(u'\n').join(lineEnd);
        return QStringEncoder(encoding, QStringConverter::Flag::WriteBom).encode(withEnds);
    };
    for (const auto& [name, end] :
         {std::pair{"CR LF", "\r\n"}, std::pair{"LF", "\n"}, std::pair{"CR", "\r"}}) {
        QTest::addRow("UTF-8 with mark, %s", name) << QByteArray(encoded(QStringConverter::Utf8, end));
        QTest::addRow("UTF-16 LE, %s", name) << QByteArray(encoded(QStringConverter::Utf16LE, end));
        QTest::addRow("UTF-16 BE, %s", name) << QByteArray(encoded(QStringConverter::Utf16BE, end));
    }
    QByteArray plainUtf8 = text.toUtf8() + "\r\n";
    QTest::newRow("UTF-8 without mark, final line end") << plainUtf8;
}

void TestMessages::encodingsAndLineEnds() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    writeFile(messagesPath(dir), bytes);
    TForm1 form(dir.path());
    const QList<TListItem> items = entries(form);
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0].text, QString::fromUtf8("Café"));
    QCOMPARE(items[0].detail, QString::fromUtf8("Übertragung läuft"));
    QCOMPARE(items[1].text, QString::fromUtf8("Пауза"));
    QCOMPARE(items[2].text, QString::fromUtf8("€uro"));
    QCOMPARE(items[2].detail, QStringLiteral("fin"));
}

void TestMessages::fileNameCaseDoesNotMatter() {
    QTemporaryDir dir;
    // Windows-1252 without a mark, as Notepad saved it: é is E9, the euro sign 80.
    writeFile(dir.filePath("HoravisStandardMessages.Txt"), "Caf\xE9;Pause\r\n\x80 5;Preis\r\nLast;x");
    TForm1 form(dir.path());
    const QList<TListItem> items = entries(form);
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0].text, QString::fromUtf8("Café"));
    QCOMPARE(items[1].text, QString::fromUtf8("€ 5"));
}

void TestMessages::missingOrUnreadableFileLeavesThePickerEmpty() {
    QTemporaryDir empty;
    TForm1 withoutFile(empty.path());
    QCOMPARE(withoutFile.ComboBox1->Count(), 0);
    QCOMPARE(withoutFile.StartMessage, QString());

    // A folder in the file's place cannot be read as text.
    QTemporaryDir blocked;
    QVERIFY(QDir(blocked.path()).mkdir("HoravisStandardMessages.txt"));
    TForm1 unreadable(blocked.path());
    QCOMPARE(unreadable.ComboBox1->Count(), 0);
    QVERIFY(!readTextLines(blocked.filePath("HoravisStandardMessages.txt"), 1024));
}

void TestMessages::typingSetsTheMessageLine() {
    QTemporaryDir dir;
    TForm1 form(dir.path());
    form.Button2->Click();
    form.Edit1->setText("Raid incoming");
    QCOMPARE(form.StartMessage, QStringLiteral("Raid incoming"));
    advance(50);
    QCOMPARE(form.DaInitMessage->Text(), QStringLiteral("Raid incoming"));

    // The end message waits for the end; typing it stores Edit1's text again, nothing else.
    form.Finish_Message->setText("See you tomorrow");
    QCOMPARE(form.StartMessage, QStringLiteral("Raid incoming"));
    advance(50);
    QCOMPARE(form.DaInitMessage->Text(), QStringLiteral("Raid incoming"));
    form.DateEdit1.setDate(form.DateEdit1.Date().addDays(-1));
    advance(50);
    QCOMPARE(form.DaInitMessage->Text(), QStringLiteral("See you tomorrow"));
}

void TestMessages::rotation_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("even");
    QTest::addColumn<QStringList>("shown");
    const QString before = "typed";
    QTest::newRow("five, odd") << fiveMessages() << false
                               << QStringList{"One", "Three", "Five", "One", "Three", "Five", "One"};
    QTest::newRow("five, even") << fiveMessages() << true << QStringList{"Two", "Four", "Two", "Four", "Two"};
    QTest::newRow("one, odd") << QByteArray("Only;x") << false << QStringList{"Only", "Only", "Only"};
    QTest::newRow("one, even") << QByteArray("Only;x") << true << QStringList{before, before, before};
    QTest::newRow("empty picker, odd") << QByteArray() << false << QStringList{before, before};
}

void TestMessages::rotation() {
    QFETCH(QByteArray, file);
    QFETCH(bool, even);
    QFETCH(QStringList, shown);
    QTemporaryDir dir;
    if (!file.isEmpty())
        writeFile(messagesPath(dir), file);
    TForm1 form(dir.path());
    form.Edit1->setText("typed");
    TButton* button = even ? form.Button10 : form.Button9;
    button->Click();
    QCOMPARE(button->Text(), QStringLiteral("active"));
    advance(4950);
    QCOMPARE(form.Edit1->Text(), QStringLiteral("typed")); // the first message comes one interval later
    QStringList seen;
    for (int i = 0; i < shown.size(); ++i) {
        advance(i == 0 ? 50 : 5000);
        seen << form.Edit1->Text();
    }
    QCOMPARE(seen, shown);
    QVERIFY(form.LanguageTimer_Start.Enabled());
    // The picker's choice stays where it was.
    QCOMPARE(form.ComboBox1->ItemIndex(),
             form.ComboBox1->Count() > 2 ? 2 : (form.ComboBox1->Count() ? 0 : -1));
}

void TestMessages::intervalChangeWhileRunning() {
    QTemporaryDir dir;
    writeFile(messagesPath(dir), fiveMessages());
    TForm1 form(dir.path());
    form.Button9->Click();
    advance(5000);
    QCOMPARE(form.Edit1->Text(), QStringLiteral("One"));
    form.TrackBar6->setValue(2);
    QCOMPARE(form.Label12->text(), QStringLiteral("Interval 2 sec"));
    QCOMPARE(form.LanguageTimer_Start.Interval(), 2000);
    advance(2000);
    QCOMPARE(form.Edit1->Text(), QStringLiteral("Three"));
    advance(2000);
    QCOMPARE(form.Edit1->Text(), QStringLiteral("Five"));
    form.TrackBar6->setValue(9.7f);
    QCOMPARE(form.Label12->text(), QStringLiteral("Interval 10 sec"));
}

void TestMessages::oneRotationAtATime() {
    QTemporaryDir dir;
    writeFile(messagesPath(dir), fiveMessages());
    TForm1 form(dir.path());
    form.Button9->Click();
    QVERIFY(!form.Button10->isEnabled());
    form.Button10->Click(); // a disabled button ignores the click
    QCOMPARE(form.Button10->Text(), QStringLiteral("Loop even msgs"));
    advance(5000);
    QCOMPARE(form.Edit1->Text(), QStringLiteral("One"));

    form.Button9->Click();
    QCOMPARE(form.Button9->Text(), QStringLiteral("Loop odd msgs"));
    QVERIFY(form.Button10->isEnabled());
    QVERIFY(!form.LanguageTimer_Start.Enabled());
    advance(20000);
    QCOMPARE(form.Edit1->Text(), QStringLiteral("One"));

    // Starting again begins at the first message of the chosen half.
    form.Button10->Click();
    QVERIFY(!form.Button9->isEnabled());
    advance(5000);
    QCOMPARE(form.Edit1->Text(), QStringLiteral("Two"));
}

QTEST_MAIN(TestMessages)
#include "tst_messages.moc"
