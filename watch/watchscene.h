#pragma once

#include "toolkit/animation.h"
#include "toolkit/effects.h"
#include "toolkit/scene.h"
#include "toolkit/timer.h"

#include <QRgb>
#include <QSizeF>

// The parts the editor places: they are sized, moved, shown and given a crosshair alike.
enum class TWatchPart { HourHand, MinuteHand, SecondHand, BalanceWheel, Tourbillon, GearWheel, EscapeWheel };

// Where the date and the text plate may be dragged to, in the dial's units, bounds included.
struct TDragBounds {
    double left, right, top, bottom;
    // Not-a-number falls to the lower bound, like any value below it.
    static double clamped(double value, double low, double high);
    QPointF clamped(QPointF at) const { return {clamped(at.x(), left, right), clamped(at.y(), top, bottom)}; }
};

// The watch as a scene of named elements, built from its description, and the rules that set its look.
// Each rule is the one place a setting reaches the scene: the editor's handlers and the skin loader both
// call them. It knows no window.
class TWatchScene {
public:
    // The size of the window's client area the scene fills.
    explicit TWatchScene(QSizeF size);
    virtual ~TWatchScene();
    TWatchScene(const TWatchScene&) = delete;
    TWatchScene& operator=(const TWatchScene&) = delete;

    TScene& scene() { return scene_; }
    const TScene& scene() const { return scene_; }

    static constexpr TDragBounds DateBounds{10, 897, 32, 943};
    static constexpr TDragBounds TextBounds{10, 461, 30, 880};

    // Placement of the hands and the mechanics. A mechanism's placement crosshair moves with it.
    void sizePart(TWatchPart part, float size);
    void movePartX(TWatchPart part, float x);
    void movePartY(TWatchPart part, float y);
    // Back to the middle at the design size of 1000.
    void resetPart(TWatchPart part);
    QPointF partOffset(TWatchPart part) const;
    float partSize(TWatchPart part) const;
    void showPartCrosshair(TWatchPart part, bool shown);
    void showPart(TWatchPart part, bool shown);

    // Light and shadows. The second hand casts a shadow only while it is shown at all.
    void applyHandShadows(bool light, bool secondHandShown);
    void applySecondHandShadow(bool light, bool secondHandShown);
    void showSecondHand(bool shown, bool light);
    void applyLight(float angle);
    void setLightOpacity(float opacity);
    void showTextShadow(bool shown);
    void blurText(bool blurred);

    // The remaining-time arc and the two bezels.
    void setArcThickness(float thickness);
    // The arc fills the minute hand inside this inset: a larger value draws a smaller circle.
    void setArcInset(float inset);
    void setArcColour(QRgb colour);
    void sizeMainBezel(float size);
    void sizeMiniBezel(float size);
    // Only a mark: the countdown shows the mini bezel with its indicator group while it is set.
    void allowMiniBezel(bool allowed);

    // The date and the countdown texts.
    void showDate(bool shown);
    // Shows the date's drag frame for two seconds, so the user sees where to grab it.
    void flashDateFrame();
    void placeDate(QPointF at);
    void placeText(QPointF at);
    void setDateFont(const QString& family);
    void setDateSize(float size);
    void turnDate(float degrees);
    void stretchDate(float factor);
    void setDateColour(QRgb colour);
    void setTextFont(const QString& family);
    void setTextSize(float size);
    void setTextBold(bool bold);
    void setTextColour(QRgb colour);

    // Layers: the chroma plates lowest, the mechanics under the dial; on the dial the box decides whether
    // the second hand lies above the other hands, an on-top picture covers the hands, and light, drag
    // handles and the target indicator stay on top.
    void ArrangeWatchLayers() { stackMechanics(false); }
    void stackMechanics(bool balanceBelowTourbillon);
    void stackEscapeWheel(bool escapeBelowBalance);
    void stackHands(bool secondHandOnTop);

    // The full face or the reduced one on the dial, and the skin's own background behind the mechanics.
    void applyWatchFace(bool full);
    void showMagentaPlate(bool shown);

    void TurnOffRectangleTimerTimer(TObject* Sender);

    // Elements, owned by the scene.
    TLayout* Layout_Watch = nullptr;
    TRectangle* GreenRectangle = nullptr;
    TRectangle* MagentaRectangle = nullptr;
    TImage* WatchBG = nullptr;
    TImage* Tourbillon = nullptr;
    TLayout* LayoutUnruh = nullptr;
    TImage* Unruh = nullptr;
    TImage* escapewheel = nullptr;
    TImage* Gearwheel = nullptr;
    TImage* Watch = nullptr;
    TLayout* LayoutGearWheelCrosshair = nullptr;
    TImage* Image4 = nullptr;
    TLayout* LayoutTourBillonCrosshair = nullptr;
    TImage* Image3 = nullptr;
    TLayout* LayoutUnruhCrossHair = nullptr;
    TImage* Image1 = nullptr;

    TFloatAnimation* TourbillonFloatAnimation = nullptr;
    TShadowEffect* TourbillonShadow = nullptr;
    TFloatAnimation* UnruhFloatAnimation = nullptr;
    TFloatAnimation* EscapewheelFloatAnimation = nullptr;
    TShadowEffect* ShadowEffect7 = nullptr;
    TFloatAnimation* GearwheelFloatAnimation = nullptr;
    TShadowEffect* ShadowEffect1 = nullptr;

    TLabel* DateOut = nullptr;
    TInvertEffect* WhiteDate = nullptr;
    TImage* CutOut = nullptr;
    TBlurEffect* BlurEffect1 = nullptr;
    TLabel* DaInitMessage = nullptr;
    TShadowEffect* ShadowEffect5 = nullptr;
    TLabel* DaMessage = nullptr;
    TShadowEffect* ShadowEffect3 = nullptr;
    TArcDial* AdjusterHand = nullptr;
    TImage* Indicator = nullptr;
    TShadowEffect* ResumeShadowEffect = nullptr;
    TImage* Hourhand = nullptr;
    TShadowEffect* HourShadow = nullptr;
    TImage* HourHandCrosshair = nullptr;
    TImage* Minutehand = nullptr;
    TShadowEffect* MinuteShadow = nullptr;
    TArc* AdjusterArc = nullptr;
    TImage* MinuteHandCrosshair = nullptr;
    TImage* MinutehandExtraImage = nullptr;
    TImage* MinutehandExtraAdjusterBezel = nullptr;
    TArcDial* AdjusterHandRecipient = nullptr;
    TImage* NewStopTime = nullptr;
    TImage* SecHand = nullptr;
    TShadowEffect* SekShadow = nullptr;
    TFloatAnimation* SecHandFloatAnimation = nullptr;
    TImage* SecHandCrosshair = nullptr;
    TImage* Overlay = nullptr;
    TShadowEffect* ShadowEffect4 = nullptr;
    TLayout* DateMover = nullptr;
    TImage* DateMoverFrame = nullptr;
    TImage* WatchfaceFull = nullptr;
    TImage* WatchfaceReduced = nullptr;
    TImage* OnTop = nullptr;
    TShadowEffect* OnTopShadow = nullptr;
    TLayout* CutOutMover = nullptr;
    TImage* CutOutMoverFrame = nullptr;
    TImage* ArcOntop = nullptr;
    TImage* WatchfaceFullBG = nullptr;

    // Hides the date's drag frame after its flash.
    TTimer TurnOffRectangleTimer;

private:
    // Which element a part's size acts on, which ones its offsets move, and its crosshair.
    struct Placement {
        TElement* sized;
        TElement* moved;
        TElement* movedAlong; // the mechanism's crosshair layout, or nothing
        TElement* crosshair;  // shown by the crosshair box, or nothing
        TElement* shown;      // shown by the show-at-all box, or nothing
    };
    Placement placementOf(TWatchPart part) const;

    void buildScene();
    void buildMechanics();
    void buildDial();
    void buildHands();
    void buildDialTop();

    TScene scene_;
};
