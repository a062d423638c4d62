#pragma once

#include "toolkit/dialogs.h"

#include <QStringList>

// Records the message boxes the program would show, for as long as it lives.
class RecordingDialogs : public TDialogs {
public:
    RecordingDialogs() : override_(*this) {}
    void showError(const QString& text) override { errors << text; }
    void showMessage(const QString& text) override { messages << text; }

    QStringList errors;
    QStringList messages;

private:
    TDialogsOverride override_;
};
