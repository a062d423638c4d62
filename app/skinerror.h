#pragma once

#include <QString>
#include <stdexcept>

// A skin or settings file that could not be read or written; the message names the file and why.
class TSkinError : public std::runtime_error {
public:
    explicit TSkinError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};
