#include "toolkit/controls.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionSpinBox>
#include <QtTest>
#include <cmath>
#include <limits>
#include <memory>

namespace {

// What each handler read from its control when it ran: proves the value was stored before the
// event, and the length counts the events.
template <typename Value> struct Seen {
    QList<Value> values;
    QList<TObject*> senders;
};

template <typename Control, typename Value>
void recordChanges(Control& control, Seen<Value>& seen, Value (Control::*read)() const) {
    control.OnChange = [&control, &seen, read](TObject* sender) {
        seen.values.append((control.*read)());
        seen.senders.append(sender);
    };
}

// Counts pixels in the area that differ from its top-left pixel: how much got drawn there.
int inkIn(const QImage& image, const QRect& area) {
    const QRgb background = image.pixel(area.topLeft());
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ink += image.pixel(x, y) != background;
    return ink;
}

// The application's style is shared by every test; this puts it back afterwards.
class AppStyleSwap {
public:
    explicit AppStyleSwap(const QString& style) : original_(QApplication::style()->name()) {
        QApplication::setStyle(QStyleFactory::create(style));
    }
    ~AppStyleSwap() { QApplication::setStyle(QStyleFactory::create(original_)); }
    AppStyleSwap(const AppStyleSwap&) = delete;
    AppStyleSwap& operator=(const AppStyleSwap&) = delete;

private:
    QString original_;
};

QAbstractItemView& viewOf(TComboBox& combo) {
    return *combo.view();
}
QAbstractItemView& viewOf(TListBox& list) {
    return list;
}

template <typename Toggle> void verifyToggleEvents(Toggle& toggle) {
    Seen<bool> seen;
    recordChanges(toggle, seen, &Toggle::IsChecked);

    toggle.setIsChecked(false);
    QVERIFY(seen.values.isEmpty());

    toggle.setIsChecked(true);
    toggle.setIsChecked(true);
    QCOMPARE(seen.values, QList<bool>{true});
    QCOMPARE(seen.senders, QList<TObject*>{&toggle});

    toggle.resize(toggle.sizeHint());
    QTest::mouseClick(&toggle, Qt::LeftButton, {}, toggle.rect().center());
    QCOMPARE(seen.values, (QList<bool>{true, false}));
    QCOMPARE(toggle.IsChecked(), false);
}

template <typename Box> void fillThree(Box& box) {
    box.AddItem(QStringLiteral("Alpha"), QStringLiteral("first"));
    box.AddItem(QStringLiteral("Beta"));
    box.AddItem(QStringLiteral("Gamma"), QStringLiteral("third"));
}

template <typename Box> void verifyIndexEvents() {
    Box box(nullptr, QStringLiteral("box"));
    Seen<int> seen;
    recordChanges(box, seen, &Box::ItemIndex);

    fillThree(box);
    QCOMPARE(box.ItemIndex(), -1);
    QVERIFY(seen.values.isEmpty());

    box.setItemIndex(1);
    box.setItemIndex(1);
    box.setItemIndex(-1);
    box.setItemIndex(-1);
    QCOMPARE(seen.values, (QList<int>{1, -1}));
    QCOMPARE(seen.senders.first(), &box);

    // A list being rebuilt forgets its choice quietly.
    box.setItemIndex(2);
    box.ClearItems();
    QCOMPARE(box.ItemIndex(), -1);
    QCOMPARE(box.Count(), 0);
    QCOMPARE(seen.values, (QList<int>{1, -1, 2}));
}

template <typename Box> void verifyIndexOutOfRange(int badIndex) {
    Box box(nullptr, QStringLiteral("box"));
    fillThree(box);
    box.setItemIndex(1);
    Seen<int> seen;
    recordChanges(box, seen, &Box::ItemIndex);

    QVERIFY_THROWS_EXCEPTION(std::out_of_range, box.setItemIndex(badIndex));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, box.Item(badIndex));
    QCOMPARE(box.ItemIndex(), 1);
    QVERIFY(seen.values.isEmpty());
}

template <typename Box> void verifyItemsKeepTextAndDetail() {
    Box box(nullptr, QStringLiteral("box"));
    fillThree(box);
    QCOMPARE(box.Count(), 3);
    QCOMPARE(box.Item(0).text, QStringLiteral("Alpha"));
    QCOMPARE(box.Item(0).detail, QStringLiteral("first"));
    QCOMPARE(box.Item(1).text, QStringLiteral("Beta"));
    QCOMPARE(box.Item(1).detail, QString());
    QCOMPARE(box.Item(2).detail, QStringLiteral("third"));
}

template <typename Box> void verifyRowHeight() {
    Box box(nullptr, QStringLiteral("box"));
    fillThree(box);
    QAbstractItemView& view = viewOf(box);
    view.show();
    const QModelIndex second = view.model()->index(1, 0);
    box.setItemHeight(40);
    QCOMPARE(view.visualRect(second).top(), 40);
    QCOMPARE(view.visualRect(second).height(), 40);
    // A shown view keeps its rows where it laid them out until told they changed.
    box.setItemHeight(24);
    QCOMPARE(view.visualRect(second).top(), 24);
    QCOMPARE(view.visualRect(second).height(), 24);
}

void addBoxKinds() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("combo") << QStringLiteral("combo");
    QTest::newRow("list") << QStringLiteral("list");
}

} // namespace

class TestControls : public QObject {
    Q_OBJECT

private slots:
    void trackBarFitsValue_data();
    void trackBarFitsValue();
    void trackBarFiresOnlyOnRealChange_data();
    void trackBarFiresOnlyOnRealChange();
    void trackBarKeepsSinglePrecision();
    void trackBarBoundChangeRefits_data();
    void trackBarBoundChangeRefits();
    void trackBarUserStepFollowsCodeChanges();
    void trackBarVerticalHasMinimumAtTop();
    void trackBarWithMoreStepsThanPositions();
    void trackBarLabelShowsValue_data();
    void trackBarLabelShowsValue();
    void trackBarInitialValueIsFitted();
    void linkedTrackBarsFollowEachOther();

    void checkBoxFiresOnRealChange();
    void switchFiresOnRealChange();
    void buttonClicks();

    void radioGroupOrdersEvents_data();
    void radioGroupOrdersEvents();
    void radioGroupIgnoresClickOnChecked();
    void radioGroupUncheckFromCode();
    void radioButtonsOutliveOrPredeceaseGroup();

    void editFiresOnRealChange();
    void spinBoxFitsValue_data();
    void spinBoxFitsValue();
    void spinBoxArrowsWorkWithoutFocus();

    void boxIndexEvents_data() { addBoxKinds(); }
    void boxIndexEvents();
    void boxIndexOutOfRangeChangesNothing_data();
    void boxIndexOutOfRangeChangesNothing();
    void boxItemsKeepTextAndDetail_data() { addBoxKinds(); }
    void boxItemsKeepTextAndDetail();
    void boxRowHeight_data() { addBoxKinds(); }
    void boxRowHeight();
    void comboUserPickFiresOnce();
    void comboDropDownShowsChosenRowCount();
    void listUserClicks();
    void listDrawsDetailUnderText();

    void darkStyleReachesLaterChildren();
};

void TestControls::trackBarFitsValue_data() {
    QTest::addColumn<float>("min");
    QTest::addColumn<float>("max");
    QTest::addColumn<float>("frequency");
    QTest::addColumn<float>("requested");
    QTest::addColumn<float>("stored");

    QTest::newRow("below min") << 0.f << 100.f << 0.f << -5.f << 0.f;
    QTest::newRow("above max") << 0.f << 100.f << 0.f << 150.f << 100.f;
    QTest::newRow("infinite") << 0.f << 100.f << 0.f << std::numeric_limits<float>::infinity() << 100.f;
    QTest::newRow("nearest step") << 0.f << 10.f << 0.5f << 3.3f << 3.5f;
    QTest::newRow("steps count from min") << 1.f << 11.f << 2.f << 4.2f << 5.f;
    QTest::newRow("negative range") << -10.f << -2.f << 0.5f << -3.3f << -3.5f;
    QTest::newRow("clamped, then stepped") << 0.f << 10.f << 3.f << 11.f << 9.f;
    QTest::newRow("nearest step lies past max") << 0.f << 10.f << 4.f << 10.f << 8.f;
    QTest::newRow("nearer step inside") << 0.f << 10.f << 4.f << 9.9f << 8.f;
    QTest::newRow("inexact step reaches max") << 0.f << 1.f << 0.1f << 1.f << 1.f;
    QTest::newRow("inexact step in between") << 0.f << 1.f << 0.1f << 0.34f << 0.3f;
}

void TestControls::trackBarFitsValue() {
    QFETCH(float, min);
    QFETCH(float, max);
    QFETCH(float, frequency);
    QFETCH(float, requested);
    QFETCH(float, stored);

    TTrackBar bar(nullptr, QStringLiteral("bar"), min, max, min, frequency);
    bar.setValue(requested);
    QVERIFY2(bar.Value() == stored, qPrintable(QString::number(bar.Value(), 'g', 9)));
}

void TestControls::trackBarFiresOnlyOnRealChange_data() {
    QTest::addColumn<float>("frequency");
    QTest::addColumn<float>("initial");
    QTest::addColumn<QList<float>>("requests");
    QTest::addColumn<QList<float>>("seen");

    QTest::newRow("same as initial") << 0.f << 5.f << QList<float>{5} << QList<float>{};
    QTest::newRow("new, then same") << 0.f << 5.f << QList<float>{7, 7} << QList<float>{7};
    QTest::newRow("two changes") << 0.f << 5.f << QList<float>{7, 8.5f} << QList<float>{7, 8.5f};
    QTest::newRow("clamps to current") << 0.f << 100.f << QList<float>{250} << QList<float>{};
    QTest::newRow("steps to current") << 1.f << 5.f << QList<float>{5.3f, 4.8f} << QList<float>{};
    QTest::newRow("steps to new") << 1.f << 5.f << QList<float>{5.6f, 6.2f} << QList<float>{6};
    QTest::newRow("not a number") << 0.f << 5.f << QList<float>{std::nanf("")} << QList<float>{};
}

void TestControls::trackBarFiresOnlyOnRealChange() {
    QFETCH(float, frequency);
    QFETCH(float, initial);
    QFETCH(QList<float>, requests);
    QFETCH(QList<float>, seen);

    TTrackBar bar(nullptr, QStringLiteral("bar"), 0, 100, initial, frequency);
    Seen<float> events;
    recordChanges(bar, events, &TTrackBar::Value);
    for (const float request : requests)
        bar.setValue(request);
    QCOMPARE(events.values, seen);
    for (TObject* sender : events.senders)
        QCOMPARE(sender, &bar);
}

void TestControls::trackBarKeepsSinglePrecision() {
    TTrackBar bar(nullptr, QStringLiteral("bar"), 0, 1000, 0);
    Seen<float> events;
    recordChanges(bar, events, &TTrackBar::Value);

    bar.setValue(582.706604003906);
    QVERIFY(bar.Value() == 582.7066f);

    bar.setValue(190.382);
    bar.setValue(190.382f);
    QCOMPARE(events.values.size(), 2);
    QVERIFY(events.values.last() == 190.382f);
}

void TestControls::trackBarBoundChangeRefits_data() {
    QTest::addColumn<QString>("bound");
    QTest::addColumn<float>("setting");
    QTest::addColumn<float>("value");
    QTest::addColumn<int>("events");

    QTest::newRow("min raised past value") << "min" << 60.f << 60.f << 1;
    QTest::newRow("min lowered") << "min" << -10.f << 50.3f << 0;
    QTest::newRow("min raised past max") << "min" << 200.f << 200.f << 1;
    QTest::newRow("max lowered past value") << "max" << 40.f << 40.f << 1;
    QTest::newRow("max lowered past min") << "max" << -5.f << -5.f << 1;
    QTest::newRow("max raised") << "max" << 500.f << 50.3f << 0;
    QTest::newRow("step set") << "frequency" << 1.f << 50.f << 1;
    QTest::newRow("step cleared") << "frequency" << 0.f << 50.3f << 0;
}

void TestControls::trackBarBoundChangeRefits() {
    QFETCH(QString, bound);
    QFETCH(float, setting);
    QFETCH(float, value);
    QFETCH(int, events);

    TTrackBar bar(nullptr, QStringLiteral("bar"), 0, 100, 50.3f);
    Seen<float> seen;
    recordChanges(bar, seen, &TTrackBar::Value);
    if (bound == QStringLiteral("min"))
        bar.setMin(setting);
    else if (bound == QStringLiteral("max"))
        bar.setMax(setting);
    else
        bar.setFrequency(setting);

    QVERIFY2(bar.Value() == value, qPrintable(QString::number(bar.Value())));
    QCOMPARE(seen.values.size(), events);
    if (events > 0)
        QVERIFY(seen.values.last() == value);
    QVERIFY(bar.Min() <= bar.Value() && bar.Value() <= bar.Max());
}

// A user's step starts from where code last put the value, over the bounds code last set.
void TestControls::trackBarUserStepFollowsCodeChanges() {
    TTrackBar bar(nullptr, QStringLiteral("bar"), 0, 10, 0, 1);
    auto* slider = bar.findChild<QSlider*>();
    QVERIFY(slider);
    Seen<float> seen;
    recordChanges(bar, seen, &TTrackBar::Value);

    bar.setValue(7);
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(seen.values, (QList<float>{7, 8}));

    bar.setMin(5);
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(seen.values, (QList<float>{7, 8, 9}));

    bar.setValue(10);
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(seen.values, (QList<float>{7, 8, 9, 10}));
}

void TestControls::trackBarVerticalHasMinimumAtTop() {
    TTrackBar bar(nullptr, QStringLiteral("bar"), 0, 100, 50, 0, Qt::Vertical);
    bar.setShowValue(false);
    bar.resize(40, 300);
    bar.show();
    auto* slider = bar.findChild<QSlider*>();
    QVERIFY(slider);
    Seen<float> seen;
    recordChanges(bar, seen, &TTrackBar::Value);

    // At the middle value the handle sits in the middle, whichever end holds the minimum.
    const QPoint handle = slider->rect().center();
    QTest::mousePress(slider, Qt::LeftButton, {}, handle);
    QTest::mouseMove(slider, QPoint(handle.x(), 0));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(handle.x(), 0));
    QVERIFY2(bar.Value() < 10, qPrintable(QString::number(bar.Value())));
    QCOMPARE(seen.values.size(), 1);
    QVERIFY(seen.values.first() == bar.Value());

    // The down arrow moves the knob down, towards the maximum.
    const float before = bar.Value();
    QTest::keyClick(slider, Qt::Key_Down);
    QVERIFY(bar.Value() > before);
}

void TestControls::trackBarWithMoreStepsThanPositions() {
    TTrackBar bar(nullptr, QStringLiteral("bar"), 0, 1e9f, 0, 0.001f);
    Seen<float> seen;
    recordChanges(bar, seen, &TTrackBar::Value);

    QTest::keyClick(bar.findChild<QSlider*>(), Qt::Key_Right);
    QCOMPARE(seen.values.size(), 1);
    QVERIFY2(bar.Value() > 0 && bar.Value() < 1e8f, qPrintable(QString::number(bar.Value())));

    bar.setValue(2.0004f);
    QVERIFY(bar.Value() == 2.f);
}

void TestControls::trackBarLabelShowsValue_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("shown");

    QTest::newRow("one decimal") << 50.3f << "50.3";
    QTest::newRow("whole") << 2.f << "2";
    QTest::newRow("rounded to two decimals") << 1.256f << "1.26";
    QTest::newRow("negative") << -0.5f << "-0.5";
    QTest::newRow("tiny negative") << -0.001f << "0";
}

void TestControls::trackBarLabelShowsValue() {
    QFETCH(float, value);
    QFETCH(QString, shown);

    TTrackBar bar(nullptr, QStringLiteral("bar"), -1, 100, 10);
    auto* label = bar.findChild<QLabel*>();
    QVERIFY(label);
    bar.setValue(value);
    QCOMPARE(label->text(), shown);
    bar.setShowValue(false);
    QVERIFY(!bar.ShowValue());
    QVERIFY(label->isHidden());
}

void TestControls::trackBarInitialValueIsFitted() {
    TTrackBar bar(nullptr, QStringLiteral("bar"), 0, 10, 42, 3);
    QVERIFY(bar.Value() == 9.f);
    QCOMPARE(bar.objectName(), QStringLiteral("bar"));
    QCOMPARE(bar.Name(), QStringLiteral("bar"));
    Seen<float> seen;
    recordChanges(bar, seen, &TTrackBar::Value);
    bar.setValue(9);
    QVERIFY(seen.values.isEmpty());
}

// A window keeps a lower bound at or below an upper one: each handler moves the other control.
void TestControls::linkedTrackBarsFollowEachOther() {
    TTrackBar low(nullptr, QStringLiteral("low"), 0, 100, 10, 1);
    TTrackBar high(nullptr, QStringLiteral("high"), 0, 100, 20, 1);
    QStringList log;
    low.OnChange = [&](TObject*) {
        log.append(QStringLiteral("low %1").arg(low.Value()));
        if (high.Value() < low.Value())
            high.setValue(low.Value());
    };
    high.OnChange = [&](TObject*) {
        log.append(QStringLiteral("high %1").arg(high.Value()));
        if (low.Value() > high.Value())
            low.setValue(high.Value());
    };

    low.setValue(50);
    high.setValue(30);
    QTest::keyClick(low.findChild<QSlider*>(), Qt::Key_Right);
    QCOMPARE(log, (QStringList{"low 50", "high 50", "high 30", "low 30", "low 31", "high 31"}));
}

void TestControls::checkBoxFiresOnRealChange() {
    TCheckBox box(nullptr, QStringLiteral("box"), QStringLiteral("Save && quit"));
    verifyToggleEvents(box);
}

void TestControls::switchFiresOnRealChange() {
    TSwitch toggle(nullptr, QStringLiteral("switch"));
    verifyToggleEvents(toggle);
}

void TestControls::buttonClicks() {
    TButton button(nullptr, QStringLiteral("button"), QStringLiteral("Go"));
    button.resize(button.sizeHint());
    QList<bool> pressedSeen;
    button.OnClick = [&](TObject* sender) {
        QCOMPARE(sender, &button);
        pressedSeen.append(button.IsPressed());
    };

    QTest::mouseClick(&button, Qt::LeftButton);
    button.Click();
    QCOMPARE(pressedSeen.size(), 2);

    button.setStaysPressed(true);
    QTest::mouseClick(&button, Qt::LeftButton);
    button.Click();
    QCOMPARE(pressedSeen.mid(2), (QList<bool>{true, false}));

    // Pressing from code is a state, not a click.
    button.setIsPressed(true);
    QVERIFY(button.IsPressed());
    QCOMPARE(pressedSeen.size(), 4);

    button.setEnabled(false);
    button.Click();
    QCOMPARE(pressedSeen.size(), 4);
}

struct RadioTrio {
    TRadioGroup group;
    TRadioButton a{nullptr, QStringLiteral("a"), QStringLiteral("A"), group};
    TRadioButton b{nullptr, QStringLiteral("b"), QStringLiteral("B"), group};
    TRadioButton c{nullptr, QStringLiteral("c"), QStringLiteral("C"), group};
    // Each entry: the sender, its state, and the group's checked button as the handler saw them.
    QStringList events;

    RadioTrio() {
        for (TRadioButton* button : {&a, &b, &c}) {
            button->resize(button->sizeHint());
            button->OnChange = [this, button](TObject* sender) {
                const TRadioButton* checked = group.Checked();
                events.append(QStringLiteral("%1:%2 (%3)")
                                  .arg(sender->Name(), button->IsChecked() ? "on" : "off",
                                       checked ? checked->Name() : QStringLiteral("-")));
            };
        }
    }
};

void TestControls::radioGroupOrdersEvents_data() {
    QTest::addColumn<bool>("byUser");
    QTest::newRow("from code") << false;
    QTest::newRow("by a click") << true;
}

void TestControls::radioGroupOrdersEvents() {
    QFETCH(bool, byUser);
    RadioTrio trio;
    QCOMPARE(trio.group.Checked(), nullptr);

    const auto check = [&](TRadioButton& button) {
        if (byUser)
            QTest::mouseClick(&button, Qt::LeftButton, {}, button.rect().center());
        else
            button.setIsChecked(true);
    };
    check(trio.a);
    check(trio.b);
    QCOMPARE(trio.events, (QStringList{"a:on (a)", "a:off (b)", "b:on (b)"}));
    QVERIFY(!trio.a.IsChecked());
    QCOMPARE(trio.group.Checked(), &trio.b);
}

void TestControls::radioGroupIgnoresClickOnChecked() {
    RadioTrio trio;
    trio.b.setIsChecked(true);
    trio.events.clear();

    QTest::mouseClick(&trio.b, Qt::LeftButton, {}, trio.b.rect().center());
    trio.b.setIsChecked(true);
    QVERIFY(trio.events.isEmpty());
    QVERIFY(trio.b.IsChecked());
}

void TestControls::radioGroupUncheckFromCode() {
    RadioTrio trio;
    trio.c.setIsChecked(true);
    trio.events.clear();

    trio.a.setIsChecked(false);
    trio.c.setIsChecked(false);
    trio.c.setIsChecked(false);
    QCOMPARE(trio.events, (QStringList{"c:off (-)"}));
    QCOMPARE(trio.group.Checked(), nullptr);
}

void TestControls::radioButtonsOutliveOrPredeceaseGroup() {
    auto group = std::make_unique<TRadioGroup>();
    TRadioButton kept(nullptr, QStringLiteral("kept"), QStringLiteral("Kept"), *group);
    {
        TRadioButton gone(nullptr, QStringLiteral("gone"), QStringLiteral("Gone"), *group);
        gone.setIsChecked(true);
    }
    QCOMPARE(group->Checked(), nullptr);
    kept.setIsChecked(true);
    QCOMPARE(group->Checked(), &kept);

    group.reset();
    int events = 0;
    kept.OnChange = [&](TObject*) { ++events; };
    kept.setIsChecked(false);
    QCOMPARE(events, 1);
    QVERIFY(!kept.IsChecked());
}

void TestControls::editFiresOnRealChange() {
    TEdit edit(nullptr, QStringLiteral("edit"), QStringLiteral("start"));
    Seen<QString> seen;
    recordChanges(edit, seen, &TEdit::Text);

    edit.setText(QStringLiteral("start"));
    QVERIFY(seen.values.isEmpty());

    edit.setText(QStringLiteral("next"));
    QCOMPARE(seen.values, QStringList{"next"});

    QTest::keyClicks(&edit, QStringLiteral("ab"));
    QCOMPARE(seen.values, (QStringList{"next", "nexta", "nextab"}));

    // Cut to the length limit, the new text equals the old one: nothing changed.
    edit.setMaxLength(3);
    seen.values.clear();
    edit.setText(QStringLiteral("nexus"));
    QVERIFY(seen.values.isEmpty());
    QCOMPARE(edit.Text(), QStringLiteral("nex"));
}

void TestControls::spinBoxFitsValue_data() {
    QTest::addColumn<double>("requested");
    QTest::addColumn<double>("stored");
    QTest::addColumn<int>("events");

    QTest::newRow("rounds to current") << 2.4 << 2.0 << 0;
    QTest::newRow("rounds to next") << 2.6 << 3.0 << 1;
    QTest::newRow("huge clamps to max") << 1e12 << 10.0 << 1;
    QTest::newRow("huge negative clamps to min") << -1e12 << -5.0 << 1;
    QTest::newRow("not a number") << std::nan("") << 2.0 << 0;
}

void TestControls::spinBoxFitsValue() {
    QFETCH(double, requested);
    QFETCH(double, stored);
    QFETCH(int, events);

    TSpinBox spin(nullptr, QStringLiteral("spin"), -5, 10, 2);
    Seen<double> seen;
    recordChanges(spin, seen, &TSpinBox::Value);
    spin.setValue(requested);
    QCOMPARE(spin.Value(), stored);
    QCOMPARE(seen.values.size(), events);
    if (events > 0)
        QCOMPARE(seen.values.first(), stored);
}

void TestControls::spinBoxArrowsWorkWithoutFocus() {
    QWidget window;
    TEdit other(&window, QStringLiteral("other"));
    TSpinBox spin(&window, QStringLiteral("spin"), 0, 10, 4);
    spin.setGeometry(0, 40, 80, 26);
    window.show();
    QApplication::setActiveWindow(&window);
    other.setFocus();
    Seen<double> seen;
    recordChanges(spin, seen, &TSpinBox::Value);

    QStyleOptionSpinBox option;
    option.initFrom(&spin);
    option.subControls = QStyle::SC_All;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    const QRect up = spin.style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, &spin);
    QTest::mouseClick(&spin, Qt::LeftButton, {}, up.center());
    QCOMPARE(seen.values, QList<double>{5});

    QTest::mouseClick(spin.findChild<QLineEdit*>(), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), &other);
}

void TestControls::boxIndexEvents() {
    QFETCH(QString, kind);
    if (kind == QStringLiteral("combo"))
        verifyIndexEvents<TComboBox>();
    else
        verifyIndexEvents<TListBox>();
}

void TestControls::boxIndexOutOfRangeChangesNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("index");
    for (const QString& kind : {QStringLiteral("combo"), QStringLiteral("list")}) {
        QTest::addRow("%s, one past the end", qPrintable(kind)) << kind << 3;
        QTest::addRow("%s, below none", qPrintable(kind)) << kind << -2;
        QTest::addRow("%s, far out", qPrintable(kind)) << kind << std::numeric_limits<int>::max();
    }
}

void TestControls::boxIndexOutOfRangeChangesNothing() {
    QFETCH(QString, kind);
    QFETCH(int, index);
    if (kind == QStringLiteral("combo"))
        verifyIndexOutOfRange<TComboBox>(index);
    else
        verifyIndexOutOfRange<TListBox>(index);
}

void TestControls::boxItemsKeepTextAndDetail() {
    QFETCH(QString, kind);
    if (kind == QStringLiteral("combo"))
        verifyItemsKeepTextAndDetail<TComboBox>();
    else
        verifyItemsKeepTextAndDetail<TListBox>();
}

void TestControls::boxRowHeight() {
    QFETCH(QString, kind);
    if (kind == QStringLiteral("combo"))
        verifyRowHeight<TComboBox>();
    else
        verifyRowHeight<TListBox>();
}

void TestControls::comboUserPickFiresOnce() {
    TComboBox combo(nullptr, QStringLiteral("combo"));
    fillThree(combo);
    Seen<int> seen;
    recordChanges(combo, seen, &TComboBox::ItemIndex);

    for (int step = 0; step < 4; ++step)
        QTest::keyClick(&combo, Qt::Key_Down);
    QCOMPARE(seen.values, (QList<int>{0, 1, 2}));
    QCOMPARE(combo.currentText(), QStringLiteral("Gamma"));
}

void TestControls::comboDropDownShowsChosenRowCount() {
    QWidget window;
    TComboBox combo(&window, QStringLiteral("combo"));
    for (int i = 0; i < 10; ++i)
        combo.AddItem(QStringLiteral("Item %1").arg(i), QStringLiteral("detail"));
    combo.setItemHeight(30);
    combo.setDropDownCount(3);
    applyDarkStyle(window);
    window.show();

    combo.showPopup();
    QCOMPARE(combo.view()->viewport()->height(), 3 * 30);
    // The drop-down is a window of its own; it must still be dark.
    QCOMPARE(combo.view()->palette().color(QPalette::Base), QColor(0x46, 0x46, 0x46));
    combo.hidePopup();
}

void TestControls::listUserClicks() {
    TListBox list(nullptr, QStringLiteral("list"));
    fillThree(list);
    list.resize(200, 200);
    list.show();
    Seen<int> seen;
    recordChanges(list, seen, &TListBox::ItemIndex);
    int doubleClicks = 0;
    list.OnDblClick = [&](TObject* sender) {
        QCOMPARE(sender, &list);
        ++doubleClicks;
    };

    const QPoint second = list.visualItemRect(list.item(1)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(seen.values, QList<int>{1});
    QCOMPARE(doubleClicks, 0);

    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, second);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(doubleClicks, 1);
    QCOMPARE(seen.values, QList<int>{1});

    // The keyboard cursor and the choice move together.
    QTest::keyClick(list.viewport(), Qt::Key_Down);
    QCOMPARE(seen.values, (QList<int>{1, 2}));
}

void TestControls::listDrawsDetailUnderText() {
    TListBox list(nullptr, QStringLiteral("list"));
    list.AddItem(QStringLiteral("Alpha"), QStringLiteral("detail line"));
    list.AddItem(QStringLiteral("Alpha"));
    list.setItemHeight(48);
    list.resize(200, 120);
    list.show();

    const QImage image = list.viewport()->grab().toImage();
    const auto halves = [&](int row) {
        const QRect rect = list.visualItemRect(list.item(row)).adjusted(1, 1, -1, -1);
        return std::pair{inkIn(image, rect.adjusted(0, 0, 0, -rect.height() / 2)),
                         inkIn(image, rect.adjusted(0, rect.height() / 2, 0, 0))};
    };
    const auto [withDetailTop, withDetailBottom] = halves(0);
    const auto [plainTop, plainBottom] = halves(1);
    QVERIFY(withDetailTop > 0);
    QVERIFY(withDetailBottom > 0);
    // Alone, the text sits across the middle, so both halves get some of it; the detail line
    // adds a whole line of ink below.
    QVERIFY2(withDetailBottom > plainBottom + 20,
             qPrintable(QStringLiteral("%1 vs %2").arg(withDetailBottom).arg(plainBottom)));
    QVERIFY(plainTop > 0);
}

void TestControls::darkStyleReachesLaterChildren() {
    // Under another application style, Fusion's look must still reach every control of the window.
    const AppStyleSwap windows(QStringLiteral("Windows"));
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    const int fusionIndicator = fusion->pixelMetric(QStyle::PM_IndicatorWidth);
    if (fusionIndicator == QApplication::style()->pixelMetric(QStyle::PM_IndicatorWidth))
        QSKIP("these two styles draw check boxes of one size");

    QWidget window;
    auto* early = new TCheckBox(&window, QStringLiteral("early"), QStringLiteral("Early"));
    applyDarkStyle(window);
    applyDarkStyle(window);
    window.show();
    auto* late = new TEdit(&window, QStringLiteral("late"));
    auto* nested = new TCheckBox(late, QStringLiteral("nested"), QStringLiteral("Nested"));
    late->show();

    // Colours are read after polishing: that is where a style sheet would throw them away.
    for (const QWidget* control : std::initializer_list<const QWidget*>{early, late, nested}) {
        QCOMPARE(control->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, control), fusionIndicator);
        const QPalette palette = control->palette();
        QCOMPARE(palette.color(QPalette::Window), QColor(0x3A, 0x3A, 0x3A));
        QCOMPARE(palette.color(QPalette::Base), QColor(0x46, 0x46, 0x46));
        QCOMPARE(palette.color(QPalette::Button), QColor(0x50, 0x50, 0x50));
        QCOMPARE(palette.color(QPalette::Text), QColor(Qt::white));
        QCOMPARE(palette.color(QPalette::ButtonText), QColor(Qt::white));
        QVERIFY(palette.color(QPalette::Disabled, QPalette::Text) != QColor(Qt::white));
    }
}

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
