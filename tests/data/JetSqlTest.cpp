#include "app/Family.h"
#include "data/JetSql.h"
#include "support/ErrorOf.h"
#include "support/TestData.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Functions, operators and literals keep the desktop engine's meaning; names that are keywords or
// functions stay names; a custom formula over a nullable column of the family's source gives its
// values line by line. The same texts come back from a year file and from the test server.
TEST(JetSql, ValuesFollowTheDesktopEngine)
{
    QTemporaryDir dir;
    const auto db = makeTestData(dir.path(), false, 1, 1).year;
    // Seven voucher lines: four of party P2, then three of party P1, flagged I, null, I, N, R, null, N.
    db->execute("INSERT INTO ZoM02 (Col99, Col98, Col88) VALUES ('P1', 'Anand Traders', 'Pune'), "
                "('P2', 'Bharat Stores', 'Mumbai')");
    db->execute("INSERT INTO ZoT51 (Col99, Col98, Col45, Col83) VALUES ('PCC0001', '2023-07-10', 'PRET', 'P2'), "
                "('PDD0001', '2023-06-15', 'PURC', 'P2'), ('SCC0001', '2023-12-01', 'CSALE', 'P2'), "
                "('SCD0001', '2023-05-20', 'SRET', 'P1'), ('SDC0001', '2023-04-05', 'SALE', 'P1'), "
                "('JRN0001', '2023-08-01', 'JRNL', 'P1')"); // the last has no lines: left out
    db->execute("INSERT INTO ZoT52 (Col99, ColLineNo, Col96, Col93, Col95, Col90) VALUES "
                "('PCC0001', 1, 'G1', 60, 3, 'I'), ('PDD0001', 1, 'S1', 1500.125, 30, NULL), "
                "('PDD0001', 2, 'G1', 80, 4, 'I'), ('SCC0001', 1, 'S1', 45, 1, 'N'), ('SCD0001', 1, 'G1', 300.25, 2, 'R'), "
                "('SDC0001', 1, 'G1', 1234.5, 10, NULL), ('SDC0001', 2, 'S1', 2000, 50, 'N')");
    db->execute("CREATE TABLE Fn (\"left\" TEXT, \"month\" INTEGER, \"format\" TEXT)");
    db->execute("INSERT INTO Fn VALUES ('abcdef', 4, 'x')");
    // Every value of every row of the translated statement, joined by "|" (null as "NULL").
    const auto rows = [&](const QString &jet) {
        return rowTexts(*db, data::translateStatement(jet, db->engine()), {}, "NULL").join(QLatin1Char('|'));
    };
    // Each expression or statement after "SELECT", and the whole text it gives.
    const std::pair<QString, QString> cases[] = {
        {"Format(1234.5, '##########0.00'), Format(1234.5, '##########0.'), Format(2.5, '0'), "
         "Format(-2.5, '0'), Format(1.005, '0.00'), Format(-0.001, '0.00')",
         "1234.50|1235.|3|-3|1.01|0.00"},
        {"Format(1234567.891, '#,##0.00'), Format(0.5, '#.##'), Format(7, '000'), Format(0, '#'), "
         "Format(2.50), Format('abc', '0.00'), Format(Null, '0')",
         "1,234,567.89|.5|007||2.5|abc|NULL"},
        {"Format(#4/5/2023#, 'DD-MM-YY'), Format('2023-04-05', 'MMM'), Format('2023-04-05', 'mmmm'), "
         "Format('2023-04-05', 'yyyy'), Format('2023-12-01 10:30:00', 'dd mmm yyyy'), "
         "Format(45000, 'DD/MM/YYYY'), Format('2023-04-05', 'Short Date')",
         "05-04-23|Apr|April|2023|01 Dec 2023|15/03/2023|05/04/2023"},
        {"Month('2023-12-01'), Year(#4/5/2023#), Day(45000), Month(Null), Month('')", "12|2023|15|NULL|NULL"},
        {"'1' + 2, 'ab' + 'cd', 'ab' + Null, Null & 'x', 1.5 & 'a', 7 / 2, 7 \\ 2, 7.5 \\ 2, 7 Mod 3, "
         "-7 Mod 3, 2 ^ 10, -2 ^ 2, 2 ^ -1, 2--3, 10-3, - -4",
         "3|abcd|NULL|x|1.5a|3.5|3|4|1|-1|1024|-4|0.5|5|7|4"},
        {"IIF(Null, 'y', 'n'), IIF('1', 'y', 'n'), True, False, CInt(2.5), CInt(3.5), Int(-2.5), "
         "Fix(-2.5), Val('  12 34abc'), Val('abc'), Len('abc'), UCase('abc'), LCase('ABC'), CStr(2.0), "
         "CDbl('1.5'), Nz(Null, 5), Nz(Null), Mid('abcdef', 2, 3), Mid('abcdef', 4), Right('abcdef', 2), "
         "Left$('abc', 2), Space(3) & '|', Trim('  a  ')",
         "n|y|-1|0|2|4|-3|-2|1234|0|3|ABC|abc|2|1.5|5||bcd|def|ef|ab|   ||a"},
        {"'abc' Like 'A*', 'abc' Like 'a?d', 'a1' Like 'a#', 'b' Like '[!a]', 'x' Not Like 'x*', "
         "5 Between 1 And 10, 5 Not In (1, 2), Null Is Null, 3 Is Not Null, Not 1 = 2 And 2 <= 2",
         "1|0|1|1|0|1|1|1|1|1"},
        {"\"say \"\"hi\"\"\", 'it''s', #2023-04-05#, #4/5/2023 13:05:00#", "say \"hi\"|it's|2023-04-05|2023-04-05 13:05:00"},
        {"Round(2.5), Round(3.5), Round(-2.5), Round(0.125, 2), Round(1.005, 2), Round(Null), Format(0.256, '0.0%'), "
         "Format(1234.5, 'Standard'), '1,234.50' + 1, CDbl('12.5%'), Format('1,234.5', '0.00')",
         "2|4|-2|0.12|1|NULL|25.6%|1,234.50|1235.5|0.125|1234.50"},
        {"#4/5/2023# + 30, 1 + '2023-04-05', '2023-04-05' - 5, #5/1/2023# - #4/5/2023#, '2023-05-01' > #4/5/2023#, "
         "Left('Abc', 1) = 'a', Mid('XYZ', 2, 1) In ('y'), Trim(' b ') & 'c' Between 'BA' And 'BD', 5 - 7, 1.5 - 1, "
         "'abc' = 'ABC', 'B' In ('a', 'b')",
         "2023-05-05|2023-04-06|2023-03-31|26|1|1|1|1|-2|0.5|1|1"},
        {"T52.Col90 & '/' & Nz(T52.Col90, '-') & '/' & IsNull(T52.Col90)" + app::reportFamily("PWR").SourceFrom
             + " ORDER BY T52.Col99, T52.ColLineNo",
         "I/I/0|/-/-1|I/I/0|N/N/0|R/R/0|/-/-1|N/N/0"},
        {"Left(Left, 2) AS [Two], Month + 1, Month(#4/5/2023#), Format, IIf(Month = 4, 1, 1 / (Month - 4)) FROM [Fn] "
         "WHERE Month And Left([Left], 1) = 'A' ORDER BY [two]",
         "ab|5|4|x|1"},
        {"Left(M02.Col98, 3) AS [Short Name] FROM ZoM02 AS M02 LEFT JOIN ZoM02_1 AS M02_1 ON M02.Col99 = M02_1.Col99 "
         "AND M02_1.Col99 <> \"x\" WHERE M02.Col99 In (SELECT Col83 FROM ZoT51 WHERE Col45 = \"SALE\") ORDER BY M02.Col99;",
         "Ana"},
    };
    for (const auto &[input, expected] : cases)
        EXPECT_EQ(rows("SELECT " + input), expected) << input.toStdString();
    // And the whole error text of those that fail.
    const std::pair<QString, QString> errors[] = {
        {"'x' + 1", "Type mismatch in +"}, {"1 / 0", "Division by zero"}, {"CInt(40000)", "Overflow in CINT"}};
    for (const auto &[input, expected] : errors)
        EXPECT_EQ(errorOf([&] { rows("SELECT " + input); }), expected) << input.toStdString();
}

// A faulty expression, or with `statement` a whole statement, gives this whole error, which names
// where the fault starts.
TEST(JetSql, SyntaxErrorsNameTheirPosition)
{
    const std::tuple<QString, bool, QString> cases[] = {
        {"IIF(T52.Col93 > , 1, 2)", false, "17: expected a value but found ','"},
        {"'abc", false, "1: the text in quotes is not closed"},
        {"a b", false, "3: expected an operator or the end of the text but found 'b'"},
        {"#13/45/2023#", false, "1: '#13/45/2023#' is not a date"},
        {"1 + IIf(1, 2)", false, "5: IIf takes a condition and two values"},
        {"SELECT M02.Col98 FROM ZoM02 AS M02 WHERE", true, "41: expected a value but found the end of the text"},
        {"M02.Col98 FROM ZoM02", true, "1: expected SELECT but found 'M02.Col98'"}};
    for (const auto &[input, statement, error] : cases)
        EXPECT_EQ(errorOf([&] { statement ? data::translateStatement(input) : data::translateExpression(input); }),
                  "Syntax error at position " + error)
            << input.toStdString();
}
