#pragma once

#include <QString>

// Every message box the program shows goes through here, so tests can record them instead of
// blocking on a modal window.
class TDialogs {
public:
    virtual ~TDialogs() = default;
    // A modal error box with an OK button.
    virtual void showError(const QString& text) = 0;
    // A modal message box with an OK button.
    virtual void showMessage(const QString& text) = 0;
    // Something could not be saved: true when the user goes on without it (the button named `goOn`),
    // false for Cancel, which is also what Escape and closing the box give.
    virtual bool askToGoOnWithoutSaving(const QString& problem, const QString& goOn) = 0;

    // The boxes in use: the real ones unless a replacement is installed.
    static TDialogs& current();
};

// Puts another implementation in place for as long as it lives.
class TDialogsOverride {
public:
    explicit TDialogsOverride(TDialogs& replacement);
    ~TDialogsOverride();
    TDialogsOverride(const TDialogsOverride&) = delete;
    TDialogsOverride& operator=(const TDialogsOverride&) = delete;

private:
    TDialogs* previous_;
};
