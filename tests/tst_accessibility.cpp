#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "testsupport.h"
#include "toolkit/colorpanel.h"
#include "toolkit/controls.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 2, 3, 11, 12, 13); }
    void trackBarPassesItsDescriptionAndFocusToItsSlider();
    void everyControlSaysWhatItIsAndDoes_data();
    void everyControlSaysWhatItIsAndDoes();
    void captionsAreBuddiesOfTheNearestField_data();
    void captionsAreBuddiesOfTheNearestField();
    void tabOrder_data();
    void tabOrder();
};

namespace {

// Anything the user clicks, drags, types into or reaches with Tab. A tab control is only the
// container of its pages: its tab bar is the control.
bool isControl(const QWidget& widget) {
    if (qobject_cast<const QTabWidget*>(&widget))
        return false;
    // A caption that acts when clicked shows the hand; a plain caption sets no cursor.
    if (qobject_cast<const QLabel*>(&widget))
        return widget.testAttribute(Qt::WA_SetCursor) && widget.cursor().shape() == Qt::PointingHandCursor;
    return widget.focusPolicy() != Qt::NoFocus || qobject_cast<const QAbstractButton*>(&widget) ||
           qobject_cast<const QAbstractSlider*>(&widget) || qobject_cast<const QAbstractSpinBox*>(&widget) ||
           qobject_cast<const QComboBox*>(&widget) || qobject_cast<const QLineEdit*>(&widget) ||
           qobject_cast<const QAbstractItemView*>(&widget) || qobject_cast<const TTrackBar*>(&widget) ||
           qobject_cast<const TColorPanel*>(&widget);
}

// Parts of a control (a list's scroll bars, a track bar's slider and value) speak through it.
bool insideControl(const QWidget& widget, const QWidget& window) {
    for (const QWidget* up = widget.parentWidget(); up && up != &window; up = up->parentWidget())
        if (isControl(*up))
            return true;
    return false;
}

QList<QWidget*> widgetsOf(QWidget& window) {
    QList<QWidget*> widgets;
    for (QWidget* widget : window.findChildren<QWidget*>())
        if (widget->window() == &window) // not a drop-down list or a menu
            widgets << widget;
    return widgets;
}

QString nameOf(const QWidget& widget) {
    if (qobject_cast<const QTabBar*>(&widget))
        return QStringLiteral("tabs");
    if (const auto* label = qobject_cast<const QLabel*>(&widget); label && widget.objectName().isEmpty())
        return u'"' + label->text() + u'"';
    if (!widget.objectName().isEmpty())
        return widget.objectName();
    // An inner part such as a track bar's slider goes by its control's name.
    const QWidget* parent = widget.parentWidget();
    return (parent ? parent->objectName() : QString()) + u'/' + widget.metaObject()->className();
}

QString faultOfTip(const QString& tip, const QString& name) {
    if (tip.trimmed().isEmpty())
        return QStringLiteral("no tooltip");
    if (!tip.endsWith(u'.') || tip == name)
        return "a tooltip that is no sentence saying what it does (" + tip + u')';
    return {};
}

// One line per control that falls short, naming what is missing.
QStringList faultsOf(const QWidget& widget) {
    QStringList missing;
    if (widget.accessibleName().trimmed().isEmpty())
        missing << QStringLiteral("no accessible name");
    if (const auto* tabs = qobject_cast<const QTabBar*>(&widget)) {
        for (int i = 0; i < tabs->count(); ++i)
            if (const QString fault = faultOfTip(tabs->tabToolTip(i), tabs->tabText(i)); !fault.isEmpty())
                missing << "tab \"" + tabs->tabText(i) + "\": " + fault;
    } else if (const QString fault = faultOfTip(widget.toolTip(), widget.accessibleName());
               !fault.isEmpty()) {
        missing << fault;
    }
    if (missing.isEmpty())
        return {};
    return {nameOf(widget) + ": " + missing.join(", ")};
}

QWidget& windowOf(TForm1& form, const QString& which) {
    return which == QLatin1String("main") ? static_cast<QWidget&>(form) : form.editor();
}

// Labels that caption no single field: headings, hints and read-outs.
bool isCaption(const QLabel& label, const QWidget& window) {
    static const QStringList notCaptions = {
        "Label1", // "Counting down to:", over the target time
        "Label5", // the target time itself
        "Label7", // the hint that presets and bezel set the time
        "Label2", // the heading of the two loop buttons
        "Label8", // the hint between the message picker and the message field
    };
    return !label.text().isEmpty() && !insideControl(label, window) && !label.font().bold() &&
           !notCaptions.contains(label.objectName()) && !label.text().startsWith("Press \"Start countdown\"");
}

// Squared distance between the nearest points of two rectangles; 0 when they touch.
int gap(const QRect& a, const QRect& b) {
    const int dx = std::max({0, b.left() - a.right() - 1, a.left() - b.right() - 1});
    const int dy = std::max({0, b.top() - a.bottom() - 1, a.top() - b.bottom() - 1});
    return dx * dx + dy * dy;
}

// The widgets Tab stops at, in order, as the window would run through them once shown.
QStringList tabStops(QWidget& window) {
    QStringList stops;
    for (QWidget* widget = window.nextInFocusChain(); widget != &window;
         widget = widget->nextInFocusChain()) {
        // The tab bar's scroll arrows show only when the tabs do not fit, which a window never
        // shown cannot tell.
        if (qobject_cast<QTabBar*>(widget->parentWidget()))
            continue;
        if (widget->window() == &window && (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
            !widget->focusProxy() && widget->isEnabled() && widget->isVisibleTo(&window))
            stops << nameOf(*widget);
    }
    return stops;
}

} // namespace

void TestAccessibility::trackBarPassesItsDescriptionAndFocusToItsSlider() {
    QWidget window;
    auto* first = new QPushButton("first", &window);
    first->setObjectName("first");
    auto* bar = new TTrackBar(&window, "Bar", 0, 10, 5);
    auto* last = new QPushButton("last", &window);
    last->setObjectName("last");
    auto* readout = new QLabel("5", &window);
    describe(*bar, "Light angle", "Turns the light.", "Drag it or use the arrow keys.");

    auto* slider = bar->findChild<QSlider*>();
    QVERIFY(slider);
    for (QWidget* part : {static_cast<QWidget*>(bar), static_cast<QWidget*>(slider)}) {
        QCOMPARE(part->accessibleName(), QStringLiteral("Light angle"));
        QCOMPARE(part->toolTip(), QStringLiteral("Turns the light."));
        QCOMPARE(part->accessibleDescription(),
                 QStringLiteral("Turns the light. Drag it or use the arrow keys."));
    }
    // What a screen reader is told when it lands on the slider.
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(slider);
    QVERIFY(spoken);
    QCOMPARE(spoken->text(QAccessible::Name), QStringLiteral("Light angle"));

    // Backwards from the building order, through a label that never takes focus.
    chainTabOrder({last, readout, bar, first});
    QCOMPARE(tabStops(window), QStringList({"last", "Bar/QSlider", "first"}));
}

void TestAccessibility::everyControlSaysWhatItIsAndDoes_data() {
    QTest::addColumn<QString>("window");
    QTest::newRow("main window") << "main";
    QTest::newRow("skin properties") << "editor";
}

void TestAccessibility::everyControlSaysWhatItIsAndDoes() {
    QFETCH(QString, window);
    TForm1 form;
    QWidget& shown = windowOf(form, window);
    QStringList faults;
    int controls = 0;
    for (QWidget* widget : widgetsOf(shown)) {
        if (!isControl(*widget) || insideControl(*widget, shown))
            continue;
        ++controls;
        faults << faultsOf(*widget);
        // Where the control sends its focus, a screen reader lands and must hear the same.
        for (QWidget* inner = widget->focusProxy(); inner && widget->isAncestorOf(inner);
             inner = inner->focusProxy())
            faults << faultsOf(*inner);
    }
    QVERIFY2(controls > 20, qPrintable(QString::number(controls) + " controls found"));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("\n")));
}

void TestAccessibility::captionsAreBuddiesOfTheNearestField_data() {
    everyControlSaysWhatItIsAndDoes_data();
}

void TestAccessibility::captionsAreBuddiesOfTheNearestField() {
    QFETCH(QString, window);
    TForm1 form;
    QWidget& shown = windowOf(form, window);
    QStringList faults;
    int captions = 0;
    for (QWidget* widget : widgetsOf(shown)) {
        const auto* label = qobject_cast<const QLabel*>(widget);
        if (!label || !isCaption(*label, shown))
            continue;
        ++captions;
        const QString who = nameOf(*label);
        const QWidget* buddy = label->buddy();
        if (!buddy) {
            faults << who + ": no buddy";
            continue;
        }
        if (buddy->parentWidget() != label->parentWidget()) {
            faults << who + ": its buddy " + nameOf(*buddy) + " lies elsewhere";
            continue;
        }
        for (const QWidget* field : label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (isControl(*field) && !qobject_cast<const QLabel*>(field) &&
                gap(field->geometry(), label->geometry()) < gap(buddy->geometry(), label->geometry()))
                faults << who + ": its buddy " + nameOf(*buddy) + " lies farther than " + nameOf(*field);
    }
    QVERIFY2(captions >= 4, qPrintable(QString::number(captions) + " captions found"));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("\n")));
}

void TestAccessibility::tabOrder_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("stops");
    // The top panel from the left, then the left panel from the top, the presets column by column in
    // the order of their minutes. The time zone box takes no keyboard focus, nor the pause button while
    // no countdown runs.
    QTest::newRow("main window")
        << "main" << QString()
        << "ComboBox1, Edit1, Button3, Button2, RadioButton1, RadioButton2, RadioButton3, RadioButton4, "
           "RadioButton5, RadioButton6, RadioButton7, MinusFive, MinusOne, PlusOne, PlusFive, "
           "Finish_Message, PlaySound_Chosen, Playsound, Button9, "
           "Button10, TrackBar6/QSlider, MagentaBox, CheckBox5, SkinBox, Editor";
    // In the editor the tabs come first, then the page shown, column by column from the top.
    QTest::newRow("light") << "editor"
                           << "TabItemShadows"
                           << "tabs, CheckBox2, TrackBar4/QSlider, TrackBar5/QSlider";
    QTest::newRow("text")
        << "editor"
        << "TabItemText"
        << "tabs, CheckBoxTextShadow, CheckBoxTextBlur, CheckBox9, TrackbarTextSize/QSlider, "
           "ComboBox2, Edit4, Edit5, Edit6, Button1, Button7, Button9";
    QTest::newRow("arc and bezel")
        << "editor"
        << "TabItem3"
        << "tabs, TrackBar1/QSlider, TrackBar2/QSlider, TrackBarBezelSize/QSlider, Button14, CheckBox8, "
           "TrackBarMinutehandExtraAdjusterBezel/QSlider, Button15, Edit1, Edit2, Edit3, Button2, Button10, "
           "Button11";
    QTest::newRow("hands")
        << "editor"
        << "TabItemHourhand"
        << "tabs, TrackBarHourX/QSlider, CheckBox1, TrackBarHourY/QSlider, Button5, "
           "TrackBarHourSize/QSlider, "
           "TrackBarMinuteX/QSlider, CheckBox4, TrackBarMinuteY/QSlider, Button3, "
           "TrackBarMinuteSize/QSlider, "
           "TrackBarSecondX/QSlider, CheckBoxCrosshair, TrackBarSecondY/QSlider, Button4, CheckBox7, "
           "TrackBarSecondSize/QSlider, CheckBoxSecOnTop";
    QTest::newRow("date")
        << "editor"
        << "Misc"
        << "tabs, CheckBox3, ComboBox1, TrackbarDateSize/QSlider, TrackbarDateRotation/QSlider, "
           "TrackbarDateScale/QSlider, Button6, Edit7, Edit8, Edit9, Button8, Button12, Button13";
    // The escape wheel's crosshair box is disabled, so Tab passes it by.
    QTest::newRow("mechanics")
        << "editor"
        << "TabItem1"
        << "tabs, TrackBarUnruhX/QSlider, CheckBoxCrosshairUnruh, TrackBarUnruhY/QSlider, Button16, "
           "CheckBoxShowWheel, TrackBarunruhSize/QSlider, TrackBarUnruhAngle/QSlider, "
           "TrackBarTourBillonX/QSlider, CheckBoxCrosshairTourbillon, TrackBarTourBillonY/QSlider, Button17, "
           "CheckBoxShowTourbillon, TrackBarTourBillonSize/QSlider, "
           "TrackBarEscapewheelX/QSlider, TrackBarEscapewheelY/QSlider, Button19, CheckBoxShowEscapeWheel, "
           "TrackBarEscapewheelSize/QSlider, "
           "TrackBarGearWheelX/QSlider, CheckBoxCrosshairGearWheel, TrackBarGearWheelY/QSlider, Button18, "
           "CheckBoxShowGearWheel, TrackBarGearwheelSize/QSlider, "
           "TourbillononTopOfBalanceSwitch, EscapeOnTopOfBalanceWheelSwith";
}

void TestAccessibility::tabOrder() {
    QFETCH(QString, window);
    QFETCH(QString, page);
    QFETCH(QString, stops);
    TForm1 form;
    QWidget& shown = windowOf(form, window);
    if (!page.isEmpty()) {
        QWidget* tab = shown.findChild<QWidget*>(page);
        QVERIFY(tab);
        form.editor().TabControl1->setCurrentWidget(tab);
    }
    // As one text, so a failure shows both orders whole.
    QCOMPARE(tabStops(shown).join(", "), stops);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
