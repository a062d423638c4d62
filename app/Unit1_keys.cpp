// Keys of the main window and the Start button's menu of countdown settings.
#include "app/Unit1.h"

#include "toolkit/controls.h"

#include <QAction>
#include <QActionGroup>
#include <QColorDialog>
#include <QMenu>
#include <QShortcut>

namespace {
// A typed character goes to a focused text field first: these keys act only where nobody types.
void onKeys(QWidget& window, std::initializer_list<QKeySequence> keys, std::function<void()> action) {
    for (const QKeySequence& key : keys) {
        auto* shortcut = new QShortcut(key, &window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &window, action);
    }
}

constexpr int WarningChoices[] = {0, 10, 30, 60, 120, 300};

QString warningCaption(int seconds) {
    if (seconds == 0)
        return QStringLiteral("No warning");
    if (seconds < 60)
        return QStringLiteral("Last %1 seconds").arg(seconds);
    return seconds == 60 ? QStringLiteral("Last minute")
                         : QStringLiteral("Last %1 minutes").arg(seconds / 60);
}
} // namespace

// Space starts and stops, P pauses and resumes, + and - take one minute, with Shift five. Where "+"
// itself needs Shift, "=" and the keypad give the single minute.
void TForm1::wireKeys() {
    onKeys(*this, {Qt::Key_Space}, [this] { Button2Click(Button2); });
    onKeys(*this, {Qt::Key_P}, [this] { togglePause(); });
    onKeys(*this, {Qt::Key_Plus, Qt::Key_Equal, Qt::KeypadModifier | Qt::Key_Plus},
           [this] { addToCountdown(60); });
    onKeys(*this,
           {Qt::SHIFT | Qt::Key_Plus, Qt::SHIFT | Qt::Key_Equal,
            QKeyCombination(Qt::ShiftModifier | Qt::KeypadModifier, Qt::Key_Plus)},
           [this] { addToCountdown(300); });
    onKeys(*this, {Qt::Key_Minus, Qt::KeypadModifier | Qt::Key_Minus}, [this] { addToCountdown(-60); });
    onKeys(*this,
           {Qt::SHIFT | Qt::Key_Minus, Qt::SHIFT | Qt::Key_Underscore, Qt::Key_Underscore,
            QKeyCombination(Qt::ShiftModifier | Qt::KeypadModifier, Qt::Key_Minus)},
           [this] { addToCountdown(-300); });
}

// The countdown's own settings, kept in Horavis.ini: a right click on Start.
void TForm1::buildCountdownMenu() {
    CountdownMenu = new QMenu(Button2);
    QMenu* warning = CountdownMenu->addMenu(QStringLiteral("Warning stage"));
    auto* lengths = new QActionGroup(warning);
    for (const int seconds : WarningChoices) {
        QAction* choice = warning->addAction(warningCaption(seconds));
        choice->setCheckable(true);
        choice->setData(seconds);
        lengths->addAction(choice);
        QObject::connect(choice, &QAction::triggered, this,
                         [this, seconds] { Countdown.WarnSeconds = seconds; });
    }
    QAction* colour = CountdownMenu->addAction(QStringLiteral("Warning colour..."));
    QObject::connect(colour, &QAction::triggered, this, [this] {
        const QColor chosen =
            QColorDialog::getColor(QColor::fromRgba(Countdown.WarnColor), this,
                                   QStringLiteral("Warning colour"), QColorDialog::ShowAlphaChannel);
        if (chosen.isValid())
            Countdown.WarnColor = chosen.rgba();
    });
    OvertimeAction = CountdownMenu->addAction(QStringLiteral("Count up after the end (overtime)"));
    OvertimeAction->setCheckable(true);
    QObject::connect(OvertimeAction, &QAction::toggled, this, [this](bool on) { Countdown.Overtime = on; });
    // The menu shows the settings as they are at the moment it opens.
    QObject::connect(CountdownMenu, &QMenu::aboutToShow, this, [this, lengths] {
        for (QAction* choice : lengths->actions())
            choice->setChecked(choice->data().toInt() == Countdown.WarnSeconds);
        OvertimeAction->setChecked(Countdown.Overtime);
    });
    Button2->setToolTip(
        QStringLiteral("Starts or stops the countdown (Space). Right-click for the warning stage "
                       "and overtime."));
    Button2->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(Button2, &QWidget::customContextMenuRequested, this,
                     [this](const QPoint& at) { CountdownMenu->popup(Button2->mapToGlobal(at)); });
}
