// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExchangeDoc.h"

#include "AdoQuery.h"
#include "Backup.h"
#include "NumberFormat.h"
#include "XmlDoc.h"
#include "untDm.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

#include <libxml/tree.h>

namespace lw {

namespace {
const int kRootFirstColumn = 3;  // positions 3..19 of the root are psn columns
const int kInvestorList = 20;
const int kInvestorFields = 20;

// Written values: numbers in the general format, null as an empty text.
QString ColumnText(const QVariant &value)
{
    if (value.isNull())
        return QString();
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        return FormatGeneral(value.toDouble());
    return value.toString();
}

bool IsNumberOrEmpty(const QString &text)
{
    if (text.isEmpty())
        return true;
    double number = 0;
    return ParseAmount(text, &number);
}

XmlNode ElementAt(const XmlNode &parent, int index)
{
    XmlNode node = parent.child(index);
    if (node.raw() == nullptr || node.raw()->type != XML_ELEMENT_NODE)
        throw XmlError(QStringLiteral("企业信息文件第%1项不是元素").arg(index));
    return node;
}
} // namespace

bool IsSafeTaxCode(const QString &code)
{
    for (QChar c : code) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' || u == '_';
        if (!ok)
            return false;
    }
    return true;
}

QString UnsafeTaxCodeMessage()
{
    return QStringLiteral("税务管理码只能由字母、数字、“-”和“_”组成，请检查！");
}

QString ExchangeFileName(const QString &code)
{
    return QStringLiteral("DATA_RY_upload_") + code + QStringLiteral(".xml");
}

QString ExchangeTemplatePath()
{
    return dm()->AppPath + QStringLiteral("rpt/DATA_RY_upload.xml");
}

QString ExchangeRequestPath(const QString &code)
{
    return dm()->AppPath + QStringLiteral("tmp/") + ExchangeFileName(code);
}

QString ExchangeAnswerPath(const QString &code)
{
    return dm()->AppPath + QStringLiteral("xml/") + ExchangeFileName(code);
}

void SaveOwnerOnly(const XmlDoc &doc, const QString &path)
{
    const QByteArray bytes = doc.toBytes();
    QFile::remove(path);
    // Created with owner-only permissions, so the password is never readable by others.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.close();
        QFile::remove(path);
        throw XmlError(QStringLiteral("保存XML文档 %1 失败：%2").arg(path, why));
    }
    file.close();
}

void WriteLoginRequest(const QString &path, const QString &code, const QString &password)
{
    XmlDoc doc = XmlDoc::fromFile(ExchangeTemplatePath());
    XmlNode root = doc.child(1);
    root.child(0).setText(QStringLiteral("1.1"));
    root.child(3).setText(code);
    root.child(2).setText(password);
    SaveOwnerOnly(doc, path);
}

void WriteEnterpriseUpload(const QString &path, const QString &code, const QString &password)
{
    XmlDoc doc = XmlDoc::fromFile(ExchangeTemplatePath());
    XmlNode root = doc.child(1);
    root.child(1).setText(QStringLiteral("upload"));
    root.child(0).setText(QStringLiteral("1.1"));
    root.child(3).setText(code);
    root.child(2).setText(password);

    AdoQuery &q = dm()->adoQry1;
    q.select(QStringLiteral("select * from psn"));
    const QStringList &cols = AnswerEnterpriseColumns();
    for (int pos = 4; pos <= 19; ++pos)
        root.child(pos).setText(q.IsEmpty() ? QString() : ColumnText(q.FieldByName(cols.at(pos - kRootFirstColumn))));

    XmlNode list = root.child(kInvestorList);
    const XmlNode prototype = list.child(0).deepCopy();
    list.removeChild(0);
    q.select(QStringLiteral("select * from hhrtzqk "));
    const QStringList &fields = AnswerInvestorColumns();
    for (q.First(); !q.Eof(); q.Next()) {
        XmlNode row = list.appendChild(prototype.deepCopy());
        for (int pos = 0; pos < kInvestorFields; ++pos)
            row.child(pos).setText(ColumnText(q.FieldByName(fields.at(pos))));
    }
    SaveOwnerOnly(doc, path);
}

const QStringList &AnswerEnterpriseColumns()
{
    static const QStringList cols = {
        QStringLiteral("swglm"),     QStringLiteral("nsrsbh"),    QStringLiteral("nsr_mc"),   QStringLiteral("zzjg_dm"),
        QStringLiteral("djzclx_dm"), QStringLiteral("djzclx_mc"), QStringLiteral("kysl_rq"),  QStringLiteral("lxdh_mc"),
        QStringLiteral("zcdz_mc"),   QStringLiteral("scjydz"),    QStringLiteral("jyfw_mc"),  QStringLiteral("zsfs_dm"),
        QStringLiteral("djjglx_dm"), QStringLiteral("zclxxl_mc"), QStringLiteral("zsfs_mc"),  QStringLiteral("zsl"),
        QStringLiteral("sbqxr_dm")};
    return cols;
}

const QStringList &AnswerInvestorColumns()
{
    static const QStringList cols = {
        QStringLiteral("swdjjbxx_id"), QStringLiteral("hhrswglm"), QStringLiteral("hhr_mc"),  QStringLiteral("tzzxz"),
        QStringLiteral("zjzl_dm"),     QStringLiteral("zjzl_mc"),  QStringLiteral("zjhm"),    QStringLiteral("lxfs"),
        QStringLiteral("czfs"),        QStringLiteral("tz_je"),    QStringLiteral("tz_bl"),   QStringLiteral("fp_bl"),
        QStringLiteral("sfbqyhj"),     QStringLiteral("nsjd"),     QStringLiteral("jkzh"),    QStringLiteral("gj_dm"),
        QStringLiteral("gj_mc"),       QStringLiteral("rz_rq"),    QStringLiteral("cj_rq"),   QStringLiteral("tzzdz")};
    return cols;
}

EnterpriseAnswer ReadEnterpriseAnswer(const XmlDoc &doc)
{
    EnterpriseAnswer answer;
    const XmlNode root = doc.child(1);
    if (root.raw()->type != XML_ELEMENT_NODE)
        throw XmlError(QStringLiteral("企业信息文件缺少根元素"));
    const QStringList &cols = AnswerEnterpriseColumns();
    for (int i = 0; i < cols.size(); ++i)
        answer.enterprise.insert(cols.at(i), ElementAt(root, kRootFirstColumn + i).text());
    QString &scope = answer.enterprise[QStringLiteral("jyfw_mc")];
    scope = scope.left(255);
    QString &zsl = answer.enterprise[QStringLiteral("zsl")];
    if (zsl.isEmpty())
        zsl = QStringLiteral("0");
    if (!IsNumberOrEmpty(zsl))
        throw XmlError(QStringLiteral("企业信息文件中的税率不是数字"));

    const XmlNode list = ElementAt(root, kInvestorList);
    const QStringList &fields = AnswerInvestorColumns();
    for (int i = 0; i < list.childCount(); ++i) {
        const XmlNode inv = ElementAt(list, i);
        QMap<QString, QString> row;
        for (int pos = 0; pos < kInvestorFields; ++pos)
            row.insert(fields.at(pos), ElementAt(inv, pos).text());
        for (const char *amount : {"tz_je", "tz_bl", "fp_bl"}) {
            QString &v = row[QLatin1String(amount)];
            if (v.isEmpty())
                v = QStringLiteral("0");
            if (!IsNumberOrEmpty(v))
                throw XmlError(QStringLiteral("企业信息文件中投资者的金额或比例不是数字"));
        }
        answer.investors << row;
    }
    return answer;
}

namespace {
void Run(QSqlQuery &query)
{
    if (!query.exec())
        throw DbError(query.lastError().text());
}

void Insert(const QString &table, const QStringList &cols, const QMap<QString, QString> &values)
{
    QStringList params;
    for (const QString &c : cols)
        params << QLatin1Char(':') + c;
    QSqlQuery query(dm()->adoConn);
    if (!query.prepare(QStringLiteral("insert into %1 (%2) values (%3)").arg(table, cols.join(QLatin1Char(',')), params.join(QLatin1Char(',')))))
        throw DbError(query.lastError().text());
    for (const QString &c : cols)
        query.bindValue(QLatin1Char(':') + c, values.value(c));
    Run(query);
}

void Exec(const QString &sql)
{
    QSqlQuery query(dm()->adoConn);
    if (!query.exec(sql))
        throw DbError(query.lastError().text());
}
} // namespace

void StoreEnterpriseAnswer(const EnterpriseAnswer &answer)
{
    // The download replaces local edits not yet uploaded: a copy first, or nothing changes.
    WriteSafetyCopy(QStringLiteral("download"));
    DbTransaction transaction(dm()->adoConn);
    Exec(QStringLiteral("delete from psn "));
    Insert(QStringLiteral("psn"), AnswerEnterpriseColumns(), answer.enterprise);
    if (!answer.enterprise.value(QStringLiteral("zclxxl_mc")).isEmpty())
        Exec(QStringLiteral("update  psn set shbj='Y'"));
    Exec(QStringLiteral("delete from hhrtzqk "));
    for (const auto &row : answer.investors)
        Insert(QStringLiteral("hhrtzqk"), AnswerInvestorColumns(), row);
    Exec(QStringLiteral("update hhrtzqk set shbj='Y' where length(hhrswglm) =15 and (hhr_mc <>'') and  (zjzl_dm <>'') "
                        "and (zjzl_mc <>'') and (tz_je is not null) and (tz_bl is not null) and (fp_bl is not null) "
                        "and (tzzxz <>'') and (lxfs <>'') and (czfs <>'') and (tzzdz <>'') and (sfbqyhj <>'')  and (gj_dm <>'')"));
    transaction.commit();
}

} // namespace lw
