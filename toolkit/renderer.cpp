#include "toolkit/renderer.h"

#include "toolkit/effects.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double ShadowSoftnessToPixels = 40.0;
// Frames a turned picture must hold still before it is baked: a wheel that steps every tick
// stands still for a frame or two between steps, and baking it each time costs more than it saves.
constexpr int BakeAfterFrames = 4;
// Gentle, so a blurred countdown text still reads on stream.
constexpr double BlurSoftnessToPixels = 20.0;

bool axisAligned(const QTransform& t) {
    return t.type() <= QTransform::TxScale && t.m11() > 0 && t.m22() > 0;
}

int shadowRadius(const TShadowEffect& shadow, QSizeF scale) {
    return std::max(0, int(std::lround(shadow.Softness() * ShadowSoftnessToPixels *
                                       (scale.width() + scale.height()) / 2)));
}

QPointF shadowOffset(const TShadowEffect& shadow) {
    const double radians = shadow.Direction() * std::numbers::pi / 180.0;
    return {std::cos(radians) * shadow.Distance(), std::sin(radians) * shadow.Distance()};
}

bool shadowOn(const TElement& element) {
    const TShadowEffect* shadow = element.shadow();
    return shadow && shadow->Enabled();
}

bool layered(const TElement& element) {
    const TBlurEffect* blur = element.blur();
    const TInvertEffect* invert = element.invert();
    return (blur && blur->Enabled()) || (invert && invert->Enabled());
}

// Reads `count` contiguous pixels and writes them `outStride` apart.
void boxBlurLine(const QRgb* in, QRgb* out, int count, int outStride, int radius) {
    const int window = 2 * radius + 1;
    int sum[4] = {0, 0, 0, 0};
    auto add = [&](QRgb p, int sign) {
        sum[0] += sign * qAlpha(p);
        sum[1] += sign * qRed(p);
        sum[2] += sign * qGreen(p);
        sum[3] += sign * qBlue(p);
    };
    auto at = [&](int i) { return in[std::clamp(i, 0, count - 1)]; };
    for (int i = -radius; i <= radius; ++i)
        add(i < 0 || i >= count ? 0 : at(i), 1);
    for (int i = 0; i < count; ++i) {
        out[i * outStride] = qRgba(sum[1] / window, sum[2] / window, sum[3] / window, sum[0] / window);
        const int leaving = i - radius;
        const int entering = i + radius + 1;
        add(leaving < 0 ? 0 : at(leaving), -1);
        add(entering >= count ? 0 : at(entering), 1);
    }
}
} // namespace

QPointF shadowShift(const TElement& element, const QTransform& toDevice) {
    if (!shadowOn(element))
        return {};
    return toDevice.map(shadowOffset(*element.shadow())) - toDevice.map(QPointF());
}

double displacement(const QTransform& from, const QTransform& to, const QRectF& box) {
    double largest = 0;
    for (const QPointF& corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
        const QPointF d = to.map(corner) - from.map(corner);
        largest = std::max(largest, std::hypot(d.x(), d.y()));
    }
    return largest;
}

QSizeF deviceScale(const QTransform& t) {
    return {std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22())};
}

void blurImage(QImage& image, int radius) {
    if (radius <= 0 || image.isNull())
        return;
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = image.width();
    const int h = image.height();
    const int passRadius = std::max(1, radius / 2);
    std::vector<QRgb> scratch(size_t(std::max(w, h)));
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            std::copy(row, row + w, scratch.begin());
            boxBlurLine(scratch.data(), row, w, 1, passRadius);
        }
        const int stride = int(image.bytesPerLine() / sizeof(QRgb));
        auto* bits = reinterpret_cast<QRgb*>(image.bits());
        for (int x = 0; x < w; ++x) {
            for (int y = 0; y < h; ++y)
                scratch[size_t(y)] = bits[y * stride + x];
            boxBlurLine(scratch.data(), bits + x, h, stride, passRadius);
        }
    }
}

void TSceneRenderer::render(QPainter& painter, const TScene& scene, const QRegion& clip) {
    if (mode_ == Mode::Naive) {
        rasters_.clear();
        silhouettes_.clear();
        baked_.clear();
        composites_.clear();
        layers_.clear();
        arcStrokes_.clear();
    }
    clip_ = clip;
    clipAll_ = clip.isEmpty();
    painter.save();
    const QTransform base = painter.transform();
    drawElement(painter, scene.root(), base, 1.0);
    painter.restore();
}

bool TSceneRenderer::visibleInClip(const QRect& deviceRect) const {
    return !deviceRect.isEmpty() && (clipAll_ || clip_.intersects(deviceRect));
}

void TSceneRenderer::drawElement(QPainter& painter, const TElement& element, const QTransform& parentToDevice,
                                 double parentOpacity) {
    if (!element.Visible())
        return;
    const QTransform toDevice = element.LocalToParent() * parentToDevice;
    const double opacity = parentOpacity * element.Opacity();
    if (layered(element)) {
        drawLayered(painter, element, parentToDevice, parentOpacity);
        return;
    }
    drawOwnContent(painter, element, toDevice, opacity);
    for (const auto& child : element.Children())
        drawElement(painter, *child, toDevice, opacity);
}

void TSceneRenderer::drawOwnContent(QPainter& painter, const TElement& element, const QTransform& toDevice,
                                    double opacity) {
    if (opacity <= 0)
        return;
    const QRect deviceBox = toDevice.mapRect(paintedLocalRect(element, toDevice)).toAlignedRect();
    if (!visibleInClip(deviceBox))
        return;
    if (auto* rectangle = dynamic_cast<const TRectangle*>(&element)) {
        drawRectangle(painter, *rectangle, toDevice, opacity);
    } else if (auto* arc = dynamic_cast<const TArc*>(&element)) {
        drawArc(painter, *arc, toDevice, opacity);
    } else if (const Raster* raster = rasterFor(element, toDevice)) {
        drawRaster(painter, element, *raster, toDevice, opacity);
    }
}

// Blur and invert act on the element together with its children, so the subtree is painted into a
// screen-space layer first; the layer is kept until something in the subtree changes or moves.
void TSceneRenderer::drawLayered(QPainter& painter, const TElement& element, const QTransform& parentToDevice,
                                 double parentOpacity) {
    const Layer& layer = layerFor(element, parentToDevice);
    if (layer.image.isNull() || !visibleInClip(QRect(layer.topLeft, layer.image.size())))
        return;
    painter.save();
    painter.resetTransform();
    painter.setOpacity(parentOpacity * element.Opacity());
    painter.drawImage(layer.topLeft, layer.image);
    painter.restore();
}

const TSceneRenderer::Layer& TSceneRenderer::layerFor(const TElement& element,
                                                      const QTransform& parentToDevice) {
    const QTransform toDevice = element.LocalToParent() * parentToDevice;
    Layer& cached = layers_[&element];
    const quint64 key = subtreeKey(element, 0);
    if (mode_ == Mode::Cached && cached.valid && cached.subtreeKey == key && cached.transform == toDevice)
        return cached;

    const TBlurEffect* blur = element.blur();
    const int blurRadius =
        blur && blur->Enabled()
            ? int(std::lround(blur->Softness() * BlurSoftnessToPixels * deviceScale(toDevice).width()))
            : 0;
    const QRect box = subtreeBounds(element, parentToDevice);
    cached = Layer{QImage(), box.topLeft(), key, toDevice, true};
    ++layersBuilt_;
    if (box.isEmpty())
        return cached;
    QImage image(box.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter layerPainter(&image);
        layerPainter.setRenderHint(QPainter::Antialiasing);
        layerPainter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QTransform shifted = toDevice * QTransform::fromTranslate(-box.x(), -box.y());
        const QRegion savedClip = clip_;
        const bool savedAll = clipAll_;
        clipAll_ = true;
        drawOwnContent(layerPainter, element, shifted, 1.0);
        for (const auto& child : element.Children())
            drawElement(layerPainter, *child, shifted, 1.0);
        clip_ = savedClip;
        clipAll_ = savedAll;
    }
    blurImage(image, blurRadius);
    if (const TInvertEffect* invert = element.invert(); invert && invert->Enabled()) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        image.invertPixels(QImage::InvertRgb);
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    cached.image = image;
    return cached;
}

QSize TSceneRenderer::rasterSize(const TElement& element) const {
    const auto found = rasters_.find(&element);
    return found == rasters_.end() ? QSize() : found->second.image.size();
}

std::vector<const TElement*> TSceneRenderer::approximatedElements() const {
    std::vector<const TElement*> elements;
    for (const auto& [element, pending] : approximated_)
        if (pending)
            elements.push_back(element);
    return elements;
}

// Everything a subtree draws from: what each element looks like, where it lies and in which order.
quint64 TSceneRenderer::subtreeKey(const TElement& element, quint64 seed) const {
    const QTransform t = element.LocalToParent();
    const TShadowEffect* shadow = element.shadow();
    const auto* arc = dynamic_cast<const TArc*>(&element);
    quint64 key = qHashMulti(seed, element.lookKey(), t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy(),
                             shadow ? shadow->Direction() : 0.0f, arc ? arc->StartAngle() : 0.0f,
                             arc ? arc->EndAngle() : 0.0f, element.Children().size());
    if (element.Visible())
        for (const auto& child : element.Children())
            key = subtreeKey(*child, key);
    return key;
}

void TSceneRenderer::drawRectangle(QPainter& painter, const TRectangle& rectangle, const QTransform& toDevice,
                                   double opacity) {
    painter.save();
    painter.setTransform(toDevice);
    painter.setOpacity(opacity);
    const QRectF box = rectangle.LocalRect();
    painter.fillRect(box, rectangle.FillColor());
    if (rectangle.StrokeThickness() > 0 && rectangle.StrokeColor().alpha() > 0) {
        const double half = rectangle.StrokeThickness() / 2;
        painter.setPen(QPen(rectangle.StrokeColor(), rectangle.StrokeThickness()));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.adjusted(half, half, -half, -half));
    }
    painter.restore();
}

namespace {
QPainterPath arcPath(const TArc& arc) {
    const double half = arc.StrokeThickness() / 2;
    const QRectF ring = arc.LocalRect().adjusted(half, half, -half, -half);
    QPainterPath path;
    // Qt counts angles counter-clockwise; the arc's angles run clockwise.
    path.arcMoveTo(ring, -arc.StartAngle());
    path.arcTo(ring, -arc.StartAngle(), -arc.EndAngle());
    return path;
}

QPen arcPen(const TArc& arc) {
    QPen pen(arc.StrokeColor(), arc.StrokeThickness());
    pen.setCapStyle(arc.RoundCaps() ? Qt::RoundCap : Qt::FlatCap);
    return pen;
}
} // namespace

void TSceneRenderer::drawArc(QPainter& painter, const TArc& arc, const QTransform& toDevice, double opacity) {
    if (arc.StrokeThickness() <= 0 || arc.EndAngle() == 0)
        return;
    painter.save();
    painter.setOpacity(opacity);
    if (mode_ == Mode::Cached) {
        // Stroking costs much more than drawing the stroke's pixels, and the arc changes seldom.
        const ArcStroke& stroke = arcStrokeFor(arc, toDevice);
        painter.resetTransform();
        painter.drawImage(stroke.topLeft, stroke.image);
    } else {
        painter.setTransform(toDevice);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.strokePath(arcPath(arc), arcPen(arc));
    }
    painter.restore();
}

// The arc on the minute hand is turned back against the hand and its start follows the hand, so
// it changes by a hair every tick: a stroke that close to the one kept is drawn from it.
bool TSceneRenderer::ArcStroke::closeTo(const TArc& arc, const QTransform& transform) const {
    if (image.isNull() || thickness != arc.StrokeThickness() || color != arc.StrokeColor().rgba() ||
        roundCaps != arc.RoundCaps() || rect != arc.LocalRect() || (sweep > 0) != (arc.EndAngle() > 0))
        return false;
    const QSizeF scale = deviceScale(transform);
    const double radius =
        (std::max(rect.width(), rect.height()) / 2 + thickness / 2) * std::max(scale.width(), scale.height());
    const auto along = [radius](double degrees) {
        return std::abs(degrees) * std::numbers::pi / 180 * radius;
    };
    const double tolerance = NegligibleShift / 2;
    return along(arc.StartAngle() - start) < tolerance &&
           along(arc.StartAngle() + arc.EndAngle() - start - sweep) < tolerance &&
           displacement(toDevice, transform, rect) < tolerance;
}

const TSceneRenderer::ArcStroke& TSceneRenderer::arcStrokeFor(const TArc& arc, const QTransform& toDevice) {
    ArcStroke& cached = arcStrokes_[&arc];
    if (cached.closeTo(arc, toDevice))
        return cached;
    ++arcStrokesMade_;
    const QRect box = toDevice.mapRect(contentRect(arc)).toAlignedRect().adjusted(-1, -1, 1, 1);
    QImage image(box.size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        // The stroke keeps the fraction of a pixel it has on screen.
        p.setTransform(toDevice * QTransform::fromTranslate(-box.x(), -box.y()));
        p.strokePath(arcPath(arc), arcPen(arc));
    }
    cached = ArcStroke{arc.StartAngle(),
                       arc.EndAngle(),
                       arc.StrokeThickness(),
                       arc.StrokeColor().rgba(),
                       arc.RoundCaps(),
                       arc.LocalRect(),
                       toDevice,
                       std::move(image),
                       box.topLeft()};
    return cached;
}

void TSceneRenderer::drawRaster(QPainter& painter, const TElement& element, const Raster& raster,
                                const QTransform& toDevice, double opacity) {
    painter.save();
    painter.setOpacity(opacity);
    if (axisAligned(toDevice)) {
        if (shadowOn(element))
            drawShadow(painter, element, raster, toDevice, opacity);
        const QRectF target = toDevice.mapRect(raster.localRect);
        painter.resetTransform();
        if (raster.exact)
            painter.drawImage(QPointF(std::round(target.x()), std::round(target.y())), raster.image);
        else
            painter.drawImage(target, raster.image);
        painter.restore();
        return;
    }

    // A rotated picture that holds still (the light layer) is baked into screen space once.
    const TShadowEffect* shadow = element.shadow();
    const qint64 contentKey = qint64(
        qHashMulti(0, raster.key, raster.deviceSize.width(), raster.deviceSize.height(), raster.localRect.x(),
                   raster.localRect.y(), raster.localRect.width(), raster.localRect.height(),
                   shadowOn(element), shadow ? shadow->Opacity() : 0.0, shadow ? shadow->Softness() : 0.0,
                   shadow ? shadow->ShadowColor().rgba() : 0u, opacity));
    Baked& baked = baked_[&element];
    const QRectF painted = paintedLocalRect(element, toDevice);
    // A picture that turns a little now and then (the hour hand every tick) is drawn from its bake
    // until it has moved by a fraction of a pixel; closer than that nobody sees the difference.
    // The hands' shadows are turned against their hands every tick so they keep falling one way:
    // what counts is where the shadow lands.
    const QPointF shadowLands = shadowShift(element, toDevice);
    const QPointF shadowMoved = shadowLands - baked.shadowShift;
    const bool closeToBaked = mode_ == Mode::Cached && baked.contentKey == contentKey &&
                              displacement(baked.transform, toDevice, painted) < NegligibleShift / 2 &&
                              std::hypot(shadowMoved.x(), shadowMoved.y()) < NegligibleShift / 2;
    if (closeToBaked) {
        if (baked.image.isNull() && ++baked.sameFrames >= BakeAfterFrames) {
            const QRect box = toDevice.mapRect(painted).toAlignedRect();
            ++bakesMade_;
            baked.transform = toDevice;
            baked.shadowShift = shadowLands;
            baked.topLeft = box.topLeft();
            baked.image = QImage(box.size(), QImage::Format_ARGB32_Premultiplied);
            baked.image.fill(Qt::transparent);
            QPainter bake(&baked.image);
            bake.setRenderHints(painter.renderHints() | QPainter::SmoothPixmapTransform);
            const QTransform shifted = toDevice * QTransform::fromTranslate(-box.x(), -box.y());
            if (shadowOn(element))
                drawShadow(bake, element, raster, shifted, 1.0);
            bake.setTransform(shifted);
            bake.drawImage(raster.localRect, raster.image);
        }
        if (!baked.image.isNull()) {
            painter.resetTransform();
            painter.drawImage(baked.topLeft, baked.image);
            painter.restore();
            return;
        }
    } else {
        baked = Baked{toDevice, shadowLands, QImage(), QPoint(), contentKey, 0};
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (const Composite* composite = compositeFor(element, raster, toDevice)) {
        painter.setTransform(toDevice);
        painter.drawImage(composite->localRect, composite->image);
        painter.restore();
        return;
    }
    if (shadowOn(element))
        drawShadow(painter, element, raster, toDevice, opacity);
    painter.setTransform(toDevice);
    painter.drawImage(raster.localRect, raster.image);
    painter.restore();
}

// A shadow that keeps its place in the element's own frame (the wheels' shadows) turns with the
// picture, so the two are composed once and drawn as one.
const TSceneRenderer::Composite* TSceneRenderer::compositeFor(const TElement& element, const Raster& raster,
                                                              const QTransform& toDevice) {
    if (mode_ != Mode::Cached || !shadowOn(element) || !raster.exact)
        return nullptr;
    const TShadowEffect& shadow = *element.shadow();
    const qint64 key = qint64(qHashMulti(0, raster.key, raster.deviceSize.width(), raster.deviceSize.height(),
                                         shadow.Direction(), shadow.Distance(), shadow.Opacity(),
                                         shadow.Softness(), shadow.ShadowColor().rgba()));
    Composite& composite = composites_[&element];
    if (composite.key != key) {
        composite = Composite{key, 0, QImage(), QRectF()};
        return nullptr;
    }
    if (!composite.image.isNull())
        return &composite;
    if (++composite.sameFrames < 2)
        return nullptr;
    const Silhouette& silhouette = silhouetteFor(element, raster, shadow, toDevice);
    const QRectF cast = silhouetteRect(silhouette, raster).translated(shadowOffset(shadow));
    const QRectF box = raster.localRect.united(cast);
    const double kx = raster.image.width() / raster.localRect.width();
    const double ky = raster.image.height() / raster.localRect.height();
    QImage image(QSize(int(std::ceil(box.width() * kx)), int(std::ceil(box.height() * ky))),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.scale(kx, ky);
        p.translate(-box.topLeft());
        p.setOpacity(shadow.Opacity());
        p.drawImage(cast, silhouette.image);
        p.setOpacity(1);
        p.drawImage(raster.localRect, raster.image);
    }
    composite.image = image;
    composite.localRect = QRectF(box.topLeft(), QSizeF(image.width() / kx, image.height() / ky));
    return &composite;
}

void TSceneRenderer::drawShadow(QPainter& painter, const TElement& element, const Raster& raster,
                                const QTransform& toDevice, double opacity) {
    const TShadowEffect& shadow = *element.shadow();
    const Silhouette& silhouette = silhouetteFor(element, raster, shadow, toDevice);
    if (silhouette.image.isNull())
        return;
    painter.save();
    painter.setOpacity(opacity * shadow.Opacity());
    const QTransform shifted =
        QTransform::fromTranslate(shadowOffset(shadow).x(), shadowOffset(shadow).y()) * toDevice;
    painter.setTransform(shifted);
    // A shadow is blurred already; filtering it again when it turns costs much and shows nothing.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(silhouetteRect(silhouette, raster), silhouette.image);
    painter.restore();
}

const TSceneRenderer::Silhouette& TSceneRenderer::silhouetteFor(const TElement& element, const Raster& raster,
                                                                const TShadowEffect& shadow,
                                                                const QTransform& toDevice) {
    Silhouette& cached = silhouettes_[&element];
    const int radius = shadowRadius(shadow, deviceScale(toDevice));
    const QRgb color = shadow.ShadowColor().rgba();
    if (cached.rasterKey == raster.key && cached.deviceSize == raster.deviceSize && cached.radius == radius &&
        cached.color == color && !cached.image.isNull())
        return cached;
    const int pad = 2 * radius + 1;
    QImage image(raster.image.size() + QSize(2 * pad, 2 * pad), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.drawImage(pad, pad, raster.image);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(image.rect(), QColor::fromRgba(color));
    }
    blurImage(image, radius);
    cached = Silhouette{image, pad, raster.key, raster.deviceSize, color, radius};
    return cached;
}

// The silhouette is padded around its raster; it lands wherever the raster lands now.
QRectF TSceneRenderer::silhouetteRect(const Silhouette& silhouette, const Raster& raster) {
    const double unitsX = raster.localRect.width() / std::max(1, raster.image.width());
    const double unitsY = raster.localRect.height() / std::max(1, raster.image.height());
    const int pad = silhouette.pad;
    return raster.localRect.adjusted(-pad * unitsX, -pad * unitsY, pad * unitsX, pad * unitsY);
}

const TSceneRenderer::Raster* TSceneRenderer::rasterFor(const TElement& element, const QTransform& toDevice) {
    if (auto* image = dynamic_cast<const TImage*>(&element))
        return imageRaster(*image, toDevice);
    if (auto* label = dynamic_cast<const TLabel*>(&element))
        return labelRaster(*label, toDevice);
    return nullptr;
}

QRectF TSceneRenderer::contentRect(const TElement& element) {
    if (auto* image = dynamic_cast<const TImage*>(&element)) {
        if (image->isEmpty())
            return {};
        const QRectF picture = image->pictureRect();
        const TPicture& source = image->Picture();
        // Until a decode has measured the opaque box, the whole picture stands for it.
        const QRect box = source.opaqueBox().value_or(QRect(QPoint(), source.size()));
        if (box.isEmpty())
            return {};
        const double kx = picture.width() / source.size().width();
        const double ky = picture.height() / source.size().height();
        return {picture.x() + box.x() * kx, picture.y() + box.y() * ky, box.width() * kx, box.height() * ky};
    }
    if (dynamic_cast<const TLabel*>(&element) || dynamic_cast<const TRectangle*>(&element))
        return element.LocalRect();
    if (auto* arc = dynamic_cast<const TArc*>(&element)) {
        if (arc->StrokeThickness() <= 0 || arc->EndAngle() == 0)
            return {};
        const double half = arc->StrokeThickness() / 2;
        return arcPath(*arc).boundingRect().adjusted(-half, -half, half, half);
    }
    return {};
}

std::optional<TSceneRenderer::Circle> TSceneRenderer::turningCircle(const TElement& element,
                                                                    const QTransform& toDevice) {
    const auto* image = dynamic_cast<const TImage*>(&element);
    if (!image)
        return std::nullopt;
    const TPicture& source = image->Picture();
    const std::optional<double> reach = source.reach();
    const QRectF placed = image->pictureRect();
    if (source.isNull() || !reach || placed.isEmpty())
        return std::nullopt;
    const double unitsPerPixel =
        std::max(placed.width() / source.size().width(), placed.height() / source.size().height());
    Circle circle{placed.center(), *reach * unitsPerPixel};
    if (shadowOn(element)) {
        const TShadowEffect& shadow = *element.shadow();
        const QSizeF scale = deviceScale(toDevice);
        const QPointF offset = shadowOffset(shadow);
        circle.radius +=
            std::hypot(offset.x(), offset.y()) +
            (2 * shadowRadius(shadow, scale) + 2) / std::max(1e-6, std::min(scale.width(), scale.height()));
    }
    return circle;
}

QRectF TSceneRenderer::paintedLocalRect(const TElement& element, const QTransform& toDevice) {
    QRectF box = contentRect(element);
    if (box.isEmpty() || !shadowOn(element))
        return box;
    const TShadowEffect& shadow = *element.shadow();
    const QSizeF scale = deviceScale(toDevice);
    const double spread =
        (2 * shadowRadius(shadow, scale) + 2) / std::max(1e-6, std::min(scale.width(), scale.height()));
    const QRectF cast = box.translated(shadowOffset(shadow)).adjusted(-spread, -spread, spread, spread);
    return box.united(cast);
}

const TSceneRenderer::Raster* TSceneRenderer::imageRaster(const TImage& image, const QTransform& toDevice) {
    const TPicture& source = image.Picture();
    if (source.isNull())
        return nullptr;
    // The first decode of a picture measures its opaque box and makes the raster from the same pixels.
    QImage whole;
    if (!source.opaqueBox()) {
        whole = source.decoded();
        source.setOpaqueBox(TPicture::measureOpaqueBox(whole));
        source.setOpaqueCells(TPicture::measureOpaqueCells(whole));
        source.setReach(TPicture::measureReach(whole));
    }
    const QRectF local = contentRect(image);
    if (local.isEmpty())
        return nullptr;
    const QSizeF scale = deviceScale(toDevice);
    const QSize deviceSize(std::max(1, int(std::lround(local.width() * scale.width()))),
                           std::max(1, int(std::lround(local.height() * scale.height()))));
    Raster& cached = rasters_[&image];
    // A turning picture's size can round either way at a half pixel; a pixel off is drawn to size
    // by the painter, so only a real change of size builds the picture anew.
    const QSize drift = cached.deviceSize - deviceSize;
    const bool samePicture = cached.key == source.key() && !cached.image.isNull();
    if (samePicture && cached.exact && cached.localRect == local && std::abs(drift.width()) <= 1 &&
        std::abs(drift.height()) <= 1)
        return &cached;
    if (samePicture && quickResize_ && mode_ == Mode::Cached && whole.isNull()) {
        if (cached.localRect != local)
            ++resizes_;
        cached.localRect = local;
        cached.exact = false;
        approximated_[&image] = true;
        return &cached;
    }
    approximated_.erase(&image);
    const QRect box = *source.opaqueBox();
    if (mode_ == Mode::Naive && whole.isNull()) {
        QImage& kept = naiveSources_[source.key()];
        if (kept.isNull())
            kept = source.decoded();
        whole = kept;
    }
    QImage raster =
        whole.isNull() ? source.decoded(box, deviceSize) : TPicture::scaledPart(whole, box, deviceSize);
    cached = Raster{std::move(raster), local, source.key(), deviceSize, true};
    return &cached;
}

const TSceneRenderer::Raster* TSceneRenderer::labelRaster(const TLabel& label, const QTransform& toDevice) {
    const QRectF local = label.LocalRect();
    if (local.isEmpty() || label.Text().isEmpty())
        return nullptr;
    const QSizeF scale = deviceScale(toDevice);
    const QSize deviceSize(std::max(1, int(std::ceil(local.width() * scale.width()))),
                           std::max(1, int(std::ceil(local.height() * scale.height()))));
    const LabelKey key{label.Text(), label.FontFamily(),       label.FontSize(),
                       label.Bold(), label.FontColor().rgba(), int(label.TextAlign()),
                       local.size()};
    Raster& cached = rasters_[&label];
    if (cached.deviceSize == deviceSize && labelKeys_[&label] == key && !cached.image.isNull())
        return &cached;
    QImage image(deviceSize, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(3780); // 96 dpi, the unit of font sizes
    image.setDotsPerMeterY(3780);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(double(deviceSize.width()) / local.width(), double(deviceSize.height()) / local.height());
        p.setFont(label.font());
        p.setPen(label.FontColor());
        // A line shrunk to fit is drawn at its own size and scaled down whole.
        const double fit = label.textScale();
        p.scale(fit, fit);
        p.drawText(QRectF(local.topLeft() / fit, local.size() / fit),
                   int(label.TextAlign()) | Qt::TextSingleLine, label.Text());
    }
    labelKeys_[&label] = key;
    cached = Raster{image, local, nextLabelKey_++, deviceSize, true};
    return &cached;
}

QRect TSceneRenderer::subtreeBounds(const TElement& element, const QTransform& parentToDevice) {
    if (!element.Visible())
        return {};
    const QTransform toDevice = element.LocalToParent() * parentToDevice;
    QRect bounds;
    const QRectF own = paintedLocalRect(element, toDevice);
    if (!own.isEmpty())
        bounds = toDevice.mapRect(own).toAlignedRect().adjusted(-2, -2, 2, 2);
    for (const auto& child : element.Children())
        bounds |= subtreeBounds(*child, toDevice);
    if (const TBlurEffect* blur = element.blur(); blur && blur->Enabled() && !bounds.isEmpty()) {
        const int r =
            int(std::lround(blur->Softness() * BlurSoftnessToPixels * deviceScale(toDevice).width())) + 1;
        bounds.adjust(-r, -r, r, r);
    }
    return bounds;
}
