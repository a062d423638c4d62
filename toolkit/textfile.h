#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The entry of `directory` whose name equals `name` ignoring case, as a full path; an exact
// match wins. Empty when there is none. Files brought from Windows keep whatever case they had.
QString findIgnoringCase(const QString& directory, const QString& name);

// Decodes a text file's bytes: a byte-order mark selects UTF-8, UTF-16 LE or UTF-16 BE; without
// one the text is UTF-8 when it is valid UTF-8, otherwise Windows-1252.
QString decodeText(const QByteArray& bytes);

// Splits at CR LF, LF or CR. A last line without a line end counts; a line end at the very end
// adds no empty line.
QStringList splitLines(const QString& text);

// The lines of a text file, or nothing when it cannot be read.
std::optional<QStringList> readTextLines(const QString& path);
