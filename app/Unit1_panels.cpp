// The control panels along the top and down the left of the main window.
#include "app/Unit1.h"

#include "toolkit/controls.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>

namespace {
QWidget& plate(QWidget& parent, const QString& name, const QRect& geometry, const QColor& color) {
    auto* frame = new QFrame(&parent);
    frame->setObjectName(name);
    frame->setGeometry(geometry);
    // A palette rather than a style sheet, so fonts still reach the controls on the plate.
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, color);
    frame->setPalette(palette);
    frame->setAutoFillBackground(color.alpha() > 0);
    return *frame;
}

QLabel& label(QWidget& parent, const QString& name, const QString& text, const QRect& geometry,
              Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* caption = new QLabel(text, &parent);
    caption->setObjectName(name);
    caption->setGeometry(geometry);
    caption->setAlignment(align);
    caption->setStyleSheet("color: white; background: transparent;");
    return *caption;
}

template <class T> T& placed(T* control, const QRect& geometry) {
    control->setGeometry(geometry);
    return *control;
}

void setFontPixels(QWidget& widget, int pixels) {
    QFont font = widget.font();
    font.setPixelSize(pixels);
    widget.setFont(font);
}
} // namespace

// The panels' controls were laid out for a compact 12-pixel type.
constexpr int PanelFontPixels = 11;

void TForm1::buildTopPanel() {
    Layout_Top = new QWidget(this);
    setFontPixels(*Layout_Top, PanelFontPixels);
    Layout_Top->setObjectName("Layout_Top");
    Layout_Top->setGeometry(0, 0, ClientWidth, 57);
    plate(*Layout_Top, "Rectangle3", Layout_Top->rect(), QColor(0x3A, 0x3A, 0x3A));
    plate(*Layout_Top, "Rectangle1", Layout_Top->rect().adjusted(3, 3, -3, -3), QColor(0x46, 0x46, 0x46));
    QWidget& layout1 =
        plate(*Layout_Top, "Layout1", Layout_Top->rect().adjusted(3, 3, -3, -3), Qt::transparent);

    ComboBox1 = &placed(new TComboBox(&layout1, "ComboBox1"), {4, 1, 177, 49});
    ComboBox1->setDropDownCount(5);
    ComboBox1->setItemHeight(60);
    describe(*ComboBox1, "Predefined messages", "Puts a predefined message above the remaining time.");
    Label8 = &label(layout1, "Label8",
                    QString::fromUtf8("\u2190 Choose predefined message or write your own \u2192"),
                    {185, 1, 124, 49}, Qt::AlignCenter);
    Label8->setWordWrap(true);
    Edit1 = &placed(new TEdit(&layout1, "Edit1"), {313, 1, 200, 49});
    setFontPixels(*Edit1, 20);
    Edit1->setAlignment(Qt::AlignCenter);
    describe(*Edit1, "Message text", "Sets the message shown above the remaining time.");

    const int right = layout1.width();
    Button2 = &placed(new TButton(&layout1, "Button2", "Start countdown"), {right - 4 - 168, 4, 168, 43});
    Button2->setStaysPressed(true);
    setFontPixels(*Button2, 20);
    // Its caption turns to "Stop countdown" while it runs; the name stays.
    describe(*Button2, "Countdown", "Starts the countdown to the chosen time, or stops it while it runs.");
    Button3 =
        &placed(new TButton(&layout1, "Button3", "  Buy me a coffee"), {right - 8 - 168 - 166, 4, 166, 43});
    Button3->setCursor(Qt::PointingHandCursor);
    // The caption keeps left so the picture at the right end stays clear of it; a style sheet
    // drops the window's palette, so it carries the panel's colours itself.
    Button3->setStyleSheet(
        "QPushButton { color: white; background: #505050; border: 1px solid #2c2c2c;"
        " border-radius: 3px; text-align: left; padding-left: 8px; }"
        " QPushButton:hover { background: #5a5a5a; } QPushButton:pressed { background: #444444; }");
    Button3->OnClick = [this](TObject* s) { Button3Click(s); };
    describe(*Button3, "Buy me a coffee", "Opens the donation page in your web browser.");
    Image2 = new QLabel(Button3);
    Image2->setObjectName("Image2");
    Image2->setGeometry(Button3->width() - 62, 4, 60, 35);
    Image2->setPixmap(QPixmap(":/coffee.png").scaled(60, 35, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    Image2->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TForm1::buildLeftPanel() {
    Layout_Left = new QWidget(this);
    setFontPixels(*Layout_Left, PanelFontPixels);
    Layout_Left->setObjectName("Layout_Left");
    Layout_Left->setGeometry(0, 57, 190, ClientHeight - 57);
    plate(*Layout_Left, "Rectangle11", Layout_Left->rect(), QColor(0x3A, 0x3A, 0x3A));

    // Top01_Timing holds the timing group at the top of the panel.
    QWidget& timing = plate(*Layout_Left, "Top01_Timing", {0, 0, 190, 542}, Qt::transparent);
    GroupBox1 = &plate(timing, "GroupBox1", {7, 0, 176, 542}, QColor(0x3A, 0x3A, 0x3A));
    plate(*GroupBox1, "Rectangle2", GroupBox1->rect(), QColor(0x3A, 0x3A, 0x3A));
    buildTimingGroup(*GroupBox1);

    Label3 = &label(*Layout_Left, "Label3", "Select skin", {40, 477, 140, 19});
    SkinBox = &placed(new TListBox(Layout_Left, "SkinBox"), {6, 498, 177, 130});
    describe(*SkinBox, "Skins", "Lists the skins to choose from; double-click one to load it.",
             "Its context menu loads the selected skin too.");
    Label3->setBuddy(SkinBox);
    PopupMenu1 = new QMenu(SkinBox);
    MenuItem1 = PopupMenu1->addAction("Load this skin");
    MenuItem1->setObjectName("MenuItem1");
    SkinBox->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(SkinBox, &QWidget::customContextMenuRequested,
                     [this](const QPoint& at) { PopupMenu1->popup(SkinBox->viewport()->mapToGlobal(at)); });
    Editor = &placed(new TButton(Layout_Left, "Editor", "Skin properties"), {22, 632, 134, 36});
    Editor->OnClick = [this](TObject* s) { EditorClick(s); };
    describe(*Editor, "Skin properties",
             "Opens the skin properties window, which changes the watch as you go.");

    // The top panel from the left, then this panel from the top; the time zone box takes no focus.
    chainTabOrder({ComboBox1,         Edit1,          Button3,
                   Button2,           RadioButton1,   RadioButton2,
                   RadioButton3,      RadioButton4,   RadioButton5,
                   RadioButton6,      RadioButton7,   adjustButtons_[0],
                   adjustButtons_[1], PauseButton,    adjustButtons_[2],
                   adjustButtons_[3], Finish_Message, PlaySound_Chosen,
                   Playsound,         Button9,        Button10,
                   TrackBar6,         MagentaBox,     CheckBox5,
                   SkinBox,           Editor});
}

// Minutes off and on the running countdown, and its pause, one click each as their keys give them.
void TForm1::buildAdjustRow(QWidget& group, int top) {
    const struct {
        const char* name;
        const char* caption;
        int left;
        int seconds;
        const char* spoken;
        const char* help;
    } steps[] = {{"MinusFive", "\u22125", 2, -300, "Five minutes less",
                  "Brings the countdown's end forward by five minutes (key: Shift+minus)."},
                 {"MinusOne", "\u22121", 32, -60, "One minute less",
                  "Brings the countdown's end forward by one minute (key: minus)."},
                 {"PlusOne", "+1", 116, 60, "One minute more",
                  "Puts back the countdown's end by one minute (key: plus)."},
                 {"PlusFive", "+5", 146, 300, "Five minutes more",
                  "Puts back the countdown's end by five minutes (key: Shift+plus)."}};
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const auto& step = steps[i];
        auto* button = &placed(new TButton(&group, step.name, QString::fromUtf8(step.caption)),
                               {step.left, top, 28, 22});
        button->OnClick = [this, seconds = step.seconds](TObject*) { addToCountdown(seconds); };
        describe(*button, step.spoken, step.help);
        adjustButtons_[i] = button;
    }
    PauseButton = &placed(new TButton(&group, "PauseButton", "Pause"), {62, top, 52, 22});
    PauseButton->setStaysPressed(true);
    PauseButton->OnClick = [this](TObject*) { togglePause(); };
    describe(*PauseButton, "Pause countdown",
             "Holds the running countdown and its arc; click again to resume (key: P).");
    showPauseState();
}

void TForm1::buildTimingGroup(QWidget& group) {
    Label1 = &label(group, "Label1", "Counting down to:", {0, 0, 176, 16}, Qt::AlignCenter);
    Label5 = &label(group, "Label5", "12:23", {0, 12, 176, 38}, Qt::AlignCenter);
    setFontPixels(*Label5, 40);

    presetGroup_ = std::make_unique<TRadioGroup>();
    const struct {
        const char* name;
        const char* caption;
        QPoint at;
    } presets[] = {{"RadioButton1", "5 min", {3, 48}},   {"RadioButton2", "10 min", {3, 66}},
                   {"RadioButton3", "15 min", {3, 85}},  {"RadioButton4", "20 min", {3, 104}},
                   {"RadioButton5", "30 min", {98, 51}}, {"RadioButton6", "45 min", {98, 70}},
                   {"RadioButton7", "60 min", {98, 89}}};
    TRadioButton** buttons[] = {&RadioButton1, &RadioButton2, &RadioButton3, &RadioButton4,
                                &RadioButton5, &RadioButton6, &RadioButton7};
    for (int tag = 0; tag < 7; ++tag) {
        auto* button = new TRadioButton(&group, presets[tag].name, presets[tag].caption, *presetGroup_);
        button->setGeometry(QRect(presets[tag].at, QSize(80, 19)));
        button->setTag(tag);
        const QString minutes = QString(presets[tag].caption).section(u' ', 0, 0);
        describe(*button, minutes + " minutes",
                 QStringLiteral("Sets the countdown to end %1 minutes from now.").arg(minutes));
        *buttons[tag] = button;
    }

    Label7 =
        &label(group, "Label7", QString::fromUtf8("Set time here or rotate bezel \u2192"), {0, 124, 176, 19});
    buildAdjustRow(group, 147);
    Label4 = &label(group, "Label4", "Countdown end message", {10, 173, 160, 19});
    Finish_Message = &placed(new TEdit(&group, "Finish_Message", "Countdown ended"), {8, 192, 160, 26});
    describe(*Finish_Message, "Countdown end message",
             "Sets the message the watch shows when the countdown ends.");
    Label4->setBuddy(Finish_Message);
    PlaySound_Chosen =
        &placed(new TCheckBox(&group, "PlaySound_Chosen", "Play sound at end"), {7, 221, 124, 24});
    PlaySound_Chosen->OnChange = [this](TObject* s) { MagentaBoxChange(s); };
    describe(*PlaySound_Chosen, "Play sound at end", "Plays the skin's alarm sound when the countdown ends.");
    Playsound = &placed(new TButton(&group, "Playsound", "Test"), {132, 223, 40, 22});
    describe(*Playsound, "Test sound", "Plays the skin's alarm sound now, to try it.");
    Label9 = &label(group, "Label9", "Time zone offset", {40, 250, 130, 19});
    SpinBox1 = &placed(new TSpinBox(&group, "SpinBox1", -12, 12, 0), {22, 271, 132, 26});
    describe(*SpinBox1, "Time zone offset", "Shifts the time the watch shows by whole hours, from -12 to 12.",
             "Its arrows work with the mouse; it takes no keyboard focus.");
    Label9->setBuddy(SpinBox1);
    Label2 = &label(group, "Label2", "Loop through messages", {20, 304, 150, 19});
    Button9 = &placed(new TButton(&group, "Button9", "Loop odd msgs"), {22, 324, 132, 30});
    Button9->setStaysPressed(true);
    // Both read "active" while they loop; the names stay.
    describe(*Button9, "Loop odd messages",
             "Shows the 1st, 3rd, 5th and every other predefined message in turn, until clicked again.");
    Button10 = &placed(new TButton(&group, "Button10", "Loop even msgs"), {22, 360, 132, 30});
    describe(*Button10, "Loop even messages",
             "Shows the 2nd, 4th, 6th and every other predefined message in turn, until clicked again.");
    TrackBar6 = &placed(new TTrackBar(&group, "TrackBar6", 1, 10, 5, 1), {22, 394, 132, 18});
    TrackBar6->setShowValue(false);
    describe(*TrackBar6, "Message interval", "Sets how many seconds, 1 to 10, each looped message stays.");
    Label12 = &label(group, "Label12", "Interval 5 sec", {45, 412, 120, 19});
    Label12->setBuddy(TrackBar6);
    MagentaBox = &placed(new TCheckBox(&group, "MagentaBox", "Magenta"), {16, 447, 80, 24});
    MagentaBox->OnChange = [this](TObject* s) { MagentaBoxChange(s); };
    describe(*MagentaBox, "Magenta background", "Puts the watch on a magenta plate instead of the lime one.");
    CheckBox5 = &placed(new TCheckBox(&group, "CheckBox5", "Strap && lug"), {92, 447, 84, 24});
    describe(*CheckBox5, "Strap and lug",
             "Shows the watch with its strap and lugs, or the bare case when cleared.");
}
