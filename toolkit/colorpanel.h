#pragma once

#include "toolkit/tobject.h"

#include <QImage>
#include <QWidget>
#include <QtGui/qrgb.h>

// Edits an ARGB colour: a square of saturation (left to right) and luminance (bottom to top) for
// the current hue, a hue bar and an alpha bar beside it, all dragged with the left button.
//
// The stored value is the ARGB colour itself. Hue, saturation and luminance only place the markers;
// the colour is rebuilt from them only when the user drags in the square or the hue bar, so a colour
// set from code reads back exactly, and dragging the alpha bar leaves red, green and blue alone.
class TColorPanel : public QWidget, public TObject {
    Q_OBJECT
public:
    TColorPanel(QWidget* parent, const QString& name, QRgb color = 0xFFFFFFFF);

    QRgb Color() const { return color_; }
    void setColor(QRgb color);

    // Where the markers stand, each 0 to 1 (the hue as a fraction of the full turn).
    double Hue() const { return hue_; }
    double Saturation() const { return saturation_; }
    double Luminance() const { return luminance_; }

    // The areas the user drags in, in widget coordinates.
    QRect squareArea() const;
    QRect hueArea() const;
    QRect alphaArea() const;

    QSize sizeHint() const override { return {260, 150}; }
    QSize minimumSizeHint() const override { return {120, 80}; }

    TNotifyEvent OnChange;

    // The HSL model the panel uses; each component 0 to 1.
    static QRgb fromHsl(double hue, double saturation, double luminance, int alpha = 255);
    static void toHsl(QRgb color, double& hue, double& saturation, double& luminance);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Part { None, Square, Hue, Alpha };

    Part partAt(QPoint point) const;
    void dragTo(QPoint point);
    void store(QRgb color);
    void deriveMarkers();
    const QImage& squarePicture(QSize size, qreal ratio);

    QRgb color_;
    double hue_ = 0;
    double saturation_ = 0;
    double luminance_ = 1;
    Part dragging_ = Part::None;
    QImage square_;
    double squareHue_ = -1;
};
