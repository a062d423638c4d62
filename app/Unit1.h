#pragma once

#include "app/skinerror.h"
#include "components/brkapart.h"
#include "toolkit/mediaplayer.h"
#include "toolkit/timeedits.h"
#include "toolkit/timer.h"
#include "toolkit/timespan.h"
#include "watch/watchscene.h"

#include <QString>
#include <QWidget>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>

class TSceneView;
class TForm2;
class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TListBox;
class TRadioButton;
class TRadioGroup;
class TSpinBox;
class TTrackBar;
class QLabel;
class QMenu;
class QAction;
class TProfile;

// Whether the window reads the settings file and the skin folder at start-up and writes them back on
// closing. The program always does; tests of other areas keep the built-in look and leave the disk alone.
enum class TDiskUse { Off, On };

// The main window: the watch on its chroma plate, and the control panels along the top and the
// left. It is the watch scene it shows, so its elements carry the names the rest of the program
// addresses them by; it reaches the skin properties window through editor() only.
class TForm1 : public QWidget, public TObject, public TWatchScene {
public:
    static constexpr int ClientWidth = 872;
    static constexpr int ClientHeight = 734;
    static constexpr const char* DonationAddress = "https://horavis.app/donate";

    // The program's folder is the executable's unless a test hands in another one.
    explicit TForm1(const QString& programFolder = QString(), TDiskUse disk = TDiskUse::Off);
    ~TForm1() override;

    // Handlers.
    void FormCreate(TObject* Sender);
    void UhrzeitTimerTimer(TObject* Sender);
    void UnRuhTimerTimer(TObject* Sender);
    void EscapeTimerTimer(TObject* Sender);
    void TourbillonFloatAnimationFinish(TObject* Sender);
    void SecHandFloatAnimationFinish(TObject* Sender);
    void MagentaBoxChange(TObject* Sender);
    void Button3Click(TObject* Sender);
    void EditorClick(TObject* Sender);
    // Countdown: target selection, display and end.
    void Button1Click(TObject* Sender);
    void TimeEdit1Change(TObject* Sender);
    void SpinBox1Change(TObject* Sender);
    void AdjusterHandRecipientChange(TObject* Sender);
    void AdjusterHandChange(TObject* Sender);
    void Button2Click(TObject* Sender);
    void PlaysoundClick(TObject* Sender);
    // Messages: the standard messages file, the picker, the text field and the rotation.
    void LoadStandardMessages();
    void ComboBox1Change(TObject* Sender);
    void Edit1Change(TObject* Sender);
    void Button9Click(TObject* Sender);
    void Button10Click(TObject* Sender);
    void LanguageTimer_StartTimer(TObject* Sender);
    void TrackBar6Change(TObject* Sender);
    // Dragging the date and the text plate on the dial.
    void DateMoverMouseDown(TObject* Sender, Qt::MouseButtons buttons, QPointF pointer);
    void DateMoverMouseMove(TObject* Sender, Qt::MouseButtons buttons, QPointF pointer);
    void DateMoverMouseUp(TObject* Sender, Qt::MouseButtons buttons, QPointF pointer);
    void CutOutMoverMouseDown(TObject* Sender, Qt::MouseButtons buttons, QPointF pointer);
    void CutOutMoverMouseMove(TObject* Sender, Qt::MouseButtons buttons, QPointF pointer);
    void CutOutMoverMouseUp(TObject* Sender, Qt::MouseButtons buttons, QPointF pointer);
    // Skins and settings.
    bool LoadSkin(const QString& NewSkindir);
    void SaveCurrentSkin();
    void CreateSkinDirList(TListBox* MyListBox);
    static QString GetDeepestDir(const QString& AFilename);
    void MenuItem1Click(TObject* Sender);
    void SkinBoxDblClick(TObject* Sender);
    void CheckBox5Change(TObject* Sender);
    void Readini();
    void Saveini();
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    // Saves as closing does, without asking, and ends the program.
    void endSession();
    void SetIndicatorGroupVisible(bool visible);
    // The countdown target: the date of DateEdit1 joined with the time of day of TimeEdit1.
    QDateTime TargetTime() const;

    // The countdown as the keys, the panel's buttons and the remote control drive it.
    struct CountdownStatus {
        bool running = false;
        bool paused = false;
        std::optional<qint64> remaining; // whole seconds, negative after the end; none while stopped
        QDateTime target;
        QString message;
        QString skin;
    };
    void startCountdown();
    void stopCountdown();
    // Pausing holds the remaining time; resuming moves the target on by the time spent paused. Only a
    // running countdown pauses.
    bool pauseCountdown();
    void resumeCountdown();
    void togglePause();
    // A duration from now, kept for the next Start; the preset button of that many minutes is checked.
    void applyDuration(int minutes);
    // Moves the target; one that falls behind now ends the countdown as any end does.
    void addToCountdown(qint64 seconds);
    CountdownStatus countdownStatus() const;
    // The remaining time or, after the end in overtime, the time since the end ("+1m 05s").
    static QString OvertimeText(const TTimeSpan& sinceEnd);
    // The remaining time as the dial's text plate shows it (1h5m07s, 4m 09s).
    static QString RemainingText(const TTimeSpan& span);
    // One line to the platform's debug output, marked as the program's.
    static void Logme(const QString& message);

    TSceneView& view() { return *view_; }
    TForm2& editor() { return *form2_; }
    const QString& appDir() const { return AppDir; }
    // Brings every value the editor's controls and the panels hold to the scene, by the rules a skin
    // load runs, so the scene never shows something the controls do not say.
    void applySettingsToScene();

    // Controls of the two panels, owned by their Qt parents.
    QWidget* Layout_Top = nullptr;
    QWidget* Layout_Left = nullptr;
    TComboBox* ComboBox1 = nullptr;
    QLabel* Label8 = nullptr;
    TEdit* Edit1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;
    QLabel* Image2 = nullptr;
    QWidget* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label5 = nullptr;
    TRadioButton* RadioButton1 = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    TRadioButton* RadioButton3 = nullptr;
    TRadioButton* RadioButton4 = nullptr;
    TRadioButton* RadioButton5 = nullptr;
    TRadioButton* RadioButton6 = nullptr;
    TRadioButton* RadioButton7 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label4 = nullptr;
    TEdit* Finish_Message = nullptr;
    TCheckBox* PlaySound_Chosen = nullptr;
    TButton* Playsound = nullptr;
    QLabel* Label9 = nullptr;
    TSpinBox* SpinBox1 = nullptr;
    QLabel* Label2 = nullptr;
    TButton* Button9 = nullptr;
    TButton* Button10 = nullptr;
    TTrackBar* TrackBar6 = nullptr;
    QLabel* Label12 = nullptr;
    TCheckBox* MagentaBox = nullptr;
    TCheckBox* CheckBox5 = nullptr;
    QLabel* Label3 = nullptr;
    TListBox* SkinBox = nullptr;
    TButton* Editor = nullptr;
    // The countdown's own row under the presets: take or give time, and pause.
    TButton* PauseButton = nullptr;
    std::array<TButton*, 4> adjustButtons_{}; // five and one minute less, one and five more
    // The Start button's menu: the warning stage and overtime.
    QMenu* CountdownMenu = nullptr;
    QAction* OvertimeAction = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* MenuItem1 = nullptr;

    // Hidden members.
    TTimeEdit TimeEdit1{QStringLiteral("TimeEdit1")};
    TDateEdit DateEdit1{QStringLiteral("DateEdit1")};
    TTimer UhrzeitTimer;
    TTimer UnRuhTimer;
    TTimer EscapeTimer;
    TTimer LanguageTimer_Start;
    TBrkApart BrkApart1{this, QStringLiteral("BrkApart1")};
    // The lines of the standard messages file as read.
    QStringList ListBox1;
    // Tests put a recording player in its place.
    std::unique_ptr<TMediaPlayer> MediaPlayer1;

    // Unit state.
    QString AppDir;
    // The current skin folder, always ending in a separator.
    QString SkinDir;
    // The one skin folder the program may write into: the last one loaded in this run, or one it wrote
    // fresh. Empty while none was.
    QString WritableSkinDir;
    // "Horavis 3.6 - " and the current skin's name, once a skin is loaded.
    QString ApplicationTitle;
    bool StrapSwitchLocked = true;
    bool AlarmPlayed = false;
    int CountdownState = 0;
    double PrevDialAngle = 180;
    // Full path of the current skin's alarm sound, or empty.
    QString AlarmFile;
    // The line above the remaining time while the countdown has not ended.
    QString StartMessage;
    TTimeSpan RemainingSpan;
    // The duration Start counts, from a preset or the remote control; none once a target is set by hand.
    std::optional<int> DurationMinutes;
    bool Paused = false;
    QDateTime PausedAt;
    float PausedMinuteAngle = 0;
    // How the countdown behaves, from Horavis.ini.
    struct CountdownSettings {
        int WarnSeconds = 60; // the warning stage's length; 0 turns it off
        QRgb WarnColor = 0xFFFFB000;
        bool Overtime = false; // count up after the end
    } Countdown;
    int RotationIndex = 0;
    int RotationStart = 0;
    bool DateDragging = false;
    bool TextDragging = false;
    // Where a drag began (in the handle's own units) and where the handle is being dragged to.
    struct DragState {
        QPointF press;
        QPointF position;
    };

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildTopPanel();
    void buildLeftPanel();
    void buildTimingGroup(QWidget& group);
    void buildAdjustRow(QWidget& group, int top);
    void setupWindow();
    void startMechanics();
    void wireCountdown();
    void wireKeys();
    void buildCountdownMenu();
    void wireMessages();
    void wireDragging();
    void wireSkins();
    void openSettingsAndSkin();
    QString rememberedSkinDir(const QString& stored) const;
    static void restorePlace(QWidget& window, const TProfile& ini, const QString& left, const QString& top);
    void readCountdownSettings(const TProfile& ini);
    void saveSkinIfLoaded();
    bool saveSkinBeforeSwitching();
    bool hasRequiredPictures(const QString& folder) const;
    QString skinSettingsPath(const QString& folder) const;
    std::map<QString, TPicture> decodeSkinPictures(const QString& folder) const;
    void applySkinPictures(const QString& folder, const std::map<QString, TPicture>& pictures);
    void applySkinSettings(const TProfile& ini);
    void showCurrentSkin();
    void selectMessage(int index);
    void startRotation(int first);
    void countdownTick();
    // The moment the countdown measures from: now, or the moment it was paused.
    QDateTime countdownNow() const;
    // The minute hand's angle the arc starts from; it holds while the countdown is paused.
    float arcStartAngle() const;
    void showWarning(bool warn);
    void showPauseState();
    std::array<TRadioButton*, 7> presets() const;
    void setHandTargetByHand();
    void countFrom(int minutes);
    void setTargetMoment(const QDateTime& moment);
    void shiftTarget(int minutes);
    void playAlarm();

    QString programFolder_;
    bool usesDisk_;
    bool sessionEnded_ = false;
    // The target is being set from a duration, so it stays one.
    bool settingDuration_ = false;
    DragState dateDrag_;
    DragState textDrag_;
    TSceneView* view_ = nullptr;
    std::unique_ptr<TRadioGroup> presetGroup_;
    std::unique_ptr<TForm2> form2_;
};

// The two windows reach each other through these, as long as both exist.
extern TForm1* Form1;
extern TForm2* Form2;
