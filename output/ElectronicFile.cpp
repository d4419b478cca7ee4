// SPDX-License-Identifier: GPL-3.0-or-later
#include "ElectronicFile.h"

#include "AdoQuery.h"
#include "FilingRecord.h"
#include "FormCells.h"
#include "MessageBoxes.h"
#include "ReportKinds.h"
#include "TCell.h"
#include "UserInteraction.h"
#include "md5.h"
#include "untDm.h"
#include "untProcess.h"
#include "untRpt.h"

#include <algorithm>

namespace lw {

namespace {

constexpr int kGroupSize = 20;
constexpr int kMaxGroups = 3;

void writeQuarterlyRow(XmlNode row, const FormCells &f, int r, bool auditBased)
{
    row.child(0).setText(f.text(1, r, 1));
    row.child(1).setText(f.number(4, 8, 0));
    row.child(2).setText(f.number(4, 9, 0));
    row.child(3).setText(f.number(4, 10, 0));
    row.child(4).setText(f.number(4, r, 1));
    row.child(5).setText(f.number(5, r, 1));
    if (auditBased)
        row.child(6).setText(f.number(9, r, 1));
    row.child(8).setText(f.number(4, 12, 0));
    for (int c = 10; c <= 15; ++c)
        row.child(c + 1).setText(f.number(c, r, 1));
}

// Enterprise positions of the annual file by the lines of the audit-based form (line n is row
// n + 7 of sheet 0): the attached information, then lines 1 to 39 in order.
void writeAnnualRow(XmlNode row, const FormCells &f, int r)
{
    row.child(0).setText(f.text(1, r, 1));
    row.child(1).setText(f.number(4, 55, 0)); // 年平均职工人数
    row.child(2).setText(f.number(4, 54, 0)); // 工资总额
    row.child(3).setText(f.number(4, 47, 0)); // 投资者人数
    for (int line = 1; line <= 39; ++line)
        row.child(3 + line).setText(f.number(4, line + 7, 0));
    row.child(43).setText(f.number(4, r, 1));
    row.child(44).setText(f.number(7, r, 1));
    row.child(45).setText(f.number(8, r, 1));
    for (int c = 10; c <= 17; ++c)
        row.child(c + 36).setText(f.number(c, r, 1));
    row.child(54).setText(f.number(19, r, 1));
}

XmlDoc buildGroup(const QString &templatePath, const FormCells &f, const ElectronicFileLayout &layout,
                  const ElectronicFileHeader &header, int firstRow)
{
    XmlDoc doc = XmlDoc::fromFile(templatePath);
    XmlNode main = doc.child(1).child(1);
    const int rowsAt = layout.annual ? 7 : 8;
    RowList rows(main.child(rowsAt));
    const QString code = f.text(5, 4, 0);
    main.child(0).setText(QStringLiteral("1.0"));
    main.child(1).setText(code);
    main.child(2).setText(layout.formCode);
    main.child(3).setText(layout.annual ? QStringLiteral("10") : f.text(6, 6, 0));
    main.child(4).setText(header.qsrq);
    main.child(5).setText(header.zzrq);
    if (!layout.annual)
        main.child(6).setText(header.sbqxrDm);
    double total = 0;
    const int lastRow = std::min(firstRow + kGroupSize - 1, layout.lastRow);
    for (int r = firstRow; r <= lastRow; ++r) {
        if (!f.holdsEntry(r, 1))
            continue;
        XmlNode row = rows.append();
        if (layout.annual)
            writeAnnualRow(row, f, r);
        else
            writeQuarterlyRow(row, f, r, header.auditBased);
        total += f.value(layout.sealColumn, r, 1);
    }
    main.child(layout.annual ? 6 : 7).setText(Seal(code, total));
    return doc;
}

int investorCount()
{
    auto &q = dm()->adoQry1;
    q.select(QStringLiteral("select count(1) as rs from hhrtzqk a,wa_tzzxz b where a.tzzxz=b.c_tzzxzcode "));
    return q.IsEmpty() ? 0 : q.FieldByName(QStringLiteral("rs")).toInt();
}

} // namespace

const ElectronicFileLayout &QuarterlyFileLayout()
{
    static const ElectronicFileLayout layout{false, QStringLiteral("rpt/CSJY_A.xml"), QStringLiteral("31340"),
                                             QStringLiteral("季度预缴申报表_"), 4, 53, 15};
    return layout;
}

const ElectronicFileLayout &AnnualFileLayout()
{
    static const ElectronicFileLayout layout{true, QStringLiteral("rpt/CSJY_B.xml"), QStringLiteral("31341"),
                                             QStringLiteral("年度汇缴申报表_"), 5, 54, 19};
    return layout;
}

std::vector<XmlDoc> BuildElectronicFiles(const QString &templatePath, TCell &cell, const ElectronicFileLayout &layout,
                                         const ElectronicFileHeader &header, int count)
{
    const FormCells f(cell);
    std::vector<XmlDoc> files;
    for (int g = 0; g < kMaxGroups && (g == 0 || count > kGroupSize * g); ++g) {
        const int firstRow = layout.firstRow + kGroupSize * g;
        XmlDoc doc = buildGroup(templatePath, f, layout, header, firstRow);
        // A group whose first row is empty makes no file.
        if (f.holdsEntry(firstRow, 1))
            files.push_back(std::move(doc));
    }
    return files;
}

QStringList ElectronicFileNames(const QString &chosen, int count)
{
    if (count == 1)
        return {chosen + QStringLiteral(".xml")};
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << chosen + QStringLiteral("(%1).xml").arg(i);
    return names;
}

void WriteElectronicFiles(TfrmRpt &window)
{
    TCell &cell = *window.CellInfo;
    const int kind = window.ReportKind;
    const bool auditBased = IsAuditBased(dm()->CollectionMethodCode);
    const QString loaded = kind == 3 ? cell.ReadCellText(3, 3, 0) : cell.ReadCellText(2, 3, 0);
    if (loaded.isEmpty()) {
        WarnBox(QStringLiteral("请先加载数据，然后再进行上传电子数据！"));
        return;
    }
    cell.CommitPendingEdit();
    cell.RecalculateWorkbook();
    if (!window.Saved) {
        WarnBox(QStringLiteral("请先保存数据，然后再进行上传电子数据！"));
        return;
    }
    // Only the quarterly and the audit-based annual form have a file format.
    if (kind != 1 && !(kind == 4 && auditBased))
        return;
    const ElectronicFileLayout &layout = kind == 1 ? QuarterlyFileLayout() : AnnualFileLayout();
    ElectronicFileHeader header;
    if (!window.periodStrings(header.qsrq, header.zzrq))
        return;
    header.sbqxrDm = window.KeptSbqxrDm;
    header.auditBased = auditBased;

    std::vector<XmlDoc> files;
    {
        ProgressScope progress(QStringLiteral("正在生成数据，请稍侯..."));
        files = BuildElectronicFiles(dm()->AppPath + layout.templateFile, cell, layout, header, investorCount());
    }
    // The progress window is down before the dialog, so it never stands over the dialog's buttons.
    const QString chosen = UserInteraction::current().saveFileName(
        QStringLiteral("生成电子数据文件"), layout.proposedName + cell.ReadCellText(5, 4, 0), QStringLiteral("xml文件(*.xml)"));
    if (chosen.isEmpty())
        return;
    bool written = !files.empty();
    QStringList saved;
    if (written) {
        const QStringList names = ElectronicFileNames(chosen, int(files.size()));
        try {
            for (size_t i = 0; i < files.size(); ++i) {
                files[i].save(names.at(int(i)));
                saved << names.at(int(i));
            }
        } catch (const XmlError &) {
            written = false;
        }
    }
    if (!saved.isEmpty())
        RecordFiles({kind, window.kindInfo().caption, header.qsrq, header.zzrq}, saved);
    InfoBox(written ? QStringLiteral("恭喜,生成电子数据文件成功！") : QStringLiteral("生成电子数据文件失败！"));
}

} // namespace lw
