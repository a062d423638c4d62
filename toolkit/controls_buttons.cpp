#include "toolkit/controls.h"

#include <QPainter>
#include <QPointer>
#include <algorithm>

// Qt's toggled fires only when the state really changes, after it is stored, for a click and for
// setChecked alike: one path serves the user and the code.
TCheckBox::TCheckBox(QWidget* parent, const QString& name, const QString& text, bool checked)
    : QCheckBox(text, parent), TObject(name) {
    setObjectName(name);
    setChecked(checked);
    connect(this, &QCheckBox::toggled, this, [this] {
        if (OnChange)
            OnChange(this);
    });
}

TSwitch::TSwitch(QWidget* parent, const QString& name, bool checked)
    : QAbstractButton(parent), TObject(name) {
    setObjectName(name);
    setCheckable(true);
    setChecked(checked);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::toggled, this, [this] {
        if (OnChange)
            OnChange(this);
    });
}

void TSwitch::paintEvent(QPaintEvent*) {
    const QColor trackOff(0x6E, 0x6E, 0x6E);
    const QColor knob(Qt::white);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.4);

    const QRectF track = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal radius = track.height() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(isChecked() ? palette().color(QPalette::Active, QPalette::Highlight) : trackOff);
    painter.drawRoundedRect(track, radius, radius);

    const qreal margin = std::max<qreal>(2, track.height() / 8);
    const qreal knobSize = track.height() - 2 * margin;
    const qreal knobLeft = isChecked() ? track.right() - margin - knobSize : track.left() + margin;
    painter.setBrush(knob);
    painter.drawEllipse(QRectF(knobLeft, track.top() + margin, knobSize, knobSize));

    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().color(QPalette::Highlight).lighter(140), 1));
        painter.drawRoundedRect(track.adjusted(-0.5, -0.5, 0.5, 0.5), radius, radius);
    }
}

TButton::TButton(QWidget* parent, const QString& name, const QString& text)
    : QPushButton(text, parent), TObject(name) {
    setObjectName(name);
    connect(this, &QPushButton::clicked, this, [this] {
        if (OnClick)
            OnClick(this);
    });
}

TRadioGroup::~TRadioGroup() {
    for (TRadioButton* button : buttons_)
        button->group_ = nullptr;
}

TRadioButton* TRadioGroup::Checked() const {
    const auto checked = std::find_if(buttons_.begin(), buttons_.end(),
                                      [](const TRadioButton* button) { return button->isChecked(); });
    return checked == buttons_.end() ? nullptr : *checked;
}

void TRadioGroup::uncheckAll() {
    for (TRadioButton* button : buttons_)
        button->setChecked(false);
}

void TRadioGroup::add(TRadioButton& button) {
    buttons_.push_back(&button);
}

void TRadioGroup::remove(TRadioButton& button) {
    std::erase(buttons_, &button);
}

void TRadioGroup::check(TRadioButton& winner) {
    if (winner.isChecked())
        return;
    // Both states change before either handler runs, so each handler sees the group as it now is.
    QPointer<TRadioButton> loser = Checked();
    const QPointer<TRadioButton> checked = &winner;
    if (loser)
        loser->setChecked(false);
    winner.setChecked(true);
    if (loser)
        loser->notifyChange();
    // The loser's handler may already have moved the check elsewhere, or destroyed the winner.
    if (checked && checked->isChecked())
        checked->notifyChange();
}

// Qt's own exclusivity is off: it would uncheck the loser silently, and its order of toggled
// signals is not ours. The group keeps the one-checked rule and the order of events instead.
TRadioButton::TRadioButton(QWidget* parent, const QString& name, const QString& text, TRadioGroup& group)
    : QRadioButton(text, parent), TObject(name), group_(&group) {
    setObjectName(name);
    setAutoExclusive(false);
    group_->add(*this);
}

TRadioButton::~TRadioButton() {
    if (group_)
        group_->remove(*this);
}

void TRadioButton::setIsChecked(bool checked) {
    if (checked == isChecked())
        return;
    if (checked && group_) {
        group_->check(*this);
        return;
    }
    setChecked(checked);
    notifyChange();
}

void TRadioButton::nextCheckState() {
    // Clicking the checked button leaves it checked, as a radio button should.
    if (!isChecked()) {
        setIsChecked(true);
        return;
    }
    if (OnClickWhileChecked)
        OnClickWhileChecked(this);
}

void TRadioButton::notifyChange() {
    if (OnChange)
        OnChange(this);
}
