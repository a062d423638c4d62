#include "skin/encodings.h"

#include "toolkit/strtoint.h"

#include <QLocale>
#include <charconv>
#include <cmath>

namespace ini {

QString regionalDecimalPoint() {
    return QLocale::system().decimalPoint();
}

QString formatFloat(double value, const QString& decimalPoint) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        value = 0; // no "-0" in a file

    // "%.15g" has the runtime's digits and switch-over points; only its exponent looks different.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (const qsizetype e = text.indexOf(u'e'); e >= 0) {
        const bool negative = text[e + 1] == u'-';
        QString digits = text.mid(e + 2);
        while (digits.size() > 1 && digits.startsWith(u'0'))
            digits.remove(0, 1);
        text = text.left(e) + u'E' + (negative ? QStringLiteral("-") : QString()) + digits;
    }
    text.replace(u'.', decimalPoint);
    return text;
}

std::optional<double> parseFloat(const QString& input) {
    const QString text = input.trimmed();
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    // Rebuilt in the C locale's form for from_chars, which knows neither "," nor a leading "+".
    QByteArray plain;
    qsizetype at = 0;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        if (text[at] == u'-')
            plain += '-';
        ++at;
    }
    int mantissaDigits = 0;
    for (; at < text.size() && isDigit(text[at]); ++at, ++mantissaDigits)
        plain += char(text[at].unicode());
    if (at < text.size() && (text[at] == u'.' || text[at] == u',')) {
        plain += '.';
        for (++at; at < text.size() && isDigit(text[at]); ++at, ++mantissaDigits)
            plain += char(text[at].unicode());
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        plain += 'e';
        ++at;
        if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
            plain += char(text[at++].unicode());
        int exponentDigits = 0;
        for (; at < text.size() && isDigit(text[at]); ++at, ++exponentDigits)
            plain += char(text[at].unicode());
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;

    double value = 0;
    const char* end = plain.constData() + plain.size();
    const auto result = std::from_chars(plain.constData(), end, value);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString formatInteger(int value) {
    return QString::number(value);
}

std::optional<int> parseInteger(const QString& text) {
    return TryStrToInt(text.trimmed());
}

QString formatBool(bool value) {
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

std::optional<bool> parseBool(const QString& text) {
    if (const std::optional<int> value = parseInteger(text))
        return *value != 0;
    return std::nullopt;
}

QString formatColor(QRgb argb) {
    return formatInteger(static_cast<int>(argb));
}

std::optional<QRgb> parseColor(const QString& text) {
    if (const std::optional<int> value = parseInteger(text))
        return static_cast<QRgb>(*value);
    return std::nullopt;
}

QString parseText(const QString& text) {
    return text.left(MaxTextLength);
}

} // namespace ini
