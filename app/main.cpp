#include "app/Unit1.h"
#include "app/commandline.h"
#include "app/sessionend.h"

#include "horavis_version.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
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

// A portable copy keeps its settings and skins beside itself. An installed copy keeps them in the
// user's data folder: its own folder is not the user's to write, and even root should not fill it.
QString dataFolder() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    const bool installed = QFileInfo(programFolder).canonicalFilePath() ==
                           QFileInfo(HORAVIS_INSTALLED_BINDIR).canonicalFilePath();
    if (!installed && QFileInfo(programFolder).isWritable())
        return programFolder;
    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(perUser);
    return perUser;
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
    TForm1 form(dataFolder(), TDiskUse::On);
    const TSessionEnd sessionEnd([&form] { form.endSession(); });
    form.show();
    return QApplication::exec();
}
