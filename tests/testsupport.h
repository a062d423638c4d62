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

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>

// Caps the size of files this process writes, so a write fails part way as on a full disk. It binds
// root too, where taking away write permission would not.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = saved_;
        tight.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &tight);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*handler_)(int) = nullptr;
};
#endif
