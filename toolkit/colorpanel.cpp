#include "toolkit/colorpanel.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr int BarWidth = 14;
constexpr int Gap = 8;
constexpr int CheckerCell = 4;
constexpr int Inset = 3;

int toByte(double fraction) {
    return std::clamp(int(std::lround(fraction * 255)), 0, 255);
}

double fraction(int position, int first, int length) {
    return length > 1 ? std::clamp(double(position - first) / (length - 1), 0.0, 1.0) : 0.0;
}

int along(double fraction, int first, int length) {
    return first + int(std::lround(fraction * std::max(0, length - 1)));
}

void drawFrame(QPainter& painter, const QRect& area, const QPalette& palette) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(palette.color(QPalette::Shadow), 1));
    painter.drawRect(QRectF(area).adjusted(-0.5, -0.5, 0.5, 0.5));
}

// A slim handle across a bar: visible on any colour thanks to its white core and dark rim.
void drawBarHandle(QPainter& painter, const QRect& bar, int y) {
    const QRectF handle(bar.left() - 2.5, y - 2.5, bar.width() + 5, 5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, 200), 3));
    painter.drawRoundedRect(handle, 2, 2);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.drawRoundedRect(handle, 2, 2);
}

void drawChecker(QPainter& painter, const QRect& area) {
    painter.fillRect(area, QColor(0xCC, 0xCC, 0xCC));
    for (int y = area.top(); y <= area.bottom(); y += CheckerCell)
        for (int x = area.left() + ((y - area.top()) / CheckerCell % 2) * CheckerCell; x <= area.right();
             x += 2 * CheckerCell)
            painter.fillRect(QRect(x, y, CheckerCell, CheckerCell).intersected(area),
                             QColor(0x99, 0x99, 0x99));
}

} // namespace

TColorPanel::TColorPanel(QWidget* parent, const QString& name, QRgb color)
    : QWidget(parent), TObject(name), color_(color) {
    setObjectName(name);
    setCursor(Qt::CrossCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    deriveMarkers();
}

void TColorPanel::setColor(QRgb color) {
    if (color == color_)
        return;
    color_ = color;
    deriveMarkers();
    update();
    if (OnChange)
        OnChange(this);
}

void TColorPanel::store(QRgb color) {
    update();
    if (color == color_)
        return;
    color_ = color;
    if (OnChange)
        OnChange(this);
}

// A grey has no hue, and black and white have no saturation either: the markers keep what they
// had, so the bars do not jump when a colour passes through grey.
void TColorPanel::deriveMarkers() {
    double hue = -1, saturation = -1, luminance = 0;
    toHsl(color_, hue, saturation, luminance);
    if (hue >= 0)
        hue_ = hue;
    if (saturation >= 0)
        saturation_ = saturation;
    luminance_ = luminance;
}

QRgb TColorPanel::fromHsl(double hue, double saturation, double luminance, int alpha) {
    const double s = std::clamp(saturation, 0.0, 1.0);
    const double l = std::clamp(luminance, 0.0, 1.0);
    const double h6 = std::clamp(hue, 0.0, 1.0) * 6;
    const double chroma = (1 - std::abs(2 * l - 1)) * s;
    const double x = chroma * (1 - std::abs(std::fmod(h6, 2.0) - 1));
    const double m = l - chroma / 2;
    double r = 0, g = 0, b = 0;
    switch (int(h6) % 6) {
    case 0:
        r = chroma;
        g = x;
        break;
    case 1:
        r = x;
        g = chroma;
        break;
    case 2:
        g = chroma;
        b = x;
        break;
    case 3:
        g = x;
        b = chroma;
        break;
    case 4:
        r = x;
        b = chroma;
        break;
    default:
        r = chroma;
        b = x;
        break;
    }
    return qRgba(toByte(r + m), toByte(g + m), toByte(b + m), std::clamp(alpha, 0, 255));
}

// Hue comes out -1 for a grey, saturation -1 for black and white, where they are undefined.
void TColorPanel::toHsl(QRgb color, double& hue, double& saturation, double& luminance) {
    const double r = qRed(color) / 255.0, g = qGreen(color) / 255.0, b = qBlue(color) / 255.0;
    const double high = std::max({r, g, b});
    const double low = std::min({r, g, b});
    const double delta = high - low;
    luminance = (high + low) / 2;
    if (delta == 0) {
        hue = -1;
        saturation = high == 0 || low == 1 ? -1 : 0;
        return;
    }
    saturation = delta / (1 - std::abs(2 * luminance - 1));
    double h = 0;
    if (high == r)
        h = std::fmod((g - b) / delta + 6, 6.0);
    else if (high == g)
        h = (b - r) / delta + 2;
    else
        h = (r - g) / delta + 4;
    hue = h / 6;
}

// A margin above and below leaves room for the bar handles at either end.
QRect TColorPanel::alphaArea() const {
    return {width() - 3 - BarWidth, Inset, BarWidth, std::max(0, height() - 2 * Inset)};
}

QRect TColorPanel::hueArea() const {
    return alphaArea().translated(-(BarWidth + Gap), 0);
}

QRect TColorPanel::squareArea() const {
    return {1, Inset, std::max(0, hueArea().left() - Gap - 1), std::max(0, height() - 2 * Inset)};
}

TColorPanel::Part TColorPanel::partAt(QPoint point) const {
    // A little slack around each area, so a press on the frame still catches it.
    const auto near = [point](const QRect& area) { return area.adjusted(-3, -3, 3, 3).contains(point); };
    if (near(squareArea()))
        return Part::Square;
    if (near(hueArea()))
        return Part::Hue;
    if (near(alphaArea()))
        return Part::Alpha;
    return Part::None;
}

void TColorPanel::dragTo(QPoint point) {
    const int alpha = qAlpha(color_);
    switch (dragging_) {
    case Part::Square: {
        const QRect area = squareArea();
        saturation_ = fraction(point.x(), area.left(), area.width());
        luminance_ = 1 - fraction(point.y(), area.top(), area.height());
        store(fromHsl(hue_, saturation_, luminance_, alpha));
        break;
    }
    case Part::Hue: {
        const QRect area = hueArea();
        hue_ = fraction(point.y(), area.top(), area.height());
        store(fromHsl(hue_, saturation_, luminance_, alpha));
        break;
    }
    case Part::Alpha: {
        const QRect area = alphaArea();
        const int newAlpha = toByte(1 - fraction(point.y(), area.top(), area.height()));
        store((QRgb(newAlpha) << 24) | (color_ & 0x00FFFFFFu));
        break;
    }
    case Part::None:
        break;
    }
}

void TColorPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = partAt(event->position().toPoint());
    dragTo(event->position().toPoint());
}

void TColorPanel::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ != Part::None && (event->buttons() & Qt::LeftButton))
        dragTo(event->position().toPoint());
}

void TColorPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        dragging_ = Part::None;
}

const QImage& TColorPanel::squarePicture(QSize size, qreal ratio) {
    const QSize pixels = (QSizeF(size) * ratio).toSize();
    if (square_.size() == pixels && squareHue_ == hue_ && square_.devicePixelRatio() == ratio)
        return square_;
    square_ = QImage(pixels, QImage::Format_RGB32);
    square_.setDevicePixelRatio(ratio);
    squareHue_ = hue_;
    for (int y = 0; y < pixels.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(square_.scanLine(y));
        const double luminance = 1 - fraction(y, 0, pixels.height());
        for (int x = 0; x < pixels.width(); ++x)
            line[x] = fromHsl(hue_, fraction(x, 0, pixels.width()), luminance);
    }
    return square_;
}

void TColorPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!isEnabled())
        painter.setOpacity(0.4);

    const QRect square = squareArea();
    if (!square.isEmpty()) {
        painter.drawImage(square.topLeft(), squarePicture(square.size(), devicePixelRatioF()));
        drawFrame(painter, square, palette());
    }

    const QRect hue = hueArea();
    QLinearGradient hues(hue.topLeft(), hue.bottomLeft());
    for (int step = 0; step <= 6; ++step)
        hues.setColorAt(step / 6.0, QColor::fromRgb(fromHsl(step / 6.0, 1, 0.5)));
    painter.fillRect(hue, hues);
    drawFrame(painter, hue, palette());

    const QRect alpha = alphaArea();
    drawChecker(painter, alpha);
    QLinearGradient fade(alpha.topLeft(), alpha.bottomLeft());
    fade.setColorAt(0, QColor::fromRgba(color_ | 0xFF000000u));
    fade.setColorAt(1, QColor::fromRgba(color_ & 0x00FFFFFFu));
    painter.fillRect(alpha, fade);
    drawFrame(painter, alpha, palette());

    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF spot(along(saturation_, square.left(), square.width()) + 0.5,
                       along(1 - luminance_, square.top(), square.height()) + 0.5);
    painter.setClipRect(square.adjusted(-6, -6, 6, 6));
    painter.setBrush(QColor::fromRgb(color_ | 0xFF000000u));
    painter.setPen(QPen(QColor(0, 0, 0, 200), 3));
    painter.drawEllipse(spot, 5.5, 5.5);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.drawEllipse(spot, 5.5, 5.5);
    painter.setClipping(false);

    drawBarHandle(painter, hue, along(hue_, hue.top(), hue.height()));
    drawBarHandle(painter, alpha, along(1 - qAlpha(color_) / 255.0, alpha.top(), alpha.height()));
}
