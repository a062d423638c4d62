#pragma once

#include "toolkit/element.h"

#include <QLabel>

// Small steps the editor's handlers and builders share.
namespace editor {

// Square pictures grow and shrink about their centre: width first, then height.
inline void setSize(TElement& element, float size) {
    element.setWidth(size);
    element.setHeight(size);
}

inline void setLeftMargin(TElement& element, float left) {
    QMarginsF margins = element.Margins();
    margins.setLeft(left);
    element.setMargins(margins);
}

inline void setTopMargin(TElement& element, float top) {
    QMarginsF margins = element.Margins();
    margins.setTop(top);
    element.setMargins(margins);
}

inline QLabel& caption(QWidget& parent, const QString& text, const QRect& geometry, bool bold = false) {
    auto* label = new QLabel(text, &parent);
    label->setGeometry(geometry);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return *label;
}

} // namespace editor
