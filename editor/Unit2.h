#pragma once

#include "components/brkapart.h"
#include "toolkit/tobject.h"

#include <QStringList>
#include <QWidget>
#include <array>

class QLabel;
class TButton;
class TCheckBox;
class TColorPanel;
class TComboBox;
class TEdit;
class TSwitch;
class TTrackBar;
class TSortedStringList;
struct TFontFamilyReport;
class QTabWidget;
class TWatchScene;
enum class TWatchPart;

// The skin properties window: its controls are the live holders of the skin's settings and write
// straight into the watch's scene through its rules. It lives as long as the main window and is
// only shown and hidden.
class TForm2 : public QWidget, public TObject {
public:
    static constexpr int ClientWidth = 777;
    static constexpr int ClientHeight = 453;

    explicit TForm2(TWatchScene& watch);

    void FormCreate(TObject* Sender);

    QTabWidget* TabControl1 = nullptr;
    QWidget* TabItemShadows = nullptr;
    QWidget* TabItemText = nullptr;
    QWidget* TabItem3 = nullptr;
    QWidget* TabItemHourhand = nullptr;
    QWidget* Misc = nullptr;
    QWidget* TabItem2 = nullptr;
    QWidget* TabItem1 = nullptr;

    TTrackBar* TrackBar4 = nullptr;
    TCheckBox* CheckBox6 = nullptr;
    TTrackBar* TrackBarUnruhAngle = nullptr;

    // Light, shadows, arc, bezels, date and layering.
    TCheckBox* CheckBox2 = nullptr;
    TTrackBar* TrackBar5 = nullptr;
    TCheckBox* CheckBoxTextShadow = nullptr;
    TCheckBox* CheckBoxTextBlur = nullptr;
    TTrackBar* TrackBar1 = nullptr;
    TTrackBar* TrackBar2 = nullptr;
    TTrackBar* TrackBarBezelSize = nullptr;
    TButton* Button14 = nullptr;
    TCheckBox* CheckBox8 = nullptr;
    TTrackBar* TrackBarMinutehandExtraAdjusterBezel = nullptr;
    TButton* Button15 = nullptr;
    TCheckBox* CheckBox7 = nullptr;
    TCheckBox* CheckBoxSecOnTop = nullptr;
    TCheckBox* CheckBox3 = nullptr;
    TSwitch* TourbillononTopOfBalanceSwitch = nullptr;
    TSwitch* EscapeOnTopOfBalanceWheelSwith = nullptr;
    QLabel* Label37 = nullptr;
    QLabel* Label38 = nullptr;
    QLabel* Label41 = nullptr;
    QLabel* Label42 = nullptr;

    void CheckBox2Change(TObject* Sender);
    void TrackBar4Change(TObject* Sender);
    void TrackBar5Change(TObject* Sender);
    void CheckBoxTextShadowChange(TObject* Sender);
    void CheckBoxTextBlurChange(TObject* Sender);
    void TrackBar1Change(TObject* Sender);
    void TrackBar2Change(TObject* Sender);
    void TrackBarBezelSizeChange(TObject* Sender);
    void Button14Click(TObject* Sender);
    void CheckBox8Change(TObject* Sender);
    void TrackBarMinutehandExtraAdjusterBezelChange(TObject* Sender);
    void Button15Click(TObject* Sender);
    void CheckBox7Change(TObject* Sender);
    void CheckBoxSecOnTopChange(TObject* Sender);
    void CheckBox3Change(TObject* Sender);
    void TourbillononTopOfBalanceSwitchSwitch(TObject* Sender);
    void EscapeOnTopOfBalanceWheelSwithSwitch(TObject* Sender);
    void Label37Click(TObject* Sender);
    void Label38Click(TObject* Sender);
    void Label41Click(TObject* Sender);
    void Label42Click(TObject* Sender);

    // Placement columns: size, X and Y bars, crosshair box, Defaults button, show-at-all box.
    TTrackBar* TrackBarHourSize = nullptr;
    TTrackBar* TrackBarHourX = nullptr;
    TTrackBar* TrackBarHourY = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TButton* Button5 = nullptr;
    TTrackBar* TrackBarMinuteSize = nullptr;
    TTrackBar* TrackBarMinuteX = nullptr;
    TTrackBar* TrackBarMinuteY = nullptr;
    TCheckBox* CheckBox4 = nullptr;
    TButton* Button3 = nullptr;
    TTrackBar* TrackBarSecondSize = nullptr;
    TTrackBar* TrackBarSecondX = nullptr;
    TTrackBar* TrackBarSecondY = nullptr;
    TCheckBox* CheckBoxCrosshair = nullptr;
    TButton* Button4 = nullptr;
    TTrackBar* TrackBarunruhSize = nullptr;
    TTrackBar* TrackBarUnruhX = nullptr;
    TTrackBar* TrackBarUnruhY = nullptr;
    TCheckBox* CheckBoxCrosshairUnruh = nullptr;
    TButton* Button16 = nullptr;
    TCheckBox* CheckBoxShowWheel = nullptr;
    TTrackBar* TrackBarTourBillonSize = nullptr;
    TTrackBar* TrackBarTourBillonX = nullptr;
    TTrackBar* TrackBarTourBillonY = nullptr;
    TCheckBox* CheckBoxCrosshairTourbillon = nullptr;
    TButton* Button17 = nullptr;
    TCheckBox* CheckBoxShowTourbillon = nullptr;
    TTrackBar* TrackBarGearwheelSize = nullptr;
    TTrackBar* TrackBarGearWheelX = nullptr;
    TTrackBar* TrackBarGearWheelY = nullptr;
    TCheckBox* CheckBoxCrosshairGearWheel = nullptr;
    TButton* Button18 = nullptr;
    TCheckBox* CheckBoxShowGearWheel = nullptr;
    TTrackBar* TrackBarEscapewheelSize = nullptr;
    TTrackBar* TrackBarEscapewheelX = nullptr;
    TTrackBar* TrackBarEscapewheelY = nullptr;
    TCheckBox* CheckBox10 = nullptr;
    TButton* Button19 = nullptr;
    TCheckBox* CheckBoxShowEscapeWheel = nullptr;

    void TrackBarUnruhAngleChange(TObject* Sender);
    void TrackBarHourSizeChange(TObject* Sender);
    void TrackBarHourXChange(TObject* Sender);
    void TrackBarHourYChange(TObject* Sender);
    void CheckBox1Change(TObject* Sender);
    void Button5Click(TObject* Sender);
    void TrackBarMinuteSizeChange(TObject* Sender);
    void TrackBarMinuteXChange(TObject* Sender);
    void TrackBarMinuteYChange(TObject* Sender);
    void CheckBox4Change(TObject* Sender);
    void Button3Click(TObject* Sender);
    void TrackBarSecondSizeChange(TObject* Sender);
    void TrackBarSecondXChange(TObject* Sender);
    void TrackBarSecondYChange(TObject* Sender);
    void CheckBoxCrosshairChange(TObject* Sender);
    void Button4Click(TObject* Sender);
    void TrackBarunruhSizeChange(TObject* Sender);
    void TrackBarUnruhXChange(TObject* Sender);
    void TrackBarUnruhYChange(TObject* Sender);
    void CheckBoxCrosshairUnruhChange(TObject* Sender);
    void Button16Click(TObject* Sender);
    void CheckBoxShowWheelChange(TObject* Sender);
    void TrackBarTourBillonSizeChange(TObject* Sender);
    void TrackBarTourBillonXChange(TObject* Sender);
    void TrackBarTourBillonYChange(TObject* Sender);
    void CheckBoxCrosshairTourbillonChange(TObject* Sender);
    void Button17Click(TObject* Sender);
    void CheckBoxShowTourbillonChange(TObject* Sender);
    void TrackBarGearwheelSizeChange(TObject* Sender);
    void TrackBarGearWheelXChange(TObject* Sender);
    void TrackBarGearWheelYChange(TObject* Sender);
    void CheckBoxCrosshairGearWheelChange(TObject* Sender);
    void Button18Click(TObject* Sender);
    void CheckBoxShowGearWheelChange(TObject* Sender);
    void TrackBarEscapewheelSizeChange(TObject* Sender);
    void TrackBarEscapewheelXChange(TObject* Sender);
    void TrackBarEscapewheelYChange(TObject* Sender);
    void Button19Click(TObject* Sender);
    void CheckBoxShowEscapeWheelChange(TObject* Sender);

    // Colours of the countdown texts, the remaining-time arc and the date: picker, R, G, B fields,
    // Set RGB, Copy color and Paste color of each group.
    TColorPanel* TextColorPanel = nullptr;
    TEdit* Edit4 = nullptr;
    TEdit* Edit5 = nullptr;
    TEdit* Edit6 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button7 = nullptr;
    TButton* Button9 = nullptr;
    TColorPanel* ArcColorPanel = nullptr;
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* Edit3 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button10 = nullptr;
    TButton* Button11 = nullptr;
    TColorPanel* FontcolorPanel = nullptr;
    TEdit* Edit7 = nullptr;
    TEdit* Edit8 = nullptr;
    TEdit* Edit9 = nullptr;
    TButton* Button8 = nullptr;
    TButton* Button12 = nullptr;
    TButton* Button13 = nullptr;
    TBrkApart BrkApartColor{this, QStringLiteral("BrkApartColor")};

    void TextColorPanelChange(TObject* Sender);
    void ArcColorPanelChange(TObject* Sender);
    void FontcolorPanelChange(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button8Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void Button10Click(TObject* Sender);
    void Button12Click(TObject* Sender);
    void Button9Click(TObject* Sender);
    void Button11Click(TObject* Sender);
    void Button13Click(TObject* Sender);

    // Fonts, sizes, bold style, and the date's rotation and stretch.
    TComboBox* ComboBox1 = nullptr;
    TTrackBar* TrackbarDateSize = nullptr;
    TTrackBar* TrackbarDateRotation = nullptr;
    TTrackBar* TrackbarDateScale = nullptr;
    TButton* Button6 = nullptr;
    TComboBox* ComboBox2 = nullptr;
    TTrackBar* TrackbarTextSize = nullptr;
    TCheckBox* CheckBox9 = nullptr;

    void CollectFonts(TSortedStringList& FontList);
    static int FontFamilyCallback(const TFontFamilyReport& family, TSortedStringList& FontList);
    void LoadFonts();
    void LoadFonts2();
    void ComboBox1Change(TObject* Sender);
    void ComboBox2Change(TObject* Sender);
    void CheckBox9Change(TObject* Sender);
    void TrackbarTextSizeChange(TObject* Sender);
    void TrackbarDateSizeChange(TObject* Sender);
    void TrackbarDateRotationChange(TObject* Sender);
    void TrackbarDateScaleChange(TObject* Sender);
    void Button6Click(TObject* Sender);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The controls of one placement column, as the column builder hands them out.
    struct Column {
        TTrackBar* size;
        TTrackBar* x;
        TTrackBar* y;
        TCheckBox* crosshair;
        TButton* defaults;
        TCheckBox* showAtAll;
    };
    QWidget* addTab(const QString& name, const QString& caption, const QString& tip);
    void buildTabs();
    void orderTabs();
    void buildPlacementColumns();
    void buildLightControls();
    void connectLightHandlers();
    Column addColumn(QWidget& tab, int left, const QString& title, const QString& prefix, float minSize,
                     const QString& crosshairName, const QString& crosshairCaption,
                     const QString& defaultsName, const QString& showName, const QString& showCaption);
    void describeColumn(const Column& column, const QString& part);
    void connectPlacementHandlers();
    void buildColourGroups();
    void buildFontControls();
    void fillFontList(TComboBox& list);
    const QStringList& installedFonts();
    // The controls of one colour group and the handler that applies its picker's colour.
    // Where one group's controls go: the members that carry their names.
    struct ColourGroup {
        TColorPanel*& panel;
        TEdit*& red;
        TEdit*& green;
        TEdit*& blue;
        TButton*& setRgb;
        TButton*& copy;
        TButton*& paste;
    };
    void addColourGroup(QWidget& tab, QPoint at, const QString& title, const QString& target,
                        const QString& panelName, const std::array<QString, 6>& names,
                        const ColourGroup& group);
    void showChannels(const TColorPanel& panel, TEdit& red, TEdit& green, TEdit& blue);
    void setRgb(TEdit& red, TEdit& green, TEdit& blue, TColorPanel& panel);
    void copyColour(const TColorPanel& panel);
    void pasteColour(TColorPanel& panel);

    void resetPlacement(TWatchPart part, TTrackBar& x, TTrackBar& y, TTrackBar& size);
    void colourCaptions(QLabel& off, QLabel& on, bool switchedOn);

    TWatchScene& watch_;
    QStringList installedFonts_;
    bool fontsCollected_ = false;
};
