#include "app/commandline.h"

#include "horavis_version.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>
#include <utility>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// QApplication takes these for itself once it exists; they are accepted here and left in argv for it.
QList<QCommandLineOption> toolkitOptions() {
    const QStringList withValue = {"platform",        "platformpluginpath", "platformtheme", "plugin",
                                   "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
                                   "display",         "geometry",           "style",         "stylesheet",
                                   "qmljsdebugger"};
    const QStringList switches = {"reverse", "widgetcount"};
    QList<QCommandLineOption> options;
    for (const QString& name : withValue)
        options.append(QCommandLineOption(name, QString(), QStringLiteral("value")));
    for (const QString& name : switches)
        options.append(QCommandLineOption(name));
    for (QCommandLineOption& option : options)
        option.setFlags(QCommandLineOption::HiddenFromHelp);
    return options;
}

CommandLine rejection(const QString& program, const QString& reason) {
    return {CommandLine::Action::Reject,
            QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(program, reason),
            {}};
}

// Each a command for the running instance, named after its request.
std::vector<std::pair<QCommandLineOption, const TRemoteCommandDef*>> remoteOptions() {
    std::vector<std::pair<QCommandLineOption, const TRemoteCommandDef*>> options;
    for (const TRemoteCommandDef& def : remote::commands()) {
        if (!def.isOption)
            continue;
        QCommandLineOption option(QLatin1String(def.name), QString::fromUtf8(def.description));
        if (def.kind != TRemoteValueKind::None)
            option.setValueName(QLatin1String(def.valueName));
        options.emplace_back(option, &def);
    }
    return options;
}

#ifdef Q_OS_WIN
// As Qt's own parser decides: a console or redirected handles get text, anything else a message box.
bool answersInMessageBox() {
    if (GetConsoleWindow())
        return false;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    return !(startup.dwFlags & STARTF_USESTDHANDLES);
}
#endif

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    const QString program =
        arguments.isEmpty() ? QStringLiteral("horavis") : QFileInfo(arguments.first()).fileName();
    QCommandLineParser parser;
    // Qt's options are single-dash words (-platform, -style).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Horavis draws an analogue wristwatch with a countdown on a lime or magenta\n"
                       "chroma-key plate, to be captured as a streaming overlay. Without options it\n"
                       "opens the watch, or raises the window of the one already running from the same\n"
                       "folder. A command hands itself to that running Horavis and prints the countdown's\n"
                       "state; the exit code is 0 when done, 1 for a bad command, 3 when Horavis is not\n"
                       "running and 4 when it does not answer. Qt's own options, such as -platform and\n"
                       "-style, work as well."));
    const QCommandLineOption help({"h", "help", "?"}, QStringLiteral("Displays this help and exits."));
    const QCommandLineOption version({"v", "version"}, QStringLiteral("Displays the version and exits."));
    parser.addOption(help);
    parser.addOption(version);
    for (const QCommandLineOption& option : toolkitOptions())
        parser.addOption(option);
    const auto commands = remoteOptions();
    for (const auto& [option, def] : commands)
        parser.addOption(option);

    if (!parser.parse(arguments))
        return rejection(program, parser.errorText());
    if (parser.isSet(help)) {
        // Without a QCoreApplication the parser cannot know the program's name.
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), program);
        return {CommandLine::Action::PrintHelp, text, {}};
    }
    if (parser.isSet(version))
        return {CommandLine::Action::PrintVersion, QStringLiteral("Horavis " HORAVIS_VERSION "\n"), {}};
    if (!parser.positionalArguments().isEmpty())
        return rejection(
            program, QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));

    // Each occurrence counts: "--add 5 --add 6" is two commands as well.
    QStringList given;
    const TRemoteCommandDef* chosen = nullptr;
    for (const QString& name : parser.optionNames()) {
        for (const auto& [option, def] : commands) {
            if (option.names().contains(name)) {
                given.append("--" + name);
                chosen = def;
            }
        }
    }
    if (given.size() > 1)
        return rejection(program, QStringLiteral("One command at a time, not %1.").arg(given.join(", ")));
    if (!chosen)
        return {};
    if (chosen->kind == TRemoteValueKind::None)
        return {CommandLine::Action::Remote, {}, TRemoteRequest{chosen->command, 0, {}}};
    const TParsedRequest parsed =
        requestFromArgument(*chosen, parser.value(QString::fromLatin1(chosen->name)));
    if (!parsed.request)
        return rejection(program, QStringLiteral("--%1: %2.").arg(QLatin1String(chosen->name), parsed.error));
    return {CommandLine::Action::Remote, {}, *parsed.request};
}

void printAnswer(const CommandLine& commandLine) {
    const bool isError = commandLine.exitCode() != 0;
#ifdef Q_OS_WIN
    if (answersInMessageBox()) {
        MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(commandLine.text.utf16()), L"Horavis",
                    MB_OK | (isError ? MB_ICONERROR : MB_ICONINFORMATION));
        return;
    }
#endif
    std::FILE* stream = isError ? stderr : stdout;
    std::fputs(commandLine.text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}
