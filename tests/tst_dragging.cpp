#include "app/Unit1.h"
#include "testsupport.h"
#include "toolkit/controls.h"
#include "toolkit/view.h"

#include <QtTest>

class TestDragging : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 7, 1, 20, 15, 10); }
    void handlesStopAtTheirBounds_data();
    void handlesStopAtTheirBounds();
    void pressAndReleaseWithoutMoving();
    void storedPositionOutsideTheBounds();
    void stretchedDateTrailsThePointer();
    void clockStandsStillWhileDragging();
    void otherButtonsMoveNothing();
    void textPressFocusesTheOddLoopButton();
};

namespace {
struct Handle {
    TLayout* mover;
    TElement* follower;
    TImage* frame;
    bool TForm1::*dragging;
};

Handle handle(TForm1& form, bool text) {
    if (text)
        return {form.CutOutMover, form.CutOut, form.CutOutMoverFrame, &TForm1::TextDragging};
    return {form.DateMover, form.DateOut, form.DateMoverFrame, &TForm1::DateDragging};
}

// A window point over the middle of an element, through the real transforms.
QPoint screenPoint(const TElement& element, QPointF local) {
    return element.LocalToScene().map(local).toPoint();
}
} // namespace

void TestDragging::handlesStopAtTheirBounds_data() {
    QTest::addColumn<bool>("text");
    QTest::addColumn<QPointF>("motion");
    QTest::addColumn<QPointF>("stop");
    QTest::newRow("date right and up") << false << QPointF(5000, -5000) << QPointF(897, 32);
    QTest::newRow("date left and down") << false << QPointF(-5000, 5000) << QPointF(10, 943);
    QTest::newRow("text right and up") << true << QPointF(5000, -5000) << QPointF(461, 30);
    QTest::newRow("text left and down") << true << QPointF(-5000, 5000) << QPointF(10, 880);
    QTest::newRow("not a number") << true << QPointF(qQNaN(), qQNaN()) << QPointF(10, 30);
}

void TestDragging::handlesStopAtTheirBounds() {
    QFETCH(bool, text);
    QFETCH(QPointF, motion);
    TForm1 form;
    const Handle h = handle(form, text);
    const QPointF press(20, 20);
    h.mover->mouseDown(Qt::LeftButton, press);
    QVERIFY(form.*h.dragging);
    QVERIFY(h.frame->Visible());
    h.mover->mouseMove(Qt::LeftButton, press + motion);
    QTEST(h.mover->Position(), "stop");
    QCOMPARE(h.follower->Position(), h.mover->Position());
    h.mover->mouseUp(Qt::LeftButton, press + motion);
    QVERIFY(!(form.*h.dragging));
    QVERIFY(!h.frame->Visible());
}

void TestDragging::pressAndReleaseWithoutMoving() {
    TForm1 form;
    form.DateOut->setPosition({662, 464});
    form.DateMover->setPosition({662, 464});
    const QPoint at = screenPoint(*form.DateMover, {40, 20});
    QTest::mousePress(&form.view(), Qt::LeftButton, {}, at);
    QVERIFY(form.DateDragging && form.DateMoverFrame->Visible());
    QTest::mouseRelease(&form.view(), Qt::LeftButton, {}, at);
    QVERIFY(!form.DateDragging && !form.DateMoverFrame->Visible());
    QCOMPARE(form.DateOut->Position(), QPointF(662, 464));
    QCOMPARE(form.DateMover->Position(), QPointF(662, 464));
}

void TestDragging::storedPositionOutsideTheBounds() {
    TForm1 form;
    form.CutOut->setPosition({600, 460});
    form.CutOutMover->setPosition({600, 460});
    form.CutOutMover->mouseDown(Qt::LeftButton, {100, 50});
    QCOMPARE(form.CutOut->Position(), QPointF(600, 460)); // shown as stored until it moves
    form.CutOutMover->mouseMove(Qt::LeftButton, {101, 50});
    QCOMPARE(form.CutOut->Position(), QPointF(461, 460));
}

void TestDragging::stretchedDateTrailsThePointer() {
    TForm1 form;
    form.DateMover->setScale({2, 1});
    const QPointF start = form.DateMover->Position();
    const QPoint at = screenPoint(*form.DateMover, {40, 20});
    QTest::mousePress(&form.view(), Qt::LeftButton, {}, at);
    // 70 window pixels are 100 units of the dial; the stretched handle counts half of them across.
    QTest::mouseMove(&form.view(), at + QPoint(70, 35));
    const QPointF moved = form.DateMover->Position() - start;
    QVERIFY2(qAbs(moved.x() - 50) < 1.5, qPrintable(QString::number(moved.x())));
    QVERIFY2(qAbs(moved.y() - 50) < 1.5, qPrintable(QString::number(moved.y())));
    QTest::mouseRelease(&form.view(), Qt::LeftButton, {}, at + QPoint(70, 35));
    QCOMPARE(form.DateOut->Position(), form.DateMover->Position());
}

void TestDragging::clockStandsStillWhileDragging() {
    TForm1 form;
    advance(500);
    form.CutOutMover->mouseDown(Qt::LeftButton, {10, 10});
    advance(100); // the step under way ends; no new one starts
    const float second = form.SecHand->RotationAngle();
    const QString remaining = form.DaMessage->Text();
    advance(3000);
    QCOMPARE(form.SecHand->RotationAngle(), second);
    QCOMPARE(form.DaMessage->Text(), remaining);
    form.CutOutMover->mouseUp(Qt::LeftButton, {10, 10});
    advance(300);
    // 20:15:13.9 now: the second hand has caught up with the clock.
    QVERIFY(qAbs(form.SecHand->RotationAngle() - 6 * 13.9f) < 0.5f);
    QCOMPARE(form.DaMessage->Text(), QStringLiteral("9m 56s"));
}

void TestDragging::otherButtonsMoveNothing() {
    TForm1 form;
    const QPointF start = form.DateMover->Position();
    form.DateMover->mouseDown(Qt::RightButton, {10, 10});
    QVERIFY(form.DateDragging);
    form.DateMover->mouseMove(Qt::RightButton, {200, 200});
    QCOMPARE(form.DateMover->Position(), start);
    const float second = form.SecHand->RotationAngle();
    advance(2000);
    QCOMPARE(form.SecHand->RotationAngle(), second);
    form.DateMover->mouseUp(Qt::RightButton, {200, 200});
    QVERIFY(!form.DateDragging);
}

void TestDragging::textPressFocusesTheOddLoopButton() {
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.Edit1->setFocus();
    form.CutOutMover->mouseDown(Qt::LeftButton, {10, 10});
    QVERIFY(form.Button9->hasFocus());
    QVERIFY(!form.Button9->IsPressed());
    form.CutOutMover->mouseUp(Qt::LeftButton, {10, 10});
}

QTEST_MAIN(TestDragging)
#include "tst_dragging.moc"
