#include "app/Unit1.h"
#include "testsupport.h"
#include "toolkit/controls.h"
#include "toolkit/describe.h"
#include "toolkit/renderer.h"
#include "toolkit/view.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

class TestRendering : public QObject {
    Q_OBJECT
private slots:
    void plateShowsTheChosenColour();
    void handTipsReachTheirMarks_data();
    void handTipsReachTheirMarks();
    void gearWheelClosesTheOpening();
    void shadowFallsInTheElementsOwnFrame();
    void pointerEventsArriveInLocalUnitsWithCapture();
    void partialRepaintsMatchFullRender();
    void dialLinesShowWholeOnTheFace_data();
    void dialLinesShowWholeOnTheFace();
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

// The box of the pixels that differ between two renders.
QRect changedBox(const QImage& a, const QImage& b) {
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (differs(a, b, {x, y}))
                box |= QRect(x, y, 1, 1);
    return box;
}

bool isLime(const QColor& colour) {
    return colour.red() < 40 && colour.green() > 215 && colour.blue() < 40;
}

// A first start in an empty program folder writes the default skin and loads it: the look on air.
struct DefaultSkin {
    QTemporaryDir folder;
    TForm1 form{folder.path(), TDiskUse::On};
};
} // namespace

void TestRendering::plateShowsTheChosenColour() {
    setLocalTime(2026, 3, 14, 10, 9, 0);
    TForm1 form;
    const QPoint plate(850, 100); // right of the watch, clear of both panels
    QCOMPARE(form.view().grabScene().pixelColor(plate), QColor(0, 255, 0));
    form.MagentaBox->setIsChecked(true);
    QCOMPARE(form.view().grabScene().pixelColor(plate), QColor(255, 0, 255));
}

// With the default skin's sizes the hour hand ends where the indices begin, the minute hand on the
// minute track (dial units 275 to 289) and the second hand at the track's outer edge.
void TestRendering::handTipsReachTheirMarks_data() {
    QTest::addColumn<QString>("hand");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<double>("nearest");
    QTest::addColumn<double>("farthest");
    QTest::newRow("hour hand to the indices") << "Hourhand" << QTime(12, 0) << 199.0 << 208.0;
    QTest::newRow("minute hand onto the minute track") << "Minutehand" << QTime(3, 0) << 276.0 << 289.0;
    QTest::newRow("second hand to the track's edge") << "SecHand" << QTime(9, 30) << 286.0 << 292.0;
}

void TestRendering::handTipsReachTheirMarks() {
    QFETCH(QString, hand);
    QFETCH(QTime, time);
    QFETCH(double, nearest);
    QFETCH(double, farthest);
    setLocalTime(2026, 3, 14, time.hour(), time.minute());
    DefaultSkin skin;
    TForm1& form = skin.form;
    form.UhrzeitTimerTimer(&form.UhrzeitTimer);
    advance(50);
    TImage* shown = nullptr;
    for (TImage* each : {form.Hourhand, form.Minutehand, form.SecHand}) {
        QCOMPARE(each->Width(), 582.706604f);
        each->setVisible(each->Name() == hand);
        shown = each->Visible() ? each : shown;
    }
    QVERIFY(shown);
    const QImage withHand = form.view().grabScene();
    shown->setVisible(false);
    const QImage withoutHand = form.view().grabScene();
    // The hand points to 12: nothing of it towards 3, 6 or 9.
    for (const QPoint elsewhere : {onDial(150, 0), onDial(0, -150), onDial(-150, 0)})
        QVERIFY(!differs(withHand, withoutHand, elsewhere));
    double reach = 0;
    for (double radius = 100; radius <= 320; radius += 0.5)
        reach = differs(withHand, withoutHand, onDial(0, radius)) ? radius : reach;
    QVERIFY2(reach >= nearest && reach <= farthest, qPrintable(QString::number(reach)));
    for (double radius = 120; radius < nearest - 40; radius += 10) // a blade, not a scattering of pixels
        QVERIFY2(differs(withHand, withoutHand, onDial(0, radius)), qPrintable(QString::number(radius)));
}

// The movement lies under the dial and shows only through the opening round the hands' pivot. A new
// skin keeps no picture of the tourbillon, balance or escape wheel, so the gear wheel alone must close
// the opening at every angle; without it the plate behind the watch would show.
void TestRendering::gearWheelClosesTheOpening() {
    setLocalTime(2026, 3, 14, 10, 9, 12);
    DefaultSkin skin;
    TForm1& form = skin.form;
    for (TImage* hand : {form.Hourhand, form.Minutehand, form.SecHand})
        hand->setVisible(false);
    const QPoint opening = onDial(0, 0);
    const double openingRadius = 0.7 * 42; // window pixels
    const QImage whole = form.view().grabScene();
    form.Gearwheel->setVisible(false);
    const QImage withoutGear = form.view().grabScene();
    int inside = 0, outside = 0, limeInside = 0;
    for (int y = 0; y < whole.height(); ++y) {
        for (int x = 0; x < whole.width(); ++x) {
            const double distance = QLineF(QPointF(x, y), opening).length();
            if (differs(whole, withoutGear, {x, y}))
                (distance < openingRadius + 1.5 ? inside : outside) += 1;
            limeInside += distance < openingRadius && isLime(withoutGear.pixelColor(x, y)) ? 1 : 0;
        }
    }
    QVERIFY2(inside > 2000, qPrintable(QString::number(inside)));
    QCOMPARE(outside, 0);
    QVERIFY2(limeInside > 1000, qPrintable(QString::number(limeInside)));
    form.Gearwheel->setVisible(true);
    for (const float angle : {0.0f, 4.5f, 33.0f, 90.0f, 179.0f}) {
        form.Gearwheel->setRotationAngle(angle);
        const QImage turned = form.view().grabScene();
        for (int dy = -30; dy <= 30; dy += 2)
            for (int dx = -30; dx <= 30; dx += 2)
                QVERIFY2(!isLime(turned.pixelColor(opening + QPoint(dx, dy))),
                         qPrintable(QStringLiteral("%1 degrees, (%2, %3)").arg(angle).arg(dx).arg(dy)));
    }
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
// everything: a moving hand or shadow that leaves a trail means the damage missed something. The look
// on air is the default skin's, whose hands stay on the dial.
void TestRendering::partialRepaintsMatchFullRender() {
    setLocalTime(2026, 3, 14, 10, 9, 58, 0);
    DefaultSkin skin;
    TForm1& form = skin.form;
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

// A line on the dial takes its text's width, centred on the plate; one too wide for the face where it
// stands shrinks whole to fit it, so nothing is cut at the plate's or the face's edge.
void TestRendering::dialLinesShowWholeOnTheFace_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("shrinks");
    QTest::addColumn<bool>("legible"); // large enough to find every end of it in the picture
    QTest::newRow("short") << QStringLiteral("9:09") << false << true;
    QTest::newRow("wider than the plate")
        << QStringLiteral("Stream starts soon - grab a coffee and say hello in chat") << true << true;
    QTest::newRow("forty bars") << QStringLiteral("| ").repeated(40).trimmed() << true << true;
    QTest::newRow("far wider than the dial")
        << QStringLiteral("We are live in a minute! ").repeated(8) << true << true;
    QTest::newRow("longest message") << QStringLiteral("x").repeated(2047) << true << false;
}

void TestRendering::dialLinesShowWholeOnTheFace() {
    QFETCH(QString, text);
    QFETCH(bool, shrinks);
    QFETCH(bool, legible);
    setLocalTime(2026, 3, 14, 10, 9, 0);
    DefaultSkin skin;
    TForm1& form = skin.form;
    const double faceRadius = 0.7 * 315; // the face inside the chapter ring, in window pixels
    for (TLabel* line : {form.DaInitMessage, form.DaMessage}) {
        form.DaInitMessage->setVisible(line == form.DaInitMessage);
        form.DaMessage->setVisible(line == form.DaMessage);
        line->setText(QString());
        const QImage without = form.view().grabScene();
        line->setText(text);
        const QImage with = form.view().grabScene();

        const QRectF box = line->LocalToScene().mapRect(line->LocalRect());
        for (const QPointF& corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
            QVERIFY2(QLineF(corner, DialCentre).length() <= faceRadius + 0.5, qPrintable(line->Name()));
        QCOMPARE(line->textScale() < 1, shrinks);
        const QRectF plate = form.CutOut->LocalToScene().mapRect(form.CutOut->LocalRect());
        QVERIFY(std::abs(box.center().x() - plate.center().x()) < 1);

        if (!legible)
            continue;
        // What is drawn spans the line's box, ends included, and stays on the face (its shadow too).
        const QRect ink = changedBox(without, with);
        QVERIFY(!ink.isEmpty());
        QVERIFY2(ink.width() >= 0.9 * (box.width() - 4), qPrintable(line->Name()));
        for (const QPoint& corner : {ink.topLeft(), ink.topRight(), ink.bottomLeft(), ink.bottomRight()})
            QVERIFY2(QLineF(corner, DialCentre).length() <= faceRadius + 6, qPrintable(line->Name()));
    }
}

QTEST_MAIN(TestRendering)
#include "tst_rendering.moc"
