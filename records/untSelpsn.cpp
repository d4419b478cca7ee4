// SPDX-License-Identifier: GPL-3.0-or-later
#include "untSelpsn.h"

#include "MessageBoxes.h"
#include "NumberFormat.h"
#include "untDm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace lw {

namespace {
enum Column { Tick, Code, Name, Certificate, Nature, Amount, Ratio, ColumnCount };
}

TfrmSelpsn::TfrmSelpsn(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSelpsn"));
    setWindowTitle(QStringLiteral("选择投资者"));
    resize(720, 420);
    auto *layout = new QVBoxLayout(this);

    auto *top = new QHBoxLayout;
    cbAll = new QCheckBox(QStringLiteral("全选"), this);
    cbAll->setObjectName(QStringLiteral("cbAll"));
    cbNone = new QCheckBox(QStringLiteral("全否"), this);
    cbNone->setObjectName(QStringLiteral("cbNone"));
    cbNone->setChecked(true);
    top->addWidget(cbAll);
    top->addWidget(cbNone);
    top->addStretch();
    layout->addLayout(top);
    // Every change acts, also unchecking by hand.
    connect(cbAll, &QCheckBox::toggled, this, [this] { if (!m_filling) RunGuarded([this] { cbAllClick(); }); });
    connect(cbNone, &QCheckBox::toggled, this, [this] { if (!m_filling) RunGuarded([this] { cbNoneClick(); }); });

    DBGridEh1 = new QTableWidget(0, ColumnCount, this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setHorizontalHeaderLabels({QStringLiteral("选择"), QStringLiteral("税务管理码"), QStringLiteral("中文姓名"),
                                          QStringLiteral("证件编号"), QStringLiteral("投资者性质"), QStringLiteral("投资金额"),
                                          QStringLiteral("分配比例")});
    DBGridEh1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGridEh1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGridEh1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGridEh1->verticalHeader()->hide();
    DBGridEh1->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(DBGridEh1, 1);
    connect(DBGridEh1, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (!m_filling && item->column() == Tick)
            RunGuarded([this, item] { setTicked(item->row(), item->checkState() == Qt::Checked); });
    });
    connect(DBGridEh1, &QTableWidget::cellDoubleClicked, this, [this] {
        if (cbAll->isHidden())
            RunGuarded([this] { bbtnOKClick(); });
    });

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    auto *bbtnOK = new QPushButton(QStringLiteral("确定"), this);
    bbtnOK->setObjectName(QStringLiteral("bbtnOK"));
    auto *bbtnCancel = new QPushButton(QStringLiteral("取消"), this);
    bbtnCancel->setObjectName(QStringLiteral("bbtnCancel"));
    bottom->addWidget(bbtnOK);
    bottom->addWidget(bbtnCancel);
    layout->addLayout(bottom);
    connect(bbtnOK, &QPushButton::clicked, this, [this] { RunGuarded([this] { bbtnOKClick(); }); });
    connect(bbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmSelpsn::setTickColumnVisible(bool visible)
{
    DBGridEh1->setColumnHidden(Tick, !visible);
}

void TfrmSelpsn::setSelectAllVisible(bool visible)
{
    cbAll->setVisible(visible);
    cbNone->setVisible(visible);
}

QString TfrmSelpsn::listStatement() const
{
    if (PickMode == 2)
        return QStringLiteral("select a.*,b.nsr_mc,b.nsrsbh,b.swglm,b.zsfs_dm from hhrtzqk a,psn b where a.swdjjbxx_id=b.swglm   order by hhrswglm desc");
    return QStringLiteral("select a.*,b.nsr_mc,b.nsrsbh,b.swglm,b.zsfs_dm from hhrtzqk a,psn b where a.swdjjbxx_id=b.swglm and sfbqyhj='0'  order by hhrswglm desc");
}

void TfrmSelpsn::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown)
        RunGuarded([this] { FormShow(); });
}

void TfrmSelpsn::FormShow()
{
    m_shown = true;
    auto &q = dm()->adoQry1;
    // Ticks left by an earlier use are cleared in every investor, listed or not.
    q.exec(QStringLiteral("update hhrtzqk set bFlag=false"));
    q.select(QStringLiteral("select c_tzzxzcode, c_tzzxzname from wa_tzzxz"));
    m_natureNames.clear();
    for (q.First(); !q.Eof(); q.Next())
        m_natureNames.insert(q.text(QStringLiteral("c_tzzxzcode")), q.text(QStringLiteral("c_tzzxzname")));
    openList();
}

void TfrmSelpsn::openList()
{
    auto &q = dm()->adoQry1;
    q.select(listStatement());
    m_rows.clear();
    const QStringList columns = q.columnNames();
    for (q.First(); !q.Eof(); q.Next()) {
        QVariantMap row;
        // psn's swglm joins the investor's own columns under its plain name.
        for (const QString &c : columns)
            row.insert(c, q.FieldByName(c));
        m_rows.append(row);
    }
    m_filling = true;
    DBGridEh1->setRowCount(int(m_rows.size()));
    for (int r = 0; r < m_rows.size(); ++r) {
        const QVariantMap &row = m_rows.at(r);
        auto *tick = new QTableWidgetItem;
        tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        tick->setCheckState(row.value(QStringLiteral("bFlag")).toBool() ? Qt::Checked : Qt::Unchecked);
        DBGridEh1->setItem(r, Tick, tick);
        auto text = [&row](const char *f) { return row.value(QLatin1String(f)).toString(); };
        DBGridEh1->setItem(r, Code, new QTableWidgetItem(text("hhrswglm")));
        DBGridEh1->setItem(r, Name, new QTableWidgetItem(text("hhr_mc")));
        DBGridEh1->setItem(r, Certificate, new QTableWidgetItem(text("zjhm")));
        DBGridEh1->setItem(r, Nature, new QTableWidgetItem(m_natureNames.value(text("tzzxz"), text("tzzxz"))));
        // Amounts in the general number format: QVariant's own text of a double uses an exponent.
        auto *amount = new QTableWidgetItem(FormatStoredValue(row.value(QStringLiteral("tz_je"))));
        amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        DBGridEh1->setItem(r, Amount, amount);
        auto *ratio = new QTableWidgetItem(FormatStoredValue(row.value(QStringLiteral("fp_bl"))));
        ratio->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        DBGridEh1->setItem(r, Ratio, ratio);
    }
    m_filling = false;
    DBGridEh1->resizeColumnsToContents();
    if (!m_rows.isEmpty())
        DBGridEh1->selectRow(0);
}

int TfrmSelpsn::rowCount() const
{
    return int(m_rows.size());
}

void TfrmSelpsn::setCurrentRow(int row)
{
    DBGridEh1->selectRow(row);
}

QVariantMap TfrmSelpsn::currentRow() const
{
    const int r = DBGridEh1->currentRow();
    return r >= 0 && r < m_rows.size() ? m_rows.at(r) : QVariantMap();
}

bool TfrmSelpsn::isTicked(int row) const
{
    return DBGridEh1->item(row, Tick)->checkState() == Qt::Checked;
}

void TfrmSelpsn::setTicked(int row, bool ticked)
{
    m_filling = true;
    DBGridEh1->item(row, Tick)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    m_filling = false;
    m_rows[row].insert(QStringLiteral("bFlag"), ticked);
    dm()->adoQry1.exec(QStringLiteral("update hhrtzqk set bFlag=") + (ticked ? QStringLiteral("true") : QStringLiteral("false"))
                       + QStringLiteral(" where id=") + QString::number(m_rows.at(row).value(QStringLiteral("id")).toLongLong()));
}

void TfrmSelpsn::tickAll(bool ticked)
{
    for (int r = 0; r < m_rows.size(); ++r)
        setTicked(r, ticked);
}

void TfrmSelpsn::cbAllClick()
{
    if (cbAll->isChecked()) {
        m_filling = true;
        cbNone->setChecked(false);
        m_filling = false;
    }
    tickAll(true);
}

void TfrmSelpsn::cbNoneClick()
{
    if (cbNone->isChecked()) {
        m_filling = true;
        cbAll->setChecked(false);
        m_filling = false;
    }
    tickAll(false);
}

void TfrmSelpsn::bbtnOKClick()
{
    if (m_rows.isEmpty())
        return;
    accept();
}

} // namespace lw
