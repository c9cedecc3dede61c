#pragma once
#include "data/Connection.h"
#include <QString>
#include <QStringList>
#include <QVector>

// The definitions the torture writes: version `version` of logical definition `key`. Every field
// is derived from key and version, so a reader can tell whether a stored row is whole and which
// version it is.
namespace torture {

enum class Kind { CrossTab, Tabular };

struct CrossTab {
    QString name, desc, rowTag, rowText, colTag, colText, dispTag, dispText, groupTag, groupText;
    bool grouping = false;
    int repType = 0;
};
CrossTab crossTab(int key, int version);

QString tabularName(int key, int version);
// Between 1 and 200 columns, in the twelve cells the wizard's selected grid holds.
QVector<QStringList> tabularRows(int key, int version);

// A stored definition as the torture reads it back.
struct Stored {
    QString code;
    int key = 0;
    int version = 0;
};

// Every definition in the year file; a row whose name is no torture name has key -1.
QVector<Stored> storedDefinitions(data::Connection &year, Kind kind);

// Empty when the stored definition is exactly the version its name gives; otherwise what differs.
QString checkStored(data::Connection &year, Kind kind, const Stored &stored);

QString rowText(const QVector<QVariant> &row);

} // namespace torture
