#include "app/Unit1.h"
#include "app/commandline.h"
#include "app/datafolder.h"
#include "app/remoteclient.h"
#include "app/remoteform.h"
#include "app/remoteserver.h"
#include "app/sessionend.h"

#include "horavis_version.h"
#include "toolkit/dialogs.h"
#include "toolkit/log.h"

#include <QApplication>
#include <QIcon>
#include <QStandardPaths>

#include <cstdio>

namespace {

QStringList argumentsOf(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256, 512})
        icon.addFile(QStringLiteral(":/icon/horavis-%1.png").arg(size), QSize(size, size));
    return icon;
}

// Needs the application's name: the per-user folder is named after it.
TDataFolder dataFolder() {
    return chooseDataFolder(QCoreApplication::applicationDirPath(), QStringLiteral(HORAVIS_INSTALLED_BINDIR),
                            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

// A copy that can use no folder still has one instance per program folder.
TRemoteAddress instanceAddress(const TDataFolder& folder) {
    return remoteAddressFor(folder.path.isEmpty() ? QCoreApplication::applicationDirPath() : folder.path);
}

// Written to the standard streams only: a button or a script that runs the command reads the exit code
// and the output, and a message box would wait for a click nobody makes.
int printRemoteAnswer(const TRemoteAnswer& answer) {
    std::fputs(answer.output.toLocal8Bit().constData(), stdout);
    std::fputs(answer.error.toLocal8Bit().constData(), stderr);
    std::fflush(stdout);
    std::fflush(stderr);
    return answer.exitCode;
}

// No display is needed to hand a command over, so no QApplication is made.
int runRemoteCommand(int argc, char* argv[], const TRemoteRequest& request) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("Horavis");
    return printRemoteAnswer(sendRemoteRequest(instanceAddress(dataFolder()), request));
}

} // namespace

int main(int argc, char* argv[]) {
    // Answered before the QApplication exists, which would need a display.
    const CommandLine commandLine = parseCommandLine(argumentsOf(argc, argv));
    if (commandLine.action == CommandLine::Action::Remote)
        return runRemoteCommand(argc, argv, commandLine.request);
    if (commandLine.action != CommandLine::Action::ShowWatch) {
        printAnswer(commandLine);
        return commandLine.exitCode();
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName("Horavis");
    QApplication::setApplicationVersion(HORAVIS_VERSION);
    // Lets Wayland desktops match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(HORAVIS_APP_ID);
    QApplication::setWindowIcon(programIcon());
    const TDataFolder folder = dataFolder();
    // One window per data folder: a second one would save over the first one's settings and skins.
    TSingleInstance instance(instanceAddress(folder));
    TRemoteAnswer refused;
    switch (instance.claim(&refused)) {
    case TSingleInstance::Outcome::HandedOver:
        return 0;
    case TSingleInstance::Outcome::Failed:
        return printRemoteAnswer(refused);
    case TSingleInstance::Outcome::First:
        break;
    }
    if (!folder.problem.isEmpty())
        TDialogs::current().showError(folder.problem);
    TForm1 form(folder.path, folder.path.isEmpty() ? TDiskUse::Off : TDiskUse::On);
    TForm1RemoteTarget remoteTarget(form);
    TRemoteServer remoteServer(remoteTarget);
    QString problem;
    // The watch works without it; only the commands from outside are lost.
    if (!remoteServer.listen(instance.address().serverName, &problem))
        logme(QStringLiteral("The remote control cannot listen: ") + problem);
    const TSessionEnd sessionEnd([&form] { form.endSession(); });
    form.show();
    return QApplication::exec();
}
