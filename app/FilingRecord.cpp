// SPDX-License-Identifier: GPL-3.0-or-later
#include "FilingRecord.h"

#include "AdoQuery.h"
#include "Clock.h"
#include "untDm.h"

namespace lw {

namespace {

void insert(const QString &type, const FilingPeriod &p, const QString &names, const QString &answer, bool done)
{
    dm()->adoQry1.exec(QStringLiteral("insert into sbjl (jllx,bblx,bbmc,qsrq,zzrq,sj,wjm,jg,cg) values (%1,%2,%3,%4,%5,%6,%7,%8,%9)")
                           .arg(QuotedStr(type))
                           .arg(p.kind)
                           .arg(QuotedStr(p.caption), QuotedStr(p.qsrq), QuotedStr(p.zzrq),
                                QuotedStr(Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))), QuotedStr(names),
                                QuotedStr(answer))
                           .arg(done ? 1 : 0));
}

} // namespace

QString FilingRecordSchema()
{
    return QStringLiteral("CREATE TABLE IF NOT EXISTS sbjl (jlid INTEGER PRIMARY KEY AUTOINCREMENT, jllx TEXT, bblx INTEGER, "
                          "bbmc TEXT, qsrq TEXT, zzrq TEXT, sj TEXT, wjm TEXT, jg TEXT, cg INTEGER)");
}

void RecordUpload(const FilingPeriod &period, const QString &nameSent, const QString &answer, bool accepted)
{
    insert(QStringLiteral("上传"), period, nameSent, answer, accepted);
}

void RecordFiles(const FilingPeriod &period, const QStringList &paths)
{
    insert(QStringLiteral("电子文件"), period, paths.join(QLatin1Char('\n')), QString(), true);
}

QString LastAcceptedUpload(const FilingPeriod &period)
{
    auto &q = dm()->ADOQuery1;
    q.select(QStringLiteral("select sj from sbjl where jllx='上传' and cg=1 and bblx=%1 and bbmc=%2 and qsrq=%3 and zzrq=%4 "
                            "order by jlid desc limit 1")
                 .arg(period.kind)
                 .arg(QuotedStr(period.caption), QuotedStr(period.qsrq), QuotedStr(period.zzrq)));
    return q.IsEmpty() ? QString() : q.text(QStringLiteral("sj"));
}

} // namespace lw
