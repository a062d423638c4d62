// Renders the main window offscreen over a few hundred frames of moving time and compares the
// program's renderer with a naive one that scales and rotates every source picture every frame.
// Then start-up times, and the peak resident memory of a first start, a second start, a running
// countdown, a dragged Size bar and skin switches, each in a process of its own. Frames a second
// on screen and CPU use come from cpu_usage.sh, which runs the real program under Xvfb.
#include "app/Unit1.h"
#include "editor/Unit2.h"
#include "toolkit/clock.h"
#include "toolkit/controls.h"
#include "toolkit/renderer.h"
#include "toolkit/view.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
constexpr int Frames = 300;
constexpr int FrameStepMs = 25;

struct Figures {
    double median;
    double p95;
};

Figures summarize(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[size_t(samples.size() * 0.95)]};
}

// Everything a streamer could have on screen at once: the countdown display and all mechanics.
void showEveryLayer(TForm1& form) {
    form.SetIndicatorGroupVisible(true);
    form.DaInitMessage->setVisible(true);
    form.DaMessage->setVisible(true);
    form.BlurEffect1->setEnabled(true);
    form.OnTop->assignFrom(*form.Indicator);
}

std::vector<double> timeFrames(TForm1& form, const std::function<void()>& frame) {
    std::vector<double> samples;
    samples.reserve(Frames);
    QElapsedTimer timer;
    for (int i = 0; i < Frames; ++i) {
        Clock::instance().advance(FrameStepMs);
        timer.start();
        frame();
        samples.push_back(timer.nsecsElapsed() / 1e6);
    }
    (void)form;
    return samples;
}

void print(const char* name, const Figures& f) {
    std::printf("%-34s median %7.3f ms   p95 %7.3f ms\n", name, f.median, f.p95);
}

void firstFrame(TForm1& form) {
    form.show();
    while (form.view().paintCount() == 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The program as it runs, on the real clock, for a while.
void run(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

double peakResidentMb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

bool copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QFileInfo& entry : QDir(from).entryInfoList(QDir::Files))
        if (!QFile::copy(entry.filePath(), to + "/" + entry.fileName()))
            return false;
    return true;
}

// One scenario of a program's life in `folder`, alone in its process so that peaks do not add up.
int memoryScenario(const QString& scenario, const QString& folder) {
    if (scenario == "first") {
        TForm1 form(folder, TDiskUse::On);
        firstFrame(form);
        run(1000);
    } else {
        TForm1 form(folder, TDiskUse::On);
        firstFrame(form);
        run(1000);
        if (scenario == "countdown") {
            form.Button2Click(form.Button2);
            run(3000);
        } else if (scenario == "drag") {
            for (int step = 0; step <= 300; ++step) {
                Form2->TrackBarHourSize->setValue(100 + 3.0f * float(step));
                run(16);
            }
            run(500);
        } else if (scenario == "switches") {
            const QString skins[] = {folder + "/Orvane Companion/", folder + "/Second skin/"};
            if (!copyFolder(skins[0], skins[1]))
                return 1;
            for (int i = 0; i < 120; ++i) {
                form.LoadSkin(QDir::toNativeSeparators(skins[i % 2]));
                run(20);
            }
        }
    }
    std::printf("%.0f\n", peakResidentMb());
    return 0;
}

QString peakOf(const QString& scenario, const QString& folder) {
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.start(QCoreApplication::applicationFilePath(), {"--memory", scenario, folder});
    child.waitForFinished(600000); // 120 skin switches take long on a busy machine
    const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
    return child.exitCode() == 0 && !lines.isEmpty() ? QString::fromLatin1(lines.last()) : QString("?");
}
} // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() == 4 && arguments[1] == "--memory")
        return memoryScenario(arguments[2], arguments[3]);

    // Start-up: program start to the first painted frame of the shown window (real clock), then the
    // window alone on a first start (writes the default skin) and a second start (loads it).
    double startupMs = 0;
    {
        TForm1 form;
        firstFrame(form);
        startupMs = sinceStart.nsecsElapsed() / 1e6;
    }
    QTemporaryDir programFolder;
    const auto timedStart = [&] {
        QElapsedTimer timer;
        timer.start();
        TForm1 form(programFolder.path(), TDiskUse::On);
        firstFrame(form);
        return timer.nsecsElapsed() / 1e6;
    };
    const double firstStartMs = timedStart();
    const double secondStartMs = timedStart();

    Clock::instance().setManualTime(QDateTime(QDate(2026, 7, 1), QTime(10, 9, 30)));
    TForm1 form;
    showEveryLayer(form);
    const QSize size(TForm1::ClientWidth, TForm1::ClientHeight);
    QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
    TSceneView& view = form.view();
    view.renderArea(canvas, QRegion(QRect(QPoint(), size)));
    view.takeDamage();

    double damagedPixels = 0;
    const Figures damaged = summarize(timeFrames(form, [&] {
        const QRegion damage = view.takeDamage();
        for (const QRect& rect : damage)
            damagedPixels += double(rect.width()) * rect.height();
        view.renderArea(canvas, damage);
    }));
    const Figures full =
        summarize(timeFrames(form, [&] { view.renderArea(canvas, QRegion(QRect(QPoint(), size))); }));
    TSceneRenderer naive(TSceneRenderer::Mode::Naive);
    const bool skipBaseline = application.arguments().contains("--program-only"); // for profiling
    const Figures baseline = skipBaseline ? Figures{0, 0} : summarize(timeFrames(form, [&] {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        naive.render(painter, form.scene());
    }));

    // A user dragging a Size bar over its whole range: the hand's picture is scaled anew as it
    // grows, and every frame must stay within the budget.
    const float sizeStep = (1000.0f - 100.0f) / Frames;
    int frame = 0;
    std::vector<double> dragSamples = timeFrames(form, [&] {
        Form2->TrackBarHourSize->setValue(100 + sizeStep * float(frame++));
        view.renderArea(canvas, view.takeDamage());
    });
    const Figures drag = summarize(dragSamples);
    const double dragWorst = *std::max_element(dragSamples.begin(), dragSamples.end());

    std::printf("Frame benchmark, %d frames of %d ms, every layer shown, shadows on\n", Frames, FrameStepMs);
    print("program (repaints damaged areas)", damaged);
    print("program (whole frame)", full);
    print("naive baseline (whole frame)", baseline);
    std::printf("speed-up, median: %.1fx (damaged areas), %.1fx (whole frame)\n",
                baseline.median / damaged.median, baseline.median / full.median);
    std::printf("dragging the hour hand's Size bar 100 to 1000: median %.3f ms, p95 %.3f ms, worst %.3f ms\n",
                drag.median, drag.p95, dragWorst);
    std::printf("repainted per frame: %.0f%% of the window on average\n",
                100 * damagedPixels / Frames / (double(size.width()) * size.height()));
    std::printf("start-up to first painted frame: %.0f ms\n", startupMs);
    std::printf("window to first frame: first start %.0f ms (writes the default skin), second start %.0f ms "
                "(loads it)\n",
                firstStartMs, secondStartMs);

    QTemporaryDir memoryFolder;
    QStringList peaks;
    for (const char* scenario : {"first", "second", "countdown", "drag", "switches"})
        peaks << peakOf(scenario, memoryFolder.path());
    std::printf("peak resident memory (VmHWM, offscreen): first start %s MB, second start %s MB, countdown "
                "running %s MB, hour Size bar dragged %s MB, 120 skin switches %s MB\n",
                qPrintable(peaks[0]), qPrintable(peaks[1]), qPrintable(peaks[2]), qPrintable(peaks[3]),
                qPrintable(peaks[4]));
    return 0;
}
