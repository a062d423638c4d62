#pragma once

#include <QString>

// Where Horavis.ini, the skins and the messages file live.
struct TDataFolder {
    QString path;    // empty when no folder can be used
    QString problem; // why not, ready for a message box
};

// The program's own folder while it can be written, so a portable copy keeps everything beside itself.
// An installed copy (in `installedBinDir`) or one whose folder cannot be written uses the per-user folder,
// which is made when missing.
TDataFolder chooseDataFolder(const QString& programFolder, const QString& installedBinDir,
                             const QString& perUserFolder);
