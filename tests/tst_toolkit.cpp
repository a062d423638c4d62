#include "testsupport.h"
#include "toolkit/animation.h"
#include "toolkit/describe.h"
#include "toolkit/scene.h"
#include "toolkit/timer.h"

#include <QtTest>

class TestToolkit : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 5, 1, 12, 0); }

    void easing_data();
    void easing();
    void animationRunsAndFinishes();
    void restartCutsShortWithoutFinish();
    void hiddenElementIgnoresStart();
    void stepEndingWithTheTimerFinishesFirst();
    void timerPeriodRestarts();
    void centreAlignment_data();
    void centreAlignment();
    void fillAlignmentDividesByScale();
    void topAlignedSiblingsStack();
    void zOrder();
    void rotationIsNeverWrapped();
    void arcDialValue_data();
    void arcDialValue();
    void arcDialFollowsPointer_data();
    void arcDialFollowsPointer();
    void imageLoadSaveAndCopy();
    void changesReachTheScene();
};

void TestToolkit::easing_data() {
    QTest::addColumn<int>("curve");
    QTest::addColumn<double>("p");
    QTest::addColumn<double>("expected");
    const auto row = [](const char* name, TInterpolationType t, double p, double v) {
        QTest::newRow(name) << int(t) << p << v;
    };
    row("linear 0", TInterpolationType::Linear, 0, 0);
    row("linear .25", TInterpolationType::Linear, 0.25, 0.25);
    row("linear .5", TInterpolationType::Linear, 0.5, 0.5);
    row("linear 1", TInterpolationType::Linear, 1, 1);
    row("exponential 0", TInterpolationType::Exponential, 0, 0);
    row("exponential .25", TInterpolationType::Exponential, 0.25, 0.005524272);
    row("exponential .5", TInterpolationType::Exponential, 0.5, 0.03125);
    row("exponential 1", TInterpolationType::Exponential, 1, 1);
    row("sinusoidal 0", TInterpolationType::Sinusoidal, 0, 0);
    row("sinusoidal .25", TInterpolationType::Sinusoidal, 0.25, 0.076120467);
    row("sinusoidal .5", TInterpolationType::Sinusoidal, 0.5, 0.292893219);
    row("sinusoidal 1", TInterpolationType::Sinusoidal, 1, 1);
    row("back 0", TInterpolationType::Back, 0, 0);
    row("back .25", TInterpolationType::Back, 0.25, -0.064136563);
    row("back .5", TInterpolationType::Back, 0.5, -0.087697500);
    row("back 1", TInterpolationType::Back, 1, 1);
}

void TestToolkit::easing() {
    QFETCH(int, curve);
    QFETCH(double, p);
    QFETCH(double, expected);
    QVERIFY2(std::abs(TFloatAnimation::ease(TInterpolationType(curve), p) - expected) < 1e-8,
             qPrintable(QString::number(TFloatAnimation::ease(TInterpolationType(curve), p), 'g', 12)));
}

namespace {
struct AnimatedImage {
    TScene scene{QSizeF(100, 100)};
    TImage& image = addElement<TImage>(scene.root(), "Image", {.size = {10, 10}});
    TFloatAnimation& animation = image.addAnimation(std::make_unique<TFloatAnimation>(
        image, "Animation", "RotationAngle", 0.25, TInterpolationType::Linear, 0, 100));
    int finishes = 0;
    AnimatedImage() {
        animation.OnFinish = [this](TObject*) { ++finishes; };
    }
};
} // namespace

void TestToolkit::animationRunsAndFinishes() {
    AnimatedImage a;
    a.image.setRotationAngle(40);
    a.animation.Start();
    QCOMPARE(a.image.RotationAngle(), 0.0f); // the start value applies at once
    advance(125);
    QCOMPARE(a.image.RotationAngle(), 50.0f);
    QCOMPARE(a.finishes, 0);
    advance(125);
    QCOMPARE(a.image.RotationAngle(), 100.0f);
    QCOMPARE(a.finishes, 1);
    QVERIFY(!a.animation.Running());
    advance(500);
    QCOMPARE(a.finishes, 1);
}

void TestToolkit::restartCutsShortWithoutFinish() {
    AnimatedImage a;
    a.animation.Start();
    advance(200);
    a.animation.StartValue = 10;
    a.animation.Start();
    QCOMPARE(a.image.RotationAngle(), 10.0f);
    advance(200);
    QCOMPARE(a.finishes, 0);
    advance(50);
    QCOMPARE(a.finishes, 1);
    QCOMPARE(a.image.RotationAngle(), 100.0f);
}

void TestToolkit::hiddenElementIgnoresStart() {
    AnimatedImage a;
    a.image.setRotationAngle(40);
    a.image.setVisible(false);
    a.animation.Start();
    QVERIFY(!a.animation.Running());
    advance(300);
    QCOMPARE(a.image.RotationAngle(), 40.0f);
    QCOMPARE(a.finishes, 0);
}

// A step as long as the timer period ends before the timer starts the next one.
void TestToolkit::stepEndingWithTheTimerFinishesFirst() {
    AnimatedImage a;
    QStringList events;
    a.animation.OnFinish = [&](TObject*) { events << "finish"; };
    TTimer timer("Timer", 250, true, [&](TObject*) {
        events << "tick";
        a.animation.Start();
    });
    a.animation.Start();
    advance(750);
    QCOMPARE(events, QStringList({"finish", "tick", "finish", "tick", "finish", "tick"}));
}

void TestToolkit::timerPeriodRestarts() {
    int fired = 0;
    TTimer timer("Timer", 100, true, [&](TObject*) { ++fired; });
    advance(99);
    QCOMPARE(fired, 0);
    advance(1);
    QCOMPARE(fired, 1);
    advance(50);
    timer.setInterval(100); // unchanged: the period goes on
    advance(50);
    QCOMPARE(fired, 2);
    advance(50);
    timer.setInterval(200); // a new interval starts a fresh period from now
    advance(199);
    QCOMPARE(fired, 2);
    advance(1);
    QCOMPARE(fired, 3);
    timer.setInterval(0);
    advance(1000);
    QCOMPARE(fired, 3);
    timer.setInterval(100);
    timer.setEnabled(false);
    advance(1000);
    QCOMPARE(fired, 3);
    timer.setEnabled(true);
    advance(100);
    QCOMPARE(fired, 4);
}

void TestToolkit::centreAlignment_data() {
    QTest::addColumn<QSizeF>("parent");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QMarginsF>("margins");
    QTest::addColumn<QPointF>("scale");
    QTest::addColumn<QPointF>("expected");
    const QSizeF watchLayout(852 / 0.7, 814 / 0.7);
    QTest::newRow("mechanics below the centre")
        << watchLayout << QSizeF(250, 250) << QMarginsF(0, 400, 0, 0) << QPointF(1, 1) << QPointF(483, 656);
    QTest::newRow("crosshair below the centre")
        << watchLayout << QSizeF(300, 300) << QMarginsF(0, 400, 0, 0) << QPointF(1, 1) << QPointF(458, 631);
    QTest::newRow("odd margin left") << QSizeF(100, 100) << QSizeF(10, 10) << QMarginsF(5, 0, 0, 0)
                                     << QPointF(1, 1) << QPointF(47, 45);
    QTest::newRow("negative offset cut toward zero")
        << QSizeF(11, 11) << QSizeF(1000, 1000) << QMarginsF() << QPointF(1, 1) << QPointF(-494, -494);
    QTest::newRow("scaled dial") << QSizeF(1000, 1000) << QSizeF(3, 3) << QMarginsF() << QPointF(2, 2)
                                 << QPointF(497, 497);
    QTest::newRow("hand moved by margins") << QSizeF(1000, 1000) << QSizeF(1000, 1000)
                                           << QMarginsF(-101, 51, 0, 0) << QPointF(1, 1) << QPointF(-51, 26);
}

void TestToolkit::centreAlignment() {
    QFETCH(QSizeF, parent);
    QFETCH(QSizeF, size);
    QFETCH(QMarginsF, margins);
    QFETCH(QPointF, scale);
    QFETCH(QPointF, expected);
    TScene scene(parent);
    auto& element = addElement<TLayout>(
        scene.root(), "E", {.align = TAlignLayout::Center, .size = size, .margins = margins, .scale = scale});
    QCOMPARE(element.Position(), expected);
    QCOMPARE(element.Width(), size.width());
}

void TestToolkit::fillAlignmentDividesByScale() {
    TScene scene(QSizeF(872, 734));
    auto& layout = addElement<TLayout>(
        scene.root(), "L",
        {.align = TAlignLayout::Client, .margins = {70, -30, -50, -50}, .scale = {0.7, 0.7}});
    QCOMPARE(layout.Position(), QPointF(70, -30));
    QVERIFY(qFuzzyCompare(layout.Width(), 852 / 0.7));
    QVERIFY(qFuzzyCompare(layout.Height(), 814 / 0.7));
    // A point (u, v) of the layout lies at window pixel (70 + 0.7u, -30 + 0.7v).
    const QPointF mapped = layout.LocalToScene().map(QPointF(610, 610));
    QVERIFY(qFuzzyCompare(mapped.x(), 70 + 0.7 * 610));
    QVERIFY(qFuzzyCompare(mapped.y(), -30 + 0.7 * 610));
}

void TestToolkit::topAlignedSiblingsStack() {
    TScene scene(QSizeF(534, 120));
    auto& first = addElement<TLabel>(scene.root(), "First", {.align = TAlignLayout::Top, .scale = {2, 2}});
    auto& second =
        addElement<TLabel>(scene.root(), "Second", {.align = TAlignLayout::Top, .margins = {0, -10, 0, 0}});
    for (TLabel* label : {&first, &second}) {
        label->setAutoSize(true);
        label->setText("Text");
    }
    // Sized to its text, each line sits in the middle of its row.
    QCOMPARE(first.Position().y(), 0.0);
    QVERIFY(first.Width() < 534.0 / 2);
    QVERIFY(qFuzzyCompare(first.Position().x() + first.Width(), 534.0 / 2));
    QVERIFY(qFuzzyCompare(second.Position().x() * 2 + second.Width(), 534));
    QCOMPARE(second.Position().y(), first.Height() * 2 - 10);
    first.setVisible(false);
    QCOMPARE(second.Position().y(), -10.0);
}

void TestToolkit::zOrder() {
    TScene scene(QSizeF(10, 10));
    for (const char* name : {"A", "B", "C"})
        addElement<TLayout>(scene.root(), name, {});
    const auto names = [&] {
        QStringList list;
        for (const auto& child : scene.root().Children())
            list << child->Name();
        return list;
    };
    scene.root().Children()[0]->BringToFront();
    QCOMPARE(names(), QStringList({"B", "C", "A"}));
    scene.root().Children()[1]->SendToBack();
    QCOMPARE(names(), QStringList({"C", "B", "A"}));
    QCOMPARE(scene.root().Children()[2]->IndexInParent(), 2);
}

void TestToolkit::rotationIsNeverWrapped() {
    TScene scene(QSizeF(10, 10));
    auto& element = addElement<TLayout>(scene.root(), "E", {});
    element.setRotationAngle(725);
    QCOMPARE(element.RotationAngle(), 725.0f);
    element.setRotationAngle(-400);
    QCOMPARE(element.RotationAngle(), -400.0f);
}

void TestToolkit::arcDialValue_data() {
    QTest::addColumn<double>("set");
    QTest::addColumn<double>("expected");
    QTest::newRow("inside") << 90.0 << 90.0;
    QTest::newRow("just past half a turn") << 190.0 << -170.0;
    QTest::newRow("minus half a turn") << -180.0 << 180.0;
    QTest::newRow("one and a half turns") << 540.0 << 180.0;
    QTest::newRow("below minus a turn") << -450.0 << -90.0;
}

void TestToolkit::arcDialValue() {
    QFETCH(double, set);
    QFETCH(double, expected);
    TScene scene(QSizeF(10, 10));
    auto& dial = addElement<TArcDial>(scene.root(), "Dial", {.size = {3, 3}});
    int changes = 0;
    dial.OnChange = [&](TObject*) { ++changes; };
    dial.setValue(set);
    QCOMPARE(dial.Value(), expected);
    QCOMPARE(changes, 1);
    dial.setValue(expected + 360); // the same position: no change
    QCOMPARE(changes, 1);
}

void TestToolkit::arcDialFollowsPointer_data() {
    QTest::addColumn<QPointF>("pointer");
    QTest::addColumn<double>("expected");
    QTest::newRow("3 o'clock") << QPointF(100, 50) << 0.0;
    QTest::newRow("12 o'clock") << QPointF(50, -20) << 90.0;
    QTest::newRow("9 o'clock") << QPointF(-5, 50) << 180.0;
    QTest::newRow("6 o'clock") << QPointF(50, 70) << -90.0;
    QTest::newRow("half past 1") << QPointF(80, 20) << 45.0;
}

void TestToolkit::arcDialFollowsPointer() {
    QFETCH(QPointF, pointer);
    QFETCH(double, expected);
    TScene scene(QSizeF(200, 200));
    auto& dial = addElement<TArcDial>(scene.root(), "Dial", {.size = {100, 100}});
    dial.mouseDown(Qt::LeftButton, QPointF(50, 50 - 30));
    dial.mouseMove(Qt::LeftButton, pointer);
    QVERIFY(std::abs(dial.Value() - expected) < 1e-9);
    dial.mouseMove(Qt::NoButton, QPointF(50, 100)); // without a button held the dial stays
    QVERIFY(std::abs(dial.Value() - expected) < 1e-9);
}

void TestToolkit::imageLoadSaveAndCopy() {
    QTemporaryDir dir;
    TScene scene(QSizeF(10, 10));
    auto& source = addElement<TImage>(scene.root(), "Source", {.size = {4, 4}});
    auto& copy = addElement<TImage>(scene.root(), "Copy", {.size = {4, 4}});
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(QColor(10, 20, 30, 128));
    source.setBitmap(picture);
    const QString path = dir.filePath("picture.png");
    QVERIFY(source.saveToFile(path));
    QVERIFY(copy.loadFromFile(path));
    QCOMPARE(copy.Bitmap().size(), QSize(3, 2));
    QCOMPARE(copy.Bitmap().pixelColor(1, 1).alpha(), 128);
    copy.clear();
    QVERIFY(copy.isEmpty());
    QVERIFY(!copy.saveToFile(dir.filePath("empty.png")));
    copy.assignFrom(source);
    QCOMPARE(copy.Bitmap().size(), QSize(3, 2));
    QVERIFY(!copy.loadFromFile(dir.filePath("missing.png")));
    QCOMPARE(copy.Bitmap().size(), QSize(3, 2)); // a failed load keeps the picture
}

void TestToolkit::changesReachTheScene() {
    TScene scene(QSizeF(10, 10));
    auto& element = addElement<TLayout>(scene.root(), "E", {});
    QStringList changed;
    scene.setChangeListener([&](TElement& e) { changed << e.Name(); });
    element.setRotationAngle(0); // same value: nothing to repaint
    element.setOpacity(1);
    QVERIFY(changed.isEmpty());
    element.setRotationAngle(5);
    QCOMPARE(changed, QStringList({"E"}));
}

QTEST_MAIN(TestToolkit)
#include "tst_toolkit.moc"
