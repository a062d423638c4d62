#include "app/Unit1.h"
#include "app/commandline.h"
#include "app/datafolder.h"
#include "app/sessionend.h"

#include "horavis_version.h"
#include "toolkit/dialogs.h"

#include <QApplication>
#include <QIcon>
#include <QStandardPaths>

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

} // namespace

int main(int argc, char* argv[]) {
    // Answered before the QApplication exists, which would need a display.
    const CommandLine commandLine = parseCommandLine(argumentsOf(argc, argv));
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
    const TDataFolder folder =
        chooseDataFolder(QCoreApplication::applicationDirPath(), QStringLiteral(HORAVIS_INSTALLED_BINDIR),
                         QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (!folder.problem.isEmpty())
        TDialogs::current().showError(folder.problem);
    TForm1 form(folder.path, folder.path.isEmpty() ? TDiskUse::Off : TDiskUse::On);
    const TSessionEnd sessionEnd([&form] { form.endSession(); });
    form.show();
    return QApplication::exec();
}
