#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <memory>
#include <optional>

// A picture held as its encoded file bytes (PNG and the other formats Qt reads), decoded only
// when and at the size it is needed, so a large source costs its file size rather than its
// pixels; or a decoded picture made in code. Copies share the data and its identity.
class TPicture {
public:
    TPicture() = default;
    // Reads only the header; a picture whose size cannot be read or whose sides exceed
    // MaxSide stays null.
    static TPicture fromEncoded(QByteArray bytes);
    static TPicture fromImage(const QImage& image);
    static constexpr int MaxSide = 8192;

    bool isNull() const { return !data_; }
    bool isEncoded() const;
    QSize size() const;
    // The same key means the same pixels; a picture set again from the same bytes keeps its key.
    quint64 key() const;
    QByteArray encoded() const;

    // The whole picture at its own size, premultiplied; decoded anew each time when encoded.
    QImage decoded() const;
    // The part `clip` of the picture (in its own pixels) scaled to `scaledSize`, premultiplied.
    QImage decoded(const QRect& clip, QSize scaledSize) const;
    // The box of pixels that are not fully transparent, once it has been measured on a decode.
    std::optional<QRect> opaqueBox() const;
    void setOpaqueBox(const QRect& box) const;
    // The part `clip` of a decoded picture scaled to `scaledSize`, without copying the part first.
    static QImage scaledPart(const QImage& image, const QRect& clip, QSize scaledSize);
    // Measures the opaque box of a decoded picture.
    static QRect measureOpaqueBox(const QImage& image);
    // Cells of OpaqueCell × OpaqueCell pixels in which every pixel is fully opaque, once
    // measured: what is drawn under them never shows.
    static constexpr int OpaqueCell = 16;
    std::optional<QRegion> opaqueCells() const;
    void setOpaqueCells(const QRegion& cells) const;
    static QRegion measureOpaqueCells(const QImage& image);
    // How far from the picture's centre its farthest visible pixel lies, in its own pixels, once
    // measured: a picture that turns about its centre never paints outside that circle.
    std::optional<double> reach() const;
    void setReach(double reach) const;
    static double measureReach(const QImage& image);

    bool operator==(const TPicture& other) const { return key() == other.key(); }

private:
    struct Data;
    std::shared_ptr<const Data> data_;
};
