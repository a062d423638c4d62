#pragma once

#include "toolkit/clock.h"

#include <QDateTime>
#include <QImage>
#include <QTimeZone>

// Puts the program's clock under the test's control at a given local moment.
inline void setLocalTime(int year, int month, int day, int hour, int minute, int second = 0, int msec = 0) {
    Clock::instance().setManualTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec)));
}

inline void advance(qint64 ms) {
    Clock::instance().advance(ms);
}

// Number of pixels where some colour channel of two same-sized pictures differs by more than `tolerance`.
inline int differingPixels(const QImage& a, const QImage& b, int tolerance) {
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int worst =
                std::max({std::abs(qRed(p[col]) - qRed(q[col])), std::abs(qGreen(p[col]) - qGreen(q[col])),
                          std::abs(qBlue(p[col]) - qBlue(q[col]))});
            count += worst > tolerance ? 1 : 0;
        }
    }
    return count;
}
