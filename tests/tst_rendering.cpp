#include "app/Unit1.h"
#include "testsupport.h"
#include "toolkit/controls.h"
#include "toolkit/describe.h"
#include "toolkit/renderer.h"
#include "toolkit/view.h"

#include <QPainter>
#include <QtTest>

class TestRendering : public QObject {
    Q_OBJECT
private slots:
    void plateShowsTheChosenColour();
    void minuteHandPointsToTwelveAtThree();
    void movementShowsThroughTheOpening();
    void shadowFallsInTheElementsOwnFrame();
    void pointerEventsArriveInLocalUnitsWithCapture();
    void partialRepaintsMatchFullRender();
};

namespace {
// The dial's centre in window pixels: Layout_Watch puts unit (u, v) at (70 + 0.7u, -30 + 0.7v).
const QPointF DialCentre(70 + 0.7 * 610, -30 + 0.7 * 610);

QPoint onDial(double unitsRight, double unitsUp) {
    return (DialCentre + QPointF(0.7 * unitsRight, -0.7 * unitsUp)).toPoint();
}

bool differs(const QImage& a, const QImage& b, QPoint at) {
    const QColor p = a.pixelColor(at);
    const QColor q = b.pixelColor(at);
    return std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) + std::abs(p.blue() - q.blue()) > 30;
}
} // namespace

void TestRendering::plateShowsTheChosenColour() {
    setLocalTime(2026, 3, 14, 10, 9, 0);
    TForm1 form;
    const QPoint plate(850, 100); // right of the watch, clear of both panels
    QCOMPARE(form.view().grabScene().pixelColor(plate), QColor(0, 255, 0));
    form.MagentaBox->setIsChecked(true);
    QCOMPARE(form.view().grabScene().pixelColor(plate), QColor(255, 0, 255));
}

void TestRendering::minuteHandPointsToTwelveAtThree() {
    setLocalTime(2026, 3, 14, 3, 0, 0);
    TForm1 form;
    form.UhrzeitTimerTimer(&form.UhrzeitTimer);
    advance(50);
    form.SecHand->setVisible(false); // it points to 12 as well
    const QImage withHand = form.view().grabScene();
    form.Minutehand->setVisible(false);
    const QImage withoutHand = form.view().grabScene();
    for (double radius : {60.0, 120.0, 160.0})
        QVERIFY2(differs(withHand, withoutHand, onDial(0, radius)), qPrintable(QString::number(radius)));
    QVERIFY(!differs(withHand, withoutHand, onDial(0, 250))); // past the tip
    for (double radius : {150.0, 250.0})                      // nothing of it at 6 or at 9 o'clock
        QVERIFY(!differs(withHand, withoutHand, onDial(0, -radius)) &&
                !differs(withHand, withoutHand, onDial(-radius, 0)));
}

// The movement lies under the dial and shows only through its window: hiding the gear wheel changes
// pixels there and nowhere else, and the window never shows the plate behind the watch.
void TestRendering::movementShowsThroughTheOpening() {
    setLocalTime(2026, 3, 14, 10, 9, 12);
    TForm1 form;
    for (TElement* crosshair : std::initializer_list<TElement*>{
             form.LayoutUnruhCrossHair, form.LayoutTourBillonCrosshair, form.LayoutGearWheelCrosshair})
        crosshair->setVisible(false);
    form.SecHand->setVisible(false);
    const QImage whole = form.view().grabScene();
    // The window sits 71.4 units below the dial's centre.
    const QPoint opening = onDial(0, -71.4);
    const auto changedInside = [&](const QImage& other) {
        int inside = 0, outside = 0;
        for (int y = 0; y < whole.height(); ++y)
            for (int x = 0; x < whole.width(); ++x)
                if (differs(whole, other, {x, y}))
                    (QLineF(QPointF(x, y), opening).length() < 0.7 * 30 ? inside : outside) += 1;
        return std::pair{inside, outside};
    };
    form.Gearwheel->setVisible(false);
    const auto [gearInside, gearOutside] = changedInside(form.view().grabScene());
    QVERIFY2(gearInside > 300, qPrintable(QString::number(gearInside)));
    QCOMPARE(gearOutside, 0);
    // Even without any movement the window shows no chroma plate.
    for (TElement* part : std::initializer_list<TElement*>{form.Tourbillon, form.LayoutUnruh})
        part->setVisible(false);
    form.Gearwheel->setVisible(true);
    const QImage covered = form.view().grabScene();
    for (int dy = -18; dy <= 18; dy += 3)
        for (int dx = -18; dx <= 18; dx += 3)
            QVERIFY(covered.pixelColor(opening + QPoint(dx, dy)) != QColor(0, 255, 0));
}

// Turning an element turns its shadow's direction with it: 0 points along the element's own x axis.
void TestRendering::shadowFallsInTheElementsOwnFrame() {
    TScene scene(QSizeF(200, 200));
    auto& plate = addElement<TRectangle>(scene.root(), "Plate", {.align = TAlignLayout::Client});
    plate.setFillColor(Qt::white);
    plate.setStrokeThickness(0);
    auto& square =
        addElement<TImage>(scene.root(), "Square", {.at = {80, 80}, .size = {40, 40}, .rotation = 90});
    QImage picture(40, 40, QImage::Format_ARGB32);
    picture.fill(Qt::blue);
    square.setBitmap(picture);
    addShadow(square, "Shadow", {.distance = 20, .direction = 0, .softness = 0, .opacity = 1});
    QImage canvas(200, 200, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    TSceneRenderer().render(painter, scene);
    painter.end();
    QCOMPARE(canvas.pixelColor(100, 130), QColor(Qt::black)); // below: the turned x axis points down
    QCOMPARE(canvas.pixelColor(130, 100), QColor(Qt::white));
    QCOMPARE(canvas.pixelColor(100, 100), QColor(Qt::blue));
}

void TestRendering::pointerEventsArriveInLocalUnitsWithCapture() {
    TScene scene(QSizeF(200, 200));
    auto& target = addElement<TLayout>(
        scene.root(), "Target",
        {.at = {50, 50}, .size = {100, 50}, .rotation = 90, .scale = {0.5, 0.5}, .hits = true});
    QList<QPointF> downs, moves, ups;
    target.OnMouseDown = [&](TObject*, Qt::MouseButtons, QPointF p) { downs << p; };
    target.OnMouseMove = [&](TObject*, Qt::MouseButtons, QPointF p) { moves << p; };
    target.OnMouseUp = [&](TObject*, Qt::MouseButtons, QPointF p) { ups << p; };
    TSceneView view(scene, nullptr);
    view.resize(200, 200);
    // The element's centre (50, 25) sits at (50 + 25, 50 + 12.5) after scaling about its corner.
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(75, 62));
    QTest::mouseMove(&view, QPoint(190, 190)); // far outside, but the press captured the pointer
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(190, 190));
    QCOMPARE(downs.size(), 1);
    QVERIFY(std::abs(downs[0].x() - 50) < 1.5 && std::abs(downs[0].y() - 25) < 1.5);
    QVERIFY(!moves.isEmpty());
    QCOMPARE(ups.size(), 1);
    QVERIFY(ups[0].x() > 100); // in the element's own units, well beyond its right edge
}

// Painting only the damaged areas, frame after frame, must give the same picture as painting
// everything: a moving hand or shadow that leaves a trail means the damage missed something.
void TestRendering::partialRepaintsMatchFullRender() {
    setLocalTime(2026, 3, 14, 10, 9, 58, 0);
    TForm1 form;
    QImage canvas = form.view().grabScene();
    form.view().takeDamage();
    // Paints lag behind the changes now and then, as they do under a busy event loop.
    QRegion late;
    for (int frame = 0; frame < 240; ++frame) {
        advance(7 + frame % 23);
        const QRegion damage = form.view().takeDamage();
        if (frame % 3 == 0) {
            late = damage;
            continue;
        }
        form.view().renderArea(canvas, damage + late);
        late = QRegion();
    }
    const QImage full = form.view().grabScene();
    // Edges may differ by antialiasing between a baked and a directly drawn picture; trails would not.
    QCOMPARE_LE(differingPixels(canvas, full, 48), 40);
}

QTEST_MAIN(TestRendering)
#include "tst_rendering.moc"
