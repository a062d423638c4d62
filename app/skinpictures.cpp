#include "app/skinpictures.h"

#include "toolkit/textfile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <atomic>
#include <future>
#include <mutex>
#include <vector>

namespace skinpictures {
namespace {
// The largest picture taken, decoded as 32-bit pixels, with room to spare; Qt refuses more by default.
constexpr int AllocationLimitMegabytes = (MaxSide / 1024) * (MaxSide / 1024) * 4 + 64;
constexpr int DecodersAtOnce = 2;

struct Source {
    QString name;
    QString path;
    QByteArray bytes;
    QSize size;
};

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

Source readSource(const QString& name, const QString& path) {
    QString problem;
    std::optional<QByteArray> bytes = readRegularFile(path, MaxFileBytes, &problem);
    if (!bytes)
        throw TSkinError(problem);
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid())
        throw TSkinError(
            QStringLiteral("\"%1\" is not a picture: %2").arg(shown(path), reader.errorString()));
    if (size.width() > MaxSide || size.height() > MaxSide)
        throw TSkinError(QStringLiteral("\"%1\" is %2 x %3 pixels, more than the %4 x %4 the program takes")
                             .arg(shown(path))
                             .arg(size.width())
                             .arg(size.height())
                             .arg(MaxSide));
    return {name, path, std::move(*bytes), size};
}

// Decodes the whole file once, so that a truncated or broken one is refused before anything is shown;
// the pixels are dropped again, and the picture is later decoded at the size it is shown at.
void checkDecodes(const Source& source) {
    QByteArray bytes = source.bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QImage image;
    if (!reader.read(&image))
        throw TSkinError(
            QStringLiteral("\"%1\" cannot be decoded: %2").arg(shown(source.path), reader.errorString()));
}

void checkTotal(const std::vector<Source>& sources) {
    qint64 pixels = 0;
    for (const Source& source : sources)
        pixels += qint64(source.size.width()) * source.size.height();
    if (pixels > MaxSkinPixels)
        throw TSkinError(
            QStringLiteral("The pictures of \"%1\" hold %2 million pixels, more than the %3 million "
                           "the program takes for one skin")
                .arg(shown(QFileInfo(sources.front().path).absolutePath()))
                .arg(pixels / 1'000'000)
                .arg(MaxSkinPixels / 1'000'000));
}
} // namespace

std::map<QString, TPicture> decode(const std::map<QString, QString>& pathsByName) {
    QImageReader::setAllocationLimit(std::max(QImageReader::allocationLimit(), AllocationLimitMegabytes));
    std::vector<Source> sources;
    for (const auto& [name, path] : pathsByName)
        sources.push_back(readSource(name, path));
    if (sources.empty())
        return {};
    checkTotal(sources);

    std::atomic<std::size_t> next = 0;
    std::mutex failureLock;
    std::exception_ptr failure;
    const auto work = [&] {
        for (std::size_t i = next++; i < sources.size(); i = next++) {
            try {
                checkDecodes(sources[i]);
            } catch (const TSkinError&) {
                const std::lock_guard lock(failureLock);
                if (!failure)
                    failure = std::current_exception();
            } catch (const std::exception& error) {
                const std::lock_guard lock(failureLock);
                if (!failure)
                    failure = std::make_exception_ptr(
                        TSkinError(QStringLiteral("\"%1\" cannot be decoded: %2")
                                       .arg(shown(sources[i].path), QString::fromLocal8Bit(error.what()))));
            }
        }
    };
    std::vector<std::future<void>> decoders;
    for (int i = 0; i < DecodersAtOnce; ++i)
        decoders.push_back(std::async(std::launch::async, work));
    for (std::future<void>& decoder : decoders)
        decoder.get();
    if (failure)
        std::rethrow_exception(failure);

    std::map<QString, TPicture> pictures;
    for (Source& source : sources) {
        TPicture picture = TPicture::fromEncoded(std::move(source.bytes));
        if (picture.isNull())
            throw TSkinError(
                QStringLiteral("\"%1\" is not a picture the program can show").arg(shown(source.path)));
        pictures.emplace(source.name, std::move(picture));
    }
    return pictures;
}

} // namespace skinpictures
