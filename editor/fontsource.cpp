#include "editor/fontsource.h"

#include <QFontDatabase>
#include <QRegularExpression>
#include <algorithm>

namespace {

// Qt's font database: on Linux it is fontconfig's list of families. Qt reports each family once
// and for every writing system, so there is nothing to filter by character set here.
class TSystemFontSource : public TFontSource {
public:
    void EnumFontFamilies(const Callback& callback) override {
        for (const QString& family : QFontDatabase::families()) {
            // Private families (a leading dot on macOS) are the system's own, not for users.
            if (QFontDatabase::isPrivateFamily(family))
                continue;
            if (callback({family, 1, 0}) == 0)
                return;
        }
    }
};

} // namespace

// Qt names a family that several foundries supply "C059 [UKWN]", "C059 [urw]"; fonts are asked for by
// the family alone, and that is what a skin stores.
QString familyWithoutFoundry(const QString& reported) {
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    QString family = reported;
    family.remove(foundry);
    return family.isEmpty() ? reported : family;
}

namespace {

TFontSource*& installed() {
    static TSystemFontSource system;
    static TFontSource* current = &system;
    return current;
}

} // namespace

TFontSource& TFontSource::current() {
    return *installed();
}

TFontSourceOverride::TFontSourceOverride(TFontSource& replacement) : previous_(installed()) {
    installed() = &replacement;
}

TFontSourceOverride::~TFontSourceOverride() {
    installed() = previous_;
}

TSortedStringList::TSortedStringList() {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

void TSortedStringList::Add(const QString& name) {
    const auto at =
        std::lower_bound(names_.begin(), names_.end(), name,
                         [this](const QString& a, const QString& b) { return collator_.compare(a, b) < 0; });
    if (at != names_.end() && collator_.compare(*at, name) == 0)
        return;
    names_.insert(at, name);
}

bool TSortedStringList::SameText(const QString& a, const QString& b) const {
    return collator_.compare(a, b) == 0;
}
