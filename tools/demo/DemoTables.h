#pragma once
#include "data/Connection.h"

// Writers of the demo year database; the caller holds the transaction.
namespace demo {

// Inserts one row: into is "Table (ColA, ColB, ...)", values match its columns.
void insertRow(data::Connection &db, const QString &into, const data::Params &values);

// Parties, products and a year of vouchers, with masters whose totals agree with the vouchers.
void writeAccounts(data::Connection &year);

// Column catalogue, user-defined fields, custom columns and stored report definitions.
void writeReportDefinitions(data::Connection &year);

} // namespace demo
