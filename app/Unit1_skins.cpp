// Skins: loading a skin folder into the scene and the editor, writing the live look back, the skin
// list, the strap switch, and the program's own settings file.
#include "app/Unit1.h"

#include "app/skinbinding.h"
#include "skin/profile.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"
#include "toolkit/textfile.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <future>
#include <map>

namespace {
const QString SettingsFile = QStringLiteral("Horavis.ini");
const QString SkinSettingsFile = QStringLiteral("skin.ini");
const QString DefaultSkinName = QStringLiteral("Orvane Companion");
const QString InvalidSkinMessage = QStringLiteral("This folder does not contain a valid skin");
const QStringList RequiredPictures = {"WatchfaceFull.png", "sek.png", "hour.png",
                                      "min.png",           "ind.png", "ovl.png"};
const QStringList OptionalPictures = {"ontop.png",       "WatchfaceFullBG.png", "BalanceWheel.png",
                                      "Tourbillon.png",  "Gearwheel.png",       "WatchfaceReduced.png",
                                      "escapewheel.png", "miniind.png"};
constexpr int MaxPictureSide = 8192;

const QString& separator() {
    static const QString sep = QDir::separator();
    return sep;
}

QString withSeparator(QString folder) {
    if (!folder.endsWith(separator()))
        folder += separator();
    return folder;
}

// A file of the skin folder whatever the case of its name; empty when there is none.
QString skinFile(const QString& folder, const QString& name) {
    return findIgnoringCase(folder, name);
}

// Decodes one picture; a file that is not a picture or is larger than the program takes is an error.
QImage decodePicture(const QString& path) {
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > MaxPictureSide || size.height() > MaxPictureSide)
        throw TSkinError(QStringLiteral("\"%1\" is not a picture of at most %2 x %2 pixels")
                             .arg(QDir::toNativeSeparators(path))
                             .arg(MaxPictureSide));
    QImage image;
    if (!reader.read(&image))
        throw TSkinError(QStringLiteral("\"%1\" cannot be read: %2")
                             .arg(QDir::toNativeSeparators(path), reader.errorString()));
    return image;
}

// Writes a picture as a whole or not at all. Unbuffered, so a short write (a full disk) shows at
// once instead of being lost in the final flush.
void savePicture(const QImage& image, const QString& path) {
    QSaveFile file(path);
    QImageWriter writer(&file, "png");
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !writer.write(image) || !file.commit()) {
        const QString reason =
            file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
        throw TSkinError(
            QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(path), reason));
    }
}
} // namespace

TSkinError::TSkinError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

QString TForm1::GetDeepestDir(const QString& AFilename) {
    QString path = AFilename;
    const bool keepsRoot =
        path.size() >= 2 && (path[path.size() - 2] == u':' || path.endsWith(separator() + separator()));
    if (path.endsWith(separator()) && !keepsRoot)
        path.chop(1);
    const qsizetype cut = std::max(path.lastIndexOf(separator()), path.lastIndexOf(u':'));
    return path.mid(cut + 1);
}

bool TForm1::LoadSkin(const QString& NewSkindir) {
    AlarmFile.clear();
    try {
        MediaPlayer1->Clear();
    } catch (const std::exception& error) {
        // The old sound is gone from AlarmFile either way; a player that fails here must not stop a load.
        Logme(QStringLiteral("Clearing the sound player failed: ") + QString::fromLocal8Bit(error.what()));
    }
    try {
        const QString folder = withSeparator(NewSkindir);
        const bool accepted = hasRequiredPictures(folder);
        if (accepted) {
            applySkinPictures(folder, decodeSkinPictures(folder));
            applySkinSettings(TProfile::read(skinSettingsPath(folder)));
            SkinDir = folder;
        } else {
            TDialogs::current().showMessage(InvalidSkinMessage);
        }
        showCurrentSkin();
        return accepted;
    } catch (const TSkinError& error) {
        Logme(QStringLiteral("Loading skin was not successful, skin folder is still ") + SkinDir + ": " +
              error.message());
        return false;
    } catch (const std::exception& error) {
        Logme(QStringLiteral("Loading skin was not successful, skin folder is still ") + SkinDir + ": " +
              QString::fromLocal8Bit(error.what()));
        return false;
    }
}

bool TForm1::hasRequiredPictures(const QString& folder) const {
    for (const QString& name : RequiredPictures)
        if (skinFile(folder, name).isEmpty())
            return false;
    return true;
}

QString TForm1::skinSettingsPath(const QString& folder) const {
    const QString existing = skinFile(folder, SkinSettingsFile);
    return existing.isEmpty() ? folder + SkinSettingsFile : existing;
}

// Every picture is decoded before any is shown, two at a time: a broken file then leaves the current
// look whole, and the large faces decode side by side.
std::map<QString, QImage> TForm1::decodeSkinPictures(const QString& folder) const {
    std::map<QString, std::future<QImage>> pending;
    for (const QStringList* names : {&RequiredPictures, &OptionalPictures})
        for (const QString& name : *names)
            if (const QString path = skinFile(folder, name); !path.isEmpty())
                pending.emplace(name, std::async(std::launch::async, decodePicture, path));
    std::map<QString, QImage> pictures;
    std::exception_ptr failure;
    for (auto& [name, picture] : pending) {
        try {
            pictures.emplace(name, picture.get());
        } catch (...) {
            failure = failure ? failure : std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
    return pictures;
}

void TForm1::applySkinPictures(const QString& folder, const std::map<QString, QImage>& pictures) {
    const auto has = [&](const QString& name) { return pictures.count(name) > 0; };
    const auto put = [&](TImage& image, const QString& name) { image.setBitmap(pictures.at(name)); };
    const auto putOrClear = [&](TImage& image, const QString& name) {
        has(name) ? put(image, name) : image.clear();
    };

    OnTop->clear();
    OnTop->setTag(0);
    if (has("ontop.png")) {
        put(*OnTop, "ontop.png");
        OnTop->setTag(-1);
    }
    put(*WatchfaceFull, "WatchfaceFull.png");
    WatchfaceFullBG->clear();
    StrapSwitchLocked = false;
    if (has("WatchfaceFullBG.png")) {
        StrapSwitchLocked = true;
        put(*WatchfaceFullBG, "WatchfaceFullBG.png");
    }
    putOrClear(*Unruh, "BalanceWheel.png");
    putOrClear(*Tourbillon, "Tourbillon.png");
    if (has("Gearwheel.png"))
        put(*Gearwheel, "Gearwheel.png");
    putOrClear(*WatchfaceReduced, "WatchfaceReduced.png");
    putOrClear(*escapewheel, "escapewheel.png");
    put(*SecHand, "sek.png");
    if (const QString mp3 = skinFile(folder, "alarm.mp3"); !mp3.isEmpty())
        AlarmFile = mp3;
    if (const QString wav = skinFile(folder, "alarm.wav"); !wav.isEmpty())
        AlarmFile = wav;
    put(*Hourhand, "hour.png");
    put(*Minutehand, "min.png");
    MinutehandExtraImage->assignFrom(*Minutehand);
    put(*Indicator, "ind.png");
    ArcOntop->assignFrom(*Indicator);
    MinutehandExtraAdjusterBezel->assignFrom(*Indicator);
    if (has("miniind.png"))
        put(*MinutehandExtraAdjusterBezel, "miniind.png");
    put(*Overlay, "ovl.png");
}

// Each key goes into its control or element, and its rule brings it to the scene even when the control
// already held that value: what the file says is what the watch shows.
void TForm1::applySkinSettings(const TProfile& ini) {
    for (const TSkinLoadStep& step : skinLoadOrder()) {
        skinBinding(step.key).assign(*this, readSkinValue(ini, step.key));
        step.then(*this);
    }
}

void TForm1::showCurrentSkin() {
    Logme(SkinDir);
    const QString name = GetDeepestDir(SkinDir);
    Logme(name);
    ApplicationTitle = QStringLiteral("Horavis 3.6 - ") + name;
    setWindowTitle(ApplicationTitle);
    for (int i = 0; i < SkinBox->Count(); ++i) {
        const QString text = SkinBox->Item(i).text;
        Logme(text);
        if (text == name) {
            SkinBox->setItemIndex(i); // within the list, so it cannot fail
            break;
        }
    }
}

void TForm1::SaveCurrentSkin() {
    QDir().mkpath(SkinDir);
    const QString iniPath = skinSettingsPath(SkinDir);
    QString problem;
    TProfile ini = TProfile::read(iniPath, &problem);
    // A settings file that exists but cannot be read is not replaced by one without its other keys.
    if (!problem.isEmpty())
        throw TSkinError(problem);
    for (const TSkinKeyDef& key : skinkeys::Table) {
        writeSkinValue(ini, key.key, skinBinding(key.key).live(*this));
        if (key.key == TSkinKey::TextShadow)
            applyWatchFace(CheckBox5->IsChecked());
    }
    if (!ini.write(iniPath, &problem))
        throw TSkinError(problem);

    const std::pair<QString, const TImage*> sources[] = {{"WatchfaceFull.png", WatchfaceFull},
                                                         {"sek.png", SecHand},
                                                         {"hour.png", Hourhand},
                                                         {"min.png", Minutehand},
                                                         {"ind.png", Indicator},
                                                         {"ovl.png", Overlay}};
    for (const auto& [name, image] : sources)
        if (skinFile(SkinDir, name).isEmpty())
            savePicture(image->Bitmap(), SkinDir + name);
}

void TForm1::CreateSkinDirList(TListBox* MyListBox) {
    MyListBox->ClearItems();
    const QStringList folders = QDir(AppDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString& folder : folders)
        MyListBox->AddItem(folder);
}

void TForm1::MenuItem1Click(TObject*) {
    try {
        SaveCurrentSkin();
    } catch (const TSkinError& error) {
        TDialogs::current().showError(error.message());
        return;
    }
    QDir().mkpath(SkinDir);
    // With nothing chosen in the list there is nothing to load.
    if (SkinBox->ItemIndex() < 0)
        return;
    LoadSkin(AppDir + SkinBox->Item(SkinBox->ItemIndex()).text);
    if (SkinBox->ItemIndex() < 0)
        return;
    LoadSkin(AppDir + SkinBox->Item(SkinBox->ItemIndex()).text);
}

void TForm1::SkinBoxDblClick(TObject* Sender) {
    MenuItem1Click(Sender);
}

void TForm1::CheckBox5Change(TObject*) {
    if (StrapSwitchLocked) {
        CheckBox5->setIsChecked(true);
        return;
    }
    applyWatchFace(CheckBox5->IsChecked());
}

void TForm1::Readini() {
    const TProfile ini = TProfile::read(AppDir + SettingsFile);
    MagentaBox->setIsChecked(ini.readBool(SettingsSection, "Magenta").value_or(false));
    MagentaBoxChange(MagentaBox);
    // Every folder the program itself records ends in a separator; a hand-edited one may not.
    SkinDir = ini.readText(SettingsSection, "SkinDir").value_or(AppDir + DefaultSkinName + separator());
    if (!SkinDir.isEmpty())
        SkinDir = withSeparator(SkinDir);
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
    if (!ini.write(path, &problem))
        throw TSkinError(problem);
}

// A save that fails keeps the window open and says what could not be written, so nothing is lost.
void TForm1::FormCloseQuery(TObject*, bool& CanClose) {
    if (!usesDisk_)
        return;
    try {
        Saveini();
        SaveCurrentSkin();
    } catch (const TSkinError& error) {
        TDialogs::current().showError(error.message());
        CanClose = false;
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    bool canClose = true;
    FormCloseQuery(this, canClose);
    if (canClose)
        event->accept();
    else
        event->ignore();
}

void TForm1::wireSkins() {
    CheckBox5->OnChange = [this](TObject* s) { CheckBox5Change(s); };
    SkinBox->OnDblClick = [this](TObject* s) { SkinBoxDblClick(s); };
    QObject::connect(MenuItem1, &QAction::triggered, [this] { MenuItem1Click(nullptr); });
}

// At start-up: the settings file, the skin list and the skin; a skin folder that is not there yet
// receives the built-in look.
void TForm1::openSettingsAndSkin() {
    if (!usesDisk_)
        return;
    Readini();
    if (QDir(SkinDir).exists())
        return;
    try {
        SaveCurrentSkin();
    } catch (const TSkinError& error) {
        TDialogs::current().showError(error.message());
        return;
    }
    CreateSkinDirList(SkinBox);
    LoadSkin(SkinDir);
}
