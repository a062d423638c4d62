#include "toolkit/animation.h"

#include "toolkit/clock.h"
#include "toolkit/element.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {
std::function<void(float)> propertySetter(TElement& target, const QString& propertyName) {
    if (propertyName == QLatin1String("RotationAngle"))
        return [&target](float v) { target.setRotationAngle(v); };
    if (propertyName == QLatin1String("Opacity"))
        return [&target](float v) { target.setOpacity(v); };
    throw std::invalid_argument("TFloatAnimation: unsupported property " + propertyName.toStdString());
}
} // namespace

TFloatAnimation::TFloatAnimation(TElement& target, const QString& name, const QString& propertyName,
                                 double durationSec, TInterpolationType interpolation, float startValue,
                                 float stopValue)
    : TObject(name), StartValue(startValue), StopValue(stopValue), target_(target),
      propertyName_(propertyName), setter_(propertySetter(target, propertyName)), duration_(durationSec),
      interpolation_(interpolation) {}

TFloatAnimation::~TFloatAnimation() {
    Clock::instance().removeAnimation(this);
}

double TFloatAnimation::ease(TInterpolationType type, double p) {
    switch (type) {
    case TInterpolationType::Linear:
        return p;
    case TInterpolationType::Exponential:
        return p == 0 ? 0 : std::pow(2.0, 10 * (p - 1));
    case TInterpolationType::Sinusoidal:
        return 1 - std::cos(p * std::numbers::pi / 2);
    case TInterpolationType::Back:
        return p * p * (2.70158 * p - 1.70158);
    }
    return p;
}

void TFloatAnimation::Start() {
    if (!target_.Visible())
        return;
    running_ = true;
    startMs_ = Clock::instance().monotonicMs();
    apply(StartValue);
    Clock::instance().addAnimation(this);
}

void TFloatAnimation::Stop() {
    running_ = false;
    Clock::instance().removeAnimation(this);
}

qint64 TFloatAnimation::endMs() const {
    return startMs_ + qint64(std::llround(duration_ * 1000));
}

void TFloatAnimation::advanceTo(qint64 nowMs) {
    if (!running_)
        return;
    if (nowMs >= endMs()) {
        Stop();
        apply(StopValue);
        if (OnFinish)
            OnFinish(this);
        return;
    }
    const double p = duration_ > 0 ? double(nowMs - startMs_) / (duration_ * 1000) : 1.0;
    apply(float(StartValue + ease(interpolation_, p) * (StopValue - StartValue)));
}

void TFloatAnimation::apply(float value) {
    setter_(value);
}
