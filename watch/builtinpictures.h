#pragma once

#include <QByteArray>
#include <QString>

// The program's own pictures, compiled in. They stay encoded, in the program's own read-only data
// where the build leaves them uncompressed; images decode them to the sizes they are shown at.
namespace BuiltInPictures {
QByteArray encoded(const QString& file);
} // namespace BuiltInPictures
