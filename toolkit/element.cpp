#include "toolkit/element.h"

#include "toolkit/animation.h"
#include "toolkit/effects.h"
#include "toolkit/scene.h"

#include <QFile>
#include <QFontMetricsF>
#include <QHash>
#include <QLineF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

#include <typeinfo>

namespace {
template <class T> bool assign(T& field, const T& value) {
    if (field == value)
        return false;
    field = value;
    return true;
}
} // namespace

TElement::TElement(const QString& name) : TObject(name) {}

TElement::~TElement() = default;

void TElement::adopt(std::unique_ptr<TElement> child) {
    child->parent_ = this;
    children_.push_back(std::move(child));
    changed();
}

TFloatAnimation& TElement::addAnimation(std::unique_ptr<TFloatAnimation> animation) {
    animations_.push_back(std::move(animation));
    return *animations_.back();
}

TScene* TElement::scene() const {
    const TElement* node = this;
    while (node->parent_)
        node = node->parent_;
    return node->scene_;
}

void TElement::changed() {
    report();
}

void TElement::moved() {
    report();
}

void TElement::report() {
    if (TScene* owner = scene())
        owner->elementChanged(*this);
}

quint64 TElement::lookKey() const {
    quint64 key = qHashMulti(0x100c, visible_, position_.x(), position_.y(), width_, height_, scale_.x(),
                             scale_.y(), margins_.left(), margins_.top(), margins_.right(), margins_.bottom(),
                             opacity_, int(align_));
    for (const auto& effect : effects_)
        key = effect->lookKey(key);
    return ownLookKey(key);
}

void TElement::geometryChanged() {
    // Aligned siblings follow this element, so the whole parent is damaged.
    if (align_ != TAlignLayout::None && parent_)
        parent_->changed();
    else
        changed();
}

int TElement::IndexInParent() const {
    if (!parent_)
        return -1;
    const auto& siblings = parent_->children_;
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == this)
            return int(i);
    return -1;
}

void TElement::moveInParent(bool toFront) {
    changed(); // a new place in the stack repaints the whole subtree
    if (!parent_)
        return;
    auto& siblings = parent_->children_;
    auto it = siblings.begin() + IndexInParent();
    std::unique_ptr<TElement> self = std::move(*it);
    siblings.erase(it);
    if (toFront)
        siblings.push_back(std::move(self));
    else
        siblings.insert(siblings.begin(), std::move(self));
    geometryChanged();
}

void TElement::BringToFront() {
    moveInParent(true);
}
void TElement::SendToBack() {
    moveInParent(false);
}

void TElement::setVisible(bool visible) {
    if (visible_ == visible)
        return;
    // Report while still visible so the area it covered is repainted, and again once shown.
    geometryChanged();
    visible_ = visible;
    geometryChanged();
}

void TElement::setRotationAngle(float degrees) {
    if (assign(rotation_, degrees))
        moved();
}

void TElement::setPosition(QPointF position) {
    if (assign(position_, position))
        geometryChanged();
}

void TElement::setSize(double width, double height) {
    const bool w = assign(width_, width);
    const bool h = assign(height_, height);
    if (w || h)
        geometryChanged();
}

void TElement::setScale(QPointF scale) {
    if (assign(scale_, scale))
        geometryChanged();
}

void TElement::setMargins(QMarginsF margins) {
    if (assign(margins_, margins))
        geometryChanged();
}

void TElement::setOpacity(double opacity) {
    if (assign(opacity_, std::clamp(opacity, 0.0, 1.0)))
        changed();
}

void TElement::setAlign(TAlignLayout align) {
    if (align_ == align)
        return;
    geometryChanged();
    align_ = align;
    geometryChanged();
}

// Top-aligned siblings stack downwards in child order, bottom-aligned ones upwards, and so on.
QRectF TElement::stackedRect(const QRectF& area, QSizeF own) const {
    double before = 0;
    for (const auto& sibling : parent_->children_) {
        if (sibling.get() == this)
            break;
        if (sibling->align_ != align_ || !sibling->visible_)
            continue;
        const QMarginsF m = sibling->margins_;
        const QSizeF s =
            sibling->autoSized() ? sibling->autoSize() : QSizeF(sibling->width_, sibling->height_);
        if (align_ == TAlignLayout::Top || align_ == TAlignLayout::Bottom)
            before += m.top() + s.height() * sibling->scale_.y() + m.bottom();
        else
            before += m.left() + s.width() * sibling->scale_.x() + m.right();
    }
    const QMarginsF m = margins_;
    const double fillW = (area.width() - m.left() - m.right()) / scale_.x();
    const double fillH = (area.height() - m.top() - m.bottom()) / scale_.y();
    switch (align_) {
    case TAlignLayout::Top:
        // A line sized to its text sits in the middle of the row instead of filling it.
        if (autoSized())
            return {m.left() + (area.width() - m.left() - m.right() - own.width() * scale_.x()) / 2,
                    before + m.top(), own.width(), own.height()};
        return {m.left(), before + m.top(), fillW, own.height()};
    case TAlignLayout::Bottom:
        return {m.left(), area.height() - before - m.bottom() - own.height() * scale_.y(), fillW,
                own.height()};
    case TAlignLayout::Left:
        return {before + m.left(), m.top(), own.width(), fillH};
    default:
        return {area.width() - before - m.right() - own.width() * scale_.x(), m.top(), own.width(), fillH};
    }
}

QRectF TElement::alignedRect() const {
    return alignedRectFor(autoSized() ? autoSize() : QSizeF(width_, height_));
}

QRectF TElement::alignedRectFor(QSizeF own) const {
    if (align_ == TAlignLayout::None || !parent_)
        return {position_, own};
    const QRectF area = parent_->LocalRect();
    const QMarginsF m = margins_;
    switch (align_) {
    case TAlignLayout::Client:
        return {m.left(), m.top(), (area.width() - m.left() - m.right()) / scale_.x(),
                (area.height() - m.top() - m.bottom()) / scale_.y()};
    case TAlignLayout::Center: {
        const double boxW = own.width() * scale_.x() + m.left() + m.right();
        const double boxH = own.height() * scale_.y() + m.top() + m.bottom();
        return {std::trunc((area.width() - boxW) / 2) + m.left(),
                std::trunc((area.height() - boxH) / 2) + m.top(), own.width(), own.height()};
    }
    default:
        return stackedRect(area, own);
    }
}

QPointF TElement::Position() const {
    return alignedRect().topLeft();
}
double TElement::Width() const {
    return alignedRect().width();
}
double TElement::Height() const {
    return alignedRect().height();
}

QTransform TElement::LocalToParent() const {
    const QRectF r = alignedRect();
    QTransform t;
    t.translate(r.x(), r.y());
    t.scale(scale_.x(), scale_.y());
    if (rotation_ != 0) {
        t.translate(r.width() / 2, r.height() / 2);
        t.rotate(rotation_);
        t.translate(-r.width() / 2, -r.height() / 2);
    }
    return t;
}

QTransform TElement::LocalToScene() const {
    QTransform t = LocalToParent();
    for (const TElement* p = parent_; p; p = p->parent_)
        t *= p->LocalToParent();
    return t;
}

bool TElement::isVisibleInScene() const {
    for (const TElement* e = this; e; e = e->parent_)
        if (!e->visible_)
            return false;
    return true;
}

template <class T> static T* findEffect(const std::vector<std::unique_ptr<TEffect>>& effects) {
    for (const auto& effect : effects)
        if (auto* found = dynamic_cast<T*>(effect.get()))
            return found;
    return nullptr;
}

TShadowEffect* TElement::shadow() const {
    return findEffect<TShadowEffect>(effects_);
}
TBlurEffect* TElement::blur() const {
    return findEffect<TBlurEffect>(effects_);
}
TInvertEffect* TElement::invert() const {
    return findEffect<TInvertEffect>(effects_);
}

void TElement::mouseDown(Qt::MouseButtons buttons, QPointF local) {
    if (OnMouseDown)
        OnMouseDown(this, buttons, local);
}
void TElement::mouseMove(Qt::MouseButtons buttons, QPointF local) {
    if (OnMouseMove)
        OnMouseMove(this, buttons, local);
}
void TElement::mouseUp(Qt::MouseButtons buttons, QPointF local) {
    if (OnMouseUp)
        OnMouseUp(this, buttons, local);
}

// ---- effects

void TEffect::setEnabled(bool enabled) {
    assign(enabled_, enabled);
}
quint64 TEffect::lookKey(quint64 seed) const {
    return qHashMulti(seed, typeid(*this).hash_code(), enabled_);
}
quint64 TShadowEffect::lookKey(quint64 seed) const {
    return qHashMulti(TEffect::lookKey(seed), distance_, softness_, opacity_, color_.rgba());
}
quint64 TBlurEffect::lookKey(quint64 seed) const {
    return qHashMulti(TEffect::lookKey(seed), softness_);
}
void TEffect::changed() {
    owner_.changed();
}
void TEffect::moved() {
    owner_.moved();
}

// ---- rectangle

void TRectangle::setFillColor(QColor color) {
    if (assign(fill_, color))
        changed();
}
void TRectangle::setStrokeColor(QColor color) {
    if (assign(stroke_, color))
        changed();
}
void TRectangle::setStrokeThickness(double thickness) {
    if (assign(strokeThickness_, thickness))
        changed();
}
quint64 TRectangle::ownLookKey(quint64 seed) const {
    return qHashMulti(seed, fill_.rgba(), stroke_.rgba(), strokeThickness_);
}

// ---- image

bool TImage::setEncoded(QByteArray bytes) {
    const TPicture picture = TPicture::fromEncoded(std::move(bytes));
    if (picture.isNull())
        return false;
    setPicture(picture);
    return true;
}

void TImage::setPicture(const TPicture& picture) {
    if (picture_ == picture)
        return;
    picture_ = picture;
    changed();
}

// The file's bytes are kept once they decode; a picture that fails to decode keeps the old one.
bool TImage::loadFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const TPicture picture = TPicture::fromEncoded(file.readAll());
    if (picture.isNull() || picture.decoded().isNull())
        return false;
    setPicture(picture);
    return true;
}

bool TImage::saveToFile(const QString& path) const {
    const QImage picture = Bitmap();
    return !picture.isNull() && picture.save(path, "PNG");
}

quint64 TImage::ownLookKey(quint64 seed) const {
    return qHashMulti(seed, picture_.key(), int(wrapMode_));
}

void TImage::setWrapMode(TImageWrapMode mode) {
    if (assign(wrapMode_, mode))
        changed();
}

QRectF TImage::pictureRect() const {
    const QRectF box = LocalRect();
    if (picture_.isNull())
        return {};
    const QSizeF picture = picture_.size();
    switch (wrapMode_) {
    case TImageWrapMode::Stretch:
        return box;
    case TImageWrapMode::Original:
        return {box.topLeft(), picture};
    case TImageWrapMode::Fit:
        break;
    }
    const double k = std::min(box.width() / picture.width(), box.height() / picture.height());
    const QSizeF fitted = picture * k;
    return {box.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted};
}

// ---- label

void TLabel::setText(const QString& text) {
    if (assign(text_, text))
        autoSize_ ? geometryChanged() : changed();
}
void TLabel::setFontFamily(const QString& family) {
    if (assign(family_, family))
        autoSize_ ? geometryChanged() : changed();
}
void TLabel::setFontSize(double size) {
    if (assign(fontSize_, size))
        autoSize_ ? geometryChanged() : changed();
}
void TLabel::setBold(bool bold) {
    if (assign(bold_, bold))
        autoSize_ ? geometryChanged() : changed();
}
void TLabel::setFontColor(QColor color) {
    if (assign(color_, color))
        changed();
}
void TLabel::setTextAlign(Qt::Alignment align) {
    if (assign(textAlign_, align))
        changed();
}
void TLabel::setAutoSize(bool on) {
    if (assign(autoSize_, on))
        geometryChanged();
}
quint64 TLabel::ownLookKey(quint64 seed) const {
    return qHashMulti(seed, text_, family_, fontSize_, bold_, color_.rgba(), int(textAlign_), autoSize_);
}

// Font sizes are in scene units: one unit is one pixel at 96 dots per inch.
QFont TLabel::font() const {
    QFont f(family_);
    f.setPointSizeF(std::max(1.0, fontSize_) * 72.0 / 96.0);
    f.setBold(bold_);
    return f;
}

QSizeF TLabel::autoSize() const {
    return naturalSize() * textScale();
}

void TLabel::setFitCircle(const TElement& frame, QPointF centre, double radius) {
    fitFrame_ = &frame;
    fitCentre_ = centre;
    fitRadius_ = radius;
    if (autoSize_)
        geometryChanged();
}

namespace {
// The point of a line's box that stays put when the line shrinks, as fractions of the box.
QPointF shrinkAnchor(TAlignLayout align) {
    switch (align) {
    case TAlignLayout::Top:
        return {0.5, 0};
    case TAlignLayout::Bottom:
        return {0.5, 1};
    case TAlignLayout::Left:
        return {0, 0.5};
    case TAlignLayout::Right:
        return {1, 0.5};
    case TAlignLayout::Center:
        return {0.5, 0.5};
    default:
        return {0, 0};
    }
}
} // namespace

double TLabel::textScale() const {
    const QSizeF natural = naturalSize();
    if (!autoSize_ || fitRadius_ <= 0 || natural.isEmpty() || text_.isEmpty())
        return 1;
    QTransform toFrame;
    const TElement* ancestor = Parent();
    for (; ancestor && ancestor != fitFrame_; ancestor = ancestor->Parent())
        toFrame *= ancestor->LocalToParent();
    if (!ancestor)
        return 1;
    const QRectF whole = alignedRectFor(natural);
    // Layout asks for it on every placement of the line and of its aligned siblings.
    const quint64 key = qHashMulti(measuredKey_, whole.x(), whole.y(), toFrame.m11(), toFrame.m12(),
                                   toFrame.m21(), toFrame.m22(), toFrame.dx(), toFrame.dy(), Scale().x(),
                                   Scale().y(), fitCentre_.x(), fitCentre_.y(), fitRadius_, int(Align()));
    if (key == fitKey_)
        return fitScale_;
    fitKey_ = key;
    fitScale_ = fittingScale(natural, whole, toFrame);
    return fitScale_;
}

double TLabel::fittingScale(QSizeF natural, const QRectF& whole, const QTransform& toFrame) const {
    const QPointF at = shrinkAnchor(Align());
    const QSizeF drawn(natural.width() * Scale().x(), natural.height() * Scale().y());
    const QPointF anchor = whole.topLeft() + QPointF(at.x() * drawn.width(), at.y() * drawn.height());
    const auto fits = [&](double k) {
        const QRectF box(anchor - QPointF(at.x() * drawn.width() * k, at.y() * drawn.height() * k),
                         drawn * k);
        for (const QPointF& corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
            if (QLineF(toFrame.map(corner), fitCentre_).length() > fitRadius_)
                return false;
        return true;
    };
    // A line placed outside the circle has nothing to fit into: it keeps its size.
    if (fits(1) || !fits(1e-9))
        return 1;
    double inside = 1e-9, outside = 1;
    for (int i = 0; i < 40; ++i) {
        const double k = (inside + outside) / 2;
        (fits(k) ? inside : outside) = k;
    }
    return inside;
}

QSizeF TLabel::naturalSize() const {
    static const QImage measuringDevice = [] {
        QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
        device.setDotsPerMeterX(3780);
        device.setDotsPerMeterY(3780);
        return device;
    }();
    // Layout asks for it on every placement of the label and of its aligned siblings.
    const quint64 key = qHashMulti(0, text_, family_, fontSize_, bold_);
    if (key != measuredKey_ || !measured_.isValid()) {
        const QFontMetricsF metrics(font(), &measuringDevice);
        measured_ = {metrics.horizontalAdvance(text_) + 4, metrics.height()};
        measuredKey_ = key;
    }
    return measured_;
}

// ---- arc

// The angles only lengthen or shorten the stroke, so the view repaints just the ends that moved.
void TArc::setStartAngle(float degrees) {
    if (assign(startAngle_, degrees))
        moved();
}
void TArc::setEndAngle(float sweep) {
    if (assign(endAngle_, sweep))
        moved();
}
void TArc::setStrokeColor(QColor color) {
    if (assign(stroke_, color))
        changed();
}
void TArc::setStrokeThickness(double thickness) {
    if (assign(thickness_, thickness))
        changed();
}
void TArc::setRoundCaps(bool on) {
    if (assign(roundCaps_, on))
        changed();
}
quint64 TArc::ownLookKey(quint64 seed) const {
    return qHashMulti(seed, stroke_.rgba(), thickness_, roundCaps_);
}

// ---- arc dial

double TArcDial::normalized(double degrees) {
    double v = std::fmod(degrees, 360.0);
    if (v > 180)
        v -= 360;
    else if (v <= -180)
        v += 360;
    return v;
}

void TArcDial::setValue(double degrees) {
    if (!assign(value_, normalized(degrees)))
        return;
    changed();
    if (OnChange)
        OnChange(this);
}

quint64 TArcDial::ownLookKey(quint64 seed) const {
    return qHashMulti(seed, value_);
}

void TArcDial::followPointer(QPointF local) {
    const QPointF centre = LocalRect().center();
    const double radians = std::atan2(-(local.y() - centre.y()), local.x() - centre.x());
    setValue(radians * 180.0 / std::numbers::pi);
}

void TArcDial::mouseDown(Qt::MouseButtons buttons, QPointF local) {
    if (buttons & Qt::LeftButton)
        followPointer(local);
    TElement::mouseDown(buttons, local);
}

void TArcDial::mouseMove(Qt::MouseButtons buttons, QPointF local) {
    if (buttons & Qt::LeftButton)
        followPointer(local);
    TElement::mouseMove(buttons, local);
}

// ---- scene

TScene::TScene(QSizeF size) : root_(std::make_unique<TLayout>(QStringLiteral("Root"))) {
    root_->setSize(size.width(), size.height());
    root_->attachScene(this);
}

TScene::~TScene() {
    alive_ = false;
    root_.reset();
}

void TScene::elementChanged(TElement& element) {
    if (alive_ && listener_)
        listener_(element);
}

static TElement* hitIn(TElement& element, QPointF parentPoint, const QTransform& toParent) {
    if (!element.Visible())
        return nullptr;
    const QTransform toScene = element.LocalToParent() * toParent;
    bool invertible = false;
    const QPointF local = toScene.inverted(&invertible).map(parentPoint);
    if (!invertible)
        return nullptr;
    const auto& children = element.Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (TElement* hit = hitIn(**it, parentPoint, toScene))
            return hit;
    if (element.HitTest() && element.LocalRect().marginsAdded(element.TouchTargetExpansion()).contains(local))
        return &element;
    return nullptr;
}

TElement* TScene::hitTest(QPointF scenePoint) const {
    return hitIn(*root_, scenePoint, QTransform());
}
