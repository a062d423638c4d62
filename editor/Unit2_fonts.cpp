// The font lists of the date and the countdown texts, their sizes, bold style, and the date's
// rotation and stretch.
#include "editor/Unit2.h"

#include "editor/Unit2_helpers.h"
#include "editor/fontsource.h"

#include "toolkit/controls.h"
#include "toolkit/log.h"
#include "watch/watchscene.h"

using namespace editor;

void TForm2::buildFontControls() {
    const auto bind = [this](auto& event, void (TForm2::*handler)(TObject*)) {
        event = [this, handler](TObject* sender) { (this->*handler)(sender); };
    };
    const auto bar = [](QWidget& tab, const QString& label, const QString& name, float min, float max,
                        float value, int y) {
        QLabel& barCaption = caption(tab, label, {16, y + 5, 110, 20});
        auto* trackBar = new TTrackBar(&tab, name, min, max, value);
        trackBar->setGeometry(130, y, 240, 30);
        barCaption.setBuddy(trackBar);
        return trackBar;
    };
    const auto fontList = [](QWidget& tab, const QString& name, int y) {
        QLabel& listCaption = caption(tab, "Font:", {16, y + 3, 110, 20});
        auto* list = new TComboBox(&tab, name);
        list->setGeometry(130, y, 240, 26);
        list->setDropDownCount(16);
        listCaption.setBuddy(list);
        return list;
    };

    ComboBox1 = fontList(*Misc, "ComboBox1", 48);
    describe(*ComboBox1, "Date font", "Chooses the font of the date.");
    TrackbarDateSize = bar(*Misc, "Font size", "TrackbarDateSize", 20, 100, 40, 82);
    describe(*TrackbarDateSize, "Date font size", "Sets the size of the date.");
    TrackbarDateRotation = bar(*Misc, "Rotation angle:", "TrackbarDateRotation", -200, 200, 0, 116);
    describe(*TrackbarDateRotation, "Date rotation", "Turns the date, clockwise as the bar goes right.");
    TrackbarDateScale = bar(*Misc, "Stretch (horiz.)", "TrackbarDateScale", 1, 4, 1, 150);
    describe(*TrackbarDateScale, "Date stretch", "Stretches the date sideways, up to four times its width.");
    Button6 = new TButton(Misc, "Button6", "Default");
    Button6->setGeometry(380, 151, 80, 28);
    describe(*Button6, "Date stretch default", "Puts the date back to its normal width.");

    CheckBox9 = new TCheckBox(TabItemText, "CheckBox9", "Bold font");
    CheckBox9->setGeometry(16, 88, 300, 22);
    describe(*CheckBox9, "Bold text", "Sets the countdown texts in bold.");
    TrackbarTextSize = bar(*TabItemText, "Text font size", "TrackbarTextSize", 20, 100, 40, 118);
    describe(*TrackbarTextSize, "Text font size",
             "Sets the size of the remaining time; the message line above it is four fifths as large.");
    ComboBox2 = fontList(*TabItemText, "ComboBox2", 156);
    describe(*ComboBox2, "Text font", "Chooses the font of the countdown texts.");

    bind(ComboBox1->OnChange, &TForm2::ComboBox1Change);
    bind(TrackbarDateSize->OnChange, &TForm2::TrackbarDateSizeChange);
    bind(TrackbarDateRotation->OnChange, &TForm2::TrackbarDateRotationChange);
    bind(TrackbarDateScale->OnChange, &TForm2::TrackbarDateScaleChange);
    bind(Button6->OnClick, &TForm2::Button6Click);
    bind(CheckBox9->OnChange, &TForm2::CheckBox9Change);
    bind(TrackbarTextSize->OnChange, &TForm2::TrackbarTextSizeChange);
    bind(ComboBox2->OnChange, &TForm2::ComboBox2Change);
}

// The source may report a family once per character set and in any order: repeats of the last
// name are skipped here, any other repeat is refused by the sorted list.
int TForm2::FontFamilyCallback(const TFontFamilyReport& family, TSortedStringList& FontList) {
    const QString name = familyWithoutFoundry(family.faceName);
    if (FontList.Count() > 0 && FontList.SameText(FontList[FontList.Count() - 1], name))
        return 1;
    FontList.Add(name);
    return 1;
}

void TForm2::CollectFonts(TSortedStringList& FontList) {
    TFontSource::current().EnumFontFamilies(
        [&FontList](const TFontFamilyReport& family) { return FontFamilyCallback(family, FontList); });
}

// Both lists hold the same families, so the installed fonts are enumerated once, for the first
// list: with thousands of families the enumeration and sorting cost more than the filling.
const QStringList& TForm2::installedFonts() {
    if (!fontsCollected_) {
        TSortedStringList fonts;
        CollectFonts(fonts);
        installedFonts_ = fonts.Names();
        fontsCollected_ = true;
    }
    return installedFonts_;
}

void TForm2::fillFontList(TComboBox& list) {
    for (const QString& name : installedFonts())
        list.AddItem(name);
    // Selecting applies the first family to the scene; with no fonts there is nothing to select.
    if (list.Count() > 0)
        list.setItemIndex(0);
    else
        logme(QStringLiteral("No installed fonts for ") + list.Name());
}

void TForm2::LoadFonts() {
    fillFontList(*ComboBox1);
}

void TForm2::LoadFonts2() {
    fillFontList(*ComboBox2);
}

void TForm2::ComboBox1Change(TObject*) {
    if (ComboBox1->ItemIndex() < 0)
        return;
    watch_.setDateFont(ComboBox1->Item(ComboBox1->ItemIndex()).text);
}

void TForm2::ComboBox2Change(TObject*) {
    if (ComboBox2->ItemIndex() < 0)
        return;
    watch_.setTextFont(ComboBox2->Item(ComboBox2->ItemIndex()).text);
}

void TForm2::CheckBox9Change(TObject*) {
    watch_.setTextBold(CheckBox9->IsChecked());
}

void TForm2::TrackbarTextSizeChange(TObject*) {
    watch_.setTextSize(TrackbarTextSize->Value());
}

void TForm2::TrackbarDateSizeChange(TObject*) {
    watch_.setDateSize(TrackbarDateSize->Value());
}

void TForm2::TrackbarDateRotationChange(TObject*) {
    watch_.turnDate(TrackbarDateRotation->Value());
}

void TForm2::TrackbarDateScaleChange(TObject*) {
    watch_.stretchDate(TrackbarDateScale->Value());
}

void TForm2::Button6Click(TObject*) {
    TrackbarDateScale->setValue(1);
}
