#include "toolkit/picture.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <cmath>
#include <mutex>

struct TPicture::Data {
    QByteArray bytes;
    QImage image; // set only for pictures made in code
    QSize size;
    quint64 key = 0;
    mutable std::mutex mutex; // the renderer may measure on its painting thread
    mutable std::optional<QRect> opaqueBox;
    mutable std::optional<QRegion> opaqueCells;
    mutable std::optional<double> reach;
};

namespace {
QImage premultiplied(const QImage& image) {
    return image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// In place where Qt can, so a large decode is never held twice.
QImage premultiplied(QImage&& image) {
    if (!image.isNull())
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return std::move(image);
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

QImage TPicture::scaledPart(const QImage& image, const QRect& clip, QSize scaledSize) {
    const QRect part = clip & image.rect();
    if (part.isEmpty())
        return {};
    // The part is read in place, not copied out of a picture that may be thousands of pixels wide.
    const QImage view(image.constScanLine(part.y()) + part.x() * (image.depth() / 8), part.width(),
                      part.height(), image.bytesPerLine(), image.format());
    if (view.size() == scaledSize)
        return view.copy();
    return view.scaled(scaledSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
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
    if (!isEncoded())
        return scaledPart(data_->image, clip, scaledSize);
    QByteArray bytes = data_->bytes; // shared, not copied
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    // Scaled in premultiplied form, as pictures made in code are, so both kinds look the same.
    const QImage whole = premultiplied(reader.read());
    if (whole.isNull() || (clip == whole.rect() && scaledSize == whole.size()))
        return whole;
    return scaledPart(whole, clip, scaledSize);
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

std::optional<double> TPicture::reach() const {
    if (!data_)
        return 0.0;
    const std::lock_guard lock(data_->mutex);
    return data_->reach;
}

void TPicture::setReach(double reach) const {
    if (!data_)
        return;
    const std::lock_guard lock(data_->mutex);
    data_->reach = reach;
}

double TPicture::measureReach(const QImage& source) {
    const double cx = source.width() / 2.0, cy = source.height() / 2.0;
    double farthest = 0;
    for (int y = 0; y < source.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        // Only the outermost visible pixels of a row can be the farthest.
        int left = 0, right = source.width() - 1;
        while (left <= right && qAlpha(row[left]) == 0)
            ++left;
        while (right >= left && qAlpha(row[right]) == 0)
            --right;
        if (left > right)
            continue;
        const double dy = std::max(std::abs(y - cy), std::abs(y + 1 - cy));
        for (const int x : {left, right}) {
            const double dx = std::max(std::abs(x - cx), std::abs(x + 1 - cx));
            farthest = std::max(farthest, std::hypot(dx, dy));
        }
    }
    return farthest;
}

std::optional<QRegion> TPicture::opaqueCells() const {
    if (!data_)
        return QRegion();
    const std::lock_guard lock(data_->mutex);
    return data_->opaqueCells;
}

void TPicture::setOpaqueCells(const QRegion& cells) const {
    if (!data_)
        return;
    const std::lock_guard lock(data_->mutex);
    data_->opaqueCells = cells;
}

QRegion TPicture::measureOpaqueCells(const QImage& source) {
    QRegion cells;
    const int columns = source.width() / OpaqueCell;
    std::vector<bool> opaque(static_cast<size_t>(columns));
    for (int top = 0; top + OpaqueCell <= source.height(); top += OpaqueCell) {
        std::fill(opaque.begin(), opaque.end(), true);
        for (int y = top; y < top + OpaqueCell; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(y));
            for (int column = 0; column < columns; ++column) {
                if (!opaque[size_t(column)])
                    continue;
                for (int x = column * OpaqueCell; x < (column + 1) * OpaqueCell; ++x)
                    if (qAlpha(row[x]) != 255) {
                        opaque[size_t(column)] = false;
                        break;
                    }
            }
        }
        // One rectangle per run of opaque cells in this band.
        for (int column = 0; column < columns;) {
            if (!opaque[size_t(column)]) {
                ++column;
                continue;
            }
            const int first = column;
            while (column < columns && opaque[size_t(column)])
                ++column;
            cells += QRect(first * OpaqueCell, top, (column - first) * OpaqueCell, OpaqueCell);
        }
    }
    return cells;
}
