// SPDX-License-Identifier: GPL-3.0-or-later
#include "untMbksRpt.h"

#include "FormPrinting.h"
#include "MessageBoxes.h"
#include "NumberFormat.h"
#include "ReportKinds.h"
#include "TCell.h"
#include "UserInteraction.h"
#include "untDm.h"
#include "untProcess.h"

#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace lw {

namespace {
const char *const kAmountColumns[] = {"qysbks_je", "kmbks_je", "ks1_je", "ks2_je", "ks3_je", "ks4_je"};
}

TfrmMbksRpt::TfrmMbksRpt(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMbksRpt"));
    setWindowTitle(QStringLiteral("弥补亏损明细"));
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    resize(820, 420);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto add = [bar](const char *name, const QString &caption) {
        auto *b = new QToolButton(bar);
        b->setObjectName(QLatin1String(name));
        b->setText(caption);
        b->setAutoRaise(true);
        bar->addWidget(b);
        return b;
    };
    connect(add("TeSpBtnSetup", QStringLiteral("保存&S")), &QToolButton::clicked, this,
            [this] { RunGuarded([this] { TeSpBtnSetupClick(); }); });
    add("TeSpBtnSave", QStringLiteral("导出Excel")); // shown as on the declaration window; no action
    connect(add("TeSpBtnPrint", QStringLiteral("打印")), &QToolButton::clicked, this,
            [this] { RunGuarded([this] { PrintForm(*Cell1, windowTitle(), this); }); });
    connect(add("TeSpBtnPdf", QStringLiteral("导出PDF")), &QToolButton::clicked, this, [this] {
        RunGuarded([this] { ExportFormPdf(*Cell1, ProposedPdfName(windowTitle(), TaxCode, StartDate, EndDate)); });
    });
    connect(add("TeSpBtnExit", QStringLiteral("退出&Q")), &QToolButton::clicked, this, &QDialog::reject);
    layout->addWidget(bar);
    Cell1 = new TCell(this);
    Cell1->setObjectName(QStringLiteral("Cell1"));
    Cell1->setInteraction(&UserInteraction::current());
    layout->addWidget(Cell1, 1);
    connect(Cell1, &TCell::OnEditFinish, this, [this](TCell *, QString &, int &) { Saved = false; });
}

void TfrmMbksRpt::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown)
        RunGuarded([this] { FormShow(); });
}

QString TfrmMbksRpt::keyCondition() const
{
    return QStringLiteral(" where swglm=") + QuotedStr(TaxCode) + QStringLiteral(" and qsrq=") + QuotedStr(StartDate)
           + QStringLiteral(" and zzrq=") + QuotedStr(EndDate);
}

void TfrmMbksRpt::FormShow()
{
    m_shown = true;
    Cell1->OpenWorkbook(dm()->AppPath + QStringLiteral("rpt/mbkstz.xlsx"), QString());
    auto &q = dm()->adoQry1;
    q.select(QStringLiteral("select * from wa_mbksmxsheet") + keyCondition() + QStringLiteral(" order by nd"));
    Cell1->WriteCellNumber(6, 3, 0, StartDate.left(4).toDouble() - 1);
    int k = 0;
    for (q.First(); !q.Eof(); q.Next(), ++k) {
        for (int r = 0; r < 6; ++r)
            Cell1->WriteCellNumber(2 + k, 4 + r, 0, q.FieldByName(QLatin1String(kAmountColumns[r])).toDouble());
    }
    Cell1->RecalculateWorkbook();
    for (int row = 6; row <= 9; ++row) {
        for (int col = 3; col <= 6; ++col) {
            if (Cell1->ReadCellMark(col, row, 0) == NotApplicableMark)
                Cell1->WriteCellText(col, row, 0, QStringLiteral("*"));
        }
    }
    Saved = true;
}

void TfrmMbksRpt::TeSpBtnSetupClick()
{
    ProgressScope progress(QStringLiteral("正在保存数据，请稍侯..."));
    Cell1->CommitPendingEdit();
    auto &q = dm()->adoQry1;
    q.select(QStringLiteral("select * from wa_mbksmxsheet") + keyCondition());
    const bool exists = !q.IsEmpty();
    DbTransaction transaction(dm()->adoConn);
    for (int c = 2; c <= 6; ++c) {
        // The year goes into the statement bare: take it as a number, never as the cell's text.
        const QString nd = FormatGeneral(Cell1->ReadCellNumber(c, 3, 0));
        QStringList amounts;
        for (int r = 4; r <= 9; ++r)
            amounts << FormatGeneral(Cell1->ReadCellNumber(c, r, 0));
        if (!exists) {
            q.exec(QStringLiteral("insert into wa_mbksmxsheet (swglm,qsrq,zzrq,nd,qysbks_je,kmbks_je,ks1_je,ks2_je,ks3_je,ks4_je) values (")
                   + QuotedStr(TaxCode) + QStringLiteral(",") + QuotedStr(StartDate) + QStringLiteral(",")
                   + QuotedStr(EndDate) + QStringLiteral(",") + nd + QStringLiteral(",") + amounts.join(QLatin1Char(','))
                   + QStringLiteral(")"));
        } else {
            QString set;
            for (int r = 0; r < 6; ++r)
                set += (r ? QStringLiteral(",") : QString()) + QLatin1String(kAmountColumns[r]) + QLatin1Char('=') + amounts[r];
            q.exec(QStringLiteral("update wa_mbksmxsheet set ") + set + keyCondition() + QStringLiteral(" and nd=") + nd);
        }
    }
    transaction.commit();
}

} // namespace lw
