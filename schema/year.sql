-- Year database: the accounting year of one firm and the report definitions kept with it.
-- Text compares and orders without regard to case, as the accounting program expects.

-- Cross-tab report definitions.
CREATE TABLE ZoCTR (
    Col99 TEXT COLLATE NOCASE PRIMARY KEY,
    ColRepName TEXT COLLATE NOCASE,
    ColRepDesc TEXT COLLATE NOCASE,
    ColRowData TEXT COLLATE NOCASE,
    ColColData TEXT COLLATE NOCASE,
    ColDispData TEXT COLLATE NOCASE,
    ColGroupField TEXT COLLATE NOCASE,
    ColIsGrouping INTEGER,
    ColRowDataName TEXT COLLATE NOCASE,
    ColColDataName TEXT COLLATE NOCASE,
    ColDispDataName TEXT COLLATE NOCASE,
    ColGroupFieldName TEXT COLLATE NOCASE,
    ColRepType INTEGER
);
CREATE INDEX ZoCTR_RepName ON ZoCTR (ColRepName);

-- User-defined fields: Col99 code (a column name), Col98 caption, Col95 and Col96 its class.
CREATE TABLE ZoM35 (
    Col99 TEXT COLLATE NOCASE,
    Col98 TEXT COLLATE NOCASE,
    Col95 TEXT COLLATE NOCASE,
    Col96 TEXT COLLATE NOCASE
);

-- Columns offered to tabular reports, by table alias.
CREATE TABLE CRDefCol (
    ColTableName TEXT COLLATE NOCASE,
    FldName TEXT COLLATE NOCASE,
    FldDName TEXT COLLATE NOCASE,
    FldWidth INTEGER,
    FldDType TEXT COLLATE NOCASE,
    ColDecimal INTEGER
);
CREATE INDEX CRDefCol_TableCaption ON CRDefCol (ColTableName, FldDName);

-- Custom formula columns, per report family (MCode).
CREATE TABLE CRCustFld (
    ColCode TEXT COLLATE NOCASE PRIMARY KEY,
    FldName TEXT COLLATE NOCASE,
    CalString TEXT COLLATE NOCASE,
    FldDType TEXT COLLATE NOCASE,
    MCode TEXT COLLATE NOCASE
);

-- Tabular report definitions: one header row and one row per column.
CREATE TABLE CrMain (
    ColCode TEXT COLLATE NOCASE PRIMARY KEY,
    ColMenuCode TEXT COLLATE NOCASE,
    ColReportName TEXT COLLATE NOCASE,
    ColSql TEXT COLLATE NOCASE,
    ColOrderBy TEXT COLLATE NOCASE,
    ColTotGroupingCol INTEGER,
    ColTotalStr TEXT COLLATE NOCASE,
    ColCountStr TEXT COLLATE NOCASE,
    ColGrandTotalStr TEXT COLLATE NOCASE,
    ColTotStrDecimal TEXT COLLATE NOCASE,
    ColFormatStr TEXT COLLATE NOCASE,
    ColWidthStrCol TEXT COLLATE NOCASE
);
CREATE INDEX CrMain_ReportName ON CrMain (ColReportName);

CREATE TABLE CrChild (
    ColCode TEXT COLLATE NOCASE,
    ColTableName TEXT COLLATE NOCASE,
    ColFieldNameOrig TEXT COLLATE NOCASE,
    ColFieldNameDisp TEXT COLLATE NOCASE,
    ColFieldDataType TEXT COLLATE NOCASE,
    ColAlign TEXT COLLATE NOCASE,
    ColWidth TEXT COLLATE NOCASE,
    ColDecimal REAL,
    ColGroup TEXT COLLATE NOCASE,
    ColSort TEXT COLLATE NOCASE,
    ColTotal TEXT COLLATE NOCASE,
    ColCount TEXT COLLATE NOCASE,
    ColGrandTotal TEXT COLLATE NOCASE,
    ColType TEXT COLLATE NOCASE,
    ColSeq INTEGER
);
CREATE INDEX CrChild_CodeSeq ON CrChild (ColCode, ColSeq);

-- Voucher headers. Col99 is the voucher key, whose first three letters give its kind;
-- Col98 the date as 'YYYY-MM-DD'; Col45 the voucher short name; Col83 the party code.
CREATE TABLE ZoT51 (
    Col99 TEXT COLLATE NOCASE PRIMARY KEY,
    Col98 TEXT COLLATE NOCASE,
    Col45 TEXT COLLATE NOCASE,
    Col83 TEXT COLLATE NOCASE
);
CREATE INDEX ZoT51_Party ON ZoT51 (Col83);

CREATE TABLE ZoT51_1 (
    Col99 TEXT COLLATE NOCASE PRIMARY KEY,
    ColVehicleNo TEXT COLLATE NOCASE,
    ColNarration TEXT COLLATE NOCASE
);

CREATE TABLE ZoT51_2 (
    Col99 TEXT COLLATE NOCASE PRIMARY KEY,
    ColTransport TEXT COLLATE NOCASE,
    ColLRNo TEXT COLLATE NOCASE
);

-- Voucher lines: Col96 product code, Col93 amount, Col95 quantity, Col90 the flag that makes
-- a line count negative in net figures. ColBags to ColBatchNo are user-defined fields.
CREATE TABLE ZoT52 (
    Col99 TEXT COLLATE NOCASE,
    ColLineNo INTEGER,
    Col96 TEXT COLLATE NOCASE,
    Col93 REAL,
    Col95 REAL,
    Col90 TEXT COLLATE NOCASE,
    ColBags REAL,
    ColCartons REAL,
    ColFreight REAL,
    ColBatchNo TEXT COLLATE NOCASE
);
CREATE INDEX ZoT52_Voucher ON ZoT52 (Col99, ColLineNo);
CREATE INDEX ZoT52_Product ON ZoT52 (Col96);

-- Party (account) master. Col80 opening, Col79 credit, Col78 debit, Col77 closing amount.
CREATE TABLE ZoM02 (
    Col99 TEXT COLLATE NOCASE PRIMARY KEY,
    Col98 TEXT COLLATE NOCASE,
    Col98A TEXT COLLATE NOCASE,
    Col88 TEXT COLLATE NOCASE,
    Col86 TEXT COLLATE NOCASE,
    Col95 TEXT COLLATE NOCASE,
    Col61 TEXT COLLATE NOCASE,
    ColPartyCategoryName TEXT COLLATE NOCASE,
    ColSMName TEXT COLLATE NOCASE,
    Col80 REAL,
    Col79 REAL,
    Col78 REAL,
    Col77 REAL
);

CREATE TABLE ZoM02_1 (
    Col99 TEXT COLLATE NOCASE PRIMARY KEY,
    ColGSTIN TEXT COLLATE NOCASE
);

-- Product master. Col88 group, Col86 category, Col84 type; ColWeight per unit of quantity.
CREATE TABLE ZoM20 (
    Col99 TEXT COLLATE NOCASE PRIMARY KEY,
    Col98 TEXT COLLATE NOCASE,
    ColExcPNameNew TEXT COLLATE NOCASE,
    Col98A TEXT COLLATE NOCASE,
    Col88 TEXT COLLATE NOCASE,
    Col86 TEXT COLLATE NOCASE,
    Col84 TEXT COLLATE NOCASE,
    ColMastersName TEXT COLLATE NOCASE,
    Col98Desc TEXT COLLATE NOCASE,
    ColWeight REAL,
    OpQty REAL,
    RecQty REAL,
    IssQty REAL,
    ClQty REAL
);

CREATE TABLE ZoM20_1 (
    Col99 TEXT COLLATE NOCASE PRIMARY KEY,
    ColHSN TEXT COLLATE NOCASE
);
