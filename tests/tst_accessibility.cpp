#include "testsupport.h"
#include "toolkit/controls.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QtTest>

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 2, 3, 11, 12, 13); }
    void trackBarPassesItsDescriptionAndFocusToItsSlider();
};

namespace {

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

// The widgets Tab stops at, in order, as the window would run through them once shown.
QStringList tabStops(QWidget& window) {
    QStringList stops;
    for (QWidget* widget = window.nextInFocusChain(); widget != &window;
         widget = widget->nextInFocusChain()) {
        // The tab bar's scroll arrows show only when the tabs do not fit, which a window never shown
        // cannot tell.
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

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
