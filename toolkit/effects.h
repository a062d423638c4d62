#pragma once

#include "toolkit/tobject.h"

#include <QColor>

class TElement;

// Effects belong to one element and change how it is drawn; every setter reports a real change.
class TEffect : public TObject {
public:
    TEffect(TElement& owner, const QString& name) : TObject(name), owner_(owner) {}
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    TElement& owner() const { return owner_; }
    // What the effect draws from, for the owner's look key; a shadow's direction is a movement.
    virtual quint64 lookKey(quint64 seed) const;

protected:
    void changed();
    void moved();
    template <class T> void assign(T& field, const T& value) {
        if (field == value)
            return;
        field = value;
        changed();
    }

private:
    TElement& owner_;
    bool enabled_ = true;
};

// A soft silhouette offset by Distance toward Direction, both measured in the owner's own frame.
class TShadowEffect : public TEffect {
public:
    using TEffect::TEffect;
    float Direction() const { return direction_; }
    void setDirection(float degrees) {
        if (direction_ == degrees)
            return;
        direction_ = degrees;
        moved();
    }
    double Distance() const { return distance_; }
    void setDistance(double distance) { assign(distance_, distance); }
    double Softness() const { return softness_; }
    void setSoftness(double softness) { assign(softness_, softness); }
    double Opacity() const { return opacity_; }
    void setOpacity(double opacity) { assign(opacity_, opacity); }
    QColor ShadowColor() const { return color_; }
    void setShadowColor(QColor color) { assign(color_, color); }
    quint64 lookKey(quint64 seed) const override;

private:
    float direction_ = 45;
    double distance_ = 3;
    double softness_ = 0.3;
    double opacity_ = 0.6;
    QColor color_ = Qt::black;
};

class TBlurEffect : public TEffect {
public:
    using TEffect::TEffect;
    double Softness() const { return softness_; }
    void setSoftness(double softness) { assign(softness_, softness); }
    quint64 lookKey(quint64 seed) const override;

private:
    double softness_ = 0.3;
};

class TInvertEffect : public TEffect {
public:
    using TEffect::TEffect;
};
