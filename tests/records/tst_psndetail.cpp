// SPDX-License-Identifier: GPL-3.0-or-later
// The investor detail dialog: the change test that marks an investor for upload, the saving
// checks, the nature rule, the key filter and the member form without checks.
#include "ModalDriver.h"
#include "MessageBoxes.h"
#include "ScriptedInteraction.h"
#include "TestEnv.h"
#include "UntHhrqk.h"
#include "untDm.h"
#include "untPsnDetail.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

using namespace lw;

namespace {
const QString kFormat = QStringLiteral("格式：包含数字，字母，汉字，下划线，中划线，空格，小括号，中括号，逗号，点号，反斜号，百分号，冒号!");
const QString kChanged = QStringLiteral("投资者信息已修改，请及时上传信息！");
}

class TestPsnDetail : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void changeTest_data();
    void changeTest();
    void okWithoutEditingSavesNothing();
    void partnershipOpensMemberList();
    void savingChecks_data();
    void savingChecks();
    void keyFilter();
    void natureRule_data();
    void natureRule();
    void memberSavedWithoutChecks();
    void nonFiniteAmountRefused_data();
    void nonFiniteAmountRefused();

private:
    QVariant stored(qint64 id, const QString &column, const QString &table = QStringLiteral("hhrtzqk"));
    static void type(QLineEdit *e, const QString &text);
    static void choose(QComboBox *box, const QString &code);
    std::unique_ptr<test::TestEnv> m_env;
    std::unique_ptr<test::ScriptedInteraction> m_ui;
    std::unique_ptr<Tdm> m_dm;
};

void TestPsnDetail::init()
{
    m_env = std::make_unique<test::TestEnv>();
    m_ui = std::make_unique<test::ScriptedInteraction>();
    m_dm = std::make_unique<Tdm>();
    auto &q = dm()->adoQry1;
    q.exec(QStringLiteral("insert into psn (swglm, nsr_mc) values ('440106700012345','穗禾咨询')"));
    // 1 and 2 differ only in the payment account; 3 has no payment account stored; 4 is a partnership.
    q.exec(QStringLiteral("insert into hhrtzqk (id,swdjjbxx_id,hhrswglm,hhr_mc,tzzxz,tzzdz,lxfs,czfs,jkzh,sfbqyhj,nsjd,tz_je,shbj) values "
                          "(1,'440106700012345','440106000000001','张三','01','广州市天河路1号','020-1','1','111','0','02',1000,'Y'),"
                          "(2,'440106700012345','440106000000002','李四','01','广州市天河路1号','020-1','1','222','0','02',2000,'Y'),"
                          "(3,'440106700012345','440106000000003','王五','01','广州市天河路1号','020-1','1',null,'0','02',3000,'Y'),"
                          "(4,'440106700012345','440106000000004','禾丰合伙','03','广州市天河路9号','020-9','1','444','0',null,4000,'Y')"));
    q.exec(QStringLiteral("update hhrtzqk set gj_dm='ZZZ'"));
}

void TestPsnDetail::cleanup()
{
    m_dm.reset();
    m_ui.reset();
    m_env.reset();
}

QVariant TestPsnDetail::stored(qint64 id, const QString &column, const QString &table)
{
    auto &q = dm()->ADOQuery1;
    q.select(QStringLiteral("select %1 from %2 where id=%3").arg(column, table).arg(id));
    return q.FieldByName(column);
}

void TestPsnDetail::type(QLineEdit *e, const QString &text)
{
    e->setText(text);
    emit e->textEdited(text);
}

void TestPsnDetail::choose(QComboBox *box, const QString &code)
{
    const int index = box->findData(code);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void TestPsnDetail::changeTest_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shbj");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("account no investor has") << 1 << "jkzh" << "999" << "N" << QStringList{kChanged};
    QTest::newRow("values another investor holds") << 1 << "jkzh" << "222" << "Y" << QStringList{};
    QTest::newRow("retyped, unchanged") << 1 << "tzzdz" << "广州市天河路1号" << "Y" << QStringList{};
    QTest::newRow("stored null never matches") << 3 << "tzzdz" << "广州市天河路1号" << "N" << QStringList{kChanged};
}

void TestPsnDetail::changeTest()
{
    QFETCH(int, id);
    QFETCH(QString, column);
    QFETCH(QString, text);
    QFETCH(QString, shbj);
    QFETCH(QStringList, messages);
    TfrmPsnDetail form;
    form.OpenInvestor(id);
    type(form.edit(QStringLiteral("inv"), column), text);
    form.bbtnOKClick();
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(m_ui->texts(), messages);
    QCOMPARE(stored(id, QStringLiteral("shbj")).toString(), shbj);
    QCOMPARE(stored(id, column).toString(), text);
    // Only the edited investor is marked; an untouched null stays null.
    QCOMPARE(stored(id == 1 ? 2 : 1, QStringLiteral("shbj")).toString(), QStringLiteral("Y"));
    if (id == 3)
        QVERIFY(stored(3, QStringLiteral("jkzh")).isNull());
    // A code no list holds is shown blank but kept.
    QCOMPARE(stored(id, QStringLiteral("gj_dm")).toString(), QStringLiteral("ZZZ"));
}

void TestPsnDetail::okWithoutEditingSavesNothing()
{
    dm()->adoQry1.exec(QStringLiteral("update hhrtzqk set tzzdz=null where id=1"));
    TfrmPsnDetail form;
    form.OpenInvestor(1);
    form.bbtnOKClick(); // the empty address is not checked: nothing is saved
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(m_ui->texts(), QStringList{});
    QCOMPARE(stored(1, QStringLiteral("shbj")).toString(), QStringLiteral("Y"));
    QVERIFY(stored(1, QStringLiteral("tzzdz")).isNull());
}

void TestPsnDetail::partnershipOpensMemberList()
{
    TfrmPsnDetail form;
    form.OpenInvestor(4);
    QString partner;
    int kind = 0;
    bool newShown = false, selectShown = true;
    test::ModalDriver members(QStringLiteral("frmhhrqk"), [&](QWidget *w) {
        auto *list = static_cast<Tfrmhhrqk *>(w);
        kind = list->TableKind;
        partner = list->PartnerCode;
        newShown = list->button("TeSpBtnNew")->isVisible();
        selectShown = list->button("TeSpBtnSelect")->isVisible();
        QCOMPARE(list->windowTitle(), QStringLiteral("合伙人为合伙企业明细表"));
        list->reject();
    });
    form.bbtnOKClick();
    QVERIFY(members.ran());
    QCOMPARE(kind, 3);
    QCOMPARE(partner, QStringLiteral("440106000000004"));
    QVERIFY(newShown);
    QVERIFY(!selectShown);
    QCOMPARE(form.result(), int(QDialog::Accepted));
}

void TestPsnDetail::savingChecks_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("message");
    QTest::newRow("nature") << "tzzxz" << "投资者性质不能为空！";
    QTest::newRow("contribution") << "czfs" << "出资方式不能为空！";
    QTest::newRow("address") << "tzzdz" << "投资者地址不能为空！";
    QTest::newRow("contact") << "lxfs" << "联系方式不能为空！";
    QTest::newRow("consolidated filing") << "sfbqyhj" << "是否在本企业汇缴不能为空！";
}

void TestPsnDetail::savingChecks()
{
    QFETCH(QString, column);
    QFETCH(QString, message);
    // Every check after the failing one would fail too: the first in order wins.
    dm()->adoQry1.exec(QStringLiteral("update hhrtzqk set tzzxz=null,czfs=null,tzzdz=null,lxfs=null,sfbqyhj=null where id=1"));
    const QStringList order{"tzzxz", "czfs", "tzzdz", "lxfs", "sfbqyhj"};
    const QStringList values{"01", "1", "地址", "电话", "0"};
    TfrmPsnDetail form;
    form.OpenInvestor(1);
    type(form.edit(QStringLiteral("inv"), QStringLiteral("jkzh")), QStringLiteral("999"));
    for (int i = 0; i < order.indexOf(column); ++i) {
        if (auto *e = form.edit(QStringLiteral("inv"), order.at(i)))
            type(e, values.at(i));
        else
            choose(form.list(QStringLiteral("inv"), order.at(i)), values.at(i));
    }
    form.bbtnOKClick();
    QCOMPARE(m_ui->texts(), QStringList{message});
    QCOMPARE(form.focusWidget()->objectName(), QStringLiteral("inv_") + column);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(stored(1, QStringLiteral("jkzh")).toString(), QStringLiteral("111"));
    QCOMPARE(stored(1, QStringLiteral("shbj")).toString(), QStringLiteral("Y"));
}

void TestPsnDetail::keyFilter()
{
    TfrmPsnDetail form;
    form.OpenInvestor(1);
    form.show();
    QLineEdit *address = form.edit(QStringLiteral("inv"), QStringLiteral("tzzdz"));
    address->setText(QStringLiteral("路"));
    for (char c : QByteArray("!#$&'*?^~@"))
        QTest::keyClick(address, c);
    QCOMPARE(address->text(), QStringLiteral("路"));
    QCOMPARE(m_ui->texts(), QStringList(10, kFormat));
    m_ui->clear();
    QTest::keyClick(address, '+');
    QTest::sendKeyEvent(QTest::Click, address, Qt::Key_unknown, QStringLiteral("号"), Qt::NoModifier);
    QTest::keyClick(address, '%');
    QCOMPARE(address->text(), QStringLiteral("路+号%"));
    QCOMPARE(m_ui->texts(), QStringList{});
    // Pasted text passes the same filter: the refused characters are dropped, once told.
    QGuiApplication::clipboard()->setText(QStringLiteral("#1号@楼"));
    address->end(false);
    address->paste();
    QCOMPARE(address->text(), QStringLiteral("路+号%1号楼"));
    QCOMPARE(m_ui->texts(), QStringList{kFormat});
    m_ui->clear();
    // The enterprise code field is not filtered (and not editable anyway).
    QVERIFY(!form.edit(QStringLiteral("inv"), QStringLiteral("swdjjbxx_id"))->isEnabled());
}

void TestPsnDetail::natureRule_data()
{
    QTest::addColumn<QString>("nature");
    QTest::addColumn<QString>("nsjd");
    QTest::newRow("natural person") << "01" << "02";
    QTest::newRow("legal person") << "02" << "01";
    QTest::newRow("partnership") << "03" << "";
}

void TestPsnDetail::natureRule()
{
    QFETCH(QString, nature);
    QFETCH(QString, nsjd);
    TfrmPsnDetail form;
    form.OpenInvestor(2);
    choose(form.list(QStringLiteral("inv"), QStringLiteral("tzzxz")), nature);
    QVERIFY(form.investorEditing());
    QComboBox *assessment = form.list(QStringLiteral("inv"), QStringLiteral("nsjd"));
    QCOMPARE(assessment->currentIndex() < 0 ? QString() : assessment->currentData().toString(), nsjd);
    QCOMPARE(stored(2, QStringLiteral("nsjd")).toString(), QStringLiteral("02")); // not saved yet
}

void TestPsnDetail::memberSavedWithoutChecks()
{
    TfrmPsnDetail form;
    form.ShowMemberGroup();
    form.InsertMember(QStringLiteral("440106000000004"));
    QCOMPARE(form.edit(QStringLiteral("mx"), QStringLiteral("swdjjbxx_id"))->text(), QStringLiteral("440106000000004"));
    type(form.edit(QStringLiteral("mx"), QStringLiteral("hhr_mc")), QStringLiteral("赵六"));
    type(form.edit(QStringLiteral("mx"), QStringLiteral("tz_je")), QStringLiteral("1234.5"));
    form.bbtnOKClick();
    QCOMPARE(m_ui->texts(), QStringList{});
    QCOMPARE(form.result(), int(QDialog::Accepted));
    auto &q = dm()->ADOQuery1;
    q.select(QStringLiteral("select * from hhqymx"));
    QCOMPARE(q.RecordCount(), 1);
    QCOMPARE(q.text(QStringLiteral("swdjjbxx_id")), QStringLiteral("440106000000004"));
    QCOMPARE(q.text(QStringLiteral("hhr_mc")), QStringLiteral("赵六"));
    QCOMPARE(q.FieldByName(QStringLiteral("tz_je")).toDouble(), 1234.5);
    const qint64 id = q.FieldByName(QStringLiteral("id")).toLongLong();

    TfrmPsnDetail again;
    again.ShowMemberGroup();
    again.OpenMember(id);
    QCOMPARE(again.edit(QStringLiteral("mx"), QStringLiteral("tz_je"))->text(), QStringLiteral("1234.5"));
    type(again.edit(QStringLiteral("mx"), QStringLiteral("lxfs")), QStringLiteral("139"));
    again.bbtnOKClick();
    QCOMPARE(stored(id, QStringLiteral("lxfs"), QStringLiteral("hhqymx")).toString(), QStringLiteral("139"));
    QCOMPARE(stored(id, QStringLiteral("hhr_mc"), QStringLiteral("hhqymx")).toString(), QStringLiteral("赵六"));
    QCOMPARE(m_ui->texts(), QStringList{});
}

void TestPsnDetail::nonFiniteAmountRefused_data()
{
    QTest::addColumn<QString>("typed");
    for (const char *text : {"inf", "-inf", "nan", "1e400", " INF "})
        QTest::newRow(text) << QString::fromLatin1(text);
}

void TestPsnDetail::nonFiniteAmountRefused()
{
    QFETCH(QString, typed);
    TfrmPsnDetail form;
    form.ShowMemberGroup();
    form.InsertMember(QStringLiteral("440106000000004"));
    type(form.edit(QStringLiteral("mx"), QStringLiteral("tz_je")), typed);
    RunGuarded([&form] { form.bbtnOKClick(); });
    QCOMPARE(m_ui->texts(), QStringList{QStringLiteral("“%1”不是有效的数值！").arg(typed)});
    QVERIFY(form.result() != QDialog::Accepted);
    dm()->ADOQuery1.select(QStringLiteral("select count(*) as n from hhqymx"));
    QCOMPARE(dm()->ADOQuery1.FieldByName(QStringLiteral("n")).toInt(), 0);
}

QTEST_MAIN(TestPsnDetail)
#include "tst_psndetail.moc"
