// The rules that set the watch's look. Every setting reaches the scene through exactly one of them.
#include "watch/watchscene.h"

#include <cmath>
#include <initializer_list>

namespace {
constexpr float DesignSize = 1000;
constexpr int DateFrameFlashMs = 2000;

// Square pictures grow and shrink about their centre: width first, then height.
void setSquare(TElement& element, float size) {
    element.setWidth(size);
    element.setHeight(size);
}

void setLeftMargin(TElement& element, float left) {
    QMarginsF margins = element.Margins();
    margins.setLeft(left);
    element.setMargins(margins);
}

void setTopMargin(TElement& element, float top) {
    QMarginsF margins = element.Margins();
    margins.setTop(top);
    element.setMargins(margins);
}

void bringToFront(std::initializer_list<TElement*> elements) {
    for (TElement* element : elements)
        element->BringToFront();
}

void sendToBack(std::initializer_list<TElement*> elements) {
    for (TElement* element : elements)
        element->SendToBack();
}
} // namespace

double TDragBounds::clamped(double value, double low, double high) {
    if (std::isnan(value) || value < low)
        value = low;
    return value > high ? high : value;
}

// The balance wheel's layout carries the escape wheel too, so its offsets move the layout while its
// size acts on the wheel; the hands' crosshairs are their children and need no moving.
TWatchScene::Placement TWatchScene::placementOf(TWatchPart part) const {
    switch (part) {
    case TWatchPart::HourHand:
        return {Hourhand, Hourhand, nullptr, HourHandCrosshair, nullptr};
    case TWatchPart::MinuteHand:
        return {Minutehand, Minutehand, nullptr, MinuteHandCrosshair, nullptr};
    case TWatchPart::SecondHand:
        return {SecHand, SecHand, nullptr, SecHandCrosshair, SecHand};
    case TWatchPart::BalanceWheel:
        return {Unruh, LayoutUnruh, LayoutUnruhCrossHair, LayoutUnruhCrossHair, Unruh};
    case TWatchPart::Tourbillon:
        return {Tourbillon, Tourbillon, LayoutTourBillonCrosshair, LayoutTourBillonCrosshair, Tourbillon};
    case TWatchPart::GearWheel:
        return {Gearwheel, Gearwheel, LayoutGearWheelCrosshair, LayoutGearWheelCrosshair, Gearwheel};
    case TWatchPart::EscapeWheel:
        return {escapewheel, escapewheel, nullptr, nullptr, escapewheel};
    }
    return {};
}

void TWatchScene::sizePart(TWatchPart part, float size) {
    setSquare(*placementOf(part).sized, size);
}

void TWatchScene::movePartX(TWatchPart part, float x) {
    const Placement p = placementOf(part);
    setLeftMargin(*p.moved, x);
    if (p.movedAlong)
        setLeftMargin(*p.movedAlong, x);
}

void TWatchScene::movePartY(TWatchPart part, float y) {
    const Placement p = placementOf(part);
    setTopMargin(*p.moved, y);
    if (p.movedAlong)
        setTopMargin(*p.movedAlong, y);
}

// Only the part itself: its crosshair follows when the editor's bars take the new values.
void TWatchScene::resetPart(TWatchPart part) {
    const Placement p = placementOf(part);
    setLeftMargin(*p.moved, 0);
    setTopMargin(*p.moved, 0);
    p.sized->setWidth(DesignSize);
    p.sized->setHeight(DesignSize);
}

QPointF TWatchScene::partOffset(TWatchPart part) const {
    const QMarginsF margins = placementOf(part).moved->Margins();
    return {margins.left(), margins.top()};
}

float TWatchScene::partSize(TWatchPart part) const {
    return float(placementOf(part).sized->Width());
}

void TWatchScene::showPartCrosshair(TWatchPart part, bool shown) {
    if (TElement* crosshair = placementOf(part).crosshair)
        crosshair->setVisible(shown);
}

void TWatchScene::showPart(TWatchPart part, bool shown) {
    if (TElement* element = placementOf(part).shown)
        element->setVisible(shown);
}

void TWatchScene::applyHandShadows(bool light, bool secondHandShown) {
    for (TShadowEffect* shadow :
         {SekShadow, ShadowEffect4, MinuteShadow, HourShadow, ResumeShadowEffect, OnTopShadow})
        shadow->setEnabled(light);
    Overlay->setVisible(light);
    applySecondHandShadow(light, secondHandShown);
}

// Without the light the second hand's shadow keeps whatever it had: the light rule turned it off.
void TWatchScene::applySecondHandShadow(bool light, bool secondHandShown) {
    if (light)
        SekShadow->setEnabled(secondHandShown);
}

void TWatchScene::showSecondHand(bool shown, bool light) {
    SecHand->setVisible(shown);
    applySecondHandShadow(light, shown);
}

// The clock tick turns the hand shadows against the same angle on every tick.
void TWatchScene::applyLight(float angle) {
    Overlay->setRotationAngle(angle);
    ShadowEffect5->setDirection(Overlay->RotationAngle() + 45);
    ShadowEffect3->setDirection(Overlay->RotationAngle() + 45);
    OnTopShadow->setDirection(Overlay->RotationAngle());
}

void TWatchScene::setLightOpacity(float opacity) {
    Overlay->setOpacity(opacity);
}

void TWatchScene::showTextShadow(bool shown) {
    ShadowEffect5->setEnabled(shown);
    ShadowEffect3->setEnabled(shown);
}

// Blur and text shadow may both be on, whatever the editor's caption advises.
void TWatchScene::blurText(bool blurred) {
    BlurEffect1->setEnabled(blurred);
}

void TWatchScene::setArcThickness(float thickness) {
    AdjusterArc->setStrokeThickness(thickness);
}

void TWatchScene::setArcInset(float inset) {
    AdjusterArc->setMargins({inset, inset, inset, inset});
}

void TWatchScene::setArcColour(QRgb colour) {
    AdjusterArc->setStrokeColor(QColor::fromRgba(colour));
}

void TWatchScene::sizeMainBezel(float size) {
    setSquare(*ArcOntop, size);
}

void TWatchScene::sizeMiniBezel(float size) {
    setSquare(*MinutehandExtraAdjusterBezel, size);
}

void TWatchScene::allowMiniBezel(bool allowed) {
    MinutehandExtraAdjusterBezel->setTag(allowed ? -1 : 0);
}

// Hiding the date hides its drag handle with it.
void TWatchScene::showDate(bool shown) {
    DateOut->setVisible(shown);
    DateMover->setVisible(DateOut->Visible());
}

void TWatchScene::flashDateFrame() {
    DateMoverFrame->setVisible(true);
    TurnOffRectangleTimer.setInterval(DateFrameFlashMs);
}

void TWatchScene::TurnOffRectangleTimerTimer(TObject*) {
    TurnOffRectangleTimer.setInterval(0);
    DateMoverFrame->setVisible(false);
}

void TWatchScene::placeDate(QPointF at) {
    DateOut->setPosition(at);
    DateMover->setPosition(DateOut->Position());
}

void TWatchScene::placeText(QPointF at) {
    CutOut->setPosition(at);
    CutOutMover->setPosition(CutOut->Position());
}

void TWatchScene::setDateFont(const QString& family) {
    DateOut->setFontFamily(family);
}

void TWatchScene::setDateSize(float size) {
    DateOut->setFontSize(size);
}

// The drag handle does not turn with the date.
void TWatchScene::turnDate(float degrees) {
    DateOut->setRotationAngle(degrees);
}

// The drag handle stretches with the date, so it keeps covering it.
void TWatchScene::stretchDate(float factor) {
    DateOut->setScale({factor, DateOut->Scale().y()});
    DateMover->setScale({DateOut->Scale().x(), DateMover->Scale().y()});
}

void TWatchScene::setDateColour(QRgb colour) {
    DateOut->setFontColor(QColor::fromRgba(colour));
}

void TWatchScene::setTextFont(const QString& family) {
    DaInitMessage->setFontFamily(family);
    DaMessage->setFontFamily(family);
}

// The line above the remaining time is four fifths of its size, rounded half to even.
void TWatchScene::setTextSize(float size) {
    DaMessage->setFontSize(size);
    DaInitMessage->setFontSize(std::nearbyint(double(size) * 0.8));
}

// Replaces the style rather than adding to it; the date is never bold.
void TWatchScene::setTextBold(bool bold) {
    DaInitMessage->setBold(bold);
    DaMessage->setBold(bold);
}

// The alpha travels along: a translucent pick makes a translucent text.
void TWatchScene::setTextColour(QRgb colour) {
    DaMessage->setFontColor(QColor::fromRgba(colour));
    DaInitMessage->setFontColor(QColor::fromRgba(colour));
}

// The mechanics always lie under the dial and show through its openings.
void TWatchScene::stackMechanics(bool balanceBelowTourbillon) {
    TElement* lower = balanceBelowTourbillon ? static_cast<TElement*>(Tourbillon) : LayoutUnruh;
    TElement* upper = balanceBelowTourbillon ? static_cast<TElement*>(LayoutUnruh) : Tourbillon;
    sendToBack({LayoutTourBillonCrosshair, LayoutGearWheelCrosshair, Watch, Gearwheel, lower, upper, WatchBG,
                MagentaRectangle, GreenRectangle});
}

void TWatchScene::stackEscapeWheel(bool escapeBelowBalance) {
    if (escapeBelowBalance)
        sendToBack({Unruh, escapewheel});
    else
        sendToBack({escapewheel, Unruh});
}

void TWatchScene::stackHands(bool secondHandOnTop) {
    // CutOut and CutOutMover are children of Watch from the start and stay so.
    ShadowEffect5->setDistance(3);
    ShadowEffect3->setDistance(3);
    if (secondHandOnTop)
        bringToFront({OnTop, AdjusterHandRecipient, OnTop, CutOut, DateOut, AdjusterHand, Hourhand,
                      Minutehand, SecHand});
    else
        bringToFront({OnTop, AdjusterHand, AdjusterHandRecipient, OnTop, CutOut, DateOut, AdjusterHand,
                      SecHand, Hourhand, Minutehand});
    if (OnTop->Tag() == -1)
        bringToFront({OnTop, CutOut, DateOut});
    bringToFront({Overlay, CutOutMover, DateMover, ArcOntop});
}

// The background belongs to the skin whichever face shows, so a skin without one never shows the
// background of the skin before it.
void TWatchScene::applyWatchFace(bool full) {
    Watch->assignFrom(full ? *WatchfaceFull : *WatchfaceReduced);
    WatchBG->assignFrom(*WatchfaceFullBG);
}

void TWatchScene::showMagentaPlate(bool shown) {
    MagentaRectangle->setVisible(shown);
}
