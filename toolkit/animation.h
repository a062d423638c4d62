#pragma once

#include "toolkit/tobject.h"
#include <functional>

class TElement;

enum class TInterpolationType { Linear, Exponential, Sinusoidal, Back };

// Animates one float property of an element, easing in, on the program's clock.
class TFloatAnimation : public TObject {
public:
    TFloatAnimation(TElement& target, const QString& name, const QString& propertyName, double durationSec,
                    TInterpolationType interpolation, float startValue, float stopValue);
    ~TFloatAnimation() override;

    static double ease(TInterpolationType type, double p);

    float StartValue = 0;
    float StopValue = 0;
    double Duration() const { return duration_; }
    const QString& PropertyName() const { return propertyName_; }
    bool Running() const { return running_; }

    // Restarts the run and applies StartValue at once; nothing happens while the element is hidden.
    void Start();
    // Ends the run where it stands; OnFinish does not fire.
    void Stop();

    TNotifyEvent OnFinish;

private:
    friend class Clock;
    void advanceTo(qint64 nowMs);
    qint64 endMs() const;
    void apply(float value);

    TElement& target_;
    QString propertyName_;
    std::function<void(float)> setter_;
    double duration_;
    TInterpolationType interpolation_;
    bool running_ = false;
    qint64 startMs_ = 0;
};
