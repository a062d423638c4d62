#include "toolkit/log.h"

#include <QDebug>

void logme(const QString& message) {
    qDebug().noquote() << QStringLiteral("Horavis ") + message;
}
