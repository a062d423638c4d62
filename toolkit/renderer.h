#pragma once

#include "toolkit/scene.h"

#include <QImage>
#include <QRegion>
#include <QTransform>
#include <optional>
#include <unordered_map>

class QPainter;

// Draws a scene with QPainter. Pictures are scaled once to their on-screen size and trimmed to
// their opaque box, shadows are blurred once, and rotation is only a painter transform; a picture
// that stays put under a rotation is baked into screen space and blitted. The naive mode skips all
// of that and stands as the baseline the benchmark compares against.
class TSceneRenderer {
public:
    // Device pixels a picture may be off its place on screen: a smaller movement is not painted
    // yet, and a picture baked at a turn that close is still drawn from that bake.
    static constexpr double NegligibleShift = 0.25;

    enum class Mode { Cached, Naive };
    explicit TSceneRenderer(Mode mode = Mode::Cached) : mode_(mode) {}

    void render(QPainter& painter, const TScene& scene, const QRegion& clip = {});
    // While a picture's shown size keeps changing (a Size bar dragged), draw the raster it has at
    // the new size instead of decoding the picture again every frame. approximatedElements() are
    // those drawn so since their last exact raster; resizes() counts the changes of size so met.
    void setQuickResize(bool on) { quickResize_ = on; }
    std::vector<const TElement*> approximatedElements() const;
    quint64 resizes() const { return resizes_; }
    // What the renderer keeps, for tests and benchmarks: the pixel size of the raster it holds
    // for an element (empty when none), and how many blur or invert layers it has drawn anew.
    QSize rasterSize(const TElement& element) const;
    int layersBuilt() const { return layersBuilt_; }
    // How many turned pictures it has baked into screen space, and how many arcs it has stroked.
    int bakesMade() const { return bakesMade_; }
    int arcStrokesMade() const { return arcStrokesMade_; }
    // Screen box of what an element and its children paint, under a scene-to-device transform.
    QRect subtreeBounds(const TElement& element, const QTransform& parentToDevice);
    // What the element itself paints, shadow included, in its own units.
    QRectF paintedLocalRect(const TElement& element, const QTransform& toDevice);
    // The circle, in the element's own units, that a picture and its shadow keep within however the
    // element turns about its centre; nothing until the picture has been measured.
    struct Circle {
        QPointF centre;
        double radius = 0;
    };
    std::optional<Circle> turningCircle(const TElement& element, const QTransform& toDevice);

private:
    struct Raster {
        QImage image;     // device resolution
        QRectF localRect; // where it lands in the element's units
        quint64 key = 0;  // source identity
        QSize deviceSize; // what the image was made for; it may be drawn to another size
        bool exact = true;
    };
    struct Silhouette {
        QImage image;
        int pad = 0; // raster pixels around the raster
        quint64 rasterKey = 0;
        QSize deviceSize;
        QRgb color = 0;
        int radius = -1;
    };
    struct Baked {
        QTransform transform;
        QPointF shadowShift;
        QImage image;
        QPoint topLeft;
        qint64 contentKey = 0;
        int sameFrames = 0;
    };
    struct Composite {
        qint64 key = 0;
        int sameFrames = 0;
        QImage image;
        QRectF localRect;
    };
    struct Layer {
        QImage image;
        QPoint topLeft;
        quint64 subtreeKey = 0;
        QTransform transform;
        bool valid = false;
    };
    // An arc's stroke as it lands on screen, for as long as nothing about it changes.
    struct ArcStroke {
        float start = 0;
        float sweep = 0;
        double thickness = 0;
        QRgb color = 0;
        bool roundCaps = false;
        QRectF rect;
        QTransform toDevice;
        QImage image;
        QPoint topLeft;
        bool closeTo(const TArc& arc, const QTransform& transform) const;
    };
    struct LabelKey {
        QString text;
        QString family;
        double size = 0;
        bool bold = false;
        QRgb color = 0;
        int align = 0;
        QSizeF box;
        bool operator==(const LabelKey&) const = default;
    };

    void drawElement(QPainter& painter, const TElement& element, const QTransform& parentToDevice,
                     double parentOpacity);
    void drawLayered(QPainter& painter, const TElement& element, const QTransform& toDevice, double opacity);
    const Layer& layerFor(const TElement& element, const QTransform& parentToDevice);
    void drawOwnContent(QPainter& painter, const TElement& element, const QTransform& toDevice,
                        double opacity);
    void drawRaster(QPainter& painter, const TElement& element, const Raster& raster,
                    const QTransform& toDevice, double opacity);
    const Composite* compositeFor(const TElement& element, const Raster& raster, const QTransform& toDevice);
    void drawShadow(QPainter& painter, const TElement& element, const Raster& raster,
                    const QTransform& toDevice, double opacity);
    void drawRectangle(QPainter& painter, const TRectangle& rectangle, const QTransform& toDevice,
                       double opacity);
    void drawArc(QPainter& painter, const TArc& arc, const QTransform& toDevice, double opacity);
    const ArcStroke& arcStrokeFor(const TArc& arc, const QTransform& toDevice);

    const Raster* rasterFor(const TElement& element, const QTransform& toDevice);
    const Raster* imageRaster(const TImage& image, const QTransform& toDevice);
    const Raster* labelRaster(const TLabel& label, const QTransform& toDevice);
    const Silhouette& silhouetteFor(const TElement& element, const Raster& raster,
                                    const TShadowEffect& shadow, const QTransform& toDevice);
    quint64 subtreeKey(const TElement& element, quint64 seed) const;
    QRectF contentRect(const TElement& element);
    static QRectF silhouetteRect(const Silhouette& silhouette, const Raster& raster);
    bool visibleInClip(const QRect& deviceRect) const;

    Mode mode_;
    QRegion clip_;
    bool clipAll_ = true;
    std::unordered_map<const TElement*, Raster> rasters_;
    std::unordered_map<const TElement*, Silhouette> silhouettes_;
    std::unordered_map<const TElement*, Baked> baked_;
    std::unordered_map<const TElement*, Layer> layers_;
    std::unordered_map<const TElement*, Composite> composites_;
    std::unordered_map<const TElement*, LabelKey> labelKeys_;
    std::unordered_map<const TElement*, ArcStroke> arcStrokes_;
    // The naive mode scales its sources every frame but, like a program that keeps them decoded,
    // decodes each only once.
    std::unordered_map<quint64, QImage> naiveSources_;
    quint64 nextLabelKey_ = 1;
    bool quickResize_ = false;
    std::unordered_map<const TElement*, bool> approximated_;
    quint64 resizes_ = 0;
    int layersBuilt_ = 0;
    int bakesMade_ = 0;
    int arcStrokesMade_ = 0;
};

// Blurs a premultiplied ARGB picture in place (three box passes, close to a Gaussian).
void blurImage(QImage& image, int radius);
// Where an element's shadow falls on screen relative to the element, or nothing without a shadow.
QPointF shadowShift(const TElement& element, const QTransform& toDevice);
// Largest distance, in device pixels, any corner of a box travels between two placements.
double displacement(const QTransform& from, const QTransform& to, const QRectF& box);
// Device pixels per local unit along each axis of a transform.
QSizeF deviceScale(const QTransform& t);
