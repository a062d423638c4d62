// The program's own settings file, the start-up that opens the remembered skin, and closing.
#include "app/Unit1.h"

#include "editor/Unit2.h"
#include "skin/profile.h"
#include "toolkit/clock.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>

namespace {
const QString SettingsFile = QStringLiteral("Horavis.ini");
const QString DefaultSkinName = QStringLiteral("Orvane Companion");
const QString CloseAnyway = QStringLiteral("Close without saving");
const QString SwitchAnyway = QStringLiteral("Switch without saving");
const QString WindowLeftKey = QStringLiteral("WindowLeft");
const QString WindowTopKey = QStringLiteral("WindowTop");
const QString EditorLeftKey = QStringLiteral("EditorLeft");
const QString EditorTopKey = QStringLiteral("EditorTop");
const QString WarnSecondsKey = QStringLiteral("WarnSeconds");
const QString WarnColorKey = QStringLiteral("WarnColor");
const QString OvertimeKey = QStringLiteral("Overtime");
const QString FrameRateKey = QStringLiteral("FrameRate");
constexpr int LongestWarning = 24 * 60 * 60;
// Frames a second while something moves: 30 spares a weak machine, more than a screen shows is waste.
constexpr int FewestFrames = 10;
constexpr int MostFrames = 240;

QString withSeparator(QString folder) {
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder;
}
} // namespace

// Every folder the program itself records is absolute and ends in a separator. A hand-edited one may
// be empty, which names no skin and so the default one, or relative to the program's folder.
QString TForm1::rememberedSkinDir(const QString& stored) const {
    if (stored.trimmed().isEmpty())
        return AppDir + DefaultSkinName + QDir::separator();
    const QString folder = QDir::toNativeSeparators(QDir(AppDir).absoluteFilePath(stored));
    return withSeparator(folder);
}

// A remembered place counts only while a screen shows the window's title bar there; otherwise, and for
// garbage, the window keeps the place it was given.
void TForm1::restorePlace(QWidget& window, const TProfile& ini, const QString& left, const QString& top) {
    const std::optional<int> x = ini.readInteger(SettingsSection, left);
    const std::optional<int> y = ini.readInteger(SettingsSection, top);
    if (!x || !y)
        return;
    const QRect titleBar(QPoint(*x, *y), QSize(std::min(window.width(), 240), 40));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersected(titleBar).size() == titleBar.size()) {
            window.move(*x, *y);
            return;
        }
}

// Missing or unreadable values keep the defaults; a warning longer than a day is no warning stage.
void TForm1::readCountdownSettings(const TProfile& ini) {
    const CountdownSettings defaults;
    const std::optional<int> warn = ini.readInteger(SettingsSection, WarnSecondsKey);
    Countdown.WarnSeconds = warn && *warn >= 0 && *warn <= LongestWarning ? *warn : defaults.WarnSeconds;
    Countdown.WarnColor = ini.readColor(SettingsSection, WarnColorKey).value_or(defaults.WarnColor);
    Countdown.Overtime = ini.readBool(SettingsSection, OvertimeKey).value_or(defaults.Overtime);
}

static void readFrameRate(const TProfile& ini) {
    const std::optional<int> rate = ini.readInteger(SettingsSection, FrameRateKey);
    Clock::instance().setFrameRate(
        rate && *rate >= FewestFrames && *rate <= MostFrames ? *rate : Clock::DefaultFrameRate);
}

void TForm1::Readini() {
    const TProfile ini = TProfile::read(AppDir + SettingsFile);
    restorePlace(*this, ini, WindowLeftKey, WindowTopKey);
    restorePlace(editor(), ini, EditorLeftKey, EditorTopKey);
    MagentaBox->setIsChecked(ini.readBool(SettingsSection, "Magenta").value_or(false));
    MagentaBoxChange(MagentaBox);
    readCountdownSettings(ini);
    readFrameRate(ini);
    SkinDir = rememberedSkinDir(ini.readText(SettingsSection, "SkinDir").value_or(QString()));
    if (QDir(SkinDir).exists()) {
        CreateSkinDirList(SkinBox);
        LoadSkin(SkinDir);
    }
}

void TForm1::Saveini() {
    const QString path = AppDir + SettingsFile;
    QString problem;
    TProfile ini = TProfile::read(path, &problem);
    if (!problem.isEmpty())
        throw TSkinError(problem);
    ini.writeText(SettingsSection, "SkinDir", SkinDir);
    ini.writeBool(SettingsSection, "Magenta", MagentaBox->IsChecked());
    ini.writeInteger(SettingsSection, WarnSecondsKey, Countdown.WarnSeconds);
    ini.writeColor(SettingsSection, WarnColorKey, Countdown.WarnColor);
    ini.writeBool(SettingsSection, OvertimeKey, Countdown.Overtime);
    ini.writeInteger(SettingsSection, FrameRateKey, Clock::instance().FrameRate());
    ini.writeInteger(SettingsSection, WindowLeftKey, pos().x());
    ini.writeInteger(SettingsSection, WindowTopKey, pos().y());
    // An editor never shown nor placed has no place of its own yet.
    if (editor().testAttribute(Qt::WA_WState_ExplicitShowHide) || editor().testAttribute(Qt::WA_Moved)) {
        ini.writeInteger(SettingsSection, EditorLeftKey, editor().pos().x());
        ini.writeInteger(SettingsSection, EditorTopKey, editor().pos().y());
    }
    if (!ini.write(path, &problem))
        throw TSkinError(problem);
}

// Only a folder this run loaded, or wrote as a fresh skin, receives the live settings: a skin that failed
// to load keeps its files as they are.
void TForm1::saveSkinIfLoaded() {
    if (SkinDir != WritableSkinDir) {
        Logme(QStringLiteral("Not saving the skin into ") + SkinDir + QStringLiteral(": it was not loaded"));
        return;
    }
    SaveCurrentSkin();
}

bool TForm1::saveSkinBeforeSwitching() {
    try {
        saveSkinIfLoaded();
        return true;
    } catch (const TSkinError& error) {
        return TDialogs::current().askToGoOnWithoutSaving(error.message(), SwitchAnyway);
    }
}

// Saves whatever can be saved. When something cannot be written the user chooses: stay, so nothing is
// lost, or close without it; staying is what a stray Escape or closing the question gives.
void TForm1::FormCloseQuery(TObject*, bool& CanClose) {
    if (!usesDisk_)
        return;
    QStringList problems;
    const auto attempt = [&problems](const auto& save) {
        try {
            save();
        } catch (const TSkinError& error) {
            problems << error.message();
        } catch (const std::exception& error) {
            problems << QStringLiteral("Could not save: ") + QString::fromLocal8Bit(error.what());
        }
    };
    attempt([this] { Saveini(); });
    attempt([this] { saveSkinIfLoaded(); });
    if (!problems.isEmpty())
        CanClose = TDialogs::current().askToGoOnWithoutSaving(problems.join("\n\n"), CloseAnyway);
}

// The session is ending: save what can be saved without asking anyone, and go. A failure is logged; it
// must not hold up a log-out or a shutdown.
void TForm1::endSession() {
    sessionEnded_ = true;
    if (usesDisk_) {
        const auto attempt = [](const auto& save) {
            try {
                save();
            } catch (const std::exception& error) {
                const auto* skinError = dynamic_cast<const TSkinError*>(&error);
                Logme(skinError ? skinError->message() : QString::fromLocal8Bit(error.what()));
            }
        };
        attempt([this] { Saveini(); });
        attempt([this] { saveSkinIfLoaded(); });
    }
    QCoreApplication::exit(0);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (sessionEnded_) {
        event->accept();
        return;
    }
    bool canClose = true;
    FormCloseQuery(this, canClose);
    if (canClose)
        event->accept();
    else
        event->ignore();
}

// At start-up: the settings file, the skin list and the skin. A skin folder that is not there yet
// receives the built-in look and is then loaded like any other, so the first start shows what every
// later start will.
void TForm1::openSettingsAndSkin() {
    if (!usesDisk_)
        return;
    Readini();
    if (QDir(SkinDir).exists())
        return;
    WritableSkinDir = SkinDir;
    try {
        SaveCurrentSkin();
    } catch (const TSkinError& error) {
        WritableSkinDir.clear();
        TDialogs::current().showError(error.message());
        return;
    }
    CreateSkinDirList(SkinBox);
    LoadSkin(SkinDir);
}
