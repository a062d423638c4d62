#pragma once

#include "toolkit/tobject.h"

#include <QWidget>

class TCheckBox;
class TTrackBar;
class QTabWidget;

// The skin properties window: its controls are the live holders of the skin's settings and write
// straight into the main window's scene. It lives as long as the main window and is only shown
// and hidden.
class TForm2 : public QWidget, public TObject {
public:
    static constexpr int ClientWidth = 777;
    static constexpr int ClientHeight = 453;

    TForm2();

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

    void TrackBarUnruhAngleChange(TObject* Sender);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* addTab(const QString& name, const QString& caption);
    void buildTabs();
};
