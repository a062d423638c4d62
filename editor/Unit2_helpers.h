#pragma once

#include <QLabel>

// Small steps the editor's builders share.
namespace editor {

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
