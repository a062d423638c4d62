#include "toolkit/controls.h"

#include <QBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <cmath>

namespace {

// Without a step the slider still needs whole positions; this many keeps a drag smooth.
constexpr int FreePositions = 1000;

// Beyond this many steps a slider cannot tell them apart: it falls back to free positions and the
// value is still rounded to the step.
constexpr double MaxStepPositions = 100000;

// Float arithmetic leaves a range that is a whole number of steps a hair short or long; this
// much of a step is forgiven so the last step still counts.
constexpr double StepSlack = 1e-3;

QString formatValue(float value) {
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

} // namespace

TTrackBar::TTrackBar(QWidget* parent, const QString& name, float min, float max, float value, float frequency,
                     Qt::Orientation orientation)
    : QWidget(parent), TObject(name), slider_(new QSlider(orientation, this)), label_(new QLabel(this)),
      min_(min), max_(std::max(min, max)), frequency_(std::max(frequency, 0.0f)), value_(min) {
    setObjectName(name);
    const bool vertical = orientation == Qt::Vertical;
    // Qt puts a vertical slider's minimum at the bottom; ours is at the top, and the arrow keys
    // follow the knob.
    slider_->setInvertedAppearance(vertical);
    slider_->setInvertedControls(vertical);
    label_->setAlignment(vertical ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
    // Focus, the tab order and a caption's buddy reach the slider through the bar.
    setFocusProxy(slider_);
    setFocusPolicy(slider_->focusPolicy());

    auto* layout = new QBoxLayout(vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(slider_, 1);
    layout->addWidget(label_);

    value_ = fitted(value);
    syncSlider();
    syncLabel();
    connect(slider_, &QSlider::valueChanged, this,
            [this](int position) { store(fitted(valueAt(position))); });
}

void TTrackBar::setValue(float value) {
    if (std::isnan(value))
        return;
    store(fitted(value));
}

void TTrackBar::setMin(float min) {
    if (std::isnan(min))
        return;
    min_ = min;
    max_ = std::max(max_, min_);
    refit();
}

void TTrackBar::setMax(float max) {
    if (std::isnan(max))
        return;
    max_ = max;
    min_ = std::min(min_, max_);
    refit();
}

void TTrackBar::setFrequency(float frequency) {
    frequency_ = frequency > 0 ? frequency : 0.0f;
    refit();
}

bool TTrackBar::ShowValue() const {
    return !label_->isHidden();
}

void TTrackBar::setShowValue(bool show) {
    label_->setVisible(show);
}

float TTrackBar::fitted(double value) const {
    double result = std::clamp(value, double(min_), double(max_));
    if (frequency_ > 0) {
        const double step = frequency_;
        result = min_ + std::round((result - min_) / step) * step;
        // The range need not be a whole number of steps: the top step may lie past Max.
        if (result > max_)
            result = result - max_ <= step * StepSlack ? double(max_) : result - step;
    }
    return float(result);
}

void TTrackBar::store(float value) {
    const bool changed = value != value_;
    value_ = value;
    syncSlider();
    syncLabel();
    if (changed && OnChange)
        OnChange(this);
}

void TTrackBar::refit() {
    // The slider's positions depend on the bounds and step, so it is rebuilt even when the
    // value survives.
    store(fitted(value_));
}

bool TTrackBar::positionPerStep() const {
    return frequency_ > 0 && (double(max_) - min_) / frequency_ <= MaxStepPositions;
}

int TTrackBar::positionCount() const {
    if (max_ <= min_)
        return 0;
    if (!positionPerStep())
        return FreePositions;
    return int(std::floor((double(max_) - min_) / frequency_ + StepSlack));
}

int TTrackBar::positionOf(float value) const {
    const double span = double(max_) - min_;
    if (span <= 0)
        return 0;
    const double offset = double(value) - min_;
    const double steps = positionPerStep() ? offset / frequency_ : offset / span * FreePositions;
    return std::clamp(int(std::lround(steps)), 0, positionCount());
}

double TTrackBar::valueAt(int position) const {
    if (positionPerStep())
        return min_ + position * double(frequency_);
    return min_ + position * (double(max_) - min_) / FreePositions;
}

void TTrackBar::syncSlider() {
    // The slider reports every move as a user change; these moves are ours.
    const QSignalBlocker quiet(slider_);
    const int positions = positionCount();
    slider_->setRange(0, positions);
    slider_->setSingleStep(positionPerStep() ? 1 : std::max(1, positions / 100));
    slider_->setPageStep(std::max(1, positions / 10));
    slider_->setValue(positionOf(value_));
}

void TTrackBar::syncLabel() {
    label_->setText(formatValue(value_));
    // Wide enough for either end, so the slider does not jump as the value changes.
    const QFontMetrics metrics = label_->fontMetrics();
    label_->setMinimumWidth(
        std::max(metrics.horizontalAdvance(formatValue(min_)), metrics.horizontalAdvance(formatValue(max_))));
}
