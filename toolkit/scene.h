#pragma once

#include "toolkit/element.h"

#include <functional>

// One window's element tree. The root fills the view; the scene tells its listener (the view)
// about every real change so that only damaged areas are painted again.
class TScene {
public:
    explicit TScene(QSizeF size);
    ~TScene();
    TScene(const TScene&) = delete;
    TScene& operator=(const TScene&) = delete;

    TLayout& root() { return *root_; }
    const TLayout& root() const { return *root_; }

    void setChangeListener(std::function<void(TElement&)> listener) { listener_ = std::move(listener); }
    void elementChanged(TElement& element);

    // The topmost visible element that takes hits at a point of the scene, or nullptr.
    TElement* hitTest(QPointF scenePoint) const;

private:
    std::unique_ptr<TLayout> root_;
    std::function<void(TElement&)> listener_;
    bool alive_ = true;
};
