#pragma once
#include "data/Connection.h"
#include <QString>
#include <memory>

// Builds firm and year databases for trying the designer out, for tests and for benchmarks.
namespace demo {

// The text of the schema resource ":/schema/<name>.sql" ("firm" or "year"; "pg/firm" and "pg/year"
// for a server).
QString schemaText(const QString &name);

// Creates a new database file keyed with the password, runs the schema in it and opens it.
// Throws std::runtime_error when the file exists already; missing folders are created.
std::unique_ptr<data::Connection> createDatabase(const QString &file, const QString &password,
                                                 const QString &schemaSql);

struct DemoFiles {
    std::unique_ptr<data::Connection> year, firm;
};

// The year and firm databases under root with their tables and only the record-number
// counters. Throws std::runtime_error when either file exists.
DemoFiles makeEmptyData(const QString &root, int firm, int year);

// As makeEmptyData, filled with a small accounting year and a few stored report definitions.
DemoFiles makeDemoData(const QString &root, int firm, int year);

// The same two on a server (a libpq conninfo), as databases firm<F> and firm<F>_yr<Y>. Throws
// DbError when the server refuses, std::runtime_error when either database holds tables already;
// an existing empty database is used.
DemoFiles makeServerEmptyData(const QString &server, int firm, int year);
DemoFiles makeServerDemoData(const QString &server, int firm, int year);

} // namespace demo
