#include "toolkit/view.h"

#include "toolkit/clock.h"
#include "toolkit/effects.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSemaphore>
#include <QThreadPool>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
// On the GUI thread Qt splits every large fill across its thread pool; for the many modest draws
// of a frame the hand-offs cost more than they save. Painted on a pool thread, a frame is drawn
// in one go. The GUI thread waits, so the scene is never touched by two threads at once.
void paintOnPoolThread(const std::function<void()>& paint) {
    QSemaphore done;
    QThreadPool::globalInstance()->start([&] {
        paint();
        done.release();
    });
    done.acquire();
}
// How long a resized picture stays approximate after its last change of size.
constexpr int RefineDelayMs = 150;

// Pictures come and go in large, short-lived buffers (decodes, scaled copies, a skin's pictures
// decoded on worker threads). glibc raises its mmap threshold past the first such buffer freed
// and from then on keeps them in its heaps, so every skin switch left the program larger; at a
// fixed threshold they are mapped and returned whole.
// An idle pool thread waits with a timeout and ends when it passes; a clock that libfaketime or a
// suspend moves makes that wait end at once, and a thread was started for every frame.
void keepPoolThreads() {
    QThreadPool::globalInstance()->setExpiryTimeout(-1);
}

void keepLargeBuffersMapped() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
}
} // namespace

TSceneView::TSceneView(TScene& scene, QWidget* parent) : QWidget(parent), scene_(scene) {
    keepLargeBuffersMapped();
    keepPoolThreads();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    scene_.setChangeListener([this](TElement& element) { elementChanged(element); });
    renderer_.setQuickResize(true);
    refineTimer_.setSingleShot(true);
    refineTimer_.setInterval(RefineDelayMs);
    connect(&refineTimer_, &QTimer::timeout, this, [this] { refine(); });
}

void TSceneView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (const QScreen* shown = screen())
        Clock::instance().setDisplayRate(shown->refreshRate());
}

TSceneView::~TSceneView() {
    scene_.setChangeListener({});
}

void TSceneView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    boundsKnown_ = false;
    update();
}

void TSceneView::elementChanged(TElement& element) {
    if (std::find(dirty_.begin(), dirty_.end(), &element) == dirty_.end())
        dirty_.push_back(&element);
    if (!flushQueued_) {
        flushQueued_ = true;
        QMetaObject::invokeMethod(this, &TSceneView::flushDamage, Qt::QueuedConnection);
    }
}

QTransform TSceneView::parentToDevice(const TElement& element) const {
    return element.Parent() ? element.Parent()->LocalToScene() * sceneToDevice() : sceneToDevice();
}

// Device pixels that cover a logical area, and back; both round outwards.
QRegion TSceneView::toDevice(const QRegion& logical) const {
    if (ratio_ == 1)
        return logical;
    QRegion device;
    for (const QRect& r : logical)
        device +=
            QRectF(r.x() * ratio_, r.y() * ratio_, r.width() * ratio_, r.height() * ratio_).toAlignedRect();
    return device;
}

QRegion TSceneView::toLogical(const QRegion& device) const {
    if (ratio_ == 1)
        return device;
    QRegion logical;
    for (const QRect& r : device)
        logical +=
            QRectF(r.x() / ratio_, r.y() / ratio_, r.width() / ratio_, r.height() / ratio_).toAlignedRect();
    return logical;
}

namespace {
// A movement below this waits until it adds up; the picture on screen is never further off.
constexpr double NegligibleShift = TSceneRenderer::NegligibleShift;
// Device pixels an opaque picture's cover is taken in from its edges.
constexpr int Erosion = 3;
// How far a turned picture may move before its cover is worked out again.
constexpr int TurnSlack = 1;

qint64 pixelsIn(const QRegion& region) {
    qint64 pixels = 0;
    for (const QRect& rect : region)
        pixels += qint64(rect.width()) * rect.height();
    return pixels;
}

// A long element turned aslant covers a thin band of its box: boxes of slices along its length
// follow the band, so a turning hand repaints little more than where it was and is.
QRegion sweptArea(const QRectF& local, const QTransform& toDevice) {
    const QRect box = toDevice.mapRect(local).toAlignedRect().adjusted(-2, -2, 2, 2);
    if (toDevice.type() <= QTransform::TxScale)
        return box;
    const bool tall = local.height() > local.width();
    const double length = tall ? local.height() : local.width();
    const double breadth = std::max(1e-6, tall ? local.width() : local.height());
    const int slices = std::clamp(int(length / (2 * breadth)), 1, 16);
    if (slices == 1)
        return box;
    QRegion area;
    for (int i = 0; i < slices; ++i) {
        const double from = length * i / slices;
        const QRectF slice = tall ? QRectF(local.x(), local.y() + from, local.width(), length / slices)
                                  : QRectF(local.x() + from, local.y(), length / slices, local.height());
        area += toDevice.mapRect(slice).toAlignedRect().adjusted(-2, -2, 2, 2);
    }
    return area;
}

// Where an arc's stroke differs between two angle ranges: the stretches its two ends swept,
// caps included. Nothing while the ends have moved less than a negligible shift along the ring;
// no answer when the ranges do not overlap as a lengthened or shortened stroke.
std::optional<QRegion> arcChange(const TArc& arc, const QTransform& toDevice, float start0, float sweep0,
                                 float start1, float sweep1) {
    if (sweep0 == 0 || sweep1 == 0 || (sweep0 > 0) != (sweep1 > 0) || std::abs(sweep0) >= 360 ||
        std::abs(sweep1) >= 360)
        return std::nullopt;
    const double a0 = std::min(start0, start0 + sweep0), b0 = std::max(start0, start0 + sweep0);
    const double a1 = std::min(start1, start1 + sweep1), b1 = std::max(start1, start1 + sweep1);
    if (std::max(a0, a1) > std::min(b0, b1))
        return std::nullopt;
    const double half = arc.StrokeThickness() / 2;
    const QRectF ring = arc.LocalRect().adjusted(half, half, -half, -half);
    const double rx = ring.width() / 2, ry = ring.height() / 2;
    const double outer =
        (std::max(rx, ry) + half) * std::max(deviceScale(toDevice).width(), deviceScale(toDevice).height());
    const double inner = std::max(1e-6, std::min(rx, ry) - half);
    const double cap = (half + 2) / inner * 180 / std::numbers::pi;
    QRegion area;
    bool negligible = true;
    for (const auto& [u, v] :
         {std::pair{std::min(a0, a1), std::max(a0, a1)}, std::pair{std::min(b0, b1), std::max(b0, b1)}}) {
        if (u == v)
            continue;
        negligible = negligible && (v - u) * std::numbers::pi / 180 * outer < NegligibleShift;
        // Points, not empty rectangles: QRectF::united() leaves those out.
        QPointF low(std::numeric_limits<double>::max(), std::numeric_limits<double>::max());
        QPointF high(std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest());
        const double from = u - cap, to = v + cap;
        const int steps = std::max(1, int(std::ceil((to - from) / 5)));
        for (int i = 0; i <= steps; ++i) {
            const double radians = (from + (to - from) * i / steps) * std::numbers::pi / 180;
            for (const double grow : {-half, half}) {
                const QPointF point(ring.center().x() + (rx + grow) * std::cos(radians),
                                    ring.center().y() + (ry + grow) * std::sin(radians));
                const QPointF device = toDevice.map(point);
                low = {std::min(low.x(), device.x()), std::min(low.y(), device.y())};
                high = {std::max(high.x(), device.x()), std::max(high.y(), device.y())};
            }
        }
        area += QRectF(low, high).toAlignedRect().adjusted(-3, -3, 3, 3);
    }
    if (negligible)
        return QRegion();
    return area;
}
} // namespace

TSceneView::Painted TSceneView::paintedNow(const TElement& element, const QTransform& toDevice,
                                           bool visible) {
    Painted now{toDevice, {}, element.lookKey(), element.IndexInParent(), visible, {}, {}, {}, 0, 0};
    if (const auto* arc = dynamic_cast<const TArc*>(&element)) {
        now.arcStart = arc->StartAngle();
        now.arcSweep = arc->EndAngle();
    }
    if (!visible)
        return now;
    now.shadowShift = shadowShift(element, toDevice);
    const QRectF local = renderer_.paintedLocalRect(element, toDevice);
    if (!local.isEmpty()) {
        now.own = toDevice.mapRect(local).toAlignedRect().adjusted(-2, -2, 2, 2);
        now.area = sweptArea(local, toDevice);
        // A round picture turning about its centre stays within its circle, which no turn moves.
        if (const std::optional<TSceneRenderer::Circle> circle = renderer_.turningCircle(element, toDevice);
            circle && toDevice.type() > QTransform::TxScale) {
            const QSizeF scale = deviceScale(toDevice);
            if (std::abs(scale.width() - scale.height()) < 1e-3 * scale.width()) {
                const double r = circle->radius * scale.width() + 2;
                const QPointF centre = toDevice.map(circle->centre);
                const QRect round = QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r).toAlignedRect();
                if (qint64(round.width()) * round.height() < pixelsIn(now.area))
                    now.area = QRegion(round, QRegion::Ellipse);
            }
        }
    }
    return now;
}

// Records what the subtree paints now and returns its screen box.
QRect TSceneView::record(const TElement& element, const QTransform& parentToDevice, bool visible) {
    const bool shown = visible && element.Visible();
    const QTransform toDevice = element.LocalToParent() * parentToDevice;
    Painted now = paintedNow(element, toDevice, shown);
    now.subtree = now.own;
    for (const auto& child : element.Children())
        now.subtree |= record(*child, toDevice, shown);
    if (shown)
        now.subtree = renderer_.subtreeBounds(element, parentToDevice) | now.subtree;
    painted_[&element] = now;
    return now.subtree;
}

// Damages what changed below an element: a changed look repaints the whole subtree where it was
// and where it is; a movement repaints only the element, and only once it amounts to something.
QRect TSceneView::inspect(const TElement& element, const QTransform& parentToDevice, bool visible) {
    const bool shown = visible && element.Visible();
    const QTransform toDevice = element.LocalToParent() * parentToDevice;
    auto found = painted_.find(&element);
    if (found == painted_.end() || found->second.look != element.lookKey() ||
        found->second.index != element.IndexInParent() || found->second.visible != shown) {
        if (found != painted_.end())
            addDamage(found->second.subtree, orderAfter(element, true));
        const QRect now = record(element, parentToDevice, shown);
        addDamage(now, orderAfter(element, true));
        return now;
    }
    Painted& before = found->second;
    if (shown) {
        const QRectF local = renderer_.paintedLocalRect(element, toDevice);
        const QPointF shadowMove = shadowShift(element, toDevice) - before.shadowShift;
        const auto* arc = dynamic_cast<const TArc*>(&element);
        const bool arcMoved =
            arc && (arc->StartAngle() != before.arcStart || arc->EndAngle() != before.arcSweep);
        if (displacement(before.transform, toDevice, local) >= NegligibleShift ||
            std::hypot(shadowMove.x(), shadowMove.y()) >= NegligibleShift) {
            addDamage(before.area, orderAfter(element, false));
            Painted now = paintedNow(element, toDevice, shown);
            addDamage(now.area, orderAfter(element, false));
            before = Painted{now.transform, now.shadowShift, before.look,    before.index, before.visible,
                             now.own,       now.area,        before.subtree, now.arcStart, now.arcSweep};
        } else if (arcMoved) {
            const std::optional<QRegion> change = arcChange(*arc, toDevice, before.arcStart, before.arcSweep,
                                                            arc->StartAngle(), arc->EndAngle());
            if (!change || !change->isEmpty()) {
                if (!change)
                    addDamage(before.area, orderAfter(element, false));
                Painted now = paintedNow(element, toDevice, shown);
                addDamage(change ? *change : now.area, orderAfter(element, false));
                before = Painted{now.transform, now.shadowShift, before.look,    before.index, before.visible,
                                 now.own,       now.area,        before.subtree, now.arcStart, now.arcSweep};
            }
        }
    }
    QRect subtree = before.own;
    for (const auto& child : element.Children())
        subtree |= inspect(*child, before.transform, shown);
    before.subtree = subtree;
    return subtree;
}

namespace {
// Only a turned picture that is mostly solid (a plate, not a wheel's rim) is worth working out a
// cover for as it turns.
bool mostlyOpaque(const QRegion& cells, QSize pictureSize) {
    qint64 area = 0;
    for (const QRect& cell : cells)
        area += qint64(cell.width()) * cell.height();
    return area * 4 >= qint64(pictureSize.width()) * pictureSize.height();
}

// What a turned opaque picture covers for certain: the squares of a grid of device pixels whose
// neighbourhood, mapped back into the picture, lies within fully opaque cells only.
QRegion turnedCover(const QRegion& cells, QSize pictureSize, const QRectF& placed,
                    const QTransform& toDevice) {
    constexpr int Cell = TPicture::OpaqueCell;
    constexpr int Step = 4;
    constexpr int Margin = Erosion + TurnSlack;
    const int columns = pictureSize.width() / Cell, rows = pictureSize.height() / Cell;
    std::vector<char> opaque(size_t(std::max(0, columns * rows)), 0);
    for (const QRect& r : cells)
        for (int cy = r.top() / Cell; cy <= r.bottom() / Cell && cy < rows; ++cy)
            for (int cx = r.left() / Cell; cx <= r.right() / Cell && cx < columns; ++cx)
                opaque[size_t(cy * columns + cx)] = 1;
    const QTransform pictureToDevice =
        QTransform(placed.width() / pictureSize.width(), 0, 0, placed.height() / pictureSize.height(),
                   placed.x(), placed.y()) *
        toDevice;
    bool invertible = false;
    const QTransform deviceToPicture = pictureToDevice.inverted(&invertible);
    if (!invertible)
        return {};
    const auto within = [&](const QRectF& source) {
        const int left = int(std::floor(source.left() / Cell)),
                  right = int(std::floor(source.right() / Cell));
        const int top = int(std::floor(source.top() / Cell)),
                  bottom = int(std::floor(source.bottom() / Cell));
        if (left < 0 || top < 0 || right >= columns || bottom >= rows)
            return false;
        for (int cy = top; cy <= bottom; ++cy)
            for (int cx = left; cx <= right; ++cx)
                if (!opaque[size_t(cy * columns + cx)])
                    return false;
        return true;
    };
    const QRect box = pictureToDevice.mapRect(QRectF(QPointF(), QSizeF(pictureSize))).toAlignedRect();
    QRegion region;
    for (int y = box.top(); y < box.bottom(); y += Step) {
        int run = -1;
        for (int x = box.left(); x < box.right() + Step; x += Step) {
            // The square and a margin around it: the turned raster blends its edges, and the
            // picture may turn on by TurnSlack before the cover is made again.
            const bool covered =
                x < box.right() && within(deviceToPicture.mapRect(
                                       QRectF(x - Margin, y - Margin, Step + 2 * Margin, Step + 2 * Margin)));
            if (covered && run < 0)
                run = x;
            if (!covered && run >= 0) {
                region += QRect(run, y, x - run, Step);
                run = -1;
            }
        }
    }
    return region;
}
} // namespace

// Numbers the drawn elements in paint order and notes the opaque pictures among them, where they
// cover whole device pixels: a picture drawn at full opacity, upright or turned, outside any
// blurred group.
void TSceneView::collectOccluders(const TElement& element, const QTransform& parentToDevice, double opacity,
                                  bool inLayer, int& order) {
    if (!element.Visible())
        return;
    const int own = order++;
    const QTransform toDevice = element.LocalToParent() * parentToDevice;
    opacity *= element.Opacity();
    const TBlurEffect* blur = element.blur();
    const TInvertEffect* invert = element.invert();
    inLayer = inLayer || (blur && blur->Enabled()) || (invert && invert->Enabled());
    const auto* image = dynamic_cast<const TImage*>(&element);
    const bool upright = toDevice.type() <= QTransform::TxScale && toDevice.m11() > 0 && toDevice.m22() > 0;
    if (image && !inLayer && opacity >= 1 && (upright || toDevice.type() == QTransform::TxRotate)) {
        const TPicture& picture = image->Picture();
        const std::optional<QRegion> cells = picture.opaqueCells();
        const QRectF placed = image->pictureRect();
        if (cells && !cells->isEmpty() && !placed.isEmpty() && !upright &&
            mostlyOpaque(*cells, picture.size())) {
            occluders_.push_back({own, toDevice.mapRect(placed).toAlignedRect(), {}, image, toDevice});
        } else if (upright && cells && !cells->isEmpty() && !placed.isEmpty()) {
            OccluderShape& shape = shapes_[&element];
            if (shape.picture != picture.key() || shape.transform != toDevice ||
                shape.pictureRect != placed) {
                const double kx = placed.width() / picture.size().width();
                const double ky = placed.height() / picture.size().height();
                QRegion covered;
                for (const QRect& cell : *cells)
                    covered += toDevice
                                   .mapRect(QRectF(placed.x() + cell.x() * kx, placed.y() + cell.y() * ky,
                                                   cell.width() * kx, cell.height() * ky))
                                   .toAlignedRect();
                // Worn away at its edges: the scaled raster blends them, lands on whole pixels, and
                // the cells above were rounded outwards.
                QRegion region = covered;
                for (const QPoint shift :
                     {QPoint(Erosion, 0), QPoint(-Erosion, 0), QPoint(0, Erosion), QPoint(0, -Erosion),
                      QPoint(Erosion, Erosion), QPoint(-Erosion, -Erosion), QPoint(Erosion, -Erosion),
                      QPoint(-Erosion, Erosion)})
                    region &= covered.translated(shift);
                shape = OccluderShape{picture.key(), toDevice, placed, region};
            }
            if (!shape.region.isEmpty())
                occluders_.push_back({own, shape.region.boundingRect(), shape.region, nullptr, {}});
        }
    }
    for (const auto& child : element.Children())
        collectOccluders(*child, toDevice, opacity, inLayer, order);
    order_[&element] = {own, order - 1, flushes_};
}

int TSceneView::orderAfter(const TElement& element, bool subtree) const {
    const auto found = order_.find(&element);
    if (found == order_.end() || found->second.flush != flushes_)
        return std::numeric_limits<int>::max(); // not drawn now: nothing is known to cover it
    return subtree ? found->second.last : found->second.own;
}

void TSceneView::addDamage(const QRegion& area, int after) {
    if (area.isEmpty())
        return;
    QRegion visible = area;
    const QRect bounds = area.boundingRect();
    for (Occluder& occluder : occluders_)
        if (occluder.order > after && occluder.bounds.intersects(bounds))
            visible -= occluder.turned ? turnedCoverOf(occluder) : occluder.region;
    damage_ += visible;
}

// Made with a pixel to spare, a cover serves until its picture has turned by a pixel.
const QRegion& TSceneView::turnedCoverOf(Occluder& occluder) {
    const TImage& image = *occluder.turned;
    const TPicture& picture = image.Picture();
    const QRectF placed = image.pictureRect();
    OccluderShape& shape = shapes_[&image];
    if (shape.picture != picture.key() || shape.pictureRect != placed ||
        displacement(shape.transform, occluder.toDevice, placed) >= TurnSlack)
        shape = OccluderShape{picture.key(), occluder.toDevice, placed,
                              turnedCover(picture.opaqueCells().value_or(QRegion()), picture.size(), placed,
                                          occluder.toDevice)};
    occluder.region = shape.region;
    occluder.turned = nullptr;
    return occluder.region;
}

// Repaints what the changes since the last flush damaged.
void TSceneView::flushDamage() {
    flushQueued_ = false;
    if (!boundsKnown_) {
        dirty_.clear();
        damage_ = QRegion();
        requested_ = rect();
        update();
        return;
    }
    occluders_.clear();
    ++flushes_;
    int order = 0;
    collectOccluders(scene_.root(), sceneToDevice(), 1.0, false, order);
    for (TElement* element : dirty_)
        inspect(*element, parentToDevice(*element),
                !element->Parent() || element->Parent()->isVisibleInScene());
    dirty_.clear();
    if (!damage_.isEmpty()) {
        requested_ += damage_;
        update(toLogical(damage_));
    }
    damage_ = QRegion();
}

void TSceneView::ensureBounds() {
    if (boundsKnown_)
        return;
    painted_.clear();
    record(scene_.root(), sceneToDevice(), true);
    boundsKnown_ = true;
}

QRegion TSceneView::takeDamage() {
    ensureBounds();
    if (flushQueued_)
        flushDamage();
    return std::exchange(requested_, QRegion());
}

void TSceneView::render(QImage& canvas, const QRegion& area, const QTransform& sceneToCanvas,
                        TSceneRenderer& renderer) {
    paintOnPoolThread([&] {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setClipRegion(area);
        painter.setTransform(sceneToCanvas);
        renderer.render(painter, scene_, area);
    });
}

void TSceneView::renderArea(QImage& canvas, const QRegion& area) {
    render(canvas, area, sceneToDevice(), renderer_);
}

void TSceneView::paintEvent(QPaintEvent* event) {
    ++paintCount_;
    const qreal ratio = devicePixelRatioF();
    if (ratio != ratio_) {
        // Another screen: every cached raster and recorded box is in the old device pixels.
        ratio_ = ratio;
        boundsKnown_ = false;
        frame_ = QImage();
    }
    ensureBounds();
    const QSize deviceSize(int(std::ceil(width() * ratio_)), int(std::ceil(height() * ratio_)));
    QRegion area = toDevice(event->region()) & QRect(QPoint(), deviceSize);
    if (frame_.size() != deviceSize) {
        frame_ = QImage(deviceSize, QImage::Format_ARGB32_Premultiplied);
        area = QRect(QPoint(), deviceSize);
    }
    renderer_.setQuickResize(!refining_);
    renderArea(frame_, area);
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& rect : area) {
        if (ratio_ == 1)
            painter.drawImage(rect.topLeft(), frame_, rect);
        else
            painter.drawImage(
                QRectF(rect.x() / ratio_, rect.y() / ratio_, rect.width() / ratio_, rect.height() / ratio_),
                frame_, QRectF(rect));
    }
    if (renderer_.resizes() != resizesSeen_) {
        resizesSeen_ = renderer_.resizes();
        refineTimer_.start();
    } else if (!refineTimer_.isActive() && !renderer_.approximatedElements().empty()) {
        refineTimer_.start();
    }
}

void TSceneView::refine() {
    QRegion area;
    for (const TElement* element : renderer_.approximatedElements())
        if (auto found = painted_.find(element); found != painted_.end())
            area += found->second.own;
    if (area.isEmpty())
        return;
    refining_ = true;
    repaint(toLogical(area));
    refining_ = false;
}

// At the view's own ratio the view's caches serve; another ratio gets a renderer of its own, so
// a grab leaves what the screen shows untouched.
QImage TSceneView::grabScene(qreal ratio) {
    const QSize deviceSize(int(std::ceil(width() * ratio)), int(std::ceil(height() * ratio)));
    QImage image(deviceSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    const QRegion all(image.rect());
    if (ratio == ratio_) {
        renderer_.setQuickResize(false);
        renderArea(image, all);
        renderer_.setQuickResize(true);
    } else {
        TSceneRenderer renderer;
        render(image, all, QTransform::fromScale(ratio, ratio), renderer);
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

QPointF TSceneView::toLocal(const TElement& element, QPointF viewPoint) const {
    return element.LocalToScene().inverted().map(viewPoint);
}

void TSceneView::updateCursor(QPointF viewPoint) {
    for (const TElement* e = scene_.hitTest(viewPoint); e; e = e->Parent()) {
        if (e->hasCursor()) {
            setCursor(e->Cursor());
            return;
        }
    }
    unsetCursor();
}

void TSceneView::mousePressEvent(QMouseEvent* event) {
    capture_ = scene_.hitTest(event->position());
    if (capture_)
        capture_->mouseDown(event->buttons() | event->button(), toLocal(*capture_, event->position()));
}

void TSceneView::mouseMoveEvent(QMouseEvent* event) {
    if (capture_) {
        capture_->mouseMove(event->buttons(), toLocal(*capture_, event->position()));
        return;
    }
    updateCursor(event->position());
    if (TElement* hovered = scene_.hitTest(event->position()))
        hovered->mouseMove(event->buttons(), toLocal(*hovered, event->position()));
}

void TSceneView::mouseReleaseEvent(QMouseEvent* event) {
    if (TElement* target = capture_) {
        if (event->buttons() == Qt::NoButton)
            capture_ = nullptr;
        target->mouseUp(event->button(), toLocal(*target, event->position()));
    }
}
