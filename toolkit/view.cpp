#include "toolkit/view.h"

#include "toolkit/clock.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSemaphore>
#include <QThreadPool>
#include <cmath>

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
} // namespace

TSceneView::TSceneView(TScene& scene, QWidget* parent) : QWidget(parent), scene_(scene) {
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
    dirty_.insert(&element);
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

TSceneView::Painted TSceneView::paintedNow(const TElement& element, const QTransform& toDevice,
                                           bool visible) {
    Painted now{toDevice, {}, element.lookKey(), element.IndexInParent(), visible, {}, {}};
    if (!visible)
        return now;
    now.shadowShift = shadowShift(element, toDevice);
    const QRectF local = renderer_.paintedLocalRect(element, toDevice);
    if (!local.isEmpty())
        now.own = toDevice.mapRect(local).toAlignedRect().adjusted(-2, -2, 2, 2);
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

namespace {
// Largest distance any corner of a box travels between two placements, in screen pixels.
double displacement(const QTransform& from, const QTransform& to, const QRectF& box) {
    double largest = 0;
    for (const QPointF& corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
        const QPointF d = to.map(corner) - from.map(corner);
        largest = std::max(largest, std::hypot(d.x(), d.y()));
    }
    return largest;
}

// A movement below this waits until it adds up; the picture on screen is never further off.
constexpr double NegligibleShift = 0.5;
} // namespace

// Damages what changed below an element: a changed look repaints the whole subtree where it was
// and where it is; a movement repaints only the element, and only once it amounts to something.
QRect TSceneView::inspect(const TElement& element, const QTransform& parentToDevice, bool visible) {
    const bool shown = visible && element.Visible();
    const QTransform toDevice = element.LocalToParent() * parentToDevice;
    auto found = painted_.find(&element);
    if (found == painted_.end() || found->second.look != element.lookKey() ||
        found->second.index != element.IndexInParent() || found->second.visible != shown) {
        if (found != painted_.end())
            damage_ += found->second.subtree;
        const QRect now = record(element, parentToDevice, shown);
        damage_ += now;
        return now;
    }
    Painted& before = found->second;
    if (shown) {
        const QRectF local = renderer_.paintedLocalRect(element, toDevice);
        const QPointF shadowMove = shadowShift(element, toDevice) - before.shadowShift;
        if (displacement(before.transform, toDevice, local) >= NegligibleShift ||
            std::hypot(shadowMove.x(), shadowMove.y()) >= NegligibleShift) {
            damage_ += before.own;
            Painted now = paintedNow(element, toDevice, shown);
            damage_ += now.own;
            before.transform = now.transform;
            before.shadowShift = now.shadowShift;
            before.own = now.own;
        }
    }
    QRect subtree = before.own;
    for (const auto& child : element.Children())
        subtree |= inspect(*child, before.transform, shown);
    before.subtree = subtree;
    return subtree;
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
