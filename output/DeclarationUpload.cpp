// SPDX-License-Identifier: GPL-3.0-or-later
#include "DeclarationUpload.h"

#include "Clock.h"
#include "ExchangeDoc.h"
#include "FileBytes.h"
#include "FilingRecord.h"
#include "MessageBoxes.h"
#include "ReportKinds.h"
#include "TCell.h"
#include "UntMySoap.h"
#include "UploadDocument.h"
#include "UserInteraction.h"
#include "untDm.h"
#include "untProcess.h"
#include "untRpt.h"

#include <QFile>

namespace lw {

namespace {
const QString kNotLoaded = QStringLiteral("请先加载数据，然后再进行上传电子数据！");
const QString kNotSaved = QStringLiteral("请先保存数据，然后再进行上传电子数据！");
} // namespace

void UploadDeclaration(TfrmRpt &window)
{
    TCell &cell = *window.CellInfo;
    // Kind 4 chooses its document by the collection method in force now.
    const UploadDocumentKind kind = UploadDocumentOf(window.ReportKind, IsAuditBased(dm()->CollectionMethodCode));
    if (kind.name.isEmpty() || cell.ReadCellText(kind.loadedCol, kind.loadedRow, 0).isEmpty()) {
        WarnBox(kNotLoaded);
        return;
    }
    // An edit still open ends here and marks the form unsaved.
    cell.CommitPendingEdit();
    cell.RecalculateWorkbook();
    if (!window.Saved) {
        WarnBox(kNotSaved);
        return;
    }
    if (AskBox(QStringLiteral("是否确认上传电子数据？"), 2) != IdYes)
        return;

    FilingDates dates;
    if (!window.periodStrings(dates.qsrq, dates.zzrq))
        return;
    dates.filingDate = PeriodText(Clock::today());
    // The key becomes part of a file name under tmp/: nothing but letters, digits, '-' and '_'.
    const QString key = cell.ReadCellText(kind.keyCol, kind.keyRow, 0);
    if (key.isEmpty() || !IsSafeTaxCode(key)) {
        WarnBox(UnsafeTaxCodeMessage());
        return;
    }
    const QString nameSent = kind.name + QLatin1Char('_') + key + QStringLiteral(".xml");
    const QString localFile = dm()->AppPath + QStringLiteral("tmp/") + nameSent;
    const XmlDoc doc = BuildUploadDocument(dm()->AppPath + QStringLiteral("rpt/") + kind.name + QStringLiteral(".xml"),
                                           cell, window.ReportKind, kind.name == QLatin1String("DATA_CZZS"), dates);
    if (QFile::exists(localFile) && !QFile::remove(localFile))
        throw XmlError(QStringLiteral("无法替换文件 %1").arg(localFile));
    doc.save(localFile);

    TMySoap soap;
    QString connected;
    {
        ProgressScope progress(QStringLiteral("正在尝试连接Web服务器。。。"));
        try {
            soap.CheckConnection(QString(), connected);
        } catch (const std::exception &) {
            connected.clear();
        }
    }
    // A failed check is reported; the upload is tried all the same.
    if (connected != QLatin1String("1"))
        ErrorBox(QStringLiteral("无法连接到指定的Web服务器，请稍后再试！"));

    const FilingPeriod filed{window.ReportKind, window.kindInfo().caption, dates.qsrq, dates.zzrq};
    QString result;
    try {
        ProgressScope progress(QStringLiteral("正在发送数据，请稍候"));
        soap.UploadFile(nameSent, ReadFileBytes(localFile), result);
    } catch (const std::exception &e) {
        RecordUpload(filed, nameSent, QString::fromStdString(e.what()), false);
        throw;
    }
    RecordUpload(filed, nameSent, result, result == QLatin1String("1"));
    window.updateFilingNotice();
    if (result == QLatin1String("1")) {
        InfoBox(QStringLiteral("恭喜,电子数据申报成功！"));
        QFile::remove(localFile);
    } else if (result == QLatin1String("3")) {
        InfoBox(QStringLiteral("软件版本低，请重新更新软件！"));
    } else {
        InfoBox(QStringLiteral("电子数据申报失败，请稍后再试！"));
    }
}

} // namespace lw
