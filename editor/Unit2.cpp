#include "editor/Unit2.h"

#include "toolkit/controls.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
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

QWidget* TForm2::addTab(const QString& name, const QString& caption) {
    auto* page = new QWidget(TabControl1);
    page->setObjectName(name);
    // Qt shows a doubled ampersand as one, as the captions intend.
    TabControl1->addTab(page, caption);
    return page;
}

void TForm2::buildTabs() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    TabControl1 = new QTabWidget(this);
    layout->addWidget(TabControl1);
    TabItemShadows = addTab("TabItemShadows", "Light && shadows");
    TabItemText = addTab("TabItemText", "Text");
    TabItem3 = addTab("TabItem3", "Arc && bezel");
    TabItemHourhand = addTab("TabItemHourhand", "Hands");
    Misc = addTab("Misc", "Date");
    TabItem2 = addTab("TabItem2", "Counter clock mode (experimental)");
    TabItem1 = addTab("TabItem1", "Balance wheel && Tourbillon");
    TabControl1->setTabVisible(TabControl1->indexOf(TabItem2), false);
    TabControl1->setCurrentWidget(TabItem1);

    CheckBox6 = new TCheckBox(TabItem2, "CheckBox6", "CCW mode (experimental)");
    CheckBox6->setGeometry(16, 16, 260, 24);

    buildPlacementColumns();
    buildLightControls();
    buildColourGroups();
    buildFontControls();
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
