// What the view puts on air: pictures at the screen's own resolution, animation frames at the
// display's rate, nothing painted or rebuilt for changes that end where they began, and pictures
// kept as their encoded bytes with only the sizes shown decoded.
#include "app/Unit1.h"
#include "testsupport.h"
#include "toolkit/animation.h"
#include "toolkit/controls.h"
#include "toolkit/describe.h"
#include "toolkit/effects.h"
#include "toolkit/renderer.h"
#include "toolkit/view.h"

#include <QBuffer>
#include <QPainter>
#include <QtTest>

class TestFrames : public QObject {
    Q_OBJECT
private slots:
    void higherRatiosCarryDetail_data();
    void higherRatiosCarryDetail();
    void framesFollowTheDisplayRate_data();
    void framesFollowTheDisplayRate();
    void framesBetweenTicksShowIntermediatePositions();
    void nothingRepaintsWhileNothingMoves();
    void blurIsKeptThroughATextSetAndSetBack();
    void endedCountdownRebuildsNoBlur();
    void pictureDecodesAtItsShownSize_data();
    void pictureDecodesAtItsShownSize();
    void resizeDuringADragDecodesOnceItHolds();
    void builtInPicturesStayEncoded();
    void turnedThinPictureHidesOnlyItsOwnPixels();
    void turnedPictureIsBakedOnlyWhileItHolds_data();
    void turnedPictureIsBakedOnlyWhileItHolds();
    void arcIsStrokedAgainOnlyWhenItVisiblyChanges();
};

namespace {
// The dial's numerals and indices around XII, in window units, clear of every moving part.
const QRect DialDetail(420, 150, 160, 110);

QImage magnified(const QImage& picture, QSize size, Qt::TransformationMode mode) {
    return picture.scaled(size, Qt::IgnoreAspectRatio, mode);
}

// Share of pixels in `area` (window units) where two same-sized pictures differ clearly.
double differingShare(const QImage& a, const QImage& b, const QRect& area, qreal ratio) {
    const QRect pixels =
        QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio)
            .toAlignedRect();
    return double(differingPixels(a.copy(pixels), b.copy(pixels), 40)) / (pixels.width() * pixels.height());
}

QByteArray pngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A 400 × 400 picture with a transparent border 50 wide around a checkered square.
QImage checkered() {
    QImage image(400, 400, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    for (int y = 50; y < 350; y += 10)
        for (int x = 50; x < 350; x += 10)
            painter.fillRect(x, y, 10, 10, (x + y) / 10 % 2 ? Qt::black : Qt::yellow);
    return image;
}

bool near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 24;
}

void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}
} // namespace

void TestFrames::higherRatiosCarryDetail_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("200%") << qreal(2);
    QTest::newRow("150%") << qreal(1.5);
    QTest::newRow("125%") << qreal(1.25);
}

// A screen at a higher ratio gets a picture drawn at its resolution, not a 1x picture blown up:
// it differs clearly from the magnified 1x picture, by nearest pixels or smoothed alike.
void TestFrames::higherRatiosCarryDetail() {
    QFETCH(qreal, ratio);
    setLocalTime(2026, 3, 14, 10, 9, 30);
    TForm1 form;
    const QImage single = form.view().grabScene();
    const QImage fine = form.view().grabScene(ratio);
    const QSize expected(int(std::ceil(TForm1::ClientWidth * ratio)),
                         int(std::ceil(TForm1::ClientHeight * ratio)));
    QCOMPARE(fine.size(), expected);
    QCOMPARE(fine.devicePixelRatio(), ratio);
    for (const Qt::TransformationMode mode : {Qt::FastTransformation, Qt::SmoothTransformation}) {
        const double share = differingShare(fine, magnified(single, expected, mode), DialDetail, ratio);
        QVERIFY2(share > 0.02, qPrintable(QString("mode %1: %2").arg(int(mode)).arg(share)));
    }
    // The same scene nonetheless: the plate is where it was, and the dial's colour at its centre.
    QCOMPARE(fine.pixelColor(QPoint(850 * ratio, 100 * ratio)), QColor(0, 255, 0));
    const QPoint dial(430, 470); // clear of the hands at 10:09:30
    const QColor there = fine.pixelColor((QPointF(dial) * ratio).toPoint());
    const QColor here = single.pixelColor(dial);
    QVERIFY(std::abs(there.blue() - here.blue()) + std::abs(there.red() - here.red()) < 40);
    // The view's own grabs are unchanged by a grab at another ratio.
    QCOMPARE(differingPixels(form.view().grabScene(), single, 0), 0);
}

void TestFrames::framesFollowTheDisplayRate_data() {
    QTest::addColumn<int>("cap");
    QTest::addColumn<double>("display");
    QTest::addColumn<int>("framesPerSecond");
    QTest::newRow("60 Hz screen") << 60 << 60.0 << 60;
    QTest::newRow("capped at 30") << 30 << 60.0 << 30;
    QTest::newRow("50 Hz screen") << 60 << 50.0 << 50;
    QTest::newRow("144 Hz screen, cap 60") << 60 << 144.0 << 60;
    QTest::newRow("no rate reported") << 60 << 0.0 << 60;
}

// Frames come at the lower of the display's rate and the cap, on an even grid of milliseconds.
void TestFrames::framesFollowTheDisplayRate() {
    QFETCH(int, cap);
    QFETCH(double, display);
    QFETCH(int, framesPerSecond);
    Clock& clock = Clock::instance();
    clock.setFrameRate(cap);
    clock.setDisplayRate(display);
    int frames = 0;
    qint64 longest = 0, shortest = 1000;
    for (qint64 at = 0, next = 0; (next = clock.nextFrameAt(at)) <= 1000; at = next) {
        ++frames;
        longest = std::max(longest, next - at);
        shortest = std::min(shortest, next - at);
    }
    clock.setFrameRate(Clock::DefaultFrameRate);
    clock.setDisplayRate(Clock::DefaultFrameRate);
    QCOMPARE(frames, framesPerSecond);
    QVERIFY(longest - shortest <= 1);
}

// A swing of a quarter second stands somewhere new in every display frame and asks for a repaint
// there each time; the same swing under an opaque picture asks for none.
void TestFrames::framesBetweenTicksShowIntermediatePositions() {
    setLocalTime(2026, 3, 14, 10, 9, 30);
    TScene scene(QSizeF(200, 100));
    QImage opaque(96, 96, QImage::Format_ARGB32);
    opaque.fill(Qt::darkGray);
    auto& wheel = addElement<TImage>(scene.root(), "Wheel", {.at = {10, 10}, .size = {80, 80}});
    wheel.setEncoded(pngOf(checkered()));
    auto& hidden = addElement<TImage>(scene.root(), "Hidden", {.at = {110, 10}, .size = {80, 80}});
    hidden.setEncoded(pngOf(checkered()));
    auto& cover = addElement<TImage>(scene.root(), "Cover", {.at = {102, 2}, .size = {96, 96}});
    cover.setBitmap(opaque);
    const auto swingOf = [](TImage& target) -> TFloatAnimation& {
        return target.addAnimation(std::make_unique<TFloatAnimation>(target, "Swing", "RotationAngle", 0.25,
                                                                     TInterpolationType::Sinusoidal, 0, 250));
    };
    TFloatAnimation& swing = swingOf(wheel);
    TFloatAnimation& hiddenSwing = swingOf(hidden);
    TSceneView view(scene, nullptr);
    view.resize(200, 100);
    view.grabScene(); // the pictures are measured, so the view knows what covers what
    view.takeDamage();
    swing.Start();
    hiddenSwing.Start();

    QSet<float> angles;
    int frames = 0, framesWithDamage = 0;
    QRegion underCover;
    Clock& clock = Clock::instance();
    const qint64 start = clock.monotonicMs();
    while (clock.monotonicMs() < start + 240) {
        advance(clock.nextFrameAt(clock.monotonicMs()) - clock.monotonicMs());
        ++frames;
        angles.insert(wheel.RotationAngle());
        const QRegion damage = view.takeDamage();
        framesWithDamage += damage.intersects(QRect(10, 10, 80, 80)) ? 1 : 0;
        underCover += damage & QRect(108, 8, 84, 84);
    }
    QVERIFY2(frames >= 14, qPrintable(QString::number(frames)));
    QCOMPARE(angles.size(), frames);
    QCOMPARE(framesWithDamage, frames);
    QVERIFY(underCover.isEmpty());
    QVERIFY(hidden.RotationAngle() != 0); // it did swing
}

// Changes that end where they began within a frame paint nothing; a real change does.
void TestFrames::nothingRepaintsWhileNothingMoves() {
    TScene scene(QSizeF(200, 100));
    auto& plate = addElement<TRectangle>(scene.root(), "Plate", {.align = TAlignLayout::Client});
    auto& label = addElement<TLabel>(scene.root(), "Label", {.at = {10, 10}, .size = {180, 40}});
    label.setText("9m 52s");
    auto& marker = addElement<TRectangle>(scene.root(), "Marker", {.at = {20, 60}, .size = {20, 20}});
    TSceneView view(scene, nullptr);
    view.resize(200, 100);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    settle();
    view.takeDamage();
    const int painted = view.paintCount();
    QVERIFY(painted > 0);

    plate.setFillColor(plate.FillColor());
    label.setText("Countdown ended");
    label.setText("9m 52s");
    marker.setVisible(false);
    marker.setVisible(true);
    marker.setRotationAngle(30);
    marker.setRotationAngle(0);
    marker.BringToFront(); // it is in front already
    settle();
    QCOMPARE(view.paintCount(), painted);
    QVERIFY(view.takeDamage().isEmpty());

    label.setText("9m 51s");
    settle();
    QVERIFY(view.paintCount() > painted);
}

// A blurred group whose text is set to another and back keeps its blurred layer.
void TestFrames::blurIsKeptThroughATextSetAndSetBack() {
    TScene scene(QSizeF(200, 100));
    auto& group = addElement<TLayout>(scene.root(), "Group", {.at = {10, 10}, .size = {180, 60}});
    group.addEffect<TBlurEffect>("Blur").setSoftness(0.2);
    auto& label = addElement<TLabel>(group, "Label", {.align = TAlignLayout::Client});
    label.setText("Countdown ended");
    auto& indicator = addElement<TRectangle>(group, "Indicator", {.at = {0, 0}, .size = {10, 10}});
    TSceneView view(scene, nullptr);
    view.resize(200, 100);
    QImage canvas(200, 100, QImage::Format_ARGB32_Premultiplied);
    view.renderArea(canvas, QRect(0, 0, 200, 100));
    const int built = view.renderer().layersBuilt();
    QCOMPARE(built, 1);

    label.setText("0m 00s");
    label.setText("Countdown ended");
    indicator.setVisible(false);
    indicator.setVisible(true);
    view.renderArea(canvas, QRect(0, 0, 200, 100));
    QCOMPARE(view.renderer().layersBuilt(), built);

    label.setText("0m 00s");
    view.renderArea(canvas, QRect(0, 0, 200, 100));
    QCOMPARE(view.renderer().layersBuilt(), built + 1);
}

// After the end every tick sets the texts and shows and hides the indicator group again; the
// blurred message is drawn once and then only shown.
void TestFrames::endedCountdownRebuildsNoBlur() {
    setLocalTime(2026, 3, 14, 10, 0, 0);
    TForm1 form;
    form.BlurEffect1->setEnabled(true);
    form.Button2Click(form.Button2);
    setLocalTime(2026, 3, 14, 10, 11, 0); // past the 10-minute preset
    advance(100);
    QCOMPARE(form.DaInitMessage->Text(), form.Finish_Message->Text());
    TSceneView& view = form.view();
    QImage canvas(TForm1::ClientWidth, TForm1::ClientHeight, QImage::Format_ARGB32_Premultiplied);
    view.renderArea(canvas, canvas.rect());
    view.takeDamage();
    const int built = view.renderer().layersBuilt();
    for (int frame = 0; frame < 40; ++frame) {
        advance(25);
        view.renderArea(canvas, view.takeDamage());
    }
    QCOMPARE(view.renderer().layersBuilt(), built);
}

void TestFrames::pictureDecodesAtItsShownSize_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("100%") << qreal(1);
    QTest::newRow("200%") << qreal(2);
}

// Only the opaque part, at the size it is shown at, is ever decoded and kept; the full picture
// is there on demand and a copy shares the bytes.
void TestFrames::pictureDecodesAtItsShownSize() {
    QFETCH(qreal, ratio);
    TScene scene(QSizeF(200, 200));
    auto& image = addElement<TImage>(scene.root(), "Image", {.at = {10, 10}, .size = {80, 80}});
    const QByteArray bytes = pngOf(checkered());
    QVERIFY(image.setEncoded(bytes));
    QVERIFY(!image.setEncoded("not a picture")); // refused, the picture stays
    QCOMPARE(image.pictureSize(), QSize(400, 400));

    TSceneRenderer renderer;
    const auto renderAt = [&](qreal k) {
        QImage canvas(QSize(200, 200) * k, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        painter.scale(k, k);
        renderer.render(painter, scene);
        return canvas;
    };
    const QImage shown = renderAt(ratio);
    QVERIFY(image.Picture().isEncoded());
    QCOMPARE(renderer.rasterSize(image), QSize(60, 60) * ratio); // the opaque 300 of 400, at 80 units
    QVERIFY(near(shown.pixelColor(QPointF(QPointF(15, 15) * ratio).toPoint()), Qt::white));
    QVERIFY(near(shown.pixelColor(QPointF(QPointF(21, 21) * ratio).toPoint()), Qt::yellow));

    image.setSize(160, 160);
    renderAt(ratio);
    QCOMPARE(renderer.rasterSize(image), QSize(120, 120) * ratio);

    QCOMPARE(image.Bitmap().size(), QSize(400, 400));
    QCOMPARE(image.Bitmap().pixelColor(55, 55), QColor(Qt::yellow));
    TImage copy("Copy");
    copy.assignFrom(image);
    QCOMPARE(copy.Picture().key(), image.Picture().key());
    QCOMPARE(copy.Picture().encoded().constData(), image.Picture().encoded().constData());
}

// A picture whose size changes frame after frame is drawn from the raster it has; once the size
// holds, one exact decode follows.
void TestFrames::resizeDuringADragDecodesOnceItHolds() {
    TScene scene(QSizeF(200, 200));
    auto& image = addElement<TImage>(scene.root(), "Image", {.at = {10, 10}, .size = {80, 80}});
    QVERIFY(image.setEncoded(pngOf(checkered())));
    TSceneRenderer renderer;
    QImage canvas(200, 200, QImage::Format_ARGB32_Premultiplied);
    const auto render = [&] {
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        renderer.render(painter, scene);
    };
    renderer.setQuickResize(true);
    render();
    QCOMPARE(renderer.rasterSize(image), QSize(60, 60));
    for (int side = 90; side <= 160; side += 10) {
        image.setSize(side, side);
        render();
    }
    QCOMPARE(renderer.rasterSize(image), QSize(60, 60));
    QVERIFY(renderer.approximatedElements() == std::vector<const TElement*>{&image});
    // Drawn to the new size: the opaque square now spans 30 to 150.
    QVERIFY(canvas.pixelColor(145, 145).alpha() > 200);
    QCOMPARE(canvas.pixelColor(155, 155).alpha(), 0);

    renderer.setQuickResize(false);
    render();
    QCOMPARE(renderer.rasterSize(image), QSize(120, 120));
    QVERIFY(renderer.approximatedElements().empty());
}

// The program's own pictures are held as their compiled-in bytes and decoded smaller than they are.
void TestFrames::builtInPicturesStayEncoded() {
    setLocalTime(2026, 3, 14, 10, 9, 30);
    TForm1 form;
    form.view().grabScene();
    for (const TImage* image : {form.Watch, form.Overlay, form.SecHand, form.Unruh}) {
        QVERIFY2(image->Picture().isEncoded(), qPrintable(image->Name()));
        const QSize raster = form.view().renderer().rasterSize(*image);
        QVERIFY2(!raster.isEmpty() && raster.width() < image->pictureSize().width(),
                 qPrintable(image->Name()));
    }
}

namespace {
// A scene on a white plate, painted once whole; later frames paint only their damage.
struct SmallScene {
    TScene scene{QSizeF(300, 300)};
    TRectangle& plate = addElement<TRectangle>(scene.root(), "Plate", {.size = {300, 300}});
    std::unique_ptr<TSceneView> view;
    QImage canvas;

    void show() {
        plate.setFillColor(Qt::white);
        view = std::make_unique<TSceneView>(scene, nullptr);
        view->resize(300, 300);
        canvas = view->grabScene();
        view->takeDamage();
    }
    void paintDamage() { view->renderArea(canvas, view->takeDamage()); }
};

// A hand's picture: a solid strip down the middle of a mostly transparent picture.
QImage strip(QSize size, int solidWidth) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect((size.width() - solidWidth) / 2, 0, solidWidth, size.height(), Qt::black);
    return image;
}
} // namespace

// A thin opaque strip turned aslant covers a thin band of its box, not the box: a change below it
// beside the band must still be painted.
void TestFrames::turnedThinPictureHidesOnlyItsOwnPixels() {
    SmallScene small;
    auto& below = addElement<TRectangle>(small.scene.root(), "Below", {.at = {40, 40}, .size = {220, 220}});
    below.setFillColor(Qt::blue);
    auto& hand =
        addElement<TImage>(small.scene.root(), "Hand", {.at = {134, 50}, .size = {32, 200}, .rotation = 45});
    hand.setBitmap(strip({9 * TPicture::OpaqueCell, 800}, TPicture::OpaqueCell));
    small.show();
    below.setFillColor(Qt::red);
    small.paintDamage();
    QCOMPARE(differingPixels(small.canvas, small.view->grabScene(), 24), 0);
}

// A picture turned by a hair every frame (the hour hand, its shadow turned back against it) is drawn
// from one bake; one that steps visibly every tick and rests a frame or two between (a wheel) is
// never baked, for its bake would serve no more than a frame.
void TestFrames::turnedPictureIsBakedOnlyWhileItHolds_data() {
    QTest::addColumn<float>("turn");     // degrees per step
    QTest::addColumn<int>("framesEach"); // frames from one step to the next
    QTest::addColumn<int>("mostBakes");
    QTest::addColumn<int>("fewestBakes");
    QTest::newRow("holds still") << 0.0f << 1 << 1 << 1;
    QTest::newRow("a hair every frame") << 0.0004f << 1 << 2 << 1;
    QTest::newRow("a visible step every third frame") << 0.5f << 3 << 0 << 0;
}

void TestFrames::turnedPictureIsBakedOnlyWhileItHolds() {
    QFETCH(float, turn);
    QFETCH(int, framesEach);
    QFETCH(int, mostBakes);
    QFETCH(int, fewestBakes);
    SmallScene small;
    auto& hand =
        addElement<TImage>(small.scene.root(), "Hand", {.at = {134, 50}, .size = {32, 200}, .rotation = 30});
    hand.setBitmap(strip({128, 800}, 48));
    TShadowEffect& shadow = addShadow(hand, "HandShadow", {.direction = 15});
    small.show();
    const int before = small.view->renderer().bakesMade();
    for (int frame = 1; frame <= 60; ++frame) {
        if (frame % framesEach == 0) {
            hand.setRotationAngle(hand.RotationAngle() + turn);
            shadow.setDirection(shadow.Direction() - turn);
        }
        // Something else moving across the hand has it drawn every frame.
        small.view->renderArea(small.canvas, QRect(120, 100, 60, 60));
    }
    const int bakes = small.view->renderer().bakesMade() - before;
    QVERIFY2(bakes >= fewestBakes && bakes <= mostBakes, qPrintable(QString::number(bakes)));
}

// The countdown's arc is turned back against the minute hand every tick, and its start follows the
// hand: it is stroked again once it has changed by a fraction of a pixel, and then matches a fresh
// stroke.
void TestFrames::arcIsStrokedAgainOnlyWhenItVisiblyChanges() {
    SmallScene small;
    auto& arc = addElement<TArc>(small.scene.root(), "Arc", {.at = {50, 50}, .size = {200, 200}});
    arc.setStrokeColor(Qt::red);
    arc.setStrokeThickness(12);
    arc.setStartAngle(-90);
    arc.setEndAngle(100);
    small.show();
    const TSceneRenderer& renderer = small.view->renderer();
    const int before = renderer.arcStrokesMade();
    for (int frame = 0; frame < 60; ++frame) {
        arc.setStartAngle(arc.StartAngle() + 0.0002f);
        small.view->renderArea(small.canvas, small.canvas.rect());
    }
    QCOMPARE(renderer.arcStrokesMade() - before, 0);

    arc.setEndAngle(140);
    small.paintDamage();
    QCOMPARE(renderer.arcStrokesMade() - before, 1);
    TSceneView fresh(small.scene, nullptr);
    fresh.resize(300, 300);
    QCOMPARE(differingPixels(small.canvas, fresh.grabScene(), 24), 0);
}

QTEST_MAIN(TestFrames)
#include "tst_frames.moc"
