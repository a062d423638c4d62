#include "app/remoteaddress.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
QString userKey() {
#ifdef Q_OS_UNIX
    return QString::number(::geteuid());
#else
    return qEnvironmentVariable("USERDOMAIN") + u'\\' + qEnvironmentVariable("USERNAME");
#endif
}

QString canonicalFolder(const QString& folder) {
    const QFileInfo info(folder);
    QString path = info.canonicalFilePath();
    if (path.isEmpty())
        path = QDir::cleanPath(info.absoluteFilePath());
#ifdef Q_OS_WIN
    // The same folder under another spelling of its letters.
    path = path.toCaseFolded();
#endif
    return path;
}

// Only a folder of the user's own counts: another user could otherwise read the socket's name there or
// put a socket of theirs in its place.
QString socketFolder() {
#ifdef Q_OS_UNIX
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QFileInfo info(runtime);
    if (!runtime.isEmpty() && info.isAbsolute() && info.isDir() && info.ownerId() == ::geteuid() &&
        (info.permissions() &
         (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup)) == 0)
        return QDir::cleanPath(runtime);
#endif
    return QDir::cleanPath(QDir::tempPath());
}
} // namespace

TRemoteAddress remoteAddressFor(const QString& dataFolder) {
    const QByteArray key = (userKey() + u'\n' + canonicalFolder(dataFolder)).toUtf8();
    const QString name =
        QStringLiteral("horavis-") +
        QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24));
    const QString folder = socketFolder();
#ifdef Q_OS_UNIX
    return {folder + u'/' + name, folder + u'/' + name + QStringLiteral(".lock")};
#else
    return {name, folder + u'/' + name + QStringLiteral(".lock")};
#endif
}

bool instanceIsAlive(const QString& lockPath) {
    QLockFile probe(lockPath);
    // A claim lasts as long as its process, however long that is.
    probe.setStaleLockTime(0);
    if (probe.tryLock(0))
        return false;
    return probe.error() == QLockFile::LockFailedError;
}
