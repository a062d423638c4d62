#pragma once

#include <QByteArray>
#include <QRgb>
#include <QString>
#include <optional>
#include <vector>

// The one section of skin.ini and Horavis.ini.
inline const QString SettingsSection = QStringLiteral("Settings");

// An ini file held in memory as its lines, read the way the Windows profile functions read it, so
// files move between both worlds unchanged.
//
// Reading: section and key names match without regard to case; in a section or key named twice the
// first one counts. A value is the text after the key's first "=", blanks trimmed at both ends and one
// pair of enclosing double or single quotes removed. Lines starting with ";" are comments.
//
// Changing: a key is set in place on its line; a new key goes after the last key of its section, or
// right after the section's heading; a missing section is added at the end. Every other line, its line
// end included, stays as it was, so a file is rewritten byte for byte where it was not changed.
// A new file receives its keys in the order they were set, which is how the writer gives it the key
// table's order.
//
// Loading typed values: `profile.readFloat(SettingsSection, "DateSize").value_or(50)`.
// Saving: set every key, then `write` once.
class TProfile {
public:
    // A missing file reads as an empty profile. A file that exists but cannot be read (or is no regular
    // file, or is too large) does too, and `error` then says why, so a caller about to rewrite it can
    // stop instead of dropping its content.
    static TProfile read(const QString& path, QString* error = nullptr);

    // The raw value text; nothing when the section or the key is missing. An empty value is "".
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Sets the value so that `value` gives `text` back: blanks at either end or enclosing quotes are
    // protected by a pair of double quotes, and a line break, which would split the line, becomes a
    // blank. A line whose value already reads as `text` is left untouched.
    void setValue(const QString& section, const QString& key, const QString& text);

    // Nothing for a missing key, an empty value or one that does not parse in its kind.
    std::optional<double> readFloat(const QString& section, const QString& key) const;
    std::optional<int> readInteger(const QString& section, const QString& key) const;
    std::optional<bool> readBool(const QString& section, const QString& key) const;
    std::optional<QRgb> readColor(const QString& section, const QString& key) const;
    // Nothing only for a missing key; an empty value is an empty text. Cut to ini::MaxTextLength.
    std::optional<QString> readText(const QString& section, const QString& key) const;

    // Floats take the regional decimal separator.
    void writeFloat(const QString& section, const QString& key, double value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);
    void writeColor(const QString& section, const QString& key, QRgb argb);
    void writeText(const QString& section, const QString& key, const QString& text);

    // Replaces the file as a whole through a temporary file and a rename, so a failure leaves the
    // previous file as it was. The file keeps its encoding (UTF-16 with or without a byte-order mark,
    // UTF-8 with a mark, or line by line: a line that was not changed keeps its bytes, a changed or new
    // one is UTF-8, or Windows-1252 in a file written that way while the text fits it); a new file is
    // UTF-8 without a mark, which the Windows profile functions read too, with CR LF line ends. On
    // failure `error` holds a sentence naming the file and the reason, ready for a message box.
    bool write(const QString& path, QString* error = nullptr) const;

    // Larger settings files are refused: no real one comes near it, and a runaway one must not fill
    // the memory.
    static constexpr qint64 MaxFileBytes = 4 * 1024 * 1024;

private:
    enum class Encoding { Utf8, Utf8WithBom, Utf16LE, Utf16BE, Utf16LENoBom, Utf16BENoBom, Windows1252 };
    struct Line {
        QString text;
        QString end;    // "\r\n", "\n", "\r", or empty on a last line without one
        QByteArray raw; // the bytes read, written back while the line is unchanged; null otherwise
    };

    QByteArray encoded() const;
    // Index of the section's heading and the index after its last line, or nothing.
    std::optional<std::pair<qsizetype, qsizetype>> sectionRange(const QString& section) const;
    std::optional<qsizetype> keyLine(const QString& section, const QString& key) const;
    void insertLine(qsizetype at, const QString& text);

    std::vector<Line> lines_;
    Encoding encoding_ = Encoding::Utf8;
    QString newLineEnd_ = QStringLiteral("\r\n");
};
