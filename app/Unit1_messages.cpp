// The message line: the standard messages file, the picker, the text field and the rotation.
#include "app/Unit1.h"

#include "toolkit/controls.h"
#include "toolkit/dialogs.h"
#include "toolkit/textfile.h"

#include <QDir>
#include <QLabel>
#include <cmath>

namespace {
const QString MessagesFile = QStringLiteral("HoravisStandardMessages.txt");
const QString Active = QStringLiteral("active");
const QString OddCaption = QStringLiteral("Loop odd msgs");
const QString EvenCaption = QStringLiteral("Loop even msgs");
constexpr int MessageItemHeight = 70;
// Far beyond any real list, and small enough that the picker fills in a moment.
constexpr qint64 MaxMessagesFileBytes = 16 * 1024 * 1024;
constexpr qsizetype MaxMessages = 10000;
} // namespace

void TForm1::wireMessages() {
    BrkApart1.setBreakString(QStringLiteral(";"));
    BrkApart1.setAllowEmptyString(false);
    ComboBox1->OnChange = [this](TObject* s) { ComboBox1Change(s); };
    Edit1->OnChange = [this](TObject* s) { Edit1Change(s); };
    Finish_Message->OnChange = [this](TObject* s) { Edit1Change(s); };
    Button9->OnClick = [this](TObject* s) { Button9Click(s); };
    Button10->OnClick = [this](TObject* s) { Button10Click(s); };
    LanguageTimer_Start.OnTimer = [this](TObject* s) { LanguageTimer_StartTimer(s); };
    TrackBar6->OnChange = [this](TObject* s) { TrackBar6Change(s); };
}

// A file that is there but cannot be read counts as missing: the picker keeps what it has. A huge one
// gives its first messages, and the user is told.
void TForm1::LoadStandardMessages() {
    const QString path = findIgnoringCase(AppDir, MessagesFile);
    if (path.isEmpty())
        return;
    bool cut = false;
    QString problem;
    std::optional<QStringList> lines = readTextLines(path, MaxMessagesFileBytes, &cut, &problem);
    if (!lines) {
        Logme(problem);
        return;
    }
    if (lines->size() > MaxMessages) {
        lines->erase(lines->begin() + MaxMessages, lines->end());
        cut = true;
    }
    if (cut) {
        const QString note = QStringLiteral("\"%1\" is too long; only its first %2 messages were read.")
                                 .arg(QDir::toNativeSeparators(path))
                                 .arg(lines->size());
        Logme(note);
        TDialogs::current().showMessage(note);
    }
    ListBox1 = *lines;
    ComboBox1->ClearItems();
    ComboBox1->setItemHeight(MessageItemHeight);
    for (const QString& line : ListBox1) {
        BrkApart1.setBaseString(line);
        BrkApart1.setBreakString(QStringLiteral(";"));
        BrkApart1.BreakApart();
        const QStringList& pieces = BrkApart1.StringList();
        if (pieces.size() >= 2) {
            ComboBox1->AddItem(pieces[0], pieces[1]);
            continue;
        }
        // A message without a detail still reads as itself on air, and a line without a text keeps its
        // place, so the rotation still matches the file's lines.
        const QString text = line.section(u';', 0, 0);
        ComboBox1->AddItem(text, text.isEmpty() ? pieces.value(0) : QString());
    }
    selectMessage(0);
}

// A picker with fewer messages (or none, without a messages file) keeps its choice.
void TForm1::selectMessage(int index) {
    if (index < ComboBox1->Count()) {
        ComboBox1->setItemIndex(index);
        return;
    }
    Logme(QStringLiteral("No message %1 to choose: the picker holds %2")
              .arg(index + 1)
              .arg(ComboBox1->Count()));
}

void TForm1::ComboBox1Change(TObject*) {
    if (ComboBox1->ItemIndex() < 0)
        return;
    const QString text = ComboBox1->Item(ComboBox1->ItemIndex()).text;
    StartMessage = text;
    Edit1->setText(text);
}

// Bound to the end-message field as well; either way the message line takes Edit1's text.
void TForm1::Edit1Change(TObject*) {
    StartMessage = Edit1->Text();
}

void TForm1::Button9Click(TObject*) {
    if (Button9->Text() == OddCaption) {
        startRotation(0);
        Button9->setText(Active);
        Button10->setEnabled(false);
    } else {
        LanguageTimer_Start.setEnabled(false);
        Button9->setText(OddCaption);
        Button10->setEnabled(true);
    }
}

void TForm1::Button10Click(TObject*) {
    if (Button10->Text() == EvenCaption) {
        startRotation(1);
        Button10->setText(Active);
        Button9->setEnabled(false);
    } else {
        LanguageTimer_Start.setEnabled(false);
        Button10->setText(EvenCaption);
        Button9->setEnabled(true);
    }
}

void TForm1::startRotation(int first) {
    RotationIndex = first;
    RotationStart = first;
    LanguageTimer_Start.setEnabled(true);
}

void TForm1::LanguageTimer_StartTimer(TObject*) {
    // An index with no message (an even rotation over one message, an empty picker) leaves the
    // text as it is; the rotation keeps going and picks up messages that appear.
    if (RotationIndex < ComboBox1->Count())
        Edit1->setText(ComboBox1->Item(RotationIndex).text);
    RotationIndex += 2;
    if (RotationIndex > ComboBox1->Count() - 1)
        RotationIndex = RotationStart;
}

void TForm1::TrackBar6Change(TObject*) {
    const int seconds = int(std::trunc(TrackBar6->Value()));
    Label12->setText(QStringLiteral("Interval %1 sec").arg(seconds));
    LanguageTimer_Start.setInterval(seconds * 1000);
}
