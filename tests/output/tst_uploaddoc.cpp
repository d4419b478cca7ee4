// SPDX-License-Identifier: GPL-3.0-or-later
// The declaration upload documents, position by position, from forms loaded from a small
// partnership and filled with figures.
#include "Clock.h"
#include "DeclareFixture.h"
#include "TCell.h"
#include "UploadDocument.h"
#include "untRpt.h"

#include <QTest>

using namespace lw;
using test::DeclareFixture;

namespace {

struct CellValue
{
    int col, row, sheet;
    QVariant value; // a double is written as a number, anything else as text
};
using CellValues = QList<CellValue>;
// A path of positions under the root element, "6/0/3", and the text expected there.
using Expected = QList<QPair<QString, QString>>;

XmlNode nodeAt(const XmlDoc &doc, const QString &path)
{
    XmlNode node = doc.child(1);
    for (const QString &p : path.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        node = node.child(p.toInt());
    return node;
}

void write(TCell &cell, const CellValues &values)
{
    for (const CellValue &v : values) {
        if (v.value.typeId() == QMetaType::Double)
            cell.WriteCellNumber(v.col, v.row, v.sheet, v.value.toDouble());
        else
            cell.WriteCellText(v.col, v.row, v.sheet, v.value.toString());
    }
    cell.RecalculateWorkbook();
}

const QString kKey = QStringLiteral("370102000123456");
const QString kPartner = QStringLiteral("370102000777666");

void addMember(const QString &nature)
{
    dm()->adoQry1.exec(QStringLiteral("insert into hhqymx (swdjjbxx_id,hhrswglm,hhr_mc,tzzxz,czfs,tz_bl,tz_je,fp_bl) values "
                                      "('370102000777666','370102197001010055','赵六','%1','1',50,100000,50)")
                           .arg(nature));
}

// Kind 3 loads through the investor picker; its cells are written as the load would.
CellValues consolidatedHeader()
{
    return {{1, 24, 0, kKey},
            {5, 4, 0, QStringLiteral("370102198001010011")},
            {3, 3, 0, QStringLiteral("张明")},
            {3, 2, 0, QStringLiteral("2010-01-01")},
            {5, 2, 0, QStringLiteral("2010-12-31")}};
}

} // namespace

Q_DECLARE_METATYPE(CellValue)

class TestUploadDoc : public QObject
{
    Q_OBJECT
private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2011, 4, 12), QTime(9, 0))); }
    void cleanup() { Clock::reset(); }
    void positions_data();
    void positions();
    void storedAnnualLinesByType();
    void templateWithoutPositionRaises();
};

void TestUploadDoc::positions_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("load");
    QTest::addColumn<CellValues>("cells");
    QTest::addColumn<Expected>("expected");
    QTest::addColumn<QString>("absentText"); // never written anywhere in the document

    const QString q1 = QStringLiteral("2011-01-01"), q1End = QStringLiteral("2011-03-31");
    const QString today = QStringLiteral("2011-04-12");
    // Rows 4 to 7 hold the four partners; row 7's code is blanked, row 8 named with no amounts.
    QTest::newRow("quarterly")
        << 1 << "10" << true
        << CellValues{{4, 8, 0, 800000.0}, {4, 9, 0, 500000.0}, {4, 11, 0, 20000.0}, {14, 4, 1, 1500.25},
                      {1, 7, 1, QStringLiteral(" \t　")}, {1, 8, 1, QStringLiteral("370102000555444")}}
        << Expected{{"0", "1.0"}, {"1", kKey}, {"2", q1}, {"3", q1End}, {"4", today},
                    {"5/0", "800000"}, {"5/1", "500000"}, {"5/2", "300000"}, {"5/3", "20000"}, {"5/4", "10"},
                    {"5/5", "280000"},
                    {"6/0/0", "370102198001010011"}, {"6/0/1", "张明"}, {"6/0/2", "自然人投资者"}, {"6/0/3", "40"},
                    {"6/0/4", "112000"}, {"6/0/13", "1500.25"},
                    {"6/2/0", "370102000999888"},
                    // the named row without figures: every number 0
                    {"6/3/0", "370102000555444"}, {"6/3/1", ""}, {"6/3/3", "0"}, {"6/3/14", "0"}}
        << "历下创投";
    QTest::newRow("liquidation")
        << 2 << "10" << true
        << CellValues{{4, 6, 0, 500000.0}, {4, 7, 0, 20000.5}, {5, 4, 2, 7.0}, {3, 32, 2, 9.0}, {4, 24, 3, 5.0}}
        << Expected{{"1", kKey}, {"2", q1}, {"3", q1End}, {"5/0", "500000"}, {"5/1", "20000.5"},
                    {"5/8", "479999.5"}, {"6/0/1", "张明"}, {"6/0/3", "40"},
                    {"7/62", "7"}, {"7/28", "9"}, {"7/30", "9"}, {"8/42", "5"}}
        << "";
    QTest::newRow("consolidated")
        << 3 << "10" << false
        << (consolidatedHeader()
            + CellValues{{3, 6, 0, QStringLiteral("济南泉城会计师事务所")}, {4, 6, 0, QStringLiteral("91370102MA3C12345X")},
                         {5, 6, 0, 40.0}, {6, 6, 0, QStringLiteral("列六不上传")}, {7, 6, 0, 60000.0},
                         {3, 11, 0, QStringLiteral("另一企业")}, {7, 11, 0, 1234.5}})
        << Expected{{"0", "1.0"}, {"1", kKey}, {"2", "370102198001010011"}, {"3", "2010-01-01"}, {"4", "2010-12-31"},
                    {"5", today}, {"6", "济南泉城会计师事务所"}, {"7", "91370102MA3C12345X"}, {"8", "40"},
                    {"9", "60000"}, {"26", "另一企业"}, {"29", "1234.5"}, {"30", "61234.5"}}
        << "列六不上传";
    QTest::newRow("annual, deemed")
        << 4 << "20" << true << CellValues{{4, 8, 0, 600000.0}, {4, 11, 0, 10.0}}
        << Expected{{"1", kKey}, {"2", "2010-01-01"}, {"3", "2010-12-31"}, {"5/0", "600000"}, {"5/3", "10"},
                    {"5/4", "60000"}, {"6/0/0", "370102198001010011"}, {"6/0/3", "40"}, {"6/0/4", "24000"}}
        << "";
    QTest::newRow("partner members")
        << 5 << "10" << true << CellValues{{1, 5, 0, QStringLiteral("钱七")}, {4, 5, 0, QStringLiteral("外星投资者")}}
        << Expected{{"0", "1.0"}, {"1", kPartner}, {"2", q1}, {"3", q1End}, {"4", today},
                    {"5/0/0", "赵六"}, {"5/0/1", "370102197001010055"}, {"5/0/3", "01"}, {"5/0/6", "1"},
                    {"5/0/7", "50"}, {"5/0/8", "100000"}, {"5/0/9", "50"},
                    {"5/1/0", "钱七"}, {"5/1/3", ""}, {"5/1/7", "0"}}
        << "";
}

void TestUploadDoc::positions()
{
    QFETCH(int, kind);
    QFETCH(QString, code);
    QFETCH(bool, load);
    QFETCH(CellValues, cells);
    QFETCH(Expected, expected);
    QFETCH(QString, absentText);
    DeclareFixture f(code);
    addMember(QStringLiteral("01"));
    TfrmRpt w;
    w.ReportKind = kind;
    w.FormShow();
    if (kind == 4)
        w.setPeriod(QStringLiteral("2010-01-01"), QStringLiteral("2010-12-31"));
    else
        w.setPeriod(QStringLiteral("2011-01-01"), QStringLiteral("2011-03-31"));
    if (load)
        w.TeSpBtnInportClick();
    write(*w.CellInfo, cells);

    const bool audit = code == QLatin1String("10");
    const UploadDocumentKind doc = UploadDocumentOf(kind, audit);
    const FilingDates dates{QStringLiteral("2011-01-01"), QStringLiteral("2011-03-31"), QStringLiteral("2011-04-12")};
    const XmlDoc built = BuildUploadDocument(f.env->appPath() + QStringLiteral("rpt/") + doc.name + QStringLiteral(".xml"),
                                             *w.CellInfo, kind, audit, dates);
    for (const auto &e : expected)
        QCOMPARE(nodeAt(built, e.first).text() + QStringLiteral("  @") + e.first, e.second + QStringLiteral("  @") + e.first);
    if (kind == 1)
        QCOMPARE(nodeAt(built, QStringLiteral("6")).childCount(), 4); // row 7 skipped, row 8 written
    if (!absentText.isEmpty())
        QVERIFY(!QString::fromUtf8(built.toBytes()).contains(absentText));
}

// The audit-based annual form's enterprise lines come from the stored rows: amounts lose their
// separators and count 0 when empty; texts are written as stored. The loss sheet gives six years.
void TestUploadDoc::storedAnnualLinesByType()
{
    DeclareFixture f(QStringLiteral("10"));
    TfrmRpt w;
    w.ReportKind = 4;
    w.FormShow();
    w.setPeriod(QStringLiteral("2010-01-01"), QStringLiteral("2010-12-31"));
    w.TeSpBtnInportClick();
    w.CellInfo->WriteCellNumber(4, 8, 0, 1200000);
    w.CellInfo->WriteCellNumber(4, 11, 0, 950000);
    w.TeSpBtnSetupClick();
    auto &q = dm()->adoQry1;
    const QString period = QStringLiteral(" and qsrq='2010-01-01' and zzrq='2010-12-31'");
    q.exec(QStringLiteral("update recal_cz set sValue='1,234.50' where sheet=0 and col=4 and row=9") + period);
    q.exec(QStringLiteral("update recal_cz set sValue='' where sheet=0 and col=4 and row=12") + period);
    q.exec(QStringLiteral("update recal_cz set sValue='', type=1 where sheet=0 and col=4 and row=13") + period);

    const FilingDates dates{QStringLiteral("2010-01-01"), QStringLiteral("2010-12-31"), QStringLiteral("2011-04-12")};
    const XmlDoc built = BuildUploadDocument(f.env->appPath() + QStringLiteral("rpt/DATA_CZZS.xml"), *w.CellInfo, 4, true, dates);
    QCOMPARE(nodeAt(built, QStringLiteral("5/0")).text(), QStringLiteral("1200000.00"));
    QCOMPARE(nodeAt(built, QStringLiteral("5/1")).text(), QStringLiteral("1234.50"));
    QCOMPARE(nodeAt(built, QStringLiteral("5/3")).text(), QStringLiteral("950000.00"));
    QCOMPARE(nodeAt(built, QStringLiteral("5/4")).text(), QStringLiteral("0"));
    QCOMPARE(nodeAt(built, QStringLiteral("5/5")).text(), QString());
    QCOMPARE(nodeAt(built, QStringLiteral("5/10")).text(), QStringLiteral("250000.00")); // line 11, a formula
    QCOMPARE(nodeAt(built, QStringLiteral("6")).childCount(), 4);
    QCOMPARE(nodeAt(built, QStringLiteral("8")).childCount(), 6);
    QCOMPARE(nodeAt(built, QStringLiteral("8/5/0")).text(), QStringLiteral("2010"));
    QCOMPARE(nodeAt(built, QStringLiteral("8/0/1")).text(), QStringLiteral("0"));
    QCOMPARE(nodeAt(built, QStringLiteral("9")).childCount(), 0);
    QVERIFY(nodeAt(built, QStringLiteral("7")).childCount() >= 141);
}

void TestUploadDoc::templateWithoutPositionRaises()
{
    DeclareFixture f(QStringLiteral("10"));
    f.env->writeFile(QStringLiteral("rpt/short.xml"),
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><yjbb><a/><b/><c/><d/><e/><f><g/></f></yjbb>");
    TfrmRpt w;
    w.ReportKind = 1;
    w.FormShow();
    const FilingDates dates{QStringLiteral("2011-01-01"), QStringLiteral("2011-03-31"), QStringLiteral("2011-04-12")};
    QVERIFY_THROWS_EXCEPTION(XmlError, BuildUploadDocument(f.env->appPath() + QStringLiteral("rpt/short.xml"), *w.CellInfo, 1, true, dates));
}

QTEST_MAIN(TestUploadDoc)
#include "tst_uploaddoc.moc"
