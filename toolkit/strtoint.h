#pragma once

#include <QString>
#include <optional>
#include <stdexcept>

// A text that does not convert; what() and Message() read "'text' is not a valid integer value".
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& Message() const { return message_; }

private:
    QString message_;
};

// The runtime's standard integer conversion: an optional sign, then decimal digits, or hexadecimal
// digits after "$", "0x" or "0X". Nothing else is allowed, not even a blank at either end. Decimal
// values must fit 32 bits; hexadecimal ones may use all 32 bits and wrap to negative, as the
// runtime does ("$FFFFFFFF" is -1).
std::optional<int> TryStrToInt(const QString& text);
// Throws EConvertError where TryStrToInt gives nothing.
int StrToInt(const QString& text);
