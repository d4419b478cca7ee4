// SPDX-License-Identifier: GPL-3.0-or-later
// Formula semantics against Excel's results, on a small fixture workbook.
#include "CellFormat.h"
#include "Formula.h"
#include "Workbook.h"

#include <QTest>

using namespace lw;

class TestFormula : public QObject
{
    Q_OBJECT

private:
    // Sheet 0 "主表" and sheet 1 "Sheet2" with values of every kind.
    static void fill(Workbook &b)
    {
        b.addSheet(QStringLiteral("主表"));
        b.addSheet(QStringLiteral("Sheet2"));
        b.writeNumber(1, 1, 0, 1.005);           // A1
        b.writeNumber(1, 2, 0, 2.675);           // A2
        b.writeNumber(1, 3, 0, -2.5);            // A3
        b.writeText(1, 4, 0, QStringLiteral(" 12 ")); // A4
        b.writeText(1, 5, 0, QStringLiteral("abc"));  // A5
        b.ensureCell(1, 6, 0);                   // A6 empty
        b.setValue(1, 7, 0, Value::fromBool(true)); // A7
        b.writeNumber(1, 8, 0, 10);              // A8
        b.writeText(1, 9, 0, QStringLiteral("1,234.5")); // A9
        b.writeNumber(2, 1, 0, 1);               // B1:B3 = 1 2 3
        b.writeNumber(2, 2, 0, 2);
        b.writeNumber(2, 3, 0, 3);
        b.writeText(2, 4, 0, QStringLiteral("x"));     // B4
        b.setValue(2, 5, 0, Value::fromError(CellError::NA)); // B5
        // lookup table D1:E4 (sorted keys)
        b.writeNumber(4, 1, 0, 0);     b.writeNumber(5, 1, 0, 0.05);
        b.writeNumber(4, 2, 0, 15000); b.writeNumber(5, 2, 0, 0.1);
        b.writeNumber(4, 3, 0, 30000); b.writeNumber(5, 3, 0, 0.2);
        b.writeNumber(4, 4, 0, 60000); b.writeNumber(5, 4, 0, 0.3);
        b.writeText(6, 1, 0, QStringLiteral("甲")); b.writeNumber(7, 1, 0, 100);
        b.writeText(6, 2, 0, QStringLiteral("乙")); b.writeNumber(7, 2, 0, 200);
        b.writeNumber(1, 1, 1, 5);               // Sheet2!A1
        b.writeNumber(2, 3, 1, 7);               // Sheet2!B3
        b.writeText(1, 2, 1, QStringLiteral("t")); // Sheet2!A2
    }

    static QString evalFormula(const QString &formula)
    {
        Workbook b;
        fill(b);
        b.setFormula(10, 10, 0, formula);
        b.recalculate();
        return valueToText(b.cell(10, 10, 0)->value);
    }

private slots:
    void semantics_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("expected");
        // ROUND on the 15-digit decimal value, half away from zero
        QTest::newRow("round 1.005") << "ROUND(A1,2)" << "1.01";
        QTest::newRow("round 2.675") << "ROUND(A2,2)" << "2.68";
        QTest::newRow("round -2.5") << "ROUND(A3,0)" << "-3";
        QTest::newRow("round negative digits") << "ROUND(1250,-2)" << "1300";
        QTest::newRow("round sum noise") << "ROUND(0.1+0.2,15)" << "0.3";
        QTest::newRow("round 0.285") << "ROUND(0.285,2)" << "0.29";
        QTest::newRow("round tax") << "ROUND(147000*0.35-14750,2)" << "36700";
        QTest::newRow("roundup") << "ROUNDUP(-1.21,1)" << "-1.3";
        QTest::newRow("rounddown") << "ROUNDDOWN(2.679,2)" << "2.67";
        QTest::newRow("roundup exact") << "ROUNDUP((0.1+0.2)*10,0)" << "3";
        QTest::newRow("int negative") << "INT(-2.5)" << "-3";
        QTest::newRow("abs") << "ABS(-4)" << "4";
        // blanks
        QTest::newRow("blank in arithmetic") << "A6+1" << "1";
        QTest::newRow("blank in text") << "A6&\"x\"" << "x";
        QTest::newRow("blank equals zero") << "A6=0" << "TRUE";
        QTest::newRow("blank equals empty text") << "A6=\"\"" << "TRUE";
        QTest::newRow("blank ref result") << "A6" << "0";
        QTest::newRow("missing cell") << "Z99*2" << "0";
        // coercion
        QTest::newRow("numeric text") << "A4+1" << "13";
        QTest::newRow("thousands text") << "A9*2" << "2469";
        QTest::newRow("bool arithmetic") << "A7+1" << "2";
        QTest::newRow("text arithmetic") << "A5+1" << "#VALUE!";
        QTest::newRow("empty string arithmetic") << "\"\"+1" << "#VALUE!";
        QTest::newRow("number to text") << "1/4&\"\"" << "0.25";
        QTest::newRow("15 digits to text") << "(0.1+0.2)&\"\"" << "0.3";
        QTest::newRow("value") << "VALUE(\" 12 \")" << "12";
        QTest::newRow("value bad") << "VALUE(\"x1\")" << "#VALUE!";
        QTest::newRow("value currency and percent") << "VALUE(\"￥1,200\")+VALUE(\"-$3\")+VALUE(\"50%\")" << "1197.5";
        // mixed-type comparisons: numbers < text < booleans, text ignores case
        QTest::newRow("number lt text") << "10<\"1\"" << "TRUE";
        QTest::newRow("text lt bool") << "\"z\"<FALSE" << "TRUE";
        QTest::newRow("text case") << "\"ABC\"=A5" << "TRUE";
        QTest::newRow("15 digit equality") << "0.1+0.2=0.3" << "TRUE";
        QTest::newRow("not equal") << "1<>1.0000001" << "TRUE";
        QTest::newRow("final subtraction drops noise") << "0.5-0.4-0.1" << "0";
        QTest::newRow("inner subtraction keeps noise") << "1*(0.5-0.4-0.1)" << "-2.77555756156289E-17";
        QTest::newRow("noise compares unequal") << "(0.5-0.4-0.1)*1=0" << "FALSE";
        // aggregates skip text in ranges, not in arguments
        QTest::newRow("sum range") << "SUM(B1:B4)" << "6";
        QTest::newRow("sum skips bool in range") << "SUM(A7:A8)" << "10";
        QTest::newRow("sum text arg") << "SUM(\"3\",1)" << "4";
        QTest::newRow("sum bad text arg") << "SUM(\"x\",1)" << "#VALUE!";
        QTest::newRow("sum error in range") << "SUM(B1:B5)" << "#N/A";
        QTest::newRow("max") << "MAX(B1:B4,-1)" << "3";
        QTest::newRow("min empty") << "MIN(A6)" << "0";
        QTest::newRow("count skips text and bools in ranges") << "COUNT(A1:A9)" << "4";
        QTest::newRow("counta") << "COUNTA(A1:A9)" << "8";
        QTest::newRow("sumif") << "SUMIF(B1:B3,\">1\")" << "5";
        QTest::newRow("sumif sum range") << "SUMIF(F1:F2,\"乙\",G1:G2)" << "200";
        // errors propagate
        QTest::newRow("div0") << "1/0" << "#DIV/0!";
        QTest::newRow("div0 propagates") << "(1/0)+A5" << "#DIV/0!";
        QTest::newRow("error cell") << "B5*2" << "#N/A";
        QTest::newRow("unknown function") << "FOO(1)" << "#NAME?";
        QTest::newRow("unknown name") << "Rate*2" << "#NAME?";
        QTest::newRow("bad sheet") << "Nope!A1" << "#REF!";
        QTest::newRow("ref literal") << "#REF!+1" << "#REF!";
        QTest::newRow("iferror") << "IFERROR(1/0,7)" << "7";
        QTest::newRow("iferror pass") << "IFERROR(2,7)" << "2";
        QTest::newRow("ifna catches n/a") << "_xlfn.IFNA(VLOOKUP(\"丙\",F1:G2,2,0),0)" << "0";
        QTest::newRow("ifna passes other errors") << "IFNA(1/0,0)" << "#DIV/0!";
        // IF evaluates only its branch
        QTest::newRow("if true") << "IF(A8>5,\"big\",1/0)" << "big";
        QTest::newRow("if false") << "IF(A8>50,1/0,\"small\")" << "small";
        QTest::newRow("if no else") << "IF(FALSE,1)" << "FALSE";
        QTest::newRow("if error cond") << "IF(1/0,1,2)" << "#DIV/0!";
        QTest::newRow("and or not") << "AND(TRUE(),OR(FALSE,1),NOT(0))" << "TRUE";
        QTest::newRow("and text arg") << "AND(\"x\")" << "#VALUE!";
        // operators
        QTest::newRow("precedence") << "1+2*3^2" << "19";
        QTest::newRow("unary before power") << "-2^2" << "4";
        QTest::newRow("percent") << "50%*200" << "100";
        QTest::newRow("concat") << "\"a\"&1&TRUE" << "a1TRUE";
        QTest::newRow("power left assoc") << "2^3^2" << "64";
        // references
        QTest::newRow("cross sheet") << "Sheet2!A1+'主表'!B2" << "7";
        QTest::newRow("cross sheet range") << "SUM(Sheet2!A1:B3)" << "12";
        QTest::newRow("absolute") << "$B$1+B$2+$B3" << "6";
        QTest::newRow("unquoted cjk sheet") << "主表!B3" << "3";
        // lookups
        QTest::newRow("lookup vector") << "LOOKUP(35000,D1:D4,E1:E4)" << "0.2";
        QTest::newRow("lookup below") << "LOOKUP(-1,D1:D4,E1:E4)" << "#N/A";
        QTest::newRow("vlookup approx") << "VLOOKUP(15000,D1:E4,2)" << "0.1";
        QTest::newRow("vlookup exact") << "VLOOKUP(\"乙\",F1:G2,2,FALSE)" << "200";
        QTest::newRow("vlookup missing") << "VLOOKUP(\"丙\",F1:G2,2,0)" << "#N/A";
        QTest::newRow("vlookup col out") << "VLOOKUP(1,D1:E4,3)" << "#REF!";
        // array constants, and arithmetic on them element by element
        QTest::newRow("array lookup") << "LOOKUP(35000,{0,15000,30000,60000},{0.05,0.1,0.2,0.3})" << "0.2";
        QTest::newRow("array tax idiom") << "ROUND(MAX(147000*{0.05,0.1,0.2,0.3,0.35}-{0,750,3750,9750,14750},0),2)" << "36700";
        QTest::newRow("array rows") << "SUM({1,2;3,4})" << "10";
        QTest::newRow("array row times column") << "SUM({1,2}+{1;2})" << "12";
        QTest::newRow("array size gap") << "SUM({1,2,3}+{1,2})" << "#N/A";
        QTest::newRow("array skips text in sum") << "SUM({1,\"2\",TRUE})" << "1";
        QTest::newRow("array in scalar context") << "{5,6}+1" << "6";
        QTest::newRow("array vlookup") << "VLOOKUP(2,{1,\"a\";2,\"b\"},2,FALSE)" << "b";
        QTest::newRow("array negative and compare") << "SUM(({-1,2,3}>0)*1)" << "2";
        QTest::newRow("array with reference") << "{1,A1}" << "#NAME?";
        QTest::newRow("range as array in sumproduct") << "SUMPRODUCT((D1:D4>=15000)*E1:E4)" << "0.6";
        QTest::newRow("range as array in sum") << "SUM(B1:B3*2)" << "12";
        QTest::newRow("last entry idiom") << "LOOKUP(2,1/(F1:F5<>\"\"),F1:F5)" << "乙";
        QTest::newRow("ragged array") << "{1,2;3}" << "#NAME?";
        // further lookups and aggregates
        QTest::newRow("countif") << "COUNTIF(D1:D4,\">=15000\")" << "3";
        QTest::newRow("average") << "AVERAGE(B1:B4)" << "2";
        QTest::newRow("average nothing") << "AVERAGE(B4)" << "#DIV/0!";
        QTest::newRow("mod negative") << "MOD(-3,2)" << "1";
        QTest::newRow("mod zero") << "MOD(3,0)" << "#DIV/0!";
        QTest::newRow("sumproduct") << "SUMPRODUCT(D1:D4,E1:E4)" << "25500";
        QTest::newRow("sumproduct shapes") << "SUMPRODUCT(D1:D4,E1:E3)" << "#VALUE!";
        QTest::newRow("index") << "INDEX(D1:E4,3,2)" << "0.2";
        QTest::newRow("index out") << "INDEX(D1:E4,5,1)" << "#REF!";
        QTest::newRow("match exact") << "MATCH(\"乙\",F1:F2,0)" << "2";
        QTest::newRow("match approx") << "MATCH(40000,D1:D4)" << "3";
        QTest::newRow("index match") << "INDEX(E1:E4,MATCH(40000,D1:D4,1))" << "0.2";
        QTest::newRow("istext") << "ISTEXT(A5)" << "TRUE";
        // text and dates
        QTest::newRow("left") << "LEFT(\"2015-03-31\",4)" << "2015";
        QTest::newRow("right") << "RIGHT(\"abc\",2)" << "bc";
        QTest::newRow("mid") << "MID(\"abcdef\",2,3)" << "bcd";
        QTest::newRow("len cjk") << "LEN(\"主表\")" << "2";
        QTest::newRow("left number") << "LEFT(1234.5,3)" << "123";
        QTest::newRow("text format") << "TEXT(1234.5,\"#,##0.00\")" << "1,234.50";
        QTest::newRow("text percent") << "TEXT(0.35,\"0%\")" << "35%";
        QTest::newRow("text date") << "TEXT(DATE(2015,3,31),\"yyyy-mm-dd\")" << "2015-03-31";
        QTest::newRow("date") << "DATE(2015,1,1)" << "42005";
        QTest::newRow("year of text") << "YEAR(\"2015-03-31\")" << "2015";
        QTest::newRow("month") << "MONTH(DATE(2016,2,29))" << "2";
        QTest::newRow("date rollover") << "DATE(2015,13,1)=DATE(2016,1,1)" << "TRUE";
        QTest::newRow("year 1900 leap") << "DATE(1900,3,1)" << "61";
        // syntax errors
        QTest::newRow("unbalanced") << "(1+2" << "#NAME?";
        QTest::newRow("trailing op") << "1+" << "#NAME?";
    }

    void semantics()
    {
        QFETCH(QString, formula);
        QFETCH(QString, expected);
        QCOMPARE(evalFormula(formula), expected);
    }

    void circularReferenceIsAnErrorAndDependentsSeeIt()
    {
        Workbook b;
        b.addSheet(QStringLiteral("S"));
        b.setFormula(1, 1, 0, QStringLiteral("B1+1"));   // A1 -> B1 -> A1
        b.setFormula(2, 1, 0, QStringLiteral("A1+1"));
        b.setFormula(3, 1, 0, QStringLiteral("C1"));     // self
        b.setFormula(4, 1, 0, QStringLiteral("A1*2"));   // downstream
        b.setFormula(5, 1, 0, QStringLiteral("SUM(E2:E3)")); // range containing itself? no: below
        b.setFormula(5, 2, 0, QStringLiteral("SUM(E1:E3)")); // E2 reads its own range
        b.writeNumber(6, 1, 0, 1);
        b.setFormula(7, 1, 0, QStringLiteral("F1+1"));   // untouched by the cycles
        b.recalculate();
        for (int col : {1, 2, 3, 4, 5})
            QCOMPARE(b.cell(col, 1, 0)->value.error, CellError::Ref);
        QCOMPARE(b.cell(5, 2, 0)->value.error, CellError::Ref);
        QCOMPARE(b.readNumber(7, 1, 0), 2.0);
    }

    void recalculationFollowsDependencyOrderAndFormulaChanges()
    {
        Workbook b;
        b.addSheet(QStringLiteral("S"));
        // Written in reverse order of their dependencies.
        b.setFormula(1, 3, 0, QStringLiteral("A2*2"));
        b.setFormula(1, 2, 0, QStringLiteral("A1+1"));
        b.writeNumber(1, 1, 0, 1);
        b.recalculate();
        QCOMPARE(b.readNumber(1, 3, 0), 4.0);
        b.writeNumber(1, 1, 0, 10);
        b.recalculate();
        QCOMPARE(b.readNumber(1, 3, 0), 22.0);
        // a cell created inside a range after binding still counts
        b.setFormula(2, 1, 0, QStringLiteral("SUM(C1:C5)"));
        b.recalculate();
        b.writeNumber(3, 4, 0, 5);
        b.recalculate();
        QCOMPARE(b.readNumber(2, 1, 0), 5.0);
        // a changed formula is used at once
        b.setFormula(1, 2, 0, QStringLiteral("A1-1"));
        b.recalculate();
        QCOMPARE(b.readNumber(1, 3, 0), 18.0);
    }

    void rangeBindingIsBoundedForHostileWorkbooks()
    {
        // 1 500 whole-column sums over 20 000 cells would bind 30 million cells: the binding
        // stops at its cap and the excess references become #REF! instead of running away.
        Workbook b;
        b.addSheet(QStringLiteral("S"));
        for (int r = 1; r <= 20000; ++r)
            b.writeNumber(1, r, 0, 1);
        for (int i = 1; i <= 1500; ++i)
            b.setFormula(2, i, 0, QStringLiteral("SUM(A:A)"));
        b.recalculate();
        QCOMPARE(b.readNumber(2, 1, 0), 20000.0);
        QCOMPARE(b.readText(2, 1500, 0), QStringLiteral("#REF!"));
    }

    void arrayArithmeticStopsAtItsBudget()
    {
        // Array arithmetic over large ranges, again and again, would stall a recalculation for
        // seconds: past the recalculation's budget the formula gives #NUM!.
        Workbook b;
        b.addSheet(QStringLiteral("S"));
        for (int r = 1; r <= 400000; ++r)
            b.writeNumber(1, r, 0, r == 1 ? 2 : 0);
        b.setFormula(2, 1, 0, QStringLiteral("SUMPRODUCT((A1:A400000+1)*(A1:A400000+1)*(A1:A400000+1))"));
        b.recalculate();
        QCOMPARE(b.readText(2, 1, 0), QStringLiteral("#NUM!"));
    }

    void textResultsStopAtExcelsLimit()
    {
        // Each row doubles the text of the one above: no run-away memory, #VALUE! past 32 767.
        Workbook b;
        b.addSheet(QStringLiteral("S"));
        b.writeText(1, 1, 0, QStringLiteral("abcdefgh"));
        for (int r = 2; r <= 40; ++r)
            b.setFormula(1, r, 0, QStringLiteral("A%1&A%1").arg(r - 1));
        b.recalculate();
        QCOMPARE(b.readText(1, 12, 0).size(), 16384);
        QCOMPARE(b.readText(1, 13, 0), QStringLiteral("#VALUE!"));
        QCOMPARE(b.readText(1, 40, 0), QStringLiteral("#VALUE!"));
    }

    void definedNamesStandForTheirReferences()
    {
        Workbook b;
        fill(b);
        b.addDefinedName({QStringLiteral("税率表"), -1, QStringLiteral("'主表'!$D$1:$E$4")});
        b.addDefinedName({QStringLiteral("基数"), -1, QStringLiteral("=Sheet2!$A$1")});
        b.addDefinedName({QStringLiteral("基数"), 1, QStringLiteral("$B$3")}); // local to Sheet2
        b.addDefinedName({QStringLiteral("两处"), -1, QStringLiteral("主表!$A$1,主表!$A$2")});
        b.setFormula(10, 1, 0, QStringLiteral("VLOOKUP(35000,税率表,2)*基数"));
        b.setFormula(10, 1, 1, QStringLiteral("基数*2"));
        b.setFormula(10, 2, 0, QStringLiteral("未定义+1"));
        b.setFormula(10, 3, 0, QStringLiteral("SUM(两处)"));
        b.recalculate();
        QCOMPARE(b.readText(10, 1, 0), QStringLiteral("1"));
        QCOMPARE(b.readText(10, 1, 1), QStringLiteral("14"));
        QCOMPARE(b.readText(10, 2, 0), QStringLiteral("#NAME?"));
        QCOMPARE(b.readText(10, 3, 0), QStringLiteral("#NAME?")); // several areas are not supported
        // A changed name value flows through like any reference.
        b.writeNumber(1, 1, 1, 10);
        b.recalculate();
        QCOMPARE(b.readText(10, 1, 0), QStringLiteral("2"));
    }

    void writingIntoFormulaCellKeepsFormula()
    {
        Workbook b;
        b.addSheet(QStringLiteral("S"));
        b.writeNumber(1, 1, 0, 2);
        b.setFormula(1, 2, 0, QStringLiteral("A1*3"));
        b.writeNumber(1, 2, 0, 100);
        QCOMPARE(b.readNumber(1, 2, 0), 100.0);
        QCOMPARE(b.formulaText(*b.cell(1, 2, 0)), QStringLiteral("A1*3"));
        b.recalculate();
        QCOMPARE(b.readNumber(1, 2, 0), 6.0);
    }

    void shiftFormula_data()
    {
        QTest::addColumn<QString>("master");
        QTest::addColumn<int>("dcol");
        QTest::addColumn<int>("drow");
        QTest::addColumn<QString>("expected");
        QTest::newRow("relative") << "A1+B2" << 1 << 2 << "B3+C4";
        QTest::newRow("anchors") << "$A1+A$1+$A$1" << 1 << 1 << "$A2+B$1+$A$1";
        QTest::newRow("range and sheet") << "SUM('主 表'!A1:B2)" << 0 << 3 << "SUM('主 表'!A4:B5)";
        QTest::newRow("strings untouched") << "\"A1\"&A1" << 0 << 1 << "\"A1\"&A2";
        QTest::newRow("off grid") << "A1+Sheet2!B1" << 0 << -1 << "#REF!+Sheet2!#REF!";
        QTest::newRow("function names") << "ROUND(LOG10(C3),2)" << 1 << 0 << "ROUND(LOG10(D3),2)";
    }

    void shiftFormula()
    {
        QFETCH(QString, master);
        QFETCH(int, dcol);
        QFETCH(int, drow);
        QFETCH(QString, expected);
        QCOMPARE(lw::shiftFormula(master, dcol, drow), expected);
    }

    void numberFormatText_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("amount") << "#,##0.00" << 1234.5 << "1,234.50";
        QTest::newRow("amount negative") << "#,##0.00" << -1234567.891 << "-1,234,567.89";
        QTest::newRow("amount half") << "#,##0.00" << 1.005 << "1.01";
        QTest::newRow("amount zero") << "#,##0.00" << 0.0 << "0.00";
        QTest::newRow("amount tiny negative") << "#,##0.00" << -0.001 << "0.00";
        QTest::newRow("percent") << "0%" << 0.35 << "35%";
        QTest::newRow("percent decimals") << "0.00%" << 0.12345 << "12.35%";
        QTest::newRow("general") << "General" << 0.1 + 0.2 << "0.3";
        QTest::newRow("general big") << "General" << 1234567.5 << "1234567.5";
        QTest::newRow("integer") << "0" << 2.5 << "3";
        QTest::newRow("sections") << "#,##0.00;(#,##0.00);\"-\"" << -5.0 << "(5.00)";
        QTest::newRow("zero section") << "#,##0.00;(#,##0.00);\"-\"" << 0.0 << "-";
        QTest::newRow("literal and escapes") << "\"￥\"#,##0.00_)" << 12.0 << "￥12.00 ";
        QTest::newRow("date") << "yyyy-mm-dd" << 42094.0 << "2015-03-31";
        QTest::newRow("chinese date") << "yyyy\"年\"m\"月\"d\"日\"" << 42094.0 << "2015年3月31日";
        QTest::newRow("locale tag") << "[$-804]yyyy/m/d" << 42094.0 << "2015/3/31";
        QTest::newRow("thousands scale") << "#,##0," << 1234567.0 << "1,235";
        QTest::newRow("optional digits") << "0.##" << 2.5 << "2.5";
        QTest::newRow("scientific") << "0.00E+00" << 12345.0 << "1.23E+04";
        QTest::newRow("accounting") << CellFormat::builtin(43) << -1234.5 << " (1,234.50)";
        QTest::newRow("accounting zero") << CellFormat::builtin(43) << 0.0 << " - ";
        QTest::newRow("padding") << "0.00_ " << 3.0 << "3.00 ";
    }

    void numberFormatText()
    {
        QFETCH(QString, format);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(CellFormat(format).format(Value::fromNumber(value)), expected);
    }

    void readNumberParsesSeparatorsAndIgnoresOtherText()
    {
        Workbook b;
        b.addSheet(QStringLiteral("S"));
        b.writeText(1, 1, 0, QStringLiteral("1,234.50"));
        b.writeText(1, 2, 0, QStringLiteral("abc"));
        QCOMPARE(b.readNumber(1, 1, 0), 1234.5);
        QCOMPARE(b.readNumber(1, 2, 0), 0.0);
        QCOMPARE(b.readNumber(9, 9, 0), 0.0);
        QCOMPARE(b.readText(9, 9, 0), QString());
    }
};

QTEST_GUILESS_MAIN(TestFormula)
#include "tst_formula.moc"
