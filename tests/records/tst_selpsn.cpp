// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedInteraction.h"
#include "TestEnv.h"
#include "untDm.h"
#include "untSelpsn.h"

#include <QCheckBox>
#include <QTableWidget>
#include <QTest>

using namespace lw;

class TestSelpsn : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void listsByModeInDescendingOrder_data();
    void listsByModeInDescendingOrder();
    void openingClearsEveryTick();
    void selectAllThenNone();
    void okOnEmptyListStaysOpen();
    void currentRowCarriesEnterpriseColumns();
    void amountsInGeneralFormat_data();
    void amountsInGeneralFormat();

private:
    int tickedInDatabase();
    std::unique_ptr<test::TestEnv> m_env;
    std::unique_ptr<test::ScriptedInteraction> m_ui;
    std::unique_ptr<Tdm> m_dm;
};

void TestSelpsn::init()
{
    m_env = std::make_unique<test::TestEnv>();
    m_ui = std::make_unique<test::ScriptedInteraction>();
    m_dm = std::make_unique<Tdm>();
    auto &q = dm()->adoQry1;
    q.exec(QStringLiteral("insert into psn (swglm, nsr_mc, nsrsbh, zsfs_dm) values ('370100000000009','济南明湖会计师事务所','91370100MA3C000001','10')"));
    const char *rows[][4] = {{"370102198001010011", "张三", "0", "01"},
                             {"370102198502020022", "李四", "1", "01"},
                             {"370102199003030033", "王五", "0", "02"},
                             {"370102000000000044", "其他企业", "0", "03"}};
    for (const auto &r : rows)
        q.exec(QStringLiteral("insert into hhrtzqk (swdjjbxx_id,hhrswglm,hhr_mc,sfbqyhj,tzzxz,zjzl_mc,fp_bl,bFlag) values "
                              "('370100000000009','%1','%2','%3','%4','居民身份证',25,true)")
                   .arg(QLatin1String(r[0]), QString::fromUtf8(r[1]), QLatin1String(r[2]), QLatin1String(r[3])));
    // An investor of another enterprise: never listed, but its tick is cleared too.
    q.exec(QStringLiteral("insert into hhrtzqk (swdjjbxx_id,hhrswglm,hhr_mc,sfbqyhj,bFlag) values ('OTHER','1','甲','0',true)"));
}

void TestSelpsn::cleanup()
{
    m_dm.reset();
    m_ui.reset();
    m_env.reset();
}

int TestSelpsn::tickedInDatabase()
{
    dm()->ADOQuery1.select(QStringLiteral("select count(*) as n from hhrtzqk where bFlag"));
    return dm()->ADOQuery1.FieldByName(QStringLiteral("n")).toInt();
}

void TestSelpsn::listsByModeInDescendingOrder_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("single choice: settles here") << 0 << QStringList{"370102199003030033", "370102198001010011", "370102000000000044"};
    QTest::newRow("mode 2: all investors") << 2 << QStringList{"370102199003030033", "370102198502020022", "370102198001010011", "370102000000000044"};
}

void TestSelpsn::listsByModeInDescendingOrder()
{
    QFETCH(int, mode);
    QFETCH(QStringList, codes);
    TfrmSelpsn picker;
    picker.PickMode = mode;
    picker.FormShow();
    QStringList listed;
    for (int r = 0; r < picker.rowCount(); ++r) {
        picker.setCurrentRow(r);
        listed << picker.currentRow().value(QStringLiteral("hhrswglm")).toString();
    }
    QCOMPARE(listed, codes);
    auto *grid = picker.findChild<QTableWidget *>(QStringLiteral("DBGridEh1"));
    QCOMPARE(grid->item(0, 4)->text(), QStringLiteral("法人投资者")); // nature shown by name
}

void TestSelpsn::openingClearsEveryTick()
{
    QCOMPARE(tickedInDatabase(), 5);
    TfrmSelpsn picker;
    picker.FormShow();
    QCOMPARE(tickedInDatabase(), 0);
    QVERIFY(!picker.isTicked(0));
}

void TestSelpsn::selectAllThenNone()
{
    TfrmSelpsn picker;
    picker.PickMode = 2;
    picker.setSelectAllVisible(true);
    picker.FormShow();
    auto *all = picker.findChild<QCheckBox *>(QStringLiteral("cbAll"));
    auto *none = picker.findChild<QCheckBox *>(QStringLiteral("cbNone"));
    QVERIFY(none->isChecked());
    all->setChecked(true);
    QVERIFY(!none->isChecked());
    QCOMPARE(tickedInDatabase(), 4);
    none->setChecked(true);
    QVERIFY(!all->isChecked());
    QCOMPARE(tickedInDatabase(), 0);
    none->setChecked(false); // unchecking by hand acts too: still none ticked
    QCOMPARE(tickedInDatabase(), 0);
    picker.setTicked(1, true);
    QCOMPARE(tickedInDatabase(), 1);
}

void TestSelpsn::okOnEmptyListStaysOpen()
{
    dm()->adoQry1.exec(QStringLiteral("delete from hhrtzqk"));
    TfrmSelpsn picker;
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    picker.bbtnOKClick();
    QVERIFY(picker.isVisible());
    QCOMPARE(picker.result(), 0);
}

void TestSelpsn::currentRowCarriesEnterpriseColumns()
{
    TfrmSelpsn picker;
    picker.FormShow();
    picker.setCurrentRow(1);
    const QVariantMap row = picker.currentRow();
    QCOMPARE(row.value(QStringLiteral("hhr_mc")).toString(), QStringLiteral("张三"));
    QCOMPARE(row.value(QStringLiteral("zjzl_mc")).toString(), QStringLiteral("居民身份证"));
    QCOMPARE(row.value(QStringLiteral("nsr_mc")).toString(), QStringLiteral("济南明湖会计师事务所"));
    QCOMPARE(row.value(QStringLiteral("zsfs_dm")).toString(), QStringLiteral("10"));
    QCOMPARE(row.value(QStringLiteral("swglm")).toString(), QStringLiteral("370100000000009"));
}

void TestSelpsn::amountsInGeneralFormat_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("single choice") << 0;
    QTest::newRow("mode 2") << 2;
}

void TestSelpsn::amountsInGeneralFormat()
{
    QFETCH(int, mode);
    dm()->adoQry1.exec(QStringLiteral("update hhrtzqk set tz_je=100000, fp_bl=0.5 where hhrswglm='370102198001010011'"));
    dm()->adoQry1.exec(QStringLiteral("update hhrtzqk set tz_je=150000.5 where hhrswglm='370102199003030033'"));
    TfrmSelpsn picker;
    picker.PickMode = mode;
    picker.FormShow();
    auto *grid = picker.findChild<QTableWidget *>(QStringLiteral("DBGridEh1"));
    QMap<QString, QString> amounts, ratios;
    for (int r = 0; r < grid->rowCount(); ++r) {
        amounts.insert(grid->item(r, 1)->text(), grid->item(r, 5)->text());
        ratios.insert(grid->item(r, 1)->text(), grid->item(r, 6)->text());
    }
    QCOMPARE(amounts.value(QStringLiteral("370102198001010011")), QStringLiteral("100000"));
    QCOMPARE(amounts.value(QStringLiteral("370102199003030033")), QStringLiteral("150000.5"));
    QCOMPARE(ratios.value(QStringLiteral("370102198001010011")), QStringLiteral("0.5"));
    QCOMPARE(ratios.value(QStringLiteral("370102199003030033")), QStringLiteral("25"));
}

QTEST_MAIN(TestSelpsn)
#include "tst_selpsn.moc"
