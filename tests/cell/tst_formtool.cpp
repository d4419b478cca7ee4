// SPDX-License-Identifier: GPL-3.0-or-later
// formtool as form authors and reviewers call it, on a small template.
#include "PdfText.h"
#include "XlsxFixture.h"

#include <QFile>

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace lw::test;

class TestFormtool : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_file;

    struct Run
    {
        int status;
        QString out;
        QString err;
    };

    static Run formtool(const QStringList &args)
    {
        QProcess p;
        p.start(qEnvironmentVariable("LW_STAGE") + QStringLiteral("/formtool"), args);
        if (!p.waitForFinished(20000))
            return {-1, QString(), QStringLiteral("timed out")};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

private slots:
    void initTestCase()
    {
        // 主表: B1 amount input, B2 ratio input, B3 text input,
        // B5 a label built from text, B6 the rate and B7 the tax of the bracket, C1 marked not applicable.
        const QByteArray sheet =
            "<sheetData>"
            "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>应纳税所得额</t></is></c><c r=\"B1\" s=\"1\"><v>0</v></c><c r=\"C1\" s=\"3\"/></row>"
            "<row r=\"2\"><c r=\"B2\" s=\"2\"><v>100</v></c></row>"
            "<row r=\"3\"><c r=\"B3\" s=\"2\"/></row>"
            "<row r=\"5\"><c r=\"B5\"><f>IF(B3=\"\",\"无\",\"纳税人：\"&amp;B3)</f></c></row>"
            "<row r=\"6\"><c r=\"B6\" s=\"4\"><f>IF(B1&lt;=15000,0.05,IF(B1&lt;=30000,0.1,0.2))</f></c></row>"
            "<row r=\"7\"><c r=\"B7\" s=\"1\"><f>ROUND(B1*B2/100*B6-IF(B6=0.05,0,IF(B6=0.1,750,3750)),2)</f></c></row>"
            "</sheetData>";
        m_file = writeFixture(m_dir.path(), QStringLiteral("form.xlsx"),
                              zipParts(workbookParts({sheet}, standardStyles(), QByteArray(), QByteArray(), {QStringLiteral("主表")})));
    }

    void evalPrintsTextAndNumber()
    {
        const Run r = formtool({QStringLiteral("eval"), m_file, QStringLiteral("--set"), QStringLiteral("0:2:1=35000"),
                                QStringLiteral("--text"), QStringLiteral("0:2:3=张三"), QStringLiteral("--get"),
                                QStringLiteral("0:2:7"), QStringLiteral("--get"), QStringLiteral("0:2:6"),
                                QStringLiteral("--get"), QStringLiteral("0:2:5"), QStringLiteral("--get"),
                                QStringLiteral("0:4:9")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("0:2:7\t3,250.00\t3250\n"
                                       "0:2:6\t20%\t0.2\n"
                                       "0:2:5\t纳税人：张三\t0\n"
                                       "0:4:9\t\t0\n"));
    }

    void dumpListsCellsThenInputsAndMarks()
    {
        const Run r = formtool({QStringLiteral("dump"), m_file});
        QCOMPARE(r.status, 0);
        const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(lines.contains(QStringLiteral("0:1:1\ttext\t应纳税所得额")));
        QVERIFY(lines.contains(QStringLiteral("0:2:2\tnumber\t100")));
        QVERIFY(lines.contains(QStringLiteral("0:2:5\tformula\t=IF(B3=\"\",\"无\",\"纳税人：\"&B3)")));
        QVERIFY(lines.contains(QStringLiteral("0:2:1\tinput\tmark=0")));
        QVERIFY(lines.contains(QStringLiteral("0:3:1\tinput\tmark=5")));
        QVERIFY(!lines.contains(QStringLiteral("0:2:3\ttext\t"))); // empty cells are not listed
    }

    void badInputExitsWithTwo_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{QStringLiteral("frob")};
        QTest::newRow("missing file") << QStringList{QStringLiteral("eval"), QStringLiteral("/nonexistent/x.xlsx")};
        QTest::newRow("bad address") << QStringList{QStringLiteral("eval"), QStringLiteral("@FILE"), QStringLiteral("--get"), QStringLiteral("0:B:1")};
        QTest::newRow("bad number") << QStringList{QStringLiteral("eval"), QStringLiteral("@FILE"), QStringLiteral("--set"), QStringLiteral("0:2:1=abc")};
        QTest::newRow("missing value") << QStringList{QStringLiteral("eval"), QStringLiteral("@FILE"), QStringLiteral("--get")};
        QTest::newRow("no such sheet") << QStringList{QStringLiteral("eval"), QStringLiteral("@FILE"), QStringLiteral("--get"), QStringLiteral("3:1:1")};
        QTest::newRow("bad repeat") << QStringList{QStringLiteral("bench"), QStringLiteral("@FILE"), QStringLiteral("--repeat"), QStringLiteral("0")};
        QTest::newRow("pdf without output") << QStringList{QStringLiteral("pdf"), QStringLiteral("@FILE")};
        QTest::newRow("pdf into a missing folder") << QStringList{QStringLiteral("pdf"), QStringLiteral("@FILE"), QStringLiteral("/nonexistent/x.pdf")};
        QTest::newRow("pdf of no such sheet") << QStringList{QStringLiteral("pdf"), QStringLiteral("@FILE"), QStringLiteral("@DIR/x.pdf"), QStringLiteral("--sheet"), QStringLiteral("3")};
    }

    void badInputExitsWithTwo()
    {
        QFETCH(QStringList, args);
        args.replaceInStrings(QStringLiteral("@FILE"), m_file);
        args.replaceInStrings(QStringLiteral("@DIR"), m_dir.path());
        const Run r = formtool(args);
        QCOMPARE(r.status, 2);
        QVERIFY(!r.err.isEmpty());
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("x.pdf"))));
    }

    // The printout with the inputs of eval: the amounts as the cells format them.
    void pdfPrintsTheFormAsShown()
    {
        const QString out = m_dir.filePath(QStringLiteral("form.pdf"));
        const Run r = formtool({QStringLiteral("pdf"), m_file, out, QStringLiteral("--set"), QStringLiteral("0:2:1=900"),
                                QStringLiteral("--text"), QStringLiteral("0:2:3=张三")});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QString text = pdfText(out);
        QVERIFY2(!text.isEmpty(), "pdftotext (poppler-utils) is missing or cannot read the file");
        QVERIFY2(text.contains(QStringLiteral("900.00")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("纳税人：张三")));
        QVERIFY(text.contains(QStringLiteral("45.00")));
        QVERIFY(text.contains(QStringLiteral("应纳税所得额第1页共1页")));
    }

    void benchPrintsOpenAndRecalcTimes()
    {
        const Run r = formtool({QStringLiteral("bench"), m_file, QStringLiteral("--repeat"), QStringLiteral("5")});
        QCOMPARE(r.status, 0);
        const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(QStringLiteral("open_ms=")));
        QVERIFY(lines[1].startsWith(QStringLiteral("recalc_ms=")));
    }
};

QTEST_GUILESS_MAIN(TestFormtool)
#include "tst_formtool.moc"
