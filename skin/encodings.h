#pragma once

#include <QRgb>
#include <QString>
#include <optional>

// The five kinds of value in skin.ini and Horavis.ini, as text. Every reader gives nothing for a value
// that does not parse in its kind, so the caller falls back to the key's default. The number readers
// ignore blanks around the value.
namespace ini {

// The longest text value that is read back; longer values are cut, as the Windows profile functions
// cut them at their buffer.
inline constexpr qsizetype MaxTextLength = 2047;

// The decimal separator of the user's regional settings.
QString regionalDecimalPoint();

// General format with at most 15 significant digits and no trailing zeros: 1000 is "1000", the
// single-precision 582.7066 is "582.706604003906". Below 1E-4 and from 1E15 on the exponent form is
// used, written the way the Delphi runtime writes it ("1.5E-7", "1E15"). NaN and infinities are
// written "NAN", "INF" and "-INF", which no reader accepts.
QString formatFloat(double value, const QString& decimalPoint = regionalDecimalPoint());
// Accepts "." and "," alike as the decimal separator, so a skin made under the other regional setting
// keeps its fractions; an exponent is allowed, grouping is not. Values beyond double range give nothing.
std::optional<double> parseFloat(const QString& text);

// Signed decimal.
QString formatInteger(int value);
// Signed decimal within 32 bits, or hexadecimal after "$" or "0x" using all 32 bits ("$FFFFFFFF" is -1).
// "48.5" and "true" give nothing.
std::optional<int> parseInteger(const QString& text);

// "1" or "0".
QString formatBool(bool value);
// Read as an integer: any non-zero value is true.
std::optional<bool> parseBool(const QString& text);

// The ARGB bit pattern as a signed 32-bit decimal: 0xFFFF0000 is "-65536".
QString formatColor(QRgb argb);
// Read as an integer and taken as the bit pattern, so the alpha byte survives.
std::optional<QRgb> parseColor(const QString& text);

// The text itself, cut to MaxTextLength characters.
QString parseText(const QString& text);

} // namespace ini
