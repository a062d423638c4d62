#include "app/datafolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {
// Asked of the file system itself: permissions alone do not tell (a read-only medium, or root).
bool canWriteInto(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".horavis-probe-XXXXXX")));
    return probe.open();
}

bool sameFolder(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}
} // namespace

TDataFolder chooseDataFolder(const QString& programFolder, const QString& installedBinDir,
                             const QString& perUserFolder) {
    if (!sameFolder(programFolder, installedBinDir) && canWriteInto(programFolder))
        return {programFolder, {}};
    if (!perUserFolder.isEmpty() && QDir().mkpath(perUserFolder) && canWriteInto(perUserFolder))
        return {perUserFolder, {}};
    return {{},
            QStringLiteral(
                "Neither the program's folder \"%1\" nor the folder \"%2\" can be written. Horavis shows "
                "its built-in look and saves nothing.")
                .arg(QDir::toNativeSeparators(programFolder), QDir::toNativeSeparators(perUserFolder))};
}
