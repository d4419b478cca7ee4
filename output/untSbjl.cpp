// SPDX-License-Identifier: GPL-3.0-or-later
#include "untSbjl.h"

#include "AdoQuery.h"
#include "GridExport.h"
#include "MessageBoxes.h"
#include "untDm.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace lw {

namespace {
const char *const kColumns[] = {"时间", "类别", "申报表", "所属期起", "所属期止", "文件", "结果"};
} // namespace

TfrmSbjl::TfrmSbjl(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSbjl"));
    setWindowTitle(QStringLiteral("申报记录"));
    resize(980, 520);
    auto *layout = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("申报表种类"), this));
    cbKind = new QComboBox(this);
    cbKind->setObjectName(QStringLiteral("cbKind"));
    const QStringList kinds = {QStringLiteral("全部"), QStringLiteral("季度预缴"), QStringLiteral("企业清算"), QStringLiteral("汇总申报"),
                               QStringLiteral("年度汇缴"), QStringLiteral("合伙人为合伙企业明细")};
    for (int k = 0; k < kinds.size(); ++k)
        cbKind->addItem(kinds.at(k), k);
    bar->addWidget(cbKind);
    bar->addStretch();
    auto *exportButton = new QPushButton(QStringLiteral("导出"), this);
    exportButton->setObjectName(QStringLiteral("TeSpBtnExport"));
    auto *closeButton = new QPushButton(QStringLiteral("退出"), this);
    closeButton->setObjectName(QStringLiteral("TeSpBtnExit"));
    bar->addWidget(exportButton);
    bar->addWidget(closeButton);
    layout->addLayout(bar);

    DBGridEh1 = new QTableWidget(this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setColumnCount(int(std::size(kColumns)));
    QStringList titles;
    for (const char *c : kColumns)
        titles << QString::fromUtf8(c);
    DBGridEh1->setHorizontalHeaderLabels(titles);
    DBGridEh1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGridEh1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGridEh1->verticalHeader()->hide();
    layout->addWidget(DBGridEh1, 1);

    connect(cbKind, &QComboBox::currentIndexChanged, this, [this] { RunGuarded([this] { RefreshTable(); }); });
    connect(exportButton, &QPushButton::clicked, this, [this] { RunGuarded([this] { TeSpBtnExportClick(); }); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    RunGuarded([this] { RefreshTable(); });
}

void TfrmSbjl::RefreshTable()
{
    QString sql = QStringLiteral("select * from sbjl");
    if (const int kind = cbKind->currentData().toInt())
        sql += QStringLiteral(" where bblx=%1").arg(kind);
    sql += QStringLiteral(" order by sj desc, jlid desc");
    auto &q = dm()->ADOQuery1;
    q.select(sql);
    DBGridEh1->setRowCount(0);
    int row = 0;
    for (q.First(); !q.Eof(); q.Next(), ++row) {
        const bool upload = q.text(QStringLiteral("jllx")) == QStringLiteral("上传");
        const bool done = q.FieldByName(QStringLiteral("cg")).toInt() == 1;
        QString result;
        if (!upload)
            result = QStringLiteral("已生成");
        else if (done)
            result = QStringLiteral("上传成功");
        else
            result = QStringLiteral("上传失败：") + q.text(QStringLiteral("jg"));
        const QStringList cells = {q.text(QStringLiteral("sj")), q.text(QStringLiteral("jllx")), q.text(QStringLiteral("bbmc")),
                                   q.text(QStringLiteral("qsrq")), q.text(QStringLiteral("zzrq")),
                                   q.text(QStringLiteral("wjm")).replace(QLatin1Char('\n'), QStringLiteral("；")), result};
        DBGridEh1->insertRow(row);
        for (int c = 0; c < cells.size(); ++c)
            DBGridEh1->setItem(row, c, new QTableWidgetItem(cells.at(c)));
    }
    DBGridEh1->resizeColumnsToContents();
}

void TfrmSbjl::TeSpBtnExportClick()
{
    ExportGridWithDialog(DBGridEh1, QStringLiteral("申报记录"));
}

} // namespace lw
