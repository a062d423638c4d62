#include "components/brkapart.h"

#include <QtTest>

class TestBrkApart : public QObject {
    Q_OBJECT
private slots:
    void breakApart_data();
    void breakApart();
    void reverseBreakApart_data();
    void reverseBreakApart();
    void roundTripKeepsTheTextWhenEmptyPiecesCount();
    void newComponentIsEmpty();
};

void TestBrkApart::breakApart_data() {
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allowEmpty");
    QTest::addColumn<QStringList>("pieces");
    const struct {
        const char* text;
        QStringList withoutEmpty;
        QStringList withEmpty;
    } rows[] = {
        {"a;b;c", {"a", "b", "c"}, {"a", "b", "c"}},
        {"a;;b", {"a", "b"}, {"a", "", "b"}},
        {"a;b;", {"a", "b"}, {"a", "b", ""}},
        {";a", {"a"}, {"", "a"}},
        {"abc", {"abc"}, {"abc"}},
        {"", {}, {""}},
        {";", {}, {"", ""}},
    };
    for (const auto& row : rows) {
        QTest::addRow("'%s' without empty", row.text) << ";" << row.text << false << row.withoutEmpty;
        QTest::addRow("'%s' with empty", row.text) << ";" << row.text << true << row.withEmpty;
    }
    QTest::newRow("two-character separator") << "::"
                                             << "a::b:c" << false << QStringList{"a", "b:c"};
    QTest::newRow("empty separator") << ""
                                     << "a;b c" << false << QStringList{"a;b c"};
    QTest::newRow("case matters") << "X"
                                  << "axbXc" << false << QStringList{"axb", "c"};
    QTest::newRow("pieces keep their spaces") << ";"
                                              << " a ; b" << false << QStringList{" a ", " b"};
}

void TestBrkApart::breakApart() {
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QFETCH(bool, allowEmpty);
    TBrkApart splitter;
    splitter.setStringList({"left over"});
    splitter.setBreakString(separator);
    splitter.setBaseString(text);
    splitter.setAllowEmptyString(allowEmpty);
    splitter.BreakApart();
    QTEST(splitter.StringList(), "pieces");
    QCOMPARE(splitter.BaseString(), text);
}

void TestBrkApart::reverseBreakApart_data() {
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<bool>("allowEmpty");
    QTest::addColumn<QString>("text");
    QTest::newRow("first item always counts") << QStringList{"", "x"} << false << ";x";
    QTest::newRow("empty items add no separator") << QStringList{"x", "", "y"} << false << "x;y";
    QTest::newRow("empty items kept") << QStringList{"x", "", "y"} << true << "x;;y";
    QTest::newRow("no items") << QStringList{} << true << "";
}

void TestBrkApart::reverseBreakApart() {
    QFETCH(QStringList, items);
    QFETCH(bool, allowEmpty);
    TBrkApart splitter;
    splitter.setBaseString("stale");
    splitter.setBreakString(";");
    splitter.setAllowEmptyString(allowEmpty);
    splitter.setStringList(items);
    splitter.ReverseBreakApart();
    QTEST(splitter.BaseString(), "text");
}

void TestBrkApart::roundTripKeepsTheTextWhenEmptyPiecesCount() {
    TBrkApart splitter;
    splitter.setBreakString("--");
    splitter.setAllowEmptyString(true);
    for (const QString text : {"--a----b--", "", "x", "----"}) {
        splitter.setBaseString(text);
        splitter.BreakApart();
        splitter.setBaseString("changed");
        splitter.ReverseBreakApart();
        QCOMPARE(splitter.BaseString(), text);
    }
}

void TestBrkApart::newComponentIsEmpty() {
    TObject owner(QStringLiteral("Form1"));
    TBrkApart splitter(&owner, QStringLiteral("BrkApart1"));
    QCOMPARE(splitter.Owner(), &owner);
    QCOMPARE(splitter.Name(), QStringLiteral("BrkApart1"));
    QVERIFY(splitter.BaseString().isEmpty() && splitter.BreakString().isEmpty());
    QVERIFY(!splitter.AllowEmptyString());
    QVERIFY(splitter.StringList().isEmpty());
}

QTEST_MAIN(TestBrkApart)
#include "tst_brkapart.moc"
