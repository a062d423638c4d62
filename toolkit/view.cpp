#include "toolkit/view.h"

#include <QMouseEvent>
#include <QPainter>

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
    if (auto found = lastBounds_.find(&element); found != lastBounds_.end())
        damage_ += found->second;
    dirty_.insert(&element);
    if (!flushQueued_) {
        flushQueued_ = true;
        QMetaObject::invokeMethod(this, &TSceneView::flushDamage, Qt::QueuedConnection);
    }
}

QTransform TSceneView::parentToDevice(const TElement& element) const {
    return element.Parent() ? element.Parent()->LocalToScene() : QTransform();
}

void TSceneView::recordBounds(const TElement& element, const QTransform& toParentDevice) {
    lastBounds_[&element] = renderer_.subtreeBounds(element, toParentDevice);
    const QTransform toDevice = element.LocalToParent() * toParentDevice;
    for (const auto& child : element.Children())
        recordBounds(*child, toDevice);
}

// Repaints the union of where changed elements were and where they are now.
void TSceneView::flushDamage() {
    flushQueued_ = false;
    if (!boundsKnown_) {
        dirty_.clear();
        damage_ = QRegion();
        requested_ = rect();
        update();
        return;
    }
    for (TElement* element : dirty_) {
        recordBounds(*element, parentToDevice(*element));
        damage_ += lastBounds_[element];
    }
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
    lastBounds_.clear();
    recordBounds(scene_.root(), QTransform());
    boundsKnown_ = true;
}

QRegion TSceneView::takeDamage() {
    ensureBounds();
    if (flushQueued_)
        flushDamage();
    return std::exchange(requested_, QRegion());
}

void TSceneView::renderArea(QImage& canvas, const QRegion& area) {
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setClipRegion(area);
    renderer_.render(painter, scene_, area);
}

void TSceneView::paintEvent(QPaintEvent* event) {
    ++paintCount_;
    ensureBounds();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setClipRegion(event->region());
    renderer_.render(painter, scene_, event->region());
}

QImage TSceneView::grabScene() {
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer_.render(painter, scene_);
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
