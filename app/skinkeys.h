#pragma once

#include <QVariant>
#include <functional>
#include <vector>

class TForm1;
class TProfile;

// The settings of a skin: one row per key of skin.ini, in the order the writer emits them. The loader
// reads each key through its row and the writer takes each live value through its row, so both always
// agree on name, kind and default.
enum class TSkinKind { Float, Bool, Integer, Colour, Text };

struct TSkinKey {
    QString name;
    TSkinKind kind;
    QVariant fallback; // what the loader uses when the key is missing or does not parse
    // The live value the writer stores.
    std::function<QVariant(const TForm1&)> live;
    // Puts a value read from the file into the control or element that holds it.
    std::function<void(TForm1&, const QVariant&)> assign;
};

const std::vector<TSkinKey>& skinKeys();
// The row of a key; the name must be one of the table's.
const TSkinKey& skinKey(const QString& name);

// The key's value in the file, or its default.
QVariant readSkinValue(const TProfile& profile, const TSkinKey& key);
// Reads the key from the file (or takes its default) and puts it into its holder.
void assignSkinValue(TForm1& form, const TProfile& profile, const TSkinKey& key);
void writeSkinValue(TProfile& profile, const TSkinKey& key, const QVariant& value);
