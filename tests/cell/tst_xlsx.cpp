// SPDX-License-Identifier: GPL-3.0-or-later
// The xlsx reader on fixtures built here (each named after what it carries), and the writer
// checked by reading its output back.
#include "XlsxFixture.h"

#include "CellFormat.h"
#include "Workbook.h"
#include "XlsxReader.h"
#include "XlsxWriter.h"

#include <QTemporaryDir>
#include <QTest>

using namespace lw;
using namespace lw::test;

namespace {
const QByteArray kStyles =
    "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"#,##0.00\"/></numFmts>"
    "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"宋体\"/></font><font><b/><sz val=\"14\"/><name val=\"黑体\"/></font></fonts>"
    "<fills count=\"3\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/></fill>"
    "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFFFF00\"/></patternFill></fill></fills>"
    "<borders count=\"2\"><border/><border><left style=\"thin\"/><right style=\"thin\"/><top style=\"thin\"/><bottom style=\"medium\"><color rgb=\"FF0000FF\"/></bottom></border></borders>"
    "<cellStyleXfs count=\"2\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
    "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"><protection locked=\"0\"/></xf></cellStyleXfs>"
    "<cellXfs count=\"5\">"
    "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"1\" xfId=\"0\" applyProtection=\"1\"><protection locked=\"0\"/></xf>"
    "<xf numFmtId=\"10\" fontId=\"1\" fillId=\"2\" borderId=\"0\" xfId=\"0\"><alignment horizontal=\"center\" wrapText=\"1\"/></xf>"
    "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"1\"/>"
    "<xf numFmtId=\"14\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "</cellXfs>"
    "<cellStyles count=\"2\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/><cellStyle name=\"Mark5\" xfId=\"1\"/></cellStyles>";

const QByteArray kStrings =
    "<si><t>企业名称</t></si><si><r><t>富</t></r><r><rPr><b/></rPr><t>文本</t></r><rPh><t>ふ</t></rPh></si>";

QByteArray templateFixture()
{
    const QByteArray sheet1 =
        "<sheetFormatPr defaultRowHeight=\"15\"/>"
        "<cols><col min=\"1\" max=\"2\" width=\"20\" customWidth=\"1\"/><col min=\"3\" max=\"3\" width=\"9\" hidden=\"1\"/></cols>"
        "<sheetData>"
        "<row r=\"1\" ht=\"30\" customHeight=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>"
        "<row r=\"2\"><c r=\"A2\" s=\"1\"><v>1234.5</v></c><c r=\"B2\" s=\"2\"><v>0.35</v></c>"
        "<c r=\"C2\" t=\"b\"><v>1</v></c><c r=\"D2\" t=\"e\"><v>#N/A</v></c><c r=\"E2\" t=\"inlineStr\"><is><t>内联</t></is></c></row>"
        "<row r=\"3\"><c r=\"A3\" s=\"1\"><f>A2*2</f><v>2469</v></c><c r=\"B3\" s=\"3\"/><c r=\"C3\" s=\"4\"><v>42094</v></c>"
        "<c r=\"D3\" t=\"str\"><f>B1&amp;\"x\"</f><v>富文本x</v></c></row>"
        "<row r=\"4\" hidden=\"1\"/>"
        "</sheetData>"
        "<mergeCells count=\"1\"><mergeCell ref=\"A5:C6\"/></mergeCells>";
    const QByteArray sheet2 = "<sheetData><row r=\"1\"><c r=\"A1\"><f>'主表'!A2+1</f></c></row></sheetData>";
    const QByteArray names =
        "<definedName name=\"Mark5_a\">'主表'!$D$8,'主表'!$E$8:$E$9</definedName>"
        "<definedName name=\"Mark3\" localSheetId=\"1\">$B$2</definedName>"
        "<definedName name=\"Print_Area\">'主表'!$A$1:$F$9</definedName>";
    return zipParts(workbookParts({sheet1, sheet2}, kStyles, kStrings, names, {QStringLiteral("主表"), QStringLiteral("附表")}), true);
}
} // namespace

class TestXlsx : public QObject
{
    Q_OBJECT

private slots:
    void readsTemplateContent()
    {
        Workbook b;
        QString error;
        QVERIFY2(readXlsxData(templateFixture(), b, &error), qPrintable(error));
        QCOMPARE(b.sheetCount(), 2);
        QCOMPARE(b.sheet(0)->name, QStringLiteral("主表"));
        QCOMPARE(b.sheet(1)->name, QStringLiteral("附表"));
        QCOMPARE(b.readText(1, 1, 0), QStringLiteral("企业名称"));
        QCOMPARE(b.readText(2, 1, 0), QStringLiteral("富文本")); // runs joined, phonetic dropped
        QCOMPARE(b.readText(5, 2, 0), QStringLiteral("内联"));
        QCOMPARE(b.cell(3, 2, 0)->value, Value::fromBool(true));
        QCOMPARE(b.cell(4, 2, 0)->value.error, CellError::NA);
        QCOMPARE(b.readText(1, 2, 0), QStringLiteral("1,234.50"));
        QCOMPARE(b.readText(2, 2, 0), QStringLiteral("35.00%"));
        QCOMPARE(b.readText(3, 3, 0), QStringLiteral("2015/3/31"));
        QCOMPARE(b.formulaText(*b.cell(1, 3, 0)), QStringLiteral("A2*2"));
        QCOMPARE(b.readNumber(1, 3, 0), 2469.0); // cached value before any recalculation
        b.writeNumber(1, 2, 0, 10);
        b.recalculate();
        QCOMPARE(b.readNumber(1, 3, 0), 20.0);
        QCOMPARE(b.readNumber(1, 1, 1), 11.0);
        QCOMPARE(b.readText(4, 3, 0), QStringLiteral("富文本x"));

        const Style &input = b.style(b.cell(1, 2, 0)->style);
        QVERIFY(!input.locked);
        QCOMPARE(input.bottom.style, std::uint8_t(2));
        QCOMPARE(input.bottom.color, QColor(Qt::blue));
        const Style &title = b.style(b.cell(2, 2, 0)->style);
        QVERIFY(title.locked);
        QVERIFY(title.bold);
        QCOMPARE(title.fontName, QStringLiteral("黑体"));
        QCOMPARE(title.fill, QColor(Qt::yellow));
        QCOMPARE(title.hAlign, HAlign::Center);
        QVERIFY(title.wrap);
        QCOMPARE(b.sheet(0)->colWidths.value(2), 20.0);
        QCOMPARE(b.sheet(0)->rowHeights.value(1), 30.0);
        QCOMPARE(b.sheet(0)->colWidths.value(3, -1), 0.0); // hidden
        QCOMPARE(b.sheet(0)->rowHeights.value(4, -1), 0.0);
        QCOMPARE(b.sheet(0)->merges.size(), size_t(1));
        QCOMPARE(b.sheet(0)->merges[0], (CellRange{1, 5, 3, 6}));
    }

    void marksComeFromNamedStylesAndDefinedNames()
    {
        Workbook b;
        QString error;
        QVERIFY2(readXlsxData(templateFixture(), b, &error), qPrintable(error));
        QCOMPARE(b.readMark(2, 3, 0), 5); // style derived from the named style "Mark5"
        QVERIFY(!b.style(b.cell(2, 3, 0)->style).locked); // and its protection
        QVERIFY(!b.isInputCell(2, 3, 0));                 // a mark-5 cell takes no input
        QCOMPARE(b.readMark(4, 8, 0), 5);                 // defined name, a list of ranges
        QCOMPARE(b.readMark(5, 8, 0), 5);
        QCOMPARE(b.readMark(5, 9, 0), 5);
        QCOMPARE(b.readMark(6, 9, 0), 0);
        QCOMPARE(b.readMark(2, 2, 1), 3);                 // sheet-local name without a sheet
        QCOMPARE(b.readMark(1, 1, 0), 0);
    }

    void fillColoursFromPaletteAndTheme_data()
    {
        QTest::addColumn<QByteArray>("color");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("rgb") << QByteArray("rgb=\"FFCCFFCC\"") << QColor(0xCCFFCC);
        QTest::newRow("indexed palette") << QByteArray("indexed=\"43\"") << QColor(0xFFFF99);
        QTest::newRow("default theme accent") << QByteArray("theme=\"4\"") << QColor(0x4F81BD);
        QTest::newRow("theme light tinted") << QByteArray("theme=\"0\" tint=\"-0.1499984740745262\"") << QColor(0xD9D9D9);
    }

    void fillColoursFromPaletteAndTheme()
    {
        QFETCH(QByteArray, color);
        QFETCH(QColor, expected);
        const QByteArray styles = "<fills count=\"3\"><fill><patternFill patternType=\"none\"/></fill><fill/>"
                                  "<fill><patternFill patternType=\"solid\"><fgColor " + color + "/></patternFill></fill></fills>"
                                  "<cellXfs count=\"2\"><xf/><xf fillId=\"2\"/></cellXfs>";
        const QByteArray sheet = "<sheetData><row r=\"1\"><c r=\"A1\" s=\"1\"><v>1</v></c></row></sheetData>";
        Workbook b;
        QString error;
        QVERIFY2(readXlsxData(zipParts(workbookParts({sheet}, styles)), b, &error), qPrintable(error));
        const QColor got = b.style(b.cell(1, 1, 0)->style).fill;
        QVERIFY2(qAbs(got.red() - expected.red()) <= 1 && qAbs(got.green() - expected.green()) <= 1
                     && qAbs(got.blue() - expected.blue()) <= 1,
                 qPrintable(got.name()));
    }

    void sharedFormulasAreShifted()
    {
        const QByteArray sheet =
            "<sheetData>"
            "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><f t=\"shared\" ref=\"B1:B3\" si=\"0\">A1*$A$1+10</f><v>0</v></c></row>"
            "<row r=\"2\"><c r=\"A2\"><v>2</v></c><c r=\"B2\"><f t=\"shared\" si=\"0\"/><v>0</v></c></row>"
            "<row r=\"3\"><c r=\"A3\"><v>3</v></c><c r=\"B3\"><f t=\"shared\" si=\"0\"/><v>0</v></c>"
            "<c r=\"D3\"><f t=\"shared\" ref=\"D3:D4\" si=\"1\">SUM(A1:A3)-A1</f></c></row>"
            "<row r=\"4\"><c r=\"D4\"><f t=\"shared\" si=\"1\"/></c>"
            "<c r=\"E4\"><f t=\"shared\" ref=\"E4:E5\" si=\"2\">A5</f></c></row>"
            "<row r=\"1048576\"><c r=\"E1048576\"><f t=\"shared\" si=\"2\"/></c></row>"
            "</sheetData>";
        Workbook b;
        QString error;
        QVERIFY2(readXlsxData(zipParts(workbookParts({sheet})), b, &error), qPrintable(error));
        QCOMPARE(b.formulaText(*b.cell(2, 3, 0)), QStringLiteral("A3*$A$1+10"));
        QCOMPARE(b.formulaText(*b.cell(4, 4, 0)), QStringLiteral("SUM(A2:A4)-A2"));
        QCOMPARE(b.formulaText(*b.cell(5, 1048576, 0)), QStringLiteral("#REF!")); // pushed off the grid
        b.recalculate();
        QCOMPARE(b.readNumber(2, 2, 0), 12.0);
        QCOMPARE(b.readNumber(2, 3, 0), 13.0);
        QCOMPARE(b.readNumber(4, 4, 0), 3.0);
        QCOMPARE(b.readText(5, 1048576, 0), QStringLiteral("#REF!"));
    }

    void brokenFilesEndInAnError_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray okSheet = "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData>";
        Parts missingSheet = workbookParts({okSheet});
        missingSheet.remove("xl/worksheets/sheet1.xml");
        Parts missingWorkbook = workbookParts({okSheet});
        missingWorkbook.remove("xl/workbook.xml");
        Parts noSheets = workbookParts({});
        Parts danglingRel = workbookParts({okSheet});
        danglingRel["xl/_rels/workbook.xml.rels"] = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>";
        const QByteArray laughs =
            "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">"
            "<!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">]><sst><si><t>&lol3;</t></si></sst>";
        Parts entityStrings = workbookParts({okSheet}, QByteArray(), "<si><t>x</t></si>");
        entityStrings["xl/sharedStrings.xml"] = laughs;
        Parts externalEntity = workbookParts({okSheet});
        externalEntity["xl/worksheets/sheet1.xml"] =
            "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><worksheet><sheetData>"
            "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&x;</t></is></c></row></sheetData></worksheet>";
        QByteArray deep = "<sheetData>";
        for (int i = 0; i < 5000; ++i)
            deep += "<x>";
        Parts deepNesting = workbookParts({deep});
        Parts malformed = workbookParts({"<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></row></sheetData>"});
        Parts badAddress = workbookParts({"<sheetData><row r=\"1\"><c r=\"1A\"><v>1</v></c></row></sheetData>"});
        Parts rowOffGrid = workbookParts({"<sheetData><row r=\"2000000\"><c><v>1</v></c></row></sheetData>"});
        Parts bomb = workbookParts({okSheet});
        bomb["xl/sharedStrings.xml"] = QByteArray(65 * 1024 * 1024, ' ');
        Parts manySheets = workbookParts(QList<QByteArray>(300, okSheet));
        const QByteArray good = zipParts(workbookParts({okSheet}));
        // One long shared formula copied to many cells would expand to gigabytes of formulas.
        QByteArray amplified = "<sheetData><row r=\"1\"><c r=\"A1\"><f t=\"shared\" ref=\"A1:A300000\" si=\"0\">B1&amp;\""
                               + QByteArray(8000, 'x') + "\"</f></c></row>";
        for (int r = 2; r <= 20000; ++r)
            amplified += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"A" + QByteArray::number(r) + "\"><f t=\"shared\" si=\"0\"/></c></row>";
        amplified += "</sheetData>";
        QByteArray manyColumns = "<cols>";
        for (int i = 0; i < 200; ++i)
            manyColumns += "<col min=\"1\" max=\"16384\" width=\"9\"/>";
        manyColumns += "</cols>" + okSheet;

        QTest::newRow("NotAZip") << QByteArray("PK\x03\x04 this is no archive");
        QTest::newRow("EmptyFile") << QByteArray();
        QTest::newRow("TruncatedZip") << good.left(good.size() / 2);
        QTest::newRow("MissingWorkbookPart") << zipParts(missingWorkbook);
        QTest::newRow("MissingSheetPart") << zipParts(missingSheet);
        QTest::newRow("NoSheets") << zipParts(noSheets);
        QTest::newRow("SheetWithoutRelationship") << zipParts(danglingRel);
        QTest::newRow("EntityExpansionInStrings") << zipParts(entityStrings);
        QTest::newRow("ExternalEntityInSheet") << zipParts(externalEntity);
        QTest::newRow("DeeplyNestedXml") << zipParts(deepNesting);
        QTest::newRow("UnclosedCell") << zipParts(malformed);
        QTest::newRow("GarbageCellAddress") << zipParts(badAddress);
        QTest::newRow("RowOffTheGrid") << zipParts(rowOffGrid);
        QTest::newRow("HugeCompressedPart") << zipParts(bomb, true);
        QTest::newRow("TooManySheets") << zipParts(manySheets);
        QTest::newRow("SharedFormulaAmplification") << zipParts(workbookParts({amplified}), true);
        QTest::newRow("ColumnRangesRepeated") << zipParts(workbookParts({manyColumns}), true);
    }

    void brokenFilesEndInAnError()
    {
        QFETCH(QByteArray, file);
        Workbook b;
        QString error;
        QVERIFY(!readXlsxData(file, b, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(b.sheetCount(), 0);
    }

    void oddButHarmlessContentIsTolerated()
    {
        // Out-of-range string and style indexes, cells without addresses, unknown elements.
        const QByteArray sheet =
            "<sheetData><row r=\"2\"><c t=\"s\"><v>99</v></c><c s=\"77\"><v>5</v></c><c t=\"n\"><v>abc</v></c>"
            "<c><v>7</v><unknown><deeper/></unknown></c></row></sheetData>";
        Workbook b;
        QString error;
        QVERIFY2(readXlsxData(zipParts(workbookParts({sheet}, QByteArray(), "<si><t>a</t></si>")), b, &error),
                 qPrintable(error));
        QCOMPARE(b.readText(1, 2, 0), QString());
        QCOMPARE(b.readNumber(2, 2, 0), 5.0);
        QCOMPARE(b.readText(3, 2, 0), QString());
        QCOMPARE(b.readNumber(4, 2, 0), 7.0);
    }

    void exportReadsBackTheSameWorkbook()
    {
        Workbook b;
        Sheet &s0 = b.addSheet(QStringLiteral("主表"));
        b.addSheet(QStringLiteral("明细"));
        Style amount;
        amount.numberFormat = QStringLiteral("#,##0.00");
        amount.locked = false;
        amount.bold = true;
        amount.bottom.style = 1;
        const int amountStyle = b.addStyle(amount);
        Style percent;
        percent.numberFormat = QStringLiteral("0%");
        const int percentStyle = b.addStyle(percent);
        b.writeText(1, 1, 0, QStringLiteral("收入总额"));
        b.writeNumber(2, 1, 0, 1234.5);
        b.cell(2, 1, 0)->style = amountStyle;
        b.writeNumber(2, 2, 0, 0.1 + 0.2);
        b.setFormula(2, 3, 0, QStringLiteral("ROUND(B1*B2,2)"));
        b.cell(2, 3, 0)->style = amountStyle;
        b.setFormula(3, 3, 0, QStringLiteral("IF(B1>0,\"有\",\"无\")"));
        b.setFormula(4, 3, 0, QStringLiteral("1/0"));
        b.addDefinedName({QStringLiteral("金额"), -1, QStringLiteral("'主表'!$B$1")});
        b.setFormula(5, 3, 0, QStringLiteral("金额*2"));
        b.setFormula(1, 1, 1, QStringLiteral("'主表'!B1*2"));
        b.writeNumber(1, 2, 1, 0.35);
        b.cell(1, 2, 1)->style = percentStyle;
        b.setValue(1, 3, 1, Value::fromBool(true));
        b.writeMark(2, 2, 0, 5);
        s0.merges.push_back({1, 5, 3, 6});
        s0.colWidths.insert(1, 24);
        s0.rowHeights.insert(5, 28);
        b.recalculate();

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("导出.xlsx"));
        QString error;
        QVERIFY2(writeXlsxFile(b, path, &error), qPrintable(error));
        Workbook r;
        QVERIFY2(readXlsxFile(path, r, &error), qPrintable(error));
        QCOMPARE(r.sheetCount(), 2);
        QCOMPARE(r.sheet(1)->name, QStringLiteral("明细"));
        for (int s = 0; s < 2; ++s)
            for (const Cell *c : b.sheet(s)->sortedCells()) {
                const Cell *rc = r.cell(c->col, c->row, s);
                QVERIFY2(rc, qPrintable(cellName(c->col, c->row)));
                // Equal to 15 significant digits: the writer prints 16, not the 17 a double needs.
                QCOMPARE(rc->value.type, c->value.type);
                QCOMPARE(valueToText(rc->value), valueToText(c->value));
                QCOMPARE(r.formulaText(*rc), b.formulaText(*c));
                QCOMPARE(r.readText(c->col, c->row, s), b.readText(c->col, c->row, s));
                QCOMPARE(rc->mark, c->mark);
            }
        QCOMPARE(r.readText(2, 1, 0), QStringLiteral("1,234.50"));
        QVERIFY(!r.style(r.cell(2, 1, 0)->style).locked);
        QVERIFY(r.style(r.cell(2, 1, 0)->style).bold);
        QCOMPARE(r.sheet(0)->merges, s0.merges);
        QVERIFY(qAbs(r.sheet(0)->colWidths.value(1) - 24) < 0.15);
        QCOMPARE(r.sheet(0)->rowHeights.value(5), 28.0);
        r.recalculate();
        QCOMPARE(r.readNumber(1, 1, 1), 2469.0);
        QCOMPARE(r.readNumber(5, 3, 0), 2469.0); // through the defined name written back
    }
};

QTEST_GUILESS_MAIN(TestXlsx)
#include "tst_xlsx.moc"
