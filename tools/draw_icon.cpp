// Draws the program's icon: a wristwatch on the lime chroma-key plate, with the countdown arc on
// its dial. One list of shapes is written both as SVG and, through QPainter, as the PNG sizes and
// the Windows .ico, so every format shows the same picture. Usage: horavis_draw_icon <folder>

#include <QBrush>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>
#include <QTransform>

#include <cstdio>
#include <vector>

namespace {

// Everything is laid out on a 256-unit square.
constexpr double Canvas = 256;
constexpr QPointF Centre{128, 128};
const std::vector<int> PngSizes = {16, 24, 32, 48, 64, 128, 256, 512};
const std::vector<int> IcoSizes = {16, 24, 32, 48, 64, 128, 256};
// Fine lines blur into the dial at small sizes, so those get a plainer drawing with bolder parts.
enum class Detail { Small, Medium, Full };

Detail detailFor(int pixels) {
    return pixels < 32 ? Detail::Small : pixels < 64 ? Detail::Medium : Detail::Full;
}

struct Shape {
    QPainterPath path;
    QBrush fill = Qt::NoBrush;
    QPen stroke = Qt::NoPen;
};
using Icon = std::vector<Shape>;

QPainterPath circle(double radius, QPointF centre = Centre) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath roundedSquare(double inset, double radius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(inset, inset, Canvas - 2 * inset, Canvas - 2 * inset), radius, radius);
    return path;
}

// A shape drawn pointing up from the centre, turned clockwise to `degrees` on the dial.
QPainterPath turned(const QPainterPath& upright, double degrees) {
    QTransform turn;
    turn.translate(Centre.x(), Centre.y());
    turn.rotate(degrees);
    turn.translate(-Centre.x(), -Centre.y());
    return turn.map(upright);
}

// A hand that narrows from `base` at the centre to `tip` wide at `length`, with a short tail.
QPainterPath hand(double length, double base, double tip, double tail) {
    QPainterPath path;
    path.moveTo(Centre.x() - base / 2, Centre.y() + tail);
    path.lineTo(Centre.x() - tip / 2, Centre.y() - length);
    path.lineTo(Centre.x(), Centre.y() - length - tip);
    path.lineTo(Centre.x() + tip / 2, Centre.y() - length);
    path.lineTo(Centre.x() + base / 2, Centre.y() + tail);
    path.closeSubpath();
    return path;
}

// Arc along the dial, clockwise from `fromDegrees` to `toDegrees` counted from 12 o'clock.
QPainterPath dialArc(double radius, double fromDegrees, double toDegrees) {
    const QRectF box(Centre.x() - radius, Centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path;
    path.arcMoveTo(box, 90 - fromDegrees);
    path.arcTo(box, 90 - fromDegrees, fromDegrees - toDegrees);
    return path;
}

QLinearGradient linear(QPointF from, QPointF to, const QGradientStops& stops) {
    QLinearGradient gradient(from, to);
    gradient.setStops(stops);
    return gradient;
}

QRadialGradient radial(QPointF centre, double radius, const QGradientStops& stops) {
    QRadialGradient gradient(centre, radius);
    gradient.setStops(stops);
    return gradient;
}

QPen line(const QColor& colour, double width, Qt::PenCapStyle cap = Qt::FlatCap) {
    QPen pen(colour, width);
    pen.setCapStyle(cap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

const QColor Steel{0xC9, 0xCE, 0xD4};
const QColor HandWhite{0xF4, 0xF6, 0xF9};
const QColor CountdownRed{0xE5, 0x39, 0x35};

Icon drawIcon(Detail detail) {
    const bool plain = detail == Detail::Small;
    const bool full = detail == Detail::Full;
    Icon icon;
    const double plateInset = plain ? 8 : 16;
    // The plate: the lime the program keys out, a little softened so the icon does not glare.
    icon.push_back({roundedSquare(plateInset, plain ? 44 : 40),
                    linear({0, plateInset}, {0, Canvas - plateInset},
                           {{0, QColor(0x7C, 0xF5, 0x4E)}, {1, QColor(0x1F, 0xC4, 0x1F)}}),
                    plain ? Qt::NoPen : line(QColor(0x12, 0x8F, 0x1A), 4)});

    // Leather strap from edge to edge of the plate, darker at its borders.
    const double strapHalf = plain ? 52 : 46;
    QPainterPath strap;
    strap.addRect(QRectF(Centre.x() - strapHalf, plateInset, 2 * strapHalf, Canvas - 2 * plateInset));
    icon.push_back({strap, linear({Centre.x() - strapHalf, 0}, {Centre.x() + strapHalf, 0},
                                  {{0, QColor(0x4A, 0x2A, 0x16)},
                                   {0.5, QColor(0x8A, 0x55, 0x2E)},
                                   {1, QColor(0x4A, 0x2A, 0x16)}})});
    if (full) {
        for (const double side : {-1.0, 1.0}) {
            QPainterPath stitches;
            const double x = Centre.x() + side * (strapHalf - 8);
            stitches.moveTo(x, plateInset + 6);
            stitches.lineTo(x, Canvas - plateInset - 6);
            QPen pen = line(QColor(0xD9, 0xB8, 0x8C), 2.5);
            pen.setDashPattern({3, 2.4});
            icon.push_back({stitches, Qt::NoBrush, pen});
        }
    }

    // The crown at 3 o'clock, behind the case; too small to tell from the case at the smallest sizes.
    const double caseRadius = plain ? 104 : 94;
    if (!plain) {
        QPainterPath crown;
        crown.addRoundedRect(QRectF(Centre.x() + caseRadius - 6, Centre.y() - 12, 20, 24), 4, 4);
        icon.push_back({crown, linear({0, Centre.y() - 12}, {0, Centre.y() + 12},
                                      {{0, QColor(0xEE, 0xF1, 0xF4)}, {1, QColor(0x80, 0x87, 0x8F)}})});
    }

    // Polished case, lit from the top left, with a bevel turned the other way inside it.
    icon.push_back(
        {circle(caseRadius),
         linear({60, 40}, {196, 216}, {{0, QColor(0xF6, 0xF8, 0xFA)}, {1, QColor(0x6E, 0x76, 0x80)}})});
    const double dialRadius = plain ? 82 : 78;
    if (!plain)
        icon.push_back({circle(86), linear({60, 40}, {196, 216},
                                           {{0, QColor(0x7A, 0x82, 0x8C)}, {1, QColor(0xF0, 0xF3, 0xF6)}})});

    // Blue dial, brighter where the light falls.
    icon.push_back({circle(dialRadius), radial({108, 98}, dialRadius * 1.35,
                                               {{0, QColor(0x3F, 0x78, 0xD0)},
                                                {0.55, QColor(0x17, 0x3A, 0x82)},
                                                {1, QColor(0x08, 0x16, 0x3A)}})});

    // Hour batons: doubled at 12, longer at the quarters. The plain drawing keeps the quarters only.
    for (int hour = 0; hour < 12; ++hour) {
        const bool quarter = hour % 3 == 0;
        if (plain && !quarter)
            continue;
        const double outer = dialRadius - 6;
        const double length = plain ? 16 : (quarter ? 17 : 12);
        const double width = plain ? 16 : full ? (quarter ? 7 : 5) : (quarter ? 9 : 7);
        QPainterPath baton;
        if (hour == 0 && full) {
            baton.addRect(QRectF(Centre.x() - width - 1.5, Centre.y() - outer, width, length));
            baton.addRect(QRectF(Centre.x() + 1.5, Centre.y() - outer, width, length));
        } else {
            baton.addRect(QRectF(Centre.x() - width / 2, Centre.y() - outer, width, length));
        }
        icon.push_back({turned(baton, hour * 30), HandWhite});
    }

    // The countdown: an arc from the minute hand to the target minute, as the running program shows.
    icon.push_back({dialArc(plain ? 60 : 54, 62, 138), Qt::NoBrush,
                    line(CountdownRed, plain  ? 20
                                       : full ? 8
                                              : 12)});

    // Hands at ten past ten. Shadows first, thrown down and to the right.
    const QPainterPath hourHand = turned(plain  ? hand(44, 26, 18, 8)
                                         : full ? hand(38, 11, 4, 8)
                                                : hand(40, 16, 7, 8),
                                         -56);
    const QPainterPath minuteHand = turned(plain  ? hand(64, 22, 14, 10)
                                           : full ? hand(62, 9, 3, 10)
                                                  : hand(62, 13, 5, 10),
                                           61);
    if (!plain) {
        const QTransform shadowOffset = QTransform::fromTranslate(3, 4);
        for (const QPainterPath& shape : {hourHand, minuteHand})
            icon.push_back({shadowOffset.map(shape), QColor(0, 0, 0, 90)});
    }
    const QBrush handFill =
        plain ? QBrush(HandWhite) : QBrush(linear({70, 50}, {190, 200}, {{0, HandWhite}, {1, Steel}}));
    icon.push_back({hourHand, handFill});
    icon.push_back({minuteHand, handFill});
    if (full) {
        // Second hand with its counterweight.
        QPainterPath second;
        second.addRect(QRectF(Centre.x() - 1.3, Centre.y() - 68, 2.6, 88));
        second.addEllipse(QPointF(Centre.x(), Centre.y() + 16), 4.5, 4.5);
        second.setFillRule(Qt::WindingFill);
        icon.push_back({turned(second, 196), CountdownRed});
    }
    icon.push_back({circle(plain ? 12 : full ? 7 : 9), Steel});
    if (full)
        icon.push_back({circle(3), CountdownRed});

    // Glass: a faint light crescent over the upper left of the dial.
    if (!plain) {
        const QPainterPath crescent = circle(dialRadius - 2).subtracted(circle(dialRadius + 8, {150, 150}));
        icon.push_back({crescent, linear({70, 60}, {128, 128},
                                         {{0, QColor(255, 255, 255, 70)}, {1, QColor(255, 255, 255, 0)}})});
    }
    return icon;
}

QImage render(const Icon& icon, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / Canvas, size / Canvas);
    for (const Shape& shape : icon) {
        painter.setPen(shape.stroke);
        painter.setBrush(shape.fill);
        painter.drawPath(shape.path);
    }
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QString number(double value) {
    QString text = QString::number(value, 'f', 2);
    while (text.contains('.') && (text.endsWith('0') || text.endsWith('.')))
        text.chop(1);
    return text == "-0" ? QStringLiteral("0") : text;
}

QString point(QPointF p) {
    return number(p.x()) + ' ' + number(p.y());
}

// SVG keeps the alpha apart: fill and fill-opacity, stop-color and stop-opacity.
QString colourAttributes(const QString& colourName, const QString& opacityName, const QColor& colour) {
    QString text = QStringLiteral(" %1=\"%2\"").arg(colourName, colour.name(QColor::HexRgb));
    if (colour.alpha() != 255)
        text += QStringLiteral(" %1=\"%2\"").arg(opacityName, number(colour.alphaF()));
    return text;
}

QString pathData(const QPainterPath& path) {
    QStringList parts;
    QPointF subpathStart;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        switch (element.type) {
        case QPainterPath::MoveToElement:
            subpathStart = element;
            parts << "M" + point(element);
            break;
        case QPainterPath::LineToElement:
            parts << "L" + point(element);
            break;
        case QPainterPath::CurveToElement:
            parts << "C" + point(element) + ' ' + point(path.elementAt(i + 1)) + ' ' +
                         point(path.elementAt(i + 2));
            i += 2;
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
        const bool endsSubpath = i + 1 == path.elementCount() || path.elementAt(i + 1).isMoveTo();
        if (endsSubpath && element.type != QPainterPath::MoveToElement &&
            QPointF(path.elementAt(i)) == subpathStart)
            parts << "Z";
    }
    return parts.join(' ');
}

QString gradientElement(const QGradient& gradient, const QString& id) {
    QString text;
    if (gradient.type() == QGradient::LinearGradient) {
        const auto& linearGradient = static_cast<const QLinearGradient&>(gradient);
        text = QStringLiteral(
                   "    <linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" x1=\"%2\" y1=\"%3\" "
                   "x2=\"%4\" y2=\"%5\">\n")
                   .arg(id, number(linearGradient.start().x()), number(linearGradient.start().y()),
                        number(linearGradient.finalStop().x()), number(linearGradient.finalStop().y()));
    } else {
        const auto& radialGradient = static_cast<const QRadialGradient&>(gradient);
        text = QStringLiteral(
                   "    <radialGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" cx=\"%2\" cy=\"%3\" "
                   "r=\"%4\">\n")
                   .arg(id, number(radialGradient.center().x()), number(radialGradient.center().y()),
                        number(radialGradient.radius()));
    }
    for (const auto& [offset, colour] : gradient.stops())
        text += QStringLiteral("      <stop offset=\"%1\"%2/>\n")
                    .arg(number(offset), colourAttributes("stop-color", "stop-opacity", colour));
    text +=
        gradient.type() == QGradient::LinearGradient ? "    </linearGradient>\n" : "    </radialGradient>\n";
    return text;
}

QByteArray toSvg(const Icon& icon) {
    QString definitions;
    QString body;
    int gradients = 0;
    for (const Shape& shape : icon) {
        QString attributes;
        if (const QGradient* gradient = shape.fill.gradient()) {
            const QString id = QStringLiteral("g%1").arg(++gradients);
            definitions += gradientElement(*gradient, id);
            attributes += QStringLiteral(" fill=\"url(#%1)\"").arg(id);
        } else if (shape.fill.style() == Qt::SolidPattern) {
            attributes += colourAttributes("fill", "fill-opacity", shape.fill.color());
        } else {
            attributes += QStringLiteral(" fill=\"none\"");
        }
        if (shape.fill.style() != Qt::NoBrush && shape.path.fillRule() == Qt::OddEvenFill)
            attributes += QStringLiteral(" fill-rule=\"evenodd\"");
        if (shape.stroke.style() != Qt::NoPen) {
            const QPen& pen = shape.stroke;
            attributes += colourAttributes("stroke", "stroke-opacity", pen.color());
            attributes += QStringLiteral(" stroke-width=\"%1\"").arg(number(pen.widthF()));
            attributes += pen.capStyle() == Qt::RoundCap    ? " stroke-linecap=\"round\""
                          : pen.capStyle() == Qt::SquareCap ? " stroke-linecap=\"square\""
                                                            : "";
            if (pen.style() == Qt::CustomDashLine) {
                // Qt counts dashes in pen widths, SVG in units.
                QStringList dashes;
                for (const double dash : pen.dashPattern())
                    dashes << number(dash * pen.widthF());
                attributes += QStringLiteral(" stroke-dasharray=\"%1\"").arg(dashes.join(' '));
            }
        }
        body += QStringLiteral("  <path d=\"%1\"%2/>\n").arg(pathData(shape.path), attributes);
    }
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                                  "viewBox=\"0 0 256 256\">\n"
                                  "  <title>Horavis</title>\n");
    if (!definitions.isEmpty())
        text += "  <defs>\n" + definitions + "  </defs>\n";
    return (text + body + "</svg>\n").toUtf8();
}

void putLe16(QByteArray& out, int value) {
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void putLe32(QByteArray& out, quint32 value) {
    putLe16(out, int(value & 0xFFFF));
    putLe16(out, int(value >> 16));
}

// The classic icon entry: a 32-bit bottom-up bitmap with alpha, then a 1-bit mask for old readers.
QByteArray dibEntry(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    const int maskStride = ((size + 31) / 32) * 4;
    QByteArray out;
    putLe32(out, 40);
    putLe32(out, quint32(size));
    putLe32(out, quint32(2 * size)); // colour rows and mask rows together
    putLe16(out, 1);
    putLe16(out, 32);
    putLe32(out, 0);
    putLe32(out, quint32(size * size * 4 + maskStride * size));
    for (int i = 0; i < 4; ++i)
        putLe32(out, 0);
    for (int row = size - 1; row >= 0; --row) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        for (int col = 0; col < size; ++col) {
            out.append(char(qBlue(pixels[col])));
            out.append(char(qGreen(pixels[col])));
            out.append(char(qRed(pixels[col])));
            out.append(char(qAlpha(pixels[col])));
        }
    }
    for (int row = size - 1; row >= 0; --row) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        QByteArray mask(maskStride, '\0');
        for (int col = 0; col < size; ++col)
            if (qAlpha(pixels[col]) == 0)
                mask[col / 8] = char(mask[col / 8] | (0x80 >> (col % 8)));
        out.append(mask);
    }
    return out;
}

// 256 pixels go in as PNG, which Windows reads since Vista; smaller ones as bitmaps, which every
// reader of .ico files knows.
QByteArray toIco(const std::vector<QImage>& images) {
    std::vector<QByteArray> entries;
    for (const QImage& image : images) {
        if (image.width() >= 256) {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            entries.push_back(png);
        } else {
            entries.push_back(dibEntry(image));
        }
    }
    QByteArray out;
    putLe16(out, 0);
    putLe16(out, 1);
    putLe16(out, int(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int size = images[i].width();
        out.append(char(size >= 256 ? 0 : size)); // 0 stands for 256
        out.append(char(size >= 256 ? 0 : size));
        out.append(char(0));
        out.append(char(0));
        putLe16(out, 1);
        putLe16(out, 32);
        putLe32(out, quint32(entries[i].size()));
        putLe32(out, offset);
        offset += quint32(entries[i].size());
    }
    for (const QByteArray& entry : entries)
        out.append(entry);
    return out;
}

bool writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// Reads the .ico back with Qt's own reader, so a broken header or bitmap is found here and not on
// a Windows desktop.
bool icoReadsBack(const QString& path, const std::vector<QImage>& expected) {
    QImageReader reader(path, "ico");
    for (const QImage& image : expected) {
        if (image.width() >= 256)
            continue; // Qt's reader only knows bitmap entries
        QImage read;
        bool found = false;
        for (int i = 0; i < reader.imageCount() && !found; ++i) {
            reader.jumpToImage(i);
            read = reader.read();
            found = read.width() == image.width();
        }
        if (!found || read.convertToFormat(QImage::Format_ARGB32) != image) {
            std::fprintf(stderr, "%s: the %d pixel picture does not read back\n", qPrintable(path),
                         image.width());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: horavis_draw_icon <output folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    const auto picture = [](int size) { return render(drawIcon(detailFor(size)), size); };

    bool written = writeFile(folder.filePath("horavis.svg"), toSvg(drawIcon(Detail::Full)));
    for (const int size : PngSizes)
        written = written && picture(size).save(folder.filePath(QStringLiteral("horavis-%1.png").arg(size)));
    std::vector<QImage> icoImages;
    for (const int size : IcoSizes)
        icoImages.push_back(picture(size));
    const QString ico = folder.filePath("horavis.ico");
    written = written && writeFile(ico, toIco(icoImages)) && icoReadsBack(ico, icoImages);
    return written ? 0 : 1;
}
