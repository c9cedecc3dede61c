#pragma once
#include <QString>

// Data roots far larger than a real firm's, built with the demo-data code plus bulk rows.
struct Scale {
    int crossTabs = 0;      // ZoCTR rows
    int tabularReports = 0; // CrMain rows (each with two CrChild rows)
    int userFields = 0;     // ZoM35 rows, every other one a value field ('M','N')
    int catalogueColumns = 0; // CRDefCol rows of the family
    int customColumns = 0;  // CRCustFld rows of the family
    int bigReportColumns = 0; // columns of one stored report, code "CRFBIG"
};

// Creates firm 1, year 1 under root with the demo year plus the rows the scale asks for.
void makeScaledRoot(const QString &root, const Scale &scale);

// Creates firm 1, year 1 under root: the demo year grown by bulk masters and vouchers to a large
// firm's year. Every voucher line has a product and every voucher a party.
struct ScaledYear {
    int vouchers = 0, lines = 0, parties = 0, products = 0; // totals, the demo's rows included
};
void makeScaledYear(const QString &root, const ScaledYear &size);
