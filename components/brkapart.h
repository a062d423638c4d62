#pragma once

#include "toolkit/tobject.h"

#include <QStringList>

// Splits a text at a separator into pieces and joins pieces back into one text. Both operations
// work in place: the caller sets the inputs, calls, and reads the result from the properties.
class TBrkApart : public TObject {
public:
    explicit TBrkApart(TObject* owner = nullptr, const QString& name = QString())
        : TObject(name), owner_(owner) {}

    TObject* Owner() const { return owner_; }

    const QString& BreakString() const { return FBreakString; }
    void setBreakString(const QString& separator) { FBreakString = separator; }
    const QString& BaseString() const { return FBaseString; }
    void setBaseString(const QString& text) { FBaseString = text; }
    bool AllowEmptyString() const { return FAllowEmptyString; }
    void setAllowEmptyString(bool allow) { FAllowEmptyString = allow; }
    const QStringList& StringList() const { return FStringList; }
    // Copies the lines; the component keeps its own list.
    void setStringList(const QStringList& lines) { FStringList = lines; }

    // StringList := the pieces of BaseString, cut at every BreakString (an empty one cuts nowhere).
    void BreakApart();
    // BaseString := the items of StringList joined by BreakString; the first item always counts.
    void ReverseBreakApart();

private:
    TObject* owner_;
    QString FBaseString;
    QString FBreakString;
    bool FAllowEmptyString = false;
    QStringList FStringList;
};
