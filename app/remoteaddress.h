#pragma once

#include <QString>

// Where one instance of the program listens: one per data folder and user, so copies in different
// folders, and other users, never reach each other.
struct TRemoteAddress {
    QString
        serverName;   // for QLocalServer and QLocalSocket: a socket's path on Unix, a pipe's name on Windows
    QString lockPath; // held by the running instance for as long as it runs
};

// Named after a hash of the canonical folder and the user. On Unix both live in the user's own runtime
// folder when there is one, else in the temporary folder, where the socket's permissions keep others out.
TRemoteAddress remoteAddressFor(const QString& dataFolder);

// Whether a live process holds the claim at `lockPath`; a claim left by a process that is gone is
// removed on the way.
bool instanceIsAlive(const QString& lockPath);
