#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "testsupport.h"
#include "toolkit/controls.h"

#include <QtTest>

// One placement column: its controls and the scene elements it drives.
struct Group {
    TTrackBar* size;
    TTrackBar* x;
    TTrackBar* y;
    TCheckBox* crosshair;
    TButton* defaults;
    TCheckBox* showAtAll;
    TElement* sized;
    std::vector<TElement*> moved; // element first, then its crosshair layout
    TElement* crosshairShown;
    TElement* shownAtAll;
    float minSize;
};

Q_DECLARE_METATYPE(std::function<Group(TForm1&)>)

class TestPlacement : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 9, 1, 9, 0, 0); }
    void sizeBar_data() { groups(); }
    void sizeBar();
    void xAndYBarsMoveTheCentreByHalf_data() { groups(); }
    void xAndYBarsMoveTheCentreByHalf();
    void crosshairAndShowAtAll_data() { groups(); }
    void crosshairAndShowAtAll();
    void defaultsRestoreAndFollowTheBars_data() { groups(); }
    void defaultsRestoreAndFollowTheBars();
    void defaultsAtDefaultsRunNothing_data() { groups(); }
    void defaultsAtDefaultsRunNothing();
    void balanceWheelCarriesTheEscapeWheel();
    void escapeWheelCrosshairBoxDoesNothing();

private:
    static void groups();
};

void TestPlacement::groups() {
    QTest::addColumn<std::function<Group(TForm1&)>>("group");
    const auto row = [](const char* name, std::function<Group(TForm1&)> make) {
        QTest::newRow(name) << make;
    };
    row("hour hand", [](TForm1& f) {
        return Group{Form2->TrackBarHourSize,
                     Form2->TrackBarHourX,
                     Form2->TrackBarHourY,
                     Form2->CheckBox1,
                     Form2->Button5,
                     nullptr,
                     f.Hourhand,
                     {f.Hourhand},
                     f.HourHandCrosshair,
                     nullptr,
                     100};
    });
    row("minute hand", [](TForm1& f) {
        return Group{Form2->TrackBarMinuteSize,
                     Form2->TrackBarMinuteX,
                     Form2->TrackBarMinuteY,
                     Form2->CheckBox4,
                     Form2->Button3,
                     nullptr,
                     f.Minutehand,
                     {f.Minutehand},
                     f.MinuteHandCrosshair,
                     nullptr,
                     100};
    });
    row("second hand", [](TForm1& f) {
        return Group{Form2->TrackBarSecondSize,
                     Form2->TrackBarSecondX,
                     Form2->TrackBarSecondY,
                     Form2->CheckBoxCrosshair,
                     Form2->Button4,
                     nullptr,
                     f.SecHand,
                     {f.SecHand},
                     f.SecHandCrosshair,
                     nullptr,
                     100};
    });
    row("balance wheel", [](TForm1& f) {
        return Group{Form2->TrackBarunruhSize,
                     Form2->TrackBarUnruhX,
                     Form2->TrackBarUnruhY,
                     Form2->CheckBoxCrosshairUnruh,
                     Form2->Button16,
                     Form2->CheckBoxShowWheel,
                     f.Unruh,
                     {f.LayoutUnruh, f.LayoutUnruhCrossHair},
                     f.LayoutUnruhCrossHair,
                     f.Unruh,
                     100};
    });
    row("tourbillon", [](TForm1& f) {
        return Group{Form2->TrackBarTourBillonSize,
                     Form2->TrackBarTourBillonX,
                     Form2->TrackBarTourBillonY,
                     Form2->CheckBoxCrosshairTourbillon,
                     Form2->Button17,
                     Form2->CheckBoxShowTourbillon,
                     f.Tourbillon,
                     {f.Tourbillon, f.LayoutTourBillonCrosshair},
                     f.LayoutTourBillonCrosshair,
                     f.Tourbillon,
                     100};
    });
    row("gear wheel", [](TForm1& f) {
        return Group{Form2->TrackBarGearwheelSize,
                     Form2->TrackBarGearWheelX,
                     Form2->TrackBarGearWheelY,
                     Form2->CheckBoxCrosshairGearWheel,
                     Form2->Button18,
                     Form2->CheckBoxShowGearWheel,
                     f.Gearwheel,
                     {f.Gearwheel, f.LayoutGearWheelCrosshair},
                     f.LayoutGearWheelCrosshair,
                     f.Gearwheel,
                     50};
    });
    row("escape wheel", [](TForm1& f) {
        return Group{Form2->TrackBarEscapewheelSize,
                     Form2->TrackBarEscapewheelX,
                     Form2->TrackBarEscapewheelY,
                     nullptr,
                     Form2->Button19,
                     Form2->CheckBoxShowEscapeWheel,
                     f.escapewheel,
                     {f.escapewheel},
                     nullptr,
                     f.escapewheel,
                     50};
    });
}

namespace {
QPointF centreInParent(const TElement& e) {
    return e.LocalToParent().map(e.LocalRect().center());
}
} // namespace

void TestPlacement::sizeBar() {
    QFETCH(std::function<Group(TForm1&)>, group);
    TForm1 form;
    const Group g = group(form);
    QCOMPARE(g.size->Value(), 582.7066f); // shown until a skin sets it; the element keeps its size
    g.size->setValue(640);
    QCOMPARE(g.sized->Width(), 640.0);
    QCOMPARE(g.sized->Height(), 640.0);
    g.size->setValue(1);
    QCOMPARE(g.sized->Width(), double(g.minSize));
}

void TestPlacement::xAndYBarsMoveTheCentreByHalf() {
    QFETCH(std::function<Group(TForm1&)>, group);
    TForm1 form;
    const Group g = group(form);
    std::vector<QPointF> before;
    std::vector<QMarginsF> margins;
    for (TElement* e : g.moved) {
        before.push_back(centreInParent(*e));
        margins.push_back(e->Margins()); // the mechanics start below the centre, on a top margin
    }
    g.x->setValue(710);
    g.y->setValue(-300);
    for (size_t i = 0; i < g.moved.size(); ++i) {
        QCOMPARE(g.moved[i]->Margins().left(), 710.0);
        QCOMPARE(g.moved[i]->Margins().top(), -300.0);
        const QPointF shift = centreInParent(*g.moved[i]) - before[i];
        const QPointF expected((710 - margins[i].left()) / 2, (-300 - margins[i].top()) / 2);
        QVERIFY2(std::abs(shift.x() - expected.x()) <= 1 && std::abs(shift.y() - expected.y()) <= 1,
                 qPrintable(QStringLiteral("%1, %2").arg(shift.x()).arg(shift.y())));
    }
}

void TestPlacement::crosshairAndShowAtAll() {
    QFETCH(std::function<Group(TForm1&)>, group);
    TForm1 form;
    const Group g = group(form);
    if (g.crosshair) {
        g.crosshair->setIsChecked(true);
        QVERIFY(g.crosshairShown->Visible());
        g.crosshair->setIsChecked(false);
        QVERIFY(!g.crosshairShown->Visible());
    }
    if (g.showAtAll) {
        QVERIFY(g.showAtAll->IsChecked());
        g.showAtAll->setIsChecked(false);
        QVERIFY(!g.shownAtAll->Visible());
        g.showAtAll->setIsChecked(true);
        QVERIFY(g.shownAtAll->Visible());
    }
}

void TestPlacement::defaultsRestoreAndFollowTheBars() {
    QFETCH(std::function<Group(TForm1&)>, group);
    TForm1 form;
    const Group g = group(form);
    g.x->setValue(120);
    g.y->setValue(-40);
    g.size->setValue(300);
    g.defaults->Click();
    QCOMPARE(g.x->Value(), 0.0f);
    QCOMPARE(g.y->Value(), 0.0f);
    QCOMPARE(g.size->Value(), 1000.0f);
    QCOMPARE(g.sized->Width(), 1000.0);
    for (TElement* e : g.moved) // the crosshair layout follows through the bars' handlers
        QCOMPARE(e->Margins(), QMarginsF());
}

void TestPlacement::defaultsAtDefaultsRunNothing() {
    QFETCH(std::function<Group(TForm1&)>, group);
    TForm1 form;
    const Group g = group(form);
    g.size->setValue(1000);
    int handlerRuns = 0;
    for (TTrackBar* bar : {g.x, g.y, g.size})
        bar->OnChange = [&](TObject*) { ++handlerRuns; };
    g.defaults->Click();
    QCOMPARE(handlerRuns, 0);
    QCOMPARE(g.sized->Width(), 1000.0);
}

void TestPlacement::balanceWheelCarriesTheEscapeWheel() {
    TForm1 form;
    const QPointF escape = form.escapewheel->LocalToScene().map(form.escapewheel->LocalRect().center());
    Form2->TrackBarUnruhX->setValue(100);
    const QPointF moved = form.escapewheel->LocalToScene().map(form.escapewheel->LocalRect().center());
    QVERIFY(std::abs(moved.x() - escape.x() - 0.7 * 50) < 1);
    Form2->CheckBoxShowWheel->setIsChecked(false);
    QVERIFY(!form.Unruh->Visible());
    QVERIFY(form.escapewheel->Visible());
}

void TestPlacement::escapeWheelCrosshairBoxDoesNothing() {
    TForm1 form;
    QVERIFY(!Form2->CheckBox10->isEnabled());
    Form2->CheckBoxCrosshairGearWheel->setIsChecked(true);
    Form2->CheckBox10->setIsChecked(true);
    Form2->CheckBox10->setIsChecked(false); // reads the gear wheel's box, which stays ticked
    QVERIFY(form.LayoutGearWheelCrosshair->Visible());
}

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
