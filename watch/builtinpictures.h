#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// The program's own pictures, compiled in. Each is decoded once per process; pictures the first
// frame needs can be decoded ahead on worker threads while the windows are being built.
namespace BuiltInPictures {
QImage get(const QString& file);
void prefetch(const QStringList& files);
} // namespace BuiltInPictures
