#include "toolkit/controls.h"

#include <QScopedValueRollback>
#include <algorithm>
#include <cmath>

TEdit::TEdit(QWidget* parent, const QString& name, const QString& text)
    : QLineEdit(text, parent), TObject(name) {
    setObjectName(name);
    // textChanged, not textEdited: undo, paste and drops are user edits too.
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!settingText_ && OnChange)
            OnChange(this);
    });
}

void TEdit::setText(const QString& text) {
    const QString before = this->text();
    // Replacing equal text would still reset the user's cursor and undo history.
    if (text == before)
        return;
    {
        const QScopedValueRollback quiet(settingText_, true);
        QLineEdit::setText(text);
    }
    // A length limit or validator may keep the old text after all.
    if (this->text() != before && OnChange)
        OnChange(this);
}

// valueChanged fires only for a real change, after it is stored, for the arrows and for setValue
// alike: one path serves the user and the code.
TSpinBox::TSpinBox(QWidget* parent, const QString& name, int min, int max, int value)
    : QSpinBox(parent), TObject(name) {
    setObjectName(name);
    setRange(min, max);
    QSpinBox::setValue(value);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QSpinBox::valueChanged, this, [this] {
        if (OnChange)
            OnChange(this);
    });
}

void TSpinBox::setValue(double value) {
    if (std::isnan(value))
        return;
    // Clamped before the conversion, which would overflow for huge values.
    const double clamped = std::clamp(value, double(minimum()), double(maximum()));
    QSpinBox::setValue(int(std::lround(clamped)));
}
