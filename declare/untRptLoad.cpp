// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a period into the declaration window: the first load copies the form's mapping rows and
// fills the header and list cells from the enterprise, investor and partnership tables; a period
// stored before is shown from its rows.
#include "untRpt.h"

#include "FormValues.h"
#include "MessageBoxes.h"
#include "TCell.h"
#include "untDm.h"
#include "untProcess.h"
#include "untSelpsn.h"

namespace lw {

namespace {
const QString kLoading = QStringLiteral("正在加载数据，请稍侯...");

// A stored code such as "10" written as a number.
double codeNumber(const QString &text)
{
    return text.trimmed().toDouble();
}
} // namespace

void TfrmRpt::TeSpBtnInportClick()
{
    QString qsrq, zzrq;
    if (!periodStrings(qsrq, zzrq))
        return;
    if (!Saved) {
        WarnBox(QStringLiteral("请先保存数据，然后再重新加载数据！"));
        return;
    }
    const ReportKindInfo info = kindInfo();
    const FormValues values(info.workingTable, qsrq, zzrq);
    if (values.hasStoredValues()) {
        ProgressScope progress(kLoading);
        values.ShowStoredValues(*CellInfo);
    } else {
        if (ReportKind == 5) {
            dm()->adoQry1.select(QStringLiteral("select * from hhqymx "));
            if (dm()->adoQry1.IsEmpty()) {
                WarnBox(QStringLiteral("如果投资者信息中选择了投资者性质为合伙企业，并填写合伙人为合伙企业表，然后再重新加载数据！"));
                return;
            }
        }
        values.copyMapping(info.mappingTable);
        {
            ProgressScope progress(kLoading);
            switch (ReportKind) {
            case 1:
            case 4:
                fillEnterprise(qsrq, zzrq);
                fillInvestors();
                break;
            case 2:
                fillLiquidation(qsrq, zzrq);
                fillInvestors();
                break;
            case 5:
                fillPartnerships(qsrq, zzrq);
                break;
            default:
                break;
            }
            // Counts and totals show at once, not at the first edit.
            CellInfo->RecalculateWorkbook();
        }
        Saved = false;
    }
    updateLedgerButton();
    updateShareNotice();
}

void TfrmRpt::fillEnterprise(const QString &qsrq, const QString &zzrq)
{
    auto &q = dm()->adoQry1;
    q.select(QStringLiteral("select * from psn"));
    if (q.IsEmpty())
        return;
    auto text = [&q](const char *field) { return q.text(QLatin1String(field)); };
    const bool audit = auditAnnual();
    TCell &c = *CellInfo;
    c.WriteCellText(2, 2, 0, qsrq);
    c.WriteCellText(4, 2, 0, zzrq);
    c.WriteCellText(2, 3, 0, text("nsr_mc"));
    c.WriteCellText(5, 3, 0, text("nsrsbh"));
    c.WriteCellText(2, 4, 0, text("zcdz_mc"));
    c.WriteCellText(5, 4, 0, text("swglm"));
    c.WriteCellText(5, 5, 0, text("lxdh_mc"));
    if (ReportKind == 1) {
        c.WriteCellText(2, 6, 0, text("zsfs_mc"));
        c.WriteCellText(5, 6, 0, text("djzclx_mc"));
        c.WriteCellNumber(6, 6, 0, codeNumber(text("zsfs_dm")));
        c.WriteCellNumber(4, 12, 0, q.FieldByName(QStringLiteral("zsl")).toDouble());
    } else {
        c.WriteCellText(2, 6, 0, text("djzclx_mc"));
        c.WriteCellText(5, 6, 0, text("zsfs_mc"));
        if (audit) {
            c.WriteCellNumber(3, 12, 3, qsrq.left(4).toDouble());
        } else {
            c.WriteCellNumber(6, 6, 0, codeNumber(text("zsfs_dm")));
            c.WriteCellNumber(4, 11, 0, q.FieldByName(QStringLiteral("zsl")).toDouble());
        }
    }
}

void TfrmRpt::fillInvestors()
{
    auto &q = dm()->adoQry1;
    q.select(QStringLiteral("select hhrswglm,hhr_mc,c_tzzxzname,fp_bl,a.tzzxz from hhrtzqk a,wa_tzzxz b where a.tzzxz=b.c_tzzxzcode"));
    const bool audit = auditAnnual();
    const int firstRow = audit ? 5 : 4;
    int i = 0;
    for (q.First(); !q.Eof(); q.Next(), ++i) {
        const int row = firstRow + i;
        CellInfo->WriteCellText(1, row, 1, q.text(QStringLiteral("hhrswglm")));
        CellInfo->WriteCellText(2, row, 1, q.text(QStringLiteral("hhr_mc")));
        CellInfo->WriteCellText(3, row, 1, q.text(QStringLiteral("c_tzzxzname")));
        CellInfo->WriteCellNumber(4, row, 1, q.FieldByName(QStringLiteral("fp_bl")).toDouble());
        // A legal-person partner gets no investor deduction under audit-based collection.
        if (audit && q.text(QStringLiteral("tzzxz")) == QLatin1String("02")) {
            CellInfo->WriteCellMark(7, row, 1, NotApplicableMark);
            CellInfo->WriteCellMark(8, row, 1, NotApplicableMark);
        }
    }
}

void TfrmRpt::fillLiquidation(const QString &qsrq, const QString &zzrq)
{
    auto &q = dm()->adoQry1;
    q.select(QStringLiteral("select * from psn"));
    CellInfo->WriteCellText(3, 2, 0, qsrq);
    CellInfo->WriteCellText(5, 2, 0, zzrq);
    if (q.IsEmpty())
        return;
    CellInfo->WriteCellText(3, 3, 0, q.text(QStringLiteral("nsr_mc")));
    CellInfo->WriteCellText(3, 4, 0, q.text(QStringLiteral("swglm")));
}

void TfrmRpt::fillPartnerships(const QString &qsrq, const QString &zzrq)
{
    struct Partner
    {
        QString owner, name, code, cert, nature, address, contact, contribution;
        double share, amount, ratio;
    };
    QList<Partner> partners;
    auto &q = dm()->adoQry1;
    q.select(QStringLiteral("select * from hhqymx "));
    for (q.First(); !q.Eof(); q.Next()) {
        auto t = [&q](const char *f) { return q.text(QLatin1String(f)); };
        auto n = [&q](const char *f) { return q.FieldByName(QLatin1String(f)).toDouble(); };
        partners.append({t("swdjjbxx_id"), t("hhr_mc"), t("hhrswglm"), t("zjhm"), t("tzzxz"), t("tzzdz"), t("lxfs"),
                         t("czfs"), n("tz_bl"), n("tz_je"), n("fp_bl")});
    }
    if (partners.isEmpty())
        return;
    TCell &c = *CellInfo;
    c.WriteCellText(2, 2, 0, partners.first().owner);
    c.WriteCellText(3, 2, 0, qsrq);
    c.WriteCellText(4, 2, 0, zzrq);
    int row = 4;
    for (const Partner &p : partners) {
        c.WriteCellText(1, row, 0, p.name);
        c.WriteCellText(2, row, 0, p.code);
        c.WriteCellText(3, row, 0, p.cert);
        c.WriteCellText(4, row, 0, CodeToName(QStringLiteral("tzzxz"), p.nature));
        c.WriteCellText(5, row, 0, p.address);
        c.WriteCellText(6, row, 0, p.contact);
        c.WriteCellText(7, row, 0, CodeToName(QStringLiteral("czfs"), p.contribution));
        c.WriteCellNumber(8, row, 0, p.share);
        c.WriteCellNumber(9, row, 0, p.amount);
        c.WriteCellNumber(10, row, 0, p.ratio);
        ++row;
    }
}

void TfrmRpt::TeSpBtnModifyClick()
{
    if (!CellInfo->ReadCellText(3, 3, 0).isEmpty())
        SaveValues();
    Saved = true;

    TfrmSelpsn picker(this);
    picker.PickMode = 0;
    picker.setTickColumnVisible(false);
    picker.setSelectAllVisible(false);
    if (picker.exec() != QDialog::Accepted)
        return;
    const QVariantMap investor = picker.currentRow();
    auto field = [&investor](const char *name) { return investor.value(QLatin1String(name)).toString(); };

    QString qsrq, zzrq;
    if (!periodStrings(qsrq, zzrq))
        return;
    const FormValues values(kindInfo().workingTable, qsrq, zzrq);
    if (values.hasStoredValues()) {
        ProgressScope progress(kLoading);
        values.ShowStoredValues(*CellInfo);
        return;
    }
    values.copyMapping(kindInfo().mappingTable);
    ProgressScope progress(kLoading);
    TCell &c = *CellInfo;
    c.WriteCellText(3, 2, 0, qsrq);
    c.WriteCellText(5, 2, 0, zzrq);
    c.WriteCellText(3, 3, 0, field("hhr_mc"));
    c.WriteCellText(5, 3, 0, field("zjzl_mc"));
    c.WriteCellText(7, 3, 0, field("zjhm"));
    c.WriteCellText(3, 4, 0, field("gj_mc"));
    c.WriteCellText(5, 4, 0, field("hhrswglm"));
    c.WriteCellText(3, 6, 0, field("nsr_mc"));
    c.WriteCellText(4, 6, 0, field("nsrsbh"));
    c.WriteCellNumber(5, 6, 0, investor.value(QStringLiteral("fp_bl")).toDouble());
    c.WriteCellText(1, 24, 0, field("swglm"));

    // The investor's share of the annual settlement's income, from whichever annual form applies.
    const QString annual = field("zsfs_dm") == QLatin1String("10") ? QStringLiteral("recal_cz") : QStringLiteral("recal_hd");
    auto &q = dm()->ADOQuery1;
    q.select(QStringLiteral("select * from ") + annual + QStringLiteral(" where sheet=1  "));
    int row = 0;
    for (q.First(); !q.Eof(); q.Next()) {
        if (q.text(QStringLiteral("sValue")) == field("hhrswglm") && q.FieldByName(QStringLiteral("type")).toInt() == 1) {
            row = q.FieldByName(QStringLiteral("row")).toInt();
            break;
        }
    }
    q.select(QStringLiteral("select * from ") + annual + QStringLiteral(" where sheet=1 and col=5 and row=") + QString::number(row));
    const QString figure = q.IsEmpty() ? QString() : q.text(QStringLiteral("sValue"));
    c.WriteCellNumber(7, 6, 0, StoredNumber(figure));
    c.RecalculateWorkbook();
    Saved = false;
}

} // namespace lw
