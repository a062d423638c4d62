#include "toolkit/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <array>

QString findIgnoringCase(const QString& directory, const QString& name) {
    const QDir dir(directory);
    if (dir.exists(name))
        return dir.filePath(name);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return {};
}

namespace {
QString megabytes(qint64 bytes) {
    return QString::number(double(bytes) / (1024 * 1024), 'g', 3) + " MB";
}

std::optional<QByteArray> readStart(const QString& path, qint64 maxBytes, bool refuseLarger, bool* cut,
                                    QString* error) {
    const auto fail = [&](const QString& reason) -> std::optional<QByteArray> {
        if (error)
            *error = QStringLiteral("Could not read \"%1\": %2").arg(QDir::toNativeSeparators(path), reason);
        return std::nullopt;
    };
    const QFileInfo info(path);
    if (!info.exists())
        return fail(info.isSymLink() ? QStringLiteral("it is a link to something that is not there")
                                     : QStringLiteral("there is no such file"));
    // Opening a FIFO waits for a writer, and a device may never end.
    if (!info.isFile())
        return fail(info.isDir() ? QStringLiteral("it is a folder")
                                 : QStringLiteral("it is not a regular file"));
    if (refuseLarger && info.size() > maxBytes)
        return fail(QStringLiteral("it is larger than %1").arg(megabytes(maxBytes)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    const bool larger = bytes.size() > maxBytes;
    if (larger && refuseLarger)
        return fail(QStringLiteral("it is larger than %1").arg(megabytes(maxBytes)));
    if (larger)
        bytes.truncate(maxBytes);
    if (cut)
        *cut = larger;
    return bytes;
}

// The bytes 0x80 to 0x9F of Windows-1252; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeWindows1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        text += (code >= 0x80 && code <= 0x9F) ? QChar(Windows1252High[code - 0x80]) : QChar(code);
    }
    return text;
}

QString decodeWith(QStringConverter::Encoding encoding, const QByteArray& bytes) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

// A zero byte in every other place of the first bytes, the other places not: UTF-16 without a mark.
std::optional<TTextLayout> unmarkedUtf16(const QByteArray& bytes) {
    const qsizetype sample = std::min<qsizetype>(bytes.size() & ~qsizetype(1), 512);
    if (sample < 2)
        return std::nullopt;
    int evenZeros = 0, oddZeros = 0;
    for (qsizetype i = 0; i < sample; i += 2) {
        evenZeros += bytes[i] == '\0' ? 1 : 0;
        oddZeros += bytes[i + 1] == '\0' ? 1 : 0;
    }
    const int pairs = int(sample / 2);
    if (oddZeros * 10 >= pairs * 9 && evenZeros == 0)
        return TTextLayout::Utf16LENoBom;
    if (evenZeros * 10 >= pairs * 9 && oddZeros == 0)
        return TTextLayout::Utf16BENoBom;
    return std::nullopt;
}

std::vector<TTextLine> linesOf(const QString& text) {
    std::vector<TTextLine> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        const qsizetype endLength = text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
        lines.push_back({text.mid(start, i - start), text.mid(i, endLength), {}, true});
        i += endLength - 1;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back({text.mid(start), QString(), {}, true});
    return lines;
}

TTextLine decodedLine(const QByteArray& raw, const QByteArray& end) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(raw);
    if (!utf8.hasError())
        return {text, QString::fromLatin1(end), raw, true};
    return {decodeWindows1252(raw), QString::fromLatin1(end), raw, false};
}

std::vector<TTextLine> byteLinesOf(const QByteArray& bytes) {
    std::vector<TTextLine> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        const qsizetype endLength = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n' ? 2 : 1;
        lines.push_back(decodedLine(bytes.mid(start, i - start), bytes.mid(i, endLength)));
        i += endLength - 1;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.push_back(decodedLine(bytes.mid(start), {}));
    return lines;
}
} // namespace

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, QString* error) {
    return readStart(path, maxBytes, true, nullptr, error);
}

std::optional<QByteArray> readFileStart(const QString& path, qint64 maxBytes, bool* cut, QString* error) {
    return readStart(path, maxBytes, false, cut, error);
}

TTextLayout layoutOf(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return TTextLayout::Utf8WithBom;
    if (bytes.startsWith("\xFF\xFE"))
        return TTextLayout::Utf16LE;
    if (bytes.startsWith("\xFE\xFF"))
        return TTextLayout::Utf16BE;
    return unmarkedUtf16(bytes).value_or(TTextLayout::Lines);
}

TText parseText(const QByteArray& bytes) {
    const TTextLayout layout = layoutOf(bytes);
    switch (layout) {
    case TTextLayout::Utf8WithBom:
        return {layout, linesOf(decodeWith(QStringConverter::Utf8, bytes.mid(3)))};
    case TTextLayout::Utf16LE:
        return {layout, linesOf(decodeWith(QStringConverter::Utf16LE, bytes.mid(2)))};
    case TTextLayout::Utf16BE:
        return {layout, linesOf(decodeWith(QStringConverter::Utf16BE, bytes.mid(2)))};
    case TTextLayout::Utf16LENoBom:
        return {layout, linesOf(decodeWith(QStringConverter::Utf16LE, bytes))};
    case TTextLayout::Utf16BENoBom:
        return {layout, linesOf(decodeWith(QStringConverter::Utf16BE, bytes))};
    case TTextLayout::Lines:
        break;
    }
    return {layout, byteLinesOf(bytes)};
}

QString decodeText(const QByteArray& bytes) {
    QString text;
    for (const TTextLine& line : parseText(bytes).lines)
        text += line.text + line.end;
    return text;
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    for (const TTextLine& line : linesOf(text))
        lines << line.text;
    return lines;
}

std::optional<QByteArray> toWindows1252(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes += char(u);
            continue;
        }
        const auto* found = std::find(Windows1252High.begin(), Windows1252High.end(), u);
        if (found == Windows1252High.end())
            return std::nullopt;
        bytes += char(0x80 + (found - Windows1252High.begin()));
    }
    return bytes;
}

std::optional<QStringList> readTextLines(const QString& path, qint64 maxBytes, bool* cut, QString* error) {
    bool wasCut = false;
    std::optional<QByteArray> bytes = readFileStart(path, maxBytes, &wasCut, error);
    if (!bytes)
        return std::nullopt;
    if (wasCut) {
        // Only whole lines: the one the cap ran into is dropped. In little-endian UTF-16 a line end's
        // zero byte follows it.
        const TTextLayout layout = layoutOf(*bytes);
        const bool littleEndian = layout == TTextLayout::Utf16LE || layout == TTextLayout::Utf16LENoBom;
        const qsizetype lastEnd = std::max(bytes->lastIndexOf('\n'), bytes->lastIndexOf('\r'));
        bytes->truncate(lastEnd < 0 ? 0 : lastEnd + (littleEndian ? 2 : 1));
    }
    if (cut)
        *cut = wasCut;
    QStringList lines;
    for (const TTextLine& line : parseText(*bytes).lines)
        lines << line.text;
    return lines;
}
