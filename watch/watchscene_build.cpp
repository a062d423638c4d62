// The watch's scene, written as the window description: one statement per element, back to front,
// with the placement and initial state each element starts with.
#include "watch/watchscene.h"

#include "toolkit/describe.h"
#include "watch/builtinpictures.h"

namespace {
const QColor Lime = QColor::fromRgba(0xFF00FF00);
const QColor Magenta = QColor::fromRgba(0xFFFF00FF);
const QColor TextRed = QColor::fromRgba(0xFFDE0707);
constexpr double Step = 0.25; // seconds of one mechanics step
// The readable face inside the chapter ring, in the watch picture's units: lines of text on the
// dial shrink to stay on it.
constexpr QPointF FaceCentre{500, 500};
constexpr double FaceRadius = 315;

TImage& withPicture(TImage& image, const QString& file) {
    image.setEncoded(BuiltInPictures::encoded(file));
    return image;
}

TFloatAnimation& addRotation(TImage& target, const QString& name, double seconds, TInterpolationType curve,
                             float start, float stop) {
    return target.addAnimation(std::make_unique<TFloatAnimation>(
        target, name, QStringLiteral("RotationAngle"), seconds, curve, start, stop));
}

TLayout& addCrosshair(TElement& parent, const QString& layoutName, const QString& imageName, TImage*& image) {
    auto& layout = addElement<TLayout>(parent, layoutName, centredBelow({300, 300}, 400));
    image =
        &withPicture(addElement<TImage>(layout, imageName, {.align = TAlignLayout::Client}), "crosshair.png");
    return layout;
}
} // namespace

TWatchScene::TWatchScene(QSizeF size)
    : TurnOffRectangleTimer("TurnOffRectangleTimer", 0, true,
                            [this](TObject* s) { TurnOffRectangleTimerTimer(s); }),
      scene_(size) {
    buildScene();
}

TWatchScene::~TWatchScene() = default;

void TWatchScene::buildScene() {
    TLayout& root = scene_.root();
    // Overflows the window at the top, right and bottom, drawn at 0.7 from its top-left corner.
    Layout_Watch = &addElement<TLayout>(
        root, "Layout_Watch",
        {.align = TAlignLayout::Client, .margins = {70, -30, -50, -50}, .scale = {0.7, 0.7}});

    GreenRectangle =
        &addElement<TRectangle>(*Layout_Watch, "GreenRectangle", {.align = TAlignLayout::Client});
    GreenRectangle->setFillColor(Lime);
    GreenRectangle->setStrokeColor(Lime);
    MagentaRectangle = &addElement<TRectangle>(*Layout_Watch, "MagentaRectangle",
                                               {.align = TAlignLayout::Client, .visible = false});
    MagentaRectangle->setFillColor(Magenta);
    MagentaRectangle->setStrokeColor(Lime);
    WatchBG = &addElement<TImage>(*Layout_Watch, "WatchBG", {.at = {110, 110}, .size = {1000, 1000}});

    buildMechanics();

    Watch = &withPicture(
        addElement<TImage>(*Layout_Watch, "Watch", {.at = {110, 110}, .size = {1000, 1000}, .hits = true}),
        "WatchfaceFull.png");
    Watch->setCursor(Qt::PointingHandCursor);

    LayoutGearWheelCrosshair = &addCrosshair(*Layout_Watch, "LayoutGearWheelCrosshair", "Image4", Image4);
    LayoutTourBillonCrosshair = &addCrosshair(*Layout_Watch, "LayoutTourBillonCrosshair", "Image3", Image3);
    LayoutUnruhCrossHair = &addCrosshair(*Layout_Watch, "LayoutUnruhCrossHair", "Image1", Image1);

    buildDial();
    buildHands();
    buildDialTop();
}

void TWatchScene::buildMechanics() {
    Tourbillon = &withPicture(
        addElement<TImage>(
            *Layout_Watch, "Tourbillon",
            {.align = TAlignLayout::Center, .size = {250, 250}, .margins = {0, 400, 0, 0}, .rotation = 80}),
        "Tourbillon.png");
    TourbillonFloatAnimation =
        &addRotation(*Tourbillon, "TourbillonFloatAnimation", Step, TInterpolationType::Exponential, 0, 250);
    TourbillonShadow = &addShadow(*Tourbillon, "TourbillonShadow", {.direction = -90});

    LayoutUnruh = &addElement<TLayout>(*Layout_Watch, "LayoutUnruh", centredBelow({250, 250}, 400));
    Unruh = &withPicture(
        addElement<TImage>(*LayoutUnruh, "Unruh", {.align = TAlignLayout::Center, .size = {120, 120}}),
        "BalanceWheel.png");
    UnruhFloatAnimation =
        &addRotation(*Unruh, "UnruhFloatAnimation", Step, TInterpolationType::Sinusoidal, 0, 250);
    escapewheel = &withPicture(addElement<TImage>(*LayoutUnruh, "escapewheel", centredBelow({80, 80}, 150)),
                               "escapewheel.png");
    EscapewheelFloatAnimation =
        &addRotation(*escapewheel, "EscapewheelFloatAnimation", 0.05, TInterpolationType::Back, 0, 6);
    ShadowEffect7 = &addShadow(*escapewheel, "ShadowEffect7", {.direction = -90});

    Gearwheel = &withPicture(addElement<TImage>(*Layout_Watch, "Gearwheel", centredBelow({250, 250}, 400)),
                             "Gearwheel.png");
    GearwheelFloatAnimation =
        &addRotation(*Gearwheel, "GearwheelFloatAnimation", Step, TInterpolationType::Exponential, 0, 250);
    ShadowEffect1 = &addShadow(*Gearwheel, "ShadowEffect1", {.direction = -90});
}

// The date and the text plate, the target pointer and the hour and minute hands.
void TWatchScene::buildDial() {
    DateOut = &addElement<TLabel>(
        *Watch, "DateOut",
        {.at = {671, 472}, .size = {120, 70}, .rotation = 1.3f, .scale = {0.8, 1}, .hits = true});
    DateOut->setFontFamily("Emilys Candy");
    DateOut->setFontSize(50);
    DateOut->setText("25");
    WhiteDate = &DateOut->addEffect<TInvertEffect>("WhiteDate");
    WhiteDate->setEnabled(false);

    CutOut = &addElement<TImage>(*Watch, "CutOut", {.at = {231.4286, 570.7144}, .size = {534, 120}});
    BlurEffect1 = &CutOut->addEffect<TBlurEffect>("BlurEffect1");
    BlurEffect1->setSoftness(0.04);
    BlurEffect1->setEnabled(false);
    DaInitMessage =
        &addElement<TLabel>(*CutOut, "DaInitMessage", {.align = TAlignLayout::Top, .scale = {1.428, 1.428}});
    DaInitMessage->setAutoSize(true);
    DaInitMessage->setFontFamily("Calibri");
    DaInitMessage->setFontSize(32);
    DaInitMessage->setFontColor(TextRed);
    DaInitMessage->setText("Commence dans");
    ShadowEffect5 = &addShadow(*DaInitMessage, "ShadowEffect5", {.distance = 3});
    DaMessage =
        &addElement<TLabel>(*CutOut, "DaMessage",
                            {.align = TAlignLayout::Top, .margins = {0, -10, 0, 0}, .scale = {1.428, 1.428}});
    DaMessage->setAutoSize(true);
    DaMessage->setFontFamily("Calibri");
    DaMessage->setFontSize(40);
    DaMessage->setFontColor(TextRed);
    DaMessage->setText("9:09");
    ShadowEffect3 = &addShadow(*DaMessage, "ShadowEffect3", {.distance = 3});
    for (TLabel* line : {DaInitMessage, DaMessage})
        line->setFitCircle(*Watch, FaceCentre, FaceRadius);

    AdjusterHand = &addElement<TArcDial>(
        *Watch, "AdjusterHand",
        {.align = TAlignLayout::Center, .size = {11, 11}, .rotation = -90, .visible = false});
    AdjusterHand->setTouchTargetExpansion({500, 500, 500, 500});
    Indicator = &withPicture(
        addElement<TImage>(*AdjusterHand, "Indicator", {.align = TAlignLayout::Center, .size = {1000, 1000}}),
        "ind.png");
    ResumeShadowEffect = &addShadow(*Indicator, "ResumeShadowEffect", {});

    Hourhand = &withPicture(
        addElement<TImage>(*Watch, "Hourhand",
                           {.align = TAlignLayout::Center, .size = {1000, 1000}, .rotation = 90}),
        "hour.png");
    HourShadow = &addShadow(*Hourhand, "HourShadow", {});
    HourHandCrosshair = &withPicture(
        addElement<TImage>(*Hourhand, "HourHandCrosshair",
                           {.align = TAlignLayout::Center, .size = {700, 700}, .visible = false}),
        "crosshair.png");

    Minutehand = &withPicture(
        addElement<TImage>(*Watch, "Minutehand", {.align = TAlignLayout::Center, .size = {1000, 1000}}),
        "min.png");
    MinuteShadow = &addShadow(*Minutehand, "MinuteShadow", {});
    AdjusterArc = &addElement<TArc>(*Minutehand, "AdjusterArc", {.align = TAlignLayout::Client});
    AdjusterArc->setStrokeColor(TextRed);
    AdjusterArc->setStrokeThickness(6.63);
    AdjusterArc->setRoundCaps(true);
    AdjusterArc->setStartAngle(0);
    AdjusterArc->setEndAngle(90);
    MinuteHandCrosshair = &withPicture(
        addElement<TImage>(*Minutehand, "MinuteHandCrosshair",
                           {.align = TAlignLayout::Center, .size = {700, 700}, .visible = false}),
        "crosshair.png");
    MinutehandExtraImage =
        &addElement<TImage>(*Minutehand, "MinutehandExtraImage", {.align = TAlignLayout::Client});
    MinutehandExtraAdjusterBezel = &addElement<TImage>(*Minutehand, "MinutehandExtraAdjusterBezel",
                                                       {.align = TAlignLayout::Center, .size = {1000, 1000}});
}

// The bezel dial, the second hand and everything drawn above the hands.
void TWatchScene::buildHands() {
    AdjusterHandRecipient =
        &addElement<TArcDial>(*Watch, "AdjusterHandRecipient",
                              {.align = TAlignLayout::Center, .size = {3, 3}, .scale = {2, 2}, .hits = true});
    AdjusterHandRecipient->setTouchTargetExpansion({250, 250, 250, 250});
    NewStopTime = &withPicture(
        addElement<TImage>(
            *AdjusterHandRecipient, "NewStopTime",
            {.align = TAlignLayout::Center, .size = {495, 495}, .rotation = -90, .visible = false}),
        "bezel.png");

    SecHand = &withPicture(
        addElement<TImage>(*Watch, "SecHand",
                           {.align = TAlignLayout::Center, .size = {1000, 1000}, .rotation = 90}),
        "sek.png");
    SekShadow = &addShadow(*SecHand, "SekShadow", {.direction = -90});
    SecHandFloatAnimation =
        &addRotation(*SecHand, "SecHandFloatAnimation", 0.05, TInterpolationType::Linear, 0, 0);
    SecHandCrosshair = &withPicture(
        addElement<TImage>(*SecHand, "SecHandCrosshair",
                           {.align = TAlignLayout::Center, .size = {700, 700}, .visible = false}),
        "crosshair.png");

    Overlay = &withPicture(
        addElement<TImage>(*Watch, "Overlay",
                           {.align = TAlignLayout::Center, .size = {1000, 1000}, .rotation = -45}),
        "ovl.png");
    ShadowEffect4 = &addShadow(*Overlay, "ShadowEffect4", {.enabled = false});
}

void TWatchScene::buildDialTop() {
    DateMover = &addElement<TLayout>(*Watch, "DateMover", {.at = {671, 472}, .size = {95, 54}, .hits = true});
    DateMover->setCursor(Qt::SizeAllCursor);
    DateMoverFrame =
        &withPicture(addElement<TImage>(*DateMover, "DateMoverFrame",
                                        {.align = TAlignLayout::Client, .margins = {-23, -23, -23, -23}}),
                     "DateMoverFrame.png");
    DateMoverFrame->setWrapMode(TImageWrapMode::Original);

    WatchfaceFull = &withPicture(
        addElement<TImage>(*Watch, "WatchfaceFull", {.at = {24, 192}, .size = {145, 137}, .visible = false}),
        "WatchfaceFull.png");
    WatchfaceReduced =
        &withPicture(addElement<TImage>(*Watch, "WatchfaceReduced",
                                        {.at = {16, 40}, .size = {169, 145}, .visible = false}),
                     "WatchfaceReduced.png");
    OnTop = &addElement<TImage>(*Watch, "OnTop", {.align = TAlignLayout::Center, .size = {740, 740}});
    OnTopShadow = &addShadow(*OnTop, "OnTopShadow", {.distance = 15});

    CutOutMover = &addElement<TLayout>(*Watch, "CutOutMover",
                                       {.at = {231.4286, 570.7144}, .size = {534, 120}, .hits = true});
    CutOutMover->setCursor(Qt::SizeAllCursor);
    CutOutMoverFrame =
        &withPicture(addElement<TImage>(*CutOutMover, "CutOutMoverFrame", {.align = TAlignLayout::Client}),
                     "CutOutMoverFrame.png");
    ArcOntop = &withPicture(
        addElement<TImage>(*Watch, "ArcOntop", {.align = TAlignLayout::Center, .size = {1000, 1000}}),
        "ind.png");
    WatchfaceFullBG =
        &withPicture(addElement<TImage>(*Watch, "WatchfaceFullBG",
                                        {.at = {32, 200}, .size = {145, 137}, .visible = false}),
                     "WatchfaceFullBG.png");
}
