#include "toolkit/controls.h"

#include <QApplication>
#include <QPainter>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

constexpr int ItemPaddingX = 6;
constexpr int ItemPaddingY = 2;
constexpr qreal DetailScale = 0.85;
constexpr qreal DetailOpacity = 0.6;

void requireItem(int index, int count, const char* where) {
    if (index < 0 || index >= count)
        throw std::out_of_range(std::string(where) + ": no item " + std::to_string(index) + " among " +
                                std::to_string(count));
}

QFont detailFont(QFont font) {
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * DetailScale);
    else
        font.setPixelSize(std::max(1, int(font.pixelSize() * DetailScale)));
    return font;
}

QString detailOf(const QModelIndex& index) {
    return index.data(TTextDetailDelegate::DetailRole).toString();
}

} // namespace

void TTextDetailDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    const QString detail = detailOf(index);

    // The style draws the row's background, selection and focus; the two lines are ours.
    item.text.clear();
    const QWidget* view = item.widget;
    const QStyle* style = view ? view->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, view);

    const QFont smallFont = detailFont(item.font);
    const QFontMetrics textMetrics(item.font);
    const QFontMetrics detailMetrics(smallFont);
    const int blockHeight = textMetrics.height() + (detail.isEmpty() ? 0 : detailMetrics.height());
    const QRect content = item.rect.adjusted(ItemPaddingX, 0, -ItemPaddingX, 0);
    const int top = content.top() + (content.height() - blockHeight) / 2;

    const QPalette::ColorGroup group =
        item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    const QColor textColor = item.palette.color(
        group, item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text);
    QColor detailColor = textColor;
    detailColor.setAlphaF(DetailOpacity);

    painter->save();
    painter->setFont(item.font);
    painter->setPen(textColor);
    const QRect textLine(content.left(), top, content.width(), textMetrics.height());
    painter->drawText(textLine, Qt::AlignLeft | Qt::AlignVCenter,
                      textMetrics.elidedText(text, Qt::ElideRight, content.width()));
    if (!detail.isEmpty()) {
        painter->setFont(smallFont);
        painter->setPen(detailColor);
        const QRect detailLine(content.left(), textLine.bottom() + 1, content.width(),
                               detailMetrics.height());
        painter->drawText(detailLine, Qt::AlignLeft | Qt::AlignVCenter,
                          detailMetrics.elidedText(detail, Qt::ElideRight, content.width()));
    }
    painter->restore();
}

QSize TTextDetailDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString detail = detailOf(index);
    const QFontMetrics textMetrics(item.font);
    const QFontMetrics detailMetrics(detailFont(item.font));
    const int width =
        std::max(textMetrics.horizontalAdvance(item.text), detailMetrics.horizontalAdvance(detail));
    const int naturalHeight = textMetrics.height() + (detail.isEmpty() ? 0 : detailMetrics.height());
    return {width + 2 * ItemPaddingX, rowHeight_ > 0 ? rowHeight_ : naturalHeight + 2 * ItemPaddingY};
}

// currentIndexChanged fires only for a real change, after it is stored, for a user's pick and for
// setCurrentIndex alike: one path serves the user and the code.
TComboBox::TComboBox(QWidget* parent, const QString& name)
    : QComboBox(parent), TObject(name), delegate_(new TTextDetailDelegate(this)) {
    setObjectName(name);
    setItemDelegate(delegate_);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (OnChange)
            OnChange(this);
    });
}

void TComboBox::AddItem(const QString& text, const QString& detail) {
    const int chosen = currentIndex();
    // QComboBox picks the first item of an empty list by itself; filling the list chooses nothing.
    const QSignalBlocker quiet(this);
    addItem(text, detail);
    setCurrentIndex(chosen);
}

void TComboBox::ClearItems() {
    const QSignalBlocker quiet(this);
    clear();
}

TListItem TComboBox::Item(int index) const {
    requireItem(index, count(), "TComboBox::Item");
    return {itemText(index), itemData(index, TTextDetailDelegate::DetailRole).toString()};
}

void TComboBox::setItemIndex(int index) {
    if (index != -1)
        requireItem(index, count(), "TComboBox::setItemIndex");
    setCurrentIndex(index);
}

void TComboBox::setItemHeight(int height) {
    delegate_->setRowHeight(height);
    view()->doItemsLayout();
}

TListBox::TListBox(QWidget* parent, const QString& name)
    : QListWidget(parent), TObject(name), delegate_(new TTextDetailDelegate(this)) {
    setObjectName(name);
    setItemDelegate(delegate_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!selectingFromCode_ && OnChange)
            OnChange(this);
    });
    connect(this, &QListWidget::itemDoubleClicked, this, [this] {
        if (OnDblClick)
            OnDblClick(this);
    });
}

void TListBox::AddItem(const QString& text, const QString& detail) {
    auto* item = new QListWidgetItem(text, this);
    item->setData(TTextDetailDelegate::DetailRole, detail);
}

void TListBox::ClearItems() {
    const QScopedValueRollback quiet(selectingFromCode_, true);
    clear();
}

TListItem TListBox::Item(int index) const {
    requireItem(index, count(), "TListBox::Item");
    const QListWidgetItem* row = item(index);
    return {row->text(), row->data(TTextDetailDelegate::DetailRole).toString()};
}

int TListBox::ItemIndex() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TListBox::setItemIndex(int index) {
    if (index != -1)
        requireItem(index, count(), "TListBox::setItemIndex");
    if (index == ItemIndex())
        return;
    {
        // Selecting may take several selection signals; the change is reported once, below.
        const QScopedValueRollback quiet(selectingFromCode_, true);
        if (index == -1)
            clearSelection();
        else
            setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
    if (OnChange)
        OnChange(this);
}

void TListBox::setItemHeight(int height) {
    delegate_->setRowHeight(height);
    doItemsLayout();
}
