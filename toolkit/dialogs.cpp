#include "toolkit/dialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace {
class TMessageBoxes : public TDialogs {
public:
    void showError(const QString& text) override {
        QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), text);
    }
    void showMessage(const QString& text) override {
        QMessageBox::information(QApplication::activeWindow(), QApplication::applicationName(), text);
    }
};

TDialogs*& installed() {
    static TMessageBoxes system;
    static TDialogs* current = &system;
    return current;
}
} // namespace

TDialogs& TDialogs::current() {
    return *installed();
}

TDialogsOverride::TDialogsOverride(TDialogs& replacement) : previous_(installed()) {
    installed() = &replacement;
}

TDialogsOverride::~TDialogsOverride() {
    installed() = previous_;
}
