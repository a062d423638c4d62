#pragma once

#include <QCollator>
#include <QString>
#include <QStringList>
#include <functional>

// One family as the font enumeration reports it. A system may report a family once per character
// set, and the font type (TrueType, raster, vector) is only passed along.
struct TFontFamilyReport {
    QString faceName;
    int charSet = 1;
    int fontType = 0;
};

// The family part of a name Qt gives with its foundry in brackets.
QString familyWithoutFoundry(const QString& reported);

// Where the installed font families come from: the system's font database, or a test's list.
class TFontSource {
public:
    // Returns 1 to go on, 0 to stop the enumeration.
    using Callback = std::function<int(const TFontFamilyReport& family)>;

    virtual ~TFontSource() = default;
    // Reports the installed families one by one, in the source's own order, to the callback.
    virtual void EnumFontFamilies(const Callback& callback) = 0;

    // The source in use: the system's unless a replacement is installed.
    static TFontSource& current();
};

// Puts another source in place for as long as it lives.
class TFontSourceOverride {
public:
    explicit TFontSourceOverride(TFontSource& replacement);
    ~TFontSourceOverride();
    TFontSourceOverride(const TFontSourceOverride&) = delete;
    TFontSourceOverride& operator=(const TFontSourceOverride&) = delete;

private:
    TFontSource* previous_;
};

// A list of names kept in ascending order, ignoring case, by the user's locale. Adding a name that
// is already there in any case changes nothing, so the first form met stays.
class TSortedStringList {
public:
    TSortedStringList();

    void Add(const QString& name);
    int Count() const { return int(names_.size()); }
    const QString& operator[](int index) const { return names_[index]; }
    const QStringList& Names() const { return names_; }
    // Equal ignoring case, by the same rule the order uses.
    bool SameText(const QString& a, const QString& b) const;

private:
    QCollator collator_;
    QStringList names_;
};
