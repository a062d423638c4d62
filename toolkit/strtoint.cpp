#include "toolkit/strtoint.h"

#include <cstdint>
#include <limits>

namespace {

int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int value = 16;
    if (u >= u'0' && u <= u'9')
        value = u - u'0';
    else if (u >= u'a' && u <= u'f')
        value = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        value = u - u'A' + 10;
    return value < base ? value : -1;
}

} // namespace

std::optional<int> TryStrToInt(const QString& text) {
    qsizetype at = 0;
    // Blanks before the number are skipped, as the runtime does; blanks after it are not a number.
    while (at < text.size() && (text[at] == u' ' || text[at] == u'\t'))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+'))
        negative = text[at++] == u'-';

    int base = 10;
    if (at < text.size() && text[at] == u'$') {
        base = 16;
        ++at;
    } else if (at + 1 < text.size() && text[at] == u'0' && (text[at + 1] == u'x' || text[at + 1] == u'X')) {
        base = 16;
        at += 2;
    }
    if (at == text.size())
        return std::nullopt;

    // Hexadecimal may fill all 32 bits; decimal stops at the signed limit (one more when negative).
    const std::uint64_t limit =
        base == 16 ? 0xFFFFFFFFull : std::uint64_t(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
    std::uint64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        const int digit = digitValue(text[at], base);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    // Two's complement wrap-around, done in unsigned arithmetic so it is defined.
    const std::uint32_t bits = std::uint32_t(negative ? 0 - magnitude : magnitude);
    return int(std::int32_t(bits));
}

int StrToInt(const QString& text) {
    if (const std::optional<int> value = TryStrToInt(text))
        return *value;
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}
