#pragma once

#include "toolkit/picture.h"
#include "toolkit/tobject.h"

#include <QColor>
#include <QImage>
#include <QMarginsF>
#include <QPointF>
#include <QRectF>
#include <QTransform>
#include <memory>
#include <vector>

class TElement;
class TEffect;
class TShadowEffect;
class TBlurEffect;
class TInvertEffect;
class TFloatAnimation;
class TScene;

enum class TAlignLayout { None, Top, Left, Right, Bottom, Client, Center };

using TMouseEvent = std::function<void(TObject* sender, Qt::MouseButtons buttons, QPointF local)>;

// A node of a window's scene. Geometry is in the parent's units; a child is drawn in the parent's
// rotated and scaled frame, later siblings on top. Every real change is reported to the scene so
// that the view repaints only what moved.
class TElement : public TObject {
public:
    explicit TElement(const QString& name);
    ~TElement() override;

    // Ownership of children, effects and animations stays with this element.
    template <class T, class... Args> T& add(Args&&... args) {
        auto child = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *child;
        adopt(std::move(child));
        return ref;
    }
    template <class T, class... Args> T& addEffect(Args&&... args) {
        auto effect = std::make_unique<T>(*this, std::forward<Args>(args)...);
        T& ref = *effect;
        effects_.push_back(std::move(effect));
        changed();
        return ref;
    }
    TFloatAnimation& addAnimation(std::unique_ptr<TFloatAnimation> animation);

    TElement* Parent() const { return parent_; }
    const std::vector<std::unique_ptr<TElement>>& Children() const { return children_; }
    const std::vector<std::unique_ptr<TEffect>>& Effects() const { return effects_; }
    int IndexInParent() const;
    void BringToFront();
    void SendToBack();

    bool Visible() const { return visible_; }
    void setVisible(bool visible);
    float RotationAngle() const { return rotation_; }
    void setRotationAngle(float degrees);
    QPointF Position() const;
    void setPosition(QPointF position);
    double Width() const;
    double Height() const;
    void setWidth(double width) { setSize(width, height_); }
    void setHeight(double height) { setSize(width_, height); }
    void setSize(double width, double height);
    QPointF Scale() const { return scale_; }
    void setScale(QPointF scale);
    QMarginsF Margins() const { return margins_; }
    void setMargins(QMarginsF margins);
    double Opacity() const { return opacity_; }
    void setOpacity(double opacity);
    TAlignLayout Align() const { return align_; }
    void setAlign(TAlignLayout align);

    bool HitTest() const { return hitTest_; }
    void setHitTest(bool hitTest) { hitTest_ = hitTest; }
    QMarginsF TouchTargetExpansion() const { return touchExpansion_; }
    void setTouchTargetExpansion(QMarginsF expansion) { touchExpansion_ = expansion; }
    Qt::CursorShape Cursor() const { return cursor_; }
    void setCursor(Qt::CursorShape cursor) {
        cursor_ = cursor;
        hasCursor_ = true;
    }
    bool hasCursor() const { return hasCursor_; }

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseMove;
    TMouseEvent OnMouseUp;

    // Local rectangle (0, 0, Width, Height) and the map from local units to the parent's.
    QRectF LocalRect() const { return {0, 0, Width(), Height()}; }
    QTransform LocalToParent() const;
    QTransform LocalToScene() const;
    bool isVisibleInScene() const;

    TShadowEffect* shadow() const;
    TBlurEffect* blur() const;
    TInvertEffect* invert() const;

    // Pointer handling used by the view; controls such as the arc dial override these.
    virtual void mouseDown(Qt::MouseButtons buttons, QPointF local);
    virtual void mouseMove(Qt::MouseButtons buttons, QPointF local);
    virtual void mouseUp(Qt::MouseButtons buttons, QPointF local);

    void attachScene(TScene* scene) { scene_ = scene; }
    TScene* scene() const;
    // Reports a change of what this element (and its subtree) looks like.
    void changed();
    // Reports a change of where it lies only (a turn, a shadow's direction); the view may let a
    // movement of a fraction of a pixel wait until it adds up.
    void moved();
    // What the element itself looks like, placement and effects included, turn and shadow
    // direction left out: equal keys draw the same. Caches compare keys rather than count
    // changes, so a value set and set back, or an element hidden and shown again, costs nothing.
    quint64 lookKey() const;

protected:
    // Adds what a kind of element draws from to its look key.
    virtual quint64 ownLookKey(quint64 seed) const { return seed; }
    // Natural size for elements that size themselves (labels fitted to their text).
    virtual bool autoSized() const { return false; }
    virtual QSizeF autoSize() const { return {width_, height_}; }
    // Geometry of a sibling that moves along when this element changes (aligned siblings).
    void geometryChanged();
    // Where the element would lie in its parent were its own size this one.
    QRectF alignedRectFor(QSizeF own) const;

private:
    void report();
    void adopt(std::unique_ptr<TElement> child);
    void moveInParent(bool toFront);
    QRectF alignedRect() const;
    QRectF stackedRect(const QRectF& area, QSizeF own) const;

    TElement* parent_ = nullptr;
    TScene* scene_ = nullptr;
    std::vector<std::unique_ptr<TElement>> children_;
    std::vector<std::unique_ptr<TEffect>> effects_;
    std::vector<std::unique_ptr<TFloatAnimation>> animations_;
    bool visible_ = true;
    float rotation_ = 0;
    QPointF position_;
    double width_ = 0;
    double height_ = 0;
    QPointF scale_{1, 1};
    QMarginsF margins_;
    double opacity_ = 1;
    TAlignLayout align_ = TAlignLayout::None;
    bool hitTest_ = false;
    QMarginsF touchExpansion_;
    Qt::CursorShape cursor_ = Qt::ArrowCursor;
    bool hasCursor_ = false;
};

class TLayout : public TElement {
public:
    using TElement::TElement;
};

class TRectangle : public TElement {
public:
    using TElement::TElement;
    QColor FillColor() const { return fill_; }
    void setFillColor(QColor color);
    QColor StrokeColor() const { return stroke_; }
    void setStrokeColor(QColor color);
    double StrokeThickness() const { return strokeThickness_; }
    void setStrokeThickness(double thickness);

protected:
    quint64 ownLookKey(quint64 seed) const override;

private:
    QColor fill_ = Qt::white;
    QColor stroke_ = Qt::black;
    double strokeThickness_ = 1;
};

enum class TImageWrapMode { Fit, Stretch, Original };

// An image element. Its picture is best set as encoded bytes (setEncoded): the renderer then
// decodes it straight to the size it is shown at and keeps only that, decoding again from the
// bytes when the size changes.
class TImage : public TElement {
public:
    using TElement::TElement;
    // The whole picture at its own size; decoded on each call when held encoded, not kept.
    QImage Bitmap() const { return picture_.decoded(); }
    void setBitmap(const QImage& image) { setPicture(TPicture::fromImage(image)); }
    // Keeps the bytes of a picture file (shared, not copied) and reads only its header; false,
    // with the picture kept, when no picture size can be read from them.
    bool setEncoded(QByteArray bytes);
    const TPicture& Picture() const { return picture_; }
    void setPicture(const TPicture& picture);
    // Shares the other image's picture.
    void assignFrom(const TImage& other) { setPicture(other.picture_); }
    bool loadFromFile(const QString& path);
    bool saveToFile(const QString& path) const;
    void clear() { setPicture(TPicture()); }
    bool isEmpty() const { return picture_.isNull(); }
    QSize pictureSize() const { return picture_.size(); }
    TImageWrapMode WrapMode() const { return wrapMode_; }
    void setWrapMode(TImageWrapMode mode);
    // Where the picture lands in local units.
    QRectF pictureRect() const;

protected:
    quint64 ownLookKey(quint64 seed) const override;

private:
    TPicture picture_;
    TImageWrapMode wrapMode_ = TImageWrapMode::Fit;
};

class TLabel : public TElement {
public:
    using TElement::TElement;
    const QString& Text() const { return text_; }
    void setText(const QString& text);
    const QString& FontFamily() const { return family_; }
    void setFontFamily(const QString& family);
    double FontSize() const { return fontSize_; }
    void setFontSize(double size);
    bool Bold() const { return bold_; }
    void setBold(bool bold);
    QColor FontColor() const { return color_; }
    void setFontColor(QColor color);
    Qt::Alignment TextAlign() const { return textAlign_; }
    void setTextAlign(Qt::Alignment align);
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    QFont font() const;
    // Keeps a line sized to its text inside a circle given in an ancestor's units: a line too wide
    // for the circle where it stands is scaled down as a whole, never cut and never wrapped.
    void setFitCircle(const TElement& frame, QPointF centre, double radius);
    // The text's own size, and how far it is scaled down to fit (1 when it fits as it is).
    QSizeF naturalSize() const;
    double textScale() const;

protected:
    quint64 ownLookKey(quint64 seed) const override;
    bool autoSized() const override { return autoSize_; }
    QSizeF autoSize() const override;

private:
    double fittingScale(QSizeF natural, const QRectF& whole, const QTransform& toFrame) const;

    QString text_;
    QString family_ = QStringLiteral("Sans Serif");
    double fontSize_ = 12;
    bool bold_ = false;
    QColor color_ = Qt::black;
    Qt::Alignment textAlign_ = Qt::AlignCenter;
    bool autoSize_ = false;
    mutable QSizeF measured_;
    mutable quint64 measuredKey_ = 0;
    const TElement* fitFrame_ = nullptr; // compared only, found among the ancestors
    QPointF fitCentre_;
    double fitRadius_ = 0;
    mutable quint64 fitKey_ = 0;
    mutable double fitScale_ = 1;
};

// An arc stroked inside the element's box; angles count clockwise from 3 o'clock. A change of
// its angles is reported as a movement, like a turn: its look key leaves them out.
class TArc : public TElement {
public:
    using TElement::TElement;
    float StartAngle() const { return startAngle_; }
    void setStartAngle(float degrees);
    float EndAngle() const { return endAngle_; }
    void setEndAngle(float sweep);
    QColor StrokeColor() const { return stroke_; }
    void setStrokeColor(QColor color);
    double StrokeThickness() const { return thickness_; }
    void setStrokeThickness(double thickness);
    bool RoundCaps() const { return roundCaps_; }
    void setRoundCaps(bool on);

protected:
    quint64 ownLookKey(quint64 seed) const override;

private:
    float startAngle_ = 0;
    float endAngle_ = 90;
    QColor stroke_ = Qt::black;
    double thickness_ = 1;
    bool roundCaps_ = false;
};

// A dial turned by dragging around its centre; the value counts counter-clockwise from 3 o'clock.
class TArcDial : public TElement {
public:
    using TElement::TElement;
    double Value() const { return value_; }
    void setValue(double degrees);
    static double normalized(double degrees);
    TNotifyEvent OnChange;

    void mouseDown(Qt::MouseButtons buttons, QPointF local) override;
    void mouseMove(Qt::MouseButtons buttons, QPointF local) override;

protected:
    quint64 ownLookKey(quint64 seed) const override;

private:
    void followPointer(QPointF local);
    double value_ = 0;
};
