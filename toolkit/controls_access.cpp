#include "toolkit/controls.h"

#include <vector>

void describe(QWidget& control, const QString& name, const QString& tip, const QString& more) {
    const QString description = more.isEmpty() ? tip : tip + u' ' + more;
    for (QWidget* widget = &control; widget && (widget == &control || control.isAncestorOf(widget));
         widget = widget->focusProxy()) {
        widget->setAccessibleName(name);
        widget->setToolTip(tip);
        if (!more.isEmpty())
            widget->setAccessibleDescription(description);
    }
}

void chainTabOrder(std::initializer_list<QWidget*> widgets) {
    // Qt ignores a link to or from a widget without focus, which would cut the chain in two.
    std::vector<QWidget*> stops;
    for (QWidget* widget : widgets)
        if (widget && widget->focusPolicy() != Qt::NoFocus)
            stops.push_back(widget);
    for (std::size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1], stops[i]);
}
