#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The entry of `directory` whose name equals `name` ignoring case, as a full path; an exact
// match wins. Empty when there is none. Files brought from Windows keep whatever case they had.
QString findIgnoringCase(const QString& directory, const QString& name);

// Reads a regular file and nothing else: a FIFO, a device or a folder counts as unreadable, since
// reading one may block for ever or never end. A file of more than `maxBytes` is refused too. On
// failure `error` holds a sentence naming the file and the reason.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, QString* error = nullptr);
// As above, but a larger file gives its first `maxBytes` and sets `cut`.
std::optional<QByteArray> readFileStart(const QString& path, qint64 maxBytes, bool* cut,
                                        QString* error = nullptr);

// How a text file's bytes are laid out. A byte-order mark selects UTF-8 or UTF-16; UTF-16 without a
// mark shows as a zero byte in every other place. Anything else is read line by line, each line as
// UTF-8 when it is valid UTF-8 and as Windows-1252 otherwise, so one odd byte in a comment does not
// change how the rest of the file reads.
enum class TTextLayout { Lines, Utf8WithBom, Utf16LE, Utf16BE, Utf16LENoBom, Utf16BENoBom };

struct TTextLine {
    QString text;
    QString end;      // "\r\n", "\n", "\r", or empty on a last line without one
    QByteArray raw;   // the line's own bytes in a line-by-line file, to write back unchanged
    bool utf8 = true; // decoded as UTF-8 rather than Windows-1252
};

struct TText {
    TTextLayout layout = TTextLayout::Lines;
    std::vector<TTextLine> lines;
};

TTextLayout layoutOf(const QByteArray& bytes);
TText parseText(const QByteArray& bytes);

// The whole text with the line ends it had.
QString decodeText(const QByteArray& bytes);

// Splits at CR LF, LF or CR. A last line without a line end counts; a line end at the very end
// adds no empty line.
QStringList splitLines(const QString& text);

// Windows-1252 for every character it holds; nothing when one does not fit.
std::optional<QByteArray> toWindows1252(const QString& text);

// The lines of a regular text file of at most `maxBytes`, or nothing when it cannot be read. A larger
// file gives the whole lines of its start and sets `cut`.
std::optional<QStringList> readTextLines(const QString& path, qint64 maxBytes, bool* cut = nullptr,
                                         QString* error = nullptr);
