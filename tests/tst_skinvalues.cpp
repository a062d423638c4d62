// What a skin file says is what the watch shows: every key reaches its holder and the scene, also when
// the holder already had the value; a load and the editor give the same scene; and a first start shows
// the same watch as the next one.
#include "app/Unit1.h"
#include "app/skinbinding.h"
#include "editor/Unit2.h"
#include "recordingdialogs.h"
#include "recordingplayer.h"
#include "skin/profile.h"
#include "skin/skinkeys.h"
#include "skinfixture.h"
#include "testsupport.h"
#include "toolkit/colorpanel.h"
#include "toolkit/controls.h"
#include "toolkit/view.h"

#include <QtTest>
#include <set>

using namespace skinfixture;

class TestSkinValues : public QObject {
    Q_OBJECT
private slots:
    void init() { setLocalTime(2026, 11, 20, 10, 20, 30); }
    void tableCoversEveryKey();
    void everyKeyReachesTheScene_data();
    void everyKeyReachesTheScene();
    void loadMatchesTheEditor_data();
    void loadMatchesTheEditor();
    void firstStartLooksLikeTheNext();
    void editorWorksOnASceneAlone();
};

namespace {
using Probe = std::function<QString(TForm1&)>;
using EventOf = std::function<TNotifyEvent*(TForm1&)>;

// One key: its line in skin.ini, what its holder holds and what the scene shows afterwards (both read
// as text, and both must read `expected`), and the holder's change event, which the second pass silences
// so the holder takes the value without the scene.
struct KeyCase {
    QByteArray line;
    Probe held;
    Probe shown;
    QString expected;
    EventOf event;
    // The program reads the holder itself whenever it needs the value, so there is no scene state to lag.
    bool readLive = false;
};

QString num(double value) {
    return QString::number(value, 'g', 6);
}
QString flag(bool on) {
    return on ? "1" : "0";
}
QString hex(QRgb colour) {
    return QString::number(colour, 16);
}
int indexIn(const TElement& element) {
    return element.IndexInParent();
}

template <class Control> Probe heldBy(Control* TForm2::*control) {
    return [control](TForm1& f) {
        auto* c = f.editor().*control;
        if constexpr (std::is_same_v<Control, TTrackBar>)
            return num(c->Value());
        else if constexpr (std::is_same_v<Control, TColorPanel>)
            return hex(c->Color());
        else
            return flag(c->IsChecked());
    };
}
template <class Control> EventOf eventOf(Control* TForm2::*control) {
    return [control](TForm1& f) { return &(f.editor().*control)->OnChange; };
}
template <class Control>
KeyCase editorKey(const char* line, Control* TForm2::*control, Probe shown, const QString& expected,
                  bool readLive = false) {
    return {line, heldBy(control), std::move(shown), expected, eventOf(control), readLive};
}

using ElementOf = std::function<TElement&(TForm1&)>;
template <class T> ElementOf el(T* TWatchScene::*member) {
    return [member](TForm1& f) -> TElement& { return *(f.*member); };
}

Probe width(ElementOf element) {
    return [element](TForm1& f) { return num(element(f).Width()); };
}
Probe visible(ElementOf element) {
    return [element](TForm1& f) { return flag(element(f).Visible()); };
}
// A mechanism's crosshair keeps its offsets; where they part, the probe says so.
Probe margin(ElementOf element, ElementOf along, double (QMarginsF::*side)() const) {
    return [element, along, side](TForm1& f) {
        const double value = (element(f).Margins().*side)();
        return along && (along(f).Margins().*side)() != value ? QString("apart") : num(value);
    };
}
Probe leftMargin(ElementOf element, ElementOf along = {}) {
    return margin(std::move(element), std::move(along), &QMarginsF::left);
}
Probe topMargin(ElementOf element, ElementOf along = {}) {
    return margin(std::move(element), std::move(along), &QMarginsF::top);
}

std::vector<KeyCase> keyCases() {
    using F = TForm1;
    using S = TWatchScene;
    return {
        editorKey(
            "DateSize=77", &TForm2::TrackbarDateSize, [](F& f) { return num(f.DateOut->FontSize()); }, "77"),
        editorKey("MiniBezelSize=333", &TForm2::TrackBarMinutehandExtraAdjusterBezel,
                  width(el(&S::MinutehandExtraAdjusterBezel)), "333"),
        editorKey(
            "DateScale=2.5", &TForm2::TrackbarDateScale,
            [](F& f) {
                return f.DateMover->Scale().x() == f.DateOut->Scale().x() ? num(f.DateOut->Scale().x())
                                                                          : "apart";
            },
            "2.5"),
        editorKey("SecondHandPositionX=40", &TForm2::TrackBarSecondX, leftMargin(el(&S::SecHand)), "40"),
        editorKey("SecondHandPositionY=-30", &TForm2::TrackBarSecondY, topMargin(el(&S::SecHand)), "-30"),
        editorKey(
            "SecondHandOnTop=0", &TForm2::CheckBoxSecOnTop,
            [](F& f) { return flag(indexIn(*f.SecHand) > indexIn(*f.Hourhand)); }, "0"),
        {"PlaySoundAtEnd=1", [](F& f) { return flag(f.PlaySound_Chosen->IsChecked()); }, nullptr, "1",
         [](F& f) { return &f.PlaySound_Chosen->OnChange; }},
        editorKey(
            "BlurredText=0", &TForm2::CheckBoxTextBlur, [](F& f) { return flag(f.BlurEffect1->Enabled()); },
            "0"),
        editorKey("SecondHandSize=444", &TForm2::TrackBarSecondSize, width(el(&S::SecHand)), "444"),
        editorKey("HourHandPositionX=50", &TForm2::TrackBarHourX, leftMargin(el(&S::Hourhand)), "50"),
        editorKey("HourHandPositionY=-60", &TForm2::TrackBarHourY, topMargin(el(&S::Hourhand)), "-60"),
        editorKey("HourHandSize=555", &TForm2::TrackBarHourSize, width(el(&S::Hourhand)), "555"),
        editorKey("UnruhPositionX=70", &TForm2::TrackBarUnruhX,
                  leftMargin(el(&S::LayoutUnruh), el(&S::LayoutUnruhCrossHair)), "70"),
        editorKey("UnruhPositionY=-80", &TForm2::TrackBarUnruhY,
                  topMargin(el(&S::LayoutUnruh), el(&S::LayoutUnruhCrossHair)), "-80"),
        editorKey("UnruhSize=222", &TForm2::TrackBarunruhSize, width(el(&S::Unruh)), "222"),
        editorKey(
            "UnruhAngle=90", &TForm2::TrackBarUnruhAngle,
            [](F& f) {
                f.UnRuhTimerTimer(&f.UnRuhTimer);
                return num(std::max(f.UnruhFloatAnimation->StartValue, f.UnruhFloatAnimation->StopValue));
            },
            "90", true),
        editorKey("ShowBalanceWheel=0", &TForm2::CheckBoxShowWheel, visible(el(&S::Unruh)), "0"),
        editorKey("ShowBalanceWheelCrosshair=1", &TForm2::CheckBoxCrosshairUnruh,
                  visible(el(&S::LayoutUnruhCrossHair)), "1"),
        editorKey("TourbillonPositionX=90", &TForm2::TrackBarTourBillonX,
                  leftMargin(el(&S::Tourbillon), el(&S::LayoutTourBillonCrosshair)), "90"),
        editorKey("TourbillonPositionY=-100", &TForm2::TrackBarTourBillonY,
                  topMargin(el(&S::Tourbillon), el(&S::LayoutTourBillonCrosshair)), "-100"),
        editorKey("TourbillonSize=666", &TForm2::TrackBarTourBillonSize, width(el(&S::Tourbillon)), "666"),
        editorKey("ShowTourbillon=0", &TForm2::CheckBoxShowTourbillon, visible(el(&S::Tourbillon)), "0"),
        editorKey("ShowTourbillonCrosshair=1", &TForm2::CheckBoxCrosshairTourbillon,
                  visible(el(&S::LayoutTourBillonCrosshair)), "1"),
        editorKey(
            "TourbillononTopOfBalance=1", &TForm2::TourbillononTopOfBalanceSwitch,
            [](F& f) { return flag(indexIn(*f.LayoutUnruh) < indexIn(*f.Tourbillon)); }, "1"),
        editorKey(
            "EscapeOnTopOfBalance=1", &TForm2::EscapeOnTopOfBalanceWheelSwith,
            [](F& f) { return flag(indexIn(*f.escapewheel) < indexIn(*f.Unruh)); }, "1"),
        editorKey("GearwheelPositionX=110", &TForm2::TrackBarGearWheelX,
                  leftMargin(el(&S::Gearwheel), el(&S::LayoutGearWheelCrosshair)), "110"),
        editorKey("GearwheelPositionY=-120", &TForm2::TrackBarGearWheelY,
                  topMargin(el(&S::Gearwheel), el(&S::LayoutGearWheelCrosshair)), "-120"),
        editorKey("GearwheelSize=77", &TForm2::TrackBarGearwheelSize, width(el(&S::Gearwheel)), "77"),
        editorKey("ShowGearwheel=0", &TForm2::CheckBoxShowGearWheel, visible(el(&S::Gearwheel)), "0"),
        editorKey("ShowGearwheelCrosshair=1", &TForm2::CheckBoxCrosshairGearWheel,
                  visible(el(&S::LayoutGearWheelCrosshair)), "1"),
        editorKey("escapewheelPositionX=130", &TForm2::TrackBarEscapewheelX, leftMargin(el(&S::escapewheel)),
                  "130"),
        editorKey("escapewheelPositionY=-140", &TForm2::TrackBarEscapewheelY, topMargin(el(&S::escapewheel)),
                  "-140"),
        editorKey("escapewheelSize=99", &TForm2::TrackBarEscapewheelSize, width(el(&S::escapewheel)), "99"),
        editorKey("ShowEscapeWheel=0", &TForm2::CheckBoxShowEscapeWheel, visible(el(&S::escapewheel)), "0"),
        editorKey("MinuteHandPositionX=150", &TForm2::TrackBarMinuteX, leftMargin(el(&S::Minutehand)), "150"),
        editorKey("MinuteHandPositionY=-160", &TForm2::TrackBarMinuteY, topMargin(el(&S::Minutehand)),
                  "-160"),
        editorKey("MinuteHandSize=777", &TForm2::TrackBarMinuteSize, width(el(&S::Minutehand)), "777"),
        editorKey("BezelSize=888", &TForm2::TrackBarBezelSize, width(el(&S::ArcOntop)), "888"),
        editorKey(
            "DateRotation=-12.5", &TForm2::TrackbarDateRotation,
            [](F& f) { return num(f.DateOut->RotationAngle()); }, "-12.5"),
        editorKey(
            "MessageColor=-16776961", &TForm2::TextColorPanel,
            [](F& f) {
                return f.DaInitMessage->FontColor() == f.DaMessage->FontColor()
                           ? hex(f.DaMessage->FontColor().rgba())
                           : "apart";
            },
            "ff0000ff"),
        editorKey(
            "TimeColor=-16744448", &TForm2::FontcolorPanel,
            [](F& f) { return hex(f.DateOut->FontColor().rgba()); }, "ff008000"),
        editorKey(
            "ArcColor=2130771712", &TForm2::ArcColorPanel,
            [](F& f) { return hex(f.AdjusterArc->StrokeColor().rgba()); }, "7f00ff00"),
        editorKey(
            "TextSize=66", &TForm2::TrackbarTextSize, [](F& f) { return num(f.DaMessage->FontSize()); },
            "66"),
        editorKey(
            "Shadow=0", &TForm2::CheckBox2,
            [](F& f) { return flag(f.HourShadow->Enabled() && f.Overlay->Visible()); }, "0"),
        editorKey(
            "WatchHasDate=0", &TForm2::CheckBox3,
            [](F& f) { return flag(f.DateOut->Visible() || f.DateMover->Visible()); }, "0"),
        {"FullWatch=0", [](F& f) { return flag(f.CheckBox5->IsChecked()); },
         [](F& f) { return flag(f.Watch->Bitmap() != f.WatchfaceReduced->Bitmap()); }, "0",
         [](F& f) { return &f.CheckBox5->OnChange; }},
        editorKey(
            "TextShadow=0", &TForm2::CheckBoxTextShadow,
            [](F& f) { return flag(f.ShadowEffect3->Enabled() || f.ShadowEffect5->Enabled()); }, "0"),
        editorKey(
            "RunCounterclockwise=1", &TForm2::CheckBox6,
            [](F& f) {
                f.UhrzeitTimerTimer(&f.UhrzeitTimer);
                return flag(f.Minutehand->RotationAngle() < 0);
            },
            "1", true),
        editorKey("ShowSecHand=0", &TForm2::CheckBox7, visible(el(&S::SecHand)), "0"),
        editorKey(
            "ShowMiniBezel=1", &TForm2::CheckBox8,
            [](F& f) { return flag(f.MinutehandExtraAdjusterBezel->Tag() == -1); }, "1"),
        editorKey(
            "FatTextFont=1", &TForm2::CheckBox9, [](F& f) { return flag(f.DaMessage->Bold()); }, "1"),
        editorKey(
            "ArcPos=120", &TForm2::TrackBar2, [](F& f) { return num(f.AdjusterArc->Margins().bottom()); },
            "120"),
        editorKey(
            "ArcThick=20", &TForm2::TrackBar1, [](F& f) { return num(f.AdjusterArc->StrokeThickness()); },
            "20"),
        editorKey(
            "ShadowRotation=300", &TForm2::TrackBar4,
            [](F& f) {
                return f.ShadowEffect3->Direction() == 345 ? num(f.Overlay->RotationAngle()) : "apart";
            },
            "300"),
        editorKey(
            "ShadowOpacity=0.5", &TForm2::TrackBar5, [](F& f) { return num(f.Overlay->Opacity()); }, "0.5"),
        {"Message=On air soon", [](F& f) { return f.Edit1->Text(); }, [](F& f) { return f.StartMessage; },
         "On air soon", [](F& f) { return &f.Edit1->OnChange; }},
        {"ClockFontName=DejaVu Serif", [](F& f) { return f.DateOut->FontFamily(); },
         [](F& f) { return f.editor().ComboBox1->currentText(); }, "DejaVu Serif", nullptr},
        {"TextFontName=DejaVu Sans Mono",
         [](F& f) {
             return f.DaInitMessage->FontFamily() == f.DaMessage->FontFamily() ? f.DaMessage->FontFamily()
                                                                               : "apart";
         },
         [](F& f) { return f.editor().ComboBox2->currentText(); }, "DejaVu Sans Mono", nullptr},
        {"FinishMessage=Back now", [](F& f) { return f.Finish_Message->Text(); },
         [](F& f) {
             // A countdown that ended a minute ago shows the end message.
             f.DateEdit1.setDate(Clock::instance().now().date());
             f.TimeEdit1.setTime(Clock::instance().now().time().addSecs(-60));
             f.UhrzeitTimerTimer(&f.UhrzeitTimer);
             return f.DaInitMessage->Text();
         },
         "Back now", [](F& f) { return &f.Finish_Message->OnChange; }, true},
        {"DateX=600", [](F& f) { return num(f.DateOut->Position().x()); },
         [](F& f) { return num(f.DateMover->Position().x()); }, "600", nullptr},
        {"DateY=400", [](F& f) { return num(f.DateOut->Position().y()); },
         [](F& f) { return num(f.DateMover->Position().y()); }, "400", nullptr},
        {"TextX=300", [](F& f) { return num(f.CutOut->Position().x()); },
         [](F& f) { return num(f.CutOutMover->Position().x()); }, "300", nullptr},
        {"TextY=500", [](F& f) { return num(f.CutOut->Position().y()); },
         [](F& f) { return num(f.CutOutMover->Position().y()); }, "500", nullptr},
    };
}

QString keyOf(const QByteArray& line) {
    return QString::fromLatin1(line.left(line.indexOf('=')));
}

struct Form {
    QTemporaryDir app;
    RecordingDialogs dialogs;
    TForm1 form{app.path()};
    Form() { form.MediaPlayer1 = std::make_unique<RecordingPlayer>(); }
    QString skin(const QByteArray& ini) {
        return makeSkin(app.path(), "Skin", {"WatchfaceReduced.png"}, "[Settings]\r\n" + ini + "\r\n");
    }
};
} // namespace

void TestSkinValues::tableCoversEveryKey() {
    std::multiset<QString> covered;
    for (const KeyCase& c : keyCases())
        covered.insert(keyOf(c.line));
    std::multiset<QString> keys;
    for (const TSkinKeyDef& key : skinkeys::Table)
        keys.insert(skinKeyName(key.key));
    QCOMPARE(covered, keys);
}

void TestSkinValues::everyKeyReachesTheScene_data() {
    QTest::addColumn<int>("row");
    const std::vector<KeyCase> cases = keyCases();
    for (std::size_t i = 0; i < cases.size(); ++i)
        QTest::newRow(cases[i].line.constData()) << int(i);
}

// Once into a fresh window; once into a window whose holder already has the value while its scene does
// not (the holder's event silenced): the load must bring it to the scene all the same.
void TestSkinValues::everyKeyReachesTheScene() {
    QFETCH(int, row);
    const KeyCase c = keyCases().at(std::size_t(row));
    {
        Form t;
        QVERIFY2(c.held(t.form) != c.expected, "the value must differ from the start value");
        QVERIFY(t.form.LoadSkin(t.skin(c.line)));
        QCOMPARE(c.held(t.form), c.expected);
        if (c.shown)
            QCOMPARE(c.shown(t.form), c.expected);
    }
    Form t;
    TProfile ini;
    ini.setValue(SettingsSection, keyOf(c.line), QString::fromLatin1(c.line.mid(c.line.indexOf('=') + 1)));
    const TSkinKey key = [&] {
        for (const TSkinKeyDef& def : skinkeys::Table)
            if (skinKeyName(def.key) == keyOf(c.line))
                return def.key;
        return TSkinKey::TextY;
    }();
    TNotifyEvent* event = c.event ? c.event(t.form) : nullptr;
    const TNotifyEvent saved = event ? *event : TNotifyEvent();
    if (event)
        *event = nullptr;
    skinBinding(key).assign(t.form, readSkinValue(ini, key));
    if (event)
        *event = saved;
    QCOMPARE(c.held(t.form), c.expected);
    if (c.shown && !c.readLive)
        QVERIFY2(c.shown(t.form) != c.expected, "the scene must not show it before the load");
    QVERIFY(t.form.LoadSkin(t.skin(c.line)));
    QCOMPARE(c.held(t.form), c.expected);
    if (c.shown)
        QCOMPARE(c.shown(t.form), c.expected);
}

void TestSkinValues::loadMatchesTheEditor_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<std::function<void(TForm1&)>>("byHand");
    QTest::newRow("light angle") << QByteArray("ShadowRotation=275")
                                 << std::function<void(TForm1&)>(
                                        [](TForm1& f) { f.editor().TrackBar4->setValue(275); });
    QTest::newRow("shadow rule") << QByteArray("Shadow=0\r\nShowSecHand=0")
                                 << std::function<void(TForm1&)>([](TForm1& f) {
                                        f.editor().CheckBox2->setIsChecked(false);
                                        f.editor().CheckBox7->setIsChecked(false);
                                    });
    QTest::newRow("watch face") << QByteArray("FullWatch=0") << std::function<void(TForm1&)>([](TForm1& f) {
        f.CheckBox5->setIsChecked(false);
    });
    QTest::newRow("mechanism position") << QByteArray("TourbillonPositionX=-210\r\nTourbillonPositionY=330")
                                        << std::function<void(TForm1&)>([](TForm1& f) {
                                               f.editor().TrackBarTourBillonX->setValue(-210);
                                               f.editor().TrackBarTourBillonY->setValue(330);
                                           });
    QTest::newRow("a colour") << QByteArray("ArcColor=-16744448")
                              << std::function<void(TForm1&)>([](TForm1& f) {
                                     f.editor().Edit1->setText("0");
                                     f.editor().Edit2->setText("128");
                                     f.editor().Edit3->setText("0");
                                     f.editor().Button2->Click();
                                 });
}

// A skin that holds a value, and the editor set to it by hand, draw the same watch.
void TestSkinValues::loadMatchesTheEditor() {
    QFETCH(QByteArray, line);
    QFETCH(std::function<void(TForm1&)>, byHand);
    Form loaded;
    QVERIFY(loaded.form.LoadSkin(loaded.skin(line)));
    Form edited;
    QVERIFY(edited.form.LoadSkin(edited.skin({})));
    byHand(edited.form);
    for (TForm1* form : {&loaded.form, &edited.form}) {
        form->UhrzeitTimerTimer(&form->UhrzeitTimer);
        form->Button2->Click(); // the arc and the indicator show while a countdown runs
    }
    advance(60);
    QCOMPARE(differingPixels(loaded.form.view().grabScene(), edited.form.view().grabScene(), 0), 0);
}

// The first start writes the default skin and loads it, so its watch is the one every later start shows.
void TestSkinValues::firstStartLooksLikeTheNext() {
    QTemporaryDir app;
    RecordingDialogs dialogs;
    QImage first;
    {
        TForm1 form(app.path(), TDiskUse::On);
        form.UhrzeitTimerTimer(&form.UhrzeitTimer);
        advance(50);
        first = form.view().grabScene();
        bool canClose = true;
        form.FormCloseQuery(&form, canClose);
        QVERIFY(canClose);
    }
    setLocalTime(2026, 11, 20, 10, 20, 30);
    TForm1 form(app.path(), TDiskUse::On);
    QCOMPARE(form.windowTitle(), QStringLiteral("Horavis 3.6 - Orvane Companion"));
    form.UhrzeitTimerTimer(&form.UhrzeitTimer);
    advance(50);
    QCOMPARE(differingPixels(first, form.view().grabScene(), 0), 0);
    QVERIFY(dialogs.errors.isEmpty() && dialogs.messages.isEmpty());
}

// The editor needs only the watch scene: its handlers move the scene, no main window involved.
void TestSkinValues::editorWorksOnASceneAlone() {
    TWatchScene watch(QSizeF(872, 734));
    TForm2 editor(watch);
    editor.TrackBarHourSize->setValue(640);
    QCOMPARE(watch.Hourhand->Width(), 640.0);
    editor.CheckBox2->setIsChecked(false);
    QVERIFY(!watch.Overlay->Visible());
    editor.TextColorPanel->setColor(0xFF123456);
    QCOMPARE(watch.DaMessage->FontColor().rgba(), QRgb(0xFF123456));
    editor.TourbillononTopOfBalanceSwitch->setIsChecked(true);
    QVERIFY(watch.LayoutUnruh->IndexInParent() < watch.Tourbillon->IndexInParent());
    editor.TrackbarDateScale->setValue(3);
    QCOMPARE(watch.DateMover->Scale().x(), 3.0);
}

QTEST_MAIN(TestSkinValues)
#include "tst_skinvalues.moc"
