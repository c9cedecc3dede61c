#include "tests/ui/Windows.h"

namespace {

const QString Extra = " ,M02.Col99 ";
const QString Tail = Extra + "  FROM T";

// Every stored text on a line of its own, so a difference shows where it is.
std::string texts(const ReportText &t)
{
    return lines({"sql=[" + t.sql + "]", "orderBy=[" + t.orderBy + "]", "groups=" + QString::number(t.groupCount),
                  "total=[" + t.totalStr + "]", "count=[" + t.countStr + "]", "grand=[" + t.grandTotalStr + "]",
                  "decimals=[" + t.totDecimalStr + "]", "format=[" + t.formatStr + "]", "widths=[" + t.widthStr + "]"});
}

const QStringList Example = {"M02|Col98|C|Party Name|Left|2000|0|Asc|None|No|Yes|No",
                             "T52|Col93|N|Amount|Right|1500|2|None|Desc|Yes|No|Yes",
                             "M20|Col98|C|Product|Left|2500|0|None|Asc|No|No|No"};

} // namespace

TEST(ReportText, BuildsTheStoredTextsOfEveryKindOfColumnAndSaveReportStoresThem)
{
    // A stored decimal count no grid could type builds at most fifteen places.
    const QString fifteen = "'##########0.000000000000000'";
    const struct {
        const char *what;
        QStringList rows;
        ReportText expected;
    } cases[] = {
        {"grouped", Example,
         {"Select Space(0) , M02.Col98, format( T52.Col93 , '##########0.00'),M20.Col98" + Tail,
          "M02.Col98  ,T52.Col93 Desc ,M20.Col98 ", 1, "2", "1", "2", "2", "Cod|<Party Name|>Amount|<Product",
          "1500,2500"}},
        {"all grouped: no widths, no format, the order ending in two blanks",
         {"M02|Col98|C|Party Name|Left|2000|0|Asc|Desc|No|Yes|No",
          "T52|Col93|N|Amount|Right|1500|2|Desc|None|Yes|No|Yes"},
         {"Select Space(0) , M02.Col98,T52.Col93" + Tail, "M02.Col98 ,T52.Col93 Desc  ", 2, "2", "1", "2", "2",
          "Cod|<Party Name|>Amount", ""}},
        {"reloaded words, empty decimals and widths, a custom formula",
         {"T52|Col95|N|Quantity|R|1200|0|No|No|No|No|No",
          "CF-1|T52.Col95 * M20.ColWeight|N|Weight Sold|Right|||None|None|No|No|No",
          "T51|Col98|D|Date|Left|1200||None|None|No|No|No"},
         {"Select  Space(0) ,  format( T52.Col95 , '##########0.'), format( CF-1.T52.Col95 * M20.ColWeight , "
          "'##########0.'),T51.Col98" + Tail,
          "", 0, "", "", "", "", "Cod|>Quantity|>Weight Sold|<Date", "1200,,1200"}},
        {"sorted numbers enter the order plain; decimals round half to even",
         {"T52|Col93|N|Amount|Right|1500|2.5|None|Desc|Yes|Yes|Yes",
          "T52|Col95|N|Quantity|Right|1200|3|None|Asc|Yes|No|No",
          "T51|Col99|C|Voucher No|Left|1200|0|None|Asc|No|Yes|No"},
         {"Select  Space(0) ,  format( T52.Col93 , '##########0.00'), format( T52.Col95 , '##########0.000'),T51.Col99"
              + Tail,
          "T52.Col93 Desc ,T52.Col95 ,T51.Col99 ", 0, "1,2", "1,3", "1", "2.5,3", "Cod|>Amount|>Quantity|<Voucher No",
          "1500,1200,1200"}},
        {"decimals beyond fifteen places",
         {"T52|Col93|N|Amount|Right|1500|255555555|None|None|No|No|No",
          "T52|Col95|N|Quantity|Right|1200|1e300|None|None|No|No|No"},
         {"Select  Space(0) ,  format( T52.Col93 , " + fifteen + "), format( T52.Col95 , " + fifteen + ")" + Tail,
          "", 0, "", "", "", "", "Cod|>Amount|>Quantity", "1500,1200"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(texts(buildReportText(cells(c.rows), Extra, " FROM T")), texts(c.expected));
    }

    // Empty row lists are stored as empty text, empty decimal and width lists as null, decimals as
    // numbers. Rows whose cells are unchanged are not written again; the rest, however they were
    // damaged, end as a fresh save writes them.
    TestRoot root(TestRoot::Demo);
    // A server's columns have their type; what a file's typeof says of each value is read from it.
    const bool files = testServer().isEmpty();
    if (!files)
        root.year().execute("Create Function typeof(v anyelement) Returns text Language sql As $$ Select Case When v "
                            "Is Null Then 'null' When pg_typeof(v) = 'double precision'::regtype Then 'real' "
                            "When pg_typeof(v) = 'bigint'::regtype Then 'integer' Else 'text' End $$");
    QString added;
    saveReport(root.year(), added, "Parties", cells({Example[0]}), nullptr);
    EXPECT_EQ(lines(root.rows("Select typeof(ColTotalStr), typeof(ColTotStrDecimal), typeof(ColWidthStrCol), "
                              "(Select typeof(ColDecimal) From CrChild Where ColCode=?) From CrMain Where ColCode=?",
                              {added, added})),
              "text|null|null|real");
    QStringList rows = Example;
    rows[0].replace("|Asc|None|", "|None|None|");
    QString code = "CRF4";
    const LoadedReport loaded = *loadReport(root.year(), code);
    saveReport(root.year(), code, "Amounts", cells(rows), &loaded);
    const QVariant untouched = root.value("Select rowid From CrChild Where ColCode='CRF4' And ColSeq=1");
    root.year().execute("Update CrChild Set ColAlign=Null, ColCode='crf4' Where ColCode='CRF4' And ColSeq=2");
    root.year().execute(QString("Update CrChild Set ColDecimal=%1 Where ColCode='CRF4' And ColSeq=3")
                            .arg(files ? "'none'" : "Null"));
    root.copyRows("CrChild", "Where ColSeq=2 And ColCode='crf4'");
    const LoadedReport damaged = *loadReport(root.year(), code);
    saveReport(root.year(), code, "Amounts", cells(rows), &damaged);

    EXPECT_EQ(lines(root.rows("Select *, typeof(ColDecimal) From CrChild Where ColCode='CRF4' Order By ColSeq")),
              lines({"CRF4|M02|Col98|Party Name|C|L|2000|0|N|N|N|Y|N|F|1|real",
                     "CRF4|T52|Col93|Amount|N|R|1500|2|N|D|Y|N|Y|F|2|real",
                     "CRF4|M20|Col98|Product|C|L|2500|0|N|A|N|N|N|F|3|real"}));
    EXPECT_EQ(root.value("Select rowid From CrChild Where ColCode='CRF4' And ColSeq=1"), untouched);
}
