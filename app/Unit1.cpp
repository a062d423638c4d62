#include "app/Unit1.h"

#include "app/skinbinding.h"
#include "editor/Unit2.h"
#include "toolkit/controls.h"
#include "toolkit/log.h"
#include "toolkit/view.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

TForm1* Form1 = nullptr;
TForm2* Form2 = nullptr;

TForm1::TForm1(const QString& programFolder, TDiskUse disk)
    : TObject(QStringLiteral("Form1")), TWatchScene(QSizeF(ClientWidth, ClientHeight)),
      UhrzeitTimer("UhrzeitTimer", 50, true, [this](TObject* s) { UhrzeitTimerTimer(s); }),
      UnRuhTimer("UnRuhTimer", 250, true, [this](TObject* s) { UnRuhTimerTimer(s); }),
      EscapeTimer("EscapeTimer", 500, true, [this](TObject* s) { EscapeTimerTimer(s); }),
      LanguageTimer_Start("LanguageTimer_Start", 5000, false),
      programFolder_(programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder),
      usesDisk_(disk == TDiskUse::On) {
    Form1 = this;
    setupWindow();
    buildTopPanel();
    buildLeftPanel();
    startMechanics();
    wireCountdown();
    wireKeys();
    buildCountdownMenu();
    wireMessages();
    wireDragging();
    wireSkins();
    FormCreate(this);
}

TForm1::~TForm1() {
    form2_.reset();
    Form2 = nullptr;
    // The child widgets refer to members (the scene, the preset group), so they go first.
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::wireCountdown() {
    MediaPlayer1 = makeSystemMediaPlayer(QStringLiteral("MediaPlayer1"));
    for (TRadioButton* preset :
         {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5, RadioButton6, RadioButton7}) {
        preset->OnChange = [this](TObject* s) { Button1Click(s); };
        // Clicking the checked preset again counts its duration from now again.
        preset->OnClickWhileChecked = [this](TObject* s) { Button1Click(s); };
    }
    TimeEdit1.OnChange = [this](TObject* s) { TimeEdit1Change(s); };
    SpinBox1->OnChange = [this](TObject* s) { SpinBox1Change(s); };
    AdjusterHandRecipient->OnChange = [this](TObject* s) { AdjusterHandRecipientChange(s); };
    AdjusterHand->OnChange = [this](TObject* s) { AdjusterHandChange(s); };
    Button2->OnClick = [this](TObject* s) { Button2Click(s); };
    Playsound->OnClick = [this](TObject* s) { PlaysoundClick(s); };
}

void TForm1::setupWindow() {
    setObjectName("Form1");
    setWindowTitle("Form1");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(ClientWidth, ClientHeight);
    move(0, 0);
    view_ = new TSceneView(scene(), this);
    view_->setGeometry(0, 0, ClientWidth, ClientHeight);
    applyDarkStyle(*this);
}

// The escape wheel's animation is enabled in the description, so it runs once as the window is built.
void TForm1::startMechanics() {
    TourbillonFloatAnimation->OnFinish = [this](TObject* s) { TourbillonFloatAnimationFinish(s); };
    SecHandFloatAnimation->OnFinish = [this](TObject* s) { SecHandFloatAnimationFinish(s); };
    EscapewheelFloatAnimation->Start();
}

void TForm1::FormCreate(TObject*) {
    form2_ = std::make_unique<TForm2>(*this);
    Form2 = form2_.get();
    ArrangeWatchLayers();
    AlarmPlayed = false;
    CheckBox5->setIsChecked(true);
    CutOutMoverFrame->setVisible(false);
    DateMoverFrame->setVisible(false);
    DateOut->SendToBack();
    CountdownState = 0;
    PrevDialAngle = 180;
    applySettingsToScene();

    AppDir = QDir::toNativeSeparators(programFolder_);
    QDir().mkpath(AppDir);
    if (!AppDir.endsWith(QDir::separator()))
        AppDir += QDir::separator();
    LoadStandardMessages();

    TimeEdit1.setUseNowTime(true);
    TimeEdit1.setUseNowTime(false);
    SetIndicatorGroupVisible(false);
    DaInitMessage->setVisible(Indicator->Visible());
    DaMessage->setVisible(Indicator->Visible());
    selectMessage(2);
    openSettingsAndSkin();

    // The ten-minute preset, checked, so Start counts its ten minutes from whenever it is pressed.
    RadioButton2->setIsChecked(true);
    // The preset above already dated the target; setting today here again would throw a target
    // taken just before midnight a day into the past.
}

void TForm1::SetIndicatorGroupVisible(bool visible) {
    Indicator->setVisible(visible);
    ArcOntop->setVisible(Indicator->Visible());
    // The mini bezel only joins the group while the skin asks for it (its tag).
    MinutehandExtraAdjusterBezel->setVisible(Indicator->Visible() &&
                                             MinutehandExtraAdjusterBezel->Tag() != 0);
    AdjusterArc->setVisible(Indicator->Visible());
}

void TForm1::Logme(const QString& message) {
    logme(message);
}

void TForm1::applySettingsToScene() {
    for (const TSkinLoadStep& step : skinLoadOrder())
        step.then(*this);
}

void TForm1::MagentaBoxChange(TObject*) {
    showMagentaPlate(MagentaBox->IsChecked());
}

void TForm1::Button3Click(TObject*) {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(DonationAddress)));
}

void TForm1::EditorClick(TObject*) {
    form2_->show();
    form2_->raise();
}
