// Dragging the date and the countdown texts into place on the dial.
#include "app/Unit1.h"

#include "toolkit/controls.h"

namespace {
// The press point stays fixed: the handle follows the pointer, so each move adds only new motion.
QPointF dragged(TForm1::DragState& drag, QPointF pointer, const TDragBounds& bounds) {
    drag.position = bounds.clamped(drag.position + (pointer - drag.press));
    return drag.position;
}
} // namespace

void TForm1::wireDragging() {
    DateMover->OnMouseDown = [this](TObject* s, Qt::MouseButtons b, QPointF p) {
        DateMoverMouseDown(s, b, p);
    };
    DateMover->OnMouseMove = [this](TObject* s, Qt::MouseButtons b, QPointF p) {
        DateMoverMouseMove(s, b, p);
    };
    DateMover->OnMouseUp = [this](TObject* s, Qt::MouseButtons b, QPointF p) { DateMoverMouseUp(s, b, p); };
    CutOutMover->OnMouseDown = [this](TObject* s, Qt::MouseButtons b, QPointF p) {
        CutOutMoverMouseDown(s, b, p);
    };
    CutOutMover->OnMouseMove = [this](TObject* s, Qt::MouseButtons b, QPointF p) {
        CutOutMoverMouseMove(s, b, p);
    };
    CutOutMover->OnMouseUp = [this](TObject* s, Qt::MouseButtons b, QPointF p) {
        CutOutMoverMouseUp(s, b, p);
    };
}

// The view captures the pointer for the pressed element until the release.
void TForm1::DateMoverMouseDown(TObject*, Qt::MouseButtons, QPointF pointer) {
    DateMoverFrame->setVisible(true);
    DateDragging = true;
    dateDrag_ = {pointer, DateMover->Position()};
}

void TForm1::DateMoverMouseMove(TObject*, Qt::MouseButtons buttons, QPointF pointer) {
    if (!DateDragging || !(buttons & Qt::LeftButton))
        return;
    DateMover->setPosition(dragged(dateDrag_, pointer, DateBounds));
    DateOut->setPosition(DateMover->Position());
}

void TForm1::DateMoverMouseUp(TObject*, Qt::MouseButtons, QPointF) {
    DateMoverFrame->setVisible(false);
    DateDragging = false;
}

void TForm1::CutOutMoverMouseDown(TObject*, Qt::MouseButtons, QPointF pointer) {
    CutOutMoverFrame->setVisible(true);
    Button9->setFocus();
    TextDragging = true;
    textDrag_ = {pointer, CutOutMover->Position()};
}

void TForm1::CutOutMoverMouseMove(TObject*, Qt::MouseButtons buttons, QPointF pointer) {
    if (!TextDragging || !(buttons & Qt::LeftButton))
        return;
    CutOutMover->setPosition(dragged(textDrag_, pointer, TextBounds));
    CutOut->setPosition(CutOutMover->Position());
}

void TForm1::CutOutMoverMouseUp(TObject*, Qt::MouseButtons, QPointF) {
    CutOutMoverFrame->setVisible(false);
    TextDragging = false;
}
