#pragma once
#include <QString>
#include <QStringList>
#include <array>

// One column of a tabular report as the wizard's selected grid holds it: twelve text cells, in
// the grid's column order. The catalogue grid holds the first seven in the same order.
struct SelectedColumn {
    enum Cell {
        TabName,    // source table alias, or a custom column's code
        ColumnName, // column of that table, or a custom column's formula
        DataType,   // "N" numeric, anything else not
        Caption,
        Alignment,
        Width,
        Decimal,
        Grouping,   // "None", "No", "Asc", "Desc"
        Sorting,    // likewise
        Total,      // "No", "Yes"
        Count,      // likewise
        GrandTotal, // likewise
    };
    static constexpr int CatalogueCells = Grouping;
    static constexpr int Cells = GrandTotal + 1;

    SelectedColumn() = default;
    // Cells beyond the list are empty.
    explicit SelectedColumn(const QStringList &cells)
    {
        for (int c = 0; c < Cells; ++c)
            cells_[c] = cells.value(c);
    }

    const QString &operator[](Cell c) const { return cells_[c]; }
    QString &operator[](Cell c) { return cells_[c]; }

    bool operator==(const SelectedColumn &other) const { return cells_ == other.cells_; }

    bool numeric() const { return cells_[DataType] == QLatin1String("N"); }
    // Whether a setting's cell starts with the one-letter code: "N" none or no, "A" ascending,
    // "D" descending, "Y" yes. The grid shows words; the code is their first letter.
    bool is(Cell setting, char code) const { return cells_[setting].startsWith(QLatin1Char(code)); }
    bool grouped() const { return !is(Grouping, 'N'); }
    bool custom() const { return cells_[TabName].startsWith(QLatin1String("CF-")); }

private:
    std::array<QString, Cells> cells_;
};
