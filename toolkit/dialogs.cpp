#include "toolkit/dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
class TMessageBoxes : public TDialogs {
public:
    void showError(const QString& text) override {
        QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), text);
    }
    void showMessage(const QString& text) override {
        QMessageBox::information(QApplication::activeWindow(), QApplication::applicationName(), text);
    }
    bool askToGoOnWithoutSaving(const QString& problem, const QString& goOn) override {
        QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), problem, QMessageBox::NoButton,
                        QApplication::activeWindow());
        QPushButton* anyway = box.addButton(goOn, QMessageBox::DestructiveRole);
        QPushButton* cancel = box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(cancel);
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == anyway;
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
