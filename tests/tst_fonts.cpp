#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "editor/fontsource.h"
#include "testsupport.h"
#include "toolkit/controls.h"

#include <QCollator>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QtTest>

namespace {

// Reports families the way a system enumeration may: in its own order, a family once per
// character set, names differing only in case.
class FakeFontSource : public TFontSource {
public:
    explicit FakeFontSource(std::vector<TFontFamilyReport> reports) : reports_(std::move(reports)) {}
    void EnumFontFamilies(const Callback& callback) override {
        ++enumerations;
        for (const TFontFamilyReport& report : reports_)
            if (callback(report) == 0)
                return;
    }
    int enumerations = 0;

private:
    std::vector<TFontFamilyReport> reports_;
};

QStringList items(const TComboBox& list) {
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names << list.Item(i).text;
    return names;
}

QRectF onScreen(const TElement& element) {
    return element.LocalToScene().mapRect(element.LocalRect());
}

} // namespace

class TestFonts : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 3, 14, 12, 0, 0); }

    void listRules_data();
    void listRules();
    void noFontsLeavesTheScene();
    void systemFamiliesEachOnceInOrder();
    void editorTitle();
    void fontChoiceGoesToItsTexts();
    void textSize_data();
    void textSize();
    void boldOnAndOff();
    void dateSizeAndRotation();
    void dateStretchWidensTheHandle();
    void defaultResetsOnlyTheStretch();
};

void TestFonts::listRules_data() {
    QTest::addColumn<std::vector<TFontFamilyReport>>("reports");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("once per character set")
        << std::vector<TFontFamilyReport>{{"Zapf", 0, 4}, {"Zapf", 1, 4}, {"Zapf", 128, 4}, {"Arial", 0, 4}}
        << QStringList{"Arial", "Zapf"};
    // The second "arial" does not follow its twin (the list's last name is "Zapf"): the sorted
    // list refuses it, keeping the form met first.
    QTest::newRow("case twins, apart")
        << std::vector<TFontFamilyReport>{{"arial", 1, 4}, {"Zapf", 1, 4}, {"ARIAL", 1, 4}, {"Arial", 0, 1}}
        << QStringList{"arial", "Zapf"};
    QTest::newRow("case twins, in a row")
        << std::vector<TFontFamilyReport>{{"Courier New", 0, 4}, {"COURIER NEW", 0, 4}, {"courier new", 1, 2}}
        << QStringList{"Courier New"};
    QTest::newRow("order ignores case")
        << std::vector<TFontFamilyReport>{{"b", 1, 4}, {"C", 1, 4}, {"a", 1, 4}, {"B2", 1, 4}, {"A1", 1, 4}}
        << QStringList{"a", "A1", "b", "B2", "C"};
    QTest::newRow("vertical forms kept") << std::vector<TFontFamilyReport>{{"MS Gothic", 128, 4},
                                                                           {"@MS Gothic", 128, 4},
                                                                           {"Tahoma", 0, 4},
                                                                           {"@MS Gothic", 1, 4}}
                                         << QStringList{"@MS Gothic", "MS Gothic", "Tahoma"};
    // Qt names a family several foundries supply with the foundry in brackets: listed, put on the
    // texts and so stored in a skin as the family alone.
    QTest::newRow("foundries dropped") << std::vector<TFontFamilyReport>{{"Nimbus Sans [urw]", 1, 4},
                                                                         {"C059 [UKWN]", 1, 4},
                                                                         {"C059 [urw]", 1, 4}}
                                       << QStringList{"C059", "Nimbus Sans"};
}

void TestFonts::listRules() {
    QFETCH(std::vector<TFontFamilyReport>, reports);
    QFETCH(QStringList, expected);
    FakeFontSource source(reports);
    const TFontSourceOverride installed(source);
    TForm1 form;
    QCOMPARE(source.enumerations, 1);
    QCOMPARE(items(*form.editor().ComboBox1), expected);
    QCOMPARE(items(*form.editor().ComboBox2), expected);
    QCOMPARE(form.editor().ComboBox1->ItemIndex(), 0);
    QCOMPARE(form.editor().ComboBox2->ItemIndex(), 0);
    // Selecting the first item puts the first family on all three texts.
    QCOMPARE(form.DateOut->FontFamily(), expected.first());
    QCOMPARE(form.DaInitMessage->FontFamily(), expected.first());
    QCOMPARE(form.DaMessage->FontFamily(), expected.first());
}

void TestFonts::noFontsLeavesTheScene() {
    FakeFontSource source({});
    const TFontSourceOverride installed(source);
    TForm1 form;
    QCOMPARE(form.editor().ComboBox1->Count(), 0);
    QCOMPARE(form.editor().ComboBox2->ItemIndex(), -1);
    QCOMPARE(form.DateOut->FontFamily(), QStringLiteral("Emilys Candy"));
    QCOMPARE(form.DaMessage->FontFamily(), QStringLiteral("Calibri"));
    QCOMPARE(form.DaInitMessage->FontFamily(), QStringLiteral("Calibri"));
}

// The real source: every installed family, once, ascending without regard to case.
void TestFonts::systemFamiliesEachOnceInOrder() {
    TForm1 form;
    const QStringList listed = items(*form.editor().ComboBox1);
    QCOMPARE(items(*form.editor().ComboBox2), listed);
    QVERIFY(!listed.isEmpty());
    QCollator order;
    order.setCaseSensitivity(Qt::CaseInsensitive);
    for (int i = 1; i < listed.size(); ++i)
        QVERIFY2(order.compare(listed[i - 1], listed[i]) < 0, qPrintable(listed[i - 1] + " / " + listed[i]));
    for (const QString& family : QFontDatabase::families())
        if (!QFontDatabase::isPrivateFamily(family))
            QVERIFY2(listed.contains(familyWithoutFoundry(family), Qt::CaseInsensitive), qPrintable(family));
    QCOMPARE(form.DateOut->FontFamily(), listed.first());
}

void TestFonts::editorTitle() {
    TForm1 form;
    QCOMPARE(form.editor().windowTitle(), QGuiApplication::applicationName() + "- Skin properties");
}

void TestFonts::fontChoiceGoesToItsTexts() {
    FakeFontSource source({{"Alpha", 1, 4}, {"Beta", 1, 4}, {"Gamma", 1, 4}});
    const TFontSourceOverride installed(source);
    TForm1 form;
    TForm2& e = form.editor();
    e.ComboBox1->setItemIndex(2);
    QCOMPARE(form.DateOut->FontFamily(), QStringLiteral("Gamma"));
    QCOMPARE(form.DaMessage->FontFamily(), QStringLiteral("Alpha"));
    e.ComboBox2->setItemIndex(1);
    QCOMPARE(form.DaInitMessage->FontFamily(), QStringLiteral("Beta"));
    QCOMPARE(form.DaMessage->FontFamily(), QStringLiteral("Beta"));
    QCOMPARE(form.DateOut->FontFamily(), QStringLiteral("Gamma"));
}

void TestFonts::textSize_data() {
    QTest::addColumn<float>("size");
    QTest::addColumn<double>("upper");
    QTest::newRow("48") << 48.0f << 38.0;
    QTest::newRow("21") << 21.0f << 17.0;
    QTest::newRow("100") << 100.0f << 80.0;
    QTest::newRow("16.5 goes down to even") << 20.625f << 16.0;
    QTest::newRow("17.5 goes up to even") << 21.875f << 18.0;
}

void TestFonts::textSize() {
    QFETCH(float, size);
    QFETCH(double, upper);
    TForm1 form;
    form.editor().TrackbarTextSize->setValue(size);
    QCOMPARE(form.DaMessage->FontSize(), double(size));
    QCOMPARE(form.DaInitMessage->FontSize(), upper);
    QCOMPARE(form.DateOut->FontSize(), double(form.editor().TrackbarDateSize->Value()));
}

void TestFonts::boldOnAndOff() {
    TForm1 form;
    TCheckBox& bold = *form.editor().CheckBox9;
    QCOMPARE(bold.text(), QStringLiteral("Bold font"));
    QVERIFY(!bold.IsChecked());
    bold.setIsChecked(true);
    QVERIFY(form.DaMessage->Bold());
    QVERIFY(form.DaInitMessage->Bold());
    QVERIFY(!form.DateOut->Bold());
    bold.setIsChecked(false);
    QVERIFY(!form.DaMessage->Bold());
    QVERIFY(!form.DaInitMessage->Bold());
}

void TestFonts::dateSizeAndRotation() {
    TForm1 form;
    TForm2& e = form.editor();
    QCOMPARE(e.TrackbarDateSize->Value(), 40.0f);
    e.TrackbarDateSize->setValue(72.5f);
    QCOMPARE(form.DateOut->FontSize(), 72.5);
    e.TrackbarDateSize->setValue(5);
    QCOMPARE(form.DateOut->FontSize(), 20.0);
    e.TrackbarDateRotation->setValue(-150);
    QCOMPARE(form.DateOut->RotationAngle(), -150.0f);
    QCOMPARE(form.DateMover->RotationAngle(), 0.0f);
    e.TrackbarDateRotation->setValue(500);
    QCOMPARE(form.DateOut->RotationAngle(), 200.0f);
}

void TestFonts::dateStretchWidensTheHandle() {
    TForm1 form;
    const QRectF handleBefore = onScreen(*form.DateMover);
    const QPointF dateScaleBefore = form.DateOut->Scale();
    form.editor().TrackbarDateScale->setValue(4);
    QCOMPARE(form.DateOut->Scale(), QPointF(4, dateScaleBefore.y()));
    QCOMPARE(form.DateMover->Scale().x(), 4.0);
    const QRectF handleAfter = onScreen(*form.DateMover);
    QCOMPARE(handleAfter.width(), 4 * handleBefore.width());
    QCOMPARE(handleAfter.height(), handleBefore.height());
}

void TestFonts::defaultResetsOnlyTheStretch() {
    TForm1 form;
    TForm2& e = form.editor();
    QCOMPARE(e.Button6->Text(), QStringLiteral("Default"));
    // At 1 already the button runs nothing: a scale set behind the bar's back survives.
    form.DateOut->setScale({2, 1});
    e.Button6->Click();
    QCOMPARE(form.DateOut->Scale().x(), 2.0);

    e.TrackbarDateScale->setValue(3);
    e.TrackbarDateSize->setValue(60);
    e.TrackbarDateRotation->setValue(30);
    e.Button6->Click();
    QCOMPARE(e.TrackbarDateScale->Value(), 1.0f);
    QCOMPARE(form.DateOut->Scale().x(), 1.0);
    QCOMPARE(form.DateMover->Scale().x(), 1.0);
    QCOMPARE(form.DateOut->FontSize(), 60.0);
    QCOMPARE(form.DateOut->RotationAngle(), 30.0f);
}

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
