// Draws Horavis' built-in pictures with QPainter so they can be regenerated and reviewed as code.
// Usage: horavis_draw_assets <output-folder>

#include <QConicalGradient>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <map>
#include <numbers>
#include <utility>
#include <vector>

namespace {

// The overlay plate is keyed out on lime and magenta, so every colour here stays far from both.
namespace palette {
constexpr QColor steelHighlight{250, 251, 253};
constexpr QColor steelLight{210, 215, 222};
constexpr QColor steelMid{146, 153, 164};
constexpr QColor steelDark{74, 80, 90};
constexpr QColor steelShadow{30, 33, 39};
constexpr QColor dialLight{58, 104, 164};
constexpr QColor dialDark{7, 19, 42};
constexpr QColor flange{14, 32, 62};
constexpr QColor print{230, 234, 241};
constexpr QColor lume{241, 235, 216};
constexpr QColor lumeShade{205, 196, 170};
constexpr QColor accent{229, 88, 44};
constexpr QColor accentLight{255, 150, 100};
constexpr QColor accentDark{128, 38, 18};
constexpr QColor goldHighlight{255, 240, 190};
constexpr QColor gold{200, 152, 62};
constexpr QColor goldDark{110, 76, 22};
constexpr QColor ruby{176, 16, 36};
constexpr QColor rubyLight{240, 92, 100};
constexpr QColor rubyDark{70, 4, 14};
constexpr QColor blueSteelLight{110, 150, 228};
constexpr QColor blueSteel{36, 70, 156};
constexpr QColor blueSteelDark{14, 28, 78};
constexpr QColor plateLight{84, 90, 100};
constexpr QColor plateDark{40, 43, 49};
constexpr QColor leatherEdge{26, 14, 8};
constexpr QColor leather{60, 34, 19};
constexpr QColor leatherLight{92, 55, 32};
constexpr QColor stitching{222, 204, 170};
constexpr QColor shadow{0, 0, 0};
constexpr QColor white{255, 255, 255};
} // namespace palette

QColor mix(const QColor& from, const QColor& to, double t) {
    const double k = std::clamp(t, 0.0, 1.0);
    const auto lerp = [k](double a, double b) { return a + (b - a) * k; };
    return QColor::fromRgbF(float(lerp(from.redF(), to.redF())), float(lerp(from.greenF(), to.greenF())),
                            float(lerp(from.blueF(), to.blueF())), float(lerp(from.alphaF(), to.alphaF())));
}

QColor withAlpha(QColor colour, int alpha) {
    colour.setAlpha(alpha);
    return colour;
}

// Angles run clockwise from 12 o'clock, as on a dial.
QPointF polar(double radius, double degrees) {
    const double radians = qDegreesToRadians(degrees);
    return {radius * std::sin(radians), -radius * std::cos(radians)};
}

QImage transparentCanvas(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Every picture is laid out around its pivot, so painting starts at the exact canvas centre.
void beginCentred(QPainter& painter, const QImage& image) {
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                           QPainter::TextAntialiasing);
    painter.translate(image.width() / 2.0, image.height() / 2.0);
}

QPainterPath disc(QPointF centre, double radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath ring(QPointF centre, double inner, double outer) {
    QPainterPath path = disc(centre, outer);
    path.addEllipse(centre, inner, inner);
    return path;
}

QPainterPath strokeOf(const QPainterPath& centreLine, double width, Qt::PenCapStyle cap = Qt::RoundCap) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(centreLine).simplified();
}

// Turned metal mirrors the room as soft bands sweeping round the centre; ripple adds a fine brushed grain.
QConicalGradient polishedSweep(QPointF centre, const QColor& dark, const QColor& light, int bands,
                               double phaseDegrees, double ripple = 0.0) {
    QConicalGradient gradient(centre, phaseDegrees);
    constexpr int steps = 360;
    for (int i = 0; i <= steps; ++i) {
        const double turn = 2.0 * std::numbers::pi * i / steps;
        const double grain = ripple * (std::sin(turn * 37.0) * 0.6 + std::sin(turn * 89.0 + 1.3) * 0.4);
        gradient.setColorAt(double(i) / steps, mix(dark, light, 0.5 + 0.5 * std::cos(turn * bands) + grain));
    }
    return gradient;
}

using Profile = std::initializer_list<std::pair<double, QColor>>;

// Shades a ring as if its cross-section were curved; the profile maps radius to colour.
void shadeRing(QPainter& painter, QPointF centre, double inner, double outer, Profile profile) {
    QRadialGradient gradient(centre, outer);
    for (const auto& [radius, colour] : profile)
        gradient.setColorAt(radius / outer, colour);
    painter.fillPath(ring(centre, inner, outer), gradient);
}

QPainterPath centredText(const QString& text, const QFont& font, QPointF centre) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    return path.translated(centre - path.boundingRect().center());
}

QFont fontOf(const QString& family, int pixelSize, int weight = QFont::Normal, double spacingPercent = 100) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Weight(weight));
    font.setLetterSpacing(QFont::PercentageSpacing, spacingPercent);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Glyphs stand radially with their feet towards the centre.
void drawRadialText(QPainter& painter, const QString& text, const QFont& font, double radius,
                    double angleDegrees, const QBrush& brush) {
    painter.save();
    painter.rotate(angleDegrees);
    painter.fillPath(centredText(text, font, QPointF(0, -radius)), brush);
    painter.restore();
}

void drawScrew(QPainter& painter, QPointF centre, double radius, double slotDegrees, const QColor& light,
               const QColor& dark) {
    QRadialGradient head(centre + QPointF(-radius * 0.4, -radius * 0.4), radius * 1.5);
    head.setColorAt(0.0, light);
    head.setColorAt(1.0, dark);
    painter.setPen(QPen(withAlpha(palette::shadow, 150), radius * 0.14));
    painter.setBrush(head);
    painter.drawEllipse(centre, radius, radius);
    const QPointF half = polar(radius * 0.8, slotDegrees);
    painter.setPen(QPen(mix(dark, palette::shadow, 0.55), radius * 0.28, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(centre - half, centre + half);
}

void drawBlueScrew(QPainter& painter, QPointF centre, double radius, double slotDegrees) {
    drawScrew(painter, centre, radius, slotDegrees, palette::blueSteelLight, palette::blueSteelDark);
}

// A ruby set in a polished gold chaton, lit from the upper left.
void drawJewel(QPainter& painter, QPointF centre, double radius) {
    QRadialGradient chaton(centre + QPointF(-radius * 0.6, -radius * 0.6), radius * 2.4);
    chaton.setColorAt(0.0, palette::goldHighlight);
    chaton.setColorAt(0.5, palette::gold);
    chaton.setColorAt(1.0, palette::goldDark);
    painter.setPen(QPen(palette::goldDark, radius * 0.08));
    painter.setBrush(chaton);
    painter.drawEllipse(centre, radius * 1.6, radius * 1.6);

    QRadialGradient stone(centre + QPointF(radius * 0.3, radius * 0.35), radius * 1.15);
    stone.setColorAt(0.0, palette::rubyLight);
    stone.setColorAt(0.55, palette::ruby);
    stone.setColorAt(1.0, palette::rubyDark);
    painter.setPen(QPen(palette::rubyDark, radius * 0.08));
    painter.setBrush(stone);
    painter.drawEllipse(centre, radius, radius);

    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::rubyDark);
    painter.drawEllipse(centre, radius * 0.22, radius * 0.22);
    painter.setBrush(withAlpha(palette::white, 180));
    painter.drawEllipse(centre + QPointF(-radius * 0.4, -radius * 0.4), radius * 0.24, radius * 0.15);
}

// Bevelled outline: a dark edge plus a light rim on the lit side make a flat fill read as cut metal.
void outlineMetal(QPainter& painter, const QPainterPath& shape, double width) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setClipPath(shape);
    painter.setPen(QPen(withAlpha(palette::white, 150), width));
    painter.drawPath(shape.translated(width * 0.8, width * 0.8));
    painter.setPen(QPen(withAlpha(palette::shadow, 110), width));
    painter.drawPath(shape.translated(-width * 0.8, -width * 0.8));
    painter.setClipping(false);
    painter.setPen(QPen(withAlpha(palette::shadow, 170), width * 0.8));
    painter.drawPath(shape);
    painter.restore();
}

// ---------------------------------------------------------------------------------------------------
// How the default skin shows the pictures, in pixels of the 2000-pixel face from its centre. The face
// covers the 1000-unit dial, so one scene unit is two face pixels. Hands, target marker and all four
// mechanics are 582.7066 units wide: the hands turn about the dial's centre, the mechanics about the
// middle of the window layout, where the centre alignment puts them with their offsets cut to whole
// units.
namespace stage {
constexpr double facePixelsPerUnit = 2;
constexpr double skinSide = 582.7066;
constexpr double shownSide = skinSide * facePixelsPerUnit;

// Face pixels per picture pixel for a square picture `pixels` wide.
constexpr double scaleOf(double pixels) {
    return shownSide / pixels;
}

// The window layout covers 852 x 814 window pixels drawn at 0.7; the dial's centre is its unit (610, 610).
constexpr double layoutWidth = 852 / 0.7;
constexpr double layoutHeight = 814 / 0.7;
constexpr QPointF dialCentre{610, 610};

double centreInBox(double box, double side) {
    return std::trunc((box - side) / 2) + side / 2;
}

QPointF toFace(QPointF units) {
    return (units - dialCentre) * facePixelsPerUnit;
}

// Tourbillon and gear wheel.
QPointF mechanicsCentre() {
    return toFace({centreInBox(layoutWidth, skinSide), centreInBox(layoutHeight, skinSide)});
}

// Balance and escape wheel, centred in a 250-unit carriage layout that is centred itself.
QPointF carriageCentre() {
    constexpr double carriage = 250;
    const QPointF corner(centreInBox(layoutWidth, carriage) - carriage / 2,
                         centreInBox(layoutHeight, carriage) - carriage / 2);
    return toFace(corner + QPointF(centreInBox(carriage, skinSide), centreInBox(carriage, skinSide)));
}

// The countdown arc fills the minute hand inside margins of 190.382 and strokes 55 units inward.
constexpr double arcMargin = 190.382;
constexpr double arcThickness = 55;
constexpr double arcOuterRadius = (skinSide / 2 - arcMargin) * facePixelsPerUnit;
constexpr double arcInnerRadius = arcOuterRadius - arcThickness * facePixelsPerUnit;
} // namespace stage

// ---------------------------------------------------------------------------------------------------
// Watch head: case, dial with its central opening onto the movement, and the date window.
namespace face {

constexpr QSize canvasSize{2000, 2000};
constexpr double caseRadius = 770;
constexpr double bezelInnerRadius = 640;
constexpr double insertOuterRadius = 734;
constexpr double dialRadius = 600;
// A hand picture shown at the skin's size reaches 582.7 pixels at most, so the chapter ring lies inside.
constexpr double trackOuterRadius = 578;
constexpr double trackInnerRadius = 550;
constexpr double indexInnerRadius = 410;
constexpr double indexOuterRadius = 536;
// The opening stays inside the countdown arc, whose ring lies on a sunk track between two polished lips.
constexpr double openingRadius = 84;
constexpr double chamferOuterRadius = 98;
constexpr double counterTrackOuterRadius = 196;
constexpr double lipOuterRadius = 212;
static_assert(openingRadius < stage::arcInnerRadius && stage::arcInnerRadius < chamferOuterRadius);
static_assert(counterTrackOuterRadius < stage::arcOuterRadius && stage::arcOuterRadius < lipOuterRadius);
// Centred at (462, 14) from the dial centre, where the program prints the day.
constexpr QRectF dateWindow{462 - 74, 14 - 47, 148, 94};
constexpr double lightFromDegrees = 315;

// How much a surface facing this direction catches the light from the upper left.
double shineFacing(double normalDegrees) {
    return 0.5 + 0.5 * std::cos(qDegreesToRadians(normalDegrees - lightFromDegrees));
}

void drawStrapEnd(QPainter& painter) {
    constexpr double rootY = -640;
    constexpr double tipY = -1000;
    constexpr double rootHalfWidth = 294;
    constexpr double tipHalfWidth = 282;
    const QPolygonF outline{QPointF(-rootHalfWidth, rootY), QPointF(rootHalfWidth, rootY),
                            QPointF(tipHalfWidth, tipY), QPointF(-tipHalfWidth, tipY)};
    QPainterPath strap;
    strap.addPolygon(outline);
    strap.closeSubpath();

    // Padded leather: rolled dark edges, a soft crown down the middle.
    QLinearGradient across(-rootHalfWidth, 0, rootHalfWidth, 0);
    across.setColorAt(0.0, palette::leatherEdge);
    across.setColorAt(0.07, palette::leather);
    across.setColorAt(0.4, palette::leatherLight);
    across.setColorAt(0.6, palette::leatherLight);
    across.setColorAt(0.93, palette::leather);
    across.setColorAt(1.0, palette::leatherEdge);
    painter.fillPath(strap, across);

    // The case throws a shadow onto the strap where it leaves the lugs.
    QLinearGradient caseShade(0, -700, 0, -860);
    caseShade.setColorAt(0.0, withAlpha(palette::shadow, 150));
    caseShade.setColorAt(1.0, withAlpha(palette::shadow, 0));
    painter.fillPath(strap, caseShade);

    QPen stitch(palette::stitching, 3.2, Qt::CustomDashLine, Qt::RoundCap);
    stitch.setDashPattern({3.4, 2.6});
    painter.setPen(stitch);
    for (const double side : {-1.0, 1.0})
        painter.drawLine(QPointF(side * (rootHalfWidth - 20), rootY),
                         QPointF(side * (tipHalfWidth - 20), tipY));
    painter.setPen(QPen(withAlpha(palette::shadow, 140), 2));
    for (const double side : {-1.0, 1.0})
        painter.drawLine(QPointF(side * rootHalfWidth, rootY), QPointF(side * tipHalfWidth, tipY));
}

QPainterPath lugShape(double side) {
    QPainterPath lug;
    lug.moveTo(side * 288, -640);
    lug.lineTo(side * 288, -905);
    lug.quadTo(side * 288, -936, side * 322, -936);
    lug.quadTo(side * 362, -936, side * 366, -900);
    lug.cubicTo(side * 368, -800, side * 382, -730, side * 412, -640);
    lug.closeSubpath();
    return lug;
}

void drawLug(QPainter& painter, double side) {
    const QPainterPath lug = lugShape(side);
    // A polished bevel along the flank, brushed top surface.
    QLinearGradient across(side * 288, 0, side * 380, 0);
    across.setColorAt(0.0, palette::steelMid);
    across.setColorAt(0.3, palette::steelLight);
    across.setColorAt(0.5, palette::steelHighlight);
    across.setColorAt(0.62, palette::steelMid);
    across.setColorAt(1.0, palette::steelDark);
    painter.fillPath(lug, across);
    QLinearGradient along(0, -936, 0, -700);
    along.setColorAt(0.0, withAlpha(palette::white, 70));
    along.setColorAt(0.3, withAlpha(palette::white, 0));
    along.setColorAt(1.0, withAlpha(palette::shadow, 60));
    painter.fillPath(lug, along);
    outlineMetal(painter, lug, 2.0);
}

void drawLugs(QPainter& painter) {
    for (const double side : {-1.0, 1.0})
        drawLug(painter, side);
}

void drawStrapAndLugs(QPainter& painter) {
    for (const double end : {1.0, -1.0}) {
        painter.save();
        painter.scale(1, end);
        drawStrapEnd(painter);
        drawLugs(painter);
        painter.restore();
    }
}

void drawCrown(QPainter& painter) {
    const QRectF tube(caseRadius - 14, -34, 44, 68);
    QLinearGradient tubeShade(0, tube.top(), 0, tube.bottom());
    tubeShade.setColorAt(0.0, palette::steelMid);
    tubeShade.setColorAt(0.35, palette::steelHighlight);
    tubeShade.setColorAt(1.0, palette::steelDark);
    painter.setPen(QPen(withAlpha(palette::shadow, 160), 2));
    painter.setBrush(tubeShade);
    painter.drawRect(tube);

    const QRectF crown(caseRadius + 26, -84, 78, 168);
    QLinearGradient crownShade(0, crown.top(), 0, crown.bottom());
    crownShade.setColorAt(0.0, palette::steelDark);
    crownShade.setColorAt(0.25, palette::steelHighlight);
    crownShade.setColorAt(0.5, palette::steelLight);
    crownShade.setColorAt(1.0, palette::steelShadow);
    QPainterPath body;
    body.addRoundedRect(crown, 12, 12);
    painter.fillPath(body, crownShade);
    painter.save();
    painter.setClipPath(body);
    painter.setPen(QPen(withAlpha(palette::shadow, 110), 2.2));
    for (double y = crown.top() + 6; y < crown.bottom() - 4; y += 8)
        painter.drawLine(QPointF(crown.left() + 12, y), QPointF(crown.right() - 3, y));
    painter.restore();
    outlineMetal(painter, body, 2.0);
}

void drawSunburstDial(QPainter& painter) {
    const QPainterPath dial = disc({}, dialRadius);
    painter.fillPath(dial, polishedSweep({}, palette::dialDark, palette::dialLight, 2, 40, 0.05));
    // Fine radial strokes: without them the gradient reads as plastic rather than brushed metal.
    painter.save();
    painter.setClipPath(dial);
    constexpr int strokes = 540;
    for (int i = 0; i < strokes; ++i) {
        const double angle = 360.0 * i / strokes;
        const bool light = i % 3 == 0;
        painter.setPen(QPen(withAlpha(light ? palette::white : palette::shadow, light ? 6 : 10), 1.2));
        painter.drawLine(polar(lipOuterRadius, angle), polar(dialRadius, angle));
    }
    painter.restore();
    QRadialGradient depth(QPointF(), dialRadius);
    depth.setColorAt(0.0, withAlpha(palette::white, 18));
    depth.setColorAt(0.55, withAlpha(palette::white, 0));
    depth.setColorAt(0.9, withAlpha(palette::shadow, 60));
    depth.setColorAt(1.0, withAlpha(palette::shadow, 140));
    painter.fillPath(dial, depth);
}

void drawMinuteTrack(QPainter& painter) {
    constexpr double inner = trackInnerRadius;
    constexpr double outer = trackOuterRadius;
    painter.setPen(QPen(withAlpha(palette::print, 210), 1.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(), inner, inner);
    painter.drawEllipse(QPointF(), outer, outer);
    for (int minute = 0; minute < 60; ++minute) {
        const double angle = minute * 6.0;
        const bool five = minute % 5 == 0;
        painter.setPen(QPen(palette::print, five ? 5.5 : 2.6, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(polar(inner, angle), polar(outer, angle));
    }
    // Lume dots between the lines mark the five minutes for the minute hand's tip.
    painter.setPen(QPen(withAlpha(palette::shadow, 150), 1.2));
    painter.setBrush(palette::lume);
    for (int minute = 5; minute <= 60; minute += 5)
        painter.drawEllipse(polar((inner + outer) / 2, minute * 6.0), 6.5, 6.5);
}

struct Baton {
    double angle;
    double offset;
    double halfWidth;
};

void drawAppliedBaton(QPainter& painter, const Baton& baton) {
    constexpr double inner = indexInnerRadius;
    constexpr double outer = indexOuterRadius;
    const QTransform place = QTransform().rotate(baton.angle);
    const QRectF body(baton.offset - baton.halfWidth, -outer, baton.halfWidth * 2, outer - inner);
    QPainterPath local;
    local.addRoundedRect(body, 3, 3);
    const QPainterPath world = place.map(local);

    for (int step = 1; step <= 4; ++step)
        painter.fillPath(world.translated(step * 1.3, step * 1.7), withAlpha(palette::shadow, 34));

    // Two polished facets meeting at a ridge; each takes the light its own way.
    for (const double side : {-1.0, 1.0}) {
        QPainterPath half;
        half.addRect(side < 0 ? QRectF(body.left(), body.top(), baton.halfWidth, body.height())
                              : QRectF(body.center().x(), body.top(), baton.halfWidth, body.height()));
        const double shine = shineFacing(baton.angle + (side < 0 ? 270 : 90));
        const QColor base = mix(palette::steelDark, palette::steelHighlight, 0.15 + 0.8 * shine);
        QLinearGradient along(place.map(QPointF(0, -outer)), place.map(QPointF(0, -inner)));
        along.setColorAt(0.0, base.lighter(112));
        along.setColorAt(1.0, base.darker(118));
        painter.fillPath(place.map(half.intersected(local)), along);
    }
    QPainterPath inlay;
    inlay.addRoundedRect(
        QRectF(baton.offset - baton.halfWidth * 0.36, -outer + 8, baton.halfWidth * 0.72, outer - inner - 16),
        2, 2);
    painter.fillPath(place.map(inlay), palette::lume);
    painter.setPen(QPen(withAlpha(palette::steelDark, 200), 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(place.map(inlay));
    painter.setPen(QPen(withAlpha(palette::shadow, 150), 1.4));
    painter.drawPath(world);
}

void drawAppliedText(QPainter& painter, const QPainterPath& text) {
    painter.fillPath(text.translated(1.5, 2.2), withAlpha(palette::shadow, 120));
    const QRectF box = text.boundingRect();
    QLinearGradient metal(box.topLeft(), box.bottomLeft());
    metal.setColorAt(0.0, palette::steelHighlight);
    metal.setColorAt(0.55, palette::steelLight);
    metal.setColorAt(1.0, palette::steelMid);
    painter.fillPath(text, metal);
}

// Polished steel numerals applied at twelve, six and nine, filling the indices' band.
void drawNumerals(QPainter& painter) {
    const QFont font = fontOf("DejaVu Serif", 128, QFont::Normal, 88);
    constexpr double centreRadius = (indexInnerRadius + indexOuterRadius) / 2;
    struct Numeral {
        const char* text;
        double angle;
        double turn;
    };
    // Feet towards the centre, except six, which stands upright as it does on most dials.
    for (const Numeral& numeral : {Numeral{"XII", 0, 0}, Numeral{"VI", 180, 180}, Numeral{"IX", 270, 0}}) {
        painter.save();
        painter.rotate(numeral.angle);
        painter.translate(0, -centreRadius);
        painter.rotate(numeral.turn);
        const QPainterPath glyphs = centredText(QString::fromLatin1(numeral.text), font, {});
        const QRectF box = glyphs.boundingRect();
        painter.scale(0.86, (indexOuterRadius - indexInnerRadius) / box.height());
        drawAppliedText(painter, glyphs);
        painter.setPen(QPen(withAlpha(palette::shadow, 150), 1.4));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(glyphs);
        painter.restore();
    }
}

void drawHourBatons(QPainter& painter) {
    for (int hour = 1; hour < 12; ++hour) {
        const bool numeral = hour % 3 == 0;
        if (!numeral)
            drawAppliedBaton(painter, {hour * 30.0, 0, 12});
    }
}

void drawBranding(QPainter& painter) {
    drawAppliedText(painter,
                    centredText("HORAVIS", fontOf("DejaVu Serif", 46, QFont::Normal, 135), QPointF(0, -318)));
    painter.fillPath(
        centredText("AUTOMATIC", fontOf("DejaVu Sans", 17, QFont::Normal, 160), QPointF(0, -272)),
        withAlpha(palette::print, 200));
}

void drawDateWindow(QPainter& painter) {
    const QRectF frame = dateWindow.adjusted(-6, -6, 6, 6);
    for (int step = 1; step <= 4; ++step) {
        QPainterPath spread;
        spread.addRoundedRect(frame.adjusted(-step, -step, step + 1, step + 2), 9 + step, 9 + step);
        painter.fillPath(spread, withAlpha(palette::shadow, 26));
    }
    QPainterPath framePath;
    framePath.addRoundedRect(frame, 9, 9);
    QLinearGradient frameMetal(frame.topLeft(), frame.bottomRight());
    frameMetal.setColorAt(0.0, palette::steelHighlight);
    frameMetal.setColorAt(0.45, palette::steelMid);
    frameMetal.setColorAt(0.55, palette::steelLight);
    frameMetal.setColorAt(1.0, palette::steelDark);
    painter.fillPath(framePath, frameMetal);

    QPainterPath window;
    window.addRoundedRect(dateWindow, 5, 5);
    // The disc sits below the dial, so the window's top edge shades it.
    QLinearGradient paper(dateWindow.topLeft(), dateWindow.bottomLeft());
    paper.setColorAt(0.0, QColor(188, 184, 176));
    paper.setColorAt(0.18, QColor(238, 235, 228));
    paper.setColorAt(1.0, QColor(248, 246, 240));
    painter.fillPath(window, paper);
    painter.setPen(QPen(withAlpha(palette::shadow, 150), 1.4));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(window);
    painter.drawPath(framePath);
}

// The sloped ring between dial and glass, marked in fifths of a second.
void drawFlange(QPainter& painter) {
    const QPainterPath flange = ring({}, dialRadius, bezelInnerRadius);
    painter.fillPath(flange, polishedSweep({}, palette::dialDark, palette::flange.lighter(170), 2, 220));
    shadeRing(painter, {}, dialRadius, bezelInnerRadius,
              {{dialRadius, withAlpha(palette::shadow, 110)},
               {dialRadius + 12, withAlpha(palette::shadow, 0)},
               {bezelInnerRadius - 8, withAlpha(palette::white, 14)},
               {bezelInnerRadius, withAlpha(palette::shadow, 60)}});
    for (int fifth = 0; fifth < 300; ++fifth) {
        const bool second = fifth % 5 == 0;
        const bool five = fifth % 25 == 0;
        const double outer = dialRadius + (five ? 24 : second ? 17 : 10);
        painter.setPen(QPen(withAlpha(palette::print, five     ? 230
                                                      : second ? 190
                                                               : 120),
                            five ? 3.4 : 1.5, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(polar(dialRadius + 2, fifth * 1.2), polar(outer, fifth * 1.2));
    }
}

// A timing insert, as a countdown watch wears: every minute of the first quarter, then every five.
void drawBezelInsert(QPainter& painter) {
    constexpr double inner = bezelInnerRadius;
    constexpr double outer = insertOuterRadius;
    painter.fillPath(ring({}, inner, outer),
                     polishedSweep({}, palette::dialDark, palette::flange.lighter(150), 2, 300, 0.02));
    // Glossy and slightly domed: a soft band of light across the middle.
    shadeRing(painter, {}, inner, outer,
              {{inner, withAlpha(palette::shadow, 150)},
               {inner + 12, withAlpha(palette::shadow, 20)},
               {(inner + outer) / 2, withAlpha(palette::white, 20)},
               {outer - 12, withAlpha(palette::shadow, 20)},
               {outer, withAlpha(palette::shadow, 130)}});
    constexpr double numberRadius = (inner + outer) / 2;
    const QFont font = fontOf("DejaVu Sans", 44, QFont::Bold, 96);
    const QColor ink = withAlpha(palette::print, 235);
    for (int minutes = 10; minutes <= 50; minutes += 10)
        drawRadialText(painter, QString::number(minutes), font, numberRadius, minutes * 6.0, ink);
    for (int minute = 1; minute < 60; ++minute) {
        if (minute % 10 == 0)
            continue;
        const bool five = minute % 5 == 0;
        if (!five && minute > 15)
            continue;
        const double angle = minute * 6.0;
        painter.setPen(QPen(ink, five ? 7 : 3.2, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(polar(outer - (five ? 46 : 30), angle), polar(outer - 10, angle));
    }
    // The zero: a lume pip in a polished triangle.
    QPainterPath pip;
    pip.moveTo(polar(outer - 8, -5.2));
    pip.lineTo(polar(outer - 8, 5.2));
    pip.lineTo(polar(inner + 14, 0));
    pip.closeSubpath();
    painter.setPen(QPen(palette::steelMid, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(palette::lume);
    painter.drawPath(pip);
}

// The polished bezel round the insert, milled on its edge for the fingers.
void drawBezel(QPainter& painter) {
    constexpr double inner = insertOuterRadius;
    constexpr double milledFrom = caseRadius - 15;
    const QPainterPath bezel = ring({}, inner, caseRadius);
    painter.fillPath(bezel, polishedSweep({}, palette::steelDark, palette::steelHighlight, 3, 20, 0.03));
    shadeRing(painter, {}, inner, caseRadius,
              {{inner, withAlpha(palette::shadow, 120)},
               {inner + 6, withAlpha(palette::white, 70)},
               {milledFrom - 6, withAlpha(palette::white, 0)},
               {milledFrom, withAlpha(palette::shadow, 60)},
               {caseRadius, withAlpha(palette::shadow, 140)}});
    painter.save();
    painter.setClipPath(ring({}, milledFrom, caseRadius - 1));
    constexpr int grooves = 180;
    for (int i = 0; i < grooves; ++i) {
        const double angle = 360.0 * (i + 0.5) / grooves;
        painter.setPen(QPen(withAlpha(palette::shadow, 100), 2.6, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(polar(milledFrom, angle), polar(caseRadius, angle));
    }
    painter.restore();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(palette::steelShadow, 3));
    painter.drawEllipse(QPointF(), bezelInnerRadius, bezelInnerRadius);
    painter.setPen(QPen(withAlpha(palette::shadow, 200), 2));
    painter.drawEllipse(QPointF(), inner, inner);
    painter.setPen(QPen(withAlpha(palette::shadow, 190), 2));
    painter.drawEllipse(QPointF(), caseRadius - 1, caseRadius - 1);
}

void drawDialEdgeShadow(QPainter& painter) {
    shadeRing(
        painter, {}, dialRadius - 60, dialRadius,
        {{dialRadius - 60, withAlpha(palette::shadow, 0)}, {dialRadius, withAlpha(palette::shadow, 80)}});
}

// Fine concentric rings, as a sub-dial's snailing catches the light.
QBrush snailing(double inner, double outer, const QColor& dark, const QColor& light) {
    QRadialGradient grain(QPointF(), outer);
    constexpr double pitch = 3.2;
    int index = 0;
    for (double radius = inner; radius <= outer; radius += pitch / 2, ++index)
        grain.setColorAt(radius / outer, index % 2 == 0 ? dark : light);
    return grain;
}

// The sunk track round the opening, where a countdown's arc lies, with a scale of its own.
void drawCounterTrack(QPainter& painter) {
    constexpr double inner = chamferOuterRadius;
    constexpr double outer = counterTrackOuterRadius;
    painter.fillPath(ring({}, inner, outer),
                     snailing(inner, outer, palette::dialDark.lighter(130), palette::flange.lighter(190)));
    painter.fillPath(ring({}, inner, outer),
                     polishedSweep({}, withAlpha(palette::shadow, 70), withAlpha(palette::white, 24), 2, 40));
    // Sunk below the dial: the outer wall shades it, the inner edge rises towards the chamfer.
    shadeRing(painter, {}, inner, outer,
              {{inner, withAlpha(palette::shadow, 60)},
               {inner + 14, withAlpha(palette::shadow, 0)},
               {outer - 18, withAlpha(palette::shadow, 0)},
               {outer, withAlpha(palette::shadow, 150)}});
    for (int minute = 0; minute < 60; ++minute) {
        const double angle = minute * 6.0;
        const bool five = minute % 5 == 0;
        painter.setPen(
            QPen(withAlpha(palette::print, five ? 220 : 150), five ? 3.6 : 1.8, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(polar(outer - (five ? 26 : 14), angle), polar(outer - 4, angle));
    }
}

// Raised polished lip framing the track: lit on the upper left outside, on the lower right inside.
void drawLip(QPainter& painter) {
    constexpr double inner = counterTrackOuterRadius;
    constexpr double outer = lipOuterRadius;
    for (int step = 1; step <= 4; ++step)
        painter.fillPath(ring({}, outer, outer + step * 1.8), withAlpha(palette::shadow, 26));
    painter.fillPath(ring({}, inner, outer),
                     polishedSweep({}, palette::steelMid, palette::steelHighlight, 3, 10));
    shadeRing(painter, {}, inner, outer,
              {{inner, withAlpha(palette::shadow, 120)},
               {inner + 4, withAlpha(palette::white, 60)},
               {outer - 5, withAlpha(palette::white, 0)},
               {outer, withAlpha(palette::shadow, 110)}});
}

// A polished chamfer sinks the opening into the dial so the movement reads as set below it.
void drawOpening(QPainter& painter) {
    const QPainterPath chamfer = ring({}, openingRadius - 1, chamferOuterRadius);
    painter.fillPath(chamfer, polishedSweep({}, palette::steelMid, palette::steelHighlight, 3, 10));
    // The slope faces inward: the far (lower right) side catches the light, the near side falls dark.
    QLinearGradient slope(QPointF(-chamferOuterRadius, -chamferOuterRadius) * 0.7,
                          QPointF(chamferOuterRadius, chamferOuterRadius) * 0.7);
    slope.setColorAt(0.0, withAlpha(palette::shadow, 150));
    slope.setColorAt(0.5, withAlpha(palette::shadow, 20));
    slope.setColorAt(1.0, withAlpha(palette::white, 90));
    painter.fillPath(chamfer, slope);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(withAlpha(palette::white, 200), 1.8));
    painter.drawEllipse(QPointF(), chamferOuterRadius - 1, chamferOuterRadius - 1);
    painter.setPen(QPen(withAlpha(palette::shadow, 220), 2.2));
    painter.drawEllipse(QPointF(), openingRadius + 1, openingRadius + 1);

    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    // The dial's edge throws a soft shadow onto the movement below it.
    QRadialGradient shade(QPointF(), openingRadius);
    shade.setColorAt(0.0, withAlpha(palette::shadow, 0));
    shade.setColorAt(0.72, withAlpha(palette::shadow, 0));
    shade.setColorAt(0.93, withAlpha(palette::shadow, 90));
    shade.setColorAt(1.0, withAlpha(palette::shadow, 170));
    painter.fillPath(disc({}, openingRadius), shade);
    painter.restore();
}

void drawCentre(QPainter& painter) {
    drawLip(painter);
    drawCounterTrack(painter);
    drawOpening(painter);
}

void drawHead(QPainter& painter) {
    // Dial, flange and bezel meet on shared circles; without a solid base their soft edges would leave a
    // faintly see-through seam for the key colour.
    painter.fillPath(disc({}, caseRadius - 1), palette::dialDark);
    drawSunburstDial(painter);
    drawMinuteTrack(painter);
    drawBranding(painter);
    drawDateWindow(painter);
    drawHourBatons(painter);
    drawNumerals(painter);
    drawDialEdgeShadow(painter);
    drawFlange(painter);
    drawBezelInsert(painter);
    drawBezel(painter);
    drawCentre(painter);
}

QImage drawWatchface(bool withStrap) {
    QImage image = transparentCanvas(canvasSize);
    QPainter painter(&image);
    beginCentred(painter, image);
    if (withStrap) {
        drawStrapAndLugs(painter);
        drawCrown(painter);
    }
    drawHead(painter);
    return image;
}

QImage drawFull() {
    return drawWatchface(true);
}
QImage drawReduced() {
    return drawWatchface(false);
}

// ---------------------------------------------------------------------------------------------------
// Movement plate, for a skin that shows one behind its mechanics.

void drawPerlage(QPainter& painter, double radius) {
    constexpr double spacing = 46;
    constexpr double spot = 33;
    painter.setPen(Qt::NoPen);
    int row = 0;
    for (double y = -radius - spot; y <= radius + spot; y += spacing * 0.5, ++row) {
        const double shift = (row % 2) * spacing * 0.5;
        for (double x = -radius - spot + shift; x <= radius + spot; x += spacing) {
            const QPointF centre(x, y);
            if (std::hypot(x, y) > radius + spot)
                continue;
            painter.setBrush(polishedSweep(centre, palette::plateDark, palette::plateLight, 3, x * 0.7 + y));
            painter.drawEllipse(centre, spot, spot);
        }
    }
}

// Concentric graining where the mechanics turn.
void drawCircularGraining(QPainter& painter, QPointF centre, double radius) {
    QRadialGradient grain(centre, radius);
    constexpr int rings = 30;
    for (int i = 0; i <= rings; ++i) {
        const double t = double(i) / rings;
        const QColor tone = (i % 2 == 0) ? palette::plateLight : palette::plateDark.lighter(130);
        grain.setColorAt(t, tone);
    }
    painter.fillPath(disc(centre, radius), grain);
    shadeRing(painter, centre, 0, radius,
              {{0, withAlpha(palette::shadow, 0)},
               {radius * 0.8, withAlpha(palette::shadow, 30)},
               {radius, withAlpha(palette::shadow, 160)}});
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(withAlpha(palette::white, 90), 2));
    painter.drawEllipse(centre, radius + 1, radius + 1);
}

QImage drawMovementPlate() {
    QImage image = transparentCanvas(canvasSize);
    QPainter painter(&image);
    beginCentred(painter, image);
    const QPainterPath plate = disc({}, caseRadius);
    painter.fillPath(plate, palette::plateDark);
    painter.setClipPath(plate);
    drawPerlage(painter, caseRadius);
    drawCircularGraining(painter, {}, lipOuterRadius);
    drawJewel(painter, stage::mechanicsCentre(), 12);
    shadeRing(painter, {}, 0, caseRadius,
              {{0, withAlpha(palette::shadow, 40)},
               {caseRadius * 0.8, withAlpha(palette::shadow, 60)},
               {caseRadius, withAlpha(palette::shadow, 200)}});
    return image;
}

} // namespace face

// ---------------------------------------------------------------------------------------------------
// Hands, drawn pointing at 12 around the canvas centre. Lengths are given as the face radius they
// reach at the skin's size and turned into picture pixels here.
namespace hands {

constexpr QSize canvasSize{1000, 1000};
constexpr double facePixelsPerPixel = stage::scaleOf(canvasSize.width());

constexpr double reaching(double faceRadius) {
    return faceRadius / facePixelsPerPixel;
}

struct Blade {
    double length;
    double rootHalfWidth;
    double widestHalfWidth;
    double widestAt;
    double tailLength;
    double tailHalfWidth;
    double hubRadius;
    double lumeFrom;
    double lumeTo;
};

QPainterPath bladeHalf(const Blade& blade, double side) {
    QPainterPath half;
    half.moveTo(0, 0);
    half.lineTo(side * blade.rootHalfWidth, 0);
    half.lineTo(side * blade.widestHalfWidth, -blade.widestAt);
    half.lineTo(0, -blade.length);
    half.closeSubpath();
    return half;
}

QPainterPath handOutline(const Blade& blade) {
    QPainterPath tail;
    tail.addRoundedRect(QRectF(-blade.tailHalfWidth, -blade.hubRadius * 0.5, blade.tailHalfWidth * 2,
                               blade.tailLength + blade.hubRadius * 0.5),
                        blade.tailHalfWidth, blade.tailHalfWidth);
    return bladeHalf(blade, -1)
        .united(bladeHalf(blade, 1))
        .united(tail)
        .united(disc({}, blade.hubRadius))
        .simplified();
}

QPainterPath lumeInlay(const Blade& blade) {
    const double widest = blade.widestHalfWidth * 0.5;
    const double widestAt = std::clamp(blade.widestAt, blade.lumeFrom + 10, blade.lumeTo - 10);
    QPainterPath inlay;
    inlay.moveTo(-blade.rootHalfWidth * 0.45, -blade.lumeFrom);
    inlay.lineTo(-widest, -widestAt);
    inlay.lineTo(0, -blade.lumeTo);
    inlay.lineTo(widest, -widestAt);
    inlay.lineTo(blade.rootHalfWidth * 0.45, -blade.lumeFrom);
    inlay.closeSubpath();
    return inlay;
}

// A faint halo all round, since the hand turns and a directional shadow would swing with it.
void drawSoftHalo(QPainter& painter, const QPainterPath& outline) {
    painter.setBrush(Qt::NoBrush);
    for (const auto& [width, alpha] : {std::pair{6.0, 16}, std::pair{3.5, 28}, std::pair{1.8, 44}}) {
        painter.setPen(
            QPen(withAlpha(palette::shadow, alpha), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(outline);
    }
}

void drawPolishedHub(QPainter& painter, double radius) {
    QRadialGradient hub(QPointF(-radius * 0.35, -radius * 0.35), radius * 1.4);
    hub.setColorAt(0.0, palette::steelHighlight);
    hub.setColorAt(0.6, palette::steelMid);
    hub.setColorAt(1.0, palette::steelDark);
    painter.setPen(QPen(withAlpha(palette::shadow, 160), 1.4));
    painter.setBrush(hub);
    painter.drawEllipse(QPointF(), radius, radius);
}

QImage drawMetalHand(const Blade& blade) {
    QImage image = transparentCanvas(canvasSize);
    QPainter painter(&image);
    beginCentred(painter, image);
    const QPainterPath outline = handOutline(blade);
    drawSoftHalo(painter, outline);

    // Two facets along the ridge: one catches the light, the other stays in shade.
    QLinearGradient lit(0, -blade.length, 0, blade.tailLength);
    lit.setColorAt(0.0, palette::steelLight);
    lit.setColorAt(0.5, palette::steelHighlight);
    lit.setColorAt(1.0, palette::steelLight);
    QLinearGradient shaded(0, -blade.length, 0, blade.tailLength);
    shaded.setColorAt(0.0, palette::steelDark);
    shaded.setColorAt(0.5, palette::steelMid);
    shaded.setColorAt(1.0, palette::steelDark);
    painter.save();
    painter.setClipPath(outline);
    painter.fillRect(QRectF(-100, -500, 100, 1000), lit);
    painter.fillRect(QRectF(0, -500, 100, 1000), shaded);
    painter.restore();

    const QPainterPath inlay = lumeInlay(blade);
    QLinearGradient glow(0, -blade.lumeTo, 0, -blade.lumeFrom);
    glow.setColorAt(0.0, palette::lume);
    glow.setColorAt(1.0, palette::lumeShade);
    painter.fillPath(inlay, glow);
    painter.setPen(QPen(palette::steelDark, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(inlay);
    painter.setPen(QPen(withAlpha(palette::shadow, 190), 1.2));
    painter.drawPath(outline);

    drawPolishedHub(painter, blade.hubRadius * 0.55);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::steelShadow);
    painter.drawEllipse(QPointF(), blade.hubRadius * 0.18, blade.hubRadius * 0.18);
    return image;
}

// Hour hand to the inner end of the indices, minute hand to the middle of the minute track.
QImage drawHour() {
    constexpr double length = reaching(face::indexInnerRadius);
    return drawMetalHand({length, 12, 19, length * 0.58, 62, 7.5, 25, 52, length - 30});
}
QImage drawMinute() {
    constexpr double length = reaching((face::trackInnerRadius + face::trackOuterRadius) / 2);
    return drawMetalHand({length, 9, 14, length * 0.6, 74, 6, 22, 52, length - 36});
}

QImage drawSecond() {
    QImage image = transparentCanvas(canvasSize);
    QPainter painter(&image);
    beginCentred(painter, image);
    // To the minute track's outer edge, balanced by a lollipop over the opening's rim.
    constexpr double length = reaching(face::trackOuterRadius);
    constexpr double counterweightAt = 100;
    constexpr double counterweightRadius = 19;
    QPainterPath needle;
    needle.moveTo(-3.8, 0);
    needle.lineTo(-1.2, -length);
    needle.lineTo(1.2, -length);
    needle.lineTo(3.8, 0);
    needle.closeSubpath();
    QPainterPath tail;
    tail.addRect(QRectF(-4, 0, 8, counterweightAt));
    const QPainterPath outline = needle.united(tail)
                                     .united(disc({0, counterweightAt}, counterweightRadius))
                                     .united(disc({}, 13))
                                     .simplified();
    drawSoftHalo(painter, outline);

    QLinearGradient lacquer(-counterweightRadius, 0, counterweightRadius, 0);
    lacquer.setColorAt(0.0, palette::accentLight);
    lacquer.setColorAt(0.5, palette::accent);
    lacquer.setColorAt(1.0, palette::accentDark);
    painter.fillPath(outline, lacquer);
    painter.setPen(QPen(palette::accentDark, 0.9));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);

    // The counterweight is a ring with a lume dot, so it reads as a lollipop at a glance.
    painter.setPen(QPen(withAlpha(palette::accentDark, 200), 1.4));
    painter.setBrush(palette::lume);
    painter.drawEllipse(QPointF(0, counterweightAt), 9, 9);
    drawPolishedHub(painter, 7);
    return image;
}

QImage drawTargetIndicator() {
    QImage image = transparentCanvas(canvasSize);
    QPainter painter(&image);
    beginCentred(painter, image);
    // Stands on the minute track and points at the target minute, as a timing bezel's pip would.
    constexpr double baseRadius = reaching(face::trackOuterRadius);
    constexpr double tipRadius = reaching(face::trackInnerRadius - 18);
    constexpr double halfWidth = 19;
    QPainterPath marker;
    marker.moveTo(-halfWidth, -baseRadius);
    marker.lineTo(halfWidth, -baseRadius);
    marker.lineTo(0, -tipRadius);
    marker.closeSubpath();
    QLinearGradient lacquer(-halfWidth, 0, halfWidth, 0);
    lacquer.setColorAt(0.0, palette::accentLight);
    lacquer.setColorAt(1.0, palette::accentDark);
    painter.setPen(QPen(withAlpha(palette::shadow, 120), 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(marker);
    painter.setPen(QPen(QColor(255, 244, 230), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(lacquer);
    painter.drawPath(marker);
    return image;
}

} // namespace hands

// ---------------------------------------------------------------------------------------------------
// Rotating bezel and crystal.
namespace crystal {

constexpr QSize canvasSize{2000, 2000};
// The glass sits inside the bezel; the reflections were laid out on a 704-pixel glass.
constexpr double glassRadius = face::bezelInnerRadius;
constexpr double glassScale = glassRadius / 704;

QImage drawBezelRing() {
    constexpr double inner = 930;
    constexpr double outer = 990;
    QImage image = transparentCanvas(canvasSize);
    QPainter painter(&image);
    beginCentred(painter, image);
    painter.fillPath(ring({}, inner, outer), QColor(12, 18, 30, 190));
    shadeRing(painter, {}, inner, outer,
              {{inner, withAlpha(palette::white, 26)},
               {inner + 20, withAlpha(palette::white, 0)},
               {outer, withAlpha(palette::shadow, 60)}});
    for (int minute = 0; minute < 60; ++minute) {
        const double angle = minute * 6.0;
        if (minute % 10 == 0 && minute != 0)
            continue;
        const bool five = minute % 5 == 0;
        painter.setPen(QPen(palette::print, five ? 5 : 2.5, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(polar(five ? 946 : 966, angle), polar(984, angle));
    }
    const QFont font = fontOf("DejaVu Sans", 34, QFont::Bold, 96);
    for (int minutes = 10; minutes <= 50; minutes += 10)
        drawRadialText(painter, QString::number(minutes), font, 960, minutes * 6.0, palette::print);

    QPainterPath pip;
    pip.moveTo(-15, -986);
    pip.lineTo(15, -986);
    pip.lineTo(0, -940);
    pip.closeSubpath();
    painter.setPen(QPen(palette::steelMid, 2));
    painter.setBrush(palette::lume);
    painter.drawPath(pip);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(palette::steelLight, 3));
    painter.drawEllipse(QPointF(), inner + 1.5, inner + 1.5);
    painter.drawEllipse(QPointF(), outer - 1.5, outer - 1.5);
    return image;
}

struct Crescent {
    QPointF lightCentre;
    double lightRadius;
    int peakAlpha;
    QPointF carveCentre;
    double carveRadius;
    double carveSoftness;
};

// Window light on the glass: a soft glow with a second soft disc carved out of it leaves a crescent.
QImage crescentLayer(QSize size, const Crescent& crescent) {
    QImage layer = transparentCanvas(size);
    QPainter painter(&layer);
    beginCentred(painter, layer);
    QRadialGradient light(crescent.lightCentre, crescent.lightRadius);
    light.setColorAt(0.0, withAlpha(palette::white, crescent.peakAlpha));
    light.setColorAt(0.5, withAlpha(palette::white, crescent.peakAlpha * 6 / 10));
    light.setColorAt(1.0, withAlpha(palette::white, 0));
    painter.fillPath(disc({}, glassRadius), light);

    painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    QRadialGradient carve(crescent.carveCentre, crescent.carveRadius);
    carve.setColorAt(0.0, palette::shadow);
    carve.setColorAt(1.0 - crescent.carveSoftness, palette::shadow);
    carve.setColorAt(1.0, withAlpha(palette::shadow, 0));
    painter.fillPath(disc(crescent.carveCentre, crescent.carveRadius), carve);

    // Fade out before the rim so no hard circle shows.
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    QRadialGradient rim(QPointF(), glassRadius);
    rim.setColorAt(0.0, palette::shadow);
    rim.setColorAt(0.88, palette::shadow);
    rim.setColorAt(1.0, withAlpha(palette::shadow, 0));
    painter.fillRect(QRectF(QPointF(-size.width() / 2.0, -size.height() / 2.0), QSizeF(size)), rim);
    return layer;
}

QImage drawGlassReflection() {
    QImage image = transparentCanvas(canvasSize);
    QPainter painter(&image);
    beginCentred(painter, image);
    // Darker on the side away from the light.
    QRadialGradient vignette(QPointF(-40, -40) * glassScale, 745 * glassScale);
    vignette.setColorAt(0.0, withAlpha(palette::shadow, 0));
    vignette.setColorAt(0.8, withAlpha(palette::shadow, 0));
    vignette.setColorAt(0.95, withAlpha(palette::shadow, 40));
    vignette.setColorAt(1.0, withAlpha(palette::shadow, 26));
    painter.fillPath(disc({}, glassRadius), vignette);

    const QPointF topLeft(-canvasSize.width() / 2.0, -canvasSize.height() / 2.0);
    constexpr double k = glassScale;
    painter.drawImage(topLeft, crescentLayer(canvasSize, {QPointF(-320, -350) * k, 760 * k, 78,
                                                          QPointF(90, 110) * k, 660 * k, 0.3}));
    // A faint counter-glint on the lower right, as from a second window.
    painter.drawImage(topLeft, crescentLayer(canvasSize, {QPointF(380, 420) * k, 480 * k, 40,
                                                          QPointF(-50, -60) * k, 650 * k, 0.12}));
    return image;
}

} // namespace crystal

// ---------------------------------------------------------------------------------------------------
// Movement parts, each filling about 95% of its canvas.
namespace movement {

// Darker than the movement plate, so the carriage floor reads as a separate, deeper part.
namespace anthracite {
constexpr QColor dark{30, 32, 37};
constexpr QColor light{92, 97, 108};
} // namespace anthracite

QConicalGradient steelFinish(QPointF centre) {
    return polishedSweep(centre, palette::steelMid, palette::steelHighlight, 3, 30);
}

QConicalGradient goldFinish(QPointF centre) {
    return polishedSweep(centre, palette::gold, palette::goldHighlight, 3, 60);
}

void fillMetal(QPainter& painter, const QPainterPath& shape, const QBrush& finish, double edge) {
    painter.fillPath(shape, finish);
    outlineMetal(painter, shape, edge);
}

// Each arm splits into two curved strands like a lyre, leaving open space for the parts behind.
QPainterPath lyreArm(double angle) {
    QPainterPath strands;
    for (const double side : {-1.0, 1.0}) {
        strands.moveTo(polar(362, angle + side * 12));
        strands.cubicTo(polar(290, angle + side * 22), polar(196, angle + side * 28),
                        polar(140, angle + side * 13));
        strands.quadTo(polar(104, angle + side * 3), polar(80, angle));
    }
    QPainterPath bridge;
    bridge.moveTo(polar(196, angle - 24));
    bridge.quadTo(polar(218, angle), polar(196, angle + 24));
    return strokeOf(strands, 24).united(strokeOf(bridge, 14));
}

// A fixed pseudo-random value in [0, 1), so the grain looks irregular yet every run draws the same picture.
double grainNoise(int index) {
    const double x = std::sin(index * 12.9898 + 4.1414) * 43758.5453;
    return x - std::floor(x);
}

// Fine turned rings with a bow-tie sheen, as circular graining catches the light.
void drawCircularGrain(QPainter& painter, double inner, double outer) {
    painter.setBrush(Qt::NoBrush);
    int index = 0;
    for (double radius = inner; radius < outer; radius += 2.4, ++index) {
        const double n = grainNoise(index);
        const QColor tone = n > 0.5 ? withAlpha(palette::white, int(8 + 26 * (n - 0.5)))
                                    : withAlpha(palette::shadow, int(14 + 40 * n));
        painter.setPen(QPen(tone, 1.1 + 0.6 * grainNoise(index + 1000)));
        painter.drawEllipse(QPointF(), radius, radius);
    }
}

// Rows follow the circle rather than a grid, so the pattern stays calm while the cage turns.
void drawRoundPerlage(QPainter& painter, double inner, double outer) {
    constexpr double spot = 19;
    constexpr double rowSpacing = 24;
    constexpr double spotSpacing = 22;
    painter.save();
    painter.setClipPath(ring({}, inner, outer));
    painter.setPen(QPen(withAlpha(palette::shadow, 60), 0.8));
    int row = 0;
    for (double radius = inner + spot * 0.5; radius < outer + spot; radius += rowSpacing, ++row) {
        const int count = int(std::round(2 * std::numbers::pi * radius / spotSpacing));
        for (int i = 0; i < count; ++i) {
            const double angle = 360.0 * (i + 0.5 * (row % 2)) / count;
            const QPointF centre = polar(radius, angle);
            painter.setBrush(
                polishedSweep(centre, anthracite::dark, anthracite::light, 3, angle * 3 + row * 40));
            painter.drawEllipse(centre, spot, spot);
        }
    }
    painter.restore();
}

// The carriage carries its own opaque floor, so a skin's opening over it never shows the key colour.
void drawCageFloor(QPainter& painter) {
    constexpr double floorRadius = 346;
    constexpr double grainRadius = 240;
    painter.fillPath(disc({}, floorRadius), anthracite::dark);
    painter.fillPath(disc({}, grainRadius),
                     polishedSweep({}, anthracite::dark, anthracite::light, 2, 35, 0.03));
    drawCircularGrain(painter, 6, grainRadius);
    drawRoundPerlage(painter, grainRadius, floorRadius);

    // A blued ring between balance and frame gives the dark floor a point of colour.
    const QPainterPath blued = ring({}, 200, 210);
    fillMetal(painter, blued, polishedSweep({}, palette::blueSteelDark, palette::blueSteelLight, 3, 10), 1.2);

    // The floor lies deep under the cage, so it darkens towards its edge.
    shadeRing(painter, {}, 0, floorRadius,
              {{0, withAlpha(palette::shadow, 0)},
               {floorRadius * 0.55, withAlpha(palette::shadow, 10)},
               {floorRadius, withAlpha(palette::shadow, 140)}});
}

// A soft dark halo under a part lifts it off the floor without fixing a light direction, as the cage turns.
void dropContactShadow(QPainter& painter, const QPainterPath& shape) {
    painter.setBrush(Qt::NoBrush);
    for (const auto& [width, alpha] : {std::pair{14.0, 30}, std::pair{8.0, 45}, std::pair{4.0, 60}}) {
        painter.setPen(
            QPen(withAlpha(palette::shadow, alpha), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(shape);
    }
}

QImage drawTourbillon() {
    QImage image = transparentCanvas({800, 800});
    QPainter painter(&image);
    beginCentred(painter, image);
    constexpr double armAngles[] = {0, 120, 240};

    drawCageFloor(painter);

    // The lower carriage frame sits deeper, so it is darker.
    const QPainterPath lowerFrame = ring({}, 228, 250);
    dropContactShadow(painter, lowerFrame);
    fillMetal(painter, lowerFrame, polishedSweep({}, palette::steelDark, palette::steelLight, 4, 75), 2);
    for (const double angle : armAngles)
        for (const double side : {-1.0, 1.0})
            drawBlueScrew(painter, polar(239, angle + 60 + side * 22), 10, angle + side * 40);

    QPainterPath cage = ring({}, 342, 380).united(disc({}, 88));
    for (const double angle : armAngles)
        cage = cage.united(lyreArm(angle));
    cage = cage.subtracted(disc({}, 40));
    dropContactShadow(painter, cage);
    fillMetal(painter, cage, steelFinish({}), 2.2);
    shadeRing(painter, {}, 342, 380,
              {{342, withAlpha(palette::shadow, 90)},
               {352, withAlpha(palette::white, 60)},
               {370, withAlpha(palette::white, 0)},
               {380, withAlpha(palette::shadow, 110)}});
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(withAlpha(palette::steelShadow, 200), 1.5));
    painter.drawEllipse(QPointF(), 361, 361);

    for (const double angle : armAngles) {
        for (const double side : {-1.0, 1.0})
            drawBlueScrew(painter, polar(362, angle + side * 12), 11, angle * 0.5 + side * 25);
        drawJewel(painter, polar(361, angle + 60), 10);
        drawBlueScrew(painter, polar(64, angle + 60), 10, angle + 15);
    }
    drawJewel(painter, {}, 20);
    return image;
}

QPainterPath spiral(double innerRadius, double outerRadius, double turns, double startDegrees) {
    QPainterPath path;
    constexpr int stepsPerTurn = 180;
    const int steps = int(turns * stepsPerTurn);
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const QPointF point =
            polar(innerRadius + (outerRadius - innerRadius) * t, startDegrees + t * turns * 360);
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    return path;
}

void drawHairspring(QPainter& painter) {
    const QPainterPath spring = spiral(47, 268, 9.25, 20);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(withAlpha(palette::shadow, 120), 7.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(spring.translated(2.5, 3.5));
    painter.setPen(QPen(palette::blueSteel, 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(spring);
    painter.setPen(QPen(withAlpha(palette::blueSteelLight, 170), 1.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(spring.translated(-0.8, -0.8));
    // The outer end is pinned in a stud.
    const QPointF stud = polar(268, 20 + 9.25 * 360);
    painter.setPen(QPen(palette::steelShadow, 1.5));
    painter.setBrush(palette::steelLight);
    painter.drawRoundedRect(QRectF(stud - QPointF(13, 13), QSizeF(26, 26)), 5, 5);
}

QImage drawBalanceWheel() {
    QImage image = transparentCanvas({1001, 1001});
    QPainter painter(&image);
    beginCentred(painter, image);
    constexpr double rimInner = 405;
    constexpr double rimOuter = 448;
    constexpr int screws = 18;

    QPainterPath crossings;
    for (const double angle : {45.0, 135.0}) {
        QPainterPath spoke;
        spoke.moveTo(polar(rimInner + 10, angle));
        spoke.lineTo(polar(rimInner + 10, angle + 180));
        crossings = crossings.united(strokeOf(spoke, 30, Qt::FlatCap));
    }
    const QPainterPath wheel = ring({}, rimInner, rimOuter)
                                   .united(crossings)
                                   .united(disc({}, 70))
                                   .subtracted(disc({}, 30))
                                   .simplified();
    for (int step = 1; step <= 3; ++step)
        painter.fillPath(wheel.translated(step * 1.6, step * 2.2), withAlpha(palette::shadow, 36));
    fillMetal(painter, wheel, goldFinish({}), 2.2);
    shadeRing(painter, {}, rimInner, rimOuter,
              {{rimInner, withAlpha(palette::shadow, 90)},
               {rimInner + 14, withAlpha(palette::white, 50)},
               {rimOuter - 8, withAlpha(palette::white, 0)},
               {rimOuter, withAlpha(palette::shadow, 90)}});

    for (int i = 0; i < screws; ++i) {
        const double angle = 360.0 * i / screws + 10;
        const QPointF at = polar(rimOuter + 6, angle);
        drawScrew(painter, at, 16, angle, palette::goldHighlight, palette::goldDark);
    }

    drawHairspring(painter);
    QRadialGradient collet(QPointF(-12, -12), 60);
    collet.setColorAt(0.0, palette::steelHighlight);
    collet.setColorAt(1.0, palette::steelDark);
    painter.setPen(QPen(palette::steelShadow, 2));
    painter.setBrush(collet);
    painter.drawEllipse(QPointF(), 44, 44);
    painter.setPen(QPen(palette::steelShadow, 5, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(polar(28, 200), polar(44, 200));
    drawJewel(painter, {}, 14);
    return image;
}

// A club tooth: sloped impulse face on top, hooked locking face in front.
QPainterPath clubTooth(double angle) {
    QPainterPath tooth;
    tooth.moveTo(polar(382, angle - 4.0));
    tooth.quadTo(polar(430, angle - 1.2), polar(454, angle + 0.4));
    tooth.lineTo(polar(477, angle + 7.6));
    tooth.lineTo(polar(471, angle + 8.9));
    tooth.quadTo(polar(436, angle + 2.8), polar(382, angle + 2.6));
    tooth.closeSubpath();
    return tooth;
}

QPainterPath curvedSpoke(double angle) {
    QPainterPath spoke;
    spoke.moveTo(polar(80, angle));
    spoke.cubicTo(polar(180, angle + 4), polar(280, angle + 22), polar(352, angle + 42));
    return strokeOf(spoke, 24);
}

QImage drawEscapeWheel() {
    QImage image = transparentCanvas({1000, 1000});
    QPainter painter(&image);
    beginCentred(painter, image);
    constexpr int teeth = 20;
    constexpr int spokes = 5;
    QPainterPath wheel = ring({}, 338, 388).united(disc({}, 100));
    for (int i = 0; i < teeth; ++i)
        wheel = wheel.united(clubTooth(360.0 * i / teeth));
    for (int i = 0; i < spokes; ++i)
        wheel = wheel.united(curvedSpoke(360.0 * i / spokes));
    wheel = wheel.subtracted(disc({}, 26)).simplified();

    for (int step = 1; step <= 3; ++step)
        painter.fillPath(wheel.translated(step * 1.6, step * 2.2), withAlpha(palette::shadow, 36));
    fillMetal(painter, wheel, steelFinish({}), 2.2);
    shadeRing(painter, {}, 338, 388,
              {{338, withAlpha(palette::shadow, 80)},
               {350, withAlpha(palette::white, 40)},
               {380, withAlpha(palette::shadow, 30)}});
    QRadialGradient arbor(QPointF(-8, -8), 60);
    arbor.setColorAt(0.0, palette::steelHighlight);
    arbor.setColorAt(1.0, palette::steelDark);
    painter.setPen(QPen(palette::steelShadow, 2));
    painter.setBrush(arbor);
    painter.drawEllipse(QPointF(), 54, 54);
    drawJewel(painter, {}, 15);
    return image;
}

// The gear wheel is the one part a new skin keeps behind the dial, so its picture carries a solid plate
// under the whole opening. In pixels of the 200-pixel picture, 5.8 face pixels each: the opening shows a
// disc of radius 14 round a point 10 below the wheel's centre, so only the collar and the roots of the
// spokes pass through it.
namespace gear {
constexpr double side = 200;
constexpr double solidRadius = 97;
constexpr double rimInner = 66;
constexpr double rimOuter = 76;
constexpr double tipRadius = 85;
constexpr double collarRadius = 10;
} // namespace gear

QPainterPath gearTooth(double angle) {
    constexpr double root = gear::rimOuter - 1;
    QPainterPath tooth;
    tooth.moveTo(polar(root, angle - 3.6));
    tooth.lineTo(polar(gear::tipRadius - 1.8, angle - 1.8));
    tooth.quadTo(polar(gear::tipRadius, angle), polar(gear::tipRadius - 1.8, angle + 1.8));
    tooth.lineTo(polar(root, angle + 3.6));
    tooth.closeSubpath();
    return tooth;
}

// Swept spokes, thick at the collar, so their turning reads through the opening.
QPainterPath gearSpoke(double angle) {
    QPainterPath spoke;
    spoke.moveTo(polar(gear::collarRadius - 2, angle));
    spoke.cubicTo(polar(28, angle + 4), polar(48, angle + 16), polar(gear::rimInner + 2, angle + 30));
    return strokeOf(spoke, 3.4);
}

// Turned in rings only, so the plate looks still while the wheel turns over it.
void drawGearPlate(QPainter& painter) {
    constexpr double outer = gear::solidRadius;
    QRadialGradient turned(QPointF(), outer);
    constexpr int rings = 40;
    for (int i = 0; i <= rings; ++i) {
        const QColor tone = i % 2 == 0 ? palette::plateLight.lighter(150) : palette::plateLight.lighter(115);
        turned.setColorAt(double(i) / rings, tone);
    }
    painter.fillPath(disc({}, outer), turned);
    // Sunk below the wheel: darker under the collar and where the rim overhangs it.
    shadeRing(painter, {}, 0, outer,
              {{0, withAlpha(palette::shadow, 120)},
               {gear::collarRadius + 5, withAlpha(palette::shadow, 10)},
               {gear::rimInner - 10, withAlpha(palette::shadow, 20)},
               {gear::rimInner, withAlpha(palette::shadow, 120)},
               {outer, withAlpha(palette::shadow, 170)}});
}

QImage drawGearWheel() {
    QImage image = transparentCanvas({int(gear::side), int(gear::side)});
    QPainter painter(&image);
    beginCentred(painter, image);
    constexpr int teeth = 40;
    constexpr int spokes = 6;
    drawGearPlate(painter);

    QPainterPath wheel = ring({}, gear::rimInner, gear::rimOuter).united(disc({}, gear::collarRadius));
    for (int i = 0; i < teeth; ++i)
        wheel = wheel.united(gearTooth(360.0 * i / teeth));
    for (int i = 0; i < spokes; ++i)
        wheel = wheel.united(gearSpoke(360.0 * i / spokes));
    wheel = wheel.simplified();
    painter.setBrush(Qt::NoBrush);
    for (const auto& [width, alpha] : {std::pair{3.2, 50}, std::pair{1.6, 80}}) {
        painter.setPen(
            QPen(withAlpha(palette::shadow, alpha), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(wheel.translated(0.6, 0.8));
    }
    fillMetal(painter, wheel, goldFinish({}), 0.5);
    shadeRing(painter, {}, gear::rimInner, gear::rimOuter,
              {{gear::rimInner, withAlpha(palette::shadow, 90)},
               {gear::rimInner + 2.5, withAlpha(palette::white, 60)},
               {gear::rimOuter - 2.5, withAlpha(palette::white, 0)},
               {gear::rimOuter, withAlpha(palette::shadow, 60)}});

    // Polished steel collar with three blued screws round a jewelled arbor.
    QRadialGradient collar(QPointF(-3, -3), gear::collarRadius * 1.5);
    collar.setColorAt(0.0, palette::steelHighlight);
    collar.setColorAt(0.6, palette::steelMid);
    collar.setColorAt(1.0, palette::steelDark);
    painter.setPen(QPen(withAlpha(palette::shadow, 200), 0.7));
    painter.setBrush(collar);
    painter.drawEllipse(QPointF(), gear::collarRadius - 1.5, gear::collarRadius - 1.5);
    for (int i = 0; i < 3; ++i)
        drawBlueScrew(painter, polar(6.2, 60.0 + 120.0 * i), 1.7, 40.0 + 120.0 * i);
    drawJewel(painter, {}, 2.4);
    return image;
}

} // namespace movement

// ---------------------------------------------------------------------------------------------------
// Editing aids: placement crosshair and drag frames.
namespace editing {

constexpr QColor signalRed{226, 38, 38};
constexpr QColor frameAmber{255, 188, 36};

// Red core between white rails, on a faint dark edge: readable on any dial.
void drawDoubleLine(QPainter& painter, const std::function<void(QPainter&)>& shape) {
    for (const auto& [colour, width] :
         {std::pair{withAlpha(palette::shadow, 110), 7.0}, std::pair{withAlpha(palette::white, 235), 4.5},
          std::pair{signalRed, 2.0}}) {
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
        painter.setBrush(Qt::NoBrush);
        shape(painter);
    }
}

QImage drawCrosshair() {
    QImage image = transparentCanvas({700, 700});
    QPainter painter(&image);
    beginCentred(painter, image);
    drawDoubleLine(painter, [](QPainter& p) {
        p.drawLine(QPointF(-350, 0), QPointF(350, 0));
        p.drawLine(QPointF(0, -350), QPointF(0, 350));
        p.drawEllipse(QPointF(), 300, 300);
        p.drawEllipse(QPointF(), 60, 60);
        for (int i = 0; i < 36; ++i) {
            const double length = i % 3 == 0 ? 26 : 13;
            p.drawLine(polar(300, i * 10.0), polar(300 - length, i * 10.0));
        }
        for (double along = 100; along < 350; along += 50) {
            const double half = int(along) % 100 == 0 ? 12 : 7;
            for (const double sign : {-1.0, 1.0}) {
                p.drawLine(QPointF(sign * along, -half), QPointF(sign * along, half));
                p.drawLine(QPointF(-half, sign * along), QPointF(half, sign * along));
            }
        }
    });
    return image;
}

QImage drawMoverFrame(QSize size) {
    QImage image = transparentCanvas(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF edge = QRectF(QPointF(), size).adjusted(6, 6, -6, -6);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(withAlpha(palette::shadow, 170), 5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(edge);
    QPen dashes(frameAmber, 3, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    dashes.setDashPattern({3, 2});
    painter.setPen(dashes);
    painter.drawRect(edge);

    painter.setPen(QPen(withAlpha(palette::shadow, 200), 1.5));
    painter.setBrush(frameAmber);
    constexpr double handle = 11;
    for (const QPointF corner : {edge.topLeft(), edge.topRight(), edge.bottomLeft(), edge.bottomRight()})
        painter.drawRect(QRectF(corner - QPointF(handle / 2, handle / 2), QSizeF(handle, handle)));
    return image;
}

QImage drawDateMoverFrame() {
    return drawMoverFrame({141, 100});
}
QImage drawCutOutMoverFrame() {
    return drawMoverFrame({534, 120});
}

} // namespace editing

// ---------------------------------------------------------------------------------------------------
// Button picture: a cup of coffee, bold and light so it survives being shrunk to a small button.
namespace coffee {

constexpr QColor porcelain{252, 247, 238};
constexpr QColor porcelainShade{206, 196, 182};
constexpr QColor brew{96, 58, 36};
constexpr QColor crema{198, 146, 96};
constexpr QColor warmGlow{255, 214, 160};

void drawGlow(QPainter& painter) {
    QRadialGradient glow(QPointF(), 160);
    glow.setColorAt(0.0, withAlpha(warmGlow, 110));
    glow.setColorAt(0.55, withAlpha(warmGlow, 40));
    glow.setColorAt(1.0, withAlpha(warmGlow, 0));
    painter.save();
    painter.scale(1.9, 1.0);
    painter.fillRect(QRectF(-160, -160, 320, 320), glow);
    painter.restore();
}

void drawSteam(QPainter& painter) {
    QLinearGradient fade(0, -60, 0, -150);
    fade.setColorAt(0.0, withAlpha(palette::white, 230));
    fade.setColorAt(1.0, withAlpha(palette::white, 40));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QBrush(fade), 20, Qt::SolidLine, Qt::RoundCap));
    for (const double x : {-48.0, 0.0, 48.0}) {
        QPainterPath wisp;
        wisp.moveTo(x, -66);
        wisp.cubicTo(x - 26, -92, x + 26, -110, x, -148);
        painter.drawPath(wisp);
    }
}

// Follows the cup's curve so the band reads as wrapping round it.
QPainterPath cupBand() {
    QPainterPath band;
    band.moveTo(-108, -14);
    band.quadTo(0, 2, 108, -14);
    return band;
}

void drawCup(QPainter& painter) {
    QPainterPath saucer;
    saucer.addEllipse(QPointF(0, 104), 178, 26);
    QLinearGradient saucerShade(-178, 0, 178, 0);
    saucerShade.setColorAt(0.0, porcelain);
    saucerShade.setColorAt(1.0, porcelainShade);
    painter.setPen(QPen(porcelainShade.darker(130), 2));
    painter.setBrush(saucerShade);
    painter.drawPath(saucer);

    QPainterPath handle = ring(QPointF(112, 8), 26, 50).subtracted(disc(QPointF(60, 8), 60));
    painter.setBrush(porcelainShade);
    painter.drawPath(handle);

    QPainterPath body;
    body.moveTo(-112, -50);
    body.lineTo(112, -50);
    body.cubicTo(108, 40, 80, 96, 0, 98);
    body.cubicTo(-80, 96, -108, 40, -112, -50);
    body.closeSubpath();
    QLinearGradient bodyShade(-112, 0, 112, 0);
    bodyShade.setColorAt(0.0, porcelain);
    bodyShade.setColorAt(0.45, palette::white);
    bodyShade.setColorAt(1.0, porcelainShade);
    painter.setBrush(bodyShade);
    painter.drawPath(body);

    painter.fillPath(strokeOf(cupBand(), 9, Qt::FlatCap), palette::accent);

    painter.setPen(QPen(porcelainShade, 3));
    painter.setBrush(brew);
    painter.drawEllipse(QPointF(0, -50), 112, 20);
    painter.setPen(Qt::NoPen);
    painter.setBrush(crema);
    painter.drawEllipse(QPointF(-6, -48), 84, 12);
}

QImage drawCoffee() {
    QImage image = transparentCanvas({1200, 319});
    QPainter painter(&image);
    beginCentred(painter, image);
    painter.translate(0, 14);
    drawGlow(painter);
    drawSteam(painter);
    drawCup(painter);
    return image;
}

} // namespace coffee

struct Picture {
    const char* fileName;
    std::function<QImage()> draw;
};

std::vector<Picture> pictures() {
    return {
        {"WatchfaceFull.png", face::drawFull},
        {"WatchfaceReduced.png", face::drawReduced},
        {"WatchfaceFullBG.png", face::drawMovementPlate},
        {"hour.png", hands::drawHour},
        {"min.png", hands::drawMinute},
        {"sek.png", hands::drawSecond},
        {"ind.png", hands::drawTargetIndicator},
        {"bezel.png", crystal::drawBezelRing},
        {"ovl.png", crystal::drawGlassReflection},
        {"Tourbillon.png", movement::drawTourbillon},
        {"BalanceWheel.png", movement::drawBalanceWheel},
        {"escapewheel.png", movement::drawEscapeWheel},
        {"Gearwheel.png", movement::drawGearWheel},
        {"crosshair.png", editing::drawCrosshair},
        {"DateMoverFrame.png", editing::drawDateMoverFrame},
        {"CutOutMoverFrame.png", editing::drawCutOutMoverFrame},
        {"coffee.png", coffee::drawCoffee},
    };
}

// Lays a picture on the dial canvas the way the program shows it: centred, scaled to a side, turned.
void place(QPainter& painter, const QImage& picture, QPointF centre, double side, double degrees) {
    painter.save();
    painter.translate(centre);
    painter.rotate(degrees);
    painter.drawImage(QRectF(-side / 2, -side / 2, side, side), picture);
    painter.restore();
}

// Stacks the movement behind the dial where the default skin's values put it and reports the first place
// inside the case where the key plate would show through. A new skin holds no tourbillon, balance or
// escape wheel picture, so the gear wheel alone must close the opening; the built-in pictures stack all
// four, gear wheel on top.
QString keyHoleIn(const std::map<QString, QImage>& drawn, const QString& dialName) {
    const QImage& dial = drawn.at(dialName);
    const QPointF middle(dial.width() / 2.0, dial.height() / 2.0);
    struct Part {
        const char* fileName;
        QPointF centre;
        double degreesPerStep;
    };
    const Part tourbillon{"Tourbillon.png", stage::mechanicsCentre(), 7};
    const Part balance{"BalanceWheel.png", stage::carriageCentre(), 23};
    const Part escape{"escapewheel.png", stage::carriageCentre(), 3};
    const Part gearWheel{"Gearwheel.png", stage::mechanicsCentre(), 1};
    struct Look {
        const char* name;
        std::vector<Part> parts;
    };
    const Look looks[] = {
        {"a new skin", {gearWheel}},
        {"the built-in mechanics", {tourbillon, balance, escape, gearWheel}},
    };
    // The parts turn; a few steps within one tooth's pitch stand for every angle.
    for (const Look& look : looks) {
        for (const double step : {0.0, 2.5, 5.0, 7.5}) {
            QImage stack = transparentCanvas(dial.size());
            QPainter painter(&stack);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            for (const Part& part : look.parts)
                place(painter, drawn.at(QString::fromLatin1(part.fileName)), middle + part.centre,
                      stage::shownSide, step * part.degreesPerStep);
            painter.drawImage(0, 0, dial);
            painter.end();
            const double inside = face::caseRadius - 3;
            const QRect box =
                QRectF(middle - QPointF(inside, inside), QSizeF(2 * inside, 2 * inside)).toRect();
            for (int y = box.top(); y <= box.bottom(); ++y) {
                for (int x = box.left(); x <= box.right(); ++x) {
                    if (std::hypot(x + 0.5 - middle.x(), y + 0.5 - middle.y()) < inside &&
                        qAlpha(stack.pixel(x, y)) < 250)
                        return QStringLiteral("%1 with %2, step %3: pixel (%4, %5) is see-through")
                            .arg(dialName, QString::fromLatin1(look.name))
                            .arg(step)
                            .arg(x)
                            .arg(y);
                }
            }
        }
    }
    return {};
}

} // namespace

int main(int argc, char* argv[]) {
    // Fonts need a GUI application, but no screen is required.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        qCritical("usage: %s <output-folder>", qPrintable(arguments.value(0)));
        return 2;
    }
    const QDir output(arguments.at(1));
    if (!output.mkpath(QStringLiteral("."))) {
        qCritical("cannot create %s", qPrintable(output.absolutePath()));
        return 1;
    }
    std::map<QString, QImage> drawn;
    for (const Picture& picture : pictures())
        drawn[QString::fromLatin1(picture.fileName)] = picture.draw().convertToFormat(QImage::Format_ARGB32);
    // A hole through the watch would be keyed out on stream, so such pictures are never written.
    for (const char* dial : {"WatchfaceFull.png", "WatchfaceReduced.png"}) {
        if (const QString hole = keyHoleIn(drawn, QString::fromLatin1(dial)); !hole.isEmpty()) {
            qCritical("the key colour shows through the watch: %s", qPrintable(hole));
            return 1;
        }
    }
    constexpr int strongestCompression = 0;
    for (const Picture& picture : pictures()) {
        const QImage& image = drawn.at(QString::fromLatin1(picture.fileName));
        const QString path = output.filePath(QString::fromLatin1(picture.fileName));
        if (!image.save(path, "PNG", strongestCompression)) {
            qCritical("cannot write %s", qPrintable(path));
            return 1;
        }
        qInfo("%s %dx%d", picture.fileName, image.width(), image.height());
    }
    return 0;
}
