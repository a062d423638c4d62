#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "testsupport.h"
#include "toolkit/controls.h"

#include <QLabel>
#include <QtTest>

class TestLight : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 10, 5, 18, 0, 0); }
    void secondHandShadowNeedsLightAndHand_data();
    void secondHandShadowNeedsLightAndHand();
    void lightBoxSwitchesLayerAndShadows();
    void lightAngleIsNotWrapped();
    void textShadowAndBlurMayBothBeOn();
    void arcAndBezels();
    void miniBezelFlagShowsNothingByItself();
    void dateOnFlashesItsFrameForTwoSeconds();
    void secondHandStacking_data();
    void secondHandStacking();
    void tourbillonAndBalanceOrders();
    void escapeWheelOrderAndCaptions();
};

void TestLight::secondHandShadowNeedsLightAndHand_data() {
    QTest::addColumn<bool>("light");
    QTest::addColumn<bool>("hand");
    QTest::addColumn<bool>("shadow");
    QTest::newRow("both on") << true << true << true;
    QTest::newRow("hand hidden") << true << false << false;
    QTest::newRow("light off") << false << true << false;
    QTest::newRow("both off") << false << false << false;
}

void TestLight::secondHandShadowNeedsLightAndHand() {
    QFETCH(bool, light);
    QFETCH(bool, hand);
    QFETCH(bool, shadow);
    TForm1 form;
    Form2->CheckBox2->setIsChecked(light);
    Form2->CheckBox7->setIsChecked(hand);
    QCOMPARE(form.SekShadow->Enabled(), shadow);
    QCOMPARE(form.SecHand->Visible(), hand);
    // Toggling the hand while the light is off leaves the shadow alone.
    Form2->CheckBox7->setIsChecked(!hand);
    if (!light)
        QVERIFY(!form.SekShadow->Enabled());
}

void TestLight::lightBoxSwitchesLayerAndShadows() {
    TForm1 form;
    const std::vector<TShadowEffect*> shadows = {form.SekShadow,  form.ShadowEffect4,      form.MinuteShadow,
                                                 form.HourShadow, form.ResumeShadowEffect, form.OnTopShadow};
    Form2->CheckBox2->setIsChecked(false);
    QVERIFY(!form.Overlay->Visible());
    for (TShadowEffect* shadow : shadows)
        QVERIFY2(!shadow->Enabled(), qPrintable(shadow->Name()));
    Form2->CheckBox2->setIsChecked(true);
    QVERIFY(form.Overlay->Visible());
    for (TShadowEffect* shadow : shadows)
        QVERIFY2(shadow->Enabled(), qPrintable(shadow->Name()));
}

void TestLight::lightAngleIsNotWrapped() {
    TForm1 form;
    Form2->TrackBar4->setValue(400);
    QCOMPARE(form.Overlay->RotationAngle(), 400.0f);
    QCOMPARE(form.ShadowEffect5->Direction(), 445.0f);
    QCOMPARE(form.ShadowEffect3->Direction(), 445.0f);
    QCOMPARE(form.OnTopShadow->Direction(), 400.0f);
    Form2->TrackBar5->setValue(0.25f);
    QCOMPARE(form.Overlay->Opacity(), 0.25);
}

void TestLight::textShadowAndBlurMayBothBeOn() {
    TForm1 form;
    Form2->CheckBoxTextShadow->setIsChecked(false);
    Form2->CheckBoxTextBlur->setIsChecked(false);
    Form2->CheckBoxTextShadow->setIsChecked(true);
    Form2->CheckBoxTextBlur->setIsChecked(true);
    QVERIFY(form.ShadowEffect5->Enabled() && form.ShadowEffect3->Enabled());
    QVERIFY(form.BlurEffect1->Enabled());
}

void TestLight::arcAndBezels() {
    TForm1 form;
    Form2->TrackBar1->setValue(12);
    QCOMPARE(form.AdjusterArc->StrokeThickness(), 12.0);
    Form2->TrackBar2->setValue(100);
    QCOMPARE(form.AdjusterArc->Margins(), QMarginsF(100, 100, 100, 100));
    // A larger inset draws a smaller circle.
    QCOMPARE(form.AdjusterArc->Width(), form.Minutehand->Width() - 200);
    Form2->TrackBarBezelSize->setValue(700);
    QCOMPARE(form.ArcOntop->Width(), 700.0);
    Form2->Button14->Click();
    QCOMPARE(form.ArcOntop->Width(), 1000.0);
    QCOMPARE(Form2->TrackBarBezelSize->Value(), 1000.0f);
    Form2->TrackBarMinutehandExtraAdjusterBezel->setValue(300);
    QCOMPARE(form.MinutehandExtraAdjusterBezel->Height(), 300.0);
    Form2->Button15->Click();
    QCOMPARE(form.MinutehandExtraAdjusterBezel->Height(), 1000.0);
    QCOMPARE(Form2->TrackBarMinutehandExtraAdjusterBezel->Value(), 1000.0f);
}

void TestLight::miniBezelFlagShowsNothingByItself() {
    TForm1 form;
    Form2->CheckBox8->setIsChecked(true);
    QCOMPARE(form.MinutehandExtraAdjusterBezel->Tag(), -1);
    QVERIFY(!form.MinutehandExtraAdjusterBezel->Visible());
    form.SetIndicatorGroupVisible(true);
    QVERIFY(form.MinutehandExtraAdjusterBezel->Visible());
    Form2->CheckBox8->setIsChecked(false);
    QCOMPARE(form.MinutehandExtraAdjusterBezel->Tag(), 0);
    form.SetIndicatorGroupVisible(true);
    QVERIFY(!form.MinutehandExtraAdjusterBezel->Visible());
}

void TestLight::dateOnFlashesItsFrameForTwoSeconds() {
    TForm1 form;
    Form2->CheckBox3->setIsChecked(false);
    QVERIFY(!form.DateOut->Visible() && !form.DateMover->Visible());
    Form2->CheckBox3->setIsChecked(true);
    QVERIFY(form.DateOut->Visible() && form.DateMover->Visible());
    QVERIFY(form.DateMoverFrame->Visible());
    advance(1990);
    QVERIFY(form.DateMoverFrame->Visible());
    advance(10);
    QVERIFY(!form.DateMoverFrame->Visible());
    QCOMPARE(form.TurnOffRectangleTimer.Interval(), 0);
}

void TestLight::secondHandStacking_data() {
    QTest::addColumn<bool>("secondOnTop");
    QTest::addColumn<bool>("onTopPicture");
    QTest::addColumn<QStringList>("topDown");
    QTest::newRow("checked, no on-top picture")
        << true << false << QStringList{"ArcOntop", "DateMover",  "CutOutMover", "Overlay",
                                        "SecHand",  "Minutehand", "Hourhand",    "AdjusterHand",
                                        "DateOut",  "CutOut",     "OnTop",       "AdjusterHandRecipient"};
    QTest::newRow("checked, on-top picture")
        << true << true << QStringList{"ArcOntop",   "DateMover", "CutOutMover",  "Overlay",
                                       "DateOut",    "CutOut",    "OnTop",        "SecHand",
                                       "Minutehand", "Hourhand",  "AdjusterHand", "AdjusterHandRecipient"};
    QTest::newRow("unchecked, no on-top picture")
        << false << false << QStringList{"ArcOntop",   "DateMover", "CutOutMover", "Overlay",
                                         "Minutehand", "Hourhand",  "SecHand",     "AdjusterHand",
                                         "DateOut",    "CutOut",    "OnTop",       "AdjusterHandRecipient"};
    QTest::newRow("unchecked, on-top picture")
        << false << true << QStringList{"ArcOntop", "DateMover", "CutOutMover",  "Overlay",
                                        "DateOut",  "CutOut",    "OnTop",        "Minutehand",
                                        "Hourhand", "SecHand",   "AdjusterHand", "AdjusterHandRecipient"};
}

void TestLight::secondHandStacking() {
    QFETCH(bool, secondOnTop);
    QFETCH(bool, onTopPicture);
    QFETCH(QStringList, topDown);
    TForm1 form;
    form.OnTop->setTag(onTopPicture ? -1 : 0);
    form.ShadowEffect5->setDistance(9);
    Form2->CheckBoxSecOnTop->setIsChecked(!secondOnTop);
    QTest::ignoreMessage(QtDebugMsg, "Horavis BringToFront X3");
    Form2->CheckBoxSecOnTop->setIsChecked(secondOnTop);
    QStringList order;
    const auto& children = form.Watch->Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (topDown.contains((*it)->Name()))
            order << (*it)->Name();
    QCOMPARE(order, topDown);
    QCOMPARE(form.ShadowEffect5->Distance(), 3.0);
    QCOMPARE(form.ShadowEffect3->Distance(), 3.0);
}

namespace {
QStringList bottomOfWatchLayout(const TForm1& form, int count) {
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << form.Layout_Watch->Children()[size_t(i)]->Name();
    return names;
}

QColor captionColour(const QLabel* label) {
    const QString sheet = label->styleSheet();
    return QColor(sheet.mid(sheet.indexOf('#'), 9));
}
} // namespace

void TestLight::tourbillonAndBalanceOrders() {
    TForm1 form;
    Form2->TourbillononTopOfBalanceSwitch->setIsChecked(true);
    QCOMPARE(bottomOfWatchLayout(form, 8),
             QStringList({"GreenRectangle", "MagentaRectangle", "WatchBG", "LayoutUnruh", "Tourbillon",
                          "Gearwheel", "Watch", "LayoutGearWheelCrosshair"}));
    QCOMPARE(captionColour(Form2->Label38), QColor(Qt::white));
    QCOMPARE(captionColour(Form2->Label37), QColor(0x80, 0x80, 0x80));
    QTest::mouseClick(Form2->Label37, Qt::LeftButton);
    QVERIFY(!Form2->TourbillononTopOfBalanceSwitch->IsChecked());
    QCOMPARE(bottomOfWatchLayout(form, 8),
             QStringList({"GreenRectangle", "MagentaRectangle", "WatchBG", "Tourbillon", "LayoutUnruh",
                          "Gearwheel", "Watch", "LayoutGearWheelCrosshair"}));
    QCOMPARE(captionColour(Form2->Label37), QColor(Qt::white));
    // Clicking the caption that is already active changes nothing.
    form.Tourbillon->BringToFront();
    QTest::mouseClick(Form2->Label37, Qt::LeftButton);
    QCOMPARE(form.Layout_Watch->Children().back()->Name(), QStringLiteral("Tourbillon"));
}

void TestLight::escapeWheelOrderAndCaptions() {
    TForm1 form;
    const QStringList tourbillonOrder = bottomOfWatchLayout(form, 10);
    QTest::mouseClick(Form2->Label42, Qt::LeftButton);
    QVERIFY(Form2->EscapeOnTopOfBalanceWheelSwith->IsChecked());
    QCOMPARE(form.LayoutUnruh->Children().front()->Name(), QStringLiteral("escapewheel"));
    QCOMPARE(captionColour(Form2->Label42), QColor(Qt::white));
    QCOMPARE(captionColour(Form2->Label37), QColor(Qt::white)); // the other switch's captions stay
    QCOMPARE(bottomOfWatchLayout(form, 10), tourbillonOrder);
    QTest::mouseClick(Form2->Label41, Qt::LeftButton);
    QCOMPARE(form.LayoutUnruh->Children().front()->Name(), QStringLiteral("Unruh"));
}

QTEST_MAIN(TestLight)
#include "tst_light.moc"
