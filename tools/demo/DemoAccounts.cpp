#include "tools/demo/DemoTables.h"
#include <QDate>
#include <QHash>
#include <QStringList>
#include <QVector>
#include <algorithm>
#include <cmath>

namespace demo {

namespace {

const char *const PartyNames[] = {
    "Aarav Traders",        "Bhavani Stores",       "Chandan Provisions",   "Deccan Kirana",
    "Ekta Supermart",       "Ganesh Agencies",      "Gokul Stores",         "Hari Om Traders",
    "Indira Grocers",       "Janata Bazaar",        "Kaveri Foods",         "Laxmi Oil Depot",
    "Mahalaxmi Stores",     "Navrang Traders",      "Om Sai Provisions",    "Patil Brothers",
    "Pooja General Stores", "Rajlaxmi Foods",       "Sahyadri Wholesale",   "Sai Krupa Mart",
    "Shivam Enterprises",   "Shree Datta Kirana",   "Siddhi Traders",       "Tulsi Grocers",
    "Umiya Foods",          "Vaibhav Stores",       "Venkatesh Agencies",   "Vijay Traders",
    "Yash Provisions",      "Zeal Mart",
};
constexpr int PartyCount = int(sizeof PartyNames / sizeof *PartyNames);

struct City {
    const char *name;
    const char *areas[2];
};
const City Cities[] = {
    {"Pune", {"Kothrud", "Camp"}},
    {"Nashik", {"Panchavati", "Satpur"}},
    {"Nagpur", {"Sitabuldi", "Dharampeth"}},
    {"Kolhapur", {"Rajarampuri", "Shahupuri"}},
};
const char *const Categories[] = {"Wholesale", "Retail", "Distributor"};
const char *const SalesMen[] = {"Ramesh Patil", "Sunita Joshi", "Imran Shaikh"};

// Every fifth party is a supplier; the others buy.
bool isSupplier(int party) { return party % 5 == 4; }
QString partyCode(int party) { return QStringLiteral("P%1").arg(party + 1, 4, 10, QLatin1Char('0')); }

struct Product {
    const char *name;
    const char *printName;
    const char *group;
    const char *masters;
    double weight; // kg per unit of quantity
    double rate;
};
const Product Products[] = {
    {"Basmati Rice 25kg", "Basmati Rice", "Rice", "Annapurna", 25, 2150},
    {"Kolam Rice 25kg", "Kolam Rice", "Rice", "Annapurna", 25, 1450},
    {"Sona Masoori 25kg", "Sona Masoori", "Rice", "Kisan", 25, 1325},
    {"Indrayani Rice 10kg", "Indrayani Rice", "Rice", "Kisan", 10, 640},
    {"Broken Rice 50kg", "Broken Rice", "Rice", "Shree", 50, 1600},
    {"Toor Dal 30kg", "Toor Dal", "Pulses", "Kisan", 30, 3420},
    {"Moong Dal 30kg", "Moong Dal", "Pulses", "Kisan", 30, 3180},
    {"Chana Dal 30kg", "Chana Dal", "Pulses", "Shree", 30, 2250},
    {"Masoor Dal 30kg", "Masoor Dal", "Pulses", "Shree", 30, 2490},
    {"Urad Dal 30kg", "Urad Dal", "Pulses", "Annapurna", 30, 3360},
    {"Groundnut Oil 15L Tin", "Groundnut Oil Tin", "Edible Oil", "Shree", 13.65, 2680},
    {"Sunflower Oil 15L Tin", "Sunflower Oil Tin", "Edible Oil", "Kisan", 13.65, 2140},
    {"Soyabean Oil 15L Tin", "Soyabean Oil Tin", "Edible Oil", "Kisan", 13.65, 1980},
    {"Mustard Oil 1L Pouch", "Mustard Oil Pouch", "Edible Oil", "Annapurna", 0.91, 168},
    {"Groundnut Oil 1L Pouch", "Groundnut Oil Pouch", "Edible Oil", "Shree", 0.91, 189},
    {"Turmeric Powder 500g", "Turmeric 500g", "Spices", "Annapurna", 0.5, 92},
    {"Red Chilli Powder 500g", "Chilli 500g", "Spices", "Annapurna", 0.5, 138},
    {"Coriander Powder 500g", "Coriander 500g", "Spices", "Shree", 0.5, 84},
    {"Garam Masala 100g", "Garam Masala", "Spices", "Kisan", 0.1, 62},
    {"Cumin Seeds 1kg", "Jeera 1kg", "Spices", "Kisan", 1, 420},
    {"Sugar 50kg", "Sugar Bag", "Sugar & Jaggery", "Shree", 50, 2075},
    {"Sugar 1kg Pack", "Sugar 1kg", "Sugar & Jaggery", "Annapurna", 1, 46},
    {"Jaggery Block 1kg", "Gul Block", "Sugar & Jaggery", "Kisan", 1, 58},
    {"Jaggery Powder 500g", "Gul Powder", "Sugar & Jaggery", "Kisan", 0.5, 41},
    {"Rock Sugar 500g", "Khadi Sakhar", "Sugar & Jaggery", "Shree", 0.5, 55},
};
constexpr int ProductCount = int(sizeof Products / sizeof *Products);

QString productCode(int product) { return QStringLiteral("I%1").arg(product + 1, 4, 10, QLatin1Char('0')); }
// Bags of ten kilos and up travel loose; lighter units are packed in cartons of twelve.
bool isLoose(const Product &p) { return p.weight >= 10; }

const char *const HsnByGroup[][2] = {
    {"Rice", "1006"}, {"Pulses", "0713"}, {"Edible Oil", "1508"}, {"Spices", "0910"}, {"Sugar & Jaggery", "1701"},
};

struct Kind {
    const char *prefix;
    const char *shortName;
    bool sale;
    bool returned;
};
const Kind Kinds[] = {
    {"SDC", "SALE", true, false},  {"SCC", "CSALE", true, false}, {"SDD", "SRET", true, true},
    {"SCD", "CSRET", true, true},  {"PDD", "PURC", false, false}, {"PCD", "CPURC", false, false},
    {"PDC", "PRET", false, true},  {"PCC", "CPRET", false, true},
};
// Sales outnumber purchases and returns are rare; each entry is an index into Kinds.
const int KindCycle[] = {0, 0, 1, 4, 0, 1, 2, 0, 5, 0, 1, 4, 3, 0, 6, 4, 7};
constexpr int VoucherCount = 120;

const char *const Transporters[] = {"Shree Ganesh Roadways", "Deccan Carriers", "Sai Logistics"};
const char *const Narrations[] = {"As per order", "Against cash", "As per challan", "Rate as agreed"};

double round2(double v) { return std::round(v * 100) / 100; }

struct Totals {
    double debit = 0, credit = 0;
};
struct Stock {
    double received = 0, issued = 0;
};

void writeParties(data::Connection &db, const QVector<Totals> &totals)
{
    for (int i = 0; i < PartyCount; ++i) {
        const City &city = Cities[i % 4];
        const QString name = QString::fromLatin1(PartyNames[i]);
        const bool supplier = isSupplier(i);
        // Customers open owing money, suppliers open being owed.
        const double opening = (supplier ? -1 : 1) * double((i * 3719) % 48 + 2) * 500;
        const double closing = round2(opening + totals[i].debit - totals[i].credit);
        insertRow(db,
                  QStringLiteral("ZoM02 (Col99, Col98, Col98A, Col88, Col86, Col95, Col61, "
                                 "ColPartyCategoryName, ColSMName, Col80, Col79, Col78, Col77)"),
                  {partyCode(i), name, name.left(4).toUpper() + QString::number(i + 1), QString::fromLatin1(city.name),
                   QString::fromLatin1(city.areas[(i / 4) % 2]),
                   supplier ? QStringLiteral("Sundry Creditors") : QStringLiteral("Sundry Debtors"),
                   supplier ? QStringLiteral("Supplier") : QStringLiteral("Customer"),
                   QString::fromLatin1(Categories[i % 3]),
                   supplier ? QStringLiteral("Office") : QString::fromLatin1(SalesMen[i % 3]), opening,
                   round2(totals[i].credit), round2(totals[i].debit), closing});
        insertRow(db, QStringLiteral("ZoM02_1 (Col99, ColGSTIN)"),
                  {partyCode(i), QStringLiteral("27AAB%1%2Z%3")
                                     .arg(QChar('A' + i % 26))
                                     .arg(4100 + i * 37, 4, 10, QLatin1Char('0'))
                                     .arg(i % 9 + 1)});
    }
}

void writeProducts(data::Connection &db, const QVector<Stock> &stock)
{
    const QHash<QString, QString> hsn = [] {
        QHash<QString, QString> h;
        for (const auto &row : HsnByGroup)
            h.insert(QString::fromLatin1(row[0]), QString::fromLatin1(row[1]));
        return h;
    }();
    for (int i = 0; i < ProductCount; ++i) {
        const Product &p = Products[i];
        const Stock &s = stock[i];
        // Enough opening stock that no product closes below ten units.
        const double opening = std::max(double(40 + (i * 37) % 160), s.issued - s.received + 10);
        const QString name = QString::fromLatin1(p.name);
        insertRow(db,
                  QStringLiteral("ZoM20 (Col99, Col98, ColExcPNameNew, Col98A, Col88, Col86, Col84, "
                                 "ColMastersName, Col98Desc, ColWeight, OpQty, RecQty, IssQty, ClQty)"),
                  {productCode(i), name, QString::fromLatin1(p.printName),
                   QString::fromLatin1(p.printName).left(3).toUpper() + QString::number(i + 1),
                   QString::fromLatin1(p.group), isLoose(p) ? QStringLiteral("Loose") : QStringLiteral("Packed"),
                   i % 4 == 3 ? QStringLiteral("Manufactured") : QStringLiteral("Trading"),
                   QString::fromLatin1(p.masters),
                   QStringLiteral("%1, %2 brand").arg(name, QString::fromLatin1(p.masters)), p.weight, opening,
                   s.received, s.issued, opening + s.received - s.issued});
        insertRow(db, QStringLiteral("ZoM20_1 (Col99, ColHSN)"),
                  {productCode(i), hsn.value(QString::fromLatin1(p.group))});
    }
}

} // namespace

void writeAccounts(data::Connection &year)
{
    QVector<int> customers, suppliers;
    for (int i = 0; i < PartyCount; ++i)
        (isSupplier(i) ? suppliers : customers) << i;

    QVector<Totals> totals(PartyCount);
    QVector<Stock> stock(ProductCount);
    QVector<int> numbers(int(sizeof Kinds / sizeof *Kinds), 0);
    const QDate firstDay(2023, 4, 1);

    for (int v = 0; v < VoucherCount; ++v) {
        const int kindIndex = KindCycle[v % int(sizeof KindCycle / sizeof *KindCycle)];
        const Kind &kind = Kinds[kindIndex];
        const QString key = QStringLiteral("%1%2").arg(QString::fromLatin1(kind.prefix))
                                .arg(++numbers[kindIndex], 4, 10, QLatin1Char('0'));
        const int party = kind.sale ? customers[(v * 7) % customers.size()] : suppliers[v % suppliers.size()];
        const QDate date = firstDay.addDays(v * 3);
        insertRow(year, QStringLiteral("ZoT51 (Col99, Col98, Col45, Col83)"),
                  {key, date.toString(Qt::ISODate), QString::fromLatin1(kind.shortName), partyCode(party)});
        insertRow(year, QStringLiteral("ZoT51_1 (Col99, ColVehicleNo, ColNarration)"),
                  {key, QStringLiteral("MH%1 %2 %3").arg(12 + v % 4 * 3).arg(QChar('A' + v % 7)).arg(1000 + v * 53 % 9000),
                   QString::fromLatin1(Narrations[v % 4])});
        // Counter sales are carried by the buyer, so a third of the vouchers has no transport.
        if (v % 3 != 2)
            insertRow(year, QStringLiteral("ZoT51_2 (Col99, ColTransport, ColLRNo)"),
                      {key, QString::fromLatin1(Transporters[v % 3]), QStringLiteral("LR%1").arg(5000 + v * 11)});

        const int lines = 1 + (v * 5) % 4;
        for (int l = 0; l < lines; ++l) {
            const int product = (v * 7 + l * 11) % ProductCount;
            const Product &p = Products[product];
            const double qty = 2 + (v * 13 + l * 7) % 30;
            const double amount = round2(qty * p.rate);
            // The flag marks a line that counts negative in the net figures.
            const QString flag = !kind.returned ? QStringLiteral("N")
                                 : kind.sale    ? QStringLiteral("R")
                                                : QStringLiteral("I");
            insertRow(year,
                      QStringLiteral("ZoT52 (Col99, ColLineNo, Col96, Col93, Col95, Col90, ColBags, "
                                     "ColCartons, ColFreight, ColBatchNo)"),
                      {key, l + 1, productCode(product), amount, qty, flag, isLoose(p) ? qty : 0.0,
                       isLoose(p) ? 0.0 : std::ceil(qty / 12), round2(qty * p.weight * 0.8),
                       QStringLiteral("B%1-%2").arg(date.toString(QStringLiteral("yyMM")), productCode(product))});

            Totals &t = totals[party];
            Stock &s = stock[product];
            if (kind.sale && !kind.returned) {
                t.debit += amount;
                s.issued += qty;
            } else if (kind.sale) {
                t.credit += amount;
                s.issued -= qty;
            } else if (!kind.returned) {
                t.credit += amount;
                s.received += qty;
            } else {
                t.debit += amount;
                s.received -= qty;
            }
        }
    }
    writeParties(year, totals);
    writeProducts(year, stock);
}

} // namespace demo
