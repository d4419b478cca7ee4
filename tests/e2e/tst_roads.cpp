// SPDX-License-Identifier: GPL-3.0-or-later
// A user's whole road from a fresh installation: the windows are the real ones, the bureau is the
// simulator on loopback, and every prompt is answered by script.
#include "Clock.h"
#include "Filing.h"
#include "MessageBoxes.h"
#include "ModalDriver.h"
#include "ScriptedInteraction.h"
#include "SimServer.h"
#include "TCell.h"
#include "TestEnv.h"
#include "UntMySoap.h"
#include "XmlDoc.h"
#include "untDm.h"
#include "untMain.h"
#include "untMbksRpt.h"
#include "untPsn.h"
#include "untPsnDetail.h"
#include "untRpt.h"
#include "untSelpsn.h"
#include "untWebLogin.h"

#include <QAbstractButton>
#include <QCryptographicHash>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace lw;
using namespace lw::test;

namespace {

const QString kCode = QStringLiteral("440106700012345");
const QString kPassword = QStringLiteral("123456");
const QString kRefused = QStringLiteral("为了确保申报信息准确，请检查企业信息准确，并上传企业信息之后，再进行填写申报表！");

QString firstColumn(const QString &sql)
{
    AdoQuery &q = dm()->ADOQuery1;
    q.select(sql);
    QStringList out;
    for (q.First(); !q.Eof(); q.Next())
        out << q.FieldByName(q.columnNames().first()).toString();
    return out.join(QLatin1Char(','));
}

void click(QWidget *window, const char *name)
{
    auto *button = window->findChild<QAbstractButton *>(QLatin1String(name));
    QVERIFY2(button, name);
    QVERIFY2(button->isEnabled(), name);
    button->click();
}

// Types into a cell the way a user does: select it, open the editor, type, confirm.
void typeCell(TCell *cell, int sheet, int col, int row, const QString &text)
{
    cell->setActiveSheet(sheet);
    cell->setCurrentCell(col, row);
    QVERIFY2(cell->beginEdit(QString(), true), qPrintable(QStringLiteral("(%1,%2,%3) refuses input").arg(col).arg(row).arg(sheet)));
    QTest::keyClicks(cell->editor(), text);
    cell->commitEdit();
    QVERIFY(!cell->isEditing());
}

// The investor rows of the quarterly form by their tax management code.
QMap<QString, int> investorRows(TCell *cell)
{
    QMap<QString, int> rows;
    for (int r = 4; r <= 53; ++r) {
        const QString code = cell->ReadCellText(1, r, 1).trimmed();
        if (!code.isEmpty())
            rows.insert(code, r);
    }
    return rows;
}

} // namespace

class TestRoads : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TfrmWebLogin::setWaitMilliseconds(0);
        TMySoap::setTimeouts(2, 5);
        InstallFilingProcedures();
    }
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_env->copyFromStage(QStringLiteral("rpt"));
        m_env->copyFromStage(QStringLiteral("jpg"));
        m_env->copyFromStage(QStringLiteral("running.gif"));
        m_ui = std::make_unique<ScriptedInteraction>();
        m_ui->setStrict(true);
        m_dm = std::make_unique<Tdm>();
        QVERIFY(m_dm->connected());
        m_sim = std::make_unique<SimServer>();
        QVERIFY(m_sim->start());
        WriteAuditCfg(m_sim->host());
        Clock::setFixed(QDateTime(QDate(2018, 5, 10), QTime(9, 30)));
    }
    void cleanup()
    {
        // Lets a modal driver's closing timer fire before the next case.
        QTest::qWait(20);
        Clock::reset();
        QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(QLatin1Char('|'))));
        m_sim.reset();
        m_dm.reset();
        m_ui.reset();
        m_env.reset();
    }

    void partnershipQuarterly();
    void annualThenConsolidated();

private:
    std::function<void(QWidget *)> login();
    void downloadEnterprise();
    void changeInvestor(const QString &investor);
    void uploadEnterprise();
    std::unique_ptr<TfrmRpt> openDeclaration(TfrmMain &main, int kind);

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<ScriptedInteraction> m_ui;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<SimServer> m_sim;
};

std::function<void(QWidget *)> TestRoads::login()
{
    ScriptedInteraction *ui = m_ui.get();
    return [ui](QWidget *w) {
        auto *code = w->findChild<QLineEdit *>(QStringLiteral("edtSwglm"));
        auto *password = w->findChild<QLineEdit *>(QStringLiteral("edtPassword"));
        QVERIFY(code && password);
        code->clear();
        QTest::keyClicks(code, kCode);
        QTest::keyClicks(password, kPassword);
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("bbtnOK")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible() || !ui->shown.isEmpty(), 10000);
    };
}

void TestRoads::downloadEnterprise()
{
    TfrmPsn form;
    form.show();
    {
        ModalDriver driver(QStringLiteral("frmWebLogin"), login(), 15000);
        click(&form, "TeSpBtnDownload");
        QVERIFY2(driver.ran(), qPrintable(m_ui->texts().join(QLatin1Char('|'))));
    }
    QCOMPARE(m_ui->texts(), QStringList{});
    QCOMPARE(firstColumn(QStringLiteral("select swglm from psn")), kCode);
    QCOMPARE(firstColumn(QStringLiteral("select count(*) from hhrtzqk where shbj='Y'")), QStringLiteral("5"));
    QCOMPARE(form.findChild<QTableWidget *>(QStringLiteral("DBGridEh1"))->rowCount(), 5);
}

// Opens the investor in the detail dialog from the enterprise window and changes its telephone.
void TestRoads::changeInvestor(const QString &investor)
{
    TfrmPsn form;
    form.show();
    auto *grid = form.findChild<QTableWidget *>(QStringLiteral("DBGridEh1"));
    int row = -1;
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 0; c < grid->columnCount(); ++c)
            if (grid->item(r, c) && grid->item(r, c)->text() == investor)
                row = r;
    QVERIFY2(row >= 0, qPrintable(investor));
    grid->setCurrentCell(row, 0);
    ModalDriver driver(QStringLiteral("frmPsnDetail"), [investor](QWidget *dialog) {
        auto *detail = static_cast<TfrmPsnDetail *>(dialog);
        QCOMPARE(detail->edit(QStringLiteral("inv"), QStringLiteral("hhrswglm"))->text(), investor);
        QLineEdit *phone = detail->edit(QStringLiteral("inv"), QStringLiteral("lxfs"));
        phone->selectAll();
        QTest::keyClicks(phone, QStringLiteral("13800138000"));
        QTest::mouseClick(dialog->findChild<QAbstractButton *>(QStringLiteral("bbtnOK")), Qt::LeftButton);
    });
    click(&form, "TeSpBtnModify");
    QVERIFY(driver.ran());
    QCOMPARE(m_ui->texts(), QStringList{QStringLiteral("投资者信息已修改，请及时上传信息！")});
    m_ui->clear();
    QCOMPARE(firstColumn(QStringLiteral("select lxfs||'|'||shbj from hhrtzqk where hhrswglm='%1'").arg(investor)),
             QStringLiteral("13800138000|N"));
    QCOMPARE(firstColumn(QStringLiteral("select count(*) from hhrtzqk where shbj='N'")), QStringLiteral("1"));
}

void TestRoads::uploadEnterprise()
{
    TfrmPsn form;
    form.show();
    form.findChild<QTabWidget *>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    {
        ModalDriver driver(QStringLiteral("frmWebLogin"), login(), 15000);
        click(&form, "TeSpBtnUpload");
        QVERIFY2(driver.ran(), qPrintable(m_ui->texts().join(QLatin1Char('|'))));
    }
    QCOMPARE(m_ui->texts(), QStringList{QStringLiteral("恭喜,电子数据上传成功！")});
    m_ui->clear();
    QCOMPARE(firstColumn(QStringLiteral("select count(*) from hhrtzqk where shbj='N'")), QStringLiteral("0"));
    QVERIFY(m_sim->request(QStringLiteral("uploadfile")).contains("uploadfile"));
}

// The main window's entry, wired as the program wires it, but the form is shown unmodal so the
// test can work in it.
std::unique_ptr<TfrmRpt> TestRoads::openDeclaration(TfrmMain &main, int kind)
{
    std::unique_ptr<TfrmRpt> form;
    QMetaObject::Connection c = QObject::connect(&main, &TfrmMain::declarationRequested, &main, [&form](int k) {
        form = std::make_unique<TfrmRpt>();
        form->ReportKind = k;
        form->show();
    });
    const bool opened = main.OpenDeclaration(kind);
    QObject::disconnect(c);
    if (!opened)
        return nullptr;
    return form;
}

void TestRoads::partnershipQuarterly()
{
    downloadEnterprise();
    if (QTest::currentTestFailed())
        return;
    const QString changed = QStringLiteral("440106197803152"); // 陈志明, 30 %
    changeInvestor(changed);
    if (QTest::currentTestFailed())
        return;

    TfrmMain main;
    // Every declaration entry is refused while an investor waits for its upload.
    for (int kind = 1; kind <= 5; ++kind)
        QVERIFY(!openDeclaration(main, kind));
    QCOMPARE(m_ui->texts(), QStringList(5, kRefused));
    m_ui->clear();

    uploadEnterprise();
    if (QTest::currentTestFailed())
        return;

    std::unique_ptr<TfrmRpt> w = openDeclaration(main, 1);
    QVERIFY(w);
    QCOMPARE(m_ui->texts(), QStringList{});
    QCOMPARE(w->findChild<QLineEdit *>(QStringLiteral("qsrqDateEdit"))->text(), QStringLiteral("2018-04-01"));
    QCOMPARE(w->findChild<QLineEdit *>(QStringLiteral("zzrqDateEdit"))->text(), QStringLiteral("2018-06-30"));
    click(w.get(), "TeSpBtnInport");
    QCOMPARE(m_ui->texts(), QStringList{});
    TCell *cell = w->CellInfo;
    QCOMPARE(cell->ReadCellText(5, 4, 0), kCode);
    const QMap<QString, int> rows = investorRows(cell);
    QCOMPARE(rows.size(), 5);
    QVERIFY(rows.contains(changed));

    // 收入 800 000, 成本 500 000, 以前年度亏损 20 000: base 280 000. The changed partner takes
    // 30 % = 84 000, less a deduction of 10 500 (three months) = 73 500 at 30 % − 9 750 = 12 300
    // tax, 5 000 of it prepaid.
    typeCell(cell, 0, 4, 8, QStringLiteral("800000"));
    typeCell(cell, 0, 4, 9, QStringLiteral("500000"));
    typeCell(cell, 0, 4, 11, QStringLiteral("20000"));
    const int r = rows.value(changed);
    typeCell(cell, 1, 6, r, QStringLiteral("3"));
    typeCell(cell, 1, 8, r, QStringLiteral("10500"));
    typeCell(cell, 1, 14, r, QStringLiteral("5000"));
    QCOMPARE(m_ui->texts(), QStringList{});
    QVERIFY(!w->Saved);
    QCOMPARE(cell->ReadCellNumber(4, 10, 0), 300000.0);
    QCOMPARE(cell->ReadCellNumber(4, 13, 0), 280000.0);

    // Every partner's share of 280 000 at 30/25/15/20/10 %; the legal person pays no individual tax.
    struct Expected
    {
        double share, taxable, tax, due;
    };
    const QMap<QString, Expected> expected = {
        {changed, {84000, 73500, 12300, 7300}},
        {QStringLiteral("440104198209213"), {70000, 70000, 11250, 11250}},
        {QStringLiteral("440105198512304"), {42000, 42000, 4650, 4650}},
        {QStringLiteral("91440101MA5AK7Q"), {56000, 0, 0, 0}},
        {QStringLiteral("91440300MA5F3LP"), {28000, 28000, 2050, 2050}},
    };
    double dueTotal = 0;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const int row = rows.value(it.key());
        QVERIFY2(row, qPrintable(it.key()));
        QCOMPARE(cell->ReadCellNumber(5, row, 1), it->share);
        QCOMPARE(cell->ReadCellNumber(9, row, 1), it->taxable);
        QCOMPARE(cell->ReadCellNumber(12, row, 1), it->tax);
        QCOMPARE(cell->ReadCellNumber(15, row, 1), it->due);
        dueTotal += it->due;
    }
    QCOMPARE(dueTotal, 25250.0);

    click(w.get(), "TeSpBtnSetup");
    QCOMPARE(m_ui->texts(), QStringList{});
    QVERIFY(w->Saved);

    m_ui->answer(IdYes);
    click(w.get(), "ToolButton2");
    QCOMPARE(m_ui->texts(), (QStringList{QStringLiteral("是否确认上传电子数据？"), QStringLiteral("恭喜,电子数据申报成功！")}));
    m_ui->clear();

    // What the bureau kept holds the figures as typed and as the form computed them.
    const QByteArray kept = m_sim->readData(QStringLiteral("uploads/DATA_YJBB_") + kCode + QStringLiteral(".xml"));
    QVERIFY(!kept.isEmpty());
    const XmlDoc doc = XmlDoc::fromBytes(kept);
    const XmlNode root = doc.child(1);
    QCOMPARE(root.child(1).text(), kCode);
    QCOMPARE(root.child(2).text(), QStringLiteral("2018-04-01"));
    QCOMPARE(root.child(3).text(), QStringLiteral("2018-06-30"));
    QCOMPARE(root.child(4).text(), QStringLiteral("2018-05-10"));
    const QStringList enterprise = {"800000", "500000", "300000", "20000", "0", "280000"};
    QCOMPARE(root.child(5).childCount(), enterprise.size());
    for (int i = 0; i < enterprise.size(); ++i)
        QCOMPARE(root.child(5).child(i).text(), enterprise.at(i));
    const XmlNode list = root.child(6);
    QCOMPARE(list.childCount(), 5);
    QSet<QString> seen;
    for (int i = 0; i < list.childCount(); ++i) {
        const XmlNode row = list.child(i);
        const QString code = row.child(0).text();
        QVERIFY2(expected.contains(code), qPrintable(code));
        seen.insert(code);
        const Expected e = expected.value(code);
        QCOMPARE(row.child(4).text(), QString::number(e.share, 'g', 15));
        QCOMPARE(row.child(8).text(), QString::number(e.taxable, 'g', 15));
        QCOMPARE(row.child(11).text(), QString::number(e.tax, 'g', 15));
        QCOMPARE(row.child(14).text(), QString::number(e.due, 'g', 15));
        if (code == changed) {
            QCOMPARE(row.child(5).text(), QStringLiteral("3"));
            QCOMPARE(row.child(7).text(), QStringLiteral("10500"));
            QCOMPARE(row.child(13).text(), QStringLiteral("5000"));
        }
    }
    QCOMPARE(seen.size(), 5);

    // The electronic file, sealed with the code and the total still due.
    QTemporaryDir out;
    m_ui->answerFileName(out.filePath(QStringLiteral("季度预缴")));
    click(w.get(), "ToolButton1");
    QCOMPARE(m_ui->texts(), QStringList{QStringLiteral("恭喜,生成电子数据文件成功！")});
    const XmlDoc file = XmlDoc::fromFile(out.filePath(QStringLiteral("季度预缴.xml")));
    const XmlNode main1 = file.child(1).child(1);
    QCOMPARE(main1.child(8).childCount(), 5);
    const QByteArray sealed = (kCode + QStringLiteral("25250.00")).toUtf8();
    QCOMPARE(main1.child(7).text(), QString::fromLatin1(QCryptographicHash::hash(sealed, QCryptographicHash::Md5).toHex()));
}

// The annual audit-based form with the loss of 2016 from the ledger, then the consolidated
// declaration of one partner taking the annual figure over; both uploaded.
void TestRoads::annualThenConsolidated()
{
    downloadEnterprise();
    if (QTest::currentTestFailed())
        return;
    const QString partner = QStringLiteral("440106197803152"); // 陈志明, 30 %
    TfrmMain main;
    std::unique_ptr<TfrmRpt> w = openDeclaration(main, 4);
    QVERIFY(w);
    QCOMPARE(w->findChild<QLineEdit *>(QStringLiteral("qsrqDateEdit"))->text(), QStringLiteral("2017-01-01"));
    QCOMPARE(w->findChild<QLineEdit *>(QStringLiteral("zzrqDateEdit"))->text(), QStringLiteral("2017-12-31"));
    click(w.get(), "TeSpBtnInport");
    QCOMPARE(m_ui->texts(), QStringList{});
    TCell *cell = w->CellInfo;

    // The ledger's last year is the one before the period: 2016 lost 50 000, 40 000 of it may be made up.
    cell->setActiveSheet(3);
    ModalDriver ledger(QStringLiteral("frmMbksRpt"), [](QWidget *dialog) {
        auto *l = static_cast<TfrmMbksRpt *>(dialog);
        QCOMPARE(l->Cell1->ReadCellNumber(6, 3, 0), 2016.0);
        typeCell(l->Cell1, 0, 6, 4, QStringLiteral("50000"));
        typeCell(l->Cell1, 0, 6, 5, QStringLiteral("40000"));
        click(l, "TeSpBtnSetup");
    });
    click(w.get(), "Button2");
    QVERIFY(ledger.ran());
    QCOMPARE(m_ui->texts(), QStringList{});
    QCOMPARE(cell->ReadCellNumber(3, 11, 3), 2016.0);
    QCOMPARE(cell->ReadCellNumber(4, 11, 3), 50000.0);
    QCOMPARE(cell->ReadCellNumber(5, 11, 3), 40000.0);

    // Line 1 1 200 000, line 4 950 000, line 14 30 000: adjusted income 280 000, of which the
    // loss sheet makes up 40 000 this year; line 39 takes that figure.
    typeCell(cell, 0, 4, 8, QStringLiteral("1200000"));
    typeCell(cell, 0, 4, 11, QStringLiteral("950000"));
    typeCell(cell, 0, 4, 21, QStringLiteral("30000"));
    QCOMPARE(cell->ReadCellNumber(4, 45, 0), 280000.0);
    QCOMPARE(cell->ReadCellNumber(12, 11, 3), 40000.0);
    typeCell(cell, 0, 4, 46, QStringLiteral("40000"));
    // The partner: (280 000 − 40 000) × 30 % − 42 000 = 30 000 at 10 % − 750 = 2 250.
    int row = 0;
    for (int r = 5; r <= 54 && !row; ++r)
        if (cell->ReadCellText(1, r, 1) == partner)
            row = r;
    QVERIFY(row);
    typeCell(cell, 1, 8, row, QStringLiteral("42000"));
    QCOMPARE(m_ui->texts(), QStringList{});
    QCOMPARE(cell->ReadCellNumber(5, row, 1), 30000.0);
    QCOMPARE(cell->ReadCellNumber(12, row, 1), 2250.0);

    click(w.get(), "TeSpBtnSetup");
    m_ui->answer(IdYes);
    click(w.get(), "ToolButton2");
    QCOMPARE(m_ui->texts(), (QStringList{QStringLiteral("是否确认上传电子数据？"), QStringLiteral("恭喜,电子数据申报成功！")}));
    m_ui->clear();
    {
        const XmlDoc doc = XmlDoc::fromBytes(m_sim->readData(QStringLiteral("uploads/DATA_CZZS_") + kCode + QStringLiteral(".xml")));
        const XmlNode root = doc.child(1);
        QCOMPARE(root.child(1).text(), kCode);
        QCOMPARE(root.child(6).childCount(), 5);
        bool found = false;
        for (int i = 0; i < root.child(6).childCount(); ++i) {
            const XmlNode r = root.child(6).child(i);
            if (r.child(0).text() != partner)
                continue;
            found = true;
            QCOMPARE(r.child(4).text(), QStringLiteral("30000"));
            QCOMPARE(r.child(7).text(), QStringLiteral("42000"));
            QCOMPARE(r.child(11).text(), QStringLiteral("2250"));
        }
        QVERIFY(found);
        // The loss sheet's year 2016: reported, may be made up, made up this year.
        const XmlNode year = root.child(8).child(4);
        QCOMPARE(year.child(0).text(), QStringLiteral("2016"));
        QCOMPARE(year.child(1).text(), QStringLiteral("50000"));
        QCOMPARE(year.child(2).text(), QStringLiteral("40000"));
        QCOMPARE(year.child(9).text(), QStringLiteral("40000"));
    }
    w.reset();

    std::unique_ptr<TfrmRpt> c = openDeclaration(main, 3);
    QVERIFY(c);
    c->setPeriod(QStringLiteral("2017-01-01"), QStringLiteral("2017-12-31"));
    ModalDriver pick(QStringLiteral("frmSelpsn"), [partner](QWidget *dialog) {
        auto *picker = static_cast<TfrmSelpsn *>(dialog);
        for (int i = 0; i < picker->rowCount(); ++i) {
            picker->setCurrentRow(i);
            if (picker->currentRow().value(QStringLiteral("hhrswglm")).toString() == partner)
                break;
        }
        QCOMPARE(picker->currentRow().value(QStringLiteral("hhrswglm")).toString(), partner);
        click(picker, "bbtnOK");
    });
    click(c.get(), "TeSpBtnModify");
    QVERIFY(pick.ran());
    QCOMPARE(m_ui->texts(), QStringList{});
    QCOMPARE(c->CellInfo->ReadCellText(5, 4, 0), partner);
    QCOMPARE(c->CellInfo->ReadCellNumber(7, 6, 0), 30000.0);
    QCOMPARE(c->CellInfo->ReadCellNumber(7, 20, 0), 2250.0);
    click(c.get(), "TeSpBtnSetup");
    m_ui->answer(IdYes);
    click(c.get(), "ToolButton2");
    QCOMPARE(m_ui->texts(), (QStringList{QStringLiteral("是否确认上传电子数据？"), QStringLiteral("恭喜,电子数据申报成功！")}));
    const XmlDoc doc = XmlDoc::fromBytes(m_sim->readData(QStringLiteral("uploads/DATA_HZBB_") + kCode + QStringLiteral(".xml")));
    const XmlNode root = doc.child(1);
    QCOMPARE(root.child(1).text(), kCode);
    QCOMPARE(root.child(2).text(), partner);
    QCOMPARE(root.child(9).text(), QStringLiteral("30000"));  // this enterprise's taxable income
    QCOMPARE(root.child(30).text(), QStringLiteral("30000")); // the total
    QCOMPARE(root.child(35).text(), QStringLiteral("2250"));  // the tax
    QCOMPARE(root.child(37).text(), QStringLiteral("2250"));  // this enterprise's part of it
}

QTEST_MAIN(TestRoads)
#include "tst_roads.moc"
