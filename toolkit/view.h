#pragma once

#include "toolkit/renderer.h"

#include <QTimer>
#include <QWidget>
#include <unordered_map>

// Shows a scene in a widget at the screen's own resolution (its device pixel ratio, fractional
// ones too). Changes are collected and only the screen areas that an element covered before and
// covers now are painted again; while animations run the clock steps them at the display's rate.
// Pointer events go to the element under the pointer in its own coordinates; a pressed button
// captures the pointer for that element.
class TSceneView : public QWidget {
public:
    TSceneView(TScene& scene, QWidget* parent);
    ~TSceneView() override;

    TScene& scene() { return scene_; }
    const TSceneRenderer& renderer() const { return renderer_; }
    // Renders the whole scene into a picture of the view's size times `ratio` device pixels per
    // unit, as a screen of that ratio shows it (tests, benchmark).
    QImage grabScene(qreal ratio = 1);
    // Number of paint events so far (benchmarks and tests watch it).
    int paintCount() const { return paintCount_; }
    // Device pixels per scene unit the view paints at: the widget's device pixel ratio.
    qreal ratio() const { return ratio_; }
    // Collects pending changes now and returns every area, in device pixels, asked to be repainted
    // since the last call.
    QRegion takeDamage();
    // Paints only `area` (device pixels) of the scene onto `canvas`, as a partial repaint would.
    void renderArea(QImage& canvas, const QRegion& area);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // What was last asked to be painted for one element.
    struct Painted {
        QTransform transform;
        QPointF shadowShift;
        quint64 look = 0; // lookKey() when recorded
        int index = -1;
        bool visible = false;
        QRect own;     // screen box of the element itself
        QRegion area;  // what it covers, closer than the box for a long element turned aslant
        QRect subtree; // and with everything below it
        float arcStart = 0;
        float arcSweep = 0;
    };

    // An opaque picture drawn after the elements numbered up to `after` hides them in `region`.
    struct Occluder {
        int order = 0;
        QRect bounds;
        QRegion region;
        // A turned picture's cover is worked out only once some damage below it needs it.
        const TImage* turned = nullptr;
        QTransform toDevice;
    };
    struct OccluderShape {
        quint64 picture = 0;
        QTransform transform;
        QRectF pictureRect;
        QRegion region;
    };

    void elementChanged(TElement& element);
    void collectOccluders(const TElement& element, const QTransform& parentToDevice, double opacity,
                          bool inLayer, int& order);
    // Damages `area` where nothing opaque drawn after element number `after` covers it.
    void addDamage(const QRegion& area, int after);
    int orderAfter(const TElement& element, bool subtree) const;
    const QRegion& turnedCoverOf(Occluder& occluder);
    void flushDamage();
    void ensureBounds();
    QRect record(const TElement& element, const QTransform& parentToDevice, bool visible);
    QRect inspect(const TElement& element, const QTransform& parentToDevice, bool visible);
    Painted paintedNow(const TElement& element, const QTransform& toDevice, bool visible);
    QTransform parentToDevice(const TElement& element) const;
    QTransform sceneToDevice() const { return QTransform::fromScale(ratio_, ratio_); }
    QRegion toDevice(const QRegion& logical) const;
    QRegion toLogical(const QRegion& device) const;
    void render(QImage& canvas, const QRegion& area, const QTransform& sceneToCanvas,
                TSceneRenderer& renderer);
    void refine();
    QPointF toLocal(const TElement& element, QPointF viewPoint) const;
    void updateCursor(QPointF viewPoint);

    TScene& scene_;
    TSceneRenderer renderer_;
    std::unordered_map<const TElement*, Painted> painted_;
    std::vector<TElement*> dirty_; // a handful a frame; kept as a vector so frames allocate nothing
    std::vector<Occluder> occluders_;
    // Paint order of the elements drawn at the last flush: own number, last in subtree, and that
    // flush's number; kept from flush to flush, so a frame allocates nothing for it.
    struct Order {
        int own = 0;
        int last = 0;
        quint64 flush = 0;
    };
    std::unordered_map<const TElement*, Order> order_;
    quint64 flushes_ = 0;
    std::unordered_map<const TElement*, OccluderShape> shapes_;
    QRegion damage_;
    QRegion requested_;
    QImage frame_; // what the widget shows, kept between partial repaints
    bool flushQueued_ = false;
    bool boundsKnown_ = false;
    TElement* capture_ = nullptr;
    int paintCount_ = 0;
    qreal ratio_ = 1;
    // Paints exactly, once a picture's size has held still, what was drawn approximately.
    QTimer refineTimer_;
    bool refining_ = false;
    quint64 resizesSeen_ = 0;
};
