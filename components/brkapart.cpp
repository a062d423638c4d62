#include "components/brkapart.h"

void TBrkApart::BreakApart() {
    FStringList.clear();
    QString rest = FBaseString;
    qsizetype at = -1;
    do {
        at = FBreakString.isEmpty() ? -1 : rest.indexOf(FBreakString, 0, Qt::CaseSensitive);
        const QString piece = at >= 0 ? rest.left(at) : rest;
        if (!piece.isEmpty() || FAllowEmptyString)
            FStringList.append(piece);
        rest = at >= 0 ? rest.mid(at + FBreakString.size()) : QString();
    } while (at >= 0);
}

void TBrkApart::ReverseBreakApart() {
    if (FStringList.isEmpty()) {
        FBaseString.clear();
        return;
    }
    FBaseString = FStringList.first();
    for (qsizetype i = 1; i < FStringList.size(); ++i)
        if (!FStringList[i].isEmpty() || FAllowEmptyString)
            FBaseString += FBreakString + FStringList[i];
}
