-- Firm database: settings shared by every year of one firm.

-- Record-number counters, one row per numbering series.
CREATE TABLE ZoF05 (
    Col99 TEXT COLLATE NOCASE PRIMARY KEY,
    Col98 INTEGER
);
