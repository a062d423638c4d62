// The three colour groups: countdown texts, remaining-time arc and date.
#include "editor/Unit2.h"

#include "editor/Unit2_helpers.h"

#include "toolkit/colorpanel.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"
#include "toolkit/strtoint.h"
#include "watch/watchscene.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

using namespace editor;

namespace {

constexpr QRgb StartColour = 0xFFDE0707;
constexpr int GroupLeft = 480;

// Only the low byte counts: 256 gives 0, -1 gives 255.
QRgb opaque(int red, int green, int blue) {
    return 0xFF000000u | (QRgb(red & 0xFF) << 16) | (QRgb(green & 0xFF) << 8) | QRgb(blue & 0xFF);
}

} // namespace

// `target` as a sentence names what the group colours: "the countdown texts".
void TForm2::addColourGroup(QWidget& tab, QPoint at, const QString& title, const QString& target,
                            const QString& panelName, const std::array<QString, 6>& names,
                            const ColourGroup& group) {
    const auto place = [at](QWidget& widget, int x, int y, int w, int h) {
        widget.setGeometry(at.x() + x, at.y() + y, w, h);
    };
    caption(tab, title, {at.x(), at.y(), 270, 18}, true);
    group.panel = new TColorPanel(&tab, panelName, StartColour);
    place(*group.panel, 0, 22, 270, 156);
    describe(*group.panel, title + " picker",
             "Picks the color of " + target + ": drag in the square and along the hue and alpha bars.",
             "It works with the mouse; by keyboard, type red, green and blue below and press Set RGB.");

    TEdit** fields[] = {&group.red, &group.green, &group.blue};
    const QString captions[] = {"R", "G", "B"};
    const QString texts[] = {"255", "0", "76"};
    const QString channels[] = {"red", "green", "blue"};
    for (int i = 0; i < 3; ++i) {
        QLabel& label = caption(tab, captions[i], {at.x() + 64 * i, at.y() + 188, 12, 20});
        label.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        *fields[i] = new TEdit(&tab, names[i], texts[i]);
        place(**fields[i], 64 * i + 16, 186, 44, 24);
        describe(**fields[i], title + ' ' + channels[i],
                 "Holds the " + channels[i] + " part, 0 to 255, that Set RGB gives " + target + '.');
        label.setBuddy(*fields[i]);
    }
    group.setRgb = new TButton(&tab, names[3], "Set RGB");
    place(*group.setRgb, 194, 184, 76, 28);
    describe(*group.setRgb, "Set " + title.toLower() + " from RGB",
             "Gives " + target + " the color typed in R, G and B.");
    group.copy = new TButton(&tab, names[4], "Copy color");
    place(*group.copy, 0, 220, 132, 28);
    describe(*group.copy, "Copy " + title.toLower(),
             "Copies the color of " + target + " to the clipboard as red;green;blue.");
    group.paste = new TButton(&tab, names[5], "Paste color");
    place(*group.paste, 138, 220, 132, 28);
    describe(*group.paste, "Paste " + title.toLower(),
             "Gives " + target + " the red;green;blue color on the clipboard.");
}

void TForm2::buildColourGroups() {
    BrkApartColor.setAllowEmptyString(false);
    const auto bind = [this](auto& event, void (TForm2::*handler)(TObject*)) {
        event = [this, handler](TObject* sender) { (this->*handler)(sender); };
    };

    addColourGroup(*TabItemText, {GroupLeft, 36}, "Text color", "the countdown texts", "TextColorPanel",
                   {"Edit4", "Edit5", "Edit6", "Button1", "Button7", "Button9"},
                   {TextColorPanel, Edit4, Edit5, Edit6, Button1, Button7, Button9});
    addColourGroup(*TabItem3, {GroupLeft, 36}, "Arc color", "the remaining-time arc", "ArcColorPanel",
                   {"Edit1", "Edit2", "Edit3", "Button2", "Button10", "Button11"},
                   {ArcColorPanel, Edit1, Edit2, Edit3, Button2, Button10, Button11});
    addColourGroup(*Misc, {GroupLeft, 14}, "Date color", "the date", "FontcolorPanel",
                   {"Edit7", "Edit8", "Edit9", "Button8", "Button12", "Button13"},
                   {FontcolorPanel, Edit7, Edit8, Edit9, Button8, Button12, Button13});

    bind(TextColorPanel->OnChange, &TForm2::TextColorPanelChange);
    bind(ArcColorPanel->OnChange, &TForm2::ArcColorPanelChange);
    bind(FontcolorPanel->OnChange, &TForm2::FontcolorPanelChange);
    bind(Button1->OnClick, &TForm2::Button1Click);
    bind(Button2->OnClick, &TForm2::Button2Click);
    bind(Button8->OnClick, &TForm2::Button8Click);
    bind(Button7->OnClick, &TForm2::Button7Click);
    bind(Button10->OnClick, &TForm2::Button10Click);
    bind(Button12->OnClick, &TForm2::Button12Click);
    bind(Button9->OnClick, &TForm2::Button9Click);
    bind(Button11->OnClick, &TForm2::Button11Click);
    bind(Button13->OnClick, &TForm2::Button13Click);
}

void TForm2::showChannels(const TColorPanel& panel, TEdit& red, TEdit& green, TEdit& blue) {
    red.setText(QString::number(qRed(panel.Color())));
    green.setText(QString::number(qGreen(panel.Color())));
    blue.setText(QString::number(qBlue(panel.Color())));
}

void TForm2::TextColorPanelChange(TObject*) {
    showChannels(*TextColorPanel, *Edit4, *Edit5, *Edit6);
    watch_.setTextColour(TextColorPanel->Color());
}

void TForm2::ArcColorPanelChange(TObject*) {
    showChannels(*ArcColorPanel, *Edit1, *Edit2, *Edit3);
    watch_.setArcColour(ArcColorPanel->Color());
}

void TForm2::FontcolorPanelChange(TObject*) {
    showChannels(*FontcolorPanel, *Edit7, *Edit8, *Edit9);
    watch_.setDateColour(FontcolorPanel->Color());
}

// Converted in the order R, G, B, so a message names the first bad field; the colour is always
// opaque.
void TForm2::setRgb(TEdit& red, TEdit& green, TEdit& blue, TColorPanel& panel) {
    try {
        const int r = StrToInt(red.Text());
        const int g = StrToInt(green.Text());
        const int b = StrToInt(blue.Text());
        panel.setColor(opaque(r, g, b));
    } catch (const EConvertError& error) {
        TDialogs::current().showError(error.Message());
    }
}

void TForm2::Button1Click(TObject*) {
    setRgb(*Edit4, *Edit5, *Edit6, *TextColorPanel);
}

void TForm2::Button2Click(TObject*) {
    setRgb(*Edit1, *Edit2, *Edit3, *ArcColorPanel);
}

void TForm2::Button8Click(TObject*) {
    setRgb(*Edit7, *Edit8, *Edit9, *FontcolorPanel);
}

// red;green;blue in decimal, without the alpha: the one form other programs and the paste buttons
// share.
void TForm2::copyColour(const TColorPanel& panel) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    const QRgb color = panel.Color();
    clipboard->setText(QStringLiteral("%1;%2;%3").arg(qRed(color)).arg(qGreen(color)).arg(qBlue(color)));
}

void TForm2::Button7Click(TObject*) {
    copyColour(*TextColorPanel);
}

void TForm2::Button10Click(TObject*) {
    copyColour(*ArcColorPanel);
}

void TForm2::Button12Click(TObject*) {
    copyColour(*FontcolorPanel);
}

// Anything but three integer pieces is ignored without a word: a picture, an empty clipboard, two
// numbers, words. The surrounding blanks go first, since text copied from an editor or a terminal
// usually ends in a line break.
void TForm2::pasteColour(TColorPanel& panel) {
    QString text = QStringLiteral("(empty)");
    if (const QClipboard* clipboard = QGuiApplication::clipboard()) {
        const QMimeData* content = clipboard->mimeData();
        if (content && content->hasText())
            text = content->text();
        else if (content && !content->formats().isEmpty())
            return;
    }
    BrkApartColor.setBaseString(text.trimmed());
    BrkApartColor.setBreakString(QStringLiteral(";"));
    BrkApartColor.BreakApart();
    const QStringList& pieces = BrkApartColor.StringList();
    if (pieces.size() < 3)
        return;
    const std::optional<int> red = TryStrToInt(pieces[0]);
    const std::optional<int> green = TryStrToInt(pieces[1]);
    const std::optional<int> blue = TryStrToInt(pieces[2]);
    if (red && green && blue)
        panel.setColor(opaque(*red, *green, *blue));
}

void TForm2::Button9Click(TObject*) {
    pasteColour(*TextColorPanel);
}

void TForm2::Button11Click(TObject*) {
    pasteColour(*ArcColorPanel);
}

void TForm2::Button13Click(TObject*) {
    pasteColour(*FontcolorPanel);
}
