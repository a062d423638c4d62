// Skins: loading a skin folder into the scene and the editor, writing the live look back, the skin
// list, the strap switch, and the program's own settings file.
#include "app/Unit1.h"

#include "app/skinbinding.h"
#include "app/skinpictures.h"
#include "horavis_version.h"
#include "skin/profile.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"
#include "toolkit/textfile.h"

#include <QAction>
#include <QDir>
#include <QImageWriter>
#include <QSaveFile>
#include <map>

namespace {
const QString SkinSettingsFile = QStringLiteral("skin.ini");
const QString InvalidSkinMessage = QStringLiteral("This folder does not contain a valid skin");
const QStringList RequiredPictures = {"WatchfaceFull.png", "sek.png", "hour.png",
                                      "min.png",           "ind.png", "ovl.png"};
const QStringList OptionalPictures = {"ontop.png",       "WatchfaceFullBG.png", "BalanceWheel.png",
                                      "Tourbillon.png",  "Gearwheel.png",       "WatchfaceReduced.png",
                                      "escapewheel.png", "miniind.png"};

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

// Writes a picture as a whole or not at all: a PNG file's own bytes when it came from one, encoded
// anew otherwise. Unbuffered, so a short write (a full disk) shows at once instead of being lost in
// the final flush.
void savePicture(const TPicture& picture, const QString& path) {
    static const QByteArray PngSignature("\x89PNG\r\n\x1a\n", 8);
    const QByteArray bytes = picture.isEncoded() ? picture.encoded() : QByteArray();
    QSaveFile file(path);
    QImageWriter writer(&file, "png");
    const bool opened = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    const bool written = opened && (bytes.startsWith(PngSignature) ? file.write(bytes) == bytes.size()
                                                                   : writer.write(picture.decoded()));
    if (!written || !file.commit()) {
        const QString reason =
            file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
        throw TSkinError(
            QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(path), reason));
    }
}
} // namespace

QString TForm1::GetDeepestDir(const QString& AFilename) {
    QString path = AFilename;
    const bool keepsRoot =
        path.size() >= 2 && (path[path.size() - 2] == u':' || path.endsWith(separator() + separator()));
    if (path.endsWith(separator()) && !keepsRoot)
        path.chop(1);
    const qsizetype cut = std::max(path.lastIndexOf(separator()), path.lastIndexOf(u':'));
    return path.mid(cut + 1);
}

// A folder without the six pictures gets the one message that says so; a file that cannot be read gets
// one message naming it and the reason. Either way nothing of the folder reaches the scene, and the
// folder is not one the program may write into.
bool TForm1::LoadSkin(const QString& NewSkindir) {
    AlarmFile.clear();
    try {
        MediaPlayer1->Clear();
    } catch (const std::exception& error) {
        // The old sound is gone from AlarmFile either way; a player that fails here must not stop a load.
        Logme(QStringLiteral("Clearing the sound player failed: ") + QString::fromLocal8Bit(error.what()));
    }
    const QString folder = withSeparator(NewSkindir);
    if (!hasRequiredPictures(folder)) {
        TDialogs::current().showMessage(InvalidSkinMessage);
        showCurrentSkin();
        return false;
    }
    try {
        const std::map<QString, TPicture> pictures = decodeSkinPictures(folder);
        QString problem;
        const TProfile ini = TProfile::read(skinSettingsPath(folder), &problem);
        if (!problem.isEmpty())
            throw TSkinError(problem);
        applySkinPictures(folder, pictures);
        applySkinSettings(ini);
    } catch (const std::exception& error) {
        const auto* skinError = dynamic_cast<const TSkinError*>(&error);
        const QString reason =
            skinError ? skinError->message()
                      : QStringLiteral("\"%1\" could not be loaded: %2")
                            .arg(QDir::toNativeSeparators(folder), QString::fromLocal8Bit(error.what()));
        Logme(QStringLiteral("Loading skin was not successful, skin folder is still ") + SkinDir + ": " +
              reason);
        TDialogs::current().showError(reason);
        showCurrentSkin();
        return false;
    }
    SkinDir = folder;
    WritableSkinDir = folder;
    showCurrentSkin();
    return true;
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

// Every picture is read and decoded before any is shown: a broken file then leaves the current look whole.
std::map<QString, TPicture> TForm1::decodeSkinPictures(const QString& folder) const {
    std::map<QString, QString> paths;
    for (const QStringList* names : {&RequiredPictures, &OptionalPictures})
        for (const QString& name : *names)
            if (const QString path = skinFile(folder, name); !path.isEmpty())
                paths.emplace(name, path);
    return skinpictures::decode(paths);
}

void TForm1::applySkinPictures(const QString& folder, const std::map<QString, TPicture>& pictures) {
    const auto has = [&](const QString& name) { return pictures.count(name) > 0; };
    const auto put = [&](TImage& image, const QString& name) { image.setPicture(pictures.at(name)); };
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
    ApplicationTitle = QStringLiteral("Horavis " HORAVIS_VERSION_MAJOR_MINOR " - ") + name;
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
            savePicture(image->Picture(), SkinDir + name);
}

// Only folders that look like skins: a skin.ini or the six pictures. Other folders beside the program
// (Qt's plug-in folders of a deployed copy, documents) are no choice.
void TForm1::CreateSkinDirList(TListBox* MyListBox) {
    MyListBox->ClearItems();
    const QStringList folders = QDir(AppDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString& folder : folders) {
        const QString path = withSeparator(AppDir + folder);
        if (!skinFile(path, SkinSettingsFile).isEmpty() || hasRequiredPictures(path))
            MyListBox->AddItem(folder);
    }
}

// The skin that is current now is stored first; then the chosen one is loaded, and once more from what
// the list selects afterwards, which gives a rejected choice's predecessor its sound back.
void TForm1::MenuItem1Click(TObject*) {
    if (!saveSkinBeforeSwitching())
        return;
    // With nothing chosen in the list there is nothing to load.
    if (SkinBox->ItemIndex() < 0)
        return;
    const QString chosen = AppDir + SkinBox->Item(SkinBox->ItemIndex()).text;
    const bool loaded = LoadSkin(chosen);
    if (SkinBox->ItemIndex() < 0)
        return;
    const QString selected = AppDir + SkinBox->Item(SkinBox->ItemIndex()).text;
    // One failed load, one message: a folder just refused is not tried again.
    if (!loaded && selected == chosen)
        return;
    LoadSkin(selected);
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

void TForm1::wireSkins() {
    CheckBox5->OnChange = [this](TObject* s) { CheckBox5Change(s); };
    SkinBox->OnDblClick = [this](TObject* s) { SkinBoxDblClick(s); };
    QObject::connect(MenuItem1, &QAction::triggered, [this] { MenuItem1Click(nullptr); });
}
