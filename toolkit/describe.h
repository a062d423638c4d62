#pragma once

#include "toolkit/effects.h"
#include "toolkit/element.h"

// Helpers that let a window description read like a table: one statement per element.
struct Place {
    TAlignLayout align = TAlignLayout::None;
    QPointF at{};
    QSizeF size{};
    QMarginsF margins{};
    float rotation = 0;
    QPointF scale{1, 1};
    bool visible = true;
    bool hits = false;
};

template <class T> T& addElement(TElement& parent, const QString& name, const Place& place) {
    T& element = parent.add<T>(name);
    element.setAlign(place.align);
    element.setPosition(place.at);
    element.setSize(place.size.width(), place.size.height());
    element.setMargins(place.margins);
    element.setRotationAngle(place.rotation);
    element.setScale(place.scale);
    element.setVisible(place.visible);
    element.setHitTest(place.hits);
    return element;
}

struct ShadowLook {
    double distance = 7;
    float direction = 45;
    double softness = 0.1;
    double opacity = 0.2;
    QColor color = Qt::black;
    bool enabled = true;
};

inline TShadowEffect& addShadow(TElement& owner, const QString& name, const ShadowLook& look) {
    auto& shadow = owner.addEffect<TShadowEffect>(name);
    shadow.setDistance(look.distance);
    shadow.setDirection(look.direction);
    shadow.setSoftness(look.softness);
    shadow.setOpacity(look.opacity);
    shadow.setShadowColor(look.color);
    shadow.setEnabled(look.enabled);
    return shadow;
}

// Centred with a top margin: the element and the margin together sit in the middle of the parent.
inline Place centredBelow(QSizeF size, double topMargin) {
    return {.align = TAlignLayout::Center, .size = size, .margins = {0, topMargin, 0, 0}};
}
