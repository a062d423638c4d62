#include "editor/Unit2.h"

#include "toolkit/controls.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

TForm2::TForm2(TWatchScene& watch) : TObject(QStringLiteral("Form2")), watch_(watch) {
    setObjectName("Form2");
    setWindowFlags(Qt::Tool);
    resize(ClientWidth, ClientHeight);
    applyDarkStyle(*this);
    QFont compact = font(); // the main window's panel type, so every column fits
    compact.setPixelSize(11);
    setFont(compact);
    buildTabs();
    FormCreate(this);
}

// The title is taken once: a skin loaded later renames the application, not this window.
void TForm2::FormCreate(TObject*) {
    setWindowTitle(QGuiApplication::applicationName() + "- Skin properties");
    LoadFonts();
    LoadFonts2();
}

QWidget* TForm2::addTab(const QString& name, const QString& caption, const QString& tip) {
    auto* page = new QWidget(TabControl1);
    page->setObjectName(name);
    // Qt shows a doubled ampersand as one, as the captions intend.
    TabControl1->setTabToolTip(TabControl1->addTab(page, caption), tip);
    return page;
}

void TForm2::buildTabs() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    TabControl1 = new QTabWidget(this);
    layout->addWidget(TabControl1);
    // Each tab has a tip of its own; one for the whole control would show over every page.
    TabControl1->setAccessibleName("Skin settings");
    TabControl1->tabBar()->setAccessibleName("Skin settings pages");
    TabItemShadows =
        addTab("TabItemShadows", "Light && shadows", "Shows the light reflection and shadow settings.");
    TabItemText =
        addTab("TabItemText", "Text", "Shows the font, size, shadow and color of the countdown texts.");
    TabItem3 =
        addTab("TabItem3", "Arc && bezel", "Shows the settings of the remaining-time arc and the bezels.");
    TabItemHourhand =
        addTab("TabItemHourhand", "Hands", "Shows where the three hands sit and how large they are.");
    Misc = addTab("Misc", "Date", "Shows the settings of the date on the dial.");
    TabItem2 = addTab("TabItem2", "Counter clock mode (experimental)", "Shows the counter-clockwise switch.");
    TabItem1 = addTab(
        "TabItem1", "Balance wheel && Tourbillon",
        "Shows where the balance wheel, tourbillon, escape wheel and gear wheel sit, and their stacking.");
    TabControl1->setTabVisible(TabControl1->indexOf(TabItem2), false);
    TabControl1->setCurrentWidget(TabItem1);

    CheckBox6 = new TCheckBox(TabItem2, "CheckBox6", "CCW mode (experimental)");
    CheckBox6->setGeometry(16, 16, 260, 24);
    describe(*CheckBox6, "Counter-clockwise mode", "Turns the watch's hands backwards.");

    buildPlacementColumns();
    buildLightControls();
    buildColourGroups();
    buildFontControls();
    orderTabs();
}

// The tabs, then each page column by column from the top; only the page shown takes part.
void TForm2::orderTabs() {
    chainTabOrder(
        {TabControl1,
         // Light & shadows
         CheckBox2, TrackBar4, TrackBar5,
         // Text
         CheckBoxTextShadow, CheckBoxTextBlur, CheckBox9, TrackbarTextSize, ComboBox2, Edit4, Edit5, Edit6,
         Button1, Button7, Button9,
         // Arc & bezel
         TrackBar1, TrackBar2, TrackBarBezelSize, Button14, CheckBox8, TrackBarMinutehandExtraAdjusterBezel,
         Button15, Edit1, Edit2, Edit3, Button2, Button10, Button11,
         // Hands
         TrackBarHourX, CheckBox1, TrackBarHourY, Button5, TrackBarHourSize, TrackBarMinuteX, CheckBox4,
         TrackBarMinuteY, Button3, TrackBarMinuteSize, TrackBarSecondX, CheckBoxCrosshair, TrackBarSecondY,
         Button4, CheckBox7, TrackBarSecondSize, CheckBoxSecOnTop,
         // Date
         CheckBox3, ComboBox1, TrackbarDateSize, TrackbarDateRotation, TrackbarDateScale, Button6, Edit7,
         Edit8, Edit9, Button8, Button12, Button13,
         // Counter clock mode
         CheckBox6,
         // Balance wheel & Tourbillon
         TrackBarUnruhX, CheckBoxCrosshairUnruh, TrackBarUnruhY, Button16, CheckBoxShowWheel,
         TrackBarunruhSize, TrackBarUnruhAngle, TrackBarTourBillonX, CheckBoxCrosshairTourbillon,
         TrackBarTourBillonY, Button17, CheckBoxShowTourbillon, TrackBarTourBillonSize, TrackBarEscapewheelX,
         CheckBox10, TrackBarEscapewheelY, Button19, CheckBoxShowEscapeWheel, TrackBarEscapewheelSize,
         TrackBarGearWheelX, CheckBoxCrosshairGearWheel, TrackBarGearWheelY, Button18, CheckBoxShowGearWheel,
         TrackBarGearwheelSize, TourbillononTopOfBalanceSwitch, EscapeOnTopOfBalanceWheelSwith});
}

void TForm2::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm2::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}
