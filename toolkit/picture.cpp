#include "toolkit/picture.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <mutex>

struct TPicture::Data {
    QByteArray bytes;
    QImage image; // set only for pictures made in code
    QSize size;
    quint64 key = 0;
    mutable std::mutex mutex; // the renderer may measure on its painting thread
    mutable std::optional<QRect> opaqueBox;
};

namespace {
QImage premultiplied(const QImage& image) {
    return image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool acceptable(QSize size) {
    return size.isValid() && !size.isEmpty() && size.width() <= TPicture::MaxSide &&
           size.height() <= TPicture::MaxSide;
}
} // namespace

TPicture TPicture::fromEncoded(QByteArray bytes) {
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!acceptable(size))
        return {};
    auto data = std::make_shared<Data>();
    data->key = quint64(qHashBits(bytes.constData(), size_t(bytes.size()), 0x5eed)) | 1; // odd: encoded
    data->bytes = std::move(bytes);
    data->size = size;
    TPicture picture;
    picture.data_ = std::move(data);
    return picture;
}

TPicture TPicture::fromImage(const QImage& image) {
    if (image.isNull())
        return {};
    auto data = std::make_shared<Data>();
    data->image = premultiplied(image);
    data->size = image.size();
    data->key = quint64(data->image.cacheKey()) << 1; // even: made in code
    TPicture picture;
    picture.data_ = std::move(data);
    return picture;
}

bool TPicture::isEncoded() const {
    return data_ && data_->image.isNull();
}

QSize TPicture::size() const {
    return data_ ? data_->size : QSize();
}

quint64 TPicture::key() const {
    return data_ ? data_->key : 0;
}

QByteArray TPicture::encoded() const {
    return data_ ? data_->bytes : QByteArray();
}

QImage TPicture::decoded() const {
    if (!data_)
        return {};
    if (!isEncoded())
        return data_->image;
    return decoded(QRect(QPoint(), data_->size), data_->size);
}

QImage TPicture::decoded(const QRect& clip, QSize scaledSize) const {
    if (!data_ || clip.isEmpty() || scaledSize.isEmpty())
        return {};
    if (!isEncoded()) {
        const QImage part = data_->image.copy(clip);
        return part.size() == scaledSize
                   ? part
                   : part.scaled(scaledSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QByteArray bytes = data_->bytes; // shared, not copied
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    const bool whole = clip == QRect(QPoint(), data_->size);
    if (!whole)
        reader.setClipRect(clip);
    // Scaled in premultiplied form, as pictures made in code are, so both kinds look the same.
    QImage part = premultiplied(reader.read());
    if (part.isNull() || part.size() == scaledSize)
        return part;
    return part.scaled(scaledSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

std::optional<QRect> TPicture::opaqueBox() const {
    if (!data_)
        return QRect();
    const std::lock_guard lock(data_->mutex);
    return data_->opaqueBox;
}

void TPicture::setOpaqueBox(const QRect& box) const {
    if (!data_)
        return;
    const std::lock_guard lock(data_->mutex);
    data_->opaqueBox = box;
}

QRect TPicture::measureOpaqueBox(const QImage& source) {
    int left = source.width(), top = source.height(), right = -1, bottom = -1;
    for (int y = 0; y < source.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            if (qAlpha(row[x]) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}
