#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "testsupport.h"
#include "toolkit/controls.h"

#include <QtTest>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 2, 3, 11, 12, 13); }
    void windowFrame();
    void watchLayersBackToFront();
    void layeringHoldsWhateverTheBuildOrder();
    void dialLayersFollowTheEditor();
    void windowDescription_data();
    void windowDescription();
    void initialStates_data();
    void initialStates();
    void mechanicsSitBelowTheCentre();
    void escapeWheelStepsOnceAsTheWindowIsBuilt();
    void appDirEndsWithSeparator();
    void magentaSwitchesThePlate();
    void editorExistsAndOpens();
};

namespace {
QStringList childNames(const TElement& parent) {
    QStringList names;
    for (const auto& child : parent.Children())
        names << child->Name();
    return names;
}

const TElement* find(const TElement& root, const QString& name) {
    if (root.Name() == name)
        return &root;
    for (const auto& child : root.Children())
        if (const TElement* found = find(*child, name))
            return found;
    return nullptr;
}

const QStringList WatchLayers = {"GreenRectangle",
                                 "MagentaRectangle",
                                 "WatchBG",
                                 "Tourbillon",
                                 "LayoutUnruh",
                                 "Gearwheel",
                                 "Watch",
                                 "LayoutGearWheelCrosshair",
                                 "LayoutTourBillonCrosshair",
                                 "LayoutUnruhCrossHair"};
} // namespace

void TestStartup::windowFrame() {
    TForm1 form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(form.size(), QSize(872, 734));
    QCOMPARE(form.minimumSize(), form.maximumSize()); // not resizable
    QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(form.pos(), QPoint(0, 0));
}

void TestStartup::watchLayersBackToFront() {
    TForm1 form;
    QCOMPARE(childNames(*form.Layout_Watch), WatchLayers);
}

void TestStartup::layeringHoldsWhateverTheBuildOrder() {
    TForm1 form;
    // Shuffle the layers, then run the creation step's layering again.
    form.GreenRectangle->BringToFront();
    form.Watch->SendToBack();
    form.LayoutUnruh->BringToFront();
    form.Tourbillon->BringToFront();
    QVERIFY(childNames(*form.Layout_Watch) != WatchLayers);
    form.ArrangeWatchLayers();
    QCOMPARE(childNames(*form.Layout_Watch), WatchLayers);
}

// The dial's layers are the editor's from the start: the same order every skin load leaves.
void TestStartup::dialLayersFollowTheEditor() {
    TForm1 form;
    const QStringList names = childNames(*form.Watch);
    const QStringList topDown = {"ArcOntop", "DateMover",  "CutOutMover", "Overlay",
                                 "SecHand",  "Minutehand", "Hourhand",    "AdjusterHand",
                                 "DateOut",  "CutOut",     "OnTop",       "AdjusterHandRecipient"};
    QStringList top = names.mid(names.size() - topDown.size());
    std::reverse(top.begin(), top.end());
    QCOMPARE(top, topDown);
}

// What the window description gives each element, before the editor's values reach the scene.
void TestStartup::windowDescription_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<float>("rotation");
    QTest::addColumn<QSizeF>("size");
    QTest::newRow("Tourbillon") << "Tourbillon" << true << 80.0f << QSizeF(250, 250);
    QTest::newRow("Unruh") << "Unruh" << true << 0.0f << QSizeF(120, 120);
    QTest::newRow("escapewheel") << "escapewheel" << true << 0.0f << QSizeF(80, 80);
    QTest::newRow("Hourhand") << "Hourhand" << true << 90.0f << QSizeF(1000, 1000);
    QTest::newRow("SecHand") << "SecHand" << true << 90.0f << QSizeF(1000, 1000);
    QTest::newRow("Overlay") << "Overlay" << true << -45.0f << QSizeF(1000, 1000);
    QTest::newRow("AdjusterHand") << "AdjusterHand" << false << -90.0f << QSizeF(11, 11);
    QTest::newRow("NewStopTime") << "NewStopTime" << false << -90.0f << QSizeF(495, 495);
    QTest::newRow("AdjusterArc") << "AdjusterArc" << true << 0.0f << QSizeF(1000, 1000);
    QTest::newRow("hour crosshair hidden") << "HourHandCrosshair" << false << 0.0f << QSizeF(700, 700);
    QTest::newRow("mechanics crosshair") << "LayoutUnruhCrossHair" << true << 0.0f << QSizeF(300, 300);
    QTest::newRow("magenta plate hidden")
        << "MagentaRectangle" << false << 0.0f << QSizeF(852 / 0.7, 814 / 0.7);
    QTest::newRow("DateOut") << "DateOut" << true << 1.3f << QSizeF(120, 70);
    QTest::newRow("full face holder hidden") << "WatchfaceFull" << false << 0.0f << QSizeF(145, 137);
}

void TestStartup::windowDescription() {
    QFETCH(QString, name);
    QFETCH(bool, visible);
    QFETCH(float, rotation);
    QFETCH(QSizeF, size);
    const TWatchScene watch(QSizeF(872, 734));
    const TElement* element = find(watch.scene().root(), name);
    QVERIFY2(element, qPrintable(name));
    QCOMPARE(element->Visible(), visible);
    QCOMPARE(element->RotationAngle(), rotation);
    QVERIFY(qFuzzyCompare(element->Width(), size.width()));
    QVERIFY(qFuzzyCompare(element->Height(), size.height()));
}

// After the creation step: the countdown hidden, the drag frames hidden, and everything else as the
// editor's controls say (sizes 582.7066, the light at 190.382, the crosshairs following their boxes).
void TestStartup::initialStates_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<float>("rotation");
    QTest::addColumn<double>("width");
    const double editorSize = 582.7066f;
    QTest::newRow("Tourbillon") << "Tourbillon" << true << 80.0f << editorSize;
    QTest::newRow("Unruh") << "Unruh" << true << 0.0f << editorSize;
    QTest::newRow("Hourhand") << "Hourhand" << true << 90.0f << editorSize;
    QTest::newRow("Overlay turned by the light") << "Overlay" << true << 190.382f << 1000.0;
    QTest::newRow("Indicator hidden") << "Indicator" << false << 0.0f << 1000.0;
    QTest::newRow("ArcOntop hidden") << "ArcOntop" << false << 0.0f << editorSize;
    QTest::newRow("AdjusterArc hidden, inset")
        << "AdjusterArc" << false << 0.0f << editorSize - 2 * double(190.382f);
    QTest::newRow("mini bezel hidden") << "MinutehandExtraAdjusterBezel" << false << 0.0f << editorSize;
    // The lines on the text plate take their text's width (-1).
    QTest::newRow("DaInitMessage hidden") << "DaInitMessage" << false << 0.0f << -1.0;
    QTest::newRow("DaMessage hidden") << "DaMessage" << false << 0.0f << -1.0;
    QTest::newRow("date frame hidden") << "DateMoverFrame" << false << 0.0f << 141.0;
    QTest::newRow("text frame hidden") << "CutOutMoverFrame" << false << 0.0f << 534.0;
    for (const char* crosshair :
         {"LayoutUnruhCrossHair", "LayoutTourBillonCrosshair", "LayoutGearWheelCrosshair"})
        QTest::newRow(crosshair) << crosshair << false << 0.0f << 300.0;
}

void TestStartup::initialStates() {
    QFETCH(QString, name);
    QFETCH(bool, visible);
    QFETCH(float, rotation);
    QFETCH(double, width);
    TForm1 form;
    const TElement* element = find(form.scene().root(), name);
    QVERIFY2(element, qPrintable(name));
    QCOMPARE(element->Visible(), visible);
    QCOMPARE(element->RotationAngle(), rotation);
    if (const auto* line = dynamic_cast<const TLabel*>(element); line && width < 0)
        width = line->naturalSize().width();
    QVERIFY2(qFuzzyCompare(element->Width(), width), qPrintable(QString::number(element->Width())));
}

void TestStartup::mechanicsSitBelowTheCentre() {
    const TWatchScene form(QSizeF(872, 734));
    for (const TElement* element :
         {static_cast<const TElement*>(form.Tourbillon), static_cast<const TElement*>(form.Gearwheel),
          static_cast<const TElement*>(form.LayoutUnruh)}) {
        const QPointF centre = element->LocalToParent().map(element->LocalRect().center());
        QCOMPARE(centre, QPointF(608, 781));
    }
    const QPointF dial = form.Watch->LocalToParent().map(form.Watch->LocalRect().center());
    QCOMPARE(dial, QPointF(610, 610));
    // The escape wheel sits 75 below the balance wheel's centre.
    const QPointF escape = form.escapewheel->LocalToParent().map(form.escapewheel->LocalRect().center());
    QCOMPARE(escape, QPointF(125, 200));
}

void TestStartup::escapeWheelStepsOnceAsTheWindowIsBuilt() {
    TForm1 form;
    QVERIFY(form.EscapewheelFloatAnimation->Running());
    advance(50);
    QCOMPARE(form.escapewheel->RotationAngle(), 6.0f);
    advance(450); // the first timer event steps on from 6 to 9
    QCOMPARE(form.EscapewheelFloatAnimation->StartValue, 6.0f);
    QCOMPARE(form.EscapewheelFloatAnimation->StopValue, 9.0f);
}

void TestStartup::appDirEndsWithSeparator() {
    TForm1 form;
    QVERIFY(form.AppDir.endsWith(QDir::separator()));
    QCOMPARE(QDir(form.AppDir).canonicalPath(), QDir(QCoreApplication::applicationDirPath()).canonicalPath());
}

void TestStartup::magentaSwitchesThePlate() {
    TForm1 form;
    form.MagentaBox->setIsChecked(true);
    QVERIFY(form.MagentaRectangle->Visible());
    form.PlaySound_Chosen->setIsChecked(true);
    QVERIFY(form.MagentaRectangle->Visible());
    form.MagentaBox->setIsChecked(false);
    QVERIFY(!form.MagentaRectangle->Visible());
    form.PlaySound_Chosen->setIsChecked(false);
    QVERIFY(!form.MagentaRectangle->Visible());
    QVERIFY(form.GreenRectangle->Visible());
}

void TestStartup::editorExistsAndOpens() {
    TForm1 form;
    QVERIFY(Form2);
    QCOMPARE(Form2, &form.editor());
    QVERIFY(!Form2->isVisible());
    QCOMPARE(Form2->TrackBar4->Value(), 190.382f);
    QVERIFY(!Form2->CheckBox6->IsChecked());
    QVERIFY(form.CheckBox5->IsChecked());
    form.Editor->Click();
    QVERIFY(Form2->isVisible());
    QTest::keyClick(Form2, Qt::Key_Escape);
    QVERIFY(!Form2->isVisible());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
