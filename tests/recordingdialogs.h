#pragma once

#include "toolkit/dialogs.h"

#include <QStringList>

// Records the message boxes the program would show, for as long as it lives.
class RecordingDialogs : public TDialogs {
public:
    RecordingDialogs() : override_(*this) {}
    void showError(const QString& text) override { errors << text; }
    void showMessage(const QString& text) override { messages << text; }
    bool askToGoOnWithoutSaving(const QString& problem, const QString& goOn) override {
        questions << goOn + ": " + problem;
        return goOnAnswer;
    }

    QStringList errors;
    QStringList messages;
    QStringList questions;
    // What the user answers: Cancel unless a test says otherwise.
    bool goOnAnswer = false;

private:
    TDialogsOverride override_;
};
