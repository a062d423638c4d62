#include "skin/profile.h"

#include "skin/encodings.h"
#include "toolkit/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>
#include <algorithm>
#include <array>

namespace {

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";
constexpr char Utf16LEBom[] = "\xFF\xFE";
constexpr char Utf16BEBom[] = "\xFE\xFF";

QByteArray encodeUtf16(QStringConverter::Encoding encoding, const QString& text) {
    QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

bool isAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

std::optional<QString> headingName(const QString& line) {
    const QString text = line.trimmed();
    if (!text.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = text.indexOf(u']');
    return text.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

std::optional<QString> keyName(const QString& line) {
    const QString text = line.trimmed();
    if (text.startsWith(u';') || text.startsWith(u'['))
        return std::nullopt;
    const qsizetype equals = text.indexOf(u'=');
    if (equals <= 0)
        return std::nullopt;
    const QString key = text.left(equals).trimmed();
    return key.isEmpty() ? std::nullopt : std::optional<QString>(key);
}

bool isQuoted(const QString& text) {
    return text.size() >= 2 && text.front() == text.back() && (text.front() == u'"' || text.front() == u'\'');
}

QString valueOf(const QString& line) {
    const QString value = line.mid(line.indexOf(u'=') + 1).trimmed();
    return isQuoted(value) ? value.mid(1, value.size() - 2) : value;
}

QString onOneLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

// Quotes a value that reading would otherwise change: its outer blanks would be trimmed and its own
// enclosing quotes taken away.
QString protectedValue(const QString& text) {
    if (text != text.trimmed() || isQuoted(text))
        return u'"' + text + u'"';
    return text;
}

} // namespace

TProfile TProfile::read(const QString& path, QString* error) {
    TProfile profile;
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return profile;
    const std::optional<QByteArray> bytes = readRegularFile(path, MaxFileBytes, error);
    if (!bytes)
        return profile;

    TText text = parseText(*bytes);
    switch (text.layout) {
    case TTextLayout::Utf8WithBom:
        profile.encoding_ = Encoding::Utf8WithBom;
        break;
    case TTextLayout::Utf16LE:
        profile.encoding_ = Encoding::Utf16LE;
        break;
    case TTextLayout::Utf16BE:
        profile.encoding_ = Encoding::Utf16BE;
        break;
    case TTextLayout::Utf16LENoBom:
        profile.encoding_ = Encoding::Utf16LENoBom;
        break;
    case TTextLayout::Utf16BENoBom:
        profile.encoding_ = Encoding::Utf16BENoBom;
        break;
    case TTextLayout::Lines: {
        // Written by a Windows program in its code page: changed lines go back that way too. A file that
        // already holds UTF-8 beyond ASCII stays UTF-8 for them.
        const bool anyCodePage = std::any_of(text.lines.begin(), text.lines.end(),
                                             [](const TTextLine& line) { return !line.utf8; });
        const bool anyUtf8 = std::any_of(text.lines.begin(), text.lines.end(), [](const TTextLine& line) {
            return line.utf8 && !isAscii(line.text);
        });
        profile.encoding_ = anyCodePage && !anyUtf8 ? Encoding::Windows1252 : Encoding::Utf8;
        break;
    }
    }
    for (TTextLine& line : text.lines)
        profile.lines_.push_back({std::move(line.text), std::move(line.end), std::move(line.raw)});
    if (!profile.lines_.empty() && !profile.lines_.front().end.isEmpty())
        profile.newLineEnd_ = profile.lines_.front().end;
    return profile;
}

std::optional<std::pair<qsizetype, qsizetype>> TProfile::sectionRange(const QString& section) const {
    const auto count = qsizetype(lines_.size());
    for (qsizetype heading = 0; heading < count; ++heading) {
        const std::optional<QString> name = headingName(lines_[heading].text);
        if (!name || name->compare(section, Qt::CaseInsensitive) != 0)
            continue;
        qsizetype end = heading + 1;
        while (end < count && !headingName(lines_[end].text))
            ++end;
        return std::pair(heading, end);
    }
    return std::nullopt;
}

std::optional<qsizetype> TProfile::keyLine(const QString& section, const QString& key) const {
    const auto range = sectionRange(section);
    if (!range)
        return std::nullopt;
    for (qsizetype i = range->first + 1; i < range->second; ++i) {
        const std::optional<QString> name = keyName(lines_[i].text);
        if (name && name->compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return std::nullopt;
}

std::optional<QString> TProfile::value(const QString& section, const QString& key) const {
    if (const std::optional<qsizetype> at = keyLine(section, key))
        return valueOf(lines_[*at].text);
    return std::nullopt;
}

void TProfile::insertLine(qsizetype at, const QString& text) {
    if (at > 0 && lines_[at - 1].end.isEmpty())
        lines_[at - 1].end = newLineEnd_;
    lines_.insert(lines_.begin() + at, Line{text, newLineEnd_, {}});
}

void TProfile::setValue(const QString& section, const QString& key, const QString& text) {
    const QString value = onOneLine(text);
    const QString stored = protectedValue(value);
    if (const std::optional<qsizetype> at = keyLine(section, key)) {
        Line& line = lines_[*at];
        if (valueOf(line.text) == value)
            return;
        // Keep the key as it is spelled and spaced.
        qsizetype keep = line.text.indexOf(u'=') + 1;
        while (keep < line.text.size() && (line.text[keep] == u' ' || line.text[keep] == u'\t'))
            ++keep;
        line.text = line.text.left(keep) + stored;
        line.raw = QByteArray();
        return;
    }
    if (const auto range = sectionRange(section)) {
        qsizetype lastKey = range->first;
        for (qsizetype i = range->first + 1; i < range->second; ++i)
            if (keyName(lines_[i].text))
                lastKey = i;
        insertLine(lastKey + 1, key + u'=' + stored);
        return;
    }
    insertLine(qsizetype(lines_.size()), u'[' + section + u']');
    insertLine(qsizetype(lines_.size()), key + u'=' + stored);
}

std::optional<double> TProfile::readFloat(const QString& section, const QString& key) const {
    const std::optional<QString> text = value(section, key);
    return text ? ini::parseFloat(*text) : std::nullopt;
}

std::optional<int> TProfile::readInteger(const QString& section, const QString& key) const {
    const std::optional<QString> text = value(section, key);
    return text ? ini::parseInteger(*text) : std::nullopt;
}

std::optional<bool> TProfile::readBool(const QString& section, const QString& key) const {
    const std::optional<QString> text = value(section, key);
    return text ? ini::parseBool(*text) : std::nullopt;
}

std::optional<QRgb> TProfile::readColor(const QString& section, const QString& key) const {
    const std::optional<QString> text = value(section, key);
    return text ? ini::parseColor(*text) : std::nullopt;
}

std::optional<QString> TProfile::readText(const QString& section, const QString& key) const {
    const std::optional<QString> text = value(section, key);
    return text ? std::optional<QString>(ini::parseText(*text)) : std::nullopt;
}

void TProfile::writeFloat(const QString& section, const QString& key, double value) {
    setValue(section, key, ini::formatFloat(value));
}

void TProfile::writeInteger(const QString& section, const QString& key, int value) {
    setValue(section, key, ini::formatInteger(value));
}

void TProfile::writeBool(const QString& section, const QString& key, bool value) {
    setValue(section, key, ini::formatBool(value));
}

void TProfile::writeColor(const QString& section, const QString& key, QRgb argb) {
    setValue(section, key, ini::formatColor(argb));
}

void TProfile::writeText(const QString& section, const QString& key, const QString& text) {
    setValue(section, key, text);
}

QByteArray TProfile::encoded() const {
    QString text;
    for (const Line& line : lines_)
        text += line.text + line.end;
    switch (encoding_) {
    case Encoding::Utf8WithBom:
        return Utf8Bom + text.toUtf8();
    case Encoding::Utf16LE:
        return Utf16LEBom + encodeUtf16(QStringConverter::Utf16LE, text);
    case Encoding::Utf16BE:
        return Utf16BEBom + encodeUtf16(QStringConverter::Utf16BE, text);
    case Encoding::Utf16LENoBom:
        return encodeUtf16(QStringConverter::Utf16LE, text);
    case Encoding::Utf16BENoBom:
        return encodeUtf16(QStringConverter::Utf16BE, text);
    case Encoding::Utf8:
    case Encoding::Windows1252:
        break;
    }
    // Line by line: what was read goes back as it was; a new value the code page cannot hold is
    // written in UTF-8, which reads back as well.
    QByteArray bytes;
    for (const Line& line : lines_) {
        if (!line.raw.isNull())
            bytes += line.raw;
        else if (const std::optional<QByteArray> codePage =
                     encoding_ == Encoding::Windows1252 ? toWindows1252(line.text) : std::nullopt)
            bytes += *codePage;
        else
            bytes += line.text.toUtf8();
        bytes += line.end.toLatin1();
    }
    return bytes;
}

bool TProfile::write(const QString& path, QString* error) const {
    QSaveFile file(path);
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("Could not save \"%1\": %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    // Unbuffered, because a short write while flushing a buffer is neither reported nor stops the commit.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    // A short write raises no error either, and committing it would leave a truncated file.
    const QByteArray bytes = encoded();
    if (const qint64 written = file.write(bytes); written != bytes.size()) {
        const QString reason =
            written >= 0 && file.error() == QFileDevice::NoError
                ? QStringLiteral("only %1 of %2 bytes could be written; the disk may be full")
                      .arg(written)
                      .arg(bytes.size())
                : file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
