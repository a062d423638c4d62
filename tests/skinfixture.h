#pragma once

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

// Skin folders made by the tests: every picture a small square in a colour of its own, with a
// transparent corner so a round trip can show that alpha survives.
namespace skinfixture {

inline const QStringList RequiredPictures = {"WatchfaceFull.png", "sek.png", "hour.png",
                                             "min.png",           "ind.png", "ovl.png"};

inline QRgb colourOf(const QString& name) {
    const uint hash = qHash(name.toLower());
    return QColor::fromHsv(int(hash % 360), 200, 100 + int(hash / 360 % 150)).rgba();
}

inline QImage pictureFor(const QString& name, int side = 48) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colourOf(name));
    for (int y = 0; y < side / 4; ++y)
        for (int x = 0; x < side / 4; ++x)
            image.setPixel(x, y, qRgba(0, 0, 0, 0));
    return image;
}

// The colour in the middle of a picture, to tell which file an element shows.
inline QRgb middleOf(const QImage& image) {
    return image.isNull() ? 0 : image.pixel(image.width() / 2, image.height() / 2);
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Where the program puts a skin folder of that name beside it, with the trailing separator.
inline QString folderOf(const QTemporaryDir& app, const QString& name) {
    return QDir(app.path()).filePath(name) + QDir::separator();
}

// A skin folder under `parent` with the six required pictures (less `missing`), the `extra` files
// (pictures for .png names, a few bytes otherwise) and, when given, a skin.ini. Returns the folder
// with its trailing separator.
inline QString makeSkin(const QString& parent, const QString& name, const QStringList& extra = {},
                        const QByteArray& ini = {}, const QStringList& missing = {}) {
    const QString folder = QDir(parent).filePath(name) + QDir::separator();
    QDir().mkpath(folder);
    for (const QString& file : RequiredPictures + extra) {
        if (missing.contains(file))
            continue;
        if (file.endsWith(".png", Qt::CaseInsensitive))
            pictureFor(file).save(folder + file, "PNG");
        else
            writeBytes(folder + file, "RIFF sound");
    }
    if (!ini.isNull())
        writeBytes(folder + "skin.ini", ini);
    return folder;
}

} // namespace skinfixture
