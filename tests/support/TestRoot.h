#pragma once
#include "data/Connection.h"
#include <QTemporaryDir>
#include <QVariant>

// A data root of its own, opened as the run's two databases with the run-wide settings filled
// as start-up fills them. On destruction the connections are dropped and every window hidden.
class TestRoot {
public:
    enum Content { Demo, Empty };
    explicit TestRoot(Content content = Demo, const QString &runMode = QStringLiteral("CTR"), int firm = 1,
                      int year = 1);
    ~TestRoot();

    QString path() const { return dir_.path(); }
    data::Connection &year();
    data::Connection &firm();

    // The rows of a query on the year database, each row's values joined by "|" (null as "").
    QStringList rows(const QString &sql, const data::Params &params = {});
    QVariant value(const QString &sql, const data::Params &params = {});
    int counter(const QString &series);

private:
    QTemporaryDir dir_;
};
