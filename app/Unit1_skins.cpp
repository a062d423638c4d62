// Skins: loading a skin folder into the scene and the editor, writing the live look back, the skin
// list, the strap switch, and the program's own settings file.
#include "app/Unit1.h"

#include "app/skinkeys.h"
#include "editor/Unit2.h"
#include "editor/Unit2_helpers.h"
#include "skin/profile.h"
#include "toolkit/colorpanel.h"
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
    } catch (...) {
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
    } catch (const std::exception&) {
        Logme(QStringLiteral("Loading skin was not successful, skin folder is still ") + SkinDir);
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

// The keys in the loader's order. A control set to the value it holds runs nothing, so the handlers
// and direct actions below are what reach the scene in any case.
void TForm1::applySkinSettings(const TProfile& ini) {
    TForm2& f2 = editor();
    const auto put = [&](const char* name) { assignSkinValue(*this, ini, skinKey(name)); };

    put("DateSize");
    f2.TrackbarDateSizeChange(f2.TrackbarDateSize);
    put("MiniBezelSize");
    f2.TrackBarMinutehandExtraAdjusterBezelChange(f2.TrackBarMinutehandExtraAdjusterBezel);
    put("DateScale");
    f2.TrackbarDateScaleChange(f2.TrackbarDateScale);
    put("SecondHandPositionX");
    f2.TrackBarSecondXChange(f2.TrackBarSecondX);
    put("SecondHandPositionY");
    f2.TrackBarSecondYChange(f2.TrackBarSecondY);
    put("SecondHandSize");
    f2.TrackBarSecondSizeChange(f2.TrackBarSecondSize);
    put("HourHandPositionX");
    f2.TrackBarHourXChange(f2.TrackBarHourX);
    put("HourHandPositionY");
    f2.TrackBarHourYChange(f2.TrackBarHourY);
    put("HourHandSize");
    f2.TrackBarHourSizeChange(f2.TrackBarHourSize);
    put("MinuteHandPositionX");
    f2.TrackBarMinuteXChange(f2.TrackBarMinuteX);
    put("MinuteHandPositionY");
    f2.TrackBarMinuteYChange(f2.TrackBarMinuteY);
    put("MinuteHandSize");
    f2.TrackBarMinuteSizeChange(f2.TrackBarMinuteSize);
    put("BezelSize");
    f2.TrackBarBezelSizeChange(f2.TrackBarBezelSize);
    put("DateRotation");
    f2.TrackbarDateRotationChange(f2.TrackbarDateRotation);
    put("SecondHandOnTop");
    f2.CheckBoxSecOnTopChange(f2.CheckBoxSecOnTop);
    put("PlaySoundAtEnd");
    MagentaBoxChange(PlaySound_Chosen);
    put("BlurredText");
    f2.CheckBoxTextBlurChange(f2.CheckBoxTextBlur);
    put("MessageColor");
    f2.TextColorPanelChange(f2.TextColorPanel);
    put("TimeColor");
    f2.FontcolorPanelChange(f2.FontcolorPanel);
    put("ArcColor");
    f2.ArcColorPanelChange(f2.ArcColorPanel);
    put("TextSize");
    f2.TrackbarTextSizeChange(f2.TrackbarTextSize);
    put("TextShadow");
    f2.CheckBoxTextShadowChange(f2.CheckBoxTextShadow);
    applyMechanicsSettings(ini);

    put("Shadow");
    applyShadowRule();
    put("WatchHasDate");
    DateOut->setVisible(f2.CheckBox3->IsChecked());
    DateMover->setVisible(DateOut->Visible());
    put("FullWatch");
    applyWatchFace();
    put("RunCounterclockwise");
    put("ShowSecHand");
    SecHand->setVisible(f2.CheckBox7->IsChecked());
    put("ShowMiniBezel");
    f2.CheckBox8Change(f2.CheckBox8);
    put("FatTextFont");
    f2.CheckBox9Change(f2.CheckBox9);
    applySecondHandShadowRule();
    put("ArcPos");
    f2.TrackBar2Change(f2.TrackBar2);
    put("ArcThick");
    f2.TrackBar1Change(f2.TrackBar1);
    put("ShadowRotation");
    Overlay->setRotationAngle(f2.TrackBar4->Value());
    ShadowEffect5->setDirection(f2.TrackBar4->Value() + 45);
    ShadowEffect3->setDirection(f2.TrackBar4->Value() + 45);
    OnTopShadow->setDirection(f2.TrackBar4->Value());
    put("ShadowOpacity");
    f2.TrackBar5Change(f2.TrackBar5);
    put("Message");
    Edit1Change(Edit1);
    put("FinishMessage");
    Edit1Change(Finish_Message);
    put("DateX");
    put("DateY");
    DateMover->setPosition(DateOut->Position());
    put("TextX");
    put("TextY");
    CutOutMover->setPosition(CutOut->Position());
    applySkinFonts(ini);
}

namespace {
// A mechanism and its placement crosshair share their offsets.
void placeWithCrosshair(TElement& mechanism, TElement& crosshair, const TTrackBar& x, const TTrackBar& y) {
    for (TElement* element : {&mechanism, &crosshair}) {
        editor::setLeftMargin(*element, x.Value());
        editor::setTopMargin(*element, y.Value());
    }
}
} // namespace

void TForm1::applyMechanicsSettings(const TProfile& ini) {
    TForm2& f2 = editor();
    const auto put = [&](const char* name) { assignSkinValue(*this, ini, skinKey(name)); };
    using editor::setLeftMargin;
    using editor::setTopMargin;

    put("UnruhPositionX");
    put("UnruhPositionY");
    put("UnruhSize");
    f2.TrackBarunruhSizeChange(f2.TrackBarunruhSize);
    put("UnruhAngle");
    placeWithCrosshair(*LayoutUnruh, *LayoutUnruhCrossHair, *f2.TrackBarUnruhX, *f2.TrackBarUnruhY);
    put("ShowBalanceWheel");
    f2.CheckBoxShowWheelChange(f2.CheckBoxShowWheel);
    put("ShowBalanceWheelCrosshair");
    LayoutUnruhCrossHair->setVisible(f2.CheckBoxCrosshairUnruh->IsChecked());
    put("TourbillonPositionX");
    put("TourbillonPositionY");
    put("TourbillonSize");
    f2.TrackBarTourBillonSizeChange(f2.TrackBarTourBillonSize);
    placeWithCrosshair(*Tourbillon, *LayoutTourBillonCrosshair, *f2.TrackBarTourBillonX,
                       *f2.TrackBarTourBillonY);
    put("TourbillononTopOfBalance");
    f2.TourbillononTopOfBalanceSwitchSwitch(f2.TourbillononTopOfBalanceSwitch);
    put("EscapeOnTopOfBalance");
    f2.EscapeOnTopOfBalanceWheelSwithSwitch(f2.EscapeOnTopOfBalanceWheelSwith);
    put("ShowTourbillon");
    f2.CheckBoxShowTourbillonChange(f2.CheckBoxShowTourbillon);
    put("ShowTourbillonCrosshair");
    LayoutTourBillonCrosshair->setVisible(f2.CheckBoxCrosshairTourbillon->IsChecked());
    put("GearwheelPositionX");
    put("GearwheelPositionY");
    put("GearwheelSize");
    f2.TrackBarGearwheelSizeChange(f2.TrackBarGearwheelSize);
    setLeftMargin(*Gearwheel, f2.TrackBarGearWheelX->Value());
    setLeftMargin(*LayoutGearWheelCrosshair, f2.TrackBarGearWheelX->Value());
    put("escapewheelPositionX");
    put("escapewheelPositionY");
    f2.TrackBarEscapewheelYChange(f2.TrackBarEscapewheelY);
    put("escapewheelSize");
    f2.TrackBarEscapewheelSizeChange(f2.TrackBarEscapewheelSize);
    setLeftMargin(*escapewheel, f2.TrackBarEscapewheelX->Value());
    setTopMargin(*Gearwheel, f2.TrackBarGearWheelY->Value());
    setTopMargin(*LayoutGearWheelCrosshair, f2.TrackBarGearWheelY->Value());
    put("ShowGearwheel");
    f2.CheckBoxShowGearWheelChange(f2.CheckBoxShowGearWheel);
    put("ShowGearwheelCrosshair");
    LayoutGearWheelCrosshair->setVisible(f2.CheckBoxCrosshairGearWheel->IsChecked());
    put("ShowEscapeWheel");
    f2.CheckBoxShowEscapeWheelChange(f2.CheckBoxShowEscapeWheel);
}

void TForm1::applyShadowRule() {
    const bool on = editor().CheckBox2->IsChecked();
    for (TShadowEffect* shadow :
         {SekShadow, ShadowEffect4, MinuteShadow, HourShadow, ResumeShadowEffect, OnTopShadow})
        shadow->setEnabled(on);
    Overlay->setVisible(on);
    applySecondHandShadowRule();
}

// Without the light layer the second hand's shadow keeps whatever it had.
void TForm1::applySecondHandShadowRule() {
    if (editor().CheckBox2->IsChecked())
        SekShadow->setEnabled(editor().CheckBox7->IsChecked());
}

void TForm1::applyWatchFace() {
    if (CheckBox5->IsChecked()) {
        Watch->assignFrom(*WatchfaceFull);
        WatchBG->assignFrom(*WatchfaceFullBG);
    } else {
        Watch->assignFrom(*WatchfaceReduced);
    }
}

namespace {
// Every equal item is chosen in turn, so with duplicates the last one stays chosen.
void selectFamily(TComboBox& list, const QString& family) {
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Item(i).text != family)
            continue;
        try {
            list.setItemIndex(i);
        } catch (const std::out_of_range&) {
        }
    }
}
} // namespace

void TForm1::applySkinFonts(const TProfile& ini) {
    const QString clockFont = readSkinValue(ini, skinKey("ClockFontName")).toString();
    DateOut->setFontFamily(clockFont);
    selectFamily(*editor().ComboBox1, DateOut->FontFamily());
    assignSkinValue(*this, ini, skinKey("TextFontName"));
    DaInitMessage->setFontFamily(DaMessage->FontFamily());
    selectFamily(*editor().ComboBox2, DaInitMessage->FontFamily());
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
            try {
                SkinBox->setItemIndex(i);
            } catch (const std::out_of_range&) {
            }
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
    for (const TSkinKey& key : skinKeys()) {
        writeSkinValue(ini, key, key.live(*this));
        if (key.name == QLatin1String("TextShadow"))
            Watch->assignFrom(CheckBox5->IsChecked() ? *WatchfaceFull : *WatchfaceReduced);
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
    Watch->assignFrom(CheckBox5->IsChecked() ? *WatchfaceFull : *WatchfaceReduced);
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
