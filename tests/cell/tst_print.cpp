// SPDX-License-Identifier: GPL-3.0-or-later
// Printing the declaration forms: pages, heading rows, left-out sheets, and the PDF's text.
#include "PdfText.h"
#include "PrintLayout.h"
#include "Workbook.h"
#include "WorkbookPrint.h"
#include "XlsxReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lw;
using namespace lw::test;

namespace {

QString templatePath(const QString &name)
{
    return qEnvironmentVariable("LW_SOURCE") + QStringLiteral("/rpt/") + name;
}

void open(Workbook &book, const QString &name)
{
    QString error;
    QVERIFY2(readXlsxFile(templatePath(name), book, &error), qPrintable(error));
}

// The paintable area of the default page, in points.
QSizeF area()
{
    return defaultPrintPageLayout().paintRectPoints().size();
}

// Investors in rows first.., as the load writes them: code, name, nature, share.
void addInvestors(Workbook &book, int first, int count)
{
    for (int i = 0; i < count; ++i) {
        const int row = first + i;
        book.writeText(1, row, 1, QStringLiteral("4401067000%1").arg(i, 5, 10, QLatin1Char('0')));
        book.writeText(2, row, 1, QStringLiteral("投资者%1").arg(i + 1));
        book.writeText(3, row, 1, QStringLiteral("自然人投资者"));
        book.writeNumber(4, row, 1, 2);
    }
}

} // namespace

class TestPrint : public QObject
{
    Q_OBJECT

private slots:
    void investorSheetPages_data();
    void investorSheetPages();
    void emptySheetsLeftOut();
    void pdfHoldsTheFiguresAsText();
    void unwritablePathLeavesNothing();
};

void TestPrint::investorSheetPages_data()
{
    QTest::addColumn<int>("investors");
    QTest::addColumn<double>("height"); // of the paintable area, as a share of A4 landscape's
    QTest::addColumn<int>("pages");
    // Scaled to the width, the whole list of the audit-based form fits one A4 landscape page.
    QTest::newRow("4 investors") << 4 << 1.0 << 1;
    QTest::newRow("30 investors") << 30 << 1.0 << 1;
    QTest::newRow("50 investors") << 50 << 1.0 << 1;
    // On a page half as tall the list breaks, headings repeated.
    QTest::newRow("4 investors, half page") << 4 << 0.5 << 1;
    QTest::newRow("30 investors, half page") << 30 << 0.5 << 2;
    QTest::newRow("50 investors, half page") << 50 << 0.5 << 3;
}

void TestPrint::investorSheetPages()
{
    QFETCH(int, investors);
    QFETCH(double, height);
    QFETCH(int, pages);
    const QSizeF paper(area().width(), area().height() * height);
    Workbook book;
    open(book, QStringLiteral("czzs.xlsx"));
    QCOMPARE(book.sheet(1)->titleRowLast, 4);
    addInvestors(book, 5, investors);
    book.recalculate();
    PrintOptions options;
    options.sheets = {1};
    const PrintLayout layout(book, paper, options);
    QCOMPARE(layout.pageCount(), pages);

    const Sheet &sheet = *book.sheet(1);
    const double scale = layout.scale(1);
    double width = 0;
    for (int c = 1; c <= layout.lastCol(1); ++c)
        width += PrintLayout::columnWidth(sheet, c);
    QVERIFY(width * scale <= paper.width() + 0.01);

    std::vector<int> body;
    for (const PrintPage &page : layout.pages()) {
        QCOMPARE(page.sheet, 1);
        QCOMPARE(page.headingRows, 4);
        QCOMPARE(std::vector<int>(page.rows.begin(), page.rows.begin() + 4), std::vector<int>({1, 2, 3, 4}));
        QVERIFY(int(page.rows.size()) > 4);
        double used = 0;
        for (int r : page.rows)
            used += PrintLayout::rowHeight(sheet, r);
        QVERIFY2(used * scale <= paper.height() - PrintLayout::FooterHeight + 0.01, "a page overflows its paper");
        body.insert(body.end(), page.rows.begin() + 4, page.rows.end());
    }
    // Every investor once and in order; the empty rows of the list are not printed.
    QVERIFY(std::is_sorted(body.begin(), body.end()));
    for (int i = 0; i < investors; ++i)
        QCOMPARE(body[size_t(i)], 5 + i);
    for (int r : body)
        QVERIFY2(r < 5 + investors || r > 54, qPrintable(QStringLiteral("empty investor row %1 printed").arg(r)));
}

void TestPrint::emptySheetsLeftOut()
{
    Workbook book;
    open(book, QStringLiteral("yjbb.xlsx"));
    auto sheetsOf = [&book](const PrintOptions &options) {
        std::vector<int> sheets;
        const PrintLayout layout(book, area(), options);
        for (const PrintPage &p : layout.pages())
            if (sheets.empty() || sheets.back() != p.sheet)
                sheets.push_back(p.sheet);
        return sheets;
    };
    // Nothing filled in: the blank form prints whole.
    QCOMPARE(sheetsOf({}), std::vector<int>({0, 1}));
    book.writeNumber(4, 8, 0, 800000);
    book.recalculate();
    QVERIFY(!PrintLayout::hasContent(book, 1));
    QCOMPARE(sheetsOf({}), std::vector<int>({0}));
    PrintOptions asked;
    asked.sheets = {1};
    QCOMPARE(sheetsOf(asked), std::vector<int>({1}));
}

void TestPrint::pdfHoldsTheFiguresAsText()
{
    Workbook book;
    open(book, QStringLiteral("yjbb.xlsx"));
    book.writeNumber(4, 8, 0, 800000);
    book.writeNumber(4, 9, 0, 500000);
    book.writeNumber(4, 11, 0, 20000);
    book.writeNumber(6, 6, 0, 10);
    addInvestors(book, 4, 1);
    book.writeNumber(4, 4, 1, 60);
    book.writeNumber(8, 4, 1, 21000);
    book.writeNumber(14, 4, 1, 15000);
    book.recalculate();
    QCOMPARE(book.readText(12, 4, 1), QStringLiteral("36,700.00"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("季度预缴.pdf"));
    QString error;
    QVERIFY2(writeWorkbookPdf(book, path, {}, &error), qPrintable(error));
    const QString info = pdfInfo(path);
    QVERIFY2(!info.isEmpty(), "pdfinfo (poppler-utils) is missing or cannot read the file");
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+841\\.\\d+ x 595\\.\\d+ pts|Page size:\\s+842 x 595 pts"))),
             qPrintable(info));
    const int pages = PrintLayout(book, area(), {}).pageCount();
    QVERIFY(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))));

    const QString text = pdfText(path);
    QVERIFY(text.contains(QStringLiteral("个人所得税生产经营所得纳税申报表（A表）")));
    QVERIFY(text.contains(QStringLiteral("800,000.00")));   // typed, shown with its format
    QVERIFY(text.contains(QStringLiteral("36,700.00")));    // the investor's tax, computed
    QVERIFY(text.contains(QStringLiteral("投资者1")));
    QVERIFY(text.contains(QStringLiteral("第%1页共%1页").arg(pages)));
    // Fonts travel with the file.
    const QString fonts = popplerOutput(QStringLiteral("pdffonts"), {path});
    const QStringList rows = fonts.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
    QVERIFY(!rows.isEmpty());
    for (const QString &row : rows)
        QVERIFY2(row.contains(QStringLiteral(" yes ")), qPrintable(row));
}

void TestPrint::unwritablePathLeavesNothing()
{
    Workbook book;
    open(book, QStringLiteral("yjbb.xlsx"));
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("不是文件夹")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = blocker.fileName() + QStringLiteral("/申报表.pdf");
    QString error;
    QVERIFY(!writeWorkbookPdf(book, path, {}, &error));
    QVERIFY2(error.startsWith(QStringLiteral("无法写入文件")) && error.contains(path), qPrintable(error));
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
