// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped declaration templates: their tax figures, their blank state, protection, marks,
// and the agreement between each template and its mapping rows.
#include "Workbook.h"
#include "XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

using namespace lw;

namespace {

QString sourceDir() { return qEnvironmentVariable("LW_SOURCE"); }
QString templatePath(const QString &name) { return sourceDir() + QStringLiteral("/rpt/") + name; }
QString databasePath() { return qEnvironmentVariable("LW_STAGE") + QStringLiteral("/db/db.sqlite"); }

QString formtoolPath()
{
    const QStringList dirs = {qEnvironmentVariable("LW_STAGE"), qEnvironmentVariable("LW_BIN") + QStringLiteral("/bin")};
    return QStandardPaths::findExecutable(QStringLiteral("formtool"), dirs);
}

struct Address
{
    int sheet = 0, col = 0, row = 0;
};

// "SHEET:COL:ROW"
Address parseAddress(const QString &text)
{
    const QStringList p = text.split(QLatin1Char(':'));
    Q_ASSERT(p.size() == 3);
    return {p[0].toInt(), p[1].toInt(), p[2].toInt()};
}

std::unique_ptr<Workbook> openTemplate(const QString &name, QString *error)
{
    auto book = std::make_unique<Workbook>();
    if (!readXlsxFile(templatePath(name), *book, error))
        return nullptr;
    return book;
}

// Entries "S:C:R=123.5" write a number, "S:C:R='text" a text.
void enter(Workbook &book, const QStringList &entries)
{
    for (const QString &e : entries) {
        const int eq = e.indexOf(QLatin1Char('='));
        const Address a = parseAddress(e.left(eq));
        const QString v = e.mid(eq + 1);
        if (v.startsWith(QLatin1Char('\'')))
            book.writeText(a.col, a.row, a.sheet, v.mid(1));
        else
            book.writeNumber(a.col, a.row, a.sheet, v.toDouble());
    }
}

// Runs body with a connection to the shipped database, closed and removed afterwards.
template <typename F> void withShippedDatabase(F body)
{
    const QString name = QStringLiteral("shipped");
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        c.setDatabaseName(databasePath());
        c.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QVERIFY2(c.open(), qPrintable(c.lastError().text()));
        body(c);
        c.close();
    }
    QSqlDatabase::removeDatabase(name);
}

const QStringList kAllTemplates = {QStringLiteral("yjbb.xlsx"), QStringLiteral("qsbb.xlsx"), QStringLiteral("hzsbb.xlsx"),
                                   QStringLiteral("czzs.xlsx"), QStringLiteral("hdzs.xlsx"), QStringLiteral("hhqymx.xlsx"),
                                   QStringLiteral("mbkstz.xlsx")};

} // namespace

class TstTemplates : public QObject
{
    Q_OBJECT

private slots:
    void taxFigures_data();
    void taxFigures();
    void formtoolEvalOnShippedTemplate();
    void bracketEdges_data();
    void bracketEdges();
    void blankTemplateShowsNoErrors_data();
    void blankTemplateShowsNoErrors();
    void emptyInvestorRowsStayBlank_data();
    void emptyInvestorRowsStayBlank();
    void formulasLockedInputsOpen_data();
    void formulasLockedInputsOpen();
    void numberFormats_data();
    void numberFormats();
    void ledgerMarks();
    void mappingRowsFitTemplates_data();
    void mappingRowsFitTemplates();
    void checkReportsEveryMisfit();
    void storedCellsTheProgramRelies_data();
    void storedCellsTheProgramRelies();
    void annualFileReadsOneRowPerLine();
    void committedFilesAreGenerated();
};

// --- figures ----------------------------------------------------------------------------------

void TstTemplates::taxFigures_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QStringList>("expected"); // "S:C:R=number" or "S:C:R='text"

    const QStringList czzsSole = {"0:4:8=1200000", "0:4:11=950000", "0:4:21=30000", "0:4:46=10000", "1:1:5='13010000001",
                                  "1:3:5='自然人投资者"};

    // The check cases every release must pass.
    QTest::newRow("A表 查账征收 合伙人60%")
        << "yjbb.xlsx"
        << QStringList{"0:6:6=10", "0:4:8=800000", "0:4:9=500000", "0:4:11=20000", "1:1:4='13010000001", "1:4:4=60",
                       "1:8:4=21000", "1:14:4=15000"}
        << QStringList{"0:4:10=300000", "0:4:13=280000", "1:5:4=168000", "1:9:4=147000", "1:10:4=0.35",
                       "1:11:4=14750", "1:12:4=36700", "1:15:4=21700", "0:4:15=21700"};
    QTest::newRow("A表 按收入核定 独资")
        << "yjbb.xlsx" << QStringList{"0:6:6=20", "0:4:8=600000", "0:4:12=10", "1:1:4='X", "1:4:4=100"}
        << QStringList{"1:9:4=60000", "1:12:4=8250"};
    QTest::newRow("A表 按成本费用核定")
        << "yjbb.xlsx" << QStringList{"0:6:6=22", "0:4:9=540000", "0:4:12=10", "1:1:4='X", "1:4:4=100"}
        << QStringList{"1:9:4=60000", "1:12:4=8250"};
    QTest::newRow("B表 独资") << "czzs.xlsx" << (czzsSole + QStringList{"1:4:5=100", "1:8:5=42000"})
                            << QStringList{"0:4:18=250000", "0:4:45=280000", "1:5:5=228000", "1:12:5=65050",
                                           "0:4:47=1", "0:4:48=228000", "0:4:49=65050"};
    QTest::newRow("B表 合伙人40%") << "czzs.xlsx" << (czzsSole + QStringList{"1:4:5=40", "1:8:5=42000"})
                                << QStringList{"1:6:5=108000", "1:5:5=66000", "1:12:5=10050"};
    QTest::newRow("C表 两处经营")
        << "hzsbb.xlsx" << QStringList{"0:7:6=60000", "0:7:7=110000"}
        << QStringList{"0:7:13=170000", "0:7:15=170000", "0:7:16=0.35", "0:7:17=14750", "0:7:18=44750",
                       "0:7:20=15794.12", "0:7:24=15794.12"};
    // A legal-person partner keeps its share and pays no individual income tax.
    QTest::newRow("A表 自然人与法人合伙人")
        << "yjbb.xlsx"
        << QStringList{"0:6:6=10", "0:4:8=500000", "0:4:9=300000", "1:1:4='A", "1:3:4='自然人投资者", "1:4:4=60",
                       "1:8:4=10500", "1:1:5='B", "1:3:5='法人投资者", "1:4:5=40"}
        << QStringList{"1:9:4=109500", "1:12:4=23575", "1:5:5=80000", "1:9:5=0", "1:10:5=0", "1:11:5=0", "1:12:5=0",
                       "1:15:5=0", "0:4:14=23575", "0:4:15=23575"};
    // Losses are not offset between enterprises: each figure counts as max(0, figure).
    QTest::newRow("C表 本单位亏损")
        << "hzsbb.xlsx" << QStringList{"0:7:6=-50000", "0:7:7=200000"}
        << QStringList{"0:7:13=200000", "0:7:18=55250", "0:7:19=0", "0:7:20=0", "0:7:24=0"};
    QTest::newRow("C表 他处亏损")
        << "hzsbb.xlsx" << QStringList{"0:7:6=100000", "0:7:7=-80000"}
        << QStringList{"0:7:13=100000", "0:7:16=0.3", "0:7:18=20250", "0:7:19=1", "0:7:20=20250"};
    // A ratio typed in a row without investor code computes nothing and reaches no total or count.
    QTest::newRow("A表 无管理码行不计算")
        << "yjbb.xlsx"
        << QStringList{"0:6:6=10", "0:4:8=300000", "1:1:4='A", "1:3:4='自然人投资者", "1:4:4=100", "1:3:5='自然人投资者",
                       "1:4:5=50", "1:14:5=900"}
        << QStringList{"1:12:4=90250", "1:5:5='", "1:9:5='", "1:12:5='", "1:15:5='", "0:2:5=1", "0:4:14=90250",
                       "0:4:15=90250"};
    // By income the base is 收入总额 itself; 其中：不征税收入 is information: 650000 × 10 % = 65000.
    QTest::newRow("核定 按收入 不征税收入不扣除")
        << "hdzs.xlsx"
        << QStringList{"0:6:6=20", "0:4:8=650000", "0:4:9=50000", "0:4:11=10", "1:1:4='X", "1:4:4=100", "1:15:4=1000"}
        << QStringList{"0:4:12=65000", "1:5:4=65000", "1:7:4=650000", "1:12:4=9750", "1:19:4=8750", "0:4:13=9750",
                       "0:4:16=8750"};
    QTest::newRow("核定 应税所得率两位小数")
        << "hdzs.xlsx" << QStringList{"0:6:6=20", "0:4:8=800000", "0:4:11=7.5", "1:1:4='X", "1:4:4=100"}
        << QStringList{"1:9:4='7.50%", "0:4:12=60000", "1:12:4=8250"};

    // The same cases on a form not loaded yet: no collection code. The formulas then go by the
    // lines filled in.
    QTest::newRow("A表 未加载 查账")
        << "yjbb.xlsx"
        << QStringList{"0:4:8=800000", "0:4:9=500000", "0:4:11=20000", "1:1:4='X", "1:4:4=60", "1:8:4=21000",
                       "1:14:4=15000"}
        << QStringList{"1:9:4=147000", "1:10:4=0.35", "1:11:4=14750", "1:12:4=36700", "1:15:4=21700"};
    QTest::newRow("A表 未加载 按收入") << "yjbb.xlsx" << QStringList{"0:4:8=600000", "0:4:12=10", "1:1:4='X", "1:4:4=100"}
                                  << QStringList{"1:9:4=60000", "1:12:4=8250"};
    QTest::newRow("A表 未加载 按成本费用") << "yjbb.xlsx" << QStringList{"0:4:9=540000", "0:4:12=10", "1:1:4='X", "1:4:4=100"}
                                    << QStringList{"1:9:4=60000", "1:12:4=8250"};
    QTest::newRow("核定 未加载 按成本费用") << "hdzs.xlsx" << QStringList{"0:4:10=540000", "0:4:11=10", "1:1:4='X", "1:4:4=100"}
                                     << QStringList{"0:4:12=60000", "1:5:4=60000", "1:12:4=8250"};

    // Further cases computed by hand from the tax table.
    // A表 code 22, partner at 30 %: 810000 ÷ 0.9 × 0.1 = 90000; × 30 % = 27000 → 27000 × 10 % − 750.
    QTest::newRow("A表 按成本费用核定 合伙人30%")
        << "yjbb.xlsx" << QStringList{"0:6:6=22", "0:4:9=810000", "0:4:12=10", "1:1:4='X", "1:4:4=30", "1:8:4=10500",
                                      "1:14:4=500"}
        << QStringList{"0:4:13=90000", "1:9:4=27000", "1:10:4=0.1", "1:12:4=1950", "1:15:4=1450"};
    // Deemed collection ignores the investor deduction and prior losses.
    QTest::newRow("A表 按收入核定 不扣减除费用")
        << "yjbb.xlsx" << QStringList{"0:6:6=20", "0:4:8=100000", "0:4:11=50000", "0:4:12=10", "1:1:4='X",
                                      "1:4:4=100", "1:8:4=10500"}
        << QStringList{"1:9:4=10000", "1:12:4=500"};
    // A legal-person partner: its share stands, every tax figure is 0 whatever is typed beside it.
    QTest::newRow("B表 法人合伙人")
        << "czzs.xlsx"
        << QStringList{"0:4:8=1200000", "0:4:11=950000", "0:4:21=30000", "0:4:46=10000", "1:1:5='X",
                       "1:3:5='法人投资者", "1:4:5=50", "1:7:5=5000", "1:8:5=42000", "1:13:5=100", "1:15:5=2000"}
        << QStringList{"1:6:5=135000", "1:5:5=0", "1:10:5=0", "1:11:5=0", "1:12:5=0", "1:14:5=0", "1:19:5=0",
                       "1:16:5=0", "1:17:5=0", "0:4:48=0", "0:4:49=0", "0:4:53=0"};
    QTest::newRow("A表 法人合伙人其他费用")
        << "yjbb.xlsx"
        << QStringList{"0:6:6=10", "0:4:8=200000", "1:1:4='X", "1:3:4='法人投资者", "1:4:4=100", "1:7:4=20000"}
        << QStringList{"1:5:4=200000", "1:9:4=0", "1:12:4=0", "0:4:14=0"};
    QTest::newRow("清算 法人合伙人")
        << "qsbb.xlsx"
        << QStringList{"0:4:6=300000", "1:1:4='X", "1:3:4='法人投资者", "1:4:4=100", "1:13:4=500"}
        << QStringList{"1:5:4=300000", "1:8:4=0", "1:9:4=0", "1:11:4=0", "1:14:4=0"};
    QTest::newRow("核定 法人合伙人")
        << "hdzs.xlsx"
        << QStringList{"0:6:6=20", "0:4:8=600000", "0:4:11=10", "1:1:4='A", "1:3:4='自然人投资者", "1:4:4=50", "1:1:5='B",
                       "1:3:5='法人投资者", "1:4:5=50", "1:15:5=800"}
        << QStringList{"1:5:4=30000", "1:12:4=2250", "1:7:5=300000", "1:5:5=0", "1:12:5=0", "1:19:5=0", "0:4:13=2250",
                       "0:4:16=2250"};
    // A loss year: taxable below zero gives rate 0 and tax 0; the prepaid tax is refunded.
    QTest::newRow("B表 亏损年度")
        << "czzs.xlsx"
        << QStringList{"0:4:8=500000", "0:4:11=520000", "1:1:5='X", "1:3:5='自然人投资者", "1:4:5=100",
                       "1:8:5=42000", "1:15:5=3000"}
        << QStringList{"0:4:45=-20000", "1:5:5=-62000", "1:10:5=0", "1:12:5=0", "1:19:5=-3000", "1:16:5=0",
                       "1:17:5=3000", "3:4:12=20000", "3:13:12=20000"};
    QTest::newRow("核定 按成本费用")
        << "hdzs.xlsx" << QStringList{"0:6:6=22", "0:4:10=540000", "0:4:11=10", "1:1:4='X", "1:4:4=50"}
        << QStringList{"0:4:12=60000", "1:5:4=30000", "1:12:4=2250"};
    // 清算所得 = 900000 − (50000 + 0 + 300000 + 100000 + 200000 + 10000) = 240000; 60 % → 144000.
    QTest::newRow("清算 合伙人60%")
        << "qsbb.xlsx"
        << QStringList{"0:4:6=900000", "0:4:7=50000", "0:4:9=300000", "0:4:10=100000", "0:4:11=200000",
                       "0:4:12=10000", "1:1:4='X", "1:3:4='自然人投资者", "1:4:4=60", "1:7:4=42000"}
        << QStringList{"0:4:13=660000", "0:4:14=240000", "1:5:4=144000", "1:8:4=102000", "1:11:4=20950",
                       "1:14:4=20950"};
    // 30000 + 20000 + 42000 added back = 92000 → 30 %: 17850; this enterprise's share 60 % → 10710.
    QTest::newRow("C表 调增减除费用")
        << "hzsbb.xlsx" << QStringList{"0:7:6=30000", "0:7:7=20000", "0:7:14=42000", "0:7:21=710", "0:7:23=4000"}
        << QStringList{"0:7:15=92000", "0:7:16=0.3", "0:7:18=17850", "0:7:19=0.6", "0:7:20=10710", "0:7:22=10000",
                       "0:7:24=6000"};
    // Two natural-person partners: 70 % (210000 − 21000 = 189000 → 51400) and 30 % (90000 − 21000
    // = 69000 → 10950, 250 prepaid); sheet 0 adds them up.
    QTest::newRow("A表 两名合伙人合计")
        << "yjbb.xlsx"
        << QStringList{"0:6:6=10", "0:4:8=400000", "0:4:9=100000", "1:1:4='A", "1:3:4='自然人投资者", "1:4:4=70",
                       "1:8:4=21000", "1:1:5='B", "1:3:5='自然人投资者", "1:4:5=30", "1:8:5=21000", "1:14:5=250"}
        << QStringList{"0:2:5=2", "1:9:4=189000", "1:12:4=51400", "1:9:5=69000", "1:12:5=10950", "0:4:14=62350",
                       "0:4:15=62100"};
    QTest::newRow("C表 无其他所得") << "hzsbb.xlsx" << QStringList{"0:7:6=0"}
                                << QStringList{"0:7:19=0", "0:7:20=0", "0:7:24=0"};
    // Loss sheet: ledger figures in the helper block feed the table; this year's 40000 makes up
    // the 2006 loss (30000 left) first, then 10000 of the 2009 loss.
    QTest::newRow("弥补亏损明细表")
        << "czzs.xlsx"
        << QStringList{"3:3:12=2011", "3:4:7=50000", "3:5:7=50000", "3:16:10=10000", "3:17:10=10000",
                       "3:4:10=20000", "3:5:10=20000", "3:19:13=5000", "0:4:8=40000"}
        << QStringList{"3:3:7=2006", "3:3:11=2010", "3:10:7=20000", "3:11:7=30000", "3:12:7=30000", "3:9:10=5000",
                       "3:12:10=10000", "3:13:10=5000", "3:12:13=40000", "3:13:13=5000"};
    QTest::newRow("弥补亏损台账 年度倒推")
        << "mbkstz.xlsx" << QStringList{"0:6:3=2010", "0:2:5=100", "0:2:6=30", "0:2:7=20"}
        << QStringList{"0:2:3=2006", "0:5:3=2009", "0:2:10=50"};
}

void TstTemplates::taxFigures()
{
    QFETCH(QString, form);
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, expected);
    QString error;
    auto book = openTemplate(form, &error);
    QVERIFY2(book, qPrintable(error));
    enter(*book, inputs);
    book->recalculate();
    for (const QString &e : expected) {
        const int eq = e.indexOf(QLatin1Char('='));
        const Address a = parseAddress(e.left(eq));
        const QString want = e.mid(eq + 1);
        if (want.startsWith(QLatin1Char('\''))) {
            QCOMPARE(book->readText(a.col, a.row, a.sheet), want.mid(1));
        } else {
            const double got = book->readNumber(a.col, a.row, a.sheet);
            QVERIFY2(std::fabs(got - want.toDouble()) < 0.005,
                     qPrintable(QStringLiteral("%1: got %2 (\"%3\"), want %4")
                                    .arg(e.left(eq))
                                    .arg(got, 0, 'f', 4)
                                    .arg(book->readText(a.col, a.row, a.sheet), want)));
        }
    }
}

// Reviewers check the forms with formtool eval: the kind-3 check case through that path,
// shown text included.
void TstTemplates::formtoolEvalOnShippedTemplate()
{
    const QString tool = formtoolPath();
    QVERIFY2(!tool.isEmpty(), "formtool not built");
    QProcess p;
    p.start(tool, {QStringLiteral("eval"), templatePath(QStringLiteral("hzsbb.xlsx")), QStringLiteral("--set"),
                   QStringLiteral("0:7:6=60000"), QStringLiteral("--set"), QStringLiteral("0:7:7=110000"),
                   QStringLiteral("--get"), QStringLiteral("0:7:13"), QStringLiteral("--get"), QStringLiteral("0:7:18"),
                   QStringLiteral("--get"), QStringLiteral("0:7:20")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines, (QStringList{"0:7:13\t170,000.00\t170000", "0:7:18\t44,750.00\t44750",
                                 "0:7:20\t15,794.12\t15794.12"}));
}

// Every template carries its own copy of the five-level table: test each at the level edges.
void TstTemplates::bracketEdges_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QStringList>("setup"); // makes the income below the taxable income
    QTest::addColumn<QString>("income");
    QTest::addColumn<QString>("rateCell");
    QTest::addColumn<QString>("taxCell");
    QTest::addColumn<double>("taxable");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("tax");

    struct Form
    {
        const char *name, *file;
        QStringList setup;
        const char *income, *rate, *tax;
    };
    const Form forms[] = {
        {"A表", "yjbb.xlsx", {"0:6:6=10", "1:1:4='X", "1:4:4=100"}, "0:4:8", "1:10:4", "1:12:4"},
        {"清算", "qsbb.xlsx", {"1:1:4='X", "1:4:4=100"}, "0:4:6", "1:9:4", "1:11:4"},
        {"B表", "czzs.xlsx", {"1:1:5='X", "1:4:5=100"}, "0:4:8", "1:10:5", "1:12:5"},
        {"核定", "hdzs.xlsx", {"0:6:6=20", "0:4:11=100", "1:1:4='X", "1:4:4=100"}, "0:4:8", "1:10:4", "1:12:4"},
        {"C表", "hzsbb.xlsx", {}, "0:7:6", "0:7:16", "0:7:18"},
    };
    const struct
    {
        double taxable, rate, tax;
    } edges[] = {{-1000, 0, 0},         {0, 0, 0},             {15000, 0.05, 750},      {15000.01, 0.1, 750},
                 {30000, 0.1, 2250},    {30000.01, 0.2, 2250}, {60000, 0.2, 8250},      {60000.01, 0.3, 8250},
                 {100000, 0.3, 20250},  {100000.01, 0.35, 20250}, {150000, 0.35, 37750}, {12345.67, 0.05, 617.28}};
    for (const Form &f : forms)
        for (const auto &e : edges)
            QTest::addRow("%s %.2f", f.name, e.taxable)
                << f.file << f.setup << f.income << f.rate << f.tax << e.taxable << e.rate << e.tax;
}

void TstTemplates::bracketEdges()
{
    QFETCH(QString, form);
    QFETCH(QStringList, setup);
    QFETCH(QString, income);
    QFETCH(QString, rateCell);
    QFETCH(QString, taxCell);
    QFETCH(double, taxable);
    QFETCH(double, rate);
    QFETCH(double, tax);
    QString error;
    auto book = openTemplate(form, &error);
    QVERIFY2(book, qPrintable(error));
    enter(*book, setup + QStringList{income + QLatin1Char('=') + QString::number(taxable, 'f', 2)});
    book->recalculate();
    const Address r = parseAddress(rateCell), t = parseAddress(taxCell);
    QCOMPARE(book->readNumber(r.col, r.row, r.sheet), rate);
    QVERIFY2(std::fabs(book->readNumber(t.col, t.row, t.sheet) - tax) < 0.005,
             qPrintable(book->readText(t.col, t.row, t.sheet)));
}

// --- blank forms ------------------------------------------------------------------------------

void TstTemplates::blankTemplateShowsNoErrors_data()
{
    QTest::addColumn<QString>("form");
    for (const QString &f : kAllTemplates)
        QTest::newRow(qPrintable(f)) << f;
}

void TstTemplates::blankTemplateShowsNoErrors()
{
    QFETCH(QString, form);
    QString error;
    auto book = openTemplate(form, &error);
    QVERIFY2(book, qPrintable(error));
    book->recalculate();
    for (int s = 0; s < book->sheetCount(); ++s)
        for (const Cell *c : book->sheet(s)->sortedCells()) {
            if (c->formula < 0)
                continue;
            QVERIFY2(!c->value.isError(), qPrintable(QStringLiteral("%1:%2:%3 = %4 shows %5")
                                                         .arg(s)
                                                         .arg(c->col)
                                                         .arg(c->row)
                                                         .arg(book->formulaText(*c), errorText(c->value.error))));
        }
}

void TstTemplates::emptyInvestorRowsStayBlank_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<int>("lastCol");
    QTest::newRow("A表") << "yjbb.xlsx" << 4 << 53 << 15;
    QTest::newRow("清算") << "qsbb.xlsx" << 4 << 53 << 14;
    QTest::newRow("B表") << "czzs.xlsx" << 5 << 54 << 19;
    QTest::newRow("核定") << "hdzs.xlsx" << 4 << 53 << 19;
}

// With enterprise figures filled in but no investor listed, the investor rows show nothing.
void TstTemplates::emptyInvestorRowsStayBlank()
{
    QFETCH(QString, form);
    QFETCH(int, firstRow);
    QFETCH(int, lastRow);
    QFETCH(int, lastCol);
    QString error;
    auto book = openTemplate(form, &error);
    QVERIFY2(book, qPrintable(error));
    enter(*book, {"0:4:8=900000", "0:4:11=100000", "0:4:12=10"});
    book->recalculate();
    for (int row : {firstRow, firstRow + 1, lastRow})
        for (int col = 1; col <= lastCol; ++col) {
            const Cell *c = book->cell(col, row, 1);
            QVERIFY2(c, qPrintable(QStringLiteral("1:%1:%2 missing").arg(col).arg(row)));
            QVERIFY2(book->readText(col, row, 1).isEmpty(),
                     qPrintable(QStringLiteral("1:%1:%2 shows \"%3\"").arg(col).arg(row).arg(book->readText(col, row, 1))));
        }
}

void TstTemplates::formulasLockedInputsOpen_data()
{
    blankTemplateShowsNoErrors_data();
}

void TstTemplates::formulasLockedInputsOpen()
{
    QFETCH(QString, form);
    QString error;
    auto book = openTemplate(form, &error);
    QVERIFY2(book, qPrintable(error));
    int inputs = 0;
    for (int s = 0; s < book->sheetCount(); ++s)
        for (const Cell *c : book->sheet(s)->sortedCells()) {
            const bool locked = book->style(c->style).locked;
            if (c->formula >= 0)
                QVERIFY2(locked, qPrintable(QStringLiteral("formula %1:%2:%3 is open").arg(s).arg(c->col).arg(c->row)));
            if (c->value.type == ValueType::Text && !c->value.text.isEmpty() && c->formula < 0)
                QVERIFY2(locked, qPrintable(QStringLiteral("label %1:%2:%3 is open").arg(s).arg(c->col).arg(c->row)));
            inputs += locked ? 0 : 1;
        }
    QVERIFY(inputs > 0);
}

void TstTemplates::numberFormats_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("format");
    const QString amount = QStringLiteral("#,##0.00");
    QTest::newRow("A表 收入总额") << "yjbb.xlsx" << "0:4:8" << amount;
    QTest::newRow("A表 税率") << "yjbb.xlsx" << "1:10:4" << "0%";
    QTest::newRow("A表 应纳税额") << "yjbb.xlsx" << "1:12:4" << amount;
    QTest::newRow("B表 应纳税所得额") << "czzs.xlsx" << "1:5:5" << amount;
    QTest::newRow("B表 税率") << "czzs.xlsx" << "1:10:54" << "0%";
    QTest::newRow("B表 调整明细") << "czzs.xlsx" << "2:3:12" << amount;
    QTest::newRow("C表 税率") << "hzsbb.xlsx" << "0:7:16" << "0%";
    QTest::newRow("C表 占比") << "hzsbb.xlsx" << "0:7:19" << "0.00%";
    QTest::newRow("C表 本单位应纳税额") << "hzsbb.xlsx" << "0:7:20" << amount;
    QTest::newRow("核定 税率") << "hdzs.xlsx" << "1:10:4" << "0%";
    QTest::newRow("核定 应税所得率") << "hdzs.xlsx" << "1:9:4" << "0.00%";
    QTest::newRow("B表 年平均职工人数") << "czzs.xlsx" << "0:4:55" << "0";
    QTest::newRow("台账") << "mbkstz.xlsx" << "0:4:6" << amount;
}

void TstTemplates::numberFormats()
{
    QFETCH(QString, form);
    QFETCH(QString, cell);
    QFETCH(QString, format);
    QString error;
    auto book = openTemplate(form, &error);
    QVERIFY2(book, qPrintable(error));
    const Address a = parseAddress(cell);
    const Cell *c = book->cell(a.col, a.row, a.sheet);
    QVERIFY(c);
    QCOMPARE(book->style(c->style).numberFormat, format);
}

// Rows 6–9 of the ledger: a make-up year after the year before the declared year carries mark 5.
void TstTemplates::ledgerMarks()
{
    QString error;
    auto book = openTemplate(QStringLiteral("mbkstz.xlsx"), &error);
    QVERIFY2(book, qPrintable(error));
    const QSet<QPair<int, int>> marked = {{3, 9}, {4, 8}, {4, 9}, {5, 7}, {5, 8}, {5, 9}, {6, 6}, {6, 7}, {6, 8}, {6, 9}};
    for (int row = 3; row <= 10; ++row)
        for (int col = 2; col <= 6; ++col)
            QCOMPARE(book->readMark(col, row, 0), marked.contains({col, row}) ? 5 : 0);
}

// --- mapping rows -----------------------------------------------------------------------------

void TstTemplates::mappingRowsFitTemplates_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("table");
    QTest::newRow("季度预缴") << "yjbb.xlsx" << "wa_yjsheet";
    QTest::newRow("企业清算") << "qsbb.xlsx" << "wa_qssheet";
    QTest::newRow("汇总申报") << "hzsbb.xlsx" << "wa_hzsheet";
    QTest::newRow("查账征收") << "czzs.xlsx" << "wa_czzssheet";
    QTest::newRow("核定征收") << "hdzs.xlsx" << "wa_hdzssheet";
    QTest::newRow("合伙人为合伙企业明细") << "hhqymx.xlsx" << "wa_hhqymx";
}

void TstTemplates::mappingRowsFitTemplates()
{
    QFETCH(QString, form);
    QFETCH(QString, table);
    const QString tool = formtoolPath();
    QVERIFY2(!tool.isEmpty(), "formtool not built");
    QVERIFY2(QFile::exists(databasePath()), qPrintable(databasePath()));
    QProcess p;
    p.start(tool, {QStringLiteral("check"), templatePath(form), QStringLiteral("--db"), databasePath(),
                   QStringLiteral("--table"), table});
    QVERIFY(p.waitForFinished(60000));
    const QString output = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, qPrintable(output));
    QVERIFY2(output.trimmed().isEmpty(), qPrintable(output));
}

// The checker itself: a copy of the database with broken rows gets each of them reported.
void TstTemplates::checkReportsEveryMisfit()
{
    const QString tool = formtoolPath();
    QVERIFY2(!tool.isEmpty(), "formtool not built");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString db = dir.filePath(QStringLiteral("db.sqlite"));
    QVERIFY(QFile::copy(databasePath(), db));
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("broken"));
        c.setDatabaseName(db);
        QVERIFY(c.open());
        QSqlQuery q(c);
        const char *statements[] = {
            "delete from wa_yjsheet where sheet=0 and col=4 and row=8",          // input left without row
            "insert into wa_yjsheet(col,row,sheet,type,sField) values(4,10,0,1,'')", // text row on a formula
            "insert into wa_yjsheet(col,row,sheet,type,sField) values(30,70,0,2,'')", // no such cell
            "update wa_yjsheet set type=2 where sheet=0 and col=2 and row=3",     // number row on a text cell
            "update wa_yjsheet set type=6, sField='xx' where sheet=1 and col=3 and row=4", // unknown code table
            "insert into wa_yjsheet(col,row,sheet,type,sField) values(1,2,0,1,'')", // a caption
        };
        for (const char *s : statements)
            QVERIFY2(q.exec(QString::fromLatin1(s)), qPrintable(q.lastError().text()));
        c.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("broken"));

    QProcess p;
    p.start(tool, {QStringLiteral("check"), templatePath(QStringLiteral("yjbb.xlsx")), QStringLiteral("--db"), db,
                   QStringLiteral("--table"), QStringLiteral("wa_yjsheet")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList cells;
    for (const QString &l : lines)
        cells << l.section(QLatin1Char('\t'), 0, 0);
    cells.sort();
    QCOMPARE(cells, (QStringList{"0:1:2", "0:2:3", "0:30:70", "0:4:10", "0:4:8", "1:3:4"}));
}

// Cells the declaration window fills, takes over or reads back must be stored with the right type.
void TstTemplates::storedCellsTheProgramRelies_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("field");
    QTest::newRow("A表 企业名称(已加载标志)") << "wa_yjsheet" << "0:2:3" << 1 << "";
    QTest::newRow("A表 征收代码") << "wa_yjsheet" << "0:6:6" << 3 << "";
    QTest::newRow("A表 应税所得率") << "wa_yjsheet" << "0:4:12" << 3 << "";
    QTest::newRow("A表 末位投资者比例") << "wa_yjsheet" << "1:4:53" << 3 << "";
    QTest::newRow("A表 减除费用") << "wa_yjsheet" << "1:8:4" << 2 << "";
    QTest::newRow("清算 企业名称") << "wa_qssheet" << "0:3:3" << 1 << "";
    QTest::newRow("清算 资产明细") << "wa_qssheet" << "2:5:33" << 0 << ""; // a subtotal: not stored
    QTest::newRow("清算 资产明细输入") << "wa_qssheet" << "2:5:32" << 2 << "";
    QTest::newRow("C表 投资者姓名") << "wa_hzsheet" << "0:3:3" << 1 << "";
    QTest::newRow("C表 分配比例") << "wa_hzsheet" << "0:5:6" << 3 << "";
    QTest::newRow("C表 承接年度所得") << "wa_hzsheet" << "0:7:6" << 2 << "";
    QTest::newRow("C表 文档键") << "wa_hzsheet" << "0:1:24" << 1 << "";
    QTest::newRow("B表 投资者管理码") << "wa_czzssheet" << "1:1:54" << 1 << "";
    QTest::newRow("B表 应纳税所得额(汇总申报承接)") << "wa_czzssheet" << "1:5:5" << 2 << "";
    QTest::newRow("B表 其他费用") << "wa_czzssheet" << "1:7:20" << 2 << "";
    QTest::newRow("B表 减除费用") << "wa_czzssheet" << "1:8:20" << 2 << "";
    QTest::newRow("B表 纳税调整后所得") << "wa_czzssheet" << "0:4:45" << 2 << "";
    QTest::newRow("B表 年平均职工人数") << "wa_czzssheet" << "0:4:55" << 2 << "";
    QTest::newRow("B表 亏损表年度") << "wa_czzssheet" << "3:3:12" << 3 << "";
    QTest::newRow("B表 台账亏损额") << "wa_czzssheet" << "3:4:11" << 2 << "";
    QTest::newRow("B表 台账弥补额") << "wa_czzssheet" << "3:23:14" << 2 << "";
    QTest::newRow("核定 应税所得率") << "wa_hdzssheet" << "0:4:11" << 3 << "";
    QTest::newRow("核定 应纳税所得额(汇总申报承接)") << "wa_hdzssheet" << "1:5:53" << 2 << "";
    QTest::newRow("合伙明细 管理码(已加载标志)") << "wa_hhqymx" << "0:2:2" << 1 << "";
    QTest::newRow("合伙明细 投资者性质") << "wa_hhqymx" << "0:4:24" << 6 << "tzzxz";
    QTest::newRow("合伙明细 出资方式") << "wa_hhqymx" << "0:7:4" << 6 << "czfs";
}

void TstTemplates::storedCellsTheProgramRelies()
{
    QFETCH(QString, table);
    QFETCH(QString, cell);
    QFETCH(int, type);
    QFETCH(QString, field);
    const Address a = parseAddress(cell);
    withShippedDatabase([&](QSqlDatabase &db) {
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("select type, sField from %1 where sheet=%2 and col=%3 and row=%4")
                           .arg(table)
                           .arg(a.sheet)
                           .arg(a.col)
                           .arg(a.row)));
        if (type == 0) {
            QVERIFY(!q.next());
            return;
        }
        QVERIFY2(q.next(), "no mapping row");
        QCOMPARE(q.value(0).toInt(), type);
        QCOMPARE(q.value(1).toString(), field);
        QVERIFY(!q.next());
    });
}

// The annual electronic values are the stored rows of sheet 0 from row 8 on, one per line 8–55.
void TstTemplates::annualFileReadsOneRowPerLine()
{
    withShippedDatabase([](QSqlDatabase &db) {
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("select row, col, type from wa_czzssheet where sheet=0 and row>=8 order by row")));
        int expectedRow = 8;
        while (q.next()) {
            QCOMPARE(q.value(0).toInt(), expectedRow++);
            QCOMPARE(q.value(1).toInt(), 4);
            QCOMPARE(q.value(2).toInt(), 2);
        }
        QCOMPARE(expectedRow, 56);
    });
}

// rpt/*.xlsx and db/data/wa_*.tsv are written by mktemplates and committed: a hand edit or a
// generator change without regenerating shows here.
void TstTemplates::committedFilesAreGenerated()
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("mktemplates"),
                                                        {qEnvironmentVariable("LW_BIN") + QStringLiteral("/bin")});
    QVERIFY2(!tool.isEmpty(), "mktemplates not built");
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("rpt")));
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("db/data")));
    QProcess p;
    p.start(tool, {root.path()});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());

    QStringList files;
    for (const QString &t : kAllTemplates)
        files << QStringLiteral("rpt/") + t;
    for (const char *t : {"wa_yjsheet", "wa_qssheet", "wa_hzsheet", "wa_czzssheet", "wa_hdzssheet", "wa_hhqymx"})
        files << QStringLiteral("db/data/%1.tsv").arg(QLatin1String(t));
    for (const QString &f : files) {
        QFile generated(root.filePath(f)), committed(sourceDir() + QLatin1Char('/') + f);
        QVERIFY2(generated.open(QIODevice::ReadOnly), qPrintable(f));
        QVERIFY2(committed.open(QIODevice::ReadOnly), qPrintable(f));
        QVERIFY2(generated.readAll() == committed.readAll(), qPrintable(f + QStringLiteral(" differs: run mktemplates")));
    }
}

QTEST_GUILESS_MAIN(TstTemplates)
#include "tst_templates.moc"
