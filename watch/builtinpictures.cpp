#include "watch/builtinpictures.h"

#include <QResource>

QByteArray BuiltInPictures::encoded(const QString& file) {
    const QResource resource(QStringLiteral(":/") + file);
    if (!resource.isValid())
        return {};
    if (resource.compressionAlgorithm() != QResource::NoCompression)
        return resource.uncompressedData();
    // Resources live as long as the program, so their bytes need no copy.
    return QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()),
                                   qsizetype(resource.size()));
}
