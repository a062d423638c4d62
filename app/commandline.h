#pragma once

#include "app/remoteprotocol.h"

#include <QString>
#include <QStringList>

// What the command line asks of the program. Parsing needs no QCoreApplication, so answers such as
// the version come without a display; a new option adds an action and, where needed, a field.
struct CommandLine {
    enum class Action {
        ShowWatch, // no options: open the windows
        PrintHelp,
        PrintVersion,
        Reject, // an unknown option, a stray argument, a bad value or two commands at once
        Remote, // hand `request` to the running instance
    };
    Action action = Action::ShowWatch;
    // What to print, for every action but ShowWatch and Remote.
    QString text;
    TRemoteRequest request;

    // Remote's comes from the running instance.
    int exitCode() const { return action == Action::Reject ? 1 : 0; }
};

// `arguments` starts with the program's own path, as argv does.
CommandLine parseCommandLine(const QStringList& arguments);

// Help and version go to standard output, a rejection to standard error; on Windows a program
// started without a console shows them in a message box instead.
void printAnswer(const CommandLine& commandLine);
