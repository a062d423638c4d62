#include "toolkit/controls.h"

#include <QChildEvent>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>

namespace {

QPalette darkPalette() {
    const QColor background(0x3A, 0x3A, 0x3A);
    const QColor panel(0x46, 0x46, 0x46);
    const QColor button(0x50, 0x50, 0x50);
    const QColor accent(0x3D, 0x7E, 0xD6);
    const QColor disabledText(0x8C, 0x8C, 0x8C);

    QPalette palette;
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Base, panel);
    palette.setColor(QPalette::AlternateBase, button);
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::PlaceholderText, disabledText);
    palette.setColor(QPalette::Button, button);
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Light, button.lighter(130));
    palette.setColor(QPalette::Midlight, button.lighter(115));
    palette.setColor(QPalette::Mid, background.darker(120));
    palette.setColor(QPalette::Dark, background.darker(150));
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, accent.lighter(130));
    palette.setColor(QPalette::ToolTipBase, button);
    palette.setColor(QPalette::ToolTipText, Qt::white);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, button);
    return palette;
}

// Fusion, except that a combo box drops down a plain list: Fusion's menu-like popup would ignore
// the number of rows the program asks for.
class DarkStyle : public QProxyStyle {
public:
    DarkStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// A widget's style does not pass to its children, and a style sheet, which would, stops the
// palette from passing down. So this hands the style to every widget of the window as it gets
// polished, controls added later included.
class StyleSpreader : public QObject {
public:
    static constexpr auto Name = "darkStyleSpreader";

    StyleSpreader(QWidget& window, QStyle& style, QPalette palette)
        : QObject(&window), style_(style), palette_(std::move(palette)) {
        setObjectName(QLatin1String(Name));
    }

    void adoptTree(QWidget& root) {
        adopt(root);
        for (QWidget* child : root.findChildren<QWidget*>())
            adopt(*child);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ChildPolished)
            if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
                adoptTree(*child);
        return QObject::eventFilter(watched, event);
    }

private:
    void adopt(QWidget& widget) {
        widget.installEventFilter(this);
        // A widget given a style or palette of its own keeps it.
        if (!widget.testAttribute(Qt::WA_SetStyle))
            widget.setStyle(&style_);
        // Popups are windows of their own: the palette does not reach them by itself.
        if (widget.isWindow() && !widget.testAttribute(Qt::WA_SetPalette))
            widget.setPalette(palette_);
    }

    QStyle& style_;
    QPalette palette_;
};

} // namespace

void applyDarkStyle(QWidget& window) {
    if (window.findChild<QObject*>(QLatin1String(StyleSpreader::Name), Qt::FindDirectChildrenOnly))
        return;
    auto* style = new DarkStyle;
    style->setParent(&window);
    const QPalette palette = darkPalette();
    window.setPalette(palette);
    window.setStyle(style);
    auto* spreader = new StyleSpreader(window, *style, palette);
    spreader->adoptTree(window);
}
