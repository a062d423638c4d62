#pragma once

#include "app/skinerror.h"
#include "toolkit/picture.h"

#include <QImage>
#include <QString>
#include <map>

namespace skinpictures {

// A side of at most this many pixels is taken; one such picture fits within the cap below.
inline constexpr int MaxSide = 8192;
// What all pictures of one skin may hold together: far beyond any real skin, and a bound on the memory a
// hand-made or broken one can take.
inline constexpr qint64 MaxSkinPixels = 120'000'000;
// A picture file is read whole before it is decoded.
inline constexpr qint64 MaxFileBytes = 256 * 1024 * 1024;

// Reads the pictures of a skin, keyed by the name asked for, and decodes each once, at most two at a
// time, to prove it whole; what it returns holds the files' bytes, decoded later at the size shown.
// Every file is checked before any is decoded: a file that is no regular file, too large, not a
// picture, larger than MaxSide or that does not decode, and a skin over MaxSkinPixels, throw a
// TSkinError naming the file and the reason.
std::map<QString, TPicture> decode(const std::map<QString, QString>& pathsByName);

} // namespace skinpictures
