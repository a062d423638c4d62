#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "recordingdialogs.h"
#include "testsupport.h"
#include "toolkit/colorpanel.h"
#include "toolkit/controls.h"
#include "toolkit/strtoint.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QtTest>

// One colour group of the editor and what its colour paints.
struct Group {
    TColorPanel* panel;
    TEdit* red;
    TEdit* green;
    TEdit* blue;
    TButton* setRgb;
    TButton* copy;
    TButton* paste;
    std::function<std::vector<QRgb>()> targets;
};

Q_DECLARE_METATYPE(std::function<Group(TForm1&)>)

namespace {

Group textGroup(TForm1& f) {
    TForm2& e = f.editor();
    return {
        e.TextColorPanel, e.Edit4, e.Edit5, e.Edit6, e.Button1, e.Button7, e.Button9, [&f] {
            return std::vector<QRgb>{f.DaMessage->FontColor().rgba(), f.DaInitMessage->FontColor().rgba()};
        }};
}

Group arcGroup(TForm1& f) {
    TForm2& e = f.editor();
    return {e.ArcColorPanel, e.Edit1,
            e.Edit2,         e.Edit3,
            e.Button2,       e.Button10,
            e.Button11,      [&f] { return std::vector<QRgb>{f.AdjusterArc->StrokeColor().rgba()}; }};
}

Group dateGroup(TForm1& f) {
    TForm2& e = f.editor();
    return {e.FontcolorPanel, e.Edit7,
            e.Edit8,          e.Edit9,
            e.Button8,        e.Button12,
            e.Button13,       [&f] { return std::vector<QRgb>{f.DateOut->FontColor().rgba()}; }};
}

QStringList fieldTexts(const Group& g) {
    return {g.red->Text(), g.green->Text(), g.blue->Text()};
}

void setFields(const Group& g, const QString& r, const QString& gr, const QString& b) {
    g.red->setText(r);
    g.green->setText(gr);
    g.blue->setText(b);
}

void press(QWidget& widget, QPoint at, QEvent::Type type = QEvent::MouseButtonPress) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

} // namespace

class TestColours : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 3, 14, 12, 0, 0); }

    void strToInt_data();
    void strToInt();

    void panelKeepsACodeColourExactly_data();
    void panelKeepsACodeColourExactly();
    void panelDragsSquareHueAndAlpha();
    void panelKeepsTheHueThroughGrey();

    void startValues_data() { groups(); }
    void startValues();
    void pickerChangeShowsChannelsAndPaintsTarget_data() { groups(); }
    void pickerChangeShowsChannelsAndPaintsTarget();
    void setRgbUsesItsOwnFields_data() { groups(); }
    void setRgbUsesItsOwnFields();
    void setRgbValues_data();
    void setRgbValues();
    void setRgbNamesFirstBadField_data();
    void setRgbNamesFirstBadField();
    void copyInArcPasteInDate();
    void copyPasteEveryGroup_data() { groups(); }
    void copyPasteEveryGroup();
    void pasteTable_data();
    void pasteTable();

private:
    static void groups();
};

void TestColours::groups() {
    QTest::addColumn<std::function<Group(TForm1&)>>("group");
    QTest::newRow("text") << std::function<Group(TForm1&)>(textGroup);
    QTest::newRow("arc") << std::function<Group(TForm1&)>(arcGroup);
    QTest::newRow("date") << std::function<Group(TForm1&)>(dateGroup);
}

void TestColours::strToInt_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("decimal") << "255" << true << 255;
    QTest::newRow("leading zeros") << "007" << true << 7;
    QTest::newRow("minus") << "-1" << true << -1;
    QTest::newRow("plus") << "+76" << true << 76;
    QTest::newRow("dollar hex") << "$FF" << true << 255;
    QTest::newRow("0x hex") << "0x1f" << true << 31;
    QTest::newRow("0X hex") << "0X1F" << true << 31;
    QTest::newRow("negative hex") << "-$10" << true << -16;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << true << int(-2147483648LL);
    QTest::newRow("hex wraps") << "$FFFFFFFF" << true << -1;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("digits then letter") << "12a" << false << 0;
    QTest::newRow("fraction") << "1.5" << false << 0;
    QTest::newRow("leading blanks") << "  12" << true << 12;
    QTest::newRow("leading tab") << "\t-3" << true << -3;
    QTest::newRow("blank only") << " " << false << 0;
    QTest::newRow("trailing blank") << "1 " << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("prefix only") << "$" << false << 0;
    QTest::newRow("0x only") << "0x" << false << 0;
    QTest::newRow("sign after prefix") << "0x-1" << false << 0;
    QTest::newRow("hex digit in decimal") << "1F" << false << 0;
    QTest::newRow("too large") << "2147483648" << false << 0;
    QTest::newRow("hex too large") << "$100000000" << false << 0;
    QTest::newRow("other digits") << QString::fromUtf8("\xd9\xa3") << false << 0; // Arabic-Indic three
}

void TestColours::strToInt() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    QCOMPARE(TryStrToInt(text).has_value(), valid);
    if (valid) {
        QCOMPARE(*TryStrToInt(text), value);
        QCOMPARE(StrToInt(text), value);
        return;
    }
    try {
        StrToInt(text);
        QFAIL("no error");
    } catch (const EConvertError& error) {
        QCOMPARE(error.Message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
}

void TestColours::panelKeepsACodeColourExactly_data() {
    QTest::addColumn<uint>("color");
    QTest::newRow("start colour") << 0xFFDE0707u;
    QTest::newRow("translucent") << 0x80123456u;
    QTest::newRow("near grey") << 0xFF7F8080u;
    QTest::newRow("transparent black") << 0x00000000u;
}

// HSL with 8-bit channels does not survive a round trip; the panel must not make one.
void TestColours::panelKeepsACodeColourExactly() {
    QFETCH(uint, color);
    TColorPanel panel(nullptr, "panel", 0xFFFFFFFF);
    int changes = 0;
    panel.OnChange = [&](TObject*) { ++changes; };
    panel.setColor(color);
    QCOMPARE(panel.Color(), QRgb(color));
    QCOMPARE(changes, 1);
    panel.setColor(color);
    QCOMPARE(changes, 1);
}

void TestColours::panelDragsSquareHueAndAlpha() {
    TColorPanel panel(nullptr, "panel", 0xFFFF0000);
    // Areas 151 pixels tall: half way and a third of the way fall on whole pixels.
    panel.resize(260, 157);
    std::vector<QRgb> seen;
    panel.OnChange = [&](TObject*) { seen.push_back(panel.Color()); };
    const QRect square = panel.squareArea();
    const QRect hue = panel.hueArea();
    const QRect alpha = panel.alphaArea();

    // Right edge, half way down: full saturation at luminance 0.5 is the pure hue, unchanged.
    const QPoint pureHue(square.right(), square.top() + (square.height() - 1) / 2);
    press(panel, pureHue);
    press(panel, pureHue, QEvent::MouseButtonRelease);
    QCOMPARE(panel.Color(), QRgb(0xFFFF0000));
    QVERIFY(seen.empty());

    // Dragging down the square darkens towards black; past the edge it stays black.
    press(panel, pureHue);
    press(panel, {square.right(), square.bottom() + 40}, QEvent::MouseMove);
    press(panel, {square.right(), square.bottom() + 40}, QEvent::MouseButtonRelease);
    QCOMPARE(panel.Color(), QRgb(0xFF000000));
    QCOMPARE(seen.size(), size_t(1));

    // The top left corner is white whatever the hue.
    press(panel, square.topLeft());
    QCOMPARE(panel.Color(), QRgb(0xFFFFFFFF));
    press(panel, square.topLeft(), QEvent::MouseButtonRelease);

    // Back to the pure hue, then a third of the way down the hue bar: green.
    press(panel, pureHue);
    press(panel, pureHue, QEvent::MouseButtonRelease);
    press(panel, {hue.center().x(), hue.top() + (hue.height() - 1) / 3});
    press(panel, {hue.center().x(), hue.top() + (hue.height() - 1) / 3}, QEvent::MouseButtonRelease);
    QCOMPARE(panel.Color(), QRgb(0xFF00FF00));
    QCOMPARE(panel.Hue(), 1.0 / 3);

    // The alpha bar touches only the alpha: half way is about 128, the bottom transparent.
    panel.setColor(0xFFDE0707);
    seen.clear();
    press(panel, {alpha.center().x(), alpha.top() + (alpha.height() - 1) / 2});
    QCOMPARE(panel.Color(), QRgb(0x80DE0707));
    press(panel, {alpha.center().x(), alpha.bottom() + 30}, QEvent::MouseMove);
    press(panel, {alpha.center().x(), alpha.bottom() + 30}, QEvent::MouseButtonRelease);
    QCOMPARE(panel.Color(), QRgb(0x00DE0707));
    QCOMPARE(seen.size(), size_t(2));

    // A move without a held button drags nothing.
    const QRgb before = panel.Color();
    QMouseEvent hover(QEvent::MouseMove, QPointF(square.center()),
                      panel.mapToGlobal(QPointF(square.center())), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&panel, &hover);
    QCOMPARE(panel.Color(), before);
}

// A grey has no hue: the hue bar stays where it was, and the square paints that hue again.
void TestColours::panelKeepsTheHueThroughGrey() {
    TColorPanel panel(nullptr, "panel", 0xFF00FF00);
    panel.resize(260, 157);
    QCOMPARE(panel.Hue(), 1.0 / 3);
    panel.setColor(0xFF808080);
    QCOMPARE(panel.Hue(), 1.0 / 3);
    QCOMPARE(panel.Saturation(), 0.0);
    panel.setColor(0xFFFFFFFF);
    const QRect square = panel.squareArea();
    press(panel, {square.right(), square.top() + (square.height() - 1) / 2});
    QCOMPARE(panel.Color(), QRgb(0xFF00FF00));
}

void TestColours::startValues() {
    QFETCH(std::function<Group(TForm1&)>, group);
    TForm1 form;
    const Group g = group(form);
    QCOMPARE(g.panel->Color(), QRgb(0xFFDE0707));
    // The fields show the picker's colour from the start, as after any change of it.
    QCOMPARE(fieldTexts(g), QStringList({"222", "7", "7"}));
    QCOMPARE(g.setRgb->Text(), QStringLiteral("Set RGB"));
    QCOMPARE(g.copy->Text(), QStringLiteral("Copy color"));
    QCOMPARE(g.paste->Text(), QStringLiteral("Paste color"));
    QCOMPARE(form.editor().BrkApartColor.AllowEmptyString(), false);
}

void TestColours::pickerChangeShowsChannelsAndPaintsTarget() {
    QFETCH(std::function<Group(TForm1&)>, group);
    TForm1 form;
    const Group g = group(form);
    g.panel->setColor(0x80112233);
    QCOMPARE(fieldTexts(g), QStringList({"17", "34", "51"}));
    for (const QRgb target : g.targets())
        QCOMPARE(target, QRgb(0x80112233));
    g.panel->setColor(0xFF0A00FF);
    QCOMPARE(fieldTexts(g), QStringList({"10", "0", "255"}));
}

void TestColours::setRgbUsesItsOwnFields() {
    QFETCH(std::function<Group(TForm1&)>, group);
    TForm1 form;
    const Group g = group(form);
    const std::vector<Group> all = {textGroup(form), arcGroup(form), dateGroup(form)};
    setFields(g, "1", "2", "3");
    g.setRgb->Click();
    QCOMPARE(g.panel->Color(), QRgb(0xFF010203));
    for (const QRgb target : g.targets())
        QCOMPARE(target, QRgb(0xFF010203));
    for (const Group& other : all)
        if (other.panel != g.panel)
            QCOMPARE(other.panel->Color(), QRgb(0xFFDE0707));
}

void TestColours::setRgbValues_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<uint>("before");
    QTest::addColumn<uint>("color");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("start texts") << QStringList{"255", "0", "76"} << 0xFFDE0707u << 0xFFFF004Cu
                                 << QStringList{"255", "0", "76"};
    QTest::newRow("300 keeps 44") << QStringList{"300", "0", "0"} << 0xFFDE0707u << 0xFF2C0000u
                                  << QStringList{"44", "0", "0"};
    QTest::newRow("256 gives 0, -1 gives 255")
        << QStringList{"256", "-1", "-1"} << 0xFFDE0707u << 0xFF00FFFFu << QStringList{"0", "255", "255"};
    QTest::newRow("hexadecimal") << QStringList{"$7F", "0x10", "0XA"} << 0xFFDE0707u << 0xFF7F100Au
                                 << QStringList{"127", "16", "10"};
    QTest::newRow("opaque again") << QStringList{"255", "0", "76"} << 0x40FF004Cu << 0xFFFF004Cu
                                  << QStringList{"255", "0", "76"};
}

void TestColours::setRgbValues() {
    QFETCH(QStringList, fields);
    QFETCH(uint, before);
    QFETCH(uint, color);
    QFETCH(QStringList, shown);
    RecordingDialogs dialogs;
    TForm1 form;
    const Group g = textGroup(form);
    g.panel->setColor(before);
    setFields(g, fields[0], fields[1], fields[2]);
    g.setRgb->Click();
    QCOMPARE(g.panel->Color(), QRgb(color));
    QCOMPARE(fieldTexts(g), shown);
    for (const QRgb target : g.targets())
        QCOMPARE(target, QRgb(color));
    QVERIFY(dialogs.errors.isEmpty());
}

void TestColours::setRgbNamesFirstBadField_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("bad");
    QTest::newRow("letters in R") << QStringList{"abc", "0", "0"} << "abc";
    QTest::newRow("empty G") << QStringList{"1", "", "x"} << "";
    QTest::newRow("fraction in G") << QStringList{"1", "1.5", "0"} << "1.5";
    QTest::newRow("trailing blank in B") << QStringList{"1", "2", "7 "} << "7 ";
    QTest::newRow("R and G bad") << QStringList{"x", "y", "3"} << "x";
}

// The message names the first bad field; nothing moves.
void TestColours::setRgbNamesFirstBadField() {
    QFETCH(QStringList, fields);
    QFETCH(QString, bad);
    RecordingDialogs dialogs;
    TForm1 form;
    const Group g = arcGroup(form);
    g.panel->setColor(0xFF123456);
    setFields(g, fields[0], fields[1], fields[2]);
    g.setRgb->Click();
    QCOMPARE(dialogs.errors, QStringList{QStringLiteral("'%1' is not a valid integer value").arg(bad)});
    QCOMPARE(g.panel->Color(), QRgb(0xFF123456));
    QCOMPARE(fieldTexts(g), fields);
    QCOMPARE(g.targets().front(), QRgb(0xFF123456));
}

void TestColours::copyInArcPasteInDate() {
    RecordingDialogs dialogs;
    TForm1 form;
    const Group arc = arcGroup(form);
    const Group date = dateGroup(form);
    arc.panel->setColor(0x80AB12CD);
    arc.copy->Click();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("171;18;205"));
    date.paste->Click();
    QCOMPARE(date.panel->Color(), QRgb(0xFFAB12CD));
    QCOMPARE(fieldTexts(date), QStringList({"171", "18", "205"}));
    QCOMPARE(form.DateOut->FontColor().rgba(), QRgb(0xFFAB12CD));
    QCOMPARE(arc.panel->Color(), QRgb(0x80AB12CD));
    QVERIFY(dialogs.errors.isEmpty() && dialogs.messages.isEmpty());
}

// Each group's copy lands in the next group's paste.
void TestColours::copyPasteEveryGroup() {
    QFETCH(std::function<Group(TForm1&)>, group);
    TForm1 form;
    const Group from = group(form);
    const Group to = from.panel == form.editor().TextColorPanel ? arcGroup(form) : textGroup(form);
    from.panel->setColor(0xFF000102);
    from.copy->Click();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("0;1;2"));
    to.paste->Click();
    QCOMPARE(to.panel->Color(), QRgb(0xFF000102));
    for (const QRgb target : to.targets())
        QCOMPARE(target, QRgb(0xFF000102));
}

void TestColours::pasteTable_data() {
    QTest::addColumn<std::function<void(QClipboard&)>>("fill");
    QTest::addColumn<uint>("color"); // 0: unchanged
    const auto text = [](const QString& t) {
        return std::function<void(QClipboard&)>([t](QClipboard& c) { c.setText(t); });
    };
    QTest::newRow("three numbers") << text("1;2;3") << 0xFF010203u;
    QTest::newRow("four numbers, first three count") << text("10;20;30;40") << 0xFF0A141Eu;
    QTest::newRow("low bytes and hexadecimal") << text("256;-1;$10") << 0xFF00FF10u;
    QTest::newRow("line end from another program") << text("7;8;9\n") << 0xFF070809u;
    QTest::newRow("empty pieces skipped") << text(";;4;;5;6;") << 0xFF040506u;
    QTest::newRow("two numbers") << text("1;2") << 0u;
    QTest::newRow("two numbers, double semicolon") << text("1;;2") << 0u;
    QTest::newRow("three non-numbers") << text("red;green;blue") << 0u;
    QTest::newRow("one bad of three") << text("1;2;x") << 0u;
    QTest::newRow("blanks before numbers") << text("1; 2; 3") << 0xFF010203u;
    QTest::newRow("blanks after numbers") << text("1 ;2 ;3") << 0u;
    QTest::newRow("empty text") << text("") << 0u;
    QTest::newRow("empty clipboard") << std::function<void(QClipboard&)>([](QClipboard& c) { c.clear(); })
                                     << 0u;
    QTest::newRow("picture") << std::function<void(QClipboard&)>([](QClipboard& c) {
        QImage picture(4, 4, QImage::Format_ARGB32);
        picture.fill(Qt::blue);
        c.setImage(picture);
    }) << 0u;
    QTest::newRow("picture with text") << std::function<void(QClipboard&)>([](QClipboard& c) {
        auto* both = new QMimeData;
        both->setText("3;2;1");
        QImage picture(4, 4, QImage::Format_ARGB32);
        picture.fill(Qt::blue);
        both->setImageData(picture);
        c.setMimeData(both);
    }) << 0xFF030201u;
}

void TestColours::pasteTable() {
    QFETCH(std::function<void(QClipboard&)>, fill);
    QFETCH(uint, color);
    RecordingDialogs dialogs;
    TForm1 form;
    const Group g = dateGroup(form);
    g.panel->setColor(0x80445566);
    // Texts a paste would never write, so an untouched field shows.
    setFields(g, "r", "g", "b");
    const QRgb targetBefore = g.targets().front();
    fill(*QGuiApplication::clipboard());
    g.paste->Click();
    if (color == 0) {
        QCOMPARE(g.panel->Color(), QRgb(0x80445566));
        QCOMPARE(fieldTexts(g), QStringList({"r", "g", "b"}));
        QCOMPARE(g.targets().front(), targetBefore);
    } else {
        QCOMPARE(g.panel->Color(), QRgb(color));
        QCOMPARE(g.targets().front(), QRgb(color));
    }
    QVERIFY(dialogs.errors.isEmpty() && dialogs.messages.isEmpty());
}

QTEST_MAIN(TestColours)
#include "tst_colours.moc"
