#include "watch/builtinpictures.h"

#include <QCoreApplication>
#include <QHash>
#include <future>
#include <mutex>

namespace {
struct Library {
    std::mutex mutex;
    QHash<QString, std::shared_future<QImage>> decoded;

    std::shared_future<QImage> entry(const QString& file, std::launch policy) {
        const std::lock_guard lock(mutex);
        auto found = decoded.find(file);
        if (found == decoded.end()) {
            const QString path = QStringLiteral(":/") + file;
            found = decoded.insert(file, std::async(policy, [path] {
                                             return QImage(path).convertToFormat(
                                                 QImage::Format_ARGB32_Premultiplied);
                                         }).share());
        }
        return *found;
    }
};

Library& library() {
    static Library instance;
    return instance;
}

// Image conversion inside the workers uses Qt's thread pool, which must outlive them.
void finishPrefetches() {
    Library& lib = library();
    const std::lock_guard lock(lib.mutex);
    for (const auto& picture : std::as_const(lib.decoded))
        picture.wait();
}
} // namespace

QImage BuiltInPictures::get(const QString& file) {
    return library().entry(file, std::launch::deferred).get();
}

void BuiltInPictures::prefetch(const QStringList& files) {
    static const bool waitsAtExit = [] {
        qAddPostRoutine(finishPrefetches);
        return true;
    }();
    Q_UNUSED(waitsAtExit);
    for (const QString& file : files)
        library().entry(file, std::launch::async);
}
