#include "toolkit/view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSemaphore>
#include <QThreadPool>

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
} // namespace

TSceneView::TSceneView(TScene& scene, QWidget* parent) : QWidget(parent), scene_(scene) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    scene_.setChangeListener([this](TElement& element) { elementChanged(element); });
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
    return element.Parent() ? element.Parent()->LocalToScene() : QTransform();
}

TSceneView::Painted TSceneView::paintedNow(const TElement& element, const QTransform& toDevice,
                                           bool visible) {
    Painted now{toDevice, {}, element.lookRevision(), element.IndexInParent(), visible, {}, {}};
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
    if (found == painted_.end() || found->second.look != element.lookRevision() ||
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
        update(damage_);
    }
    damage_ = QRegion();
}

void TSceneView::ensureBounds() {
    if (boundsKnown_)
        return;
    painted_.clear();
    record(scene_.root(), QTransform(), true);
    boundsKnown_ = true;
}

QRegion TSceneView::takeDamage() {
    ensureBounds();
    if (flushQueued_)
        flushDamage();
    return std::exchange(requested_, QRegion());
}

void TSceneView::renderArea(QImage& canvas, const QRegion& area) {
    paintOnPoolThread([&] {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setClipRegion(area);
        renderer_.render(painter, scene_, area);
    });
}

void TSceneView::paintEvent(QPaintEvent* event) {
    ++paintCount_;
    ensureBounds();
    if (frame_.size() != size())
        frame_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    const QRegion area = event->region();
    renderArea(frame_, area);
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& rect : area)
        painter.drawImage(rect.topLeft(), frame_, rect);
}

QImage TSceneView::grabScene() {
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    renderArea(image, QRegion(image.rect()));
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
